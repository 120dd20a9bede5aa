// Bound texts reach either backend without control characters other than tab and line breaks:
// a text that still holds one is stored, and searched, without it, the same on both backends, and
// the log says so with the characters escaped.
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
};

TEST_P(ControlCharStatements, TextsAreStoredAndSearchedWithoutThem)
{
    const QString nul = QString(QChar(0));
    const struct {
        QString bound, stored;
    } cases[] = {
        {QStringLiteral("ab") + nul + QStringLiteral("cd"), QStringLiteral("abcd")},
        {nul + QStringLiteral("x\u0001y\u001bz\u007f\u0085") + nul, QStringLiteral("xyz")},
        {QStringLiteral("a\tb\r\nc"), QStringLiteral("a\tb\r\nc")}, // tab and line breaks are kept
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        LogCapture log;
        ASSERT_TRUE(conn().execute(insertRemark(c.bound))) << conn().lastError().toStdString();
        RecordSet rs(conn());
        ASSERT_TRUE(rs.open(findRemark(c.bound)));
        EXPECT_EQ(rs.rowCount(), 1);
        EXPECT_EQ(rs.text(0), c.stored);
        RowReader reader(conn());
        ASSERT_TRUE(reader.open(findRemark(c.bound)));
        ASSERT_TRUE(reader.next());
        EXPECT_EQ(reader.text(0), c.stored);
        EXPECT_FALSE(reader.next());
        EXPECT_FALSE(reader.failed());

        const QByteArray bytes = log.bytes();
        if (c.bound == c.stored) {
            EXPECT_TRUE(bytes.isEmpty()) << bytes.toStdString();
            continue;
        }
        EXPECT_TRUE(bytes.contains("INSERT")) << bytes.toStdString();
        EXPECT_TRUE(bytes.contains("\\x00")) << bytes.toStdString();
        for (qsizetype i = 0; i < bytes.size(); ++i)
            EXPECT_TRUE(bytes.at(i) == '\n' || static_cast<unsigned char>(bytes.at(i)) >= 0x20) << "raw control byte at " << i;
    }
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("abcd"), QStringLiteral("xyz"), QStringLiteral("a\tb\r\nc")}));
}

// One operation with such a text among its statements still commits whole.
TEST_P(ControlCharStatements, AnOperationWithOneCommitsWhole)
{
    {
        Transaction t = conn().transaction();
        ASSERT_TRUE(conn().execute(insertRemark(QStringLiteral("第一行"))));
        ASSERT_TRUE(conn().execute(insertRemark(QStringLiteral("第二") + QChar(0) + QStringLiteral("行"))));
        ASSERT_TRUE(t.commit()) << conn().lastError().toStdString();
    }
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("第一行"), QStringLiteral("第二行")}));
}

SHOPDESK_BOTH_BACKENDS(ControlCharStatements);

} // namespace
