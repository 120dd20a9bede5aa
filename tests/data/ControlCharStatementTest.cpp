// Bound texts reach the database as they are, so a text read from a stored row finds that row
// again, on both backends, control characters and all. Only a NUL on PostgreSQL, which no text
// there can hold, is left out, and the log says so with the characters escaped.
#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/RowReader.h"
#include "data/SqlBuilder.h"
#include "support/LogCapture.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace data;
using testsupport::BothBackends;
using testsupport::LogCapture;

namespace {

const QString kNul = QString(QChar(0));

class ControlCharStatements : public BothBackends {
protected:
    Sql insertRemark(const QString &remark)
    {
        return buildInsertSql(dialect(), QStringLiteral("日志记录"), Pairs{{QStringLiteral("门店"), QStringLiteral("A")},
                                                                          {QStringLiteral("用户名"), remark}});
    }
    Sql findRemark(const QString &remark)
    {
        return buildSelectSql(dialect(), QStringLiteral("日志记录"), {QStringLiteral("用户名")},
                              both(eq(QStringLiteral("门店"), QStringLiteral("A")), eq(QStringLiteral("用户名"), remark)), true,
                              QStringLiteral("id ASC"), true);
    }
    QStringList stored()
    {
        QStringList out;
        RecordSet rs(conn());
        EXPECT_TRUE(rs.open(buildSelectSql(dialect(), QStringLiteral("日志记录"), eq(QStringLiteral("门店"), QStringLiteral("A")), true,
                                           QStringLiteral("id ASC"), true)));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            out << rs.text(QStringLiteral("用户名"));
        return out;
    }
    // What the backend keeps of a bound text: all of it, but a NUL on PostgreSQL.
    QString kept(const QString &bound)
    {
        return backend() == Backend::Postgres ? QString(bound).remove(QChar(0)) : bound;
    }
};

TEST_P(ControlCharStatements, TextsAreStoredAndFoundAsTheyAre)
{
    const QString cases[] = {
        QStringLiteral("ab") + kNul + QStringLiteral("cd"),
        kNul + QStringLiteral("x\u0001y\u001bz\u007f\u0085") + kNul,
        QStringLiteral("V1\u0001"),
        QStringLiteral("a\tb\r\nc"),
    };
    QStringList expected;
    for (const QString &bound : cases) {
        const QString stored = kept(bound);
        expected << stored;
        SCOPED_TRACE(QString(stored).toUtf8().toHex().toStdString());
        LogCapture log;
        ASSERT_TRUE(conn().execute(insertRemark(bound))) << conn().lastError().toStdString();
        // Found by the text as bound and by the text as stored, through a record set and a reader.
        for (const QString &key : {bound, stored}) {
            RecordSet rs(conn());
            ASSERT_TRUE(rs.open(findRemark(key)));
            EXPECT_EQ(rs.rowCount(), 1);
            EXPECT_EQ(rs.text(0), stored);
            RowReader reader(conn());
            ASSERT_TRUE(reader.open(findRemark(key)));
            ASSERT_TRUE(reader.next());
            EXPECT_EQ(reader.text(0), stored);
            EXPECT_FALSE(reader.next());
            EXPECT_FALSE(reader.failed());
        }

        const QByteArray bytes = log.bytes();
        if (bound == stored) {
            EXPECT_TRUE(bytes.isEmpty()) << bytes.toStdString();
            continue;
        }
        EXPECT_TRUE(bytes.contains("INSERT")) << bytes.toStdString();
        EXPECT_TRUE(bytes.contains("\\x00")) << bytes.toStdString();
        for (qsizetype i = 0; i < bytes.size(); ++i)
            EXPECT_TRUE(bytes.at(i) == '\n' || static_cast<unsigned char>(bytes.at(i)) >= 0x20) << "raw control byte at " << i;
    }
    EXPECT_EQ(stored(), expected);
}

// A row stored by another program with control characters in its texts: the texts read from it
// find it again, to update and to delete it, and a look-alike without them is left alone.
TEST_P(ControlCharStatements, ATextReadFromAStoredRowFindsThatRow)
{
    const QString odd = QStringLiteral("x\u0001y\u001fz\u009f");
    for (const QString &name : {odd, QStringLiteral("xyz")}) {
        QString error;
        ASSERT_TRUE(testsupport::TestDatabase::storeAsIs(conn(), QStringLiteral("日志记录"),
                                                         {{QStringLiteral("门店"), QStringLiteral("A")}, {QStringLiteral("用户名"), name}},
                                                         &error))
            << error.toStdString();
    }
    QString read;
    {
        RowReader reader(conn());
        ASSERT_TRUE(reader.open(buildSelectSql(dialect(), QStringLiteral("日志记录"), {QStringLiteral("用户名")}, Sql(), false,
                                               QStringLiteral("id ASC"), true)));
        ASSERT_TRUE(reader.next());
        read = reader.text(0);
    }
    ASSERT_EQ(read, odd);
    LogCapture log;
    ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), QStringLiteral("日志记录"), {{QStringLiteral("操作内容"), QStringLiteral("已找到")}},
                                              eq(QStringLiteral("用户名"), read), true)));
    EXPECT_EQ(conn().numRowsAffected(), 1);
    Sql remove(QStringLiteral("DELETE FROM ") + dialect().quoteTable(QStringLiteral("日志记录")) + QStringLiteral(" WHERE "));
    remove += both(eq(QStringLiteral("用户名"), read), eq(QStringLiteral("操作内容"), QStringLiteral("已找到")));
    ASSERT_TRUE(conn().execute(remove));
    EXPECT_EQ(conn().numRowsAffected(), 1);
    EXPECT_EQ(stored(), QStringList{QStringLiteral("xyz")});
    EXPECT_TRUE(log.bytes().isEmpty()) << log.bytes().toStdString();
}

// One operation with a NUL among its texts still commits whole.
TEST_P(ControlCharStatements, AnOperationWithOneCommitsWhole)
{
    const QString second = QStringLiteral("第二") + kNul + QStringLiteral("行");
    {
        Transaction t = conn().transaction();
        ASSERT_TRUE(conn().execute(insertRemark(QStringLiteral("第一行"))));
        ASSERT_TRUE(conn().execute(insertRemark(second)));
        ASSERT_TRUE(t.commit()) << conn().lastError().toStdString();
    }
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("第一行"), kept(second)}));
}

SHOPDESK_BOTH_BACKENDS(ControlCharStatements);

} // namespace
