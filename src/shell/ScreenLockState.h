#pragma once
// The screen lock's state: the password of the lock in force, the prompt lines of the set-up
// dialog and of the lock window with their colours, and the cashier's six keys, which go back to
// the main window exactly once whichever way the lock ends (the set-up dialog closed, or the
// screen unlocked).
#include <QColor>
#include <QString>
#include <functional>

namespace shell {

struct LockPrompt
{
    QString text;
    QColor colour;
    bool operator==(const LockPrompt &) const = default;
};

class ScreenLockState
{
public:
    static inline const QString SetupPromptText = QStringLiteral("请输入密码后继续：");
    static inline const QString MismatchText = QStringLiteral("密码不一致，请重新输入！");
    static inline const QString EmptyText = QStringLiteral("未输入密码，请重新输入！");
    static inline const QString LockedText = QStringLiteral("屏幕锁定中。。。");
    static inline const QString WrongText = QStringLiteral("密码不正确，请重新输入！");
    static inline const QColor Red{255, 0, 0};
    static inline const QColor White{255, 255, 255};
    static inline const QColor LightGrey{236, 236, 236};

    // registerPosHotKeys gives the cashier's six keys back to the main window.
    explicit ScreenLockState(std::function<void()> registerPosHotKeys);

    // The set-up dialog's prompt line (标签_提示).
    const LockPrompt &setupPrompt() const { return m_setupPrompt; }
    // Either password box changed: the white prompt again.
    void setupBoxChanged();
    // The lock button: both boxes must hold the same, non-empty text. True when the lock starts
    // (the password is then the lock's); otherwise the prompt says why, in red.
    bool startScreenLock(const QString &password, const QString &repeat);

    // The lock window's status line (标签2).
    const LockPrompt &unlockPrompt() const { return m_unlockPrompt; }
    // The unlock box changed: the grey status line again.
    void unlockBoxChanged();
    // The unlock button: true when the typed text is the lock's password; the lock ends and the
    // keys go back. Otherwise the status line says why, in red.
    bool unlockScreen(const QString &typed);

    bool isLocked() const { return m_locked; }
    const QString &lockPassword() const { return m_password; }

    // Gives the six keys back, the first time only.
    void returnKeys();
    bool keysReturned() const { return m_keysReturned; }

private:
    std::function<void()> m_registerPosHotKeys;
    LockPrompt m_setupPrompt{SetupPromptText, White};
    LockPrompt m_unlockPrompt{LockedText, LightGrey};
    QString m_password;
    bool m_locked = false;
    bool m_keysReturned = false;
};

} // namespace shell
