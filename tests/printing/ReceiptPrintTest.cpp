// Receipts printed to PDF through QPrinter and read back with poppler's tools: the page size
// (pdfinfo), where each text stands (pdftotext -bbox) and the fonts the texts are set in (pdffonts).
#include "context/AppContext.h"
#include "platform/Clock.h"
#include "printing/DeviceReceiptPrinter.h"
#include "printing/PrintDevice.h"
#include "printing/PrintLayout.h"
#include "printing/ReceiptPrint.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printing;

namespace {

constexpr double kPointsPerTenth = 72.0 / 254.0; // a tenth of a millimetre in PDF points

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Word {
    QString text;
    double x = 0, y = 0; // top-left, PDF points
    int page = 0;
};

QList<Word> wordsOf(const QString &pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<Word> words;
    int page = 0;
    static const QRegularExpression item(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble(), page});
    }
    return words;
}

// "W x H" of the first page in millimetres, and the page count.
struct PdfInfo {
    double width = 0, height = 0;
    int pages = 0;
};
PdfInfo infoOf(const QString &pdf)
{
    const QString text = run(QStringLiteral("pdfinfo"), {pdf});
    PdfInfo info;
    const auto size = QRegularExpression(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)")).match(text);
    info.width = size.captured(1).toDouble() * 25.4 / 72;
    info.height = size.captured(2).toDouble() * 25.4 / 72;
    info.pages = QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))")).match(text).captured(1).toInt();
    return info;
}

// The document title a job was given (its job name).
QString titleOf(const QString &pdf)
{
    const QString text = run(QStringLiteral("pdfinfo"), {pdf});
    return QRegularExpression(QStringLiteral(R"(^Title:\s+(.*)$)"), QRegularExpression::MultilineOption)
        .match(text)
        .captured(1)
        .trimmed();
}

const Word *find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

Receipt receiptOf(const QList<QPair<QString, QString>> &styleAndAmount, const QString &number = QStringLiteral("R1"))
{
    Receipt r;
    r.receiptNo = number;
    for (const auto &[style, amount] : styleAndAmount)
        r.lines.append({QStringLiteral("上衣"), style, QStringLiteral("衬衫"), QStringLiteral("白"), QStringLiteral("L"),
                        QStringLiteral("1"), amount});
    return r;
}

class ReceiptPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "poppler-utils missing (tools/deps.sh installs it)";
        ASSERT_TRUE(dir.isValid());
    }
    QString print(const PrintLook &look, const Receipt &receipt, const QTime &now = QTime(9, 5))
    {
        const QString pdf = dir.filePath(QStringLiteral("r%1.pdf").arg(++jobs));
        PrintDevice device(pdf);
        const DateParts today{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};
        EXPECT_TRUE(printReceipt(device, look, receipt, today, now));
        return pdf;
    }
    QTemporaryDir dir;
    int jobs = 0;
};

TEST_F(ReceiptPrintTest, TextsStandWhereTheLayoutPutsThem)
{
    const PrintLook look = initialLook();
    const QString pdf = print(look, receiptOf({{"K1", "1000"}, {"K2", "234.5"}, {"K3", ""}}));
    const PdfInfo info = infoOf(pdf);
    EXPECT_NEAR(info.width, 57, 0.36); // PDF pages are whole points
    EXPECT_NEAR(info.height, 94, 0.36); // 76 mm and three rows of 6 mm
    EXPECT_EQ(info.pages, 1);

    const QList<Word> words = wordsOf(pdf);
    const struct {
        const char *text;
        int left, top; // tenths of a millimetre
    } cases[] = {
        {"主标题", 10, 10},        {"副标题", 10, 100},     {"2015年03月11日", 10, 190}, {"09点05分", -1, 190},
        {"销售单号：R1", 10, 240}, {"款号", 10, 300},       {"颜色", 170, 300},          {"金额", 410, 300},
        {"K1", 10, 360},           {"K2", 10, 420},         {"K3", 10, 480},             {"1000", 410, 360},
        {"合计金额：", 10, 550},   {"1,234.50", 410, 550},  {"第一行自定义内容", 10, 680},
    };
    for (const auto &c : cases) {
        const Word *w = find(words, QString::fromUtf8(c.text));
        ASSERT_TRUE(w) << c.text;
        if (c.left >= 0)
            EXPECT_NEAR(w->x, c.left * kPointsPerTenth, 1.0) << c.text;
        EXPECT_NEAR(w->y, c.top * kPointsPerTenth, 1.5) << c.text;
    }
    // The texts are set in a CJK face, not drawn as empty boxes.
    const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("WenQuanYi")) || fonts.contains(QStringLiteral("Droid"))) << fonts.toStdString();
}

TEST_F(ReceiptPrintTest, TheCasesOfTheLayout)
{
    const struct {
        const char *name;
        QList<QPair<QString, QString>> lines;
        QString number;
        const char *width, *firstFooterTop;
        bool textHeader, logoHeader;
        double pageHeight; // mm; 0: the printer's own paper
        int pages;
        const char *total;
    } cases[] = {
        {"empty cart", {}, "", "570", "500", true, false, 82, 1, "0.00"},
        {"one row", {{"K1", "-12"}}, "R9", "570", "500", true, false, 82, 1, "-12.00"},
        {"printer's own paper", {{"K1", "5"}}, "R9", "0", "500", true, false, 0, 1, "5.00"},
        {"footer below the paper", {{"K1", "5"}}, "R9", "570", "1200", false, true, 82, 2, "5.00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PrintLook look = initialLook();
        look.receipt.setText(QStringLiteral("纸张宽度"), QString::fromUtf8(c.width));
        look.receipt.setText(QStringLiteral("第一行顶边位置"), QString::fromUtf8(c.firstFooterTop));
        look.receipt.setText(QStringLiteral("小票头部打印文字"), c.textHeader ? QStringLiteral("真") : QStringLiteral("假"));
        look.receipt.setText(QStringLiteral("小票头部打印LOGO"), c.logoHeader ? QStringLiteral("真") : QStringLiteral("假"));
        const QString pdf = print(look, receiptOf(c.lines, c.number));
        const PdfInfo info = infoOf(pdf);
        if (c.pageHeight > 0)
            EXPECT_NEAR(info.height, c.pageHeight, 0.36);
        else
            EXPECT_GT(info.height, 200); // A4 or Letter
        EXPECT_EQ(info.pages, c.pages);
        const QList<Word> words = wordsOf(pdf);
        EXPECT_TRUE(find(words, QString::fromUtf8(c.total)));
        EXPECT_EQ(find(words, QStringLiteral("主标题")) != nullptr, c.textHeader);
        const Word *number = find(words, QStringLiteral("销售单号：") + c.number);
        EXPECT_TRUE(number);
        const Word *footer = find(words, QStringLiteral("第一行自定义内容"));
        ASSERT_TRUE(footer);
        EXPECT_EQ(footer->page, c.pages);
    }
}

// Positions and sizes typed with a Chinese input method (full-width digits) or with decimals print
// where their whole number puts them, not at the page's edge; the paper takes its size the same way.
TEST_F(ReceiptPrintTest, LayoutNumbersAreReadByTheNumberRule)
{
    const struct {
        const char *left, *top; // 主标题左边位置, 主标题顶边位置 as typed
        int x, y;               // tenths of a millimetre
        const char *width;      // 纸张宽度 as typed
    } cases[] = {
        {"１００", "５０", 100, 50, "５７０"},
        {"100.5", "50.9", 100, 50, "570.5"},
        {"２００mm", " 30", 200, 30, "570"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.left);
        PrintLook look = initialLook();
        look.receipt.setText(QStringLiteral("主标题左边位置"), QString::fromUtf8(c.left));
        look.receipt.setText(QStringLiteral("主标题顶边位置"), QString::fromUtf8(c.top));
        look.receipt.setText(QStringLiteral("纸张宽度"), QString::fromUtf8(c.width));
        const QString pdf = print(look, receiptOf({{"K1", "5"}}));
        EXPECT_NEAR(infoOf(pdf).width, 57, 0.36);
        const Word *title = find(wordsOf(pdf), QStringLiteral("主标题"));
        ASSERT_TRUE(title);
        EXPECT_NEAR(title->x, c.x * kPointsPerTenth, 1.0);
        EXPECT_NEAR(title->y, c.y * kPointsPerTenth, 1.5);
    }
}

// Both headers ticked (a loaded print.ini can do this) print the titles and the logo; the logo
// lies where the layout puts it, and the dashed lines are drawn across the paper.
TEST_F(ReceiptPrintTest, TheLogoAndTheDashedLinesAreOnThePage)
{
    const auto render = [this](bool text, bool logo) {
        PrintLook look = initialLook();
        look.receipt.setText(QStringLiteral("小票头部打印文字"), text ? QStringLiteral("真") : QStringLiteral("假"));
        look.receipt.setText(QStringLiteral("小票头部打印LOGO"), logo ? QStringLiteral("真") : QStringLiteral("假"));
        const QString pdf = print(look, receiptOf({{"K1", "5"}}));
        EXPECT_EQ(find(wordsOf(pdf), QStringLiteral("主标题")) != nullptr, text);
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, pdf.chopped(4)});
        return QImage(pdf.chopped(4) + QStringLiteral(".png")); // 254 dpi: a pixel per tenth of a millimetre
    };
    const auto darkIn = [](const QImage &page, int x1, int y1, int x2, int y2) {
        int dark = 0;
        for (int y = y1; y < y2 && y < page.height(); ++y)
            for (int x = x1; x < x2 && x < page.width(); ++x)
                dark += qGray(page.pixel(x, y)) < 128;
        return dark;
    };
    ASSERT_FALSE(initialLook().logo.isNull());
    const QImage logoOnly = render(false, true);
    const QImage none = render(false, false);
    render(true, true);
    ASSERT_FALSE(logoOnly.isNull());
    // The logo is stretched over (10, 50) to (480, 150).
    EXPECT_GT(darkIn(logoOnly, 10, 50, 480, 150), 50);
    EXPECT_EQ(darkIn(none, 0, 0, logoOnly.width(), 180), 0);
    // The first dashed line at (1, 280); the second at (1, 340) plus one row of 60.
    EXPECT_GT(darkIn(none, 1, 280, 300, 320), 20);
    EXPECT_GT(darkIn(none, 1, 400, 300, 440), 20);
}

TEST(ReceiptDateLine, TwoDigitsForHourAndMinute)
{
    const DateParts today{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};
    EXPECT_EQ(receiptDateLine(today, QTime(9, 5)), QStringLiteral("2015年03月11日      09点05分"));
    EXPECT_EQ(receiptDateLine(today, QTime(14, 30)), QStringLiteral("2015年03月11日      14点30分"));
}

// Every receipt is a job named by its receipt number (a test print by its own name), so that a PDF printer, which names its files
// by the job, keeps one file per receipt.
TEST_F(ReceiptPrintTest, EachReceiptIsAJobNamedByItsNumber)
{
    AppContext context;
    context.runMode = AppContext::SingleMachineMode;
    DeviceReceiptPrinter printer(context);
    QStringList files;
    printer.pdfPath = [&] { return files.emplace_back(dir.filePath(QStringLiteral("job%1.pdf").arg(files.size()))); };
    for (const char *number : {"XS20150311001", "XS20150311002"})
        printer.printReceipt(receiptOf({{"K1", "5"}}, QString::fromUtf8(number)));
    // A receipt with a job name of its own (a test print) goes by that name.
    Receipt test = receiptOf({{"K1", "5"}}, QStringLiteral("XS20150311002"));
    test.jobName = QStringLiteral("test-20150311-093005-1");
    printer.printReceipt(test);
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(titleOf(files.at(0)), QStringLiteral("XS20150311001"));
    EXPECT_EQ(titleOf(files.at(1)), QStringLiteral("XS20150311002"));
    EXPECT_EQ(titleOf(files.at(2)), QStringLiteral("test-20150311-093005-1"));
}

// The running program's printer: a job that cannot start goes to the log and nothing is thrown
// back at the sale.
TEST(DeviceReceiptPrinterTest, AJobThatCannotStartIsLoggedAndTheCallerGoesOn)
{
    AppContext context;
    context.runMode = AppContext::SingleMachineMode;
    DeviceReceiptPrinter printer(context);
    printer.pdfPath = [] { return QStringLiteral("/nonexistent-folder/receipt.pdf"); };
    printer.printReceipt(receiptOf({{"K1", "5"}}));
    EXPECT_EQ(printer.jobs(), 0);
    QTemporaryDir dir;
    printer.pdfPath = [&dir] { return dir.filePath(QStringLiteral("r.pdf")); };
    printer.printReceipt(receiptOf({{"K1", "5"}}));
    EXPECT_EQ(printer.jobs(), 1);
}

} // namespace
