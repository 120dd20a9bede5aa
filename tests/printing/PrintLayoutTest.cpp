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

TEST(PrintLayout, SwitchesAndNumbersReadStrictly)
{
    PrintLayout layout;
    const struct {
        const char16_t *text;
        bool on;
        int number;
    } cases[] = {{u"真", true, -1}, {u"假", false, -1}, {u" 真", false, -1}, {u"", false, -1}, {u"760", false, 760}, {u" 18 ", false, 18}, {u"1.5", false, -1}};
    for (const auto &c : cases) {
        layout.setText(QStringLiteral("k"), QString::fromUtf16(c.text));
        EXPECT_EQ(layout.isOn(QStringLiteral("k")), c.on) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(layout.number(QStringLiteral("k"), -1), c.number) << QString::fromUtf16(c.text).toStdString();
    }
}
