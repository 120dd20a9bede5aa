// The lunar calendar behind the members' birthday reminders: every day it knows against the
// answers of Debian's lunar program, dates from the printed calendars, moving by days, and the
// days it does not know.
#include "platform/Clock.h"
#include "platform/LunarCalendar.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>

namespace {

// tests/platform/fixtures/lunar-days.txt.gz, written by tools/gen_lunar_table.py: a header line,
// then "month leap day" for every day from 1900-01-31 to 2049-12-31.
TEST(LunarCalendar, EveryDayAgreesWithTheLunarProgram)
{
    const char *path = SHOPDESK_SOURCE_DIR "/tests/platform/fixtures/lunar-days.txt.gz";
    gzFile file = gzopen(path, "rb");
    ASSERT_NE(file, nullptr) << path;
    char line[128];
    ASSERT_NE(gzgets(file, line, sizeof line), nullptr);
    ASSERT_EQ(line[0], '#');

    QDate date = LunarCalendar::firstDay();
    LunarCalendar walking(date); // moved one day at a time; a fresh calendar is set to each day
    int days = 0;
    int mismatches = 0;
    while (gzgets(file, line, sizeof line)) {
        int month = 0, leap = 0, day = 0;
        ASSERT_EQ(std::sscanf(line, "%d %d %d", &month, &leap, &day), 3) << line;
        const LunarCalendar set(date);
        for (const LunarCalendar *calendar : {&set, static_cast<const LunarCalendar *>(&walking)}) {
            if (calendar->month() != month || calendar->isLeapMonth() != (leap == 1) || calendar->day() != day) {
                if (++mismatches <= 10)
                    ADD_FAILURE() << date.toString(Qt::ISODate).toStdString() << ": lunar says " << month
                                  << (leap ? " leap" : "") << "/" << day << ", the calendar "
                                  << calendar->month() << (calendar->isLeapMonth() ? " leap" : "") << "/"
                                  << calendar->day() << (calendar == &walking ? " (moved by days)" : "");
            }
        }
        date = date.addDays(1);
        walking.addDays(1);
        ++days;
    }
    gzclose(file);
    EXPECT_EQ(mismatches, 0);
    // The fixture covers the whole range, to the last day.
    EXPECT_EQ(days, LunarCalendar::firstDay().daysTo(LunarCalendar::lastDay()) + 1);
    EXPECT_EQ(LunarCalendar::firstDay(), QDate(1900, 1, 31));
    EXPECT_EQ(LunarCalendar::lastDay(), QDate(2049, 12, 31));
}

struct PrintedDate
{
    const char *name;
    QDate date;
    int month;
    bool leap;
    int day;
    const char *key;
};

class LunarPrintedDates : public ::testing::TestWithParam<PrintedDate> {};

TEST_P(LunarPrintedDates, GiveMonthDayAndKey)
{
    const PrintedDate &c = GetParam();
    const LunarCalendar calendar(c.date);
    EXPECT_TRUE(calendar.isValid());
    EXPECT_EQ(calendar.month(), c.month);
    EXPECT_EQ(calendar.isLeapMonth(), c.leap);
    EXPECT_EQ(calendar.day(), c.day);
    EXPECT_EQ(calendar.key(), QString::fromLatin1(c.key));
}

// From the published calendars. ICU's Chinese calendar is a day off on three of them: the Spring
// Festivals of 2027 and 2030 (it gives 7 and 2 February) and 2012-08-23 (it gives 0706).
INSTANTIATE_TEST_SUITE_P(
    Published, LunarPrintedDates,
    ::testing::Values(PrintedDate{"LeapSecondMonthBegins2023", QDate(2023, 3, 22), 2, true, 1, "0201"},
                      PrintedDate{"SecondMonthEnds2023", QDate(2023, 3, 21), 2, false, 30, "0230"},
                      PrintedDate{"LeapFourthMonthBegins2020", QDate(2020, 5, 23), 4, true, 1, "0401"},
                      PrintedDate{"LeapSixthMonthBegins2017", QDate(2017, 7, 23), 6, true, 1, "0601"},
                      PrintedDate{"SpringFestival2024", QDate(2024, 2, 10), 1, false, 1, "0101"},
                      PrintedDate{"NewYearsEve2024", QDate(2024, 2, 9), 12, false, 30, "1230"},
                      PrintedDate{"SpringFestival2027", QDate(2027, 2, 6), 1, false, 1, "0101"},
                      PrintedDate{"NewYearsEve2027", QDate(2027, 2, 5), 12, false, 29, "1229"},
                      PrintedDate{"SpringFestival2030", QDate(2030, 2, 3), 1, false, 1, "0101"},
                      PrintedDate{"Qixi2012", QDate(2012, 8, 23), 7, false, 7, "0707"},
                      PrintedDate{"SpringFestival1900", QDate(1900, 1, 31), 1, false, 1, "0101"}),
    [](const auto &info) { return std::string(info.param.name); });

struct Move
{
    const char *name;
    QDate from;
    int days;
    QDate to;
    bool leap;
    const char *key;
};

class LunarMoves : public ::testing::TestWithParam<Move> {};

TEST_P(LunarMoves, LandOnTheLunarDayOfTheNewDate)
{
    const Move &c = GetParam();
    LunarCalendar calendar(c.from);
    calendar.addDays(c.days);
    EXPECT_EQ(calendar.date(), c.to);
    EXPECT_EQ(calendar.isLeapMonth(), c.leap);
    EXPECT_EQ(calendar.key(), QString::fromLatin1(c.key));
}

INSTANTIATE_TEST_SUITE_P(
    ByDays, LunarMoves,
    ::testing::Values(Move{"Past30DayMonthEnd", QDate(2024, 2, 9), 1, QDate(2024, 2, 10), false, "0101"},
                      Move{"Past29DayMonthEnd", QDate(2027, 2, 4), 2, QDate(2027, 2, 6), false, "0101"},
                      Move{"IntoLeapMonth", QDate(2023, 3, 21), 1, QDate(2023, 3, 22), true, "0201"},
                      Move{"ThroughLeapMonth", QDate(2023, 3, 21), 30, QDate(2023, 4, 20), false, "0301"},
                      Move{"ToLeapMonthEnd", QDate(2023, 3, 22), 28, QDate(2023, 4, 19), true, "0229"},
                      Move{"OverGregorianYearEnd", QDate(2029, 12, 31), 3, QDate(2030, 1, 3), false, "1130"},
                      Move{"IntoNextLunarMonth", QDate(2029, 12, 31), 4, QDate(2030, 1, 4), false, "1201"},
                      Move{"BackOutOfLeapMonth", QDate(2023, 3, 22), -1, QDate(2023, 3, 21), false, "0230"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LunarCalendar, StartsAtTodayOfTheClock)
{
    Clock::setFixed(QDateTime(QDate(2023, 3, 22), QTime(23, 59, 30)));
    const LunarCalendar calendar;
    Clock::reset();
    EXPECT_EQ(calendar.date(), QDate(2023, 3, 22));
    EXPECT_EQ(calendar.key(), QStringLiteral("0201"));
    EXPECT_TRUE(calendar.isLeapMonth());
}

TEST(LunarCalendar, SetsAGregorianYearMonthAndDay)
{
    LunarCalendar calendar(QDate(2000, 1, 1));
    calendar.setDate(2012, 8, 23);
    EXPECT_EQ(calendar.date(), QDate(2012, 8, 23));
    EXPECT_EQ(calendar.key(), QStringLiteral("0707"));
}

// Days it does not know answer a key no stored birthday has, and the date is kept, so moving
// back into the range answers again.
TEST(LunarCalendar, UnknownDaysAnswerNoMonthAndKey0000)
{
    struct Unknown
    {
        const char *what;
        QDate date;
    } cases[] = {
        {"the day before the first", QDate(1900, 1, 30)},
        {"the day after the last", QDate(2050, 1, 1)},
        {"far ahead", QDate(2100, 6, 1)},
        {"no date", QDate()},
    };
    for (const Unknown &c : cases) {
        const LunarCalendar calendar(c.date);
        EXPECT_FALSE(calendar.isValid()) << c.what;
        EXPECT_EQ(calendar.month(), 0) << c.what;
        EXPECT_FALSE(calendar.isLeapMonth()) << c.what;
        EXPECT_EQ(calendar.day(), 0) << c.what;
        EXPECT_EQ(calendar.key(), QStringLiteral("0000")) << c.what;
    }

    LunarCalendar impossible(QDate(2023, 3, 22));
    impossible.setDate(2023, 2, 30);
    EXPECT_FALSE(impossible.isValid());
    EXPECT_EQ(impossible.key(), QStringLiteral("0000"));

    LunarCalendar calendar(QDate(2049, 12, 31));
    EXPECT_TRUE(calendar.isValid());
    calendar.addDays(1);
    EXPECT_EQ(calendar.date(), QDate(2050, 1, 1));
    EXPECT_FALSE(calendar.isValid());
    calendar.addDays(-1);
    EXPECT_TRUE(calendar.isValid());
    EXPECT_EQ(calendar.key(), LunarCalendar(QDate(2049, 12, 31)).key());
}

} // namespace
