// The move of the single-machine file into a network database while one thread reads the file
// and another writes: references by id across batches, and a failure on either side in the
// middle of a table.
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QStringList>
#include <gtest/gtest.h>

#include "data/DataMove.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"
#include "support/TestDatabase.h"

using testsupport::TestDatabase;

namespace {

const QString Stock = QStringLiteral("采购入库");
const QString Barcode = QStringLiteral("商品条码");
const QString Sales = QStringLiteral("销售明细");
const QString Receipt = QStringLiteral("小票单号");

// The rows a query gives, as texts.
QList<QStringList> rowsOf(data::Connection &c, const QString &select)
{
    data::RecordSet rs(c);
    EXPECT_TRUE(rs.open(data::Sql(select))) << c.lastError().toStdString();
    QList<QStringList> rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList row;
        for (int i = 0; i < rs.columns().size(); ++i)
            row << rs.text(i);
        rows << row;
    }
    return rows;
}

// Every row of a table, by id, as the texts of the given columns (all when none are given).
QList<QStringList> rowsOf(data::Connection &c, const QString &table, const QStringList &columns)
{
    return rowsOf(c, QStringLiteral("SELECT ") + (columns.isEmpty() ? QStringLiteral("*") : columns.join(u','))
                         + QStringLiteral(" FROM ") + c.dialect().quoteTable(table) + QStringLiteral(" ORDER BY id"));
}

qint64 countOf(data::Connection &c, const QString &table)
{
    data::RecordSet rs(c);
    EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM ") + c.dialect().quoteTable(table))));
    return rs.integer(0);
}

// Every row of every shop table and every index of the server.
QList<QList<QStringList>> snapshot(data::Connection &c)
{
    QList<QList<QStringList>> all;
    for (const QString &table : data::shopTables())
        all << rowsOf(c, table, {});
    all << rowsOf(c, QStringLiteral("SELECT indexname, indexdef FROM pg_indexes WHERE schemaname=current_schema()"
                                    " ORDER BY indexname"));
    return all;
}

class DataMoveBatches : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(source.ok()) << source.error().toStdString();
        ASSERT_TRUE(target.ok()) << target.error().toStdString();
    }
    data::Connection &src() { return source.connection(); }
    data::Connection &dst() { return target.connection(); }
    void insert(const QString &table, const data::Pairs &pairs)
    {
        ASSERT_TRUE(src().execute(data::buildInsertSql(src().dialect(), table, pairs))) << src().lastError().toStdString();
    }
    // `count` sale lines, receipts R1, R2, ... with a long remark, so that they fill many pages.
    void fillSales(int count)
    {
        ASSERT_TRUE(src().execute(data::Sql(
            QStringLiteral("INSERT INTO 销售明细 (小票单号, 备注) WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g+1"
                           " FROM n WHERE g<%1) SELECT 'R' || g, printf('%.300c', '*') FROM n")
                .arg(count))));
    }
    data::DataMoveResult move(int batchRows, qint64 *salesShown = nullptr)
    {
        return data::moveShopData(src(), dst(),
                                  [&](data::DataMoveStep, const QString &table, qint64 moved, qint64) {
                                      if (salesShown && table == Sales)
                                          *salesShown = moved;
                                  },
                                  batchRows);
    }

    TestDatabase source{data::Backend::Sqlite};
    TestDatabase target{data::Backend::Postgres};
};

// Stock rows numbered apart from the server's counter and with a gap; the rows that name them.
const QList<qint64> stockIds = {11, 12, 13, 15, 16};
const QStringList historyReferences = {QStringLiteral("11"), QStringLiteral("16"), QStringLiteral("99"), QString(),
                                       QStringLiteral("12"), QStringLiteral(" 15")};
const QStringList heldReferences = {QStringLiteral("13"), QStringLiteral("12"), QString(), QStringLiteral("40"),
                                    QStringLiteral("11")};

// What a stock reference names on a database: the barcode of that stock row, "" for an empty
// reference, "<none>" for a number that names no row.
QString namedStockRow(data::Connection &c, const QString &reference)
{
    const qint64 id = data::RecordSet::leadingInteger(reference);
    if (id <= 0)
        return QString();
    data::RecordSet rs(c);
    EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 商品条码 FROM ") + c.dialect().quoteTable(Stock)
                                  + QStringLiteral(" WHERE id=") + QString::number(id))));
    return rs.rowCount() > 0 ? rs.text(0) : QStringLiteral("<none>");
}

TEST_F(DataMoveBatches, ReferencesByIdNameTheSameStockRowsWhateverTheBatchSize)
{
    // Without the tables moved between them, the referring tables are read while the last stock
    // batches may still be on their way to the server.
    for (const char *between : {"采购报表", "销售明细", "销售简表", "销量排行", "颜色尺码", "调拨记录"})
        ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("DROP TABLE ") + QString::fromUtf8(between))));
    for (const qint64 id : stockIds)
        insert(Stock, {{QStringLiteral("id"), id}, {Barcode, QStringLiteral("69%1").arg(id)}});
    for (const QString &reference : historyReferences)
        insert(QStringLiteral("商品历史"), {{QStringLiteral("原始ID"), reference}});
    for (const QString &reference : heldReferences)
        insert(QStringLiteral("提交挂单"), {{QStringLiteral("编号"), reference}});
    const QList<std::pair<QString, QString>> referring = {{QStringLiteral("商品历史"), QStringLiteral("原始ID")},
                                                          {QStringLiteral("提交挂单"), QStringLiteral("编号")}};
    QList<QStringList> named; // per referring table, what each row names in the file
    for (const auto &[table, column] : referring) {
        QStringList names;
        for (const QStringList &row : rowsOf(src(), table, {column}))
            names << namedStockRow(src(), row.first());
        named << names;
    }
    ASSERT_EQ(named.first(), (QStringList{QStringLiteral("6911"), QStringLiteral("6916"), QStringLiteral("<none>"),
                                          QString(), QStringLiteral("6912"), QStringLiteral("6915")}));

    // Batches of one row put every stock row in a batch of its own; three rows split the stock
    // table unevenly; 0 is the size the program uses.
    for (const int batchRows : {1, 2, 3, 0}) {
        SCOPED_TRACE(batchRows);
        TestDatabase fresh{data::Backend::Postgres};
        ASSERT_TRUE(fresh.ok()) << fresh.error().toStdString();
        // The server's counter has moved on: new ids differ from the file's.
        ASSERT_TRUE(fresh.connection().execute(data::Sql(QStringLiteral("SELECT setval(pg_get_serial_sequence('采购入库','id'), 500)"))));
        const data::DataMoveResult result = data::moveShopData(src(), fresh.connection(), {}, batchRows);
        ASSERT_EQ(result.outcome, data::DataMoveResult::Moved) << result.table.toStdString() << result.error.toStdString();
        for (int r = 0; r < referring.size(); ++r) {
            const QList<QStringList> moved = rowsOf(fresh.connection(), referring[r].first, {referring[r].second});
            QStringList names;
            for (const QStringList &row : moved) {
                if (!row.first().isEmpty())
                    EXPECT_GT(row.first().toLongLong(), 500) << "a reference names the new id";
                names << namedStockRow(fresh.connection(), row.first());
            }
            // A number that named no row of the file arrives empty.
            QStringList expected = named[r];
            expected.replaceInStrings(QStringLiteral("<none>"), QString());
            EXPECT_EQ(names, expected) << referring[r].first.toStdString();
        }
    }
}

TEST_F(DataMoveBatches, AReadErrorHalfwayThroughATableFailsTheMoveWithTheTargetAsBefore)
{
    fillSales(3000);
    // Everything in the file itself, then its second half cut off: the sale lines read well
    // for a while, then their pages are missing.
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"))));
    QFile file(source.sqlitePath());
    const qint64 size = file.size();
    ASSERT_GT(size, 1024 * 1024);
    ASSERT_TRUE(file.resize(size / 2));
    const auto before = snapshot(dst());

    qint64 salesShown = 0;
    const data::DataMoveResult result = move(50, &salesShown);
    EXPECT_EQ(result.outcome, data::DataMoveResult::Failed);
    EXPECT_EQ(result.table, Sales);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("读取单机版数据失败："))) << result.error.toStdString();
    EXPECT_GT(salesShown, 0) << "sale lines were written before the error";
    EXPECT_EQ(snapshot(dst()), before);
}

TEST_F(DataMoveBatches, ARefusalWhileTheReaderIsFarAheadEndsTheMoveWithTheTargetAsBefore)
{
    fillSales(2000);
    // The server refuses the fifth receipt: the reader still has most of the table to give.
    ASSERT_TRUE(dst().execute(data::Sql(QStringLiteral("ALTER TABLE 销售明细 ADD CONSTRAINT refused CHECK (小票单号 <> 'R5')"))));
    const auto before = snapshot(dst());

    const data::DataMoveResult result = move(1);
    EXPECT_EQ(result.outcome, data::DataMoveResult::Failed);
    EXPECT_EQ(result.table, Sales);
    EXPECT_TRUE(result.error.contains(QStringLiteral("refused"))) << result.error.toStdString();
    EXPECT_EQ(snapshot(dst()), before);
    EXPECT_EQ(countOf(src(), Sales), 2000) << "the file is only read";
}

TEST_F(DataMoveBatches, AFileInAFolderWhoseNameHoldsSignsOfAnAddressIsRead)
{
    fillSales(10);
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"))));
    QTemporaryDir parent;
    const QString folder = QDir(parent.path()).filePath(QStringLiteral("门店 #1 ?a=%20&b"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("qi.db"));
    ASSERT_TRUE(QFile::copy(source.sqlitePath(), path));
    data::Connection copy;
    ASSERT_TRUE(copy.openSqlite(path)) << copy.lastError().toStdString();

    const data::DataMoveResult result = data::moveShopData(copy, dst());
    ASSERT_EQ(result.outcome, data::DataMoveResult::Moved) << result.error.toStdString();
    EXPECT_EQ(countOf(dst(), Sales), 10);
}

TEST_F(DataMoveBatches, EveryKindOfCellArrivesAsTheProgramReadsItFromTheFile)
{
    // A column of a file made elsewhere that holds numbers, blobs and bytes that are no UTF-8.
    const QString table = QStringLiteral("颜色尺码");
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("ALTER TABLE 颜色尺码 ADD COLUMN 备用 REAL"))));
    ASSERT_TRUE(dst().execute(data::Sql(QStringLiteral("ALTER TABLE 颜色尺码 ADD COLUMN 备用 text"))));
    const QStringList cells = {
        QStringLiteral("1.0"),     QStringLiteral("0.1"),           QStringLiteral("1e20"),
        QStringLiteral("-2.5e-7"), QStringLiteral("123456789.125"), QStringLiteral("42"),
        QStringLiteral("NULL"),    QStringLiteral("'8折'"),         QStringLiteral("x'e4bda0'"),
        QStringLiteral("x'ff'"),   QStringLiteral("CAST(x'ff41' AS TEXT)"), QStringLiteral("CAST(x'41e4bd' AS TEXT)"),
    };
    for (const QString &cell : cells)
        ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO 颜色尺码 (颜色, 备用) VALUES ('c', ") + cell
                                            + QStringLiteral(")"))))
            << cell.toStdString();
    // What the program reads from the file through Qt, NULL as the empty text.
    QStringList read;
    QSqlQuery query(src().database());
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT 备用 FROM 颜色尺码 ORDER BY id")));
    while (query.next())
        read << query.value(0).toString();
    ASSERT_EQ(read.size(), cells.size());
    EXPECT_EQ(read.first(), QStringLiteral("1"));

    const data::DataMoveResult result = move(5);
    ASSERT_EQ(result.outcome, data::DataMoveResult::Moved) << result.table.toStdString() << result.error.toStdString();
    QStringList moved;
    for (const QStringList &row : rowsOf(dst(), table, {QStringLiteral("备用")}))
        moved << row.first();
    EXPECT_EQ(moved, read);
}

TEST_F(DataMoveBatches, CellsWithNulCharactersArriveWithoutThemAndAreCounted)
{
    // PostgreSQL's texts cannot hold NUL; every other character arrives as the program reads it.
    const QString table = QStringLiteral("颜色尺码");
    struct Cell {
        QString colour; // the value of 颜色 as SQL
        QString size;   // the value of 尺码 as SQL
        int nulCells;   // cells of the row that hold NUL
    };
    const QList<Cell> cells = {
        {QStringLiteral("'ab' || char(0) || 'cd'"), QStringLiteral("'M' || char(0)"), 2},
        {QStringLiteral("char(0)"), QStringLiteral("'L'"), 1},
        {QStringLiteral("'x' || char(0, 0) || '红'"), QStringLiteral("''"), 1},
        {QStringLiteral("x'61006200'"), QStringLiteral("NULL"), 1},               // a blob
        {QStringLiteral("CAST(x'ff0041' AS TEXT)"), QStringLiteral("'S'"), 1},     // no UTF-8
        {QStringLiteral("'a' || char(1, 8, 27, 127) || 'b'"), QStringLiteral("'X' || char(9, 10, 13) || 'L'"), 0},
        {QStringLiteral("'白'"), QStringLiteral("'XL'"), 0},
    };
    int nulCells = 0;
    for (const Cell &cell : cells) {
        ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO 颜色尺码 (颜色, 尺码) VALUES (%1, %2)")
                                                .arg(cell.colour, cell.size))))
            << cell.colour.toStdString();
        nulCells += cell.nulCells;
    }
    // What the program reads from the file through Qt, without its NUL characters.
    QList<QStringList> expected;
    QSqlQuery query(src().database());
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT 颜色, 尺码 FROM 颜色尺码 ORDER BY id")));
    int withNul = 0;
    while (query.next()) {
        QStringList row;
        for (int c = 0; c < 2; ++c) {
            QString text = query.value(c).toString();
            withNul += text.contains(QChar(0)) ? 1 : 0;
            row << text.remove(QChar(0));
        }
        expected << row;
    }
    ASSERT_EQ(expected.size(), cells.size());
    ASSERT_EQ(withNul, nulCells) << "the file holds the NUL characters";

    for (const int batchRows : {2, 0}) {
        SCOPED_TRACE(batchRows);
        TestDatabase fresh{data::Backend::Postgres};
        ASSERT_TRUE(fresh.ok()) << fresh.error().toStdString();
        const data::DataMoveResult result = data::moveShopData(src(), fresh.connection(), {}, batchRows);
        ASSERT_EQ(result.outcome, data::DataMoveResult::Moved) << result.table.toStdString() << result.error.toStdString();
        EXPECT_EQ(rowsOf(fresh.connection(), table, {QStringLiteral("颜色"), QStringLiteral("尺码")}), expected);
        EXPECT_EQ(result.nulCells, (QList<std::pair<QString, qint64>>{{table, nulCells}}));
    }
}

} // namespace
