#pragma once
// The start window: start-up prepares the application context (sql.ini, the shop database of the
// mode, the shop's rows, today's date), checks the account table and the published version, then
// waits for a login. Without a usable configuration the database settings window opens instead
// and the program ends when it closes.
#include <QStringList>
#include <QWidget>
#include <functional>

#include "shell/MainPages.h"

class AppContext;
class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class MainWindow;

class LoginWindow : public QWidget
{
public:
    enum class StartResult { WaitingForLogin, Ended };

    // The interface font the set-up installs; the start-up checks that it is there.
    static inline const QString InterfaceFont = QStringLiteral("WenQuanYi Micro Hei");
    static inline const QString FontDownloadPage =
        QStringLiteral("https://packages.debian.org/bookworm/fonts-wqy-microhei");
    static inline const QString AdminHintText = QStringLiteral("管理员默认帐号：admin    密码：580417");
    static QString fontQuestionText();
    // «检到新版本！请在弹出的网页上下载\r\n或者手动打开下载 <address> （地址已复制）»
    static QString newVersionText(const QString &address);
    // True when no installed family name contains the interface font's name.
    static bool interfaceFontMissing(const QStringList &families);
    // The installed font families; tests give their own list (an empty function: the system's).
    using FontFamilies = std::function<QStringList()>;
    static void setFontFamilies(FontFamilies families);
    static QStringList installedFontFamilies();

    LoginWindow(AppContext &context, MainPages pages, QWidget *parent = nullptr);

    // The start-up steps, in order; Ended when the program is to end (the window is not shown).
    StartResult initLoginWindow();
    // The update check (MainPages::newerVersionAddress); true when a newer version was announced
    // (the program then ends). Nothing is asked without that check.
    bool onlineVersionCheck();
    // The exit button: closes the connections and the window.
    void exitFromLoginWindow();
    // The login button (and Enter in the password box): on success the main window opens and
    // this window closes.
    void login();

    bool adminHintShown() const;
    int accountCount() const { return m_accountCount; }
    MainWindow *mainWindow() const { return m_mainWindow; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    StartResult endWithSettingsWindow();
    // Brings an older shop database up to date before login. False, with the connection closed,
    // when it is no shop database, made by a newer program (said) or the upgrade failed (said).
    bool upgradeShopDatabase();

    AppContext &m_context;
    MainPages m_pages;
    QLineEdit *m_account = nullptr;    // 编辑框1
    QLineEdit *m_password = nullptr;   // 编辑框2
    QPushButton *m_loginButton = nullptr; // 超级按钮1
    QPushButton *m_exitButton = nullptr;  // 超级按钮2
    QLabel *m_adminHint = nullptr;     // 透明标签1
    QLabel *m_modeLabel = nullptr;     // 透明标签3
    int m_accountCount = -1;
    bool m_loggedIn = false;
    MainWindow *m_mainWindow = nullptr;
};

// The program's start: the start window runs its start-up once the event loop runs; the loop ends
// when start-up ends the program, when the start window is closed without a login, or when the
// main window closes. Returns the exit code.
int programStart(AppContext &context, MainPages pages);

} // namespace shell
