// Stock alarms: the rule choosing the row's own bounds or the shop's, the bounds dialog storing
// whole numbers only, and the report window with its export, on both backends.
#include "StockFixture.h"

#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "platform/ProgramDir.h"
#include "stock/StockAlarms.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

using namespace stock;
using stocktest::StockFixture;

namespace {

class StockAlarmsTest : public StockFixture {
protected:
    QString item(const char *quantity, const char *upper = "", const char *lower = "", const char *onOff = "")
    {
        const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QString::fromUtf8(quantity));
        exec(QStringLiteral("UPDATE ") + table(QStringLiteral("采购入库"))
                 + QStringLiteral(" SET 上限=?, 下限=?, 开关=? WHERE id=?"),
             {QString::fromUtf8(upper), QString::fromUtf8(lower), QString::fromUtf8(onOff), id.toLongLong()});
        return id;
    }
    QStringList report()
    {
        QStringList out;
        for (const QStringList &line : stockAlarmLines(ctx()))
            out << line.at(8) + u'|' + line.at(12) + u'|' + line.at(13) + u'|' + line.at(14);
        return out;
    }
};

TEST_P(StockAlarmsTest, TheRowsOwnBoundsOrTheShops)
{
    const struct {
        const char *name;
        const char *shopSwitch, *shopUpper, *shopLower;
        const char *quantity, *upper, *lower, *onOff;
        const char *line; // "" when not listed
    } cases[] = {
        {"own 0 and 0", "假", "", "", "5", "0", "0", "真", "5|0|0|高于上限[自]"},
        {"shop off, row off", "假", "10", "2", "50", "", "", "", ""},
        {"at the upper bound", "真", "10", "2", "10", "", "", "", ""},
        {"at the lower bound", "真", "10", "2", "2", "", "", "", ""},
        {"at its own upper bound", "假", "", "", "9", "9", "3", "真", ""},
        {"at its own lower bound", "假", "", "", "3", "9", "3", "真", ""},
        {"just below its own lower bound", "假", "", "", "2", "9", "3", "真", "2|9|3|低于下限[自]"},
        {"above", "真", "10", "2", "11", "", "", "", "11|10|2|高于上限"},
        {"below", "真", "10", "2", "1", "", "", "", "1|10|2|低于下限"},
        {"zero stock never", "真", "10", "2", "0", "", "", "", ""},
        {"negative stock", "真", "0", "0", "-1", "", "", "", "-1|0|0|低于下限"},
        {"lower above upper: below wins", "假", "", "", "5", "3", "8", "真", "5|3|8|低于下限[自]"},
        {"3.7 reads 3", "真", "3", "0", "3.7", "", "", "", ""},
        {"own off falls back", "真", "10", "2", "20", "1", "1", "假", "20|10|2|高于上限"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        exec(QStringLiteral("DELETE FROM ") + table(QStringLiteral("采购入库")));
        ctx().shopSettings.报警开关 = QString::fromUtf8(c.shopSwitch);
        ctx().shopSettings.上限报警 = QString::fromUtf8(c.shopUpper);
        ctx().shopSettings.下限报警 = QString::fromUtf8(c.shopLower);
        item(c.quantity, c.upper, c.lower, c.onOff);
        EXPECT_EQ(report(), *c.line ? QStringList{QString::fromUtf8(c.line)} : QStringList());
    }
}

// The report shows the cost only to an account holding 查看进价; the other cells are the same.
TEST_P(StockAlarmsTest, WithoutTheCostRightTheReportShowsNoCost)
{
    ctx().shopSettings.报警开关 = QStringLiteral("真");
    ctx().shopSettings.上限报警 = QStringLiteral("10");
    ctx().shopSettings.下限报警 = QStringLiteral("2");
    item("11"); // cost 10
    QString &right = ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("查看进价"))];
    for (bool granted : {true, false}) {
        SCOPED_TRACE(granted ? "with 查看进价" : "without 查看进价");
        right = granted ? AppContext::Granted : QString();
        const QList<QStringList> lines = stockAlarmLines(ctx());
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines.first().at(10), granted ? QStringLiteral("10") : QString());
        StockAlarmReportWindow window(ctx());
        ASSERT_EQ(window.list()->rowCount(), 1);
        EXPECT_EQ(window.list()->cellText(0, 10), granted ? QStringLiteral("10") : QString());
        EXPECT_EQ(window.list()->cellText(0, 8), QStringLiteral("11"));
        EXPECT_EQ(window.list()->cellText(0, 14), QStringLiteral("高于上限"));
    }
}

TEST_P(StockAlarmsTest, BoundsAreWholeNumbersAndAnEmptyOneIsZero)
{
    const QString id = item("5");
    const struct {
        const char *upper, *lower;
        bool on;
        bool ok;
        const char *stored;
    } cases[] = {
        {"100", "", true, true, "100|0|真"},
        {"１０", "2", false, true, "10|2|假"},
        {"0,数量='999'", "1", true, false, "10|2|假"},
        {"1.5", "1", true, false, "10|2|假"},
    };
    for (const auto &c : cases) {
        const AlarmLimitsResult result = saveItemAlarmLimits(
            ctx(), id.toLongLong(), {QString::fromUtf8(c.upper), QString::fromUtf8(c.lower), c.on ? "真" : "假"});
        EXPECT_EQ(result.ok, c.ok) << c.upper;
        if (!c.ok) {
            EXPECT_EQ(result.message, QStringLiteral("库存上限和下限请填写整数，比如：100；不设请填0"));
        }
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ") + table(QStringLiteral("采购入库")) + QStringLiteral(" WHERE id=?"),
                       {"上限", "下限", "开关"}, {id.toLongLong()}),
                  QStringList{QString::fromUtf8(c.stored)});
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT 数量 FROM ") + table(QStringLiteral("采购入库")) + QStringLiteral(" WHERE id=?"),
                   {"数量"}, {id.toLongLong()}),
              QStringList{"5"});
}

TEST_P(StockAlarmsTest, TheDialogShowsStoresAndKeepsARefusedEntry)
{
    const QString id = item("5", "9", "1", "真");
    ReportList list;
    for (int c = 0; c < 19; ++c)
        list.addColumn(QString::number(c), 30);
    QStringList cells(19);
    cells[0] = id;
    cells[16] = QStringLiteral("9");
    cells[17] = QStringLiteral("1");
    cells[18] = QStringLiteral("真");
    list.addRow(cells);
    list.selectRow(0);
    int opened = 0;
    messages.setDialogHandler([&](QDialog *dialog) {
        auto *d = static_cast<ItemAlarmLimitsDialog *>(dialog);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("单品库存报警设置"));
        EXPECT_TRUE(d->findChild<QCheckBox *>(QStringLiteral("选择框35"))->isChecked());
        auto *upper = d->findChild<QLineEdit *>(QStringLiteral("库上"));
        if (opened++ == 0) {
            EXPECT_EQ(upper->text(), QStringLiteral("9"));
            upper->setText(QStringLiteral("abc"));
        } else {
            EXPECT_EQ(upper->text(), QStringLiteral("abc")); // what was typed is still there
            upper->setText(QStringLiteral("20"));
        }
        d->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        return d->result();
    });
    openItemAlarmLimitsDialog(ctx(), &list, nullptr);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("库存上限和下限请填写整数，比如：100；不设请填0")});
    EXPECT_EQ(list.cellText(0, 16), QStringLiteral("20"));
    EXPECT_EQ(rows(QStringLiteral("SELECT 上限 FROM ") + table(QStringLiteral("采购入库")), {"上限"}), QStringList{"20"});
}

TEST_P(StockAlarmsTest, TheReportExportsItsLinesAndLogsIt)
{
    ctx().shopSettings.报警开关 = QStringLiteral("真");
    ctx().shopSettings.上限报警 = QStringLiteral("10");
    ctx().shopSettings.下限报警 = QStringLiteral("2");
    item("11");
    item("5");
    const QString previous = ProgramDir::path();
    ProgramDir::set(database->dir());
    StockAlarmReportWindow window(ctx());
    ASSERT_EQ(window.list()->rowCount(), 1);
    window.exportStockAlarmReport();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("库存报警已成功导出在程序运行目录下")});
    EXPECT_FALSE(QDir(database->dir()).entryList({QStringLiteral("库存报警*.xlsx")}).isEmpty());
    EXPECT_EQ(rows(QStringLiteral("SELECT 操作内容 FROM ") + table(QStringLiteral("日志记录")), {"操作内容"}),
              QStringList{QStringLiteral("库存管理-查看库存报警---导出库存报警")});
    ProgramDir::set(previous);
}

SHOPDESK_BOTH_BACKENDS(StockAlarmsTest);

} // namespace
