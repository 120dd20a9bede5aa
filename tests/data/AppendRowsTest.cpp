// Appending many rows in one statement: every text arrives as it was, in the order given, and the
// new ids come back ascending in that order.
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

#include "data/Dialect.h"
#include "data/RecordSet.h"
#include "data/RowBatch.h"
#include "support/TestDatabase.h"

using testsupport::BothBackends;

namespace {

const QString Table = QStringLiteral("颜色尺码");
const QStringList Columns = {QStringLiteral("颜色"), QStringLiteral("尺码"), QStringLiteral("所属店铺")};

// Texts that a quoted literal, an array literal or a placeholder scanner could take apart.
const QStringList awkwardTexts = {
    QString(),
    QStringLiteral("NULL"),
    QStringLiteral("O'Neil ''"),
    QStringLiteral("say \"hi\""),
    QStringLiteral("back\\slash \\\\ \\\""),
    QStringLiteral("{a,b},{}"),
    QStringLiteral("a,b=c ? :x ::text $1"),
    QStringLiteral(" 两端有空格 "),
    QStringLiteral("line\nnext\ttab\r"),
    QStringLiteral("红色 XL 總店 😀"),
};

class AppendRows : public BothBackends {
protected:
    // Appends rows (texts of the three columns, row after row) in one statement; the ids it gives.
    QList<qint64> append(const QStringList &values)
    {
        data::RecordSet rs(conn());
        EXPECT_TRUE(rs.open(dialect().appendRowsSql(Table, Columns, values, true))) << conn().lastError().toStdString();
        QList<qint64> ids;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            ids << rs.integer(0);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    // Every row of the table by id: its id and texts.
    QList<std::pair<qint64, QStringList>> rows()
    {
        data::RecordSet rs(conn());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT id,颜色,尺码,所属店铺 FROM ") + dialect().quoteTable(Table)
                                      + QStringLiteral(" ORDER BY id"))));
        QList<std::pair<qint64, QStringList>> all;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            all.append({rs.integer(0), {rs.text(1), rs.text(2), rs.text(3)}});
        return all;
    }
};

TEST_P(AppendRows, EveryTextArrivesAsItWasInTheOrderGivenWithItsId)
{
    QStringList values;
    for (int row = 0; row < awkwardTexts.size(); ++row)
        values << awkwardTexts[row] << awkwardTexts[(row + 3) % awkwardTexts.size()] << QString::number(row);
    const QList<qint64> ids = append(values);
    ASSERT_EQ(ids.size(), awkwardTexts.size());
    const auto stored = rows();
    ASSERT_EQ(stored.size(), awkwardTexts.size());
    for (int row = 0; row < stored.size(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(stored[row].first, ids[row]);
        EXPECT_EQ(stored[row].second, values.mid(row * 3, 3));
    }
}

TEST_P(AppendRows, AFullBatchFitsOneStatementAndTheNextOneFollowsIt)
{
    const int batch = dialect().appendRowsBatch(int(Columns.size()));
    ASSERT_GT(batch, 1);
    QStringList values;
    for (int row = 0; row < batch; ++row)
        values << QString::number(row) << QStringLiteral("M") << QStringLiteral("总店");
    const QList<qint64> first = append(values);
    const QList<qint64> second = append({QStringLiteral("last"), QStringLiteral("L"), QStringLiteral("总店")});
    ASSERT_EQ(first.size(), batch);
    ASSERT_EQ(second.size(), 1);
    EXPECT_GT(second.first(), first.last());
    const auto stored = rows();
    ASSERT_EQ(stored.size(), batch + 1);
    for (int row = 0; row < batch; ++row)
        ASSERT_EQ(stored[row].second.first(), QString::number(row)) << row;
    EXPECT_EQ(stored.last().second.first(), QStringLiteral("last"));
}

TEST_P(AppendRows, ABatchOfRowsArrivesAsItWasInItsOrderWithItsIds)
{
    // Texts of every length class a length prefix could get wrong, beside the awkward ones;
    // enough rows that the batch travels in several pieces.
    QStringList texts = awkwardTexts;
    texts << QString(300, QChar(u'长')) << QString(70000, QLatin1Char('x'));
    for (int i = 0; i < 3000; ++i)
        texts << QStringLiteral("行%1").arg(i);
    QStringList values;
    data::RowBatch batch(int(Columns.size()));
    for (int row = 0; row < texts.size(); ++row) {
        const QStringList cells = {texts[row], texts[(row + 3) % texts.size()], QString::number(row)};
        for (const QString &cell : cells)
            batch.addCell(cell);
        values << cells;
    }
    ASSERT_EQ(batch.rows(), texts.size());
    // Asked for the new ids, and not (which PostgreSQL sends another way).
    for (const bool withIds : {true, false}) {
        SCOPED_TRACE(withIds);
        ASSERT_TRUE(conn().execute(data::Sql(QStringLiteral("DELETE FROM ") + conn().dialect().quoteTable(Table))));
        QList<qint64> ids;
        ASSERT_TRUE(conn().appendRows(Table, Columns, batch, withIds ? &ids : nullptr)) << conn().lastError().toStdString();
        const auto stored = rows();
        ASSERT_EQ(stored.size(), texts.size());
        ASSERT_EQ(ids.size(), withIds ? texts.size() : 0);
        std::sort(ids.begin(), ids.end());
        for (int row = 0; row < stored.size(); ++row) {
            SCOPED_TRACE(row);
            if (withIds)
                EXPECT_EQ(stored[row].first, ids[row]);
            else if (row > 0)
                EXPECT_GT(stored[row].first, stored[row - 1].first);
            EXPECT_EQ(stored[row].second, values.mid(row * 3, 3));
        }
    }
}

TEST_P(AppendRows, ARefusedBatchFailsAsAStatementWithNothingWritten)
{
    data::RowBatch batch(int(Columns.size()));
    for (const QString &cell : {QStringLiteral("红"), QStringLiteral("M"), QStringLiteral("总店")})
        batch.addCell(cell);
    EXPECT_FALSE(conn().appendRows(QStringLiteral("no_such_table"), Columns, batch));
    EXPECT_FALSE(conn().lastError().isEmpty());
    ASSERT_TRUE(conn().appendRows(Table, Columns, batch));
    EXPECT_TRUE(conn().lastError().isEmpty());
    EXPECT_EQ(rows().size(), 1);
}

} // namespace

SHOPDESK_BOTH_BACKENDS(AppendRows);
