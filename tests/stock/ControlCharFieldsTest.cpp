// A purchase's style number pasted with a NUL is stored without it, alike on both backends.
#include "StockFixture.h"

#include "stock/PurchasePage.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using stocktest::StockFixture;

namespace {

class PurchaseControlChars : public StockFixture {};

TEST_P(PurchaseControlChars, AStyleNumberIsStoredWithoutIt)
{
    exec(QStringLiteral("INSERT INTO ") + db().dialect().quoteTable(QStringLiteral("供货管理"))
         + QStringLiteral(" (供应商名称, 所属店铺) VALUES ('广州甲', 'A')"));
    stock::PurchasePage page(ctx(), labels);
    page.loadPurchaseSupplierCombo();
    page.loadPurchaseColourCombos();
    page.show();
    QApplication::setActiveWindow(&page);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    auto child = [&page](const char *name) { return page.findChild<QWidget *>(QString::fromUtf8(name)); };
    static_cast<QComboBox *>(child("供货来源7"))->setEditText(QStringLiteral("广州甲"));
    static_cast<QComboBox *>(child("类别7"))->setEditText(QStringLiteral("衬衫"));
    static_cast<QComboBox *>(child("尺码1"))->setEditText(QStringLiteral("M"));
    static_cast<QLineEdit *>(child("进货价7"))->setText(QStringLiteral("50"));
    static_cast<QLineEdit *>(child("吊牌价7"))->setText(QStringLiteral("120"));
    static_cast<QLineEdit *>(child("数量1"))->setText(QStringLiteral("1"));

    auto *style = static_cast<QLineEdit *>(child("款号7"));
    QApplication::clipboard()->setText(QStringLiteral("S") + QChar(0) + QStringLiteral("1"));
    style->setFocus();
    style->selectAll();
    QTest::keyClick(style, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(style->text(), QStringLiteral("S1"));

    QTest::mouseClick(static_cast<QPushButton *>(child("添加采购")), Qt::LeftButton);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ") + db().dialect().quoteTable(QStringLiteral("采购入库")),
                   {QStringLiteral("款号"), QStringLiteral("供货来源"), QStringLiteral("数量")}),
              QStringList{QStringLiteral("S1|广州甲|1")});
}

SHOPDESK_BOTH_BACKENDS(PurchaseControlChars);

} // namespace
