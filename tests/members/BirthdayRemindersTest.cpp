// Birthday reminders: the check stops at the first of the four days with a birthday, the window
// lists the four days from one date with their texts, the sharing rule, and the lunar keys as the
// calendar gives them (fed here from a table).
#include "MemberFixture.h"

#include "members/BirthdayReminderWindow.h"
#include "members/BirthdayReminders.h"
#include "members/MemberExtras.h"

#include <QPushButton>
#include <QTest>
#include <vector>

using namespace members;
using membertest::MemberFixture;
using membertest::SqliteMemberFixture;

namespace {

struct Born {
    const char *card;
    const char *birthday; // 本年生日
    const char *shop;
};

template <typename Base>
class Birthdays : public Base {
protected:
    void born(const Born &b)
    {
        const data::Pairs row = {{QStringLiteral("会员卡号"), QString::fromUtf8(b.card)},
                                 {QStringLiteral("会员姓名"), QStringLiteral("寿星")},
                                 {QStringLiteral("会员类别"), QStringLiteral("金卡")},
                                 {QStringLiteral("手机"), QStringLiteral("13800001111")},
                                 {QStringLiteral("消费金额"), QStringLiteral("120")},
                                 {QStringLiteral("最近消费"), QStringLiteral("2015-03-01")},
                                 {QStringLiteral("本年生日"), QString::fromUtf8(b.birthday)},
                                 {QStringLiteral("所属店铺"), QString::fromUtf8(b.shop)}};
        ASSERT_TRUE(this->db().execute(data::buildInsertSql(this->db().dialect(), QStringLiteral("会员管理"), row)));
    }

    // The lunar calendar of a test: the keys of `first` and the days after it; "9999" elsewhere.
    // Every date asked is kept.
    LunarKeyOf keysFrom(const QDate &first, const QStringList &keys)
    {
        return [this, first, keys](const QDate &date) {
            asked << date;
            return keys.value(int(first.daysTo(date)), QStringLiteral("9999"));
        };
    }

    // Runs the check; the window's lines as "card|when" (empty when no window opened) and the days
    // the check itself asked before the window opened.
    void check(const LunarKeyOf &keyOf)
    {
        shown.clear();
        asked.clear();
        checkAsked = -1;
        this->messages.clear();
        this->messages.setDialogHandler([this](QDialog *dialog) {
            auto *window = qobject_cast<BirthdayReminderWindow *>(dialog);
            EXPECT_TRUE(window);
            if (!window)
                return int(QDialog::Rejected);
            checkAsked = int(asked.size()) - kBirthdayDays; // the window asks for all four days
            for (int r = 0; r < window->list()->rowCount(); ++r) {
                EXPECT_EQ(window->list()->rowTexts(r).size(), 8);
                shown << window->list()->cellText(r, 0) + u'|' + window->list()->cellText(r, 7);
            }
            return int(QDialog::Rejected);
        });
        checkMemberBirthdays(this->ctx(), keyOf, nullptr);
    }

    QStringList shown;
    QList<QDate> asked;
    int checkAsked = -1;
};

using BirthdayRemindersTest = Birthdays<SqliteMemberFixture>;

TEST_F(BirthdayRemindersTest, TheCheckStopsAtTheFirstDayAndTheWindowListsTheFourDays)
{
    const QString none = QStringLiteral("最近三天没有会员过生日！");
    struct Case {
        const char *name;
        QDate today;
        QStringList keys; // today and the next three days
        std::vector<Born> members;
        const char *sharing;
        int checkAsked;    // days the check looked at; -1: no window
        QStringList lines; // card|when
        QStringList messages;
    } cases[] = {
        {"a Monday: today and day 2, the leap second month found again",
         QDate(2023, 3, 20), {"0229", "0230", "0201", "0202"},
         {{"M2", "0201", "A"}, {"T1", "0229", "A"}, {"X1", "0301", "A"}}, "假", 1,
         {"T1|今天过生日", "M2|星期三过生日"}, {}},
        {"a Friday: Saturday, Sunday, Monday",
         QDate(2015, 3, 13), {"0123", "0124", "0125", "0126"},
         {{"N", "0126", "A"}, {"U", "0125", "A"}, {"S", "0124", "A"}}, "假", 2,
         {"S|星期六过生日", "U|星期日过生日", "N|星期一过生日"}, {}},
        {"only on day 3: four days asked", QDate(2015, 3, 11), {"0121", "0122", "0123", "0124"},
         {{"D3", "0124", "A"}}, "假", 4, {"D3|星期六过生日"}, {}},
        {"none in the four days", QDate(2015, 3, 11), {"0121", "0122", "0123", "0124"},
         {{"L", "0125", "A"}, {"E", "0120", "A"}}, "假", -1, {}, {none}},
        {"701 is no key", QDate(2015, 8, 14), {"0701", "0702", "0703", "0704"},
         {{"Q", "701", "A"}, {"R", "07011", "A"}}, "假", -1, {}, {none}},
        {"another shop's member with sharing off", QDate(2015, 3, 11), {"0121", "0122", "0123", "0124"},
         {{"B1", "0121", "B"}}, "假", -1, {}, {none}},
        {"another shop's member with sharing on", QDate(2015, 3, 11), {"0121", "0122", "0123", "0124"},
         {{"B1", "0121", "B"}, {"A1", "0122", "A"}}, "真", 1, {"B1|今天过生日", "A1|星期四过生日"}, {}},
        {"the first day of the leap month", QDate(2023, 3, 22), {"0201", "0202", "0203", "0204"},
         {{"M2", "0201", "A"}}, "假", 1, {"M2|今天过生日"}, {}},
        {"the first day of the month it repeats", QDate(2023, 2, 20), {"0201", "0202", "0203", "0204"},
         {{"M2", "0201", "A"}}, "假", 1, {"M2|今天过生日"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(db().execute(data::Sql(QStringLiteral("DELETE FROM 会员管理"))));
        for (const Born &b : c.members)
            born(b);
        ctx().shopSettings.会员共享 = QString::fromUtf8(c.sharing);
        // The clock is just past midnight; today of the context is still the day before.
        Clock::setFixed(QDateTime(c.today, QTime(0, 0, 5)));
        ctx().today = localDateParts(QDateTime(c.today.addDays(-1), QTime(23, 59)));

        check(keysFrom(c.today, c.keys));
        EXPECT_EQ(checkAsked, c.checkAsked);
        EXPECT_EQ(shown, c.lines);
        EXPECT_EQ(messages.texts(), c.messages);
        // Every day asked, by the check and by the window, counts from the one refreshed date.
        for (int i = 0; i < asked.size(); ++i) {
            const int day = c.checkAsked < 0 || i < c.checkAsked ? i : i - c.checkAsked;
            EXPECT_EQ(asked[i], c.today.addDays(day)) << i;
        }
    }
}

TEST_F(BirthdayRemindersTest, WeekdayTextsOfEveryStartingDay)
{
    // 2015-03-08 is a Sunday.
    const QStringList expected[] = {
        {"今天过生日", "星期一过生日", "星期二过生日", "星期三过生日"},
        {"今天过生日", "星期二过生日", "星期三过生日", "星期四过生日"},
        {"今天过生日", "星期三过生日", "星期四过生日", "星期五过生日"},
        {"今天过生日", "星期四过生日", "星期五过生日", "星期六过生日"},
        {"今天过生日", "星期五过生日", "星期六过生日", "星期日过生日"},
        {"今天过生日", "星期六过生日", "星期日过生日", "星期一过生日"},
        {"今天过生日", "星期日过生日", "星期一过生日", "星期二过生日"},
    };
    for (int d = 0; d < 7; ++d) {
        const QDate today = QDate(2015, 3, 8).addDays(d);
        QStringList texts;
        for (int day = 0; day < kBirthdayDays; ++day)
            texts << birthdayWhenText(today, day);
        EXPECT_EQ(texts, expected[d]) << today.toString(Qt::ISODate).toStdString();
    }
}

TEST_F(BirthdayRemindersTest, TheButtonOfThePageRunsTheCheckWithTheCalendarGiven)
{
    born({"P1", "0122", "A"});
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 7)));
    mountMemberExtras(*page, keysFrom(QDate(2015, 3, 11), {"0121", "0122", "0123", "0124"}));
    messages.setDialogHandler([](QDialog *) { return int(QDialog::Rejected); });
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("按钮14")), Qt::LeftButton);
    EXPECT_EQ(messages.dialogs(), QStringList{"BirthdayReminderWindow"});
    EXPECT_TRUE(messages.texts().isEmpty());
}

// On both backends, with today from the clock or the server: the shop's birthdays only while
// sharing is off, every shop's while it is on.
class BirthdayBackends : public Birthdays<MemberFixture> {};

TEST_P(BirthdayBackends, TheBirthdayQueryUnderBothSharingSettings)
{
    born({"A1", "0701", "A"});
    born({"B1", "0701", "B"});
    born({"A2", "0702", "A"});
    born({"A3", "701", "A"});
    const QDate today = backendUnderTest() == data::Backend::Sqlite
        ? Clock::now().date()
        : QDate::fromString(testsupport::serverDate(db()), Qt::ISODate);
    const LunarKeyOf keyOf = keysFrom(today, {"0701", "0702", "0703", "0704"});

    ctx().shopSettings.会员共享 = AppContext::FlagOff;
    check(keyOf);
    EXPECT_EQ(shown, (QStringList{"A1|今天过生日", "A2|" + birthdayWhenText(today, 1)}));
    ctx().shopSettings.会员共享 = AppContext::FlagOn;
    check(keyOf);
    EXPECT_EQ(shown, (QStringList{"A1|今天过生日", "B1|今天过生日", "A2|" + birthdayWhenText(today, 1)}));
    EXPECT_TRUE(messages.texts().isEmpty());

    const MemberRows found = membersWithBirthday(ctx(), QStringLiteral("0701"));
    ASSERT_TRUE(found.ok);
    ASSERT_EQ(found.rows.size(), 2);
    EXPECT_EQ(found.rows[1].card, QStringLiteral("B1"));
    EXPECT_EQ(found.rows[1].lastPurchase, QStringLiteral("2015-03-01"));
}

SHOPDESK_BOTH_BACKENDS(BirthdayBackends);

} // namespace
