#pragma once
// What the main window needs of the feature subsystems, filled by the application: the seven page
// widgets and the routines that load them, the cashier's hot-key actions, the main window's start
// and shutdown steps that belong to other subsystems, and the start window's update check. Every
// member is optional: an empty factory leaves an empty page, an empty routine is skipped (a count
// reads 0).
#include <QString>
#include <array>
#include <functional>
#include <optional>

class AppContext;
class QWidget;

namespace data {
class RecordSet;
}

namespace shell {

class MainWindow;

struct MainPages
{
    static constexpr int PageCount = 7;

    // The page widgets of 选择夹1, in toolbar order (前台收银, 销售明细, 会员管理, 采购入库,
    // 分类查看, 开支记录, 系统设置). The main window owns what they return.
    std::array<std::function<QWidget *(MainWindow &)>, PageCount> createPage;

    // Row count and clearing of a page's list; the main window finds the list by its object name
    // (超级列表框4, 超级列表框6 ...) and passes the widget.
    std::function<int(QWidget *list)> listRowCount;
    std::function<void(QWidget *list)> clearList;

    // Page loaders. The fill routines walk the record set the page switch has just opened.
    std::function<void(data::RecordSet &)> fillSalesDetailList;   // page 销售明细
    std::function<void(data::RecordSet &)> fillMemberList;        // page 会员管理
    std::function<void()> loadPurchaseSupplierCombo;              // page 采购入库, in this order
    std::function<void()> loadPurchaseCategoryCombo;
    std::function<void()> loadPurchaseColourCombos;
    std::function<void()> loadPurchaseSizeCombos;
    std::function<void()> loadPurchaseUnitCombo;
    std::function<void(data::RecordSet &)> fillPurchaseList;
    std::function<void(data::RecordSet &)> fillStockList;         // page 分类查看
    std::function<void()> loadCategoryTree;
    std::function<void(data::RecordSet &)> fillExpenseList;       // page 开支记录
    std::function<void()> loadShopAccountList;                    // page 系统设置

    // The cashier's hot-key actions.
    std::function<int()> cartLineCount;
    std::function<void()> resetCart;           // Esc
    std::function<void()> startCheckout;       // F5
    std::function<void()> holdCurrentOrder;    // F1
    std::function<void()> openHeldOrdersWindow; // F2
    std::function<void()> openLockSetupDialog; // F4, after the six keys were released
    std::function<void()> openCashDrawer;      // F8

    // The main window's start and shutdown steps of other subsystems.
    std::function<void()> attachListCellEditors;   // the member-tier grid's in-cell editor
    std::function<void()> startNoticeTicker;       // loads and shows the notice (开启公告 "真")
    std::function<void()> scrollNoticeTicker;      // each tick of 时钟1
    std::function<void()> refreshNoticeTicker;     // each tick of 时钟2
    std::function<void()> checkMemberBirthdays;    // 生日提醒 "真"
    std::function<void()> loadReceiptLayout;
    std::function<void()> releaseCellEditorBrush;  // shutdown
    std::function<void(AppContext &)> backupNetworkDatabase; // shutdown, network mode
    // Opens the live sales feed modeless (the six keys are already released; its closing calls
    // MainWindow::registerPosHotKeys). Empty: the shell's own feed window (LiveBroadcastWindow).
    std::function<void()> openLiveBroadcastWindow;

    // The start window's update check: the download page of a version newer than programVersion
    // that the support desk published; nullopt when there is none, or no support server is
    // configured or it cannot be read.
    std::function<std::optional<QString>(const QString &programVersion)> newerVersionAddress;
};

} // namespace shell
