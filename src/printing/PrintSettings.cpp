#include "printing/PrintSettings.h"

#include "context/AppContext.h"
#include "data/SettingsFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramLog.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QSaveFile>

namespace printing {

namespace {

const QString SettingsWriteFailed = QStringLiteral("无法写入本机配置文件 sql.ini，请检查程序目录是否可以写入！");
const QString ReceiptOnText = QStringLiteral("选中后，在前台收银结帐的时候会打印出小票");
const QString LabelOnText = QStringLiteral("选中后，在采购入库里添加的时候会自动生成并打印条码、吊牌价、款号、颜色、尺码");
const QString LabelOffText = QStringLiteral("不打印标签，采购入库添加时将不会自动生成条码！");

PrintSwitchResult setPrintSwitch(QString &flag, const QString &settingsPath, const QString &key, bool on)
{
    const QString value = on ? AppContext::FlagOn : AppContext::FlagOff;
    if (!SettingsFile(settingsPath).writeSetting(SettingsFile::PrintSection, key, value))
        return {false, SettingsWriteFailed};
    flag = value;
    return {true, QString()};
}

} // namespace

QString printIniPath(const QString &programDir)
{
    return QDir(programDir).filePath(PrintIniFileName);
}

PrintLayout readLayout(const QString &iniPath, const QString &section, const QStringList &keys)
{
    PrintLayout layout;
    for (const QString &key : keys)
        layout.setText(key, readIniValue(iniPath, section, key, IniValueForm::Exact));
    return layout;
}

PrintLayout readFactoryLayout(const QString &iniPath, const QString &section, const QStringList &keys,
                              const PrintLayout &initial)
{
    if (!iniSectionExists(iniPath, section)) {
        programlog::write(QStringLiteral("%1 has no section [%2]: the built-in layout is used").arg(iniPath, section));
        return initial;
    }
    return readLayout(iniPath, section, keys);
}

bool writeLayout(const QString &iniPath, const QString &section, const QStringList &keys, const PrintLayout &layout)
{
    QList<QPair<QString, QString>> entries;
    entries.reserve(keys.size());
    for (const QString &key : keys)
        entries.append({key, layout.text(key)});
    return writeIniValues(iniPath, section, entries);
}

PrintSwitchResult setReceiptPrinting(AppContext &context, const QString &settingsPath, bool on)
{
    PrintSwitchResult result = setPrintSwitch(context.receiptPrintFlag, settingsPath, SettingsFile::ReceiptKey, on);
    if (result.written && on)
        result.message = ReceiptOnText;
    return result;
}

PrintSwitchResult setLabelPrinting(AppContext &context, const QString &settingsPath, bool on)
{
    PrintSwitchResult result = setPrintSwitch(context.labelPrintFlag, settingsPath, SettingsFile::LabelKey, on);
    if (result.written)
        result.message = on ? LabelOnText : LabelOffText;
    return result;
}

QString interfaceFontFamily()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

int layoutPointSize(const QString &sizeText)
{
    const int size = layoutNumber(sizeText);
    return size > 0 ? size : FallbackPointSize;
}

QFont layoutFont(const QString &sizeText, bool bold)
{
    QFont font(interfaceFontFamily());
    font.setPointSize(layoutPointSize(sizeText));
    font.setBold(bold);
    return font;
}

QFont dashedLineFont()
{
    QFont font(interfaceFontFamily());
    font.setPointSize(FallbackPointSize);
    return font;
}

void installPrintFontSubstitutions()
{
    // Layouts made on other systems name 微软雅黑; the digits under a barcode ask for OCR-B.
    QFont::insertSubstitution(QStringLiteral("微软雅黑"), interfaceFontFamily());
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), interfaceFontFamily());
    QStringList monospaced;
    const QStringList installed = QFontDatabase::families();
    for (const QString &face : {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono"),
                                QStringLiteral("Liberation Mono"), QStringLiteral("Nimbus Mono PS")}) {
        if (installed.contains(face))
            monospaced << face;
    }
    monospaced << QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    if (!QFont::substitutes(QStringLiteral("OCR-B 10 BT")).isEmpty())
        QFont::removeSubstitutions(QStringLiteral("OCR-B 10 BT"));
    QFont::insertSubstitutions(QStringLiteral("OCR-B 10 BT"), monospaced);
}

QString findLogoFile(const QString &programDir)
{
    const QDir folder(QDir(programDir).filePath(LogoFolder));
    if (!folder.exists())
        return {};
    if (QFileInfo(folder.filePath(LogoFileName)).isFile())
        return folder.filePath(LogoFileName);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (name.compare(LogoFileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return {};
}

QByteArray builtInLogoBytes()
{
    QFile file(QStringLiteral(":/printing/builtin-logo.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LogoPicture loadLogo(const QString &programDir)
{
    const QString path = findLogoFile(programDir);
    if (!path.isEmpty()) {
        QFile file(path);
        LogoPicture logo;
        if (file.open(QIODevice::ReadOnly))
            logo.bytes = file.readAll();
        if (!logo.bytes.isEmpty() && logo.picture.loadFromData(logo.bytes))
            return logo;
        programlog::write(QStringLiteral("logo %1 cannot be read as a picture: the built-in logo is used").arg(path));
    }
    LogoPicture builtIn;
    builtIn.bytes = builtInLogoBytes();
    builtIn.picture.loadFromData(builtIn.bytes);
    return builtIn;
}

LogoChoice storeLogo(const QString &programDir, const QString &chosenFile)
{
    LogoChoice choice;
    QFile file(chosenFile);
    if (!file.open(QIODevice::ReadOnly)) {
        choice.message = QStringLiteral("无法读取所选文件，LOGO没有更换！");
        return choice;
    }
    choice.logo.bytes = file.readAll();
    if (choice.logo.bytes.isEmpty() || !choice.logo.picture.loadFromData(choice.logo.bytes)) {
        choice.logo = {};
        choice.message = QStringLiteral("所选文件不是图片，LOGO没有更换！请选择JPG、PNG或BMP格式的图片。");
        return choice;
    }
    choice.accepted = true;

    const QDir home(programDir);
    const QString target = home.filePath(LogoFolder + QLatin1Char('/') + LogoFileName);
    QSaveFile out(target);
    const bool written = home.mkpath(LogoFolder) && out.open(QIODevice::WriteOnly)
        && out.write(choice.logo.bytes) == choice.logo.bytes.size() && out.commit();
    if (!written) {
        programlog::write(QStringLiteral("cannot write the logo %1: %2").arg(target, out.errorString()));
        choice.message = QStringLiteral("LOGO图片无法保存到程序目录的LOGO文件夹，下次启动时将不再显示，"
                                        "请检查该目录是否可以写入！");
    }
    return choice;
}

} // namespace printing
