#include "app/Assembly.h"

#include "admin/AccountsPage.h"
#include "admin/LogPage.h"
#include "admin/NoticeAdmin.h"
#include "admin/RemoteSupportServer.h"
#include "admin/ShopSettingsPage.h"
#include "admin/SupportPage.h"
#include "app/CounterFrame.h"
#include "app/WorkstationKey.h"
#include "cashier/Cart.h"
#include "cashier/CashierKeys.h"
#include "cashier/CashierPage.h"
#include "cashier/HeldOrdersWindow.h"
#include "cashier/SaleWriter.h"
#include "cashier/CheckoutWindow.h"
#include "context/AppContext.h"
#include "data/SettingsFile.h"
#include "lists/ReportList.h"
#include "members/MemberExtras.h"
#include "members/MemberPage.h"
#include "members/MemberTierGrid.h"
#include "platform/Clock.h"
#include "platform/LunarCalendar.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "printing/PrintSettingsPage.h"
#include "printing/DeviceReceiptPrinter.h"
#include "printing/LabelPrint.h"
#include "printing/RecordingLabelPrinter.h"
#include "printing/ReceiptPrint.h"
#include "printing/RecordingReceiptPrinter.h"
#include "reports/ExpensePage.h"
#include "reports/PurchaseReportWindow.h"
#include "reports/ReturnRecords.h"
#include "reports/ReturnsWindow.h"
#include "reports/SalesDetailPage.h"
#include "reports/SalesRankingWindow.h"
#include "reports/SalesReportWindow.h"
#include "shell/DatabaseCare.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/HelpFile.h"
#include "shell/LockSetupDialog.h"
#include "shell/MainWindow.h"
#include "shell/NoticeTicker.h"
#include "shell/SettingsTab.h"
#include "stock/CatalogueListsBox.h"
#include "stock/CategoryTreeWidget.h"
#include "stock/PurchasePage.h"
#include "stock/StockAlarms.h"
#include "stock/StockTransfer.h"
#include "stock/StockView.h"
#include "stock/TransferRecords.h"
#include "stock/SupplierPage.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace app {

namespace {

// What the assembly mounted, shared by the hooks of the main window. The widgets belong to the
// main window; the pointers go null when it destroys them.
struct Mounted
{
    std::shared_ptr<printing::LabelPrinter> labels;
    std::shared_ptr<printing::ReceiptPrinter> receipts;
    // The program's one cart: the counter page shows it, the keys and the checkout work on it.
    cashier::Cart cart;
    cashier::CheckoutHooks checkout;
    cashier::CashierKeyActions keys;
    QPointer<cashier::CashierPage> cashier;
    QPointer<reports::SalesDetailPage> sales;
    QPointer<members::MemberPage> members;
    // The lunar key ("MMDD") of a date, for the birthday reminders.
    members::LunarKeyOf lunarKeyOf = [](const QDate &date) { return LunarCalendar(date).key(); };
    admin::RemoteSupportServer support; // opened by the support page on first use
    QPointer<shell::NoticeTicker> ticker;
    QPointer<stock::PurchasePage> purchase;
    QPointer<stock::CategoryTreeWidget> categories;
    QPointer<shell::SettingsTab> settings;
    QPointer<admin::AccountsPage> accounts;
    QPointer<stock::SupplierPage> suppliers;
    QPointer<members::MemberTierGrid> tierGrid;
    // The receipt and label layouts; printing reads printSettings->currentLook().
    QPointer<printing::PrintSettingsPage> printSettings;
    QPointer<stock::StockViewPage> stockView;
    QPointer<reports::ExpensePage> expenses;
};

// A hook that runs f on a mounted widget, and does nothing while that widget is not there.
template <typename T, typename F>
std::function<void()> onMounted(const std::shared_ptr<Mounted> &m, QPointer<T> Mounted::*widget, F f)
{
    return [m, widget, f] {
        if (T *w = (m.get()->*widget).data())
            f(w);
    };
}

// After a window or message of the counter the keyboard is back at the scan box (the window system
// need not give it back to the main window when the window closes).
void backToScanBox(Mounted &m, shell::MainWindow &window)
{
    if (window.isVisible())
        window.activateWindow();
    if (m.cashier)
        m.cashier->scanBox()->setFocus();
}

void runCheckout(Mounted &m, shell::MainWindow &window)
{
    cashier::startCheckout(window.context(), m.cart, m.checkout, &window);
    backToScanBox(m, window);
}

void holdOrder(Mounted &m, shell::MainWindow &window)
{
    cashier::holdCurrentOrder(window.context(), m.cart, &window);
    backToScanBox(m, window);
}

// What the checkout and the cashier's keys need of the main window.
void connectCounter(Mounted &m, shell::MainWindow &window)
{
    m.checkout.releaseMainKeys = [&window] { window.releasePosHotKeys(); };
    m.checkout.registerMainKeys = [&window] { window.registerPosHotKeys(); };
    m.checkout.sale.receiptPrinter = m.receipts.get();
    // A Yes to a sale's stock-alarm question opens the report.
    m.checkout.sale.openStockAlarmReport = [&window](QWidget *parent) {
        stock::openStockAlarmReportWindow(window.context(), parent);
    };

    m.keys.startCheckout = [&m, &window] { runCheckout(m, window); };
    // F4 and 锁屏[F4]: the main window has released the six keys; every way out of the lock gives
    // them back.
    m.keys.openLockSetupDialog = [&m, &window] {
        shell::openLockSetupDialog(&window, [&window] { window.registerPosHotKeys(); });
        backToScanBox(m, window);
    };
    m.keys.holdCurrentOrder = [&m, &window] { holdOrder(m, window); };
    m.keys.openHeldOrdersWindow = [&m, &window] {
        cashier::openHeldOrdersWindow(window.context(), m.cart, &window);
        backToScanBox(m, window);
    };
    // The drawer is the one of sql.ini.
}

QWidget *counterPage(Mounted &m, shell::MainWindow &window)
{
    auto *frame = new CounterFrame;
    m.ticker = new shell::NoticeTicker(window.context(), frame->noticeLabel(), &window, &window);
    m.ticker->setNoticeSource([&context = window.context()](const QString &shop) -> std::optional<QString> {
        bool found = false;
        const QString text = admin::loadNotice(context, shop, &found);
        return found ? std::optional<QString>(text) : std::nullopt;
    });

    connectCounter(m, window);
    auto *page = new cashier::CashierPage(window.context(), m.cart);
    page->releaseMainHotKeys = [&window] { window.releasePosHotKeys(); };
    page->registerPosHotKeys = [&window] { window.registerPosHotKeys(); };
    frame->setCounterPage(page);
    m.cashier = page;

    // The 结算 button says so when the cart is empty (the F5 key stays silent); the other buttons
    // do what their keys do.
    QObject::connect(page, &cashier::CashierPage::checkoutRequested, &window, [&m, &window] { runCheckout(m, window); });
    // 开始挂单 on an empty cart says "暂无数据！" (F1 keeps its own text).
    QObject::connect(page, &cashier::CashierPage::holdRequested, &window,
                     [&m, &window] { holdOrder(m, window); });
    QObject::connect(page, &cashier::CashierPage::heldOrdersRequested, &window,
                     [&m, &window] { cashier::handleCashierKey(cashier::PosKey::F2, m.cart, m.keys, &window); });
    QObject::connect(page, &cashier::CashierPage::lockRequested, &window, [&m, &window] {
        window.releasePosHotKeys();
        cashier::handleCashierKey(cashier::PosKey::F4, m.cart, m.keys, &window);
    });
    return frame;
}

QWidget *salesPage(Mounted &m, shell::MainWindow &window)
{
    auto *page = new reports::SalesDetailPage(window.context());
    m.sales = page;
    page->openReturnsRecords = [page, &window] { reports::openReturnsWindow(window.context(), page); };
    page->openSalesSummary = [page, &window] { reports::openSalesReportWindow(window.context(), page); };
    // The sales report and the returns window open each other.
    reports::SalesReportWindow::openReturnsWindow = [](AppContext &context, QWidget *parent) {
        reports::openReturnsWindow(context, parent);
    };
    reports::ReturnsWindow::salesReportOpener = [](AppContext &context, QWidget *parent) {
        reports::openSalesReportWindow(context, parent);
    };
    page->openSalesRanking = [page, &window] { reports::openSalesRankingWindow(window.context(), page); };
    return page;
}

QWidget *memberPage(Mounted &m, shell::MainWindow &window)
{
    auto *page = new members::MemberPage(window.context());
    m.members = page;
    members::mountMemberExtras(*page, m.lunarKeyOf); // purchases, birthdays, export, SMS
    return page;
}

QWidget *purchasePage(Mounted &m, shell::MainWindow &window)
{
    auto *page = new stock::PurchasePage(window.context(), *m.labels);
    m.purchase = page;
    QObject::connect(page, &stock::PurchasePage::purchaseReportRequested, page,
                     [page, &window] { reports::openPurchaseReportWindow(window.context(), page); });
    // The offer to add a category has checked the rights of the category page already.
    QObject::connect(page, &stock::PurchasePage::categoryPageRequested, &window, [&window] { window.switchMainPage(4); });
    // A first-level category added from the offer shows in the tree at once; the category combo
    // lists second-level categories only and stays as it is.
    QObject::connect(page, &stock::PurchasePage::categoriesChanged, &window, [&m] {
        if (m.categories)
            m.categories->loadCategoryTree();
    });
    QObject::connect(page, &stock::PurchasePage::supplierPageRequested, &window, [&m, &window] {
        window.switchMainPage(6);
        if (window.currentPage() != 6 || !m.settings)
            return;
        if (m.settings->currentIndex() == shell::SettingsTab::Suppliers) {
            if (m.suppliers)
                m.suppliers->loadSupplierList();
        } else {
            m.settings->setCurrentIndex(shell::SettingsTab::Suppliers); // its loader lists the suppliers
        }
    });
    return page;
}

QWidget *categoryPage(Mounted &m, shell::MainWindow &window)
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *tree = new stock::CategoryTreeWidget(window.context(), page);
    tree->setMinimumWidth(220);
    tree->setMaximumWidth(320);
    layout->addWidget(tree);
    auto *view = new stock::StockViewPage(window.context(), page);
    layout->addWidget(view, 1);
    m.categories = tree;
    m.stockView = view;
    QObject::connect(view, &stock::StockViewPage::stockTransferRequested, view,
                     [view, &window] { stock::startStockTransfer(window.context(), *view, view); });
    QObject::connect(view, &stock::StockViewPage::transferRecordsRequested, view,
                     [view, &window] { stock::openTransferRecordsWindow(window.context(), view); });
    QObject::connect(view, &stock::StockViewPage::alarmReportRequested, view,
                     [view, &window] { stock::openStockAlarmReportWindow(window.context(), view); });
    QObject::connect(view, &stock::StockViewPage::returnsRequested, view,
                     [view, &window] { reports::openReturnsWindow(window.context(), view); });
    // The user's choice of a category, by the mouse or the keyboard, lists its rows; the tree's own
    // reload leaves the list as the page switch filled it.
    QObject::connect(tree, &stock::CategoryTreeWidget::categoryChosen, view, &stock::StockViewPage::listStockOfCategory);
    QObject::connect(tree, &stock::CategoryTreeWidget::categoriesChanged, &window, [&m] {
        if (m.purchase)
            m.purchase->loadPurchaseCategoryCombo();
    });
    return page;
}

// Puts an administration page on its page of the settings tab, loaded whenever that page is shown.
template <typename Page>
Page *mountSettingsPage(shell::SettingsTab *tab, shell::SettingsTab::Page place, Page *page, void (Page::*load)())
{
    if (QLayout *holder = tab->page(place)->layout())
        holder->setContentsMargins(0, 0, 0, 0); // the page has margins of its own
    tab->setPageContent(place, page);
    tab->setPageLoader(place, [p = QPointer<Page>(page), load] {
        if (p)
            (p.data()->*load)();
    });
    return page;
}

QWidget *settingsPage(Mounted &m, shell::MainWindow &window)
{
    AppContext &context = window.context();
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *tab = new shell::SettingsTab(context, page);
    layout->addWidget(tab);
    m.settings = tab;

    using shell::SettingsTab;
    m.accounts = mountSettingsPage(tab, SettingsTab::Accounts, new admin::AccountsPage(context), &admin::AccountsPage::load);
    admin::ShopSettingsPage *shop =
        mountSettingsPage(tab, SettingsTab::ShopSetup, new admin::ShopSettingsPage(context), &admin::ShopSettingsPage::load);
    mountSettingsPage(tab, SettingsTab::Log, new admin::LogPage(context), &admin::LogPage::load);
    m.printSettings = mountSettingsPage(tab, SettingsTab::Printing, new printing::PrintSettingsPage(context),
                                        &printing::PrintSettingsPage::syncPrintSwitches);
    // 测试打印 prints whatever the cart holds, under the last sale's receipt number, as a job of
    // its own name.
    m.printSettings->testPrintReceiptHook = [&m, &context, printed = 0]() mutable {
        printing::Receipt receipt = cashier::receiptOf(m.cart, context.receiptNo);
        receipt.jobName = printing::testPrintJobName(Clock::now(), ++printed);
        m.receipts->printReceipt(receipt);
    };
    // 测试打印1 prints one label from the purchase form, as 单独打标签 does.
    m.printSettings->testPrintLabelHook = [&m] {
        if (m.purchase)
            m.purchase->printBarcodeLabel();
    };
    admin::SupportPage *support = mountSettingsPage(tab, SettingsTab::Help, new admin::SupportPage(context),
                                                    &admin::SupportPage::loadSupportMessages);
    QObject::connect(support, &admin::SupportPage::helpFileRequested, support, [support] { shell::openHelpFile(support); });

    auto *suppliers = new stock::SupplierPage(context);
    if (QLayout *holder = tab->page(shell::SettingsTab::Suppliers)->layout())
        holder->setContentsMargins(0, 0, 0, 0); // the supplier page has margins of its own
    tab->setPageContent(shell::SettingsTab::Suppliers, suppliers);
    tab->setPageLoader(shell::SettingsTab::Suppliers, [s = QPointer(suppliers)] {
        if (s)
            s->loadSupplierList();
    });
    m.suppliers = suppliers;
    QObject::connect(suppliers, &stock::SupplierPage::suppliersChanged, &window, [&m] {
        if (m.purchase)
            m.purchase->loadPurchaseSupplierCombo();
    });

    auto *catalogue = new stock::CatalogueListsBox(context);
    // The place is inside the page's own group of that title: no second frame and title.
    catalogue->setTitle(QString());
    catalogue->setFlat(true);
    if (QLayout *place = shop->catalogueListsPlace()->layout()) {
        place->setContentsMargins(0, 0, 0, 0);
        place->addWidget(catalogue);
    }
    shop->setCatalogueLoader([c = QPointer(catalogue)] {
        if (c)
            c->loadAll();
    });

    // The member tier grid in the page's group 会员设置; the page reloads the tiers after it.
    auto *tiers = new members::MemberTierGrid(context);
    if (QLayout *place = shop->tierGridPlace()->layout())
        place->addWidget(tiers);
    shop->setMemberCategoryLoader([t = QPointer(tiers)] {
        if (t)
            t->loadMemberCategoryList();
    });
    m.tierGrid = tiers;

    tab->setDatabaseSettingsOpener([&context, &window] {
        shell::DatabaseSettingsWindow settings(context, &window);
        MessageSeam::exec(&settings);
    });

    // The support messages need a key only when there is a support server to send them to.
    const SettingsFile ini = SettingsFile::inDirectory(ProgramDir::path());
    const bool configured = admin::RemoteSupportServer::isConfigured(admin::RemoteSupportServer::readSettings(ini));
    support->setSupportServer(&m.support, configured ? workstationKey(ini) : QString());

    QObject::connect(shop, &admin::ShopSettingsPage::workstationShopChanged, &window, [&window] { window.fillStatusBar(); });
    return page;
}

} // namespace

shell::MainPages assembleMainPages(std::shared_ptr<printing::LabelPrinter> labels,
                                   std::shared_ptr<printing::ReceiptPrinter> receipts)
{
    auto m = std::make_shared<Mounted>();
    m->labels = labels ? std::move(labels) : std::make_shared<printing::RecordingLabelPrinter>();
    m->receipts = receipts ? std::move(receipts) : std::make_shared<printing::RecordingReceiptPrinter>();
    // Printers on a device lay receipts and labels out as the settings page shows them at that moment.
    const auto look = [weak = std::weak_ptr<Mounted>(m)] {
        const auto mounted = weak.lock();
        return mounted && mounted->printSettings ? mounted->printSettings->currentLook() : printing::initialLook();
    };
    if (auto *device = dynamic_cast<printing::DeviceReceiptPrinter *>(m->receipts.get()))
        device->setLookSource(look);
    if (auto *device = dynamic_cast<printing::DeviceLabelPrinter *>(m->labels.get()))
        device->setLookSource(look);

    shell::MainPages pages;
    pages.listRowCount = [](QWidget *list) {
        auto *reportList = qobject_cast<ReportList *>(list);
        return reportList ? reportList->rowCount() : 0;
    };
    pages.clearList = [](QWidget *list) {
        if (auto *reportList = qobject_cast<ReportList *>(list))
            reportList->clear();
    };

    // The pages hold on to the shared state through the hooks; the main window keeps the hooks
    // for as long as it lives.
    pages.createPage[0] = [m](shell::MainWindow &w) { return counterPage(*m, w); };
    pages.createPage[1] = [m](shell::MainWindow &w) { return salesPage(*m, w); };
    pages.createPage[2] = [m](shell::MainWindow &w) { return memberPage(*m, w); };
    pages.createPage[3] = [m](shell::MainWindow &w) { return purchasePage(*m, w); };
    pages.createPage[4] = [m](shell::MainWindow &w) { return categoryPage(*m, w); };
    pages.createPage[5] = [m](shell::MainWindow &w) -> QWidget * { return m->expenses = new reports::ExpensePage(w.context()); };
    pages.createPage[6] = [m](shell::MainWindow &w) { return settingsPage(*m, w); };

    using stock::PurchasePage;
    pages.fillStockList = [m](data::RecordSet &records) {
        if (m->stockView)
            m->stockView->fillStockList(records);
    };
    pages.loadPurchaseSupplierCombo = onMounted(m, &Mounted::purchase, [](PurchasePage *p) { p->loadPurchaseSupplierCombo(); });
    pages.loadPurchaseCategoryCombo = onMounted(m, &Mounted::purchase, [](PurchasePage *p) { p->loadPurchaseCategoryCombo(); });
    pages.loadPurchaseColourCombos = onMounted(m, &Mounted::purchase, [](PurchasePage *p) { p->loadPurchaseColourCombos(); });
    pages.loadPurchaseSizeCombos = onMounted(m, &Mounted::purchase, [](PurchasePage *p) { p->loadPurchaseSizeCombos(); });
    pages.loadPurchaseUnitCombo = onMounted(m, &Mounted::purchase, [](PurchasePage *p) { p->loadPurchaseUnitCombo(); });
    pages.fillPurchaseList = [m](data::RecordSet &records) {
        if (m->purchase)
            m->purchase->fillPurchaseList(records);
    };
    pages.loadCategoryTree = onMounted(m, &Mounted::categories, [](stock::CategoryTreeWidget *t) { t->loadCategoryTree(); });
    pages.loadShopAccountList = [m] {
        if (m->accounts)
            m->accounts->loadShopAccountList();
        if (m->settings)
            m->settings->setCurrentIndex(shell::SettingsTab::Accounts);
    };

    pages.fillSalesDetailList = [m](data::RecordSet &records) {
        if (m->sales)
            m->sales->fillSalesDetailList(records);
    };
    pages.fillExpenseList = [m](data::RecordSet &records) {
        if (m->expenses)
            m->expenses->fillExpenseList(records);
    };
    pages.fillMemberList = [m](data::RecordSet &records) {
        if (m->members)
            m->members->fillMemberList(records);
    };

    // The cashier's keys, as the main window's registry delivers them.
    using cashier::PosKey;
    auto key = [m](PosKey k) {
        return [m, k] {
            if (m->cashier)
                cashier::handleCashierKey(k, m->cart, m->keys, m->cashier->window());
        };
    };
    pages.cartLineCount = [m] { return m->cart.count(); };
    pages.resetCart = key(PosKey::Esc);
    pages.startCheckout = key(PosKey::F5);
    pages.holdCurrentOrder = key(PosKey::F1);
    pages.openHeldOrdersWindow = key(PosKey::F2);
    pages.openLockSetupDialog = key(PosKey::F4);
    pages.openCashDrawer = key(PosKey::F8);

    pages.checkMemberBirthdays = onMounted(m, &Mounted::members, [m](members::MemberPage *p) {
        members::checkMemberBirthdays(p->context(), m->lunarKeyOf, p->window());
    });
    pages.loadReceiptLayout =
        onMounted(m, &Mounted::printSettings, [](printing::PrintSettingsPage *p) { p->loadReceiptLayout(); });
    pages.attachListCellEditors = onMounted(m, &Mounted::tierGrid, [](members::MemberTierGrid *g) { g->attachCellEditor(); });

    using shell::NoticeTicker;
    pages.startNoticeTicker = onMounted(m, &Mounted::ticker, [](NoticeTicker *t) { t->startNoticeTicker(); });
    pages.scrollNoticeTicker = onMounted(m, &Mounted::ticker, [](NoticeTicker *t) { t->scrollNoticeTicker(); });
    pages.refreshNoticeTicker = onMounted(m, &Mounted::ticker, [](NoticeTicker *t) { t->refreshNoticeTicker(); });

    shell::installDatabaseCare(pages); // the backup at closing; restore and data move of 配置数据库
    pages.newerVersionAddress = [](const QString &programVersion) {
        return admin::RemoteSupportServer::newerVersionAddress(SettingsFile::inDirectory(ProgramDir::path()),
                                                               programVersion);
    };
    return pages;
}

} // namespace app
