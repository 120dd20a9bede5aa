#include "context/AppContext.h"
#include "platform/Clock.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QDateTime at(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, 7));
}

class TodayTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); ProgramDir::set(home.path()); }
    void TearDown() override
    {
        Clock::reset();
        ProgramDir::set(QCoreApplication::applicationDirPath());
    }

    QTemporaryDir home;
    AppContext context;
};

struct LocalCase
{
    QDateTime time;
    DateParts expected;
};

TEST(LocalDateParts, MonthAndDayPaddedHourAndMinuteNot)
{
    const LocalCase cases[] = {
        {at(2026, 3, 5, 9, 5), {"2026", "03", "05", "9", "5"}},
        {at(2026, 12, 31, 23, 59), {"2026", "12", "31", "23", "59"}},
        {at(2027, 1, 1, 0, 0), {"2027", "01", "01", "0", "0"}},
        {at(2026, 10, 10, 10, 10), {"2026", "10", "10", "10", "10"}},
    };
    for (const LocalCase &c : cases)
        EXPECT_EQ(localDateParts(c.time), c.expected) << qPrintable(c.time.toString());
}

TEST(CutServerDate, CutsByPositionKeepingTwoDigitHours)
{
    DateParts parts;
    ASSERT_TRUE(cutServerDate(QStringLiteral("2026-03-05 09:05:07"), &parts));
    EXPECT_EQ(parts, (DateParts{"2026", "03", "05", "09", "05"}));
    EXPECT_EQ(parts.dateText(), QStringLiteral("2026-03-05"));

    const DateParts before{"x", "x", "x", "x", "x"};
    for (const char *bad : {"", "--", "2026-03-05", "2026/03/05 09:05:07", "2026-3-5 9:05:07", "abcd-ef-gh ij:kl:mn"}) {
        parts = before;
        EXPECT_FALSE(cutServerDate(QString::fromUtf8(bad), &parts)) << bad;
        EXPECT_EQ(parts, before) << bad;
    }
}

TEST_F(TodayTest, SingleMachineTakesTheLocalClock)
{
    context.runMode = AppContext::SingleMachineMode;
    Clock::setFixed(at(2026, 3, 5, 9, 5));
    refreshToday(context);
    EXPECT_EQ(context.today, (DateParts{"2026", "03", "05", "9", "5"}));
    EXPECT_EQ(todayText(context), QStringLiteral("2026-03-05"));

    Clock::setFixed(at(2026, 3, 6, 14, 30));
    refreshToday(context, false);
    EXPECT_EQ(context.today, (DateParts{"2026", "03", "06", "9", "5"})); // the time stays
}

TEST_F(TodayTest, OtherModesChangeNothing)
{
    Clock::setFixed(at(2026, 3, 5, 9, 5));
    context.today = DateParts{"2020", "01", "01", "1", "1"};
    refreshToday(context);
    EXPECT_EQ(context.today, (DateParts{"2020", "01", "01", "1", "1"}));
}

TEST_F(TodayTest, FailedServerDateFallsBackToTheLocalClockAndIsLogged)
{
    context.runMode = AppContext::NetworkMode; // the connection is not open
    context.serverDateText = QStringLiteral("2026-03-04 23:59:00");
    Clock::setFixed(at(2026, 3, 5, 9, 5));

    refreshToday(context);
    EXPECT_EQ(context.today, (DateParts{"2026", "03", "05", "9", "5"}));
    EXPECT_EQ(todayText(context), QStringLiteral("2026-03-05"));
    EXPECT_EQ(context.serverDateText, QStringLiteral("2026-03-04 23:59:00"));

    QFile log(ProgramDir::file(ProgramDir::logFileName()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(QStringLiteral("Server date")));
}

TEST_F(TodayTest, StartUpSetsTheDateOnlyEvenWithoutAServer)
{
    context.runMode = AppContext::NetworkMode;
    Clock::setFixed(at(2026, 3, 5, 9, 5));
    refreshTodayAtStartup(context);
    EXPECT_EQ(context.today, (DateParts{"2026", "03", "05", "", ""}));

    AppContext noMode;
    refreshTodayAtStartup(noMode);
    EXPECT_EQ(todayText(noMode), QStringLiteral("2026-03-05"));
}

TEST_F(TodayTest, DatingAWritePastMidnightGivesTheNewDay)
{
    context.runMode = AppContext::SingleMachineMode;
    Clock::setFixed(at(2026, 3, 5, 23, 59));
    refreshToday(context);

    Clock::setFixed(at(2026, 3, 6, 0, 1));
    const DateParts dated = datingNow(context);
    EXPECT_EQ(dated.dateText(), QStringLiteral("2026-03-06"));
    EXPECT_EQ(dated.hour, QStringLiteral("0"));
    EXPECT_EQ(todayText(context), QStringLiteral("2026-03-06"));
}

} // namespace
