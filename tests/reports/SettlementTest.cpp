// The daily and monthly settlement: the day's sums and cost rule, the month's sums, the refusals that
// write and log nothing, the four listings and their total row, the remarks, the export read back,
// the rights, and a split sale written by the counter settled once.
#include "cashier/Cart.h"
#include "cashier/SaleWriter.h"
#include "context/AccountRights.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "reports/SalesReportWindow.h"
#include "reports/Settlement.h"
#include "reports/SummaryRemarkDialog.h"
#include "support/SqliteShopTest.h"
#include "support/Workbook.h"

#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <functional>
#include <map>

using namespace reports;

namespace {

struct Sold {
    const char *数量, *进货价, *金额;
    const char *银行 = "0", *积分 = "0", *优惠券 = "0", *储值 = "0";
};

class SettlementTest : public testsupport::SqliteShopTest {
protected:
    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(sql, values))) << context.connection().lastError().toStdString();
    }
    void sell(const Sold &s, const QString &day = QStringLiteral("2015-03-11"), const QString &shop = QStringLiteral("A"))
    {
        exec(QStringLiteral("INSERT INTO 销售明细 (销售日期,所属店铺,数量,进货价,金额,现金,银行,积分,优惠券,储值) "
                            "VALUES (?,?,?,?,?,'0',?,?,?,?)"),
             {day, shop, s.数量, s.进货价, s.金额, s.银行, s.积分, s.优惠券, s.储值});
    }
    // A settlement row as another day's work left it.
    void summary(const QString &key, const QString &mark, const QString &amount, const QString &profit,
                 const QString &rate, const QString &remark = QString(), const QString &shop = QStringLiteral("A"))
    {
        exec(QStringLiteral("INSERT INTO 销售简表 (结算日期,销售量,销售金额,成本价,毛利润,利润率,银行,积分,优惠券,储值,实收金额,"
                            "操作员,备注,所属店铺,判断) VALUES (?,'1',?,'0',?,?,'0','0','0','0',?,'李四',?,?,?)"),
             {key, amount, profit, rate, amount, remark, shop, mark});
    }
    int count(const QString &table)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)));
        return int(rs.integer(QStringLiteral("n")));
    }
    std::map<QString, QString> lastRow(const QString &table)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY id DESC"))));
        std::map<QString, QString> row;
        for (const QString &column : rs.columns())
            row[column] = rs.text(column);
        return row;
    }
    static QStringList column(const ReportList *list, int c)
    {
        QStringList out;
        for (int row = 0; row < list->rowCount(); ++row)
            out << list->cellText(row, c);
        return out;
    }
    QList<QStringList> lines(const data::Sql &sql) { return summaryLines(context, sql); }

    MessageScript script;
};

// --- The day ---------------------------------------------------------------------------------------

struct DayCase {
    const char *name;
    std::vector<Sold> lines;
    SettlementFigures expected; // 销售量, 销售金额, 成本价, 毛利润, 利润率, 银行, 积分, 优惠券, 储值, 实收金额
};

class DaySettlementTest : public SettlementTest, public ::testing::WithParamInterface<DayCase> {};

TEST_P(DaySettlementTest, SumsTheDaysLinesOfTheShopIntoOneDayRow)
{
    for (const Sold &s : GetParam().lines)
        sell(s);
    sell({"5", "10", "999"}, QStringLiteral("2015-03-10"));                       // another day
    sell({"5", "10", "999"}, QStringLiteral("2015-03-11"), QStringLiteral("B")); // another shop
    SalesReportWindow window(context);
    window.dateBox()->setDate(QDate(2015, 3, 11));
    window.findChild<QPushButton *>(QStringLiteral("结算日"))->click();

    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("结算成功！")});
    ASSERT_EQ(count(QStringLiteral("销售简表")), 1);
    auto row = lastRow(QStringLiteral("销售简表"));
    const SettlementFigures &e = GetParam().expected;
    const SettlementFigures stored{row[QStringLiteral("销售量")], row[QStringLiteral("销售金额")], row[QStringLiteral("成本价")], row[QStringLiteral("毛利润")], row[QStringLiteral("利润率")],
                                   row[QStringLiteral("银行")],   row[QStringLiteral("积分")],     row[QStringLiteral("优惠券")], row[QStringLiteral("储值")],   row[QStringLiteral("实收金额")]};
    EXPECT_EQ(stored, e);
    EXPECT_EQ(row[QStringLiteral("结算日期")], QStringLiteral("2015-03-11"));
    EXPECT_EQ(row[QStringLiteral("判断")], QString());
    EXPECT_EQ(row[QStringLiteral("备注")], QString());
    EXPECT_EQ(row[QStringLiteral("操作员")], QStringLiteral("张三"));
    EXPECT_EQ(row[QStringLiteral("所属店铺")], QStringLiteral("A"));
    auto log = lastRow(QStringLiteral("日志记录"));
    EXPECT_EQ(log[QStringLiteral("操作内容")], QStringLiteral("销售明细-销售简表---结算2015-03-11号销售记录"));
    EXPECT_EQ(log[QStringLiteral("操作时间")], QStringLiteral("2015-03-11 14:5"));
    EXPECT_EQ(log[QStringLiteral("用户名")], QStringLiteral("zs"));
    // The list shows this month's days: the new row and the total row.
    ASSERT_EQ(window.list()->rowCount(), 2);
    EXPECT_EQ(window.list()->cellText(0, 3), e.销售金额);
    EXPECT_EQ(window.list()->cellText(0, 6), e.利润率);
}

INSTANTIATE_TEST_SUITE_P(
    Days, DaySettlementTest,
    ::testing::Values(
        DayCase{"LinesAandB",
                {{"3", "50", "300"}, {"1", "20", "45", "45", "5"}},
                {"4", "345", "170", "175", "50.72%", "45", "5", "0", "0", "340"}},
        DayCase{"LineAAlone", {{"3", "50", "300"}}, {"3", "300", "150", "150", "50%", "0", "0", "0", "0", "300"}},
        // A line of one unit or less (0, a fraction) adds its unit cost once.
        DayCase{"CostOnceForOneUnitOrLess",
                {{"1", "20", "30"}, {"0.5", "40", "30"}, {"0", "10", "0"}},
                {"1.5", "60", "70", "-10", "-16.6%", "0", "0", "0", "0", "60"}},
        // No amount: the rate is "0%", never an infinite or undefined text.
        DayCase{"AmountZero", {{"1", "20", "0"}}, {"1", "0", "20", "-20", "0%", "0", "0", "0", "0", "0"}},
        DayCase{"CouponsAndPointsLeaveTheReceived",
                {{"2", "30", "200", "50", "10.5", "20", "40"}},
                {"2", "200", "60", "140", "70%", "50", "10.5", "20", "40", "169.5"}}),
    [](const ::testing::TestParamInfo<DayCase> &info) { return std::string(info.param.name); });

// --- Refusals --------------------------------------------------------------------------------------

struct RefusalCase {
    const char *name;
    bool month;
    QDate date;
    bool answer; // to the month's question
    const char *message; // "" when nothing but the question is shown
};

class SettlementRefusalTest : public SettlementTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SettlementRefusalTest, WritesAndLogsNothing)
{
    const RefusalCase &c = GetParam();
    sell({"1", "20", "45"});
    summary(QStringLiteral("2015-03-11"), QString(), QStringLiteral("45"), QStringLiteral("25"), QStringLiteral("55.55%"));
    summary(QStringLiteral("2015-01-10"), QString(), QStringLiteral("45"), QStringLiteral("25"), QStringLiteral("55.55%"));
    summary(QStringLiteral("2015年01月"), QStringLiteral("-"), QStringLiteral("45"), QStringLiteral("25"), QStringLiteral("55.55%"));
    summary(QStringLiteral("2015-02-10"), QString(), QStringLiteral("45"), QStringLiteral("25"), QStringLiteral("55.55%"),
            QString(), QStringLiteral("B")); // February was settled by another shop only
    SalesReportWindow window(context);
    const int rows = count(QStringLiteral("销售简表")), logs = count(QStringLiteral("日志记录"));
    window.dateBox()->setDate(c.date);
    script.queueAnswers({c.answer});
    if (c.month)
        window.settleMonth();
    else
        window.settleDay();

    EXPECT_EQ(count(QStringLiteral("销售简表")), rows);
    EXPECT_EQ(count(QStringLiteral("日志记录")), logs);
    QList<ShownMessage> shown = script.messages();
    if (c.month) {
        ASSERT_FALSE(shown.isEmpty());
        const ShownMessage question = shown.takeFirst();
        EXPECT_TRUE(question.question);
        EXPECT_EQ(question.title, QStringLiteral("按月结算"));
        EXPECT_EQ(question.icon, MessageIcon::Warning);
        EXPECT_EQ(question.text, QStringLiteral("请先确认【 ") + c.date.toString(QStringLiteral("yyyy年MM月"))
                                     + QStringLiteral("】要结算的销售记录已经全部做完日结！\r\n否则数据将不准确！"));
    }
    QStringList texts;
    for (const ShownMessage &m : shown)
        texts << m.text;
    EXPECT_EQ(texts, *c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SettlementRefusalTest,
    ::testing::Values(RefusalCase{"DayTwice", false, QDate(2015, 3, 11), true, "【2015-03-11】日销售记录已经结算过！"},
                      RefusalCase{"DayWithoutLines", false, QDate(2015, 3, 12), true, "【2015-03-12】日还没有销售记录无法结算！"},
                      RefusalCase{"MonthTwice", true, QDate(2015, 1, 20), true, "【2015年01月】的销售记录已经结算过！"},
                      RefusalCase{"MonthWithoutDays", true, QDate(2015, 2, 20), true, "【2015年02月】还没有销售记录无法结算！"},
                      RefusalCase{"MonthAnsweredNo", true, QDate(2015, 3, 20), false, ""}),
    [](const ::testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });

TEST_F(SettlementTest, ASettlementTheDatabaseRefusesLeavesNoRowAndNoLogRow)
{
    sell({"1", "20", "45"});
    // First the row is refused; then, for the month, its log row, and the month row goes with it.
    exec(QStringLiteral("CREATE TRIGGER refuse_summary BEFORE INSERT ON 销售简表 BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const int logs = count(QStringLiteral("日志记录"));
    const QList<std::function<SettleResult()>> settlements = {
        [this] { return writeDailySummary(context, QDate(2015, 3, 11)); },
        [this] {
            exec(QStringLiteral("DROP TRIGGER refuse_summary"));
            EXPECT_EQ(writeDailySummary(context, QDate(2015, 3, 11)).status, SettleStatus::Settled);
            exec(QStringLiteral("CREATE TRIGGER refuse_log BEFORE INSERT ON 日志记录 BEGIN SELECT RAISE(ABORT, 'refused'); END"));
            return writeMonthSummary(context, QDate(2015, 3, 1));
        },
    };
    for (const auto &settle : settlements) {
        const SettleResult result = settle();
        EXPECT_EQ(result.status, SettleStatus::Failed);
        EXPECT_EQ(result.message, QStringLiteral("结算没有完成，请检查数据库连接后重试！"));
    }
    EXPECT_EQ(count(QStringLiteral("销售简表")), 1); // the day settled in between; never the month
    EXPECT_EQ(count(QStringLiteral("日志记录")), logs + 1);
}

// --- The month -------------------------------------------------------------------------------------

TEST_F(SettlementTest, TheMonthSumsItsDayRowsAndItsTotalRowAveragesTheRates)
{
    summary(QStringLiteral("2015-03-01"), QString(), QStringLiteral("100"), QStringLiteral("20"), QStringLiteral("20%"));
    summary(QStringLiteral("2015-03-02"), QString(), QStringLiteral("300"), QStringLiteral("120"), QStringLiteral("40%"));
    summary(QStringLiteral("2015-02-28"), QString(), QStringLiteral("999"), QStringLiteral("1"), QStringLiteral("1%"));
    SalesReportWindow window(context);
    window.dateBox()->setDate(QDate(2015, 3, 20));
    window.listDailySummariesOfMonth();
    ASSERT_EQ(window.list()->rowCount(), 3);
    EXPECT_EQ(window.list()->rowTexts(2), (QStringList{"", "合    计", "2", "400", "0", "140", "30%", "0", "0", "0", "0", "400", "", ""}));

    script.queueAnswers({true});
    window.settleMonth();
    EXPECT_EQ(script.texts().last(), QStringLiteral("结算成功！"));
    auto row = lastRow(QStringLiteral("销售简表"));
    EXPECT_EQ(row[QStringLiteral("结算日期")], QStringLiteral("2015年03月"));
    EXPECT_EQ(row[QStringLiteral("判断")], QStringLiteral("-"));
    EXPECT_EQ(row[QStringLiteral("销售金额")], QStringLiteral("400"));
    EXPECT_EQ(row[QStringLiteral("毛利润")], QStringLiteral("140"));
    EXPECT_EQ(row[QStringLiteral("利润率")], QStringLiteral("35%")); // the rate of the sums
    EXPECT_EQ(row[QStringLiteral("实收金额")], QStringLiteral("400"));
    EXPECT_EQ(lastRow(QStringLiteral("日志记录"))[QStringLiteral("操作内容")], QStringLiteral("销售明细-销售简表---结算2015-03月销售记录"));
    // After the month the list shows all month rows.
    EXPECT_EQ(column(window.list(), 1), (QStringList{"2015年03月", "合    计"}));
}

// --- The views and the total row ---------------------------------------------------------------------

TEST_F(SettlementTest, MonthAndDayRowsNeverShareAView)
{
    summary(QStringLiteral("2015-03-11"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"), QStringLiteral("促销日"));
    summary(QStringLiteral("2015-03-01"), QString(), QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("10%"));
    summary(QStringLiteral("2015-02-28"), QString(), QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("10%"));
    summary(QStringLiteral("2015年03月"), QStringLiteral("-"), QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("10%"),
            QStringLiteral("月底促销"));
    summary(QStringLiteral("2015年02月"), QStringLiteral("-"), QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("10%"));
    summary(QStringLiteral("2015-03-05"), QString(), QStringLiteral("40"), QStringLiteral("4"), QStringLiteral("10%"),
            QStringLiteral("促销"), QStringLiteral("B"));
    exec(QStringLiteral("UPDATE 销售简表 SET 判断=NULL WHERE 结算日期='2015-03-01'")); // a row written elsewhere

    const QDate march(2015, 3, 20);
    struct View {
        const char *name;
        data::Sql sql;
        QStringList keys;
    };
    const View views[] = {
        {"this month", summariesThisMonthSql(context), {"2015-03-01", "2015-03-11", "合    计"}},
        {"days of March", daySummariesOfMonthSql(context, march), {"2015-03-01", "2015-03-11", "合    计"}},
        {"months", monthSummariesSql(context), {"2015年02月", "2015年03月", "合    计"}},
        {"remarks", summariesByRemarkSql(context, QStringLiteral("促销")), {"2015-03-11", "2015年03月", "合    计"}},
        {"a remark's % is literal", summariesByRemarkSql(context, QStringLiteral("%")), {}},
        {"a remark's _ is literal", summariesByRemarkSql(context, QStringLiteral("促_")), {}},
        {"an empty month", daySummariesOfMonthSql(context, QDate(2014, 1, 1)), {}},
    };
    for (const View &view : views) {
        QStringList keys;
        for (const QStringList &line : lines(view.sql))
            keys << line.at(1);
        EXPECT_EQ(keys, view.keys) << view.name;
    }
}

struct TotalCase {
    const char *name;
    std::vector<std::pair<const char *, const char *>> amountAndRate;
    const char *amountTotal, *rateMean;
};

class SummaryTotalTest : public SettlementTest, public ::testing::WithParamInterface<TotalCase> {};

TEST_P(SummaryTotalTest, TheTotalRowSumsTheAmountsAndAveragesTheShownRates)
{
    int day = 1;
    for (const auto &[amount, rate] : GetParam().amountAndRate)
        summary(QStringLiteral("2015-03-%1").arg(day++, 2, 10, QLatin1Char('0')), QString(), QString::fromUtf8(amount),
                QStringLiteral("0"), QString::fromUtf8(rate));
    SalesReportWindow window(context);
    ReportList *list = window.list();
    ASSERT_EQ(list->rowCount(), int(GetParam().amountAndRate.size()) + 1);
    const int total = list->rowCount() - 1;
    EXPECT_EQ(list->cellText(total, 1), QStringLiteral("合    计"));
    EXPECT_EQ(list->cellText(total, 3), QString::fromUtf8(GetParam().amountTotal));
    EXPECT_EQ(list->cellText(total, 6), QString::fromUtf8(GetParam().rateMean));
    EXPECT_EQ(list->cellText(total, 0), QString());
    EXPECT_EQ(list->listModel()->rowColour(total), QColor(255, 0, 0));
    EXPECT_FALSE(list->listModel()->rowColour(0).isValid());
}

INSTANTIATE_TEST_SUITE_P(
    Totals, SummaryTotalTest,
    ::testing::Values(TotalCase{"TwentyAndForty", {{"100", "20%"}, {"900", "40%"}}, "1000", "30%"},
                      TotalCase{"ZeroCountsZero", {{"0", "0%"}, {"10", "50%"}}, "10", "25%"},
                      TotalCase{"RoundedToTwoDecimals", {{"1", "33.33%"}, {"1", "33.33%"}, {"1", "33.34%"}}, "3", "33.33%"},
                      TotalCase{"CentsSumExactly", {{"0.1", "1%"}, {"0.2", "2%"}}, "0.3", "1.5%"}),
    [](const ::testing::TestParamInfo<TotalCase> &info) { return std::string(info.param.name); });

TEST_F(SettlementTest, SettlingADayOfLastMonthLeavesThisMonthListed)
{
    summary(QStringLiteral("2015-03-02"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"));
    sell({"1", "20", "45"}, QStringLiteral("2015-02-27"));
    SalesReportWindow window(context);
    window.dateBox()->setDate(QDate(2015, 2, 27));
    window.settleDay();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("结算成功！")});
    EXPECT_EQ(column(window.list(), 1), (QStringList{"2015-03-02", "合    计"}));
    EXPECT_EQ(lastRow(QStringLiteral("销售简表"))[QStringLiteral("结算日期")], QStringLiteral("2015-02-27"));
}

TEST_F(SettlementTest, TheWindowOpensOnTodayRefreshed)
{
    summary(QStringLiteral("2015-03-02"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"));
    summary(QStringLiteral("2015-02-02"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"));
    context.today = {QStringLiteral("2015"), QStringLiteral("02"), QStringLiteral("28"), QStringLiteral("23"), QStringLiteral("59")};
    SalesReportWindow window(context); // the clock says 2015-03-11
    EXPECT_EQ(window.dateBox()->date(), QDate(2015, 3, 11));
    EXPECT_EQ(column(window.list(), 1), (QStringList{"2015-03-02", "合    计"}));
}

// --- Remarks -----------------------------------------------------------------------------------------

TEST_F(SettlementTest, ARemarkIsStoredAsTypedAndTheTotalRowKeepsNone)
{
    summary(QStringLiteral("2015-03-01"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"), QStringLiteral("旧"));
    summary(QStringLiteral("2015-03-02"), QString(), QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("10%"));
    SalesReportWindow window(context);
    ReportList *list = window.list();
    const QString typed = QStringLiteral("老板's 说,退货=2件 50%_");
    QString shownInDialog;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *remark = qobject_cast<SummaryRemarkDialog *>(dialog);
        EXPECT_EQ(remark->windowTitle(), QStringLiteral("结算备注"));
        shownInDialog = remark->editBox()->text();
        remark->editBox()->setText(typed);
        remark->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        return dialog->result();
    });
    list->selectRow(0);
    window.openSummaryRemarkDialog();
    EXPECT_EQ(shownInDialog, QStringLiteral("旧"));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("备注修改成功！")});
    EXPECT_EQ(list->cellText(0, 13), typed);
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 备注 FROM 销售简表 ORDER BY id"))));
    EXPECT_EQ(rs.text(0), typed);

    // The total row: no dialog, nothing stored, nothing said.
    script.clear();
    list->selectRow(list->rowCount() - 1);
    window.openSummaryRemarkDialog();
    EXPECT_TRUE(script.dialogs().isEmpty());
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(list->cellText(list->rowCount() - 1, 13), QString());
    EXPECT_EQ(count(QStringLiteral("销售简表 WHERE 备注<>''")), 1);
}

TEST_F(SettlementTest, ARemarkThatWasNotStoredLeavesTheCellAndTheDialogAsTheyWere)
{
    summary(QStringLiteral("2015-03-01"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"), QStringLiteral("旧"));
    SalesReportWindow window(context);
    exec(QStringLiteral("DELETE FROM 销售简表")); // gone since the list was filled
    bool stillOpen = false;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *remark = qobject_cast<SummaryRemarkDialog *>(dialog);
        remark->editBox()->setText(QStringLiteral("新"));
        remark->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        stillOpen = dialog->result() != QDialog::Accepted && remark->editBox()->text() == QStringLiteral("新");
        return dialog->result();
    });
    window.list()->selectRow(0);
    window.openSummaryRemarkDialog();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("备注没有保存，请检查数据库连接后重试！")});
    EXPECT_EQ(window.list()->cellText(0, 13), QStringLiteral("旧"));
}

TEST_F(SettlementTest, TheRemarkSearchListsTheMatchingRowsOfAllDaysAndMonths)
{
    summary(QStringLiteral("2015-01-05"), QString(), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("10%"), QStringLiteral("春节促销"));
    summary(QStringLiteral("2015-03-01"), QString(), QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("10%"));
    summary(QStringLiteral("2015年02月"), QStringLiteral("-"), QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("10%"),
            QStringLiteral("促销月"));
    SalesReportWindow window(context);
    script.setDialogHandler([&](QDialog *dialog) {
        auto *remark = qobject_cast<SummaryRemarkDialog *>(dialog);
        remark->editBox()->setText(QStringLiteral("促销"));
        remark->findChild<QPushButton *>(QStringLiteral("按钮2"))->click();
        return dialog->result();
    });
    window.list()->selectRow(0);
    window.openSummaryRemarkDialog();
    EXPECT_EQ(column(window.list(), 1), (QStringList{"2015-01-05", "2015年02月", "合    计"}));
    EXPECT_EQ(window.summaryRemark(), QStringLiteral("促销"));
    EXPECT_EQ(count(QStringLiteral("销售简表 WHERE 备注<>''")), 2);
}

// --- A split sale from the counter -------------------------------------------------------------------

TEST_F(SettlementTest, ATwoLineSplitSaleSettlesItsPartsOnce)
{
    for (int i = 0; i < 2; ++i)
        exec(QStringLiteral("INSERT INTO 采购入库 (款号,名称,颜色,尺码,数量,已售,进货价,吊牌价,所属店铺,上限,下限) "
                            "VALUES ('1001','衬衫','白',?,'10','0','40','100','A','0','0')"),
             {i == 0 ? QStringLiteral("M") : QStringLiteral("L")});
    cashier::Cart cart;
    for (int id = 1; id <= 2; ++id) {
        cashier::CartLine line;
        line.id = QString::number(id);
        line.款号 = QStringLiteral("1001");
        line.商品名称 = QStringLiteral("衬衫");
        line.数量 = QStringLiteral("1");
        line.吊牌价 = QStringLiteral("100");
        line.折扣 = QStringLiteral("1");
        line.金额 = id == 1 ? QStringLiteral("100") : QStringLiteral("200");
        line.结付 = cashier::kPayOther;
        cart.append(line);
    }
    const cashier::SplitPayment split{QStringLiteral("135"), QStringLiteral("90"), QStringLiteral("15"),
                                      QStringLiteral("30"), QStringLiteral("30")};
    ASSERT_TRUE(cashier::writeSale(context, cart, split, {}, QStringLiteral("300"), {}).written()) << script.texts().join(u'|').toStdString();
    ASSERT_EQ(count(QStringLiteral("销售明细")), 2);

    const SettleResult result = writeDailySummary(context, QDate(2015, 3, 11));
    ASSERT_EQ(result.status, SettleStatus::Settled);
    EXPECT_EQ(result.figures.销售金额, QStringLiteral("300"));
    EXPECT_EQ(result.figures.银行, QStringLiteral("90"));
    EXPECT_EQ(result.figures.积分, QStringLiteral("15"));
    EXPECT_EQ(result.figures.优惠券, QStringLiteral("30"));
    EXPECT_EQ(result.figures.储值, QStringLiteral("30"));
    EXPECT_EQ(result.figures.实收金额, QStringLiteral("255"));
}

// --- Export, rights and the returns button ------------------------------------------------------------

TEST_F(SettlementTest, TheExportHoldsTheTitlesTheRowsAndTheTotalRow)
{
    summary(QStringLiteral("2015-03-01"), QString(), QStringLiteral("100"), QStringLiteral("20"), QStringLiteral("20%"), QStringLiteral("a'b"));
    summary(QStringLiteral("2015-03-02"), QString(), QStringLiteral("300"), QStringLiteral("120"), QStringLiteral("40%"));
    SalesReportWindow window(context);
    const int logs = count(QStringLiteral("日志记录"));
    window.findChild<QPushButton *>(QStringLiteral("超级按钮1"))->click();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("销售报表已成功导出在程序运行目录下")});
    EXPECT_EQ(count(QStringLiteral("日志记录")), logs + 1);
    EXPECT_EQ(lastRow(QStringLiteral("日志记录"))[QStringLiteral("操作内容")], QStringLiteral("销售明细-销售简表---导出销售报表"));
    const QString path = QDir(database->dir()).filePath(QStringLiteral("销售报表2015年03月11号14点5.xlsx"));
    const QList<QStringList> sheet = testsupport::workbookRows(path);
    ASSERT_EQ(sheet.size(), 4);
    EXPECT_EQ(sheet.at(0), (QStringList{"ID", "结算日期", "销售量", "销售金额", "成本价", "营业利润", "利润率", "预存", "银行", "积分",
                                        "优惠券", "实收金额", "操作员", "备注"}));
    EXPECT_EQ(sheet.at(1).value(1), QStringLiteral("2015-03-01"));
    EXPECT_EQ(sheet.at(1).value(12), QStringLiteral("李四"));
    EXPECT_EQ(sheet.at(1).value(13), QStringLiteral("a'b"));
    EXPECT_EQ(sheet.at(3).value(1), QStringLiteral("合    计"));
    EXPECT_EQ(sheet.at(3).value(3), QStringLiteral("400"));
    EXPECT_EQ(sheet.at(3).value(6), QStringLiteral("30%"));
}

TEST_F(SettlementTest, AnEmptyListStillExportsItsTitles)
{
    SalesReportWindow window(context);
    ASSERT_EQ(window.list()->rowCount(), 0);
    window.exportSalesReport();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("销售报表已成功导出在程序运行目录下")});
    EXPECT_EQ(lastRow(QStringLiteral("日志记录"))[QStringLiteral("操作内容")], QStringLiteral("销售明细-销售简表---导出销售报表"));
    const QList<QStringList> sheet =
        testsupport::workbookRows(QDir(database->dir()).filePath(QStringLiteral("销售报表2015年03月11号14点5.xlsx")));
    ASSERT_EQ(sheet.size(), 1);
    EXPECT_EQ(sheet.at(0).value(13), QStringLiteral("备注"));
}

TEST_F(SettlementTest, AnExportThatWasNotWrittenIsNeitherLoggedNorReportedAsDone)
{
    SalesReportWindow window(context);
    const int logs = count(QStringLiteral("日志记录"));
    ProgramDir::set(QDir(database->dir()).filePath(QStringLiteral("missing/folder")));
    window.exportSalesReport();
    ProgramDir::set(database->dir());
    EXPECT_EQ(count(QStringLiteral("日志记录")), logs);
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_TRUE(script.texts().first().startsWith(QStringLiteral("导出失败：销售报表"))) << script.texts().first().toStdString();
}

TEST_F(SettlementTest, RightsGuardTheWindowAndItsReturnsButton)
{
    const auto right = [this](const char16_t *name) -> QString & {
        return context.accountRights[AccountRights::columns().indexOf(QString::fromUtf16(name))];
    };
    right(u"销售简表") = QString();
    openSalesReportWindow(context, nullptr);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限！")});
    EXPECT_TRUE(script.dialogs().isEmpty());
    right(u"销售简表") = AppContext::Granted;
    openSalesReportWindow(context, nullptr);
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("SalesReportWindow")});

    int opened = 0;
    SalesReportWindow::openReturnsWindow = [&opened](AppContext &, QWidget *) { ++opened; };
    SalesReportWindow window(context);
    script.clear();
    right(u"退货管理") = QString();
    window.findChild<QPushButton *>(QStringLiteral("按钮6"))->click();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限！")});
    right(u"退货管理") = AppContext::Granted;
    window.findChild<QPushButton *>(QStringLiteral("按钮6"))->click();
    EXPECT_EQ(opened, 1);
    SalesReportWindow::openReturnsWindow = nullptr;
}

} // namespace
