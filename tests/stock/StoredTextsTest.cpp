// Rows stored by an earlier release may hold control characters that the fields drop today. Such a
// row is listed as it is stored and found again by that text: a catalogue value is deleted as
// listed (and not its look-alike without the character), a category renamed and deleted, its stock
// rows and sale lines following the new name.
#include "StockFixture.h"

#include "stock/Catalogue.h"
#include "stock/CatalogueListsBox.h"
#include "stock/CategoryTree.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace stock;
using stocktest::StockFixture;

namespace {

class StoredTexts : public StockFixture {
protected:
    void store(const QString &table, const data::Pairs &pairs)
    {
        QString error;
        ASSERT_TRUE(testsupport::TestDatabase::storeAsIs(db(), table, pairs, &error)) << error.toStdString();
    }
    QStringList column(const QString &table, const QString &name)
    {
        return rows(QStringLiteral("SELECT ") + name + QStringLiteral(" FROM ") + db().dialect().quoteTable(table)
                        + QStringLiteral(" ORDER BY id"),
                    {name});
    }
};

TEST_P(StoredTexts, ACatalogueValueIsDeletedAsListed)
{
    const struct {
        CatalogueKind kind;
        QString column, value, lookAlike;
    } cases[] = {
        {CatalogueKind::Colour, QStringLiteral("颜色"), QStringLiteral("红\u0001"), QStringLiteral("红")},
        {CatalogueKind::Size, QStringLiteral("尺码"), QStringLiteral("X\u001bL"), QStringLiteral("XL")},
        {CatalogueKind::Unit, QStringLiteral("单位"), QStringLiteral("\u007f件"), QStringLiteral("件")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.column.toStdString());
        const QString table = c.kind == CatalogueKind::Unit ? QStringLiteral("单位管理") : QStringLiteral("颜色尺码");
        store(table, {{c.column, c.lookAlike}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
        store(table, {{c.column, c.value}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
        const QStringList listed = loadCatalogue(ctx(), c.kind);
        ASSERT_EQ(listed, (QStringList{c.lookAlike, c.value}));
        EXPECT_EQ(deleteCatalogueValue(ctx(), c.kind, listed.last()).message, QStringLiteral("删除成功！"));
        EXPECT_EQ(loadCatalogue(ctx(), c.kind), QStringList{c.lookAlike});
    }
}

// On the page: the colour picked with the arrow key in its list is the one deleted.
TEST_P(StoredTexts, TheColourPickedInTheListIsTheOneDeleted)
{
    store(QStringLiteral("颜色尺码"), {{QStringLiteral("颜色"), QStringLiteral("红")}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
    store(QStringLiteral("颜色尺码"), {{QStringLiteral("颜色"), QStringLiteral("红\u0001")}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
    CatalogueListsBox box(ctx());
    box.loadAll();
    auto *combo = box.findChild<QComboBox *>(QStringLiteral("颜色7"));
    ASSERT_NE(combo, nullptr);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentText(), QStringLiteral("红\u0001"));
    box.findChild<QPushButton *>(QStringLiteral("按钮6"))->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("删除成功！")});
    EXPECT_EQ(loadCatalogue(ctx(), CatalogueKind::Colour), QStringList{QStringLiteral("红")});
}

TEST_P(StoredTexts, ACategoryIsRenamedAndDeletedAsListed)
{
    const QString top = QStringLiteral("上衣\u0001"), sub = QStringLiteral("棉\u0002衣");
    store(QStringLiteral("分类例表"), {{QStringLiteral("项目名称"), top}, {QStringLiteral("一级编号"), QStringLiteral("1")},
                                   {QStringLiteral("二级编号"), QString()}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
    store(QStringLiteral("分类例表"), {{QStringLiteral("项目名称"), sub}, {QStringLiteral("一级编号"), QString()},
                                   {QStringLiteral("二级编号"), QStringLiteral("1")}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
    // A look-alike without the character, which no action on the listed names may touch.
    store(QStringLiteral("分类例表"), {{QStringLiteral("项目名称"), QStringLiteral("棉衣")}, {QStringLiteral("一级编号"), QString()},
                                   {QStringLiteral("二级编号"), QStringLiteral("1")}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
    for (const QString &category : {sub, QStringLiteral("棉衣")}) {
        store(QStringLiteral("采购入库"), {{QStringLiteral("类别"), category}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
        store(QStringLiteral("销售明细"), {{QStringLiteral("类别"), category}, {QStringLiteral("所属店铺"), QStringLiteral("A")}});
    }
    const CategoryTree tree = loadCategoryTree(ctx());
    ASSERT_EQ(tree.topLevel.size(), 1);
    ASSERT_EQ(tree.topLevel[0].name, top);
    ASSERT_EQ(tree.topLevel[0].children.size(), 2);
    ASSERT_EQ(tree.topLevel[0].children[0].name, sub);

    EXPECT_TRUE(renameCategory(ctx(), tree.topLevel[0].children[0].name, QStringLiteral("羽绒")).changed);
    EXPECT_EQ(column(QStringLiteral("分类例表"), QStringLiteral("项目名称")), (QStringList{top, QStringLiteral("羽绒"), QStringLiteral("棉衣")}));
    EXPECT_EQ(column(QStringLiteral("采购入库"), QStringLiteral("类别")), (QStringList{QStringLiteral("羽绒"), QStringLiteral("棉衣")}));
    EXPECT_EQ(column(QStringLiteral("销售明细"), QStringLiteral("类别")), (QStringList{QStringLiteral("羽绒"), QStringLiteral("棉衣")}));

    EXPECT_TRUE(deleteCategory(ctx(), QStringLiteral("羽绒")).changed);
    EXPECT_TRUE(deleteCategory(ctx(), QStringLiteral("棉衣")).changed);
    EXPECT_TRUE(deleteCategory(ctx(), top).changed);
    EXPECT_EQ(count(QStringLiteral("分类例表")), 0);
}

SHOPDESK_BOTH_BACKENDS(StoredTexts);

} // namespace
