// Price labels printed to PDF and read back: one 40 × 29 mm job per label, the captioned texts,
// the barcode rendered at 300 dpi and decoded by zbarimg, and the bars where the layout puts them.
#include "platform/Clock.h"
#include "printing/LabelPrint.h"
#include "printing/PrintDevice.h"
#include "printing/PrintLayout.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace printing;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

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
