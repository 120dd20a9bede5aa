// Receipts printed to PDF through QPrinter and read back with poppler's tools: the page size
// (pdfinfo), where each text stands (pdftotext -bbox) and the fonts the texts are set in (pdffonts).
#include "context/AppContext.h"
#include "platform/Clock.h"
#include "printing/DeviceReceiptPrinter.h"
#include "printing/PrintDevice.h"
#include "printing/PrintLayout.h"
#include "printing/ReceiptPrint.h"
#include "PdfWords.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printing;
using namespace pdfwords;

namespace {

constexpr double kPointsPerTenth = 72.0 / 254.0; // a tenth of a millimetre in PDF points

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
        const Word *w = findWord(words, QString::fromUtf8(c.text));
        ASSERT_TRUE(w) << c.text;
        if (c.left >= 0) {
            EXPECT_NEAR(w->x, c.left * kPointsPerTenth, 1.0) << c.text;
        }
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
        EXPECT_TRUE(findWord(words, QString::fromUtf8(c.total)));
        EXPECT_EQ(findWord(words, QStringLiteral("主标题")) != nullptr, c.textHeader);
        const Word *number = findWord(words, QStringLiteral("销售单号：") + c.number);
        EXPECT_TRUE(number);
        const Word *footer = findWord(words, QStringLiteral("第一行自定义内容"));
        ASSERT_TRUE(footer);
        EXPECT_EQ(footer->page, c.pages);
    }
}

// A layout whose every number differs from the initial one: each text stands at its own left and
// top, the item rows one row pitch (6 mm) apart, a first column of two ticked boxes one line below
// the other, each cell under its own caption, and everything after the rows moved down by them.
TEST_F(ReceiptPrintTest, ALayoutOfItsOwnPutsEveryTextWhereItsNumbersSay)
{
    PrintLook look = initialLook();
    const char *const numbers[][2] = {
        {"纸张宽度", "800"},         {"纸张高度", "1000"},         {"主标题字体大小", "16"},     {"主标题左边位置", "40"},
        {"主标题顶边位置", "20"},     {"副标题字体大小", "11"},     {"副标题左边位置", "60"},     {"副标题顶边位置", "120"},
        {"日期左边位置", "30"},       {"日期顶边位置", "200"},      {"销售单号左边位置", "50"},   {"销售单号顶边位置", "250"},
        {"第一根左边位置", "5"},      {"第一根顶边位置", "300"},    {"款号左边位置", "25"},       {"款号顶边位置", "340"},
        {"颜色左边位置", "230"},      {"尺码左边位置", "340"},      {"数量左边位置", "450"},      {"金额左边位置", "560"},
        {"第二根左边位置", "15"},     {"第二根顶边位置", "420"},    {"合计左边位置", "35"},       {"合计顶边位置", "460"},
        {"总金额左边位置", "580"},    {"总金额顶边位置", "470"},    {"第一行左边位置", "20"},     {"第一行顶边位置", "620"},
        {"第二行左边位置", "45"},     {"第二行顶边位置", "660"},    {"第三行左边位置", "70"},     {"第三行顶边位置", "700"},
        {"第四行左边位置", "95"},     {"第四行顶边位置", "740"},    {"第五行左边位置", "120"},    {"第五行顶边位置", "780"},
        {"第六行左边位置", "145"},    {"第六行顶边位置", "820"},    {"打印商品名称", "真"},
        {"第一行", "页脚一"},         {"第二行", "页脚二"},         {"第三行", "页脚三"},         {"第四行", "页脚四"},
        {"第五行", "页脚五"},         {"第六行", "页脚六"},
    };
    for (const auto &[key, value] : numbers) {
        ASSERT_NE(look.receipt.text(QString::fromUtf8(key)), QString::fromUtf8(value)) << key; // none is the initial value
        look.receipt.setText(QString::fromUtf8(key), QString::fromUtf8(value));
    }
    look.label.setText(QStringLiteral("标签尺码字体大小"), QStringLiteral("10")); // the receipt's body font
    Receipt receipt;
    receipt.receiptNo = QStringLiteral("58985141183");
    receipt.lines = {{QStringLiteral("上衣"), QStringLiteral("KA1"), QStringLiteral("衬衫甲"), QStringLiteral("藏青"),
                      QStringLiteral("XL"), QStringLiteral("2"), QStringLiteral("1000")},
                     {QStringLiteral("裤子"), QStringLiteral("KB2"), QStringLiteral("长裤乙"), QStringLiteral("米白"),
                      QStringLiteral("S"), QStringLiteral("3"), QStringLiteral("234.5")}};
    const QString pdf = print(look, receipt);
    const PdfInfo info = infoOf(pdf);
    EXPECT_NEAR(info.width, 80, 0.36);
    EXPECT_NEAR(info.height, 112, 0.36); // 100 mm and two rows of 6 mm
    EXPECT_EQ(info.pages, 1);

    const QList<Word> words = wordsOf(pdf);
    const QString dashes(36, u'-');
    const struct {
        QString text;
        int left, top; // tenths of a millimetre; left -1: after another text on its line
        int occurrence = 0;
    } cases[] = {
        {QStringLiteral("主标题"), 40, 20},
        {QStringLiteral("副标题"), 60, 120},
        {QStringLiteral("2015年03月11日"), 30, 200},
        {QStringLiteral("09点05分"), -1, 200},
        {QStringLiteral("销售单号：58985141183"), 50, 250},
        {dashes, 5, 300},
        // The captions and, under each, its own cell: row 1 one pitch below, row 2 two.
        {QStringLiteral("款号"), 25, 340},
        {QStringLiteral("颜色"), 230, 340},
        {QStringLiteral("尺码"), 340, 340},
        {QStringLiteral("数量"), 450, 340},
        {QStringLiteral("金额"), 560, 340},
        {QStringLiteral("KA1"), 25, 400},
        {QStringLiteral("藏青"), 230, 400},
        {QStringLiteral("XL"), 340, 400},
        {QStringLiteral("2"), 450, 400},
        {QStringLiteral("1000"), 560, 400},
        {QStringLiteral("KB2"), 25, 460},
        {QStringLiteral("米白"), 230, 460},
        {QStringLiteral("S"), 340, 460},
        {QStringLiteral("3"), 450, 460},
        {QStringLiteral("234.5"), 560, 460},
        // After the rows: their own tops plus two pitches.
        {dashes, 15, 540, 1},
        {QStringLiteral("合计金额："), 35, 580},
        {QStringLiteral("1,234.50"), 580, 590},
        {QStringLiteral("页脚一"), 20, 740},
        {QStringLiteral("页脚二"), 45, 780},
        {QStringLiteral("页脚三"), 70, 820},
        {QStringLiteral("页脚四"), 95, 860},
        {QStringLiteral("页脚五"), 120, 900},
        {QStringLiteral("页脚六"), 145, 940},
    };
    // To 0.6 pt (0.2 mm): the texts are placed by the metrics of the font the PDF carries.
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const Word *w = findWord(words, c.text, c.occurrence);
        ASSERT_TRUE(w);
        if (c.left >= 0) {
            EXPECT_NEAR(w->x, c.left * kPointsPerTenth, 0.6);
        }
        EXPECT_NEAR(w->y, c.top * kPointsPerTenth, 0.6);
    }
    // The item name of each row is the next line of its first column: one line of the 10-point
    // body font lower, neither on the style number nor further down than a line and a half.
    for (const auto &[style, name] : {std::pair{"KA1", "衬衫甲"}, std::pair{"KB2", "长裤乙"}}) {
        const Word *first = findWord(words, QString::fromUtf8(style));
        const Word *second = findWord(words, QString::fromUtf8(name));
        ASSERT_TRUE(first && second) << name;
        EXPECT_NEAR(second->x, first->x, 1.0) << name;
        EXPECT_GE(second->y - first->y, 10.0) << name;
        EXPECT_LE(second->y - first->y, 16.0) << name;
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
        const QList<Word> words = wordsOf(pdf);
        const Word *title = findWord(words, QStringLiteral("主标题"));
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
        EXPECT_EQ(findWord(wordsOf(pdf), QStringLiteral("主标题")) != nullptr, text);
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
