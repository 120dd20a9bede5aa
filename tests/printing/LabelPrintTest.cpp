// Price labels printed to PDF and read back: one 40 × 29 mm job per label named so that no label
// replaces another's file, the captioned texts, the barcode rendered and decoded by zbarimg, and
// the texts and bars where the layout puts them.
#include "platform/Clock.h"
#include "printing/LabelPrint.h"
#include "printing/PrintDevice.h"
#include "printing/PrintLayout.h"
#include "PdfWords.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace printing;
using namespace pdfwords;

namespace {

class LabelPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *tool : {"pdftoppm", "pdfinfo", "pdftotext", "zbarimg"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " missing (tools/deps.sh installs it)";
        ASSERT_TRUE(dir.isValid());
        printer.pdfPath = [this] { return dir.filePath(QStringLiteral("label%1.pdf").arg(++files)); };
    }
    // The label's page rendered at 300 dpi.
    QImage render(const QString &pdf)
    {
        const QString base = pdf.chopped(4);
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, base});
        return QImage(base + QStringLiteral(".png"));
    }
    QString decoded(const QString &pdf)
    {
        render(pdf);
        const QString out = run(QStringLiteral("zbarimg"), {QStringLiteral("-q"), pdf.chopped(4) + QStringLiteral(".png")});
        return out.trimmed().section(u':', 1);
    }
    QString text(const QString &pdf) { return run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}); }
    // The job names (document titles) of the label files after the first `before`.
    QStringList titlesSince(int before)
    {
        QStringList names;
        for (int i = before + 1; i <= files; ++i) {
            const QString info = run(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("label%1.pdf").arg(i))});
            names << QRegularExpression(QStringLiteral(R"(^Title:\s+(.*)$)"), QRegularExpression::MultilineOption)
                         .match(info)
                         .captured(1)
                         .trimmed();
        }
        return names;
    }
    void TearDown() override { Clock::reset(); }

    QTemporaryDir dir;
    int files = 0;
    DeviceLabelPrinter printer;
};

TEST_F(LabelPrintTest, EveryPieceIsALabelOfItsOwnWithAReadableBarcode)
{
    PurchaseLabels labels;
    labels.styleNo = QStringLiteral("K1001");
    labels.tagPrice = QStringLiteral("1299");
    labels.barcode = QStringLiteral("6983111485901");
    labels.lines = {{1, QStringLiteral("红色"), QStringLiteral("M"), 3}};
    printer.printPurchaseLabels(labels);
    ASSERT_EQ(printer.jobs(), 3);
    for (int i = 1; i <= 3; ++i) {
        const QString pdf = dir.filePath(QStringLiteral("label%1.pdf").arg(i));
        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        const auto size = QRegularExpression(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)")).match(info);
        EXPECT_NEAR(size.captured(1).toDouble() * 25.4 / 72, 40, 0.36) << i;
        EXPECT_NEAR(size.captured(2).toDouble() * 25.4 / 72, 29, 0.36) << i;
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Pages:\s+1\b)"))));
        const QString texts = text(pdf);
        for (const char *expected : {"款号：K1001", "颜色：红色", "尺码：M", "价格：1,299.00"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected << "\n" << texts.toStdString();
        EXPECT_EQ(decoded(pdf), QStringLiteral("6983111485901")) << i;
    }
}

// Every label is a job named by its barcode, the time and its number among this run's labels, so
// that a PDF printer keeps one file per label instead of overwriting one file with each.
TEST_F(LabelPrintTest, EachLabelIsAJobNamedByItsBarcodeTheTimeAndItsNumberInTheRun)
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 30, 5)));
    const struct {
        const char *barcode, *styleNo;
        QStringList names;
    } cases[] = {
        {"6983111485901", "K1001",
         {"6983111485901-20150311-093005-1", "6983111485901-20150311-093005-2", "6983111485901-20150311-093005-3"}},
        // No barcode: the style number names the job; the run's count goes on from the entry before.
        {"", "K1001", {"K1001-20150311-093005-4", "K1001-20150311-093005-5", "K1001-20150311-093005-6"}},
        // Only ASCII reaches the name (PDF printers mangle the rest into their file names).
        {"", "春款 K-2", {"K-2-20150311-093005-7", "K-2-20150311-093005-8", "K-2-20150311-093005-9"}},
        {"", "春款", {"label-20150311-093005-10", "label-20150311-093005-11", "label-20150311-093005-12"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.styleNo);
        const int before = files;
        PurchaseLabels labels;
        labels.styleNo = QString::fromUtf8(c.styleNo);
        labels.tagPrice = QStringLiteral("99");
        labels.barcode = QString::fromUtf8(c.barcode);
        labels.lines = {{1, QStringLiteral("红色"), QStringLiteral("M"), 2}, {2, QStringLiteral("白色"), QStringLiteral("L"), 1}};
        printer.printPurchaseLabels(labels);
        ASSERT_EQ(files - before, 3);
        EXPECT_EQ(titlesSince(before).join(u' ').toStdString(), c.names.join(u' ').toStdString());
    }
    Clock::reset();
}

// A label printed again (after 商品调整, or 单独打标签 pressed twice) is a job of another name than
// the earlier one, in the same run and second or in a later run whose count starts anew, so a PDF
// printer keeps both files. Two runs are two printers, each with its own count.
TEST_F(LabelPrintTest, ALabelPrintedAgainNeverTakesTheNameOfAnEarlierOne)
{
    PurchaseLabels labels;
    labels.styleNo = QStringLiteral("K1001");
    labels.tagPrice = QStringLiteral("99");
    labels.barcode = QStringLiteral("6983111485901");
    labels.lines = {{1, QStringLiteral("红色"), QStringLiteral("M"), 1}};
    const QDateTime firstRun(QDate(2015, 3, 11), QTime(9, 30, 5));
    const struct {
        const char *what;
        bool newRun;
        QDateTime time;
    } prints[] = {
        {"first run", true, firstRun},
        {"again in the same second", false, firstRun},
        {"a later run", true, firstRun.addSecs(600)},
        {"a run on another day", true, firstRun.addDays(1)},
    };
    std::unique_ptr<DeviceLabelPrinter> run;
    QStringList names;
    for (const auto &p : prints) {
        SCOPED_TRACE(p.what);
        if (p.newRun) {
            run = std::make_unique<DeviceLabelPrinter>();
            run->pdfPath = printer.pdfPath;
        }
        Clock::setFixed(p.time);
        const int before = files;
        run->printPurchaseLabels(labels);
        ASSERT_EQ(files - before, 1);
        const QString name = titlesSince(before).value(0);
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        // ASCII and short enough for a PDF printer's file name (cups-pdf keeps 64 characters).
        EXPECT_LE(name.size(), 64);
        EXPECT_EQ(name, QString::fromLatin1(name.toLatin1())) << name.toStdString();
        names << name;
    }
    Clock::reset();
}

// 条码左边位置 20, 条码顶边位置 2000, 条码高度 800: the bars start 20 mm from the top; guard bars are
// 6.24 mm and data bars 4.59 mm long.
TEST_F(LabelPrintTest, TheBarsStandWhereTheLayoutPutsThem)
{
    PrintDevice device(dir.filePath(QStringLiteral("bars.pdf")));
    ASSERT_TRUE(printLabel(device, initialLook(), {QStringLiteral("K1"), QString(), QString(), QStringLiteral("5"),
                                                   QStringLiteral("6983111485901")}));
    const QImage image = render(dir.filePath(QStringLiteral("bars.pdf")));
    ASSERT_FALSE(image.isNull());
    const double pxPerMm = 300 / 25.4;
    const int top = int(20 * pxPerMm) - 3; // below the texts
    QList<int> runs;
    int firstDarkRow = image.height(), firstDarkColumn = image.width();
    for (int x = 0; x < image.width(); ++x) {
        int run = 0, longest = 0;
        for (int y = top; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                ++run;
                firstDarkRow = std::min(firstDarkRow, y);
                firstDarkColumn = std::min(firstDarkColumn, x);
            } else {
                longest = std::max(longest, run);
                run = 0;
            }
        }
        longest = std::max(longest, run);
        if (longest > 20 * pxPerMm / 10) // a bar, not a digit
            runs << longest;
    }
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_NEAR(firstDarkRow / pxPerMm, 20, 0.15);
    EXPECT_NEAR(*std::max_element(runs.begin(), runs.end()) / pxPerMm, 6.24, 0.15);
    std::sort(runs.begin(), runs.end());
    EXPECT_NEAR(runs.at(runs.size() / 4) / pxPerMm, 4.59, 0.15); // most bars are data bars
    // The symbol's quiet zone begins 0.2 mm from the left: the first bar stands 11 modules further.
    EXPECT_GT(firstDarkColumn / pxPerMm, 0.2);
}

// A label layout whose every number differs from the initial one: each captioned text stands at
// its own left and top, and the symbol where its numbers put it (hundredths of a millimetre): its
// first bar (the start guard, module 12) at 条码左边位置 + 12 modules of 0.33 mm, its last (the end
// guard, module 106) ending 107 modules right of it, its top at 条码顶边位置, the bars as long as
// 条码高度 leaves them, the digits under the data bars.
TEST_F(LabelPrintTest, ALayoutOfItsOwnPutsTheTextsAndTheSymbolWhereItsNumbersSay)
{
    PrintLook look = initialLook();
    const char *const numbers[][2] = {
        {"标签纸张宽", "500"},       {"标签纸张高", "350"},       {"标签款号字体大小", "10"}, {"标签款号左边位置", "30"},
        {"标签款号顶边位置", "15"},  {"标签颜色字体大小", "8"},   {"标签颜色左边位置", "30"}, {"标签颜色顶边位置", "70"},
        {"标签尺码字体大小", "11"},  {"标签尺码左边位置", "260"}, {"标签尺码顶边位置", "75"}, {"标签价格字体大小", "14"},
        {"标签价格左边位置", "40"},  {"标签价格顶边位置", "125"}, {"条码高度", "1000"},       {"条码左边位置", "350"},
        {"条码顶边位置", "1900"},
    };
    for (const auto &[key, value] : numbers) {
        ASSERT_NE(look.label.text(QString::fromUtf8(key)), QString::fromUtf8(value)) << key; // none is the initial value
        look.label.setText(QString::fromUtf8(key), QString::fromUtf8(value));
    }
    const QString pdf = dir.filePath(QStringLiteral("own.pdf"));
    PrintDevice device(pdf);
    ASSERT_TRUE(printLabel(device, look, {QStringLiteral("K1001"), QStringLiteral("红色"), QStringLiteral("M"),
                                          QStringLiteral("1299"), QStringLiteral("6983111485901")}));

    // The texts, to 0.6 pt (0.2 mm): they are placed by the metrics of the font the PDF carries.
    constexpr double pointsPerTenth = 72.0 / 254.0, pointsPerHundredth = 72.0 / 2540.0;
    const QList<Word> words = wordsOf(pdf);
    const struct {
        const char *text;
        double left, top, unit; // in the unit, points per unit
    } texts[] = {
        {"款号：K1001", 30, 15, pointsPerTenth},
        {"颜色：红色", 30, 70, pointsPerTenth},
        {"尺码：M", 260, 75, pointsPerTenth},
        {"价格：1,299.00", 40, 125, pointsPerTenth},
        // The digits 4 and 16 modules right of the symbol's left, less 0.04 mm, under the data bars
        // (the two halves are close enough to read as one word).
        {"6", 350 + 4 * 33 - 4, 1900 + 659, pointsPerHundredth},
        {"983111485901", 350 + 16 * 33 - 4, 1900 + 659, pointsPerHundredth},
    };
    for (const auto &t : texts) {
        SCOPED_TRACE(t.text);
        const Word *w = findWord(words, QString::fromUtf8(t.text));
        ASSERT_TRUE(w);
        EXPECT_NEAR(w->x, t.left * t.unit, 0.6);
        EXPECT_NEAR(w->y, t.top * t.unit, 0.6);
    }

    // The bars, from the page rendered at 600 dpi: a column is a bar's when the band between the
    // texts and the digits (18 to 25.5 mm) holds a dark run of 3 mm.
    const QString base = pdf.chopped(4);
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), pdf, base});
    const QImage image(base + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    const double pxPerMm = 600 / 25.4;
    int firstBar = -1, lastBar = -1, topRow = image.height();
    QList<double> lengths; // mm, the longest dark run of each bar column from 18 mm down
    for (int x = 0; x < image.width(); ++x) {
        int run = 0, longest = 0, longestInBand = 0, firstDark = -1;
        for (int y = int(18 * pxPerMm); y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (run++ == 0 && firstDark < 0)
                    firstDark = y;
            } else {
                run = 0;
            }
            longest = std::max(longest, run);
            if (y < 25.5 * pxPerMm)
                longestInBand = longest;
        }
        if (longestInBand < 3 * pxPerMm)
            continue;
        if (firstBar < 0)
            firstBar = x;
        lastBar = x;
        topRow = std::min(topRow, firstDark);
        lengths << longest / pxPerMm;
    }
    ASSERT_FALSE(lengths.isEmpty());
    EXPECT_NEAR(firstBar / pxPerMm, (350 + 12 * 33) / 100.0, 0.1);
    EXPECT_NEAR((lastBar + 1) / pxPerMm, (350 + 107 * 33) / 100.0, 0.1);
    EXPECT_NEAR(topRow / pxPerMm, 19.0, 0.1);
    std::sort(lengths.begin(), lengths.end());
    EXPECT_NEAR(lengths.last(), 8.24, 0.1);                  // guard bars: 1000 less 1.76 mm
    EXPECT_NEAR(lengths.at(lengths.size() / 4), 6.59, 0.1); // data bars: 1000 less 3.41 mm
    // And the symbol reads.
    EXPECT_EQ(run(QStringLiteral("zbarimg"), {QStringLiteral("-q"), base + QStringLiteral(".png")}).trimmed().section(u':', 1),
              QStringLiteral("6983111485901"));
}

TEST_F(LabelPrintTest, ACodeOfTwelveDigitsPrintsTheTextsWithoutASymbol)
{
    PrintDevice device(dir.filePath(QStringLiteral("short.pdf")));
    ASSERT_TRUE(printLabel(device, initialLook(), {QStringLiteral("K1"), QStringLiteral("白"), QStringLiteral("L"),
                                                   QString(), QStringLiteral("698311148590")}));
    EXPECT_TRUE(text(dir.filePath(QStringLiteral("short.pdf"))).contains(QStringLiteral("价格：0.00")));
    const QImage image = render(dir.filePath(QStringLiteral("short.pdf")));
    int dark = 0;
    for (int y = int(20 * 300 / 25.4) - 3; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_EQ(dark, 0);
}

} // namespace
