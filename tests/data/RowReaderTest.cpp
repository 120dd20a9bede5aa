// Reading rows one at a time gives what a record set gives: the same rows in the same order with
// the same texts, columns found in any letter case, failures reported and logged.
#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/RowReader.h"
#include "data/SqlBuilder.h"
#include "data/Transaction.h"
#include "platform/ProgramLog.h"
#include "support/LogCapture.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <functional>

using namespace data;
using testsupport::BothBackends;
using testsupport::LogCapture;

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
    // The first cell of every row a reader reads.
    QList<QString> readerCells(const Sql &sql)
    {
        QList<QString> cells;
        RowReader reader(conn());
        EXPECT_TRUE(reader.open(sql)) << reader.lastError().toStdString();
        while (reader.next())
            cells << reader.text(0);
        EXPECT_FALSE(reader.failed()) << reader.lastError().toStdString();
        return cells;
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

// A NULL cell reads as a null text and an empty cell as an empty one, whichever way the rows are
// read: a record set, the reader through the client library and the reader through the driver
// (a statement the client library does not take). QString's == takes the two for equal, so each
// cell is asked isNull(). NULL and empty cells follow each other in one column, as the texts of a
// column are shared with the cell above.
TEST_P(RowReading, ANullCellIsANullTextAndAnEmptyCellAnEmptyOne)
{
    const QList<QVariant> colours = {"", QVariant(), QVariant(), "", "", "白", QVariant(), ""};
    for (const QVariant &colour : colours)
        ASSERT_TRUE(conn().execute(Sql("INSERT INTO 采购入库 (所属店铺, 颜色) VALUES (?, ?)", {"A", colour})))
            << conn().lastError().toStdString();
    const Sql select("SELECT 颜色, 所属店铺 FROM 采购入库 WHERE 所属店铺=? ORDER BY id", {"A"});
    const Sql throughTheDriver("WITH r AS (SELECT id, 颜色, 所属店铺 FROM 采购入库 WHERE 所属店铺=?) "
                               "SELECT 颜色, 所属店铺 FROM r ORDER BY id",
                               {"A"});
    struct Way {
        const char *name;
        std::function<QList<QString>()> read;
    };
    const QList<Way> ways = {
        {"record set",
         [&] {
             QList<QString> cells;
             RecordSet rs(conn());
             EXPECT_TRUE(rs.open(select)) << rs.lastError().toStdString();
             for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
                 cells << rs.text(0);
             return cells;
         }},
        {"reader", [&] { return readerCells(select); }},
        {"reader through the driver", [&] { return readerCells(throughTheDriver); }},
    };
    for (const Way &way : ways) {
        SCOPED_TRACE(way.name);
        const QList<QString> cells = way.read();
        ASSERT_EQ(cells.size(), colours.size());
        for (int i = 0; i < colours.size(); ++i) {
            EXPECT_EQ(cells.at(i).isNull(), colours.at(i).isNull()) << "row " << i;
            EXPECT_EQ(cells.at(i), colours.at(i).toString()) << "row " << i;
        }
    }
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

// The whole numbers 1 to n, read through the client library or (a statement it does not take)
// through the driver.
Sql countTo(Backend backend, int n, bool throughTheDriver)
{
    if (backend == Backend::Postgres)
        return throughTheDriver ? Sql("WITH c AS (SELECT g FROM generate_series(1, CAST(? AS integer)) AS g) SELECT g FROM c", {n})
                                : Sql("SELECT g FROM generate_series(1, CAST(? AS integer)) AS g", {n});
    const QString count = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < ?) SELECT x FROM c");
    return throughTheDriver ? Sql(count, {n}) : Sql(QStringLiteral("SELECT x FROM (") + count + QStringLiteral(")"), {n});
}

// Reads at most n rows and says how many it read.
int readUpTo(RowReader &reader, int n)
{
    int read = 0;
    while (read < n && reader.next())
        ++read;
    return read;
}

// Counts the rows a reader reads from here on, checking that they come in order from `from`.
int readOn(RowReader &reader, int from)
{
    int rows = 0;
    while (reader.next()) {
        if (reader.text(0) != QString::number(from + rows))
            return -1;
        ++rows;
    }
    return rows;
}

int logRows(Connection &connection)
{
    RecordSet rs(connection);
    EXPECT_TRUE(rs.open(buildSelectSql(connection.dialect(), "日志记录", {"id"}, eq("用户名", "读取测试"), true, {}, false)));
    return rs.rowCount();
}

Sql logRow(const Dialect &dialect, const char *what)
{
    return buildInsertSql(dialect, "日志记录", Pairs{{"用户名", "读取测试"}, {"操作内容", what}});
}

// While a reader reads its rows, any other statement on its connection fails, says why and is
// logged; the reader reads every row on, and once it has read the last one the connection runs
// statements again.
TEST_P(RowReading, AStatementWhileAReaderReadsFailsAndTheReaderReadsEveryRow)
{
    constexpr int total = 200000;
    struct Attempt {
        const char *name;
        std::function<bool()> run;
    };
    const QList<Attempt> attempts = {
        {"execute", [&] { return conn().execute(logRow(dialect(), "之间")); }},
        {"record set",
         [&] {
             RecordSet rs(conn());
             return rs.open(buildSelectSql(dialect(), "帐号管理", {}, false, {}, false));
         }},
        {"another reader",
         [&] {
             RowReader other(conn());
             return other.open(buildSelectSql(dialect(), "帐号管理", {}, false, {}, false));
         }},
        {"transaction", [&] { return conn().transaction().isActive(); }},
    };
    for (const bool throughTheDriver : {false, true}) {
        SCOPED_TRACE(throughTheDriver ? "through the driver" : "through the client library");
        LogCapture log;
        RowReader reader(conn());
        ASSERT_TRUE(reader.open(countTo(backend(), total, throughTheDriver))) << reader.lastError().toStdString();
        ASSERT_EQ(readUpTo(reader, 10), 10);
        for (const Attempt &attempt : attempts) {
            SCOPED_TRACE(attempt.name);
            EXPECT_FALSE(attempt.run());
            EXPECT_EQ(conn().lastError(), Connection::readerOpenError());
        }
        EXPECT_EQ(log.text().count(Connection::readerOpenError()), attempts.size()) << log.text().toStdString();
        EXPECT_EQ(readOn(reader, 11), total - 10);
        EXPECT_FALSE(reader.failed()) << reader.lastError().toStdString();
        EXPECT_TRUE(conn().execute(logRow(dialect(), "之后"))) << conn().lastError().toStdString();
    }
    EXPECT_EQ(logRows(conn()), 2);
}

// A statement run under the connection, past its rule, while a reader reads: the reader reads
// every row, or (PostgreSQL, where the statement drops the rows the reader has not read) says it
// failed. It never ends short as if the rows were all there are.
TEST_P(RowReading, RowsDroppedUnderTheReaderAreAFailureNotAShortList)
{
    constexpr int total = 1000000;
    for (const bool throughTheDriver : {false, true}) {
        SCOPED_TRACE(throughTheDriver ? "through the driver" : "through the client library");
        RowReader reader(conn());
        ASSERT_TRUE(reader.open(countTo(backend(), total, throughTheDriver))) << reader.lastError().toStdString();
        ASSERT_EQ(readUpTo(reader, 10), 10);
        QSqlQuery underneath(conn().database());
        ASSERT_TRUE(underneath.exec(QStringLiteral("SELECT 1")));
        underneath.finish();
        const int rest = readOn(reader, 11);
        if (backend() == Backend::Postgres) {
            EXPECT_TRUE(reader.failed()) << rest << " more rows, then an ordinary end";
            EXPECT_FALSE(reader.lastError().isEmpty());
        } else {
            EXPECT_EQ(rest, total - 10);
            EXPECT_FALSE(reader.failed());
        }
        // The connection goes on.
        RecordSet rs(conn());
        EXPECT_TRUE(rs.open(buildSelectSql(dialect(), "帐号管理", {}, false, {}, false))) << rs.lastError().toStdString();
    }
}

// Ending the transaction a reader reads in, or closing its connection, ends the reader: it says
// it failed. A commit while it reads is refused like any statement and rolls the transaction back.
TEST_P(RowReading, EndingTheTransactionOrTheConnectionUnderAReaderEndsTheReader)
{
    for (const char *end : {"rollback", "commit", "close"}) {
        SCOPED_TRACE(end);
        Connection other;
        ASSERT_TRUE(db().openAnother(other)) << other.lastError().toStdString();
        {
            Transaction tx = other.transaction();
            ASSERT_TRUE(tx.isActive());
            ASSERT_TRUE(other.execute(logRow(other.dialect(), end)));
            RowReader reader(other);
            ASSERT_TRUE(reader.open(countTo(backend(), 100000, false)));
            ASSERT_TRUE(reader.next());
            if (QByteArray(end) == "rollback") {
                tx.rollback();
            } else if (QByteArray(end) == "commit") {
                EXPECT_FALSE(tx.commit());
                EXPECT_TRUE(other.lastError().startsWith(Connection::readerOpenError())) << other.lastError().toStdString();
            } else {
                other.close();
            }
            EXPECT_FALSE(reader.next());
            EXPECT_TRUE(reader.failed());
            EXPECT_FALSE(reader.lastError().isEmpty());
            EXPECT_FALSE(other.inTransaction());
        }
        EXPECT_EQ(logRows(conn()), 0) << "nothing of the transaction is kept";
    }
}

SHOPDESK_BOTH_BACKENDS(RowReading);

} // namespace
