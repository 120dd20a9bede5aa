// The transfer records: a shop's sent and received transfers of a month or a day, the total row,
// the cost only with 查看进价, and the export read back.
#include "StockFixture.h"

#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "platform/ProgramDir.h"
#include "stock/TransferRecords.h"
#include "support/Workbook.h"

#include <QDateEdit>
#include <QDir>

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

class TransferRecordsTest : public SqliteStockFixture {
protected:
    void record(const char *time, const char *from, const char *to, const char *quantity, const char *cost = "10")
    {
        exec(QStringLiteral("INSERT INTO [调拨记录] (调拨时间, 调出门店, 接收门店, 商品名称, 数量, 成本价, 所属店铺) "
                            "VALUES (?,?,?,'衬衫',?,?,?)"),
             {QString::fromUtf8(time), QString::fromUtf8(from), QString::fromUtf8(to), QString::fromUtf8(quantity),
              QString::fromUtf8(cost), QString::fromUtf8(from)});
    }
    QStringList times(const data::Sql &sql)
    {
        QStringList out;
        for (const QStringList &line : transferRecordLines(ctx(), sql))
            out << (line.at(10) == QStringLiteral("合计") ? QStringLiteral("合计:") + line.at(11) + u'/' + line.at(12)
                                                           : line.at(1));
        return out;
    }
};

TEST_F(TransferRecordsTest, SentAndReceivedByMonthAndDay)
{
    record("2015-03-01 9:5", "A", "B", "2");
    record("2015-03-10 10:0", "A", "B", "3");
    record("2015-03-15 11:0", "B", "A", "4");
    record("2015-04-01 9:0", "A", "B", "1");
    const QDate first(2015, 3, 1);
    EXPECT_EQ(times(transferRecordsSql(ctx(), TransferDirection::Sent, first, true)),
              (QStringList{"2015-03-01 9:5", "合计:2/20"})); // never the 10th to the 19th
    EXPECT_EQ(times(transferRecordsSql(ctx(), TransferDirection::Sent, first, false)),
              (QStringList{"2015-03-01 9:5", "2015-03-10 10:0", "合计:5/50"}));
    EXPECT_EQ(times(transferRecordsSql(ctx(), TransferDirection::Received, first, false)),
              (QStringList{"2015-03-15 11:0", "合计:4/40"}));
    EXPECT_TRUE(times(transferRecordsSql(ctx(), TransferDirection::Received, QDate(2015, 4, 1), false)).isEmpty());
    ctx().currentShop = QStringLiteral("B");
    EXPECT_EQ(times(transferRecordsSql(ctx(), TransferDirection::Received, first, true)),
              (QStringList{"2015-03-01 9:5", "合计:2/20"}));
}

TEST_F(TransferRecordsTest, NoCostWithoutTheRightAndTheWindowOpensOnThisMonthsSent)
{
    record("2015-03-05 9:5", "A", "B", "2");
    record("2015-02-05 9:5", "A", "B", "7");
    ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("查看进价"))] = QString();
    TransferRecordsWindow window(ctx());
    ASSERT_EQ(window.list()->rowCount(), 2);
    EXPECT_EQ(window.list()->cellText(0, 12), QString());
    EXPECT_EQ(window.list()->cellText(1, 11), QStringLiteral("2"));
    EXPECT_EQ(window.list()->cellText(1, 12), QString());
}

TEST_F(TransferRecordsTest, TheExportHoldsTheListWithItsTotalRow)
{
    record("2015-03-05 9:5", "A", "B", "2");
    const QString previous = ProgramDir::path();
    ProgramDir::set(database->dir());
    TransferRecordsWindow window(ctx());
    window.exportTransferRecords();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("调拨记录已成功导出在程序运行目录下")});
    const QStringList files = QDir(database->dir()).entryList({QStringLiteral("调拨记录*.xlsx")});
    ASSERT_EQ(files.size(), 1);
    const QList<QStringList> sheet = testsupport::workbookRows(QDir(database->dir()).filePath(files.first()));
    ASSERT_GE(sheet.size(), 3); // titles, the transfer, the total row
    EXPECT_EQ(sheet.at(2).value(10), QStringLiteral("合计"));
    EXPECT_EQ(sheet.at(2).value(11), QStringLiteral("2"));
    ProgramDir::set(previous);
}

} // namespace
