// The page 分类查看 in the assembled program, used from the keyboard as much as by the mouse: every
// category the user moves to in the tree, by a click or by the arrow keys, lists its rows; Enter and
// a click on the selected category list it again; the tree's own reload lists nothing.
#include "PurchaseSteps.h"

#include "stock/StockView.h"

#include <QDateEdit>

using apptest::child;
using apptest::Installation;
using shell::MainWindow;

namespace {

TEST(StockViewKeyboard, EveryCategoryMovedToIsListed)
{
    Installation inst;
    ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
    ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    // 上衣 (code 1) holds 衬衫 and 外套; 长裤 belongs to another first level.
    const std::pair<const char *, const char *> categories[] = {{"上衣", "1"}, {"衬衫", ""}, {"外套", ""}};
    for (const auto &[name, code] : categories)
        ASSERT_TRUE(inst.insert(QStringLiteral("分类例表"), {{QStringLiteral("项目名称"), QString::fromUtf8(name)},
                                                           {QStringLiteral("一级编号"), QString::fromUtf8(code)},
                                                           {QStringLiteral("二级编号"), *code ? QString() : QStringLiteral("1")},
                                                           {QStringLiteral("所属店铺"), apptest::Shop}}));
    const std::tuple<const char *, const char *, const char *, const char *> items[] = {
        {"S1", "衬衫", "1", "2015-03-01"}, {"C1", "外套", "1", "2015-03-02"}, {"T1", "长裤", "2", "2015-03-03"}};
    for (const auto &[style, category, top, day] : items)
        ASSERT_TRUE(inst.insert(QStringLiteral("采购入库"),
                                {{QStringLiteral("款号"), QString::fromUtf8(style)}, {QStringLiteral("名称"), QString::fromUtf8(category)},
                                 {QStringLiteral("类别"), QString::fromUtf8(category)}, {QStringLiteral("大类"), QString::fromUtf8(top)},
                                 {QStringLiteral("数量"), QStringLiteral("2")}, {QStringLiteral("已售"), QStringLiteral("0")},
                                 {QStringLiteral("进货价"), QStringLiteral("50")}, {QStringLiteral("吊牌价"), QStringLiteral("120")},
                                 {QStringLiteral("入库日期"), QString::fromUtf8(day)}, {QStringLiteral("零库存"), QStringLiteral("1")},
                                 {QStringLiteral("所属店铺"), apptest::Shop}}));

    // What the user does on the page, and the style numbers listed afterwards.
    struct Step {
        const char *name;
        std::function<void(QTreeWidget *, stock::StockViewPage *)> act;
        QStringList listed;
    };
    const auto click = [](const char *category) {
        return [category](QTreeWidget *tree, stock::StockViewPage *) {
            QTreeWidgetItem *item = tree->findItems(QString::fromUtf8(category), Qt::MatchExactly | Qt::MatchRecursive).value(0);
            ASSERT_TRUE(item);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        };
    };
    const auto key = [](Qt::Key k) { return [k](QTreeWidget *tree, stock::StockViewPage *) { QTest::keyClick(tree, k); }; };
    const auto day = [](QDate d) { return [d](QTreeWidget *, stock::StockViewPage *view) { view->dateBox()->setDate(d); }; };
    const Step steps[] = {
        {"the page switch", [](QTreeWidget *, stock::StockViewPage *) {}, {"S1", "C1", "T1"}},
        {"a click on 上衣", click("上衣"), {"C1", "S1"}},
        {"down to 衬衫", key(Qt::Key_Down), {"S1"}},
        {"down to 外套", key(Qt::Key_Down), {"C1"}},
        {"up to 衬衫", key(Qt::Key_Up), {"S1"}},
        {"a day's rows", day(QDate(2015, 3, 3)), {"T1"}},
        {"Enter on 衬衫", key(Qt::Key_Return), {"S1"}},
        {"a day's rows again", day(QDate(2015, 3, 2)), {"C1"}},
        {"a click on the selected 衬衫", click("衬衫"), {"S1"}},
        {"up to 上衣", key(Qt::Key_Up), {"C1", "S1"}},
    };

    QStringList seen;
    const int code = inst.run([&](shell::LoginWindow &login) {
        MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        QApplication::setActiveWindow(main);
        [&] {
            main->toolbarAction(4)->trigger();
            ASSERT_EQ(main->currentPage(), 4);
            auto *tree = child<QTreeWidget>(main, QStringLiteral("树型框1"));
            auto *view = main->page(4)->findChild<stock::StockViewPage *>();
            ASSERT_TRUE(tree && view);
            tree->setFocus();
            for (const Step &step : steps) {
                step.act(tree, view);
                QStringList listed;
                for (int r = 0; r < view->list()->rowCount(); ++r)
                    if (!view->list()->cellText(r, 0).isEmpty()) // not the totals line
                        listed << view->list()->cellText(r, 4);
                seen << QString::fromUtf8(step.name) + QStringLiteral(": ") + listed.join(u' ');
            }
        }();
        main->close();
    });
    EXPECT_EQ(code, 0);
    QStringList expected;
    for (const Step &step : steps)
        expected << QString::fromUtf8(step.name) + QStringLiteral(": ") + step.listed.join(u' ');
    EXPECT_EQ(seen.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

} // namespace
