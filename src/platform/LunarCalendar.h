#pragma once
// A Gregorian date and its Chinese lunar month and day, for the members' lunar birthdays.
//
// The calendar shows one date at a time: it starts at today's date (from Clock), can be set to
// another date and moved by days, and answers the lunar month and day of the date it shows.
// It knows the days from 1900-01-31 to 2049-12-31. Outside them (and for an invalid date) it
// keeps the date but answers month 0, day 0, no leap month and the key "0000", which matches no
// stored birthday; isValid() tells the two cases apart.
#include <QDate>
#include <QString>

class LunarCalendar
{
public:
    // Shows today's date (Clock::now()).
    LunarCalendar();
    explicit LunarCalendar(const QDate &date);

    void setDate(const QDate &date);
    // The date from a Gregorian year, month and day; an impossible one (2023, 2, 30) is invalid.
    void setDate(int year, int month, int day);
    // Moves the shown date by a number of days (forward when positive).
    void addDays(int days);

    QDate date() const { return m_date; }
    // Whether the shown date lies in the days the calendar knows.
    bool isValid() const { return m_month != 0; }

    // Lunar month 1-12; inside a leap month the number of the month it repeats.
    int month() const { return m_month; }
    // Whether the shown day lies in a leap month.
    bool isLeapMonth() const { return m_leap; }
    // Lunar day 1-30.
    int day() const { return m_day; }
    // The lunar key: two-digit month then two-digit day, "0701" for the first day of the seventh
    // month; a leap month gives the key of the month it repeats.
    QString key() const;

    // The days the calendar knows.
    static QDate firstDay();
    static QDate lastDay();

private:
    void update();

    QDate m_date;
    int m_month = 0;
    bool m_leap = false;
    int m_day = 0;
};
