#pragma once
// A fresh shop database with an application context on it: shop "A", user 张三 (account zs) with
// every right, label printing on, the clock fixed, messages recorded instead of shown.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "printing/RecordingLabelPrinter.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace stocktest {

class StockFixture : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override { open(backendUnderTest()); }
    void TearDown() override
    {
        context.reset();
        database.reset();
        Clock::reset();
    }
    virtual data::Backend backendUnderTest() const { return GetParam(); }

    void open(data::Backend backend)
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
        database = std::make_unique<testsupport::TestDatabase>(backend);
        ASSERT_TRUE(database->ok()) << database->error().toStdString();
        context = std::make_unique<AppContext>();
        if (backend == data::Backend::Sqlite) {
            ASSERT_TRUE(context->connection().openSqlite(database->sqlitePath()));
            context->runMode = AppContext::SingleMachineMode;
        } else {
            ASSERT_TRUE(context->connection().openPostgres(database->serverSettings()));
            context->runMode = AppContext::NetworkMode;
        }
        context->currentShop = QStringLiteral("A");
        context->currentAccount = QStringLiteral("zs");
        context->currentUserName = QStringLiteral("张三");
        context->labelPrintFlag = AppContext::FlagOn;
        context->discountScheme.款号字母 = QStringLiteral("X");
        context->today = {QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), QStringLiteral("14"),
                          QStringLiteral("5")};
        for (int i = 0; i < AccountRights::count; ++i)
            context->accountRights[i] = AppContext::Granted;
    }

    AppContext &ctx() { return *context; }
    data::Connection &db() { return context->connection(); }

    // A table's name quoted as the backend under test quotes it.
    QString table(const QString &name) { return db().dialect().quoteTable(name); }
    // Runs a fixed statement (test data); fails the test when it fails.
    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(db().execute(data::Sql(sql, values))) << sql.toStdString() << " " << db().lastError().toStdString();
    }
    // The rows of a query, each row its texts of the given columns joined by "|".
    QStringList rows(const QString &sql, const QStringList &columns, const QVariantList &values = {})
    {
        data::RecordSet rs(db());
        EXPECT_TRUE(rs.open(data::Sql(sql, values))) << sql.toStdString();
        QStringList out;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            QStringList cells;
            for (const QString &c : columns)
                cells << rs.text(c);
            out << cells.join(u'|');
        }
        return out;
    }
    int count(const QString &table, const QString &where = QStringLiteral("1=1"), const QVariantList &values = {})
    {
        data::RecordSet rs(db());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM ") + db().dialect().quoteTable(table)
                                          + QStringLiteral(" WHERE ") + where,
                                      values)));
        return int(rs.integer(QStringLiteral("n")));
    }
    // A stock row of a shop with the given quantity and sold count; returns its id.
    QString stockRow(const QString &shop, const QString &name, const QString &quantity, const QString &sold = QStringLiteral("0"),
                     const QString &supplier = QStringLiteral("甲"), const QString &style = QStringLiteral("S1"))
    {
        const QString table = db().dialect().quoteTable(QStringLiteral("采购入库"));
        EXPECT_TRUE(db().execute(data::Sql(
            QStringLiteral("INSERT INTO ") + table
                + QStringLiteral(" (名称, 数量, 已售, 所属店铺, 供货来源, 款号, 进货价, 吊牌价, 拼音检索, 零库存, 入库日期, 类别) "
                                 "VALUES (?,?,?,?,?,?,'10','20',?,'1','2015-03-01','衬衫')"),
            {name, quantity, sold, shop, supplier, style, QString()})));
        data::RecordSet rs(db());
        rs.open(data::Sql(QStringLiteral("SELECT MAX(id) AS m FROM ") + table));
        return rs.text(QStringLiteral("m"));
    }

    std::unique_ptr<testsupport::TestDatabase> database;
    std::unique_ptr<AppContext> context;
    MessageScript messages;
    printing::RecordingLabelPrinter labels;
};

// The same fixture on SQLite only.
class SqliteStockFixture : public StockFixture {
protected:
    data::Backend backendUnderTest() const override { return data::Backend::Sqlite; }
};

} // namespace stocktest
