#include "platform/LunarCalendar.h"

#include "platform/Clock.h"
#include "platform/LunarTable.h"

#include <algorithm>

LunarCalendar::LunarCalendar()
    : LunarCalendar(Clock::now().date())
{
}

LunarCalendar::LunarCalendar(const QDate &date)
{
    setDate(date);
}

void LunarCalendar::setDate(const QDate &date)
{
    m_date = date;
    update();
}

void LunarCalendar::setDate(int year, int month, int day)
{
    setDate(QDate(year, month, day));
}

void LunarCalendar::addDays(int days)
{
    setDate(m_date.addDays(days));
}

QString LunarCalendar::key() const
{
    return QStringLiteral("%1%2").arg(m_month, 2, 10, QLatin1Char('0')).arg(m_day, 2, 10, QLatin1Char('0'));
}

QDate LunarCalendar::firstDay()
{
    return lunar::tableFirstDay();
}

QDate LunarCalendar::lastDay()
{
    return lunar::tableLastDay();
}

void LunarCalendar::update()
{
    m_month = 0;
    m_leap = false;
    m_day = 0;
    if (!m_date.isValid() || m_date < firstDay() || m_date > lastDay())
        return;
    const qint64 offset = firstDay().daysTo(m_date);
    const auto months = lunar::monthStarts();
    // The month is the last one that begins on or before the date.
    const auto next = std::upper_bound(months.begin(), months.end(), offset,
                                       [](qint64 day, const lunar::LunarMonthStart &m) { return day < m.day; });
    const lunar::LunarMonthStart &month = *(next - 1);
    m_month = month.month;
    m_leap = month.leap != 0;
    m_day = int(offset - month.day) + 1;
}
