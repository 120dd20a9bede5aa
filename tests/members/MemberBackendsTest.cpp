// The member list, a search, a numeric sort and an adding on both backends.
#include "MemberFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

using namespace members;
using membertest::MemberFixture;

namespace {

class MemberBackends : public MemberFixture {};

TEST_P(MemberBackends, ListSearchSortAndAdd)
{
    member(QStringLiteral("P1"), QStringLiteral("A"), QStringLiteral("O'Neil"), QStringLiteral("13800001111"),
           QStringLiteral("金卡"), QStringLiteral("100"));
    member(QStringLiteral("p2"), QStringLiteral("A"), QStringLiteral("王_芳"), QStringLiteral("13900002222"),
           QStringLiteral("银卡"), QStringLiteral("9"));
    member(QStringLiteral("P3"), QStringLiteral("B"), QStringLiteral("李四"), QStringLiteral("13800003333"),
           QStringLiteral("金卡"), QStringLiteral("10"));

    // The page switch's listing: the shop's members by id.
    openPage();
    EXPECT_EQ(column(1), (QStringList{"P1", "p2"}));
    EXPECT_EQ(page->smsNumbers().batches[9], QStringLiteral("13800001111,13900002222,"));

    // Searches ignore ASCII case, take ' and _ as typed, and follow the sharing rule.
    EXPECT_EQ(searchMembers(ctx(), MemberSearch::CardNo, QStringLiteral("p")).rows.size(), 2);
    EXPECT_EQ(searchMembers(ctx(), MemberSearch::Name, QStringLiteral("O'N")).rows.value(0).card, QStringLiteral("P1"));
    EXPECT_EQ(searchMembers(ctx(), MemberSearch::Name, QStringLiteral("_")).rows.size(), 1);
    ctx().shopSettings.会员共享 = AppContext::FlagOn;
    page->findChild<QLineEdit *>(QStringLiteral("手机3"))->setText(QStringLiteral("138"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("会员手机查")), Qt::LeftButton);
    EXPECT_EQ(column(1), (QStringList{"P1", "P3"}));

    // Spending sorts by number, not as text.
    page->sortMemberList(5);
    EXPECT_EQ(column(5), (QStringList{"9", "10", "100"}));
    ctx().shopSettings.会员共享 = AppContext::FlagOff;

    // Adding: the duplicate is refused, a new card is stored exactly and listed last.
    MemberForm form;
    form.card = QStringLiteral("P1");
    EXPECT_EQ(addMember(ctx(), form).message, QStringLiteral("卡号『P1』已存在，不能重复添加"));
    form.card = QStringLiteral("P3"); // another shop's card, sharing off
    form.name = QStringLiteral("D'Arcy");
    form.tier = QStringLiteral("银卡");
    form.spend = QStringLiteral("15");
    form.remark = QStringLiteral("a,b=c'd");
    const MemberResult added = addMember(ctx(), form);
    EXPECT_TRUE(added.changed);
    EXPECT_EQ(added.message, QString());
    const QString table = db().dialect().quoteTable(QStringLiteral("会员管理"));
    // The opening date is today's: the fixed clock's on SQLite, the server's on PostgreSQL.
    const QString today = backendUnderTest() == data::Backend::Sqlite ? QStringLiteral("2015-03-11")
                                                                      : testsupport::serverDate(db());
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE 所属店铺='A' ORDER BY id"),
                   {"会员卡号", "会员姓名", "会员类别", "消费金额", "积分", "备注", "会员储值", "办理人", "开卡日期"})
                  .last(),
              QStringLiteral("P3|D'Arcy|银卡|15|0|a,b=c'd|0|张三|") + today);
    EXPECT_EQ(listMembers(ctx()).rows.last().card, QStringLiteral("P3"));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ") + db().dialect().quoteTable(QStringLiteral("日志记录")), {"操作内容"}),
              QStringList{QStringLiteral("会员管理--添加会员!  P3  D'Arcy  银卡  15  0")});
}

SHOPDESK_BOTH_BACKENDS(MemberBackends);

} // namespace

namespace {

// Two workstations of the shop add the same new card at once: the second one is refused.
class MemberAddConcurrency : public membertest::MemberFixtureBase {
protected:
    data::Backend backendUnderTest() const override { return data::Backend::Postgres; }
    int waitingForLocks() { return testsupport::TestDatabase::waitingForLocks(db()); }
};

// A third connection holds the members table against writes (reads go on) until both stations wait,
// each at its insert or for the other's lock. Without the lock both would have found the card free.
TEST_F(MemberAddConcurrency, SameCardAddedTwiceAtOnceIsStoredOnce)
{
    data::Connection holder;
    ASSERT_TRUE(database->openAnother(holder));
    data::Transaction hold = holder.transaction();
    ASSERT_TRUE(hold.isActive());
    ASSERT_TRUE(holder.execute(data::Sql(QStringLiteral("LOCK TABLE \"会员管理\" IN SHARE MODE"))));

    MemberResult results[2];
    std::atomic<int> opened{0};
    auto station = [&](int k) {
        AppContext station;
        if (!database->openAnother(station.connection()))
            return;
        ++opened;
        station.runMode = AppContext::NetworkMode;
        station.currentShop = QStringLiteral("A");
        station.currentAccount = QStringLiteral("zs");
        station.currentUserName = QStringLiteral("站%1").arg(k);
        station.accountRights.添加会员 = AppContext::Granted;
        MemberForm form;
        form.card = QStringLiteral("NEW1");
        form.name = QStringLiteral("站%1").arg(k);
        results[k] = addMember(station, form);
        station.connection().close();
    };
    std::thread one(station, 0);
    std::thread two(station, 1);
    bool met = false;
    for (long poll = 0; poll < 1000000 && !met; ++poll)
        met = waitingForLocks() >= 2;
    EXPECT_TRUE(met) << "the stations never waited together";
    EXPECT_TRUE(hold.commit());
    one.join();
    two.join();

    ASSERT_EQ(opened.load(), 2);
    EXPECT_NE(results[0].changed, results[1].changed);
    const MemberResult &refused = results[0].changed ? results[1] : results[0];
    EXPECT_EQ(refused.message, QStringLiteral("卡号『NEW1』已存在，不能重复添加"));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM \"会员管理\""), {"会员卡号"}), QStringList{QStringLiteral("NEW1")});
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM \"日志记录\""), {"用户名"}), QStringList{QStringLiteral("zs")});
}

} // namespace
