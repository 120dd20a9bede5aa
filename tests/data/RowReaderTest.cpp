// Reading rows one at a time gives what a record set gives: the same rows in the same order with
// the same texts, columns found in any letter case, failures reported and logged.
#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/RowReader.h"
#include "data/SqlBuilder.h"
#include "data/Transaction.h"
#include "platform/ProgramLog.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace data;
using testsupport::BothBackends;

namespace {

class RowReading : public BothBackends {
protected:
    // Every text of every row, row by row, as a record set reads them.
    static QList<QStringList> recordSetRows(Connection &connection, const Sql &sql)
    {
        QList<QStringList> rows;
        RecordSet rs(connection);
        EXPECT_TRUE(rs.open(sql));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            QStringList cells;
            for (int c = 0; c < rs.columns().size(); ++c)
                cells << rs.text(c);
            rows << cells;
        }
        return rows;
    }
    static QList<QStringList> readerRows(RowReader &reader, int columns)
    {
        QList<QStringList> rows;
        while (reader.next()) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << reader.text(c);
            rows << cells;
        }
        return rows;
    }
};

TEST_P(RowReading, SameRowsAndTextsAsARecordSet)
{
    for (const char *quantity : {"3", "", "0", "-2", "7件"})
        ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库",
                                                  Pairs{{"所属店铺", "A"}, {"数量", quantity}, {"款号", "K'1"},
                                                        {"名称", "衬衫"}, {"入库日期", "2015-03-01"}})));
    QList<Sql> statements = {
        buildSelectSql(dialect(), "采购入库", {"id", "数量", "款号", "名称", "入库日期", "上限"}, eq("所属店铺", "A"), true,
                       "id DESC", true),
        Sql("select NULL, 42, -7, 1.5, '' , ?", {"单机版"}),
        // Every kind of bound value; a ? inside quotes is no placeholder.
        Sql("select ?, ?, ?, ?, ?, '?''?' AS q, ? AS c", {QString(), 5, qint64(1) << 40, QVariant(), 2.5, "?"}),
        buildSelectSql(dialect(), "采购入库", {"id"}, eq("所属店铺", "没有"), true, "id ASC", true),
    };
    // SQLite keeps whatever bytes it was given as a text: ones that are no UTF-8 read as the
    // driver reads them (through SQLite's own UTF-16).
    if (dialect().backend() == Backend::Sqlite)
        statements << Sql("select CAST(x'41e4b8' AS TEXT), CAST(x'ff42c3' AS TEXT), CAST(x'e4b8ad' AS TEXT)");
    for (const Sql &sql : statements) {
        SCOPED_TRACE(sql.display().toStdString());
        const QList<QStringList> expected = recordSetRows(conn(), sql);
        RowReader reader(conn());
        ASSERT_TRUE(reader.open(sql));
        EXPECT_EQ(reader.text(0), QString()) << "no row before next()";
        const int columns = expected.isEmpty() ? 1 : int(expected.first().size());
        EXPECT_EQ(readerRows(reader, columns), expected);
        EXPECT_FALSE(reader.failed());
        EXPECT_EQ(reader.text(0), QString()) << "no row after the last";
        EXPECT_FALSE(reader.next());
    }
    EXPECT_EQ(recordSetRows(conn(), statements.at(0)).size(), 5);
}

// Cells equal to the cell above share its text: a cell that differs only in its last byte, is a
// prefix of the one above, is empty or NULL must still read as itself.
TEST_P(RowReading, RepeatedCellsReadAsThemselves)
{
    const QList<const char *> colours = {"白", "白", "白色", "白", "", "白", "百", "百", "白"};
    for (const char *colour : colours)
        ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库", Pairs{{"所属店铺", "A"}, {"颜色", colour}})));
    ASSERT_TRUE(conn().execute(Sql("UPDATE 采购入库 SET 颜色=NULL WHERE id=(SELECT MAX(id) FROM 采购入库)")));
    const Sql sql = buildSelectSql(dialect(), "采购入库", {"颜色", "所属店铺"}, eq("所属店铺", "A"), true, "id ASC", true);
    RowReader reader(conn());
    ASSERT_TRUE(reader.open(sql));
    const QList<QStringList> rows = readerRows(reader, 2);
    ASSERT_EQ(rows.size(), colours.size());
    for (int i = 0; i + 1 < colours.size(); ++i)
        EXPECT_EQ(rows.at(i), QStringList({QString::fromUtf8(colours.at(i)), "A"})) << i;
    EXPECT_EQ(rows.last(), QStringList({QString(), "A"}));
    EXPECT_EQ(rows, recordSetRows(conn(), sql));
}

// A reader closed (or opened again) before its last row leaves the connection free at once, and
// inside a transaction it spoils nothing: what was written before and after it is committed.
TEST_P(RowReading, AReaderLeftBeforeItsLastRowLeavesTheConnectionAndTheTransactionWhole)
{
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库", Pairs{{"所属店铺", "A"}, {"款号", QString::number(i)}})));
    const Sql all = buildSelectSql(dialect(), "采购入库", {"款号"}, eq("所属店铺", "A"), true, "id ASC", true);
    {
        Transaction tx = conn().transaction();
        ASSERT_TRUE(tx.isActive());
        ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库", Pairs{{"所属店铺", "B"}, {"款号", "之前"}})));
        RowReader reader(conn());
        ASSERT_TRUE(reader.open(all));
        ASSERT_TRUE(reader.next());
        EXPECT_EQ(reader.text(0), "0");
        ASSERT_TRUE(reader.open(all)); // opened again after one row
        ASSERT_TRUE(reader.next());
        ASSERT_TRUE(reader.next());
        EXPECT_EQ(reader.text(0), "1");
        reader.close();
        EXPECT_FALSE(reader.next());
        ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库", Pairs{{"所属店铺", "B"}, {"款号", "之后"}})))
            << conn().lastError().toStdString();
        EXPECT_TRUE(tx.commit()) << conn().lastError().toStdString();
    }
    RowReader reader(conn());
    ASSERT_TRUE(reader.open(buildSelectSql(dialect(), "采购入库", {"款号"}, eq("所属店铺", "B"), true, "id ASC", true)));
    EXPECT_EQ(readerRows(reader, 1), QList<QStringList>({{"之前"}, {"之后"}}));
    ASSERT_TRUE(reader.open(all));
    EXPECT_EQ(readerRows(reader, 1).size(), 300);
}

TEST_P(RowReading, ColumnsInAnyLetterCase)
{
    RowReader reader(conn());
    ASSERT_TRUE(reader.open(buildSelectSql(dialect(), "帐号管理", {"id", "帐号"}, {}, false, "id ASC", true)));
    EXPECT_EQ(reader.columnIndex("ID"), 0);
    EXPECT_EQ(reader.columnIndex("帐号"), 1);
    EXPECT_EQ(reader.columnIndex("密码"), -1);
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.text(-1), QString());
    EXPECT_EQ(reader.text(2), QString());
}

TEST_P(RowReading, AFailedStatementIsReportedAndLoggedAndTheConnectionGoesOn)
{
    QTemporaryDir dir;
    const QString previous = programlog::path();
    programlog::setPath(QDir(dir.path()).filePath(QStringLiteral("shopdesk.log")));
    const Sql bad = buildSelectSql(dialect(), "没有这张表", eq("店名", "O'Neil"), true, {}, false);
    RowReader reader(conn());
    EXPECT_FALSE(reader.open(bad));
    EXPECT_TRUE(reader.failed());
    EXPECT_FALSE(reader.lastError().isEmpty());
    EXPECT_FALSE(reader.next());
    QFile log(programlog::path());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(bad.display()));
    programlog::setPath(previous);

    ASSERT_TRUE(reader.open(buildSelectSql(dialect(), "帐号管理", {}, false, {}, false)));
    EXPECT_FALSE(reader.failed());
    EXPECT_TRUE(reader.next());
}

TEST_P(RowReading, AStatementWithoutRowsRunsAndReadsNoRow)
{
    ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库", Pairs{{"所属店铺", "A"}, {"数量", "3"}})));
    RowReader reader(conn());
    ASSERT_TRUE(reader.open(buildUpdateSql(dialect(), "采购入库", Pairs{{"数量", "4"}}, eq("所属店铺", "A"), true)));
    EXPECT_FALSE(reader.next());
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(conn().numRowsAffected(), 1);
}

SHOPDESK_BOTH_BACKENDS(RowReading);

} // namespace
