#pragma once
// The lock window: covers the whole screen, nearly opaque, with the panel 图片框1 centred on it
// asking for the password. While it is locked it takes the keyboard for itself, holds back the keys
// that would leave it (LockKeyFilter), ignores every request to close it and comes back to the top
// every few hundred milliseconds. A desktop that refuses the keyboard grab (a Wayland session)
// still shows the lock and still asks for the password.
#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace shell {

class LockKeyFilter;
class ScreenLockState;

class LockScreenWindow : public QDialog
{
public:
    static constexpr int PanelWidth = 376;
    static constexpr int PanelHeight = 136;
    static constexpr double Opacity = 250.0 / 255.0;
    static constexpr int RaisePeriodMs = 250;
    // How often the keyboard grab is asked for before the lock holds without it.
    static constexpr int GrabAttempts = 8;

    // The panel's top left corner on a screen of this size (halves cut toward zero).
    static QPoint panelPosition(const QSize &screen);

    LockScreenWindow(ScreenLockState &state, QWidget *parent = nullptr);
    ~LockScreenWindow() override;

    // The unlock button (and Enter in the unlock box): closes the window when the password is right.
    void unlockScreen();
    // The timer's tick: the lock window to the top again.
    void keepLockScreenOnTop();

    QLineEdit *unlockBox() const { return m_box; }
    QLabel *statusLabel() const { return m_status; }
    QFrame *panel() const { return m_panel; }
    QTimer *raiseTimer() const { return m_timer; }
    bool keyFilterInstalled() const;
    // Whether the desktop granted the keyboard grab.
    bool keyboardGrabbed() const { return m_grabbed; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void installKeyboardHook();
    void removeKeyboardHook();
    void resetUnlockPrompt();
    void showStatus();
    void coverScreen();

    ScreenLockState &m_state;
    LockKeyFilter *m_filter;
    QFrame *m_panel;     // 图片框1
    QLabel *m_status;    // 标签2
    QLineEdit *m_box;    // 编辑框_解锁密码框
    QToolButton *m_unlockButton; // 图形按钮1
    QPushButton *m_hiddenButton; // 按钮1
    QTimer *m_timer;     // 时钟1
    bool m_grabbed = false;
    int m_grabAttempts = 0;
};

} // namespace shell
