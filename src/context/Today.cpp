#include "context/Today.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/Clock.h"
#include "platform/ProgramLog.h"

namespace {

bool digitsAt(const QString &text, int from, int count)
{
    for (int i = from; i < from + count; ++i) {
        if (!text[i].isDigit() || text[i].unicode() > 0x7F)
            return false;
    }
    return true;
}

// Reads the server's date. False when the statement failed or the text is no date.
bool readServerDate(AppContext &context, DateParts *parts)
{
    data::Connection &connection = context.connection();
    if (!connection.isOpen()) {
        programlog::write(QStringLiteral("Server date: the shop database is not open; the local clock is used."));
        return false;
    }
    data::RecordSet rows(connection);
    if (!rows.open(connection.dialect().serverDateSql())) {
        programlog::write(QStringLiteral("Server date could not be read; the local clock is used."));
        return false;
    }
    const QString text = rows.text(0);
    if (!cutServerDate(text, parts)) {
        programlog::write(QStringLiteral("Server date has an unexpected form (\"%1\"); the local clock is used.").arg(text));
        return false;
    }
    context.serverDateText = text;
    return true;
}

void setParts(DateParts &today, const DateParts &from, bool withTime)
{
    today.year = from.year;
    today.month = from.month;
    today.day = from.day;
    if (withTime) {
        today.hour = from.hour;
        today.minute = from.minute;
    }
}

} // namespace

DateParts localDateParts(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    DateParts parts;
    parts.year = QString::number(date.year());
    parts.month = QStringLiteral("%1").arg(date.month(), 2, 10, QChar(u'0'));
    parts.day = QStringLiteral("%1").arg(date.day(), 2, 10, QChar(u'0'));
    parts.hour = QString::number(clock.hour());
    parts.minute = QString::number(clock.minute());
    return parts;
}

bool cutServerDate(const QString &text, DateParts *parts)
{
    // 'YYYY-MM-DD HH:MM' at least; the seconds are not used.
    if (text.size() < 16 || text[4] != u'-' || text[7] != u'-' || (text[10] != u' ' && text[10] != u'T')
        || text[13] != u':' || !digitsAt(text, 0, 4) || !digitsAt(text, 5, 2) || !digitsAt(text, 8, 2)
        || !digitsAt(text, 11, 2) || !digitsAt(text, 14, 2))
        return false;
    parts->year = text.mid(0, 4);
    parts->month = text.mid(5, 2);
    parts->day = text.mid(8, 2);
    parts->hour = text.mid(11, 2);
    parts->minute = text.mid(14, 2);
    return true;
}

void refreshToday(AppContext &context, bool withTime)
{
    if (context.isSingleMachine()) {
        setParts(context.today, localDateParts(Clock::now()), withTime);
    } else if (context.isNetwork()) {
        DateParts server;
        if (readServerDate(context, &server))
            setParts(context.today, server, withTime);
        else
            setParts(context.today, localDateParts(Clock::now()), withTime);
    }
}

void refreshTodayAtStartup(AppContext &context)
{
    setParts(context.today, localDateParts(Clock::now()), false);
    if (context.isNetwork()) {
        DateParts server;
        if (readServerDate(context, &server))
            setParts(context.today, server, false);
    }
}

DateParts datingNow(AppContext &context)
{
    refreshToday(context, true);
    return context.today;
}

QString todayText(const AppContext &context)
{
    return context.today.dateText();
}

QDate dateOfToday(const DateParts &today)
{
    const QDate date(today.year.toInt(), today.month.toInt(), today.day.toInt());
    return date.isValid() ? date : Clock::now().date();
}
