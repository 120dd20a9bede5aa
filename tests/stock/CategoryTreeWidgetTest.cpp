#include "StockFixture.h"

#include "context/AccountRights.h"
#include "stock/CategoryTree.h"
#include "stock/CategoryTreeWidget.h"

#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>

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
    // A click of the mouse on the tree as the window system delivers it; a right click opens the
    // menu 树形框, where `choice` is taken. Returns the menu's items.
    QStringList click(Qt::MouseButton button, const QPoint &at, const QString &choice = QString())
    {
        QStringList items;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || menu->objectName() != QStringLiteral("树形框"))
                return;
            QAction *chosen = nullptr;
            for (QAction *a : menu->actions()) {
                items << a->text();
                if (a->text() == choice)
                    chosen = a;
            }
            menu->close();
            if (chosen)
                chosen->trigger();
        });
        QTest::mouseClick(tree->windowHandle(), button, {}, tree->viewport()->mapTo(tree.get(), at));
        QCoreApplication::processEvents();
        return items;
    }
    QPoint emptySpace() const { return QPoint(150, 250); }
    QPoint itemAt(const QString &name) const
    {
        return tree->visualItemRect(tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0)).center();
    }
    // 上衣 (first level, code 1) with 棉衣 under it.
    void twoCategories()
    {
        exec(QStringLiteral("DELETE FROM [分类例表]"));
        exec(QStringLiteral("INSERT INTO [分类例表] (项目名称, 一级编号, 二级编号, 所属店铺) VALUES "
                            "('上衣', '1', '', 'A'), ('棉衣', '', '1', 'A')"));
        tree->loadCategoryTree();
    }
    QStringList categories()
    {
        return rows(QStringLiteral("SELECT 项目名称, 一级编号, 二级编号 FROM [分类例表] ORDER BY id"),
                    {QStringLiteral("项目名称"), QStringLiteral("一级编号"), QStringLiteral("二级编号")});
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

// 添加分类 adds under the selected first-level category; with nothing selected (a new shop's empty
// tree, a click on empty space) it adds a first-level category, as the double click does.
TEST_F(CategoryTreeWidgetTest, AddFromTheMenuWithNothingSelectedAddsAFirstLevelCategory)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
    tree->loadCategoryTree();
    typedName = QStringLiteral("上衣");
    EXPECT_EQ(click(Qt::RightButton, emptySpace(), QStringLiteral("添加分类")),
              (QStringList{QStringLiteral("删除分类"), QStringLiteral("修改分类"), QStringLiteral("添加分类")}));
    EXPECT_EQ(asked, QStringList{QStringLiteral("新增一级分类|请在下面编辑框内填写一级分类的名字。比如：上衣")});
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(categories(), QStringList{QStringLiteral("上衣|1|")});

    struct Step {
        const char *select;   // the item clicked first, "" for empty space
        const char *typed;
        const char *asked;    // the title of the name box, "" for none
        const char *message;  // "" for none
    };
    const Step steps[] = {
        {"上衣", "棉衣", "新增二级分类", ""},
        {"棉衣", "夹克", "", "不允许在二级分类【棉衣】分类下再添加子分类！"},
        {"", "裤装", "新增一级分类", ""},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.typed);
        asked.clear();
        messages.clear();
        typedName = QString::fromUtf8(step.typed);
        const QPoint at = *step.select ? itemAt(QString::fromUtf8(step.select)) : emptySpace();
        click(Qt::LeftButton, at);
        click(Qt::RightButton, at, QStringLiteral("添加分类"));
        EXPECT_EQ(asked.value(0).section(u'|', 0, 0).toStdString(), std::string(step.asked));
        EXPECT_EQ(messages.texts().join(u'\n').toStdString(), std::string(step.message));
    }
    EXPECT_EQ(categories(), (QStringList{QStringLiteral("上衣|1|"), QStringLiteral("棉衣||1"), QStringLiteral("裤装|2|")}));
}

// Every change of the tree needs 分类管理: without it each of the four asks nothing and changes
// nothing; with it each one goes ahead.
TEST_F(CategoryTreeWidgetTest, EachChangeChecksTheCategoryRight)
{
    struct Case {
        const char *name;
        const char *select; // the current item, "" for none
        std::function<void(CategoryTreeWidget &)> act;
        QStringList changed; // the table after the change with the right
    };
    const Case cases[] = {
        {"add first level", "", [](CategoryTreeWidget &t) { t.addTopCategory(); },
         {QStringLiteral("上衣|1|"), QStringLiteral("棉衣||1"), QStringLiteral("夹克|2|")}},
        {"add second level", "上衣", [](CategoryTreeWidget &t) { t.addSubCategory(); },
         {QStringLiteral("上衣|1|"), QStringLiteral("棉衣||1"), QStringLiteral("夹克||1")}},
        {"rename", "棉衣", [](CategoryTreeWidget &t) { t.renameCategory(); },
         {QStringLiteral("上衣|1|"), QStringLiteral("夹克||1")}},
        {"delete", "棉衣", [](CategoryTreeWidget &t) { t.deleteCategory(); }, {QStringLiteral("上衣|1|")}},
    };
    QString &right = ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("分类管理"))];
    typedName = QStringLiteral("夹克");
    for (const Case &c : cases) {
        for (bool granted : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (granted ? " with the right" : " without the right"));
            twoCategories();
            const QStringList before = categories();
            if (*c.select)
                tree->setCurrentItem(tree->findItems(QString::fromUtf8(c.select), Qt::MatchExactly | Qt::MatchRecursive).value(0));
            right = granted ? AppContext::Granted : QString();
            asked.clear();
            messages.clear();
            messages.queueAnswers({true});
            c.act(*tree);
            if (granted) {
                EXPECT_EQ(categories(), c.changed);
                EXPECT_FALSE(messages.texts().contains(QStringLiteral("没有权限！")));
            } else {
                EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有权限！")});
                EXPECT_TRUE(asked.isEmpty());
                EXPECT_EQ(categories(), before);
            }
        }
    }
}

} // namespace
