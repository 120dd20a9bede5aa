#include "printing/Ean13.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printing;

namespace {

struct CheckCase {
    const char *code;
    const char *digit;
};

class CheckDigitTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckDigitTest, GivesTheStandardDigit)
{
    EXPECT_EQ(computeEan13CheckDigit(QString::fromUtf8(GetParam().code)),
              QString::fromUtf8(GetParam().digit))
        << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckDigitTest,
    ::testing::Values(CheckCase{"400638133393", "1"}, CheckCase{"698311148590", "1"},
                      CheckCase{"691225893088", "3"}, CheckCase{"698385898088", "2"},
                      CheckCase{"691231235960", "5"}, CheckCase{"000000000000", "0"},
                      // eleven characters: no digit
                      CheckCase{"40063813339", ""}, CheckCase{"", ""},
                      // more than twelve: the first twelve count
                      CheckCase{"4006381333931", "1"}, CheckCase{"400638133393xyz", "1"},
                      // a non-digit counts 0
                      CheckCase{"40063813339a", "0"},
                      // twelve bytes with a leading blank: the length passes, the trimmed text
                      // holds eleven digits and the twelfth place counts 0
                      CheckCase{" 40063813339", "0"},
                      // two double-byte characters make twelve bytes
                      CheckCase{"\xe4\xb8\xad\xe6\x96\x87" "12345678", "4"}));

TEST(Ean13Modules, FollowTheStandardTables)
{
    // 4006381333931: first digit 4 gives the parity L G L L G G.
    const QString expected = QStringLiteral(
        "00000000000101"
        "0001101" "0100111" "0101111" "0111101" "0001001" "0110011"   // 0 0 6 3 8 1 (LGLLGG)
        "01010"
        "1000010" "1000010" "1000010" "1110100" "1000010" "1100110"   // 3 3 3 9 3 1
        "1010000000");
    EXPECT_EQ(buildEan13Modules(QStringLiteral("4006381333931")), expected);
    EXPECT_EQ(expected.size(), 113);
}

TEST(Ean13Modules, ParityFollowsTheFirstDigit)
{
    auto leftParity = [](const QString &code) {
        const QString m = buildEan13Modules(code);
        QString p;
        for (int i = 0; i < 6; ++i) {
            const QString digitCode = m.mid(14 + 7 * i, 7);
            // L codes start with 0 and have odd weight; G codes have even weight.
            p += digitCode.count(u'1') % 2 == 1 ? u'L' : u'G';
        }
        return p;
    };
    EXPECT_EQ(leftParity(QStringLiteral("6983111485901")), QStringLiteral("LGGGLL"));
    EXPECT_EQ(leftParity(QStringLiteral("0123456789012")), QStringLiteral("LLLLLL"));
}

TEST(Ean13Modules, OnlyThirteenCharactersMakeASymbol)
{
    EXPECT_EQ(buildEan13Modules(QStringLiteral("698311148590")), QString());
    EXPECT_EQ(buildEan13Modules(QStringLiteral("69831114859011")), QString());
    EXPECT_EQ(buildEan13Modules(QString()), QString());
    // A wrong check digit is coded unchanged.
    EXPECT_EQ(buildEan13Modules(QStringLiteral("6983111485909")).size(), 113);
}

TEST(Ean13Geometry, NominalAndLoweredHeights)
{
    const Ean13Geometry nominal = ean13Geometry(1.0, 0);
    EXPECT_EQ(nominal.moduleWidth, 33);
    EXPECT_EQ(nominal.overall, 2626);
    EXPECT_EQ(nominal.normal, 2285);
    EXPECT_EQ(nominal.guard, 2450);
    const Ean13Geometry lowered = ean13Geometry(1.0, 800);
    EXPECT_EQ(lowered.overall, 800);
    EXPECT_EQ(lowered.normal, 459);
    EXPECT_EQ(lowered.guard, 624);
}

// The image is drawn at 1 unit = 1 pixel, so the geometry can be read off it directly.
QImage drawAtUnitScale(const QString &code, bool showDigits, int height = 800)
{
    QImage image(4000, 1200, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter p(&image);
    drawEan13(p, code, 1.0, Qt::white, Qt::black, Qt::black, 100, 100, showDigits, false, height);
    return image;
}

int barHeightAt(const QImage &image, int x)
{
    int h = 0;
    for (int y = 100; y < image.height() && image.pixelColor(x, y) == QColor(Qt::black); ++y)
        ++h;
    return h;
}

TEST(Ean13Drawing, BarsHaveTheirHeightsAndPlaces)
{
    const QImage image = drawAtUnitScale(QStringLiteral("6983111485901"), true);
    // Background: 113 modules wide, 800 high.
    EXPECT_EQ(image.pixelColor(100, 100), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(100 + 113 * 33 - 1, 100 + 799), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(100 + 113 * 33, 100), QColor(Qt::gray));
    // Module 12 (start guard) spans x + 12w .. x + 13w and has the guard height.
    EXPECT_EQ(barHeightAt(image, 100 + 12 * 33), 624);
    EXPECT_EQ(image.pixelColor(100 + 12 * 33 - 1, 100), QColor(Qt::white));
    // Module 13 is a space.
    EXPECT_EQ(image.pixelColor(100 + 13 * 33, 100), QColor(Qt::white));
    // The first data digit 9 in its L code 0001011: its module 4 (module 18 overall) is a bar.
    EXPECT_EQ(barHeightAt(image, 100 + 18 * 33), 459);
}

TEST(Ean13Drawing, WithoutDigitsEveryBarIsFullHeight)
{
    const QImage image = drawAtUnitScale(QStringLiteral("6983111485901"), false);
    EXPECT_EQ(barHeightAt(image, 100 + 12 * 33), 800);
    EXPECT_EQ(barHeightAt(image, 100 + 18 * 33), 800);
}

int blackPixelsIn(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == QColor(Qt::black);
    return n;
}

QImage drawWithMarker(bool showDigits, bool marker)
{
    QImage image(4000, 1400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawEan13(p, QStringLiteral("6983111485901"), 1.0, Qt::white, Qt::black, Qt::black, 100, 100, showDigits,
              marker, 800);
    return image;
}

// The marker ">" goes after the end guard at the digits' top, and only with the digits; without
// digits nothing but bars is drawn, whatever the marker flag.
TEST(Ean13Drawing, TheMarkerComesOnlyWithTheDigits)
{
    // From x + 107w, below the normal bars (y + 459), the height of a line of digits.
    const QRect markerArea(100 + 107 * 33, 100 + 459, 300, 450);
    EXPECT_GT(blackPixelsIn(drawWithMarker(true, true), markerArea), 0);
    EXPECT_EQ(blackPixelsIn(drawWithMarker(true, false), markerArea), 0);
    // The digits themselves: under the left half, below the normal bars.
    EXPECT_GT(blackPixelsIn(drawWithMarker(true, false), QRect(100 + 16 * 33, 100 + 459, 40 * 33, 300)), 0);

    const QImage bare = drawWithMarker(false, true);
    EXPECT_EQ(blackPixelsIn(bare, markerArea), 0);
    // Every column of the symbol is one colour from top to bottom: bars only, no text.
    for (int x = 100; x < 100 + 113 * 33; ++x) {
        const QColor top = bare.pixelColor(x, 100);
        for (int y = 101; y < 100 + 800; ++y)
            if (bare.pixelColor(x, y) != top) {
                ADD_FAILURE() << "column " << x << " changes colour at " << y;
                return;
            }
    }
}

TEST(Ean13Drawing, AShortCodeDrawsNothingAtAll)
{
    const QImage image = drawAtUnitScale(QStringLiteral("698311148590"), true);
    QImage untouched(image.size(), image.format());
    untouched.fill(Qt::gray);
    EXPECT_EQ(image, untouched);
}

// A symbol drawn by drawEan13 is read back by a real barcode reader.
TEST(Ean13Drawing, ZbarReadsTheDrawnSymbols)
{
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    ASSERT_FALSE(zbarimg.isEmpty()) << "zbarimg is missing: install Debian's zbar-tools";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QStringList codes = {QStringLiteral("6983111485901"), QStringLiteral("6912258930883"),
                               QStringLiteral("6983858980882"), QStringLiteral("6912312359605"),
                               QStringLiteral("4006381333931"), QStringLiteral("0123456789012")};
    for (const QString &code : codes) {
        // Three pixels per module (33 units), nominal height, digits shown.
        QImage image(500, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.scale(3.0 / 33.0, 3.0 / 33.0);
            drawEan13(p, code, 1.0, Qt::white, Qt::black, Qt::black, 330, 330, true, false, 0);
        }
        const QString path = dir.filePath(code + QStringLiteral(".png"));
        ASSERT_TRUE(image.save(path));
        QProcess zbar;
        zbar.start(zbarimg, {QStringLiteral("--quiet"), QStringLiteral("--raw"), path});
        ASSERT_TRUE(zbar.waitForFinished(30000));
        EXPECT_EQ(QString::fromLatin1(zbar.readAllStandardOutput()).trimmed(), code);
    }
}

} // namespace
