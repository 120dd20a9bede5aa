#include "StockFixture.h"

#include "stock/Catalogue.h"
#include "stock/CategoryTree.h"
#include "stock/PurchaseList.h"

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

class CategoryTest : public SqliteStockFixture {
protected:
    QStringList tree()
    {
        QStringList out;
        for (const CategoryNode &top : loadCategoryTree(ctx()).topLevel) {
            QStringList children;
            for (const CategoryNode &c : top.children)
                children << c.name;
            out << top.name + u'(' + top.code + u':' + children.join(u',') + u')';
        }
        return out;
    }
};

TEST_F(CategoryTest, CodesAreUniqueAcrossShopsAndTreesAreTheShops)
{
    EXPECT_TRUE(addTopCategory(ctx(), QStringLiteral("上衣")).changed);
    ctx().currentShop = QStringLiteral("B");
    EXPECT_TRUE(addTopCategory(ctx(), QStringLiteral("上衣")).changed); // same name, other shop
    EXPECT_EQ(tree(), QStringList{QStringLiteral("上衣(2:)")});
    ctx().currentShop = QStringLiteral("A");
    EXPECT_EQ(tree(), QStringList{QStringLiteral("上衣(1:)")});
    EXPECT_EQ(rows(QStringLiteral("SELECT 操作内容 FROM [日志记录] ORDER BY id"), {QStringLiteral("操作内容")}).first(),
              QStringLiteral("库存管理---新增一级分类  上衣"));
}

TEST_F(CategoryTest, AddingSubCategoriesAndRefusals)
{
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('裤子', '10', '', 'A')"));
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('上衣', '2', '', 'A')"));
    EXPECT_TRUE(addSubCategory(ctx(), QStringLiteral("上衣"), QStringLiteral(" 棉 衣 ")).changed);
    EXPECT_TRUE(addSubCategory(ctx(), QStringLiteral("上衣"), QStringLiteral("T恤,'男'")).changed);
    // Numeric order of the codes: 2 before 10.
    EXPECT_EQ(tree(), (QStringList{QStringLiteral("上衣(2: 棉 衣 ,T恤,'男')"), QStringLiteral("裤子(10:)")}));
    EXPECT_EQ(addSubCategory(ctx(), QStringLiteral("裤子"), QStringLiteral(" 棉 衣 ")).message, QStringLiteral("您输入的分类名称已经存在！"));
    EXPECT_EQ(addSubCategory(ctx(), QStringLiteral(" 棉 衣 "), QStringLiteral("x")).message,
              QStringLiteral("不允许在二级分类【 棉 衣 】分类下再添加子分类！"));
    const CategoryResult blank = addTopCategory(ctx(), QStringLiteral("   "));
    EXPECT_FALSE(blank.changed);
    EXPECT_TRUE(blank.message.isEmpty());
    // A new first-level code is one above the largest of every shop.
    EXPECT_TRUE(addTopCategory(ctx(), QStringLiteral("鞋")).changed);
    EXPECT_EQ(count(QStringLiteral("分类例表"), QStringLiteral("一级编号='11'")), 1);
}

// Second-level rows added in turns under two parents land under their own parent, in the order
// they were added; another shop's row with the same parent code stays out.
TEST_F(CategoryTest, SubCategoriesAddedInTurnsGoUnderTheirOwnParent)
{
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('裤子', '10', '', 'A')"));
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('上衣', '2', '', 'A')"));
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('他店', '', '2', 'B')"));
    for (const auto &[parent, name] : {std::pair{u"裤子", u"长裤"}, {u"上衣", u"棉衣"}, {u"裤子", u"短裤"}, {u"上衣", u"T恤"}})
        ASSERT_TRUE(addSubCategory(ctx(), QString::fromUtf16(parent), QString::fromUtf16(name)).changed);
    EXPECT_EQ(tree(), (QStringList{QStringLiteral("上衣(2:棉衣,T恤)"), QStringLiteral("裤子(10:长裤,短裤)")}));
}

// A lookup that cannot run is reported as a failure, not as the second-level refusal.
TEST_F(CategoryTest, FailedParentLookupIsNoSecondLevelRefusal)
{
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('上衣', '1', '', 'A')"));
    ASSERT_TRUE(subCategoryRefusal(ctx(), QStringLiteral("上衣")).isEmpty());
    db().close();
    EXPECT_EQ(subCategoryRefusal(ctx(), QStringLiteral("上衣")), QStringLiteral("数据库写入失败，没有做任何修改，请稍后重试！"));
    const CategoryResult added = addSubCategory(ctx(), QStringLiteral("上衣"), QStringLiteral("棉衣"));
    EXPECT_FALSE(added.changed);
    EXPECT_EQ(added.message, QStringLiteral("数据库写入失败，没有做任何修改，请稍后重试！"));
}

TEST_F(CategoryTest, RenameCarriesStockAndSalesLinesOfTheShop)
{
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('上衣', '1', '', 'A')"));
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('棉衣', '', '1', 'A')"));
    stockRow(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("1"));
    stockRow(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("1"));
    exec(QStringLiteral("UPDATE [采购入库] SET 类别='棉衣'"));
    exec(QStringLiteral("INSERT INTO [销售明细] (类别, 所属店铺) VALUES ('棉衣', 'A')"));
    exec(QStringLiteral("INSERT INTO [销售明细] (类别, 所属店铺) VALUES ('棉衣', 'B')"));

    EXPECT_EQ(renameCategory(ctx(), QStringLiteral("棉衣"), QStringLiteral("上衣")).message, QStringLiteral("您要修改的分类名称已经存在！"));
    EXPECT_EQ(renameCategory(ctx(), QStringLiteral("棉衣"), QStringLiteral("棉衣")).message, QStringLiteral("您要修改的分类名称已经存在！"));

    // A failing sales update leaves everything as it was.
    exec(QStringLiteral("CREATE TRIGGER refuse_sales BEFORE UPDATE ON 销售明细 BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_FALSE(renameCategory(ctx(), QStringLiteral("棉衣"), QStringLiteral("羽绒")).changed);
    EXPECT_EQ(count(QStringLiteral("采购入库"), QStringLiteral("类别='棉衣'")), 2);
    EXPECT_EQ(count(QStringLiteral("分类例表"), QStringLiteral("项目名称='棉衣'")), 1);
    exec(QStringLiteral("DROP TRIGGER refuse_sales"));

    EXPECT_TRUE(renameCategory(ctx(), QStringLiteral("棉衣"), QStringLiteral("羽绒")).changed);
    EXPECT_EQ(rows(QStringLiteral("SELECT 类别, 所属店铺 FROM [采购入库] ORDER BY id"), {QStringLiteral("类别"), QStringLiteral("所属店铺")}),
              (QStringList{QStringLiteral("羽绒|A"), QStringLiteral("棉衣|B")}));
    EXPECT_EQ(rows(QStringLiteral("SELECT 类别, 所属店铺 FROM [销售明细] ORDER BY id"), {QStringLiteral("类别"), QStringLiteral("所属店铺")}),
              (QStringList{QStringLiteral("羽绒|A"), QStringLiteral("棉衣|B")}));
    // A first-level rename changes its own row only.
    EXPECT_TRUE(renameCategory(ctx(), QStringLiteral("上衣"), QStringLiteral("外套")).changed);
    EXPECT_EQ(tree(), QStringList{QStringLiteral("外套(1:羽绒)")});
    EXPECT_EQ(rows(QStringLiteral("SELECT 操作内容 FROM [日志记录] ORDER BY id"), {QStringLiteral("操作内容")}),
              (QStringList{QStringLiteral("库存管理---修改二级分类名由原来的  棉衣  改为  羽绒 "),
                           QStringLiteral("库存管理---修改一级分类名由原来的  上衣  改为  外套 ")}));
}

TEST_F(CategoryTest, DeleteRefusesAParentWithChildren)
{
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('上衣', '1', '', 'A')"));
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('棉衣', '', '1', 'A')"));
    EXPECT_EQ(deleteCategory(ctx(), QStringLiteral("上衣")).message,
              QStringLiteral("【上衣】分类下还有二级分类，请先删除二级分类"));
    EXPECT_TRUE(deleteCategory(ctx(), QStringLiteral("棉衣")).changed);
    EXPECT_TRUE(deleteCategory(ctx(), QStringLiteral("上衣")).changed);
    EXPECT_EQ(count(QStringLiteral("分类例表")), 0);
    EXPECT_FALSE(deleteCategory(ctx(), QStringLiteral("上衣")).changed);
}

TEST_F(SqliteStockFixture, ColoursSizesAndUnits)
{
    struct Case {
        CatalogueKind kind;
        QString value, added, exists, emptyRefusal;
    };
    const Case cases[] = {
        {CatalogueKind::Colour, QStringLiteral("红'色"), QStringLiteral("添加颜色成功！"), QStringLiteral("你要添加的颜色已存在！"),
         QStringLiteral("请填写要添加的颜色！")},
        {CatalogueKind::Size, QStringLiteral("XL,=2"), QStringLiteral("添加尺码成功！"), QStringLiteral("你要添加的尺码已存在！"),
         QStringLiteral("还款填写要添加的尺码")},
        {CatalogueKind::Unit, QStringLiteral("件"), QStringLiteral("添加单位成功！"), QStringLiteral("你要添加的单位已存在！"),
         QStringLiteral("请填写要添加的单位！")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(addCatalogueValue(ctx(), c.kind, QString()).message, c.emptyRefusal);
        EXPECT_EQ(addCatalogueValue(ctx(), c.kind, c.value).message, c.added);
        EXPECT_EQ(addCatalogueValue(ctx(), c.kind, c.value).message, c.exists);
        EXPECT_EQ(loadCatalogue(ctx(), c.kind), QStringList{c.value});
        // Another shop has its own list.
        ctx().currentShop = QStringLiteral("B");
        EXPECT_TRUE(loadCatalogue(ctx(), c.kind).isEmpty());
        EXPECT_FALSE(deleteCatalogueValue(ctx(), c.kind, c.value).changed);
        ctx().currentShop = QStringLiteral("A");
        EXPECT_EQ(deleteCatalogueValue(ctx(), c.kind, c.value).message, QStringLiteral("删除成功！"));
        EXPECT_TRUE(loadCatalogue(ctx(), c.kind).isEmpty());
        EXPECT_TRUE(deleteCatalogueValue(ctx(), c.kind, QStringLiteral("无")).message.isEmpty());
    }
    // A value there twice loses one row.
    exec(QStringLiteral("INSERT INTO [单位管理] (单位, 所属店铺) VALUES ('条', 'A'), ('条', 'A')"));
    EXPECT_TRUE(deleteCatalogueValue(ctx(), CatalogueKind::Unit, QStringLiteral("条")).changed);
    EXPECT_EQ(loadCatalogue(ctx(), CatalogueKind::Unit), QStringList{QStringLiteral("条")});
    ctx().currentShop.clear();
    EXPECT_EQ(addCatalogueValue(ctx(), CatalogueKind::Unit, QStringLiteral("双")).message, QStringLiteral("请在上面先指定本机当前使用哪个店铺"));
}

TEST_F(SqliteStockFixture, SuppliersAreUpdatedOnlyThroughTheirOwnSelection)
{
    EXPECT_EQ(addSupplier(ctx(), {}).message, QStringLiteral("供应商名称为能为空！"));
    ASSERT_TRUE(addSupplier(ctx(), {QString(), QStringLiteral("甲,厂"), QStringLiteral("王'五")}).changed);
    ASSERT_TRUE(addSupplier(ctx(), {QString(), QStringLiteral("甲,厂")}).changed); // duplicates allowed
    ctx().currentShop = QStringLiteral("B");
    ASSERT_TRUE(addSupplier(ctx(), {QString(), QStringLiteral("别店")}).changed);
    const QString otherShopId = loadSupplierList(ctx()).suppliers.first().id;
    ctx().currentShop = QStringLiteral("A");

    const SupplierList list = loadSupplierList(ctx());
    ASSERT_EQ(list.suppliers.size(), 2);
    EXPECT_EQ(list.suppliers[0].contact, QStringLiteral("王'五"));
    EXPECT_EQ(loadSupplierNames(ctx()), (QStringList{QStringLiteral("甲,厂"), QStringLiteral("甲,厂")}));

    Supplier changed{QString(), QStringLiteral("乙厂"), QStringLiteral("赵六")};
    EXPECT_FALSE(updateSupplier(ctx(), QString(), changed).changed);
    EXPECT_FALSE(updateSupplier(ctx(), otherShopId, changed).changed);
    EXPECT_TRUE(updateSupplier(ctx(), list.suppliers[1].id, changed).changed);
    EXPECT_EQ(loadSupplierNames(ctx()), (QStringList{QStringLiteral("甲,厂"), QStringLiteral("乙厂")}));
    ctx().currentShop = QStringLiteral("B");
    EXPECT_EQ(loadSupplierNames(ctx()), QStringList{QStringLiteral("别店")});
}

} // namespace
