#pragma once
// What the printing settings page reads, writes and decides, without its widgets: the layouts in
// print.ini, the two print switches in sql.ini, the fonts the layouts ask for, and the receipt
// logo in the LOGO folder of the program directory.
#include "printing/PrintLayout.h"

#include <QByteArray>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QStringList>

class AppContext;

namespace printing {

// print.ini of the program directory and its four sections.
inline const QString PrintIniFileName = QStringLiteral("print.ini");
inline const QString ReceiptSection = QStringLiteral("小票配置");
inline const QString ReceiptDefaultsSection = QStringLiteral("恢复默认配置");
inline const QString LabelSection = QStringLiteral("标签配置");
inline const QString LabelDefaultsSection = QStringLiteral("恢复标签配置");

QString printIniPath(const QString &programDir);

// The keys of a section as stored, each "" when missing (the file or the section missing too).
// Texts are kept exactly, leading blanks included.
PrintLayout readLayout(const QString &iniPath, const QString &section, const QStringList &keys);
// The factory layout of a section that ships with print.ini; a file without the section gives
// `initial`, so a restore never empties the page.
PrintLayout readFactoryLayout(const QString &iniPath, const QString &section, const QStringList &keys,
                              const PrintLayout &initial);
// Writes the keys in the order given in one replacement of the file (all or none); false when the
// file could not be written or a text cannot be stored in it.
bool writeLayout(const QString &iniPath, const QString &section, const QStringList &keys, const PrintLayout &layout);

// A print switch after a click: whether sql.ini took the new state, and the text to show ("" none).
struct PrintSwitchResult
{
    bool written = false;
    QString message;
};
// Writes "真"/"假" to 是否打印/小票 (标签) of the settings file and, once written, sets
// receiptPrintFlag (labelPrintFlag). A failed write leaves the flag as it was.
PrintSwitchResult setReceiptPrinting(AppContext &context, const QString &settingsPath, bool on);
PrintSwitchResult setLabelPrinting(AppContext &context, const QString &settingsPath, bool on);

// Fonts. The layouts' texts use the interface font; a size text is read as a whole number like
// every layout number ("１２" and "12.5" give 12), and one that gives no positive size gives
// 9 points (never 0). The barcode digits' face is mapped to a monospaced one.
inline constexpr int FallbackPointSize = 9;
QString interfaceFontFamily();
int layoutPointSize(const QString &sizeText);
QFont layoutFont(const QString &sizeText, bool bold = false);
QFont dashedLineFont();
// Maps the faces the layouts name and this system lacks to installed ones; safe to call again.
void installPrintFontSubstitutions();

// The receipt logo: LOGO/Logo.jpg of the program directory.
inline const QString LogoFolder = QStringLiteral("LOGO");
inline const QString LogoFileName = QStringLiteral("Logo.jpg");
// The logo file of the program directory whatever the case of its name ("Logo.jpg" first), or "".
QString findLogoFile(const QString &programDir);
QByteArray builtInLogoBytes();

struct LogoPicture
{
    QByteArray bytes;
    QPixmap picture;
};
// The stored logo, or the built-in one when there is none or it is no picture.
LogoPicture loadLogo(const QString &programDir);

struct LogoChoice
{
    bool accepted = false; // the chosen file is a picture: it becomes the logo of this run
    LogoPicture logo;
    QString message;       // "" when all went well
};
// Takes a chosen file as the logo: a file that is no picture is refused and nothing is written;
// a picture is written to LOGO/Logo.jpg (the folder made when missing), and a failed write is
// reported while the picture still serves for this run.
LogoChoice storeLogo(const QString &programDir, const QString &chosenFile);

} // namespace printing
