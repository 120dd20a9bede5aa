#include "printing/Ean13.h"

#include "platform/Gbk.h"

#include <QFont>
#include <QPainter>

namespace printing {

namespace {

// The standard's digit codes (ISO/IEC 15420), seven modules each.
const char *const kLCodes[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                 "0110001", "0101111", "0111011", "0110111", "0001011"};
const char *const kGCodes[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                                 "0111001", "0000101", "0010001", "0001001", "0010111"};
const char *const kRCodes[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                                 "1001110", "1010000", "1000100", "1001000", "1110100"};
// First-digit parity of the six left digits: '0' = L code, '1' = G code.
const char *const kParity[10] = {"000000", "001011", "001101", "001110", "010011",
                                 "011001", "011100", "010101", "010110", "011010"};

int digitAt(const QString &text, int index)
{
    if (index < 0 || index >= text.size())
        return 0;
    const QChar c = text.at(index);
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
}

bool isGuardModule(int i)
{
    return i == 12 || i == 14 || i == 58 || i == 60 || i == 104 || i == 106;
}

// Fills a rectangle given by its corners, each coordinate cut to a whole unit.
void fillBar(QPainter &painter, const QColor &colour, double x1, double y1, double x2, double y2)
{
    const int l = int(x1), t = int(y1), r = int(x2), b = int(y2);
    painter.fillRect(QRect(l, t, r - l, b - t), colour);
}

// Point size to hundredths of a millimetre.
int pointsToUnits(int points)
{
    return int(points * 2540.0 / 72.0 + 0.5);
}

} // namespace

QString computeEan13CheckDigit(const QString &code)
{
    if (gbk::byteLength(code) < 12)
        return {};
    const QString digits = code.trimmed();
    int sum = 0;
    for (int place = 1; place <= 12; ++place)
        sum += digitAt(digits, place - 1) * (place % 2 == 0 ? 3 : 1);
    return QString::number((10 - sum % 10) % 10);
}

QString buildEan13Modules(const QString &code)
{
    // Only a code of exactly 13 bytes makes a symbol; a longer one would mix its halves up.
    if (gbk::byteLength(code) != 13 || code.size() != 13)
        return {};
    QString modules = QStringLiteral("00000000000101");
    const char *parity = kParity[digitAt(code, 0)];
    for (int i = 0; i < 6; ++i) {
        const int d = digitAt(code, 1 + i);
        modules += QLatin1String(parity[i] == '1' ? kGCodes[d] : kLCodes[d]);
    }
    modules += QStringLiteral("01010");
    for (int i = 0; i < 6; ++i)
        modules += QLatin1String(kRCodes[digitAt(code, 7 + i)]);
    modules += QStringLiteral("1010000000");
    return modules;
}

Ean13Geometry ean13Geometry(double scale, int height)
{
    Ean13Geometry g;
    g.moduleWidth = int(33 * scale);
    const double overall = 2626 * scale, normal = 2285 * scale, guard = 2450 * scale;
    if (height != 0) {
        const int d = int(overall - height);
        g.overall = int(overall - d);
        g.normal = int(normal - d);
        g.guard = int(guard - d);
    } else {
        g.overall = int(overall);
        g.normal = int(normal);
        g.guard = int(guard);
    }
    return g;
}

void drawEan13(QPainter &painter, const QString &code, double scale, const QColor &background,
               const QColor &bar, const QColor &text, int x, int y, bool showDigits, bool marker,
               int height)
{
    const QString modules = buildEan13Modules(code);
    if (modules.size() < 113)
        return;
    const Ean13Geometry g = ean13Geometry(scale, height);
    const int w = g.moduleWidth;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    fillBar(painter, background, x, y, x + 113.0 * w, y + g.overall);
    for (int i = 1; i <= 113; ++i) {
        if (modules.at(i - 1) != u'1')
            continue;
        const int h = !showDigits ? g.overall : (isGuardModule(i) ? g.guard : g.normal);
        fillBar(painter, bar, x + double(i) * w, y, x + double(i + 1) * w, y + h);
    }
    if (showDigits) {
        QFont font = painter.font();
        font.setFamily(QString::fromLatin1(kEan13DigitFace));
        font.setPixelSize(qMax(1, pointsToUnits(int(11 * scale))));
        painter.setFont(font);
        painter.setPen(text);
        const int top = y + g.normal;
        const int room = 60 * w;
        auto put = [&](int left, const QString &s) {
            painter.drawText(QRect(left, top, room, room), Qt::AlignLeft | Qt::AlignTop, s);
        };
        put(x + 4 * w - 4, code.left(1));
        put(x + 16 * w - 4, code.mid(1, 6));
        put(x + 62 * w - 4, code.mid(7, 6));
        if (marker)
            put(x + 107 * w, QStringLiteral(">"));
    }
    painter.restore();
}

} // namespace printing
