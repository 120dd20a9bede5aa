#pragma once
// The lock set-up dialog "屏幕锁定工具": the password twice, then the lock window over the whole
// screen. It opens modal after the cashier's six keys were released; whichever way it ends (its
// close button, the lock unlocked, a close by the window manager) the keys go back exactly once.
#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace shell {

class LockScreenWindow;
class ScreenLockState;

class LockSetupDialog : public QDialog
{
public:
    static constexpr double Opacity = 200.0 / 255.0;

    // registerPosHotKeys gives the six keys back to the main window.
    LockSetupDialog(std::function<void()> registerPosHotKeys, QWidget *parent = nullptr);
    ~LockSetupDialog() override;

    // The lock button: with two equal, non-empty passwords opens the lock window modal and closes
    // this dialog once it was unlocked.
    void startScreenLock();
    void minimizeLockSetupDialog();
    // The close button: the keys back, the dialog closed.
    void cancelScreenLock();

    ScreenLockState &state() { return *m_state; }
    QLabel *prompt() const { return m_prompt; }
    QLineEdit *passwordBox() const { return m_password; }
    QLineEdit *repeatBox() const { return m_repeat; }
    QToolButton *lockButton() const { return m_lockButton; }
    QToolButton *minimizeButton() const { return m_minimize; }
    QToolButton *closeButton() const { return m_close; }

    void done(int result) override;

private:
    void showPrompt();

    std::unique_ptr<ScreenLockState> m_state;
    QLabel *m_prompt;         // 标签_提示
    QLineEdit *m_password;    // 编辑框_密码框
    QLineEdit *m_repeat;      // 编辑框_重复密码框
    QToolButton *m_lockButton; // 图形按钮1
    QPushButton *m_hiddenButton; // 按钮1
    QToolButton *m_minimize;  // 图形按钮_最小化
    QToolButton *m_close;     // 图形按钮_关闭
};

// F4 and "锁屏[F4]" (the six keys already released): the set-up dialog, modal over the parent.
void openLockSetupDialog(QWidget *parent, std::function<void()> registerPosHotKeys);

} // namespace shell
