#include "printing/PrintLayout.h"

#include <gtest/gtest.h>

using namespace printing;

TEST(PrintLayout, KeysAndInitialTextsMakeOneCompleteLayout)
{
    ASSERT_EQ(receiptLayoutKeys().size(), 61);
    ASSERT_EQ(labelLayoutKeys().size(), 21);
    EXPECT_EQ(receiptLayoutKeys().first(), QStringLiteral("纸张宽度"));
    EXPECT_EQ(receiptLayoutKeys().last(), QStringLiteral("第六行"));
    EXPECT_EQ(labelLayoutKeys().last(), QStringLiteral("标价格"));

    const PrintLayout receipt = initialReceiptLayout();
    for (const QString &key : receiptLayoutKeys())
        EXPECT_FALSE(receipt.text(key).isEmpty()) << key.toStdString();
    EXPECT_EQ(receipt.text(QStringLiteral("第六行顶边位置")), QStringLiteral("700"));
    EXPECT_EQ(receipt.text(QStringLiteral("第二行")), QString(23, u' ') + QStringLiteral("第二行自定义内容"));
    EXPECT_EQ(receipt.text(QStringLiteral("第三行")), QStringLiteral("第三行自定义内容"));
    EXPECT_TRUE(receipt.isOn(QStringLiteral("小票头部打印文字")));
    EXPECT_FALSE(receipt.isOn(QStringLiteral("小票头部打印LOGO")));
    EXPECT_EQ(initialLabelLayout().text(QStringLiteral("条码顶边位置")), QStringLiteral("2000"));
}

// A switch is on only for exactly "真". A number is read by the program's number rule: full-width
// digits (typed with a Chinese input method) count and the whole part of the leading number is
// taken; a text without one gives 0.
TEST(PrintLayout, SwitchesReadExactlyAndNumbersByTheNumberRule)
{
    PrintLayout layout;
    const struct {
        const char16_t *text;
        bool on;
        int number;
    } cases[] = {{u"真", true, 0},        {u"假", false, 0},         {u" 真", false, 0},     {u"", false, 0},
                 {u"760", false, 760},    {u" 18 ", false, 18},      {u"1.5", false, 1},     {u"１００", false, 100},
                 {u"100.5", false, 100},  {u"１２", false, 12},      {u"12mm", false, 12},   {u"－４", false, -4},
                 {u"abc", false, 0},      {u"99999999999", false, LayoutNumberLimit},
                 {u"-99999999999", false, -LayoutNumberLimit}};
    for (const auto &c : cases) {
        layout.setText(QStringLiteral("k"), QString::fromUtf16(c.text));
        EXPECT_EQ(layout.isOn(QStringLiteral("k")), c.on) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(layout.number(QStringLiteral("k")), c.number) << QString::fromUtf16(c.text).toStdString();
    }
}
