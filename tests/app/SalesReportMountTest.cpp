// The sales report in the assembled program: 销售简表X on the page 销售明细 opens it, and the day's
// sales settle from there.
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "PurchaseSteps.h"
#include "reports/SalesDetailPage.h"
#include "reports/SalesReportWindow.h"

using apptest::Installation;
using apptest::Shop;

namespace {

TEST(SalesReportMount, TheSalesPageOpensTheSalesReportWhichSettlesToday)
{
    Installation inst;
    ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
    ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    ASSERT_TRUE(inst.insert(QStringLiteral("销售明细"), {{QStringLiteral("销售日期"), QStringLiteral("2015-03-11")},
                                                       {QStringLiteral("数量"), QStringLiteral("2")},
                                                       {QStringLiteral("进货价"), QStringLiteral("30")},
                                                       {QStringLiteral("金额"), QStringLiteral("100")},
                                                       {QStringLiteral("所属店铺"), Shop}}));
    QStringList inWindow;
    inst.script.setDialogHandler([&](QDialog *dialog) {
        if (auto *report = qobject_cast<reports::SalesReportWindow *>(dialog)) {
            report->findChild<QPushButton *>(QStringLiteral("结算日"))->click();
            inWindow = inst.script.texts();
        }
        return int(QDialog::Rejected);
    });
    const int code = inst.run([&](shell::LoginWindow &login) {
        shell::MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        main->toolbarAction(1)->trigger();
        auto *sales = main->findChild<reports::SalesDetailPage *>();
        EXPECT_TRUE(sales);
        if (sales)
            sales->findChild<QPushButton *>(QStringLiteral("销售简表X"))->click();
        main->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(inst.script.dialogs().contains(QStringLiteral("SalesReportWindow")));
    EXPECT_EQ(inWindow, QStringList{QStringLiteral("结算成功！")});
    QSqlQuery q(QSqlDatabase::database(inst.db.connection().connectionName()));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT 结算日期, 成本价, 利润率 FROM 销售简表")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("2015-03-11"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("60"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("40%"));
}

} // namespace
