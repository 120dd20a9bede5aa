#include "StockFixture.h"

#include "context/AccountRights.h"
#include "stock/CategoryTree.h"
#include "stock/CategoryTreeWidget.h"

#include <QInputDialog>
#include <QTest>

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

class CategoryTreeWidgetTest : public SqliteStockFixture {
protected:
    void SetUp() override
    {
        SqliteStockFixture::SetUp();
        tree = std::make_unique<CategoryTreeWidget>(ctx());
        tree->resize(300, 300);
        tree->show();
        // The name window answers with `typedName`; its title and prompt are kept.
        messages.setDialogHandler([this](QDialog *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            if (!input)
                return int(QDialog::Rejected);
            asked << input->windowTitle() + u'|' + input->labelText();
            buttons << input->okButtonText() + u'|' + input->cancelButtonText();
            input->setTextValue(typedName);
            return int(QDialog::Accepted);
        });
    }
    void TearDown() override
    {
        tree.reset();
        SqliteStockFixture::TearDown();
    }
    void doubleClickEmptyArea()
    {
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 250));
    }

    std::unique_ptr<CategoryTreeWidget> tree;
    QString typedName;
    QStringList asked;
    QStringList buttons;
};

// A new shop has no category yet: a double click into the empty tree adds the first one.
TEST_F(CategoryTreeWidgetTest, ADoubleClickIntoAnEmptyTreeAddsAFirstLevelCategory)
{
    tree->loadCategoryTree();
    ASSERT_EQ(tree->topLevelItemCount(), 0);
    typedName = QStringLiteral("上衣");
    doubleClickEmptyArea();
    EXPECT_EQ(asked, QStringList{QStringLiteral("新增一级分类|请在下面编辑框内填写一级分类的名字。比如：上衣")});
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("上衣"));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(buttons, QStringList{QStringLiteral("确定|取消")});  // the name box speaks Chinese too
}

TEST_F(CategoryTreeWidgetTest, WithoutTheRightNothingIsAsked)
{
    ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("分类管理"))] = QString();
    typedName = QStringLiteral("上衣");
    doubleClickEmptyArea();
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有权限！")});
    EXPECT_EQ(count(QStringLiteral("分类例表")), 0);
}

// The delete question names the current category and carries the exclamation icon.
TEST_F(CategoryTreeWidgetTest, DeleteAsksAboutTheCurrentCategory)
{
    exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('上衣', '1', '', 'A')"));
    tree->loadCategoryTree();
    tree->setCurrentItem(tree->topLevelItem(0));
    messages.queueAnswers({false});
    tree->deleteCategory();
    ASSERT_EQ(messages.messages().size(), 1);
    const ShownMessage &q = messages.messages().first();
    EXPECT_TRUE(q.question);
    EXPECT_EQ(q.title, QStringLiteral("删除分类"));
    EXPECT_EQ(q.icon, MessageIcon::Warning);
    EXPECT_EQ(q.text, deleteCategoryQuestion(QStringLiteral("上衣")));
    EXPECT_EQ(count(QStringLiteral("分类例表")), 1);
    messages.queueAnswers({true});
    tree->deleteCategory();
    EXPECT_EQ(count(QStringLiteral("分类例表")), 0);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

} // namespace
