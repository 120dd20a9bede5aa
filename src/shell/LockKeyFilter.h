#pragma once
// The keyboard filter of the lock window: while it is installed on the application, the keys that
// would leave or close the lock (Esc, Tab, F4, Delete, the Windows keys and every combination with
// Alt or a Windows key) reach nothing. Everything a password can hold passes, blanks and shifted
// characters included, so any password that can be set can be typed again to unlock.
#include <QObject>

namespace shell {

class LockKeyFilter : public QObject
{
public:
    explicit LockKeyFilter(QObject *parent = nullptr);

    // True when the key (a Qt::Key) pressed with these modifiers is held back.
    static bool swallows(int key, Qt::KeyboardModifiers modifiers);

    // Installs the filter on the application (once); removes it again.
    void install();
    void remove();
    bool isInstalled() const { return m_installed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_installed = false;
};

} // namespace shell
