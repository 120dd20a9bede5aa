#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "platform/MessageScript.h"
#include "shell/Login.h"
#include "shell/LockKeyFilter.h"
#include "shell/LockScreenWindow.h"
#include "shell/LockSetupDialog.h"
#include "shell/MainWindow.h"
#include "shell/ScreenLockState.h"

using shell::LockKeyFilter;
using shell::LockScreenWindow;
using shell::LockSetupDialog;
using shell::ScreenLockState;

namespace {

const QColor Red(255, 0, 0);
const QColor White(255, 255, 255);
const QColor LightGrey(236, 236, 236);

QColor colourOf(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

// The set-up table: what the two boxes hold, the prompt and its colour after the lock button,
// whether the lock window opens.
struct SetupCase
{
    QString password;
    QString repeat;
    QString prompt;
    QColor colour;
    bool locks;
};

TEST(ScreenLockTest, SetupChecksBothBoxesBeforeLocking)
{
    const QList<SetupCase> cases{
        {"", "", "未输入密码，请重新输入！", Red, false},
        {"a", "", "密码不一致，请重新输入！", Red, false},
        {"", "a", "密码不一致，请重新输入！", Red, false},
        {"a", "b", "密码不一致，请重新输入！", Red, false},
        {"a b!", "a b!", "请输入密码后继续：", White, true},
    };
    for (const SetupCase &c : cases) {
        SCOPED_TRACE(("\"" + c.password + "\" / \"" + c.repeat + "\"").toStdString());
        MessageScript script;
        QString passwordWhileLocked;
        script.setDialogHandler([&](QDialog *dialog) {
            passwordWhileLocked = static_cast<LockSetupDialog *>(dialog->parentWidget())->state().lockPassword();
            return int(QDialog::Rejected);
        });
        int registered = 0;
        LockSetupDialog dialog([&] { ++registered; });
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("屏幕锁定工具"));
        EXPECT_EQ(dialog.prompt()->text(), QStringLiteral("请输入密码后继续："));
        dialog.passwordBox()->setText(c.password);
        dialog.repeatBox()->setText(c.repeat);
        dialog.lockButton()->click();
        EXPECT_EQ(dialog.prompt()->text(), c.prompt);
        EXPECT_EQ(colourOf(dialog.prompt()), c.colour);
        EXPECT_EQ(script.dialogs(), c.locks ? QStringList{QStringLiteral("LockScreenWindow")} : QStringList{});
        EXPECT_EQ(passwordWhileLocked, c.locks ? c.password : QString());
        EXPECT_EQ(registered, 0) << "the keys stay released while the lock holds or the dialog is open";
    }
}

TEST(ScreenLockTest, ChangingEitherBoxTurnsThePromptWhiteAgain)
{
    for (const bool repeatBox : {false, true}) {
        LockSetupDialog dialog({});
        dialog.passwordBox()->setText(QStringLiteral("a"));
        dialog.lockButton()->click();
        ASSERT_EQ(dialog.prompt()->text(), QStringLiteral("密码不一致，请重新输入！"));
        (repeatBox ? dialog.repeatBox() : dialog.passwordBox())->setText(QStringLiteral("x"));
        EXPECT_EQ(dialog.prompt()->text(), QStringLiteral("请输入密码后继续："));
        EXPECT_EQ(colourOf(dialog.prompt()), White);
    }
}

TEST(ScreenLockTest, UnlockNeedsTheLockPassword)
{
    int registered = 0;
    ScreenLockState state([&] { ++registered; });
    ASSERT_TRUE(state.startScreenLock(QStringLiteral("Ab 1!"), QStringLiteral("Ab 1!")));
    LockScreenWindow lock(state);
    EXPECT_EQ(lock.statusLabel()->text(), QStringLiteral("屏幕锁定中。。。"));
    EXPECT_EQ(colourOf(lock.statusLabel()), LightGrey);
    EXPECT_EQ(lock.unlockBox()->echoMode(), QLineEdit::Password);
    EXPECT_DOUBLE_EQ(lock.windowOpacity(), 250.0 / 255.0);
    lock.show();
    ASSERT_TRUE(lock.isVisible());

    struct UnlockCase
    {
        QString typed;
        QString status;
        QColor colour;
        bool unlocks;
    };
    const QList<UnlockCase> cases{
        {"", "未输入密码，请重新输入！", Red, false},
        {"ab 1!", "密码不正确，请重新输入！", Red, false},
        {"Ab 1!", "屏幕锁定中。。。", LightGrey, true},
    };
    for (const UnlockCase &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        lock.unlockBox()->setText(c.typed);
        lock.unlockScreen();
        EXPECT_EQ(lock.statusLabel()->text(), c.status);
        EXPECT_EQ(colourOf(lock.statusLabel()), c.colour);
        EXPECT_EQ(lock.isVisible(), !c.unlocks);
        EXPECT_EQ(lock.keyFilterInstalled(), !c.unlocks);
        EXPECT_EQ(registered, c.unlocks ? 1 : 0);
        if (!c.unlocks) {
            // A changed box brings the grey status line back.
            lock.unlockBox()->setText(c.typed + QStringLiteral("x"));
            EXPECT_EQ(lock.statusLabel()->text(), QStringLiteral("屏幕锁定中。。。"));
            EXPECT_EQ(colourOf(lock.statusLabel()), LightGrey);
        }
    }
    EXPECT_EQ(lock.result(), int(QDialog::Accepted));
    EXPECT_TRUE(state.lockPassword().isEmpty());
}

TEST(ScreenLockTest, KeyFilterHoldsBackOnlyTheWaysOut)
{
    struct KeyCase
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool swallowed;
    };
    const QList<KeyCase> cases{
        {Qt::Key_Escape, Qt::NoModifier, true},   {Qt::Key_Escape, Qt::ControlModifier, true},
        {Qt::Key_Tab, Qt::NoModifier, true},      {Qt::Key_Tab, Qt::AltModifier, true},
        {Qt::Key_Backtab, Qt::ShiftModifier, true}, {Qt::Key_F4, Qt::NoModifier, true},
        {Qt::Key_F4, Qt::AltModifier, true},      {Qt::Key_Space, Qt::AltModifier, true},
        {Qt::Key_Meta, Qt::MetaModifier, true},   {Qt::Key_Super_L, Qt::NoModifier, true},
        {Qt::Key_Super_R, Qt::NoModifier, true},  {Qt::Key_D, Qt::MetaModifier, true},
        {Qt::Key_Delete, Qt::NoModifier, true},   {Qt::Key_Alt, Qt::AltModifier, true},
        // What a password holds reaches the unlock box.
        {Qt::Key_Space, Qt::NoModifier, false},   {Qt::Key_Shift, Qt::ShiftModifier, false},
        {Qt::Key_A, Qt::ShiftModifier, false},    {Qt::Key_Exclam, Qt::ShiftModifier, false},
        {Qt::Key_A, Qt::NoModifier, false},       {Qt::Key_1, Qt::NoModifier, false},
        {Qt::Key_Backspace, Qt::NoModifier, false}, {Qt::Key_Return, Qt::NoModifier, false},
        {Qt::Key_V, Qt::ControlModifier, false},
    };
    for (const KeyCase &c : cases)
        EXPECT_EQ(LockKeyFilter::swallows(c.key, c.modifiers), c.swallowed)
            << QKeySequence(c.key | int(c.modifiers)).toString().toStdString();
}

TEST(ScreenLockTest, TypedPasswordWithBlankAndShiftUnlocksAndCloseRequestsAreIgnored)
{
    int registered = 0;
    ScreenLockState state([&] { ++registered; });
    ASSERT_TRUE(state.startScreenLock(QStringLiteral("a B!"), QStringLiteral("a B!")));
    LockScreenWindow lock(state);
    lock.show();
    // Offscreen the desktop grants no keyboard grab: the lock still shows and still asks.
    ASSERT_TRUE(lock.isVisible());
    EXPECT_TRUE(lock.keyFilterInstalled());
    EXPECT_EQ(lock.raiseTimer()->interval(), 250);
    EXPECT_TRUE(lock.raiseTimer()->isActive());

    QLineEdit *box = lock.unlockBox();
    QTest::keyClick(box, 'a');
    QTest::keyClick(box, Qt::Key_Space, Qt::NoModifier);
    QTest::keyClick(box, 'B', Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Tab);
    QTest::keyClick(box, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_F4, Qt::AltModifier);
    QTest::keyClick(box, '!', Qt::ShiftModifier);
    EXPECT_EQ(box->text(), QStringLiteral("a B!"));
    EXPECT_TRUE(lock.isVisible());

    // The window manager's close, Esc's reject: nothing happens while locked.
    EXPECT_FALSE(lock.close());
    lock.reject();
    EXPECT_TRUE(lock.isVisible());
    EXPECT_EQ(registered, 0);

    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(lock.isVisible());
    EXPECT_FALSE(lock.keyFilterInstalled());
    EXPECT_FALSE(lock.raiseTimer()->isActive());
    EXPECT_EQ(registered, 1);
    // Once unlocked, keys pass as usual again.
    QLineEdit other;
    QTest::keyClick(&other, Qt::Key_Space);
    EXPECT_EQ(other.text(), QStringLiteral(" "));
}

TEST(ScreenLockTest, PanelIsCentredOnTheScreen)
{
    EXPECT_EQ(LockScreenWindow::panelPosition(QSize(1920, 1080)), QPoint(772, 472));
    EXPECT_EQ(LockScreenWindow::panelPosition(QSize(1366, 769)), QPoint(495, 316));
    EXPECT_DOUBLE_EQ(LockSetupDialog({}).windowOpacity(), 200.0 / 255.0);
}

// Every way out of the lock gives the cashier's six keys back to the main window exactly once.
class ScreenLockWaysOutTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ws = std::make_unique<shelltest::Workstation>(data::Backend::Sqlite);
        ASSERT_TRUE(ws->db->ok());
        ASSERT_TRUE(ws->openContext(QStringLiteral("东店")));
        ASSERT_TRUE(ws->addAccount(QStringLiteral("li"), QStringLiteral("1"), QStringLiteral("李四"), QStringLiteral("东店")));
        ASSERT_EQ(shell::checkLogin(ws->ctx, QStringLiteral("li"), QStringLiteral("1")).outcome,
                  shell::LoginOutcome::Admitted);
    }
    std::unique_ptr<shelltest::Workstation> ws;
};

enum WayOut { CloseButton, Unlocked, EscOnSetup, WindowManagerCloseOnSetup, WrongThenUnlocked };

TEST_P(ScreenLockWaysOutTest, KeysComeBackExactlyOnce)
{
    const int way = GetParam();
    MessageScript script;
    shell::MainWindow *main = nullptr;
    shell::MainPages pages;
    pages.openLockSetupDialog = [&] { shell::openLockSetupDialog(main, [&] { main->registerPosHotKeys(); }); };
    int liveWhileOpen = -1;
    script.setDialogHandler([&](QDialog *dialog) {
        liveWhileOpen = std::max(liveWhileOpen, ws->hotKeys.liveCount());
        if (auto *lock = dynamic_cast<LockScreenWindow *>(dialog)) {
            if (way == WrongThenUnlocked) {
                lock->unlockBox()->setText(QStringLiteral("nope"));
                lock->unlockScreen();
            }
            lock->unlockBox()->setText(QStringLiteral("Ab 1"));
            lock->unlockScreen();
            return lock->result();
        }
        auto *setup = dynamic_cast<LockSetupDialog *>(dialog);
        if (!setup)
            return int(QDialog::Rejected);
        switch (way) {
        case CloseButton:
            setup->closeButton()->click();
            break;
        case EscOnSetup:
            setup->reject();
            break;
        case WindowManagerCloseOnSetup:
            setup->show();
            setup->close();
            break;
        default:
            setup->passwordBox()->setText(QStringLiteral("Ab 1"));
            setup->repeatBox()->setText(QStringLiteral("Ab 1"));
            setup->lockButton()->click();
            break;
        }
        return setup->result();
    });
    shell::MainWindow window(ws->ctx, pages);
    main = &window;
    const int before = ws->hotKeys.lastId();
    ASSERT_TRUE(ws->hotKeys.trigger(window.mainHotKeys()[shell::MainWindow::SlotF4]));
    EXPECT_EQ(liveWhileOpen, 0) << "the six keys are released while the lock is open";
    EXPECT_EQ(ws->hotKeys.lastId(), before + 6);
    EXPECT_EQ(ws->hotKeys.liveCount(), 6);
    for (int id : window.mainHotKeys())
        EXPECT_GT(id, before);
    const QStringList expectedDialogs = way == Unlocked || way == WrongThenUnlocked
                                            ? QStringList{QStringLiteral("LockSetupDialog"), QStringLiteral("LockScreenWindow")}
                                            : QStringList{QStringLiteral("LockSetupDialog")};
    EXPECT_EQ(script.dialogs(), expectedDialogs);
}

INSTANTIATE_TEST_SUITE_P(Ways, ScreenLockWaysOutTest,
                         ::testing::Values(CloseButton, Unlocked, EscOnSetup, WindowManagerCloseOnSetup, WrongThenUnlocked));

} // namespace
