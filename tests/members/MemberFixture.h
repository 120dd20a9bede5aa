#pragma once
// A fresh shop database with an application context on it: shop "A", user 张三 (account zs) with
// every right, tiers 金卡/银卡/普通, the clock fixed at 2015-03-11 14:05:09, messages recorded
// instead of shown, and the member page.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ReportList.h"
#include "members/MemberPage.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QDateTime>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace membertest {

class MemberFixtureBase : public ::testing::Test {
protected:
    void SetUp() override { open(backendUnderTest()); }
    void TearDown() override
    {
        page.reset();
        context.reset();
        database.reset();
        Clock::reset();
    }
    virtual data::Backend backendUnderTest() const = 0;

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
        context->today = {QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), QStringLiteral("14"),
                          QStringLiteral("5")};
        context->shopSettings.会员共享 = AppContext::FlagOff;
        context->memberTiers[0] = {QStringLiteral("0.8"), QStringLiteral("金卡"), QStringLiteral("3000")};
        context->memberTiers[1] = {QStringLiteral("0.9"), QStringLiteral("银卡"), QStringLiteral("1000")};
        context->memberTiers[2] = {QStringLiteral("0.95"), QStringLiteral("普通"), QStringLiteral("0")};
        for (int i = 0; i < AccountRights::count; ++i)
            context->accountRights[i] = AppContext::Granted;
        page = std::make_unique<members::MemberPage>(*context);
    }

    AppContext &ctx() { return *context; }
    data::Connection &db() { return context->connection(); }

    // A member row; returns its id.
    QString member(const QString &card, const QString &shop = QStringLiteral("A"), const QString &name = QString(),
                   const QString &mobile = QString(), const QString &tier = QStringLiteral("普通"),
                   const QString &spend = QStringLiteral("0"), const QString &points = QStringLiteral("0"),
                   const QString &stored = QStringLiteral("0"))
    {
        const data::Pairs row = {{QStringLiteral("会员卡号"), card},   {QStringLiteral("会员姓名"), name},
                                 {QStringLiteral("会员类别"), tier},   {QStringLiteral("手机"), mobile},
                                 {QStringLiteral("消费金额"), spend},  {QStringLiteral("积分"), points},
                                 {QStringLiteral("会员储值"), stored}, {QStringLiteral("所属店铺"), shop}};
        EXPECT_TRUE(db().execute(data::buildInsertSql(db().dialect(), QStringLiteral("会员管理"), row)));
        data::RecordSet rs(db());
        rs.open(data::Sql(QStringLiteral("SELECT MAX(id) AS m FROM ") + db().dialect().quoteTable(QStringLiteral("会员管理"))));
        return rs.text(QStringLiteral("m"));
    }

    // What the page switch does before it lists the members: the tier combo, tier 3 first.
    void fillTierCombo()
    {
        auto *combo = page->findChild<QComboBox *>(QStringLiteral("会员类别3"));
        combo->clear();
        combo->addItem(ctx().memberTiers[2].会员类别, 1);
        combo->addItem(ctx().memberTiers[1].会员类别, 2);
        combo->addItem(ctx().memberTiers[0].会员类别, 3);
    }

    // The page switch's listing: the scope's members by id, walked from a record set.
    void openPage()
    {
        fillTierCombo();
        data::RecordSet rs(db());
        data::Sql where = members::memberScope(ctx());
        rs.open(data::buildSelectSql(db().dialect(), QStringLiteral("会员管理"), where, !where.isEmpty(),
                                     QStringLiteral("id ASC"), true));
        page->fillMemberList(rs);
    }

    // A column of the list, top to bottom.
    QStringList column(int c) const
    {
        QStringList cells;
        for (int r = 0; r < page->list()->rowCount(); ++r)
            cells << page->list()->cellText(r, c);
        return cells;
    }

    QStringList rows(const QString &sql, const QStringList &columns)
    {
        data::RecordSet rs(db());
        EXPECT_TRUE(rs.open(data::Sql(sql))) << sql.toStdString();
        QStringList out;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            QStringList cells;
            for (const QString &c : columns)
                cells << rs.text(c);
            out << cells.join(u'|');
        }
        return out;
    }

    std::unique_ptr<testsupport::TestDatabase> database;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<members::MemberPage> page;
    MessageScript messages;
};

// On both backends (a parameterised suite).
class MemberFixture : public MemberFixtureBase, public ::testing::WithParamInterface<data::Backend> {
protected:
    data::Backend backendUnderTest() const override { return GetParam(); }
};

class SqliteMemberFixture : public MemberFixtureBase {
protected:
    data::Backend backendUnderTest() const override { return data::Backend::Sqlite; }
};

} // namespace membertest
