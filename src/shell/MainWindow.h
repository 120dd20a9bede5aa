#pragma once
// The main window: a vertical toolbar (工具条1) switches the seven pages of the tab control
// 选择夹1; the status bar shows the clerk, the shop, the mode and the version; the cashier's six
// hot keys act while the window is active. The pages themselves come from the feature subsystems
// through MainPages. Closing the window ends the program.
#include <QMainWindow>
#include <array>
#include <memory>

#include "data/RecordSet.h"
#include "shell/MainPages.h"

class AppContext;
class QAction;
class QLabel;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace shell {

class MainWindow : public QMainWindow
{
public:
    static inline const QString TitlePrefix = QStringLiteral("岚舟服装进销存---");
    static inline const QString StatusTail = QStringLiteral("        ");
    static inline const QString LoginLogText = QStringLiteral("登陆成功!");
    static inline const QString BackupLogText = QStringLiteral("数据自动备份！");
    static inline const QString EmptyCartHoldText = QStringLiteral("当前列表还没有订单！");

    // The slots of mainHotKeys.
    enum HotKeySlot { SlotF5, SlotEsc, SlotF1, SlotF2, SlotF4, SlotF8, HotKeySlotCount };
    // The page 前台收银, the only page on which Esc clears the cart.
    static constexpr int CounterPage = 0;

    static const QStringList &toolbarCaptions();
    static const QStringList &pageCaptions();

    // Builds the window and its pages, then runs initMainWindow().
    MainWindow(AppContext &context, MainPages pages, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppContext &context() { return m_context; }
    const MainPages &pages() const { return m_pages; }

    // The page switch of the toolbar: n = 0..6; the page's right is checked first.
    void switchMainPage(int n);
    int currentPage() const;
    QWidget *page(int n) const;

    // The cashier's six keys: registering again first releases the keys still held, so exactly
    // one set stays live. A refused key keeps 0 in its slot. Esc clears the cart only while the
    // counter page is shown; on the other pages it is left to the focused control (a drop-down
    // list closes, say), as if it were no hot key.
    void registerPosHotKeys();
    void releasePosHotKeys();
    void handlePosHotKey(int id);
    const std::array<int, HotKeySlotCount> &mainHotKeys() const { return m_hotKeys; }

    void openLiveBroadcastWindow();
    void shutDownMainWindow();

    // Fills the status bar from the context (again after the workstation was bound to another shop).
    void fillStatusBar();
    QString statusText(int part) const;
    QToolBar *toolbar() const { return m_toolbar; }
    QAction *toolbarAction(int n) const;
    QToolButton *liveButton() const { return m_liveButton; }
    bool liveButtonShown() const;
    QTimer *scrollTimer() const { return m_timer1; }
    QTimer *reloadTimer() const { return m_timer2; }

    // The tooltips of the window's controls, by object name.
    static const QList<QPair<QString, QString>> &tooltips();
    // Attaches the tooltips to the controls that exist (again after a page was rebuilt).
    void applyTooltips();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildWindow();
    void initMainWindow();
    void startNoticeTimers();
    void refillShopCombo();
    bool listIsEmpty(const QString &listName) const;
    void clearList(const QString &listName);
    void setLiveButtonShown(bool shown);
    void run(const std::function<void()> &hook) { if (hook) hook(); }

    AppContext &m_context;
    MainPages m_pages;
    data::RecordSet m_rs1; // 记录集1
    bool m_shutDown = false;

    QToolBar *m_toolbar = nullptr;       // 工具条1
    QList<QAction *> m_pageActions;
    QToolButton *m_liveButton = nullptr; // 实况
    QAction *m_liveAction = nullptr;
    QTabWidget *m_tabs = nullptr;        // 选择夹1
    QLabel *m_status0 = nullptr;         // 状态条1, part 0
    QLabel *m_status1 = nullptr;         // part 1
    QLabel *m_hotKeyLabel = nullptr;     // 标签6
    QTimer *m_timer1 = nullptr;          // 时钟1
    QTimer *m_timer2 = nullptr;          // 时钟2
    std::array<int, HotKeySlotCount> m_hotKeys{};
};

} // namespace shell
