#pragma once
// The database settings window "配置数据库": the mode of the workstation (单机版, the SQLite file
// qi.db; 网络版, a PostgreSQL server), the server's five parameters with a connection test, the
// backup files for a restore and the move of the single-machine data to the server. Everything it
// saves takes effect at the next start.
#include <QDialog>
#include <functional>

#include "data/ServerSettings.h"

class AppContext;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class DatabaseSettingsWindow : public QDialog
{
public:
    // Tries a connection with the typed parameters (tests give their own).
    using ConnectionTester = std::function<bool(const data::ServerSettings &)>;
    // The restore of a backup (按钮5) and the data move (按钮7) are given by the application.
    struct Hooks
    {
        std::function<void(DatabaseSettingsWindow &)> restoreDatabase;
        std::function<void(DatabaseSettingsWindow &)> migrateToNetworkDatabase;
    };

    static inline const QString SingleMachineSavedText = QStringLiteral("配置已保存，请重启软件！");
    static inline const QString NetworkChosenText =
        QStringLiteral("请配置下列SQL数据库信息。保存后重启程序将以网络版模式运行！");
    static inline const QString MissingServerText = QStringLiteral("数据库地址或数据库名还未填写");
    static inline const QString ConnectedText = QStringLiteral("恭喜您！数据库连接成功！请保存配置，重启软件！");
    static inline const QString NotConnectedText = QStringLiteral("数据库连接不成功！");
    static inline const QString SavedText =
        QStringLiteral("保存成功！请重启软件，进入软件后先到系统设置里指定软件使用哪个店铺");
    static inline const QString SaveFailedText = QStringLiteral("配置保存失败！无法写入程序目录下的sql.ini，请检查该文件是否可写。");
    static inline const QString HelpText =
        QStringLiteral("SQL数据库配置参见帮助文档----数据库配置\r\n如有疑问，请联系为您安装软件的服务人员。");

    explicit DatabaseSettingsWindow(AppContext &context, QWidget *parent = nullptr);

    static void setHooks(Hooks hooks);
    static void setConnectionTester(ConnectionTester tester); // empty: a real PostgreSQL connection

    // The file names of <program directory>/backup, files only: the days' backups newest first,
    // then any other file by name.
    static QStringList backupFileNames(const QString &programDir);

    void initDatabaseSettingsWindow();
    void selectSingleMachineMode();
    void selectNetworkMode();
    void testDatabaseConnection();
    void saveDatabaseSettings();
    void showDatabaseHelp();
    void createNewDatabase();
    void restoreSqlServerDatabase();
    void migrateToNetworkDatabase();

    // The five edit boxes as server settings.
    data::ServerSettings typedSettings() const;
    AppContext &context() { return m_context; }
    // For the restore and the data move: the chosen backup file name and the "moving" label.
    QString selectedBackupFile() const;
    bool networkModeTicked() const; // 选择框2
    QLabel *movingLabel() const { return m_movingLabel; }

private:
    void selectMode(const QString &mode, const QString &message);
    void showModeTicks(const QString &mode);

    AppContext &m_context;
    QCheckBox *m_singleBox = nullptr;  // 选择框1
    QCheckBox *m_networkBox = nullptr; // 选择框2
    QLineEdit *m_ip = nullptr;         // 库地址
    QLineEdit *m_port = nullptr;       // 库端口
    QLineEdit *m_data = nullptr;       // 库名
    QLineEdit *m_user = nullptr;       // 库帐号
    QLineEdit *m_password = nullptr;   // 库密码
    QComboBox *m_backups = nullptr;    // 组合框1
    QLabel *m_movingLabel = nullptr;   // 透明标签2
};

} // namespace shell
