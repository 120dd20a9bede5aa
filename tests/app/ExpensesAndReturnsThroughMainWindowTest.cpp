// The expense page and the returns window in the assembled program: the toolbar's first visit to
// 开支记录 lists the month with its total, an expense is added there, and the returns window
// opens from 退货管理1 on 分类查看 and from 退货管理2 on 销售明细.
#include "PurchaseSteps.h"

#include "reports/ExpensePage.h"
#include "stock/StockView.h"

using apptest::child;
using apptest::Installation;
using shell::MainWindow;

namespace {

TEST(ExpensesAndReturnsThroughMainWindow, TheExpensePageListsTheMonthAndBothButtonsOpenTheReturns)
{
    Installation inst;
    ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
    ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    const auto expense = [&](const QString &item, const QString &amount, const QString &day) {
        return inst.insert(QStringLiteral("开支管理"), {{QStringLiteral("开支项目"), item},
                                                       {QStringLiteral("金额"), amount},
                                                       {QStringLiteral("日期"), day},
                                                       {QStringLiteral("所属店铺"), apptest::Shop}});
    };
    ASSERT_TRUE(expense(QStringLiteral("房租"), QStringLiteral("12.5"), QStringLiteral("2015-03-02")));
    ASSERT_TRUE(expense(QStringLiteral("旧账"), QStringLiteral("99"), QStringLiteral("2015-02-02")));

    QList<QStringList> rows;
    QStringList dialogs;
    QStringList texts;
    const int code = inst.run([&](shell::LoginWindow &login) {
        MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        [&] {
            main->toolbarAction(5)->trigger();
            ASSERT_EQ(main->currentPage(), 5);
            auto *page = child<reports::ExpensePage>(main, QStringLiteral("开支记录"));
            ASSERT_TRUE(page);
            child<QLineEdit>(page, QStringLiteral("开支项目"))->setText(QStringLiteral("水费"));
            child<QLineEdit>(page, QStringLiteral("开支金额"))->setText(QStringLiteral("30"));
            QTest::mouseClick(child<QPushButton>(page, QStringLiteral("添加")), Qt::LeftButton);
            for (int r = 0; r < page->list()->rowCount(); ++r)
                rows << page->list()->rowTexts(r).mid(1);

            main->toolbarAction(4)->trigger();
            ASSERT_EQ(main->currentPage(), 4);
            auto *fromStock = child<QPushButton>(main->page(4), QStringLiteral("退货管理1"));
            ASSERT_TRUE(fromStock);
            EXPECT_TRUE(fromStock->isEnabled());
            QTest::mouseClick(fromStock, Qt::LeftButton);
            main->toolbarAction(1)->trigger();
            QTest::mouseClick(child<QPushButton>(main->page(1), QStringLiteral("退货管理2")), Qt::LeftButton);
            dialogs = inst.script.dialogs();
            texts = inst.script.texts();
        }();
        main->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(texts.isEmpty()) << texts.join(u'\n').toStdString();
    EXPECT_EQ(rows, (QList<QStringList>{{"房租", "12.5", "", "2015-03-02"},
                                        {"水费", "30", "", "2015-03-11"},
                                        {"", "", "合        计：", "42.5"}}));
    EXPECT_EQ(dialogs.count(QStringLiteral("ReturnsWindow")), 2);
}

} // namespace
