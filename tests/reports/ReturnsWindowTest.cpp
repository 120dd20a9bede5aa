// The returns window: the opening list with its colours and the count of damaged units, the
// filter cycle, settling a row (a damaged unit back into stock or the row deleted) in one
// transaction, the remark of the selected row, the export read back, and the rights gates.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "reports/ReturnRecords.h"
#include "reports/ReturnRemarkDialog.h"
#include "reports/ReturnsWindow.h"
#include "support/TestDatabase.h"
#include "support/Workbook.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using namespace reports;

namespace {

const QString kSupplier = QStringLiteral("O'Neil,东=1"); // a text that once broke statements

// Shop "A", user 张三 (zs) with every right, the clock at 2015-03-11 14:05:09.
class ReturnsTest : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
        database = std::make_unique<testsupport::TestDatabase>(GetParam());
        ASSERT_TRUE(database->ok()) << database->error().toStdString();
        ProgramDir::set(database->dir());
        if (GetParam() == data::Backend::Sqlite) {
            ASSERT_TRUE(context.connection().openSqlite(database->sqlitePath()));
            context.runMode = AppContext::SingleMachineMode;
        } else {
            ASSERT_TRUE(context.connection().openPostgres(database->serverSettings()));
            context.runMode = AppContext::NetworkMode;
        }
        context.currentShop = QStringLiteral("A");
        context.currentAccount = QStringLiteral("zs");
        context.currentUserName = QStringLiteral("张三");
        for (int i = 0; i < AccountRights::count; ++i)
            context.accountRights[i] = AppContext::Granted;
    }
    void TearDown() override
    {
        context.connection().close();
        database.reset();
        Clock::reset();
    }

    // The table's name as the backend quotes it.
    QString table(const char *name) { return context.connection().dialect().quoteTable(QString::fromUtf8(name)); }
    void exec(const QString &text, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(text, values))) << context.connection().lastError().toStdString();
    }
    // A return row; its id comes back.
    qint64 returned(const QString &condition, const QString &shop = QStringLiteral("A"),
                    const QString &style = QStringLiteral("K1"))
    {
        exec(QStringLiteral("INSERT INTO 退货管理 (供货来源,商品名称,分类,款号,颜色,尺码,单位,成本价,销售金额,销售日期,退货日期,"
                            "商品情况,备注,所属店铺) VALUES (?,'衬衫','上衣',?,'白','L','件','50','120','2015-03-01',"
                            "'2015-03-02',?,'',?)"),
             {kSupplier, style, condition, shop});
        return maxId("退货管理");
    }
    qint64 stockRow(const QString &shop, const QString &supplier, const QString &quantity = QStringLiteral("5"))
    {
        exec(QStringLiteral("INSERT INTO 采购入库 (款号,颜色,尺码,供货来源,所属店铺,数量,已售,名称) "
                            "VALUES ('K1','白','L',?,?,?,'3','衬衫')"),
             {supplier, shop, quantity});
        return maxId("采购入库");
    }
    qint64 maxId(const char *name)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT MAX(id) FROM ") + table(name))));
        return rs.integer(0);
    }
    QString stockOf(qint64 id, const char *column)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM ") + table("采购入库") + QStringLiteral(" WHERE id=?"), {id})));
        return rs.text(QString::fromUtf8(column));
    }
    QStringList logTexts()
    {
        QStringList texts;
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 操作内容 FROM ") + table("日志记录") + QStringLiteral(" ORDER BY id"))));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            texts << rs.text(0);
        return texts;
    }
    bool returnExists(qint64 id)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT id FROM ") + table("退货管理") + QStringLiteral(" WHERE id=?"), {id})));
        return rs.rowCount() == 1;
    }
    static QStringList ids(const ReturnsWindow &w)
    {
        QStringList out;
        for (int r = 0; r < w.list()->rowCount(); ++r)
            out << w.list()->cellText(r, 0);
        return out;
    }
    static int rowOf(const ReturnsWindow &w, qint64 id)
    {
        for (int r = 0; r < w.list()->rowCount(); ++r)
            if (w.list()->cellText(r, 0) == QString::number(id))
                return r;
        return -1;
    }

    std::unique_ptr<testsupport::TestDatabase> database;
    AppContext context;
    MessageScript script;
};

class ReturnsSqliteTest : public ReturnsTest {};

QString n(qint64 id)
{
    return QString::number(id);
}

TEST_P(ReturnsSqliteTest, OpensOnTheShopsReturnsColouredWithTheDamagedCounted)
{
    const qint64 a = returned(QStringLiteral("有损"));
    const qint64 b = returned(QStringLiteral("无损"));
    returned(QStringLiteral("有损"), QStringLiteral("B")); // another shop's
    const qint64 c = returned(QStringLiteral("待查"));      // no condition the counter writes
    const qint64 d = returned(QStringLiteral("有损"));
    ReturnsWindow w(context);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("退货管理"));
    EXPECT_EQ(ids(w), (QStringList{n(a), n(b), n(c), n(d)}));
    EXPECT_EQ(w.damagedCount()->text(), QStringLiteral("2"));
    EXPECT_EQ(w.filterButton()->text(), QStringLiteral("只显示有损库存"));
    EXPECT_EQ(w.list()->rowTexts(0),
              (QStringList{n(a), kSupplier, "衬衫", "上衣", "K1", "白", "L", "件", "50", "120", "2015-03-01", "2015-03-02", "有损", ""}));
    const ReportListModel *model = w.list()->listModel();
    EXPECT_EQ(model->rowColour(0), QColor(255, 0, 0));
    EXPECT_EQ(model->rowColour(1), QColor(0, 128, 128));
    EXPECT_FALSE(model->rowColour(2).isValid());
    EXPECT_EQ(model->rowColour(3), QColor(255, 0, 0));
}

TEST_P(ReturnsSqliteTest, TheFilterButtonCyclesThroughDamagedUndamagedAndAll)
{
    const qint64 a = returned(QStringLiteral("有损"));
    const qint64 b = returned(QStringLiteral("无损"));
    const qint64 c = returned(QStringLiteral("有损"));
    const qint64 d = returned(QStringLiteral("无损"));
    ReturnsWindow w(context);
    struct Step {
        QStringList rows;
        const char *caption;
        const char *count;
    };
    const Step steps[] = {
        {{n(a), n(c)}, "只显示无损库存", "2"},
        {{n(b), n(d)}, "显示全部", "0"}, // no damaged row shown, none counted
        {{n(a), n(b), n(c), n(d)}, "只显示有损库存", "2"},
        {{n(a), n(c)}, "只显示无损库存", "2"},
    };
    int click = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(++click);
        w.filterButton()->click();
        EXPECT_EQ(ids(w), step.rows);
        EXPECT_EQ(w.filterButton()->text(), QString::fromUtf8(step.caption));
        EXPECT_EQ(w.damagedCount()->text(), QString::fromUtf8(step.count));
        for (int r = 0; r < w.list()->rowCount(); ++r)
            EXPECT_EQ(w.list()->listModel()->rowColour(r),
                      w.list()->cellText(r, 12) == QStringLiteral("有损") ? QColor(255, 0, 0) : QColor(0, 128, 128));
    }
    EXPECT_TRUE(script.messages().isEmpty());
}

// Settling one row: the condition, the answer to "问题库存确认" and whether a matching stock row
// exists decide the stock, the deletion, the log row and the message.
TEST_P(ReturnsTest, SettlingARowAsTheConditionAndTheAnswerSay)
{
    struct Case {
        const char *condition;
        bool answerYes;
        bool stockPresent;
        bool asked;
        int stockChange;   // on the shop's lowest-id matching stock row
        bool deleted;
        const char *log;   // "" for none
        const char *message;
    };
    const QString item = QStringLiteral("  衬衫  上衣  K1  白  L  件");
    const Case cases[] = {
        {"有损", true, true, true, 1, true, "销售明细-退货管理---删除有损退货库存！  ", "系统入库成功！原问题库存记录已删除"},
        {"有损", true, false, true, 0, false, "", "系统未找到原始库存记录，请手动入库！"},
        {"有损", false, true, true, 0, true, "销售明细-退货管理---删除有损退货库存！  ", "问题库存记录已删除"},
        {"无损", false, true, false, 0, true, "销售明细-退货管理---删除无损退货记录！  ", "记录已删除"},
        {"待查", true, true, false, 0, true, "销售明细-退货管理---删除无损退货记录！  ", "记录已删除"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.condition) + (c.answerYes ? " yes" : " no") + (c.stockPresent ? " stock" : " none"));
        exec(QStringLiteral("DELETE FROM ") + table("采购入库"));
        exec(QStringLiteral("DELETE FROM ") + table("日志记录"));
        // Rows that never take the unit: another shop's (lowest id) and another supplier's.
        const qint64 otherShop = stockRow(QStringLiteral("B"), kSupplier);
        const qint64 otherSupplier = stockRow(QStringLiteral("A"), QStringLiteral("乙"));
        const qint64 first = c.stockPresent ? stockRow(QStringLiteral("A"), kSupplier) : 0;
        const qint64 second = c.stockPresent ? stockRow(QStringLiteral("A"), kSupplier, QStringLiteral("-2")) : 0;
        const qint64 kept = returned(QStringLiteral("无损"));
        const qint64 id = returned(QString::fromUtf8(c.condition));
        script.clear();
        script.queueAnswers({c.answerYes});

        ReturnsWindow w(context);
        w.list()->selectRow(rowOf(w, id));
        w.resolveReturnRecord();

        const QList<ShownMessage> &shown = script.messages();
        ASSERT_EQ(shown.size(), c.asked ? 2 : 1);
        if (c.asked) {
            EXPECT_TRUE(shown.at(0).question);
            EXPECT_EQ(shown.at(0).title, QStringLiteral("问题库存确认"));
            EXPECT_EQ(shown.at(0).icon, MessageIcon::Warning);
            EXPECT_EQ(shown.at(0).text, QStringLiteral("该库存为问题库存确认已处理完毕！！！\r\n需要系统帮你自动重新再入库，请选【是】\r\n"
                                                       "直接删除，稍后自己手动入库，请选【否】"));
        }
        EXPECT_EQ(shown.last().text, QString::fromUtf8(c.message));
        EXPECT_EQ(returnExists(id), !c.deleted);
        EXPECT_TRUE(returnExists(kept));
        EXPECT_EQ(logTexts(), c.log[0] ? QStringList{QString::fromUtf8(c.log) + kSupplier + item} : QStringList());
        EXPECT_EQ(stockOf(otherShop, "数量"), QStringLiteral("5"));
        EXPECT_EQ(stockOf(otherSupplier, "数量"), QStringLiteral("5"));
        if (c.stockPresent) {
            EXPECT_EQ(stockOf(first, "数量"), QString::number(5 + c.stockChange));
            EXPECT_EQ(stockOf(first, "已售"), QStringLiteral("3"));
            EXPECT_EQ(stockOf(second, "数量"), QStringLiteral("-2"));
        }
        EXPECT_EQ(ids(w).contains(n(id)), !c.deleted);
        EXPECT_TRUE(ids(w).contains(n(kept)));
        exec(QStringLiteral("DELETE FROM ") + table("退货管理"));
    }
}

TEST_P(ReturnsSqliteTest, ADeletionUnderAFilterListsAllRowsAndKeepsTheCaption)
{
    const qint64 a = returned(QStringLiteral("有损"));
    const qint64 b = returned(QStringLiteral("无损"));
    const qint64 c = returned(QStringLiteral("有损"));
    ReturnsWindow w(context);
    w.filterButton()->click(); // damaged only
    ASSERT_EQ(ids(w), (QStringList{n(a), n(c)}));
    w.list()->selectRow(0);
    script.queueAnswers({false});
    w.resolveReturnRecord();
    EXPECT_EQ(ids(w), (QStringList{n(b), n(c)}));
    EXPECT_EQ(w.filterButton()->text(), QStringLiteral("只显示无损库存"));
    EXPECT_EQ(w.damagedCount()->text(), QStringLiteral("1"));
    w.filterButton()->click(); // the caption's filter: undamaged only
    EXPECT_EQ(ids(w), QStringList{n(b)});
}

// The deletion refused after the unit went back into stock: nothing stays of the settling, so a
// second attempt cannot put the unit in twice.
TEST_P(ReturnsSqliteTest, AFailedDeletionLeavesTheStockAsItWas)
{
    const qint64 stock = stockRow(QStringLiteral("A"), kSupplier);
    const qint64 id = returned(QStringLiteral("有损"));
    exec(QStringLiteral("CREATE TRIGGER keep_returns BEFORE DELETE ON 退货管理 BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    ReturnsWindow w(context);
    for (int attempt = 0; attempt < 2; ++attempt) {
        w.list()->selectRow(0);
        script.queueAnswers({true});
        w.resolveReturnRecord();
    }
    EXPECT_EQ(stockOf(stock, "数量"), QStringLiteral("5"));
    EXPECT_TRUE(returnExists(id));
    EXPECT_TRUE(logTexts().isEmpty());
    EXPECT_EQ(script.texts().last(), QStringLiteral("退货记录没有处理，没有写入任何数据，请检查数据库连接后重试！"));
    EXPECT_EQ(ids(w), QStringList{n(id)});
}

TEST_P(ReturnsSqliteTest, ARowSettledElsewhereIsNotSettledAgain)
{
    const qint64 stock = stockRow(QStringLiteral("A"), kSupplier);
    const qint64 id = returned(QStringLiteral("有损"));
    ReturnsWindow w(context);
    exec(QStringLiteral("DELETE FROM 退货管理 WHERE id=?"), {id}); // another workstation's settling
    w.list()->selectRow(0);
    script.queueAnswers({true});
    w.resolveReturnRecord();
    EXPECT_EQ(stockOf(stock, "数量"), QStringLiteral("5"));
    EXPECT_TRUE(logTexts().isEmpty());
    EXPECT_EQ(script.texts().last(), QStringLiteral("这条退货记录已不存在（可能已在别处处理），列表已刷新。"));
    EXPECT_TRUE(ids(w).isEmpty());
}

TEST_P(ReturnsSqliteTest, TheRemarkOfTheSelectedRowIsStoredExactly)
{
    returned(QStringLiteral("有损"));
    const qint64 id = returned(QStringLiteral("无损"));
    const QString remark = QStringLiteral("顾客's 退, 换=否");
    ReturnsWindow w(context);
    QString shownInDialog;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *remarkDialog = qobject_cast<ReturnRemarkDialog *>(dialog);
        EXPECT_TRUE(remarkDialog);
        if (!remarkDialog)
            return int(QDialog::Rejected);
        EXPECT_EQ(remarkDialog->windowTitle(), QStringLiteral("修改备注"));
        shownInDialog = remarkDialog->findChild<QLineEdit *>(QStringLiteral("编辑框1"))->text();
        remarkDialog->remarkBox()->setText(remark);
        return int(QDialog::Accepted);
    });

    w.openReturnRemarkDialog(); // nothing selected: no dialog, and a right click beside the rows shows no menu
    EXPECT_TRUE(script.dialogs().isEmpty());
    Q_EMIT w.list()->rowContextMenuRequested(-1, QPoint(0, 0));
    EXPECT_FALSE(w.menu()->isVisible());

    exec(QStringLiteral("UPDATE 退货管理 SET 备注='旧' WHERE id=?"), {id});
    w.filterButton()->click();
    w.filterButton()->click(); // undamaged only: the row of `id` alone, its remark read again
    ASSERT_EQ(ids(w), QStringList{n(id)});
    w.list()->selectRow(0);
    w.openReturnRemarkDialog();
    EXPECT_EQ(shownInDialog, QStringLiteral("旧"));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("备注修改成功！")});
    EXPECT_EQ(w.list()->cellText(0, 13), remark);
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 备注 FROM 退货管理 WHERE id=?"), {id})));
    EXPECT_EQ(rs.text(0), remark);
}

TEST_P(ReturnsSqliteTest, ARefusedRemarkLeavesTheCellAndSaysSo)
{
    const qint64 id = returned(QStringLiteral("无损"));
    exec(QStringLiteral("CREATE TRIGGER keep_remarks BEFORE UPDATE ON 退货管理 BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    ReturnsWindow w(context);
    w.list()->selectRow(0);
    int opened = 0;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *remarkDialog = qobject_cast<ReturnRemarkDialog *>(dialog);
        // The second time the dialog still holds what was typed; the user closes it.
        if (++opened == 2) {
            EXPECT_EQ(remarkDialog->remark(), QStringLiteral("新备注"));
            return int(QDialog::Rejected);
        }
        remarkDialog->remarkBox()->setText(QStringLiteral("新备注"));
        return int(QDialog::Accepted);
    });
    w.openReturnRemarkDialog();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("备注没有保存，请检查数据库连接后重试！")});
    EXPECT_EQ(w.list()->cellText(0, 13), QString());
    EXPECT_TRUE(returnExists(id));
}

TEST_P(ReturnsSqliteTest, TheExportHoldsTheRowsShownUnderTheFilter)
{
    const qint64 a = returned(QStringLiteral("有损"));
    returned(QStringLiteral("无损"));
    const qint64 c = returned(QStringLiteral("有损"), QStringLiteral("A"), QStringLiteral("K2"));
    ReturnsWindow w(context);
    w.filterButton()->click(); // damaged only
    w.exportReturns();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("退货管理数据已成功导出在程序运行目录下")});
    EXPECT_EQ(logTexts(), QStringList{QStringLiteral("销售明细-退货管理---导出退货记录")});
    const QString path = QDir(database->dir()).filePath(QStringLiteral("退货管理2015年03月11号14点5.xlsx"));
    const QList<QStringList> sheet = testsupport::workbookRows(path);
    ASSERT_EQ(sheet.size(), 3);
    EXPECT_EQ(sheet.at(0), (QStringList{"ID", "供货来源", "商品名称", "分类", "款号", "颜色", "尺码", "单位", "成本价", "销售金额",
                                        "销售日期", "退货日期", "商品情况", "备注"}));
    EXPECT_EQ(sheet.at(1).mid(0, 13), (QStringList{n(a), kSupplier, "衬衫", "上衣", "K1", "白", "L", "件", "50", "120",
                                                   "2015-03-01", "2015-03-02", "有损"}));
    EXPECT_EQ(sheet.at(1).value(13), QString()); // no remark
    EXPECT_EQ(sheet.at(2).value(0), n(c));
    EXPECT_EQ(sheet.at(2).value(4), QStringLiteral("K2"));
}

TEST_P(ReturnsSqliteTest, AnExportThatWasNotWrittenIsNeitherLoggedNorReportedDone)
{
    returned(QStringLiteral("有损"));
    ReturnsWindow w(context);
    ProgramDir::set(QDir(database->dir()).filePath(QStringLiteral("missing")));
    w.exportReturns();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("导出失败：退货管理未能写入程序运行目录，请检查该目录是否可写、"
                                                         "同名的Excel文件是否正被其他程序打开")});
    EXPECT_TRUE(logTexts().isEmpty());
}

TEST_P(ReturnsSqliteTest, TheWindowAndTheSalesReportAreBehindTheirRights)
{
    returned(QStringLiteral("有损"));
    const auto take = [this](const char *right) {
        context.accountRights[AccountRights::columns().indexOf(QString::fromUtf8(right))] = QString();
    };
    int salesReports = 0;
    ReturnsWindow::salesReportOpener = [&](AppContext &, QWidget *) { ++salesReports; };
    {
        ReturnsWindow w(context);
        EXPECT_TRUE(w.findChild<QPushButton *>(QStringLiteral("按钮1"))->isEnabled());
        w.findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        EXPECT_EQ(salesReports, 1);
        take("销售简表");
        w.findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        EXPECT_EQ(salesReports, 1);
        EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限！")});
    }
    ReturnsWindow::salesReportOpener = nullptr;

    script.clear();
    openReturnsWindow(context, nullptr);
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("ReturnsWindow")});
    take("退货管理");
    openReturnsWindow(context, nullptr);
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("ReturnsWindow")});
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限")});
}

INSTANTIATE_TEST_SUITE_P(Backends, ReturnsTest, ::testing::Values(data::Backend::Sqlite, data::Backend::Postgres),
                         testsupport::backendParamName);
INSTANTIATE_TEST_SUITE_P(Sqlite, ReturnsSqliteTest, ::testing::Values(data::Backend::Sqlite), testsupport::backendParamName);

} // namespace
