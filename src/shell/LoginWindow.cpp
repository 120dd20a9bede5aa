#include "shell/LoginWindow.h"

#include "context/AppContext.h"
#include "context/ShopDatabase.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SettingsFile.h"
#include "data/SqlBuilder.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/DesktopActions.h"
#include "shell/Login.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace shell {

QString LoginWindow::fontQuestionText()
{
    return QStringLiteral("检到你的系统没有安装[") + InterfaceFont
        + QStringLiteral("]字体，为保证软件显示效果，请安装\r\n选择【是】，软件弹出下载网页。\r\n选择【否】，自行下载");
}

QString LoginWindow::newVersionText(const QString &address)
{
    return QStringLiteral("检到新版本！请在弹出的网页上下载") + QStringLiteral("\r\n") + QStringLiteral("或者手动打开下载 ")
        + address + QStringLiteral(" （地址已复制）");
}

bool LoginWindow::interfaceFontMissing(const QStringList &families)
{
    for (const QString &family : families) {
        if (family.contains(InterfaceFont))
            return false;
    }
    return true;
}

namespace {
LoginWindow::FontFamilies &fontFamilies()
{
    static LoginWindow::FontFamilies instance;
    return instance;
}
} // namespace

void LoginWindow::setFontFamilies(FontFamilies families)
{
    fontFamilies() = std::move(families);
}

QStringList LoginWindow::installedFontFamilies()
{
    return fontFamilies() ? fontFamilies()() : QFontDatabase::families();
}

LoginWindow::LoginWindow(AppContext &context, MainPages pages, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_pages(std::move(pages))
{
    setObjectName(QStringLiteral("LoginWindow"));
    setWindowTitle(QString());
    resize(550, 350);

    m_exitButton = new QPushButton(QStringLiteral("退出"));
    m_exitButton->setObjectName(QStringLiteral("超级按钮2"));
    m_account = new QLineEdit;
    m_account->setObjectName(QStringLiteral("编辑框1"));
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("编辑框2"));
    m_password->setEchoMode(QLineEdit::Password);
    m_loginButton = new QPushButton(QStringLiteral("登陆"));
    m_loginButton->setObjectName(QStringLiteral("超级按钮1"));
    m_adminHint = new QLabel(AdminHintText);
    m_adminHint->setObjectName(QStringLiteral("透明标签1"));
    m_adminHint->hide();
    m_modeLabel = new QLabel;
    m_modeLabel->setObjectName(QStringLiteral("透明标签3"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_modeLabel);
    top->addStretch();
    top->addWidget(m_exitButton);
    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("帐号：")), 0, 0);
    form->addWidget(m_account, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("密码：")), 1, 0);
    form->addWidget(m_password, 1, 1);
    form->addWidget(m_loginButton, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(form);
    layout->addWidget(m_adminHint, 0, Qt::AlignHCenter);
    layout->addStretch();

    // The keyboard starts in the account box and Tab goes on to the password and the login
    // button; 退出, first on screen, comes last.
    setTabOrder(m_account, m_password);
    setTabOrder(m_password, m_loginButton);
    setTabOrder(m_loginButton, m_exitButton);
    m_account->setFocus();

    connect(m_loginButton, &QPushButton::clicked, this, [this] { login(); });
    connect(m_password, &QLineEdit::returnPressed, this, [this] { login(); }); // Enter in the password box only
    connect(m_exitButton, &QPushButton::clicked, this, [this] { exitFromLoginWindow(); });
}

bool LoginWindow::adminHintShown() const
{
    return !m_adminHint->isHidden();
}

LoginWindow::StartResult LoginWindow::endWithSettingsWindow()
{
    DatabaseSettingsWindow settings(m_context, this);
    MessageSeam::exec(&settings);
    return StartResult::Ended;
}

LoginWindow::StartResult LoginWindow::initLoginWindow()
{
    m_context.programVersion = AppContext::ProgramVersion;

    if (interfaceFontMissing(installedFontFamilies())
        && MessageSeam::question(this, QString(), fontQuestionText(), MessageIcon::Warning))
        DesktopActions::openUrl(QUrl(FontDownloadPage));

    loadSettingsFromIni(m_context);
    m_modeLabel->setText(m_context.runMode);
    if (m_context.runMode.isEmpty())
        return endWithSettingsWindow();

    if (m_context.isSingleMachine()) {
        openShopDatabase(m_context); // a file that does not open shows in the account check
    } else if (m_context.isNetwork()) {
        if (m_context.sqlServerSettings.ip.isEmpty() || !openShopDatabase(m_context))
            return endWithSettingsWindow();
    }
    if (m_context.connection().isOpen() && !upgradeShopDatabase())
        return endWithSettingsWindow();
    if (m_context.connection().isOpen()) {
        loadDiscountScheme(m_context);
        loadShopSettings(m_context);
        loadMemberTiers(m_context);
    }
    refreshTodayAtStartup(m_context);

    data::RecordSet accounts(m_context.connection());
    accounts.open(data::buildSelectSql(m_context.connection().dialect(), QStringLiteral("帐号管理"), {}, false,
                                       QString(), false));
    m_accountCount = accounts.rowCount();
    if (m_accountCount == 1)
        m_adminHint->show();
    else if (m_accountCount < 0)
        return endWithSettingsWindow();

    if (onlineVersionCheck())
        return StartResult::Ended;
    return StartResult::WaitingForLogin;
}

bool LoginWindow::upgradeShopDatabase()
{
    const data::SchemaUpgrade upgrade = data::upgradeSchema(m_context.connection());
    switch (upgrade.outcome) {
    case data::SchemaUpgrade::UpToDate:
    case data::SchemaUpgrade::Upgraded:
        return true;
    case data::SchemaUpgrade::NotShopDatabase:
        break;
    case data::SchemaUpgrade::Newer:
        MessageSeam::message(this, QString(), data::newerSchemaText(upgrade.from, upgrade.to), MessageIcon::Warning);
        break;
    case data::SchemaUpgrade::Failed:
        MessageSeam::message(this, QString(), data::upgradeFailedText(upgrade.from, upgrade.to, upgrade.error),
                             MessageIcon::Warning);
        break;
    }
    m_context.connection().close();
    return false;
}

bool LoginWindow::onlineVersionCheck()
{
    if (!m_pages.newerVersionAddress)
        return false;
    const std::optional<QString> address = m_pages.newerVersionAddress(m_context.programVersion);
    if (!address)
        return false;
    DesktopActions::copyToClipboard(*address);
    DesktopActions::openUrl(QUrl::fromUserInput(*address));
    MessageSeam::message(this, QString(), newVersionText(*address));
    return true;
}

void LoginWindow::exitFromLoginWindow()
{
    close();
}

void LoginWindow::closeEvent(QCloseEvent *event)
{
    if (!m_loggedIn)
        m_context.connection().close(); // the program ends with this window
    event->accept();
}

void LoginWindow::login()
{
    if (m_loggedIn)
        return;
    if (!shell::login(m_context, m_account->text(), m_password->text(), this))
        return;
    m_loggedIn = true;
    m_mainWindow = new MainWindow(m_context, m_pages);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_mainWindow->show();
    close();
}

int programStart(AppContext &context, MainPages pages)
{
    // Message boxes and the settings window may be the only windows during start-up; closing
    // them must not end the program. Once the start window shows, the last window ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!LoginWindow::interfaceFontMissing(LoginWindow::installedFontFamilies())) {
        QFont font(LoginWindow::InterfaceFont);
        font.setPointSize(QApplication::font().pointSize());
        QApplication::setFont(font);
    }

    auto *window = new LoginWindow(context, std::move(pages));
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Start-up runs inside the event loop, so that ending it ends the loop.
    QTimer::singleShot(0, window, [window] {
        if (window->initLoginWindow() == LoginWindow::StartResult::Ended) {
            window->close();
            window->deleteLater();
            QCoreApplication::exit(0);
            return;
        }
        // The start window has no frame to drag: put it in the middle of the screen.
        if (const QScreen *screen = window->screen())
            window->move(screen->availableGeometry().center() - window->rect().center());
        window->show();
        QApplication::setQuitOnLastWindowClosed(true);
    });
    QApplication::exec();
    return 0;
}

} // namespace shell
