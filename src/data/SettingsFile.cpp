#include "data/SettingsFile.h"

#include "data/SettingsCipher.h"
#include "platform/Gbk.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "platform/ProgramLog.h"

#include <QDir>

SettingsFile::SettingsFile(const QString &path)
    : m_path(path)
{
}

SettingsFile SettingsFile::inDirectory(const QString &programDir)
{
    return SettingsFile(QDir(programDir).filePath(FileName));
}

SettingsFile SettingsFile::inProgramDir()
{
    return SettingsFile(ProgramDir::file(FileName));
}

QString SettingsFile::readSetting(const QString &section, const QString &key) const
{
    return readIniValue(m_path, section, key);
}

bool SettingsFile::writeSetting(const QString &section, const QString &key, const QString &value) const
{
    return writeIniValue(m_path, section, key, value);
}

QString SettingsFile::readEncipheredSetting(const QString &section, const QString &key) const
{
    const QString stored = readSetting(section, key);
    return SettingsCipher::rc4DecryptHex(SettingsCipher::addHexCommas(stored), SettingsCipher::SettingsKey);
}

bool SettingsFile::writeEncipheredSetting(const QString &section, const QString &key, const QString &value,
                                          CipherForm form) const
{
    return writeEncipheredSettings(section, {{key, value}}, form);
}

bool SettingsFile::writeEncipheredSettings(const QString &section, const QList<QPair<QString, QString>> &entries,
                                           CipherForm form) const
{
    QList<QPair<QString, QString>> stored;
    for (const auto &[key, value] : entries) {
        if (gbk::decode(gbk::encode(value)) != value) {
            programlog::write(QStringLiteral("setting %1/%2 not written: it holds a character GBK cannot encode")
                                  .arg(section, key));
            return false;
        }
        QString text = SettingsCipher::rc4EncryptToHex(value, SettingsCipher::SettingsKey);
        if (form == CipherForm::Bare)
            text = SettingsCipher::stripHexCommas(text);
        stored.append({key, text});
    }
    return writeIniValues(m_path, section, stored);
}
