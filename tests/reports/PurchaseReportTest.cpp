// The purchase report: a day's stock rows summed per supplier text, a day generated once, the views
// with the red total row, the remarks (and their search over all days), the export read back, the
// right.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "reports/PurchaseRemarkDialog.h"
#include "reports/PurchaseReport.h"
#include "reports/PurchaseReportWindow.h"
#include "support/SqliteShopTest.h"
#include "support/Workbook.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace reports;

namespace {

inline QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

struct StockRow {
    const char *supplier;
    const char *cost;
    const char *quantity;
    const char *sold = "0";
    const char *day = "2015-03-05";
    const char *shop = "A";
};

struct ReportRow {
    const char *day;
    const char *supplier;
    const char *quantity;
    const char *cost;
    const char *remark = "";
    const char *shop = "A";
};

class PurchaseReportTest : public testsupport::SqliteShopTest {
protected:
    void stock(const StockRow &r)
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO 采购入库 (供货来源,进货价,数量,已售,入库日期,所属店铺,款号) VALUES (?,?,?,?,?,?,'K1')"),
            {u8(r.supplier), u8(r.cost), u8(r.quantity), u8(r.sold), u8(r.day), u8(r.shop)})));
    }
    void report(const ReportRow &r)
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO 采购报表 (采购日期,供货来源,数量,成本价,备注,所属店铺,操作员) VALUES (?,?,?,?,?,?,'李四')"),
            {u8(r.day), u8(r.supplier), u8(r.quantity), u8(r.cost), u8(r.remark), u8(r.shop)})));
    }
    // The stored rows, "shop|day|supplier|quantity|cost|operator|remark", by supplier.
    QStringList storedReport()
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM 采购报表 ORDER BY 供货来源, id"))));
        QStringList out;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            QStringList cells;
            for (const char *c : {"所属店铺", "采购日期", "供货来源", "数量", "成本价", "操作员", "备注"})
                cells << rs.text(u8(c));
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList logTexts()
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 操作内容 FROM 日志记录 ORDER BY id"))));
        QStringList out;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            out << rs.text(0);
        return out;
    }
    static QStringList column(const ReportList *list, int c)
    {
        QStringList out;
        for (int r = 0; r < list->rowCount(); ++r)
            out << list->cellText(r, c);
        return out;
    }
    std::unique_ptr<PurchaseReportWindow> window()
    {
        return std::make_unique<PurchaseReportWindow>(context);
    }

    MessageScript script;
};

struct AggregateCase {
    const char *name;
    QList<StockRow> stock;
    QStringList stored; // supplier|quantity|cost of the day's rows, by supplier text
};

TEST_F(PurchaseReportTest, ADaysStockIsSummedPerSupplierTextExactly)
{
    const QList<AggregateCase> cases = {
        {"two suppliers",
         {{"A", "50", "2"}, {"B", "10", "5"}, {"A", "30", "1"}},
         {"A|3|130", "B|5|50"}},
        {"sold out left out, partly sold counts what is left",
         {{"A", "50", "2"}, {"A", "30", "0", "4"}, {"A", "20", "3", "2"}},
         {"A|5|160"}},
        {"supplier texts kept apart",
         {{"abc", "1", "1"}, {"ABC", "2", "1"}, {"abc ", "3", "1"}, {"abc", "4", "1"}, {"a'b,c=d", "5", "1"}},
         {"ABC|1|2", "a'b,c=d|1|5", "abc|2|5", "abc |1|3"}},
        {"money summed exactly", {{"X", "0.1", "1"}, {"X", "0.2", "1"}}, {"X|2|0.3"}},
        {"other days and shops left out",
         {{"A", "50", "1"}, {"A", "7", "1", "0", "2015-03-06"}, {"A", "7", "1", "0", "2015-03-05", "B"}},
         {"A|1|50"}},
    };
    for (const AggregateCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(context.connection().execute(data::Sql("DELETE FROM 采购入库")));
        ASSERT_TRUE(context.connection().execute(data::Sql("DELETE FROM 采购报表")));
        for (const StockRow &row : c.stock)
            stock(row);
        const GenerateResult result = generatePurchaseReport(context, QDate(2015, 3, 5));
        ASSERT_EQ(result.status, GenerateStatus::Generated);
        QStringList expected;
        for (const QString &row : c.stored)
            expected << u8("A|2015-03-05|") + row + u8("|张三|");
        EXPECT_EQ(storedReport(), expected);
        EXPECT_EQ(result.suppliers.size(), c.stored.size());
    }
}

TEST_F(PurchaseReportTest, ADayIsGeneratedOnce)
{
    stock({"A", "50", "2"});
    stock({"B", "10", "5"});
    auto w = window();
    w->calendar()->setSelectedDate(QDate(2015, 3, 5));
    w->generatePurchaseReport();
    EXPECT_EQ(script.texts(), QStringList{u8("报表生成成功！！")});
    const QStringList first = storedReport();
    ASSERT_EQ(first.size(), 2);
    // The list shows this month's rows by id, with the total row.
    EXPECT_EQ(column(w->list(), 2), (QStringList{"A", "B", PurchaseTotalLabel}));

    // Later purchases of that day are not added: the second generation is refused.
    stock({"C", "1", "1"});
    script.clear();
    w->generatePurchaseReport();
    EXPECT_EQ(script.texts(), QStringList{u8("您选择的日期报表已经生成过了")});
    EXPECT_EQ(storedReport(), first);
    EXPECT_EQ(logTexts(), QStringList{u8("采购入库--采购报表---生成了2015-03-05号的报表数据")});

    // A day without stock rows writes nothing but the log row, and stays open for a later generation.
    script.clear();
    w->calendar()->setSelectedDate(QDate(2015, 3, 6));
    w->generatePurchaseReport();
    EXPECT_EQ(script.texts(), QStringList{u8("报表生成成功！！")});
    EXPECT_EQ(storedReport().size(), 2);
    stock({"D", "3", "2", "0", "2015-03-06"});
    EXPECT_EQ(generatePurchaseReport(context, QDate(2015, 3, 6)).status, GenerateStatus::Generated);
    EXPECT_EQ(storedReport().size(), 3);
    EXPECT_EQ(storedReport().last(), u8("A|2015-03-06|D|2|6|张三|"));
}

TEST_F(PurchaseReportTest, AFailedGenerationWritesNothing)
{
    stock({"A", "50", "2"});
    stock({"B", "10", "5"});
    // The second supplier's row is refused: neither row nor log row stays.
    ASSERT_TRUE(context.connection().execute(data::Sql(
        "CREATE TRIGGER refuse_b BEFORE INSERT ON 采购报表 WHEN new.供货来源='B' BEGIN SELECT RAISE(ABORT,'no'); END")));
    auto w = window();
    w->calendar()->setSelectedDate(QDate(2015, 3, 5));
    w->generatePurchaseReport();
    EXPECT_EQ(script.texts(), QStringList{u8("采购报表没有生成，没有写入任何数据，请检查数据库连接后重试！")});
    EXPECT_TRUE(storedReport().isEmpty());
    EXPECT_TRUE(logTexts().isEmpty());
}

struct ViewCase {
    const char *name;
    std::function<void(PurchaseReportWindow &)> show;
    QStringList suppliers; // column 2 from the top, the total row last
    const char *quantity;  // the total row's cells
    const char *cost;
};

TEST_F(PurchaseReportTest, ViewsListTheirRowsWithTheTotalRow)
{
    report({"2015-03-10", "甲", "2.5", "0.1"});
    report({"2015-03-02", "乙", "3", "0.2"});
    report({"2015-02-27", "丙", "4", "10"});
    report({"2015-03-10", "丁", "5", "1", "", "B"});
    const QString total = PurchaseTotalLabel;
    const QList<ViewCase> cases = {
        {"this month, by day", [](PurchaseReportWindow &w) { w.listPurchaseReportThisMonth(); }, {"乙", "甲", total}, "5", "0.3"},
        {"picked month",
         [](PurchaseReportWindow &w) {
             w.calendar()->setSelectedDate(QDate(2015, 2, 3));
             w.listPurchaseReportOfMonth();
         },
         {"丙", total}, "4", "10"},
        {"picked day", [](PurchaseReportWindow &w) { w.calendar()->setSelectedDate(QDate(2015, 3, 10)); }, {"甲", total}, "2", "0.1"},
        {"empty day", [](PurchaseReportWindow &w) { w.calendar()->setSelectedDate(QDate(2015, 3, 9)); }, {}, nullptr, nullptr},
    };
    for (const ViewCase &c : cases) {
        SCOPED_TRACE(c.name);
        auto w = window();
        c.show(*w);
        ReportList *list = w->list();
        EXPECT_EQ(column(list, 2), c.suppliers);
        if (!c.quantity)
            continue;
        const int last = list->rowCount() - 1;
        EXPECT_EQ(list->rowTexts(last), (QStringList{"", "", total, u8(c.quantity), u8(c.cost), "", ""}));
        EXPECT_EQ(list->listModel()->rowColour(last), QColor(255, 0, 0));
        EXPECT_FALSE(list->listModel()->rowColour(0).isValid());
    }
}

TEST_F(PurchaseReportTest, RemarksChangeOnTheirRowAndAreSearchedOverAllDays)
{
    report({"2015-01-05", "甲", "1", "1", "春节促销"});
    report({"2015-03-10", "乙", "1", "1"});
    report({"2015-03-11", "丙", "1", "1", "促销'二"});
    report({"2015-03-11", "丁", "1", "1", "促销", "B"});
    auto w = window();
    ReportList *list = w->list();
    ASSERT_EQ(column(list, 2), (QStringList{"乙", "丙", PurchaseTotalLabel}));

    // 确认修改: the remark, quote and all, stored and shown on the row.
    QString shown;
    script.setDialogHandler([&shown](QDialog *dialog) {
        auto *d = static_cast<PurchaseRemarkDialog *>(dialog);
        shown = d->remark();
        d->setRemark(u8("到货'少,1=2"));
        d->savePurchaseReportRemark();
        return d->result();
    });
    list->selectRow(1);
    w->openPurchaseRemarkDialog();
    EXPECT_EQ(shown, u8("促销'二"));
    EXPECT_EQ(list->cellText(1, 6), u8("到货'少,1=2"));
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 备注 FROM 采购报表 WHERE 供货来源='丙'"))));
    EXPECT_EQ(rs.text(0), u8("到货'少,1=2"));
    EXPECT_TRUE(script.texts().isEmpty());

    // The total row takes no remark: no dialog opens.
    list->selectRow(2);
    w->openPurchaseRemarkDialog();
    EXPECT_EQ(script.dialogs().size(), 1);

    // 查找备注: the shop's rows holding the text, over all days.
    script.setDialogHandler([](QDialog *dialog) {
        auto *d = static_cast<PurchaseRemarkDialog *>(dialog);
        d->setRemark(u8("促销"));
        d->searchPurchaseReportRemarks();
        return d->result();
    });
    list->selectRow(0);
    w->openPurchaseRemarkDialog();
    EXPECT_EQ(column(list, 2), (QStringList{"甲", PurchaseTotalLabel}));
    EXPECT_EQ(w->remarkText(), u8("促销"));
    EXPECT_EQ(column(list, 6).first(), u8("春节促销"));
}

TEST_F(PurchaseReportTest, TheExportHoldsTheListAndItsTotalRow)
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 5), QTime(9, 7, 3)));
    report({"2015-03-05", "甲", "3", "130", "促销"});
    report({"2015-03-05", "乙", "5", "50"});
    auto w = window();
    w->exportPurchaseReport();
    EXPECT_EQ(script.texts(), QStringList{u8("采购报表已成功导出在程序运行目录下")});
    const QString path = database->dir() + u8("/采购报表2015年03月05号9点7.xlsx");
    ASSERT_TRUE(QFile::exists(path)) << QDir(database->dir()).entryList().join(u' ').toStdString();
    const QList<QStringList> rows = testsupport::workbookRows(path);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], (QStringList{"id", "采购日期", "供货来源", "数量", "成本价", "操作员", "备注"}));
    EXPECT_EQ(rows[1], (QStringList{"1", "2015-03-05", "甲", "3", "130", "李四", "促销"}));
    EXPECT_EQ(rows[2].value(2), u8("乙"));
    EXPECT_EQ(rows[3].mid(2, 3), (QStringList{PurchaseTotalLabel, "8", "180"}));
    EXPECT_EQ(logTexts(), QStringList{u8("采购入库--采购报表--导出报表")});

    script.clear();
    ProgramDir::set(database->dir() + QStringLiteral("/missing"));
    w->exportPurchaseReport();
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_TRUE(script.texts().first().startsWith(u8("导出失败："))) << script.texts().first().toStdString();
    EXPECT_EQ(logTexts().size(), 1);
    ProgramDir::set(database->dir());
}

TEST_F(PurchaseReportTest, OpensWithoutBlockingAndOnlyWithTheRight)
{
    context.accountRights.采购报表 = QString();
    EXPECT_EQ(openPurchaseReportWindow(context, nullptr), nullptr);
    EXPECT_EQ(script.texts(), QStringList{u8("没有权限！")});
    context.accountRights.采购报表 = AppContext::Granted;
    QPointer<PurchaseReportWindow> opened = openPurchaseReportWindow(context, nullptr);
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_FALSE(opened->isModal());
    EXPECT_EQ(opened->windowTitle(), u8("采购报表"));
    EXPECT_TRUE(script.dialogs().isEmpty());
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(opened.isNull());
}

} // namespace
