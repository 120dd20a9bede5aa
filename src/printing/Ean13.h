#pragma once
// EAN-13 barcodes: the check digit, the 113-module pattern and the symbol drawn on any QPainter.
//
// drawEan13 works in the painter's logical units, read as hundredths of a millimetre: the caller sets
// up the painter (a label printer maps 1 unit to 0.01 mm; a test may scale to whole pixels per module).
#include <QColor>
#include <QString>

class QPainter;

namespace printing {

// The check digit of the first twelve characters: "0".."9", or "" when the code has fewer than 12
// (GBK) bytes. Blanks at both ends are removed after the length test; a non-digit counts 0.
QString computeEan13CheckDigit(const QString &code);

// The 113-character "0"/"1" module string of a 13-character code (quiet zones and guards included),
// or "" when the code is not exactly 13 bytes long. A non-digit is coded as 0; the check digit is
// not validated.
QString buildEan13Modules(const QString &code);

// Sizes of the symbol in hundredths of a millimetre for a scale and a requested overall height
// (0 = the nominal 26.26 mm).
struct Ean13Geometry {
    int moduleWidth = 0;
    int overall = 0; // background, and every bar of a symbol drawn without digits
    int normal = 0;  // data bars
    int guard = 0;   // guard bars (modules 12, 14, 58, 60, 104, 106)
};
Ean13Geometry ean13Geometry(double scale, int height);

// The face the digits ask for; the platform's substitution decides when it is not installed.
inline constexpr const char *kEan13DigitFace = "OCR-B 10 BT";

// Draws the symbol with its top-left corner at (x, y). Nothing at all is drawn (not even the
// background) when the code has no module string. With showDigits the digits go under the data bars
// and, with marker, a ">" after the end guard.
void drawEan13(QPainter &painter, const QString &code, double scale, const QColor &background,
               const QColor &bar, const QColor &text, int x, int y, bool showDigits, bool marker,
               int height);

} // namespace printing
