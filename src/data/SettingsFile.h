#pragma once
#include <QList>
#include <QPair>
#include <QString>

// The workstation's settings file sql.ini in the program directory: the database server
// parameters, the workstation's shop, the print switches and the database mode. Values that
// would reveal the database or the shop are kept enciphered with the settings key.
class SettingsFile
{
public:
    // How an enciphered value is stored: bare "4B8929" or comma form "4B,89,29,".
    enum class CipherForm { Bare, Comma };

    // Sections and keys, in the order start-up reads them.
    static inline const QString DatabaseSection = QStringLiteral("数据库配置"); // enciphered, bare
    static inline const QString IpKey = QStringLiteral("ip");
    static inline const QString PortKey = QStringLiteral("port");
    static inline const QString DataKey = QStringLiteral("data");
    static inline const QString UserKey = QStringLiteral("user");
    static inline const QString PasswordKey = QStringLiteral("password");
    static inline const QString ShopSection = QStringLiteral("当前店铺"); // enciphered, comma form
    static inline const QString ShopKey = QStringLiteral("1");
    static inline const QString PrintSection = QStringLiteral("是否打印"); // plain "真" / "假"
    static inline const QString ReceiptKey = QStringLiteral("小票");
    static inline const QString LabelKey = QStringLiteral("标签");
    static inline const QString VersionSection = QStringLiteral("版本配置"); // enciphered, bare
    static inline const QString VersionKey = QStringLiteral("当前版本");

    static inline const QString FileName = QStringLiteral("sql.ini");

    // The settings file at the given path.
    explicit SettingsFile(const QString &path);
    // The settings file of a program directory: <programDir>/sql.ini.
    static SettingsFile inDirectory(const QString &programDir);
    // The settings file of the running program's directory.
    static SettingsFile inProgramDir();

    QString path() const { return m_path; }

    // The stored text, "" when the file, section or key is missing.
    QString readSetting(const QString &section, const QString &key) const;
    // Stores the text as it is; false when the file could not be written.
    bool writeSetting(const QString &section, const QString &key, const QString &value) const;

    // Reads an enciphered value stored in either form and returns the plain text.
    // The stored text is read in pairs of digits, so a last odd digit is ignored.
    QString readEncipheredSetting(const QString &section, const QString &key) const;
    // Enciphers the text with the settings key and stores it in the given form. False when the
    // file could not be written or the text holds a character GBK cannot encode (it would not
    // read back the same).
    bool writeEncipheredSetting(const QString &section, const QString &key, const QString &value,
                                CipherForm form) const;
    // Enciphers and writes several keys of one section in one replacement of the file: all or none.
    bool writeEncipheredSettings(const QString &section, const QList<QPair<QString, QString>> &entries,
                                 CipherForm form) const;

private:
    QString m_path;
};
