#include "shell/DatabaseSettingsWindow.h"

#include "context/AppContext.h"
#include "data/Connection.h"
#include "data/SettingsFile.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "shell/DesktopActions.h"
#include "shell/HelpFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace shell {

namespace {

DatabaseSettingsWindow::Hooks &hooks()
{
    static DatabaseSettingsWindow::Hooks instance;
    return instance;
}

DatabaseSettingsWindow::ConnectionTester &tester()
{
    static DatabaseSettingsWindow::ConnectionTester instance;
    return instance;
}

bool tryPostgres(const data::ServerSettings &settings)
{
    data::Connection connection;
    const bool ok = connection.openPostgres(settings);
    connection.close();
    return ok;
}

QLineEdit *addField(QGridLayout *grid, int row, const QString &name, const QString &label, const QString &hint)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    if (!hint.isEmpty())
        grid->addWidget(new QLabel(hint), row, 2);
    return edit;
}

QPushButton *makeButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

DatabaseSettingsWindow::DatabaseSettingsWindow(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("DatabaseSettingsWindow"));
    setWindowTitle(QStringLiteral("配置数据库"));
    setModal(true);

    auto *modeGroup = new QGroupBox(QStringLiteral("如果使用SQL数据库请选网络版"));
    modeGroup->setObjectName(QStringLiteral("分组框2"));
    m_singleBox = new QCheckBox(AppContext::SingleMachineMode);
    m_singleBox->setObjectName(QStringLiteral("选择框1"));
    m_networkBox = new QCheckBox(AppContext::NetworkMode);
    m_networkBox->setObjectName(QStringLiteral("选择框2"));
    auto *modeLayout = new QHBoxLayout(modeGroup);
    modeLayout->addWidget(m_singleBox);
    modeLayout->addWidget(m_networkBox);
    modeLayout->addStretch();

    auto *serverGroup = new QGroupBox(QStringLiteral("网络版单店、多店使用此设置"));
    serverGroup->setObjectName(QStringLiteral("分组框1"));
    auto *grid = new QGridLayout(serverGroup);
    m_ip = addField(grid, 0, QStringLiteral("库地址"), QStringLiteral("数据地址："), QStringLiteral("填IP地址或者域名"));
    m_port = addField(grid, 1, QStringLiteral("库端口"), QStringLiteral("数据库端口："), QStringLiteral("(默认端口为5432)"));
    m_port->setText(QStringLiteral("5432"));
    m_data = addField(grid, 2, QStringLiteral("库名"), QStringLiteral("数据库名："), QStringLiteral("(自定义数据库名)"));
    m_user = addField(grid, 3, QStringLiteral("库帐号"), QStringLiteral("数据库帐号："), QStringLiteral("(默认帐号为postgres)"));
    m_password = addField(grid, 4, QStringLiteral("库密码"), QStringLiteral("数据库密码："), QString());
    m_password->setEchoMode(QLineEdit::Password);
    auto *testButton = makeButton(QStringLiteral("按钮1"), QStringLiteral("测试连接"));
    auto *saveButton = makeButton(QStringLiteral("按钮2"), QStringLiteral("保存配置"));
    auto *helpButton = makeButton(QStringLiteral("按钮3"), QStringLiteral("帮助"));
    auto *newButton = makeButton(QStringLiteral("按钮6"), QStringLiteral("新建数据库名"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(testButton);
    buttons->addWidget(saveButton);
    buttons->addWidget(helpButton);
    buttons->addWidget(newButton);
    grid->addLayout(buttons, 5, 0, 1, 3);

    auto *restoreGroup = new QGroupBox(QStringLiteral("网络版---数据恢复"));
    restoreGroup->setObjectName(QStringLiteral("分组框3"));
    auto *restoreLabel = new QLabel(QStringLiteral("选择要恢复的日期"));
    restoreLabel->setObjectName(QStringLiteral("透明标签1"));
    m_backups = new QComboBox;
    m_backups->setObjectName(QStringLiteral("组合框1"));
    auto *restoreButton = makeButton(QStringLiteral("按钮5"), QStringLiteral("恢复数据库"));
    auto *restoreLayout = new QHBoxLayout(restoreGroup);
    restoreLayout->addWidget(restoreLabel);
    restoreLayout->addWidget(m_backups, 1);
    restoreLayout->addWidget(restoreButton);

    auto *moveGroup = new QGroupBox(QStringLiteral("单机版数据搬迁至网络版数据库"));
    moveGroup->setObjectName(QStringLiteral("分组框4"));
    auto *moveButton = makeButton(QStringLiteral("按钮7"), QStringLiteral("一键搬迁"));
    m_movingLabel = new QLabel(QStringLiteral("数据正在搬迁中，请勿进行其它操作"));
    m_movingLabel->setObjectName(QStringLiteral("透明标签2"));
    m_movingLabel->setWordWrap(true); // the progress text grows; the window keeps its width
    m_movingLabel->hide();
    auto *moveLayout = new QHBoxLayout(moveGroup);
    moveLayout->addWidget(moveButton);
    moveLayout->addWidget(m_movingLabel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(modeGroup);
    layout->addWidget(serverGroup);
    layout->addWidget(restoreGroup);
    layout->addWidget(moveGroup);

    connect(m_singleBox, &QCheckBox::clicked, this, [this] { selectSingleMachineMode(); });
    connect(m_networkBox, &QCheckBox::clicked, this, [this] { selectNetworkMode(); });
    connect(testButton, &QPushButton::clicked, this, [this] { testDatabaseConnection(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveDatabaseSettings(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { showDatabaseHelp(); });
    connect(newButton, &QPushButton::clicked, this, [this] { createNewDatabase(); });
    connect(restoreButton, &QPushButton::clicked, this, [this] { restoreSqlServerDatabase(); });
    connect(moveButton, &QPushButton::clicked, this, [this] { migrateToNetworkDatabase(); });

    initDatabaseSettingsWindow();
}

void DatabaseSettingsWindow::setHooks(Hooks h)
{
    hooks() = std::move(h);
}

void DatabaseSettingsWindow::setConnectionTester(ConnectionTester t)
{
    tester() = std::move(t);
}

QStringList DatabaseSettingsWindow::backupFileNames(const QString &programDir)
{
    QStringList names = QDir(programDir + QStringLiteral("/backup")).entryList(QDir::Files, QDir::Name);
    // Backups are named by their day without leading zeros ("2026-1-9"), which text order puts out
    // of date order: the days are compared as dates, the newest first. Other files come last.
    static const QRegularExpression dayName(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const auto dayOf = [](const QString &name) {
        const QRegularExpressionMatch m = dayName.match(name);
        return m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
    };
    std::stable_sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        const QDate dayA = dayOf(a), dayB = dayOf(b);
        if (dayA.isValid() != dayB.isValid())
            return dayA.isValid();
        return dayA.isValid() && dayA > dayB;
    });
    return names;
}

void DatabaseSettingsWindow::showModeTicks(const QString &mode)
{
    m_singleBox->setChecked(mode == AppContext::SingleMachineMode);
    m_networkBox->setChecked(mode == AppContext::NetworkMode);
}

void DatabaseSettingsWindow::initDatabaseSettingsWindow()
{
    showModeTicks(m_context.runMode);
    const data::ServerSettings &s = m_context.sqlServerSettings;
    m_ip->setText(s.ip);
    m_port->setText(s.port);
    m_data->setText(s.data);
    m_user->setText(s.user);
    m_password->setText(s.password);
    m_backups->clear();
    m_backups->addItems(backupFileNames(ProgramDir::path()));
    m_backups->setCurrentIndex(-1); // a restore replaces every shop's data: the day is always chosen
}

void DatabaseSettingsWindow::selectMode(const QString &mode, const QString &message)
{
    const SettingsFile file = SettingsFile::inDirectory(ProgramDir::path());
    if (!file.writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, mode,
                                     SettingsFile::CipherForm::Bare)) {
        showModeTicks(m_context.runMode); // the boxes keep mirroring the mode in force
        MessageSeam::message(this, QString(), SaveFailedText);
        return;
    }
    m_context.runMode = mode;
    showModeTicks(mode);
    MessageSeam::message(this, QString(), message);
}

void DatabaseSettingsWindow::selectSingleMachineMode()
{
    selectMode(AppContext::SingleMachineMode, SingleMachineSavedText);
}

void DatabaseSettingsWindow::selectNetworkMode()
{
    selectMode(AppContext::NetworkMode, NetworkChosenText);
}

data::ServerSettings DatabaseSettingsWindow::typedSettings() const
{
    return {m_ip->text(), m_port->text(), m_data->text(), m_user->text(), m_password->text()};
}

void DatabaseSettingsWindow::testDatabaseConnection()
{
    const data::ServerSettings settings = typedSettings();
    if (settings.ip.isEmpty() || settings.data.isEmpty()) {
        MessageSeam::message(this, QString(), MissingServerText);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = tester() ? tester()(settings) : tryPostgres(settings);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        MessageSeam::message(this, QString(), NotConnectedText);
        return;
    }
    m_context.sqlServerSettings = settings;
    MessageSeam::message(this, QString(), ConnectedText);
}

void DatabaseSettingsWindow::saveDatabaseSettings()
{
    const data::ServerSettings settings = typedSettings();
    const SettingsFile file = SettingsFile::inDirectory(ProgramDir::path());
    const auto bare = SettingsFile::CipherForm::Bare;
    const QString &section = SettingsFile::DatabaseSection;
    // The five keys go in one replacement of the file, so a failure never leaves old and new mixed.
    const bool ok = file.writeEncipheredSettings(section,
                                                 {{SettingsFile::IpKey, settings.ip},
                                                  {SettingsFile::PortKey, settings.port},
                                                  {SettingsFile::DataKey, settings.data},
                                                  {SettingsFile::UserKey, settings.user},
                                                  {SettingsFile::PasswordKey, settings.password}},
                                                 bare);
    if (!ok) {
        MessageSeam::message(this, QString(), SaveFailedText);
        return;
    }
    m_context.sqlServerSettings = settings;
    MessageSeam::message(this, QString(), SavedText);
}

void DatabaseSettingsWindow::showDatabaseHelp()
{
    openHelpFile(this);
    MessageSeam::message(this, QString(), HelpText);
}

QString DatabaseSettingsWindow::selectedBackupFile() const
{
    return m_backups->currentText();
}

bool DatabaseSettingsWindow::networkModeTicked() const
{
    return m_networkBox->isChecked();
}

void DatabaseSettingsWindow::createNewDatabase()
{
}

void DatabaseSettingsWindow::restoreSqlServerDatabase()
{
    if (hooks().restoreDatabase)
        hooks().restoreDatabase(*this);
}

void DatabaseSettingsWindow::migrateToNetworkDatabase()
{
    if (hooks().migrateToNetworkDatabase)
        hooks().migrateToNetworkDatabase(*this);
}

} // namespace shell
