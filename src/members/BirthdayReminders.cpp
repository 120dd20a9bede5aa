#include "members/BirthdayReminders.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "members/BirthdayReminderWindow.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramLog.h"

namespace members {

data::Sql birthdaySql(AppContext &context, const QString &key)
{
    const data::Dialect &dialect = context.connection().dialect();
    const data::Sql where = data::both(data::eq(QStringLiteral("本年生日"), key), memberScope(context));
    return data::buildSelectSql(dialect, kMemberTable, where, true, QStringLiteral("id ASC"), true);
}

MemberRows membersWithBirthday(AppContext &context, const QString &key)
{
    MemberRows result;
    data::RecordSet rs(context.connection());
    result.ok = rs.open(birthdaySql(context, key));
    if (result.ok)
        result.rows = memberRowsOf(rs);
    return result;
}

QDate refreshedBirthdayDate(AppContext &context)
{
    refreshToday(context, true);
    const DateParts &today = context.today;
    return dateOfToday(today);
}

QString birthdayWhenText(const QDate &today, int day)
{
    if (day == 0)
        return QStringLiteral("今天过生日");
    // 1 = Sunday ... 7 = Saturday, moved on by the day and wrapped.
    int weekday = today.dayOfWeek() % 7 + 1 + day;
    while (weekday > 7)
        weekday -= 7;
    return data::formatWeekday(weekday) + QStringLiteral("过生日");
}

int firstBirthdayDay(AppContext &context, const LunarKeyOf &lunarKeyOf, const QDate &today, bool *ok)
{
    if (ok)
        *ok = true;
    for (int day = 0; day < kBirthdayDays; ++day) {
        const MemberRows found = membersWithBirthday(context, lunarKeyOf(today.addDays(day)));
        if (!found.ok) {
            if (ok)
                *ok = false;
            return -1;
        }
        if (!found.rows.isEmpty())
            return day;
    }
    return -1;
}

QList<QStringList> birthdayListLines(AppContext &context, const LunarKeyOf &lunarKeyOf, const QDate &today, bool *ok)
{
    if (ok)
        *ok = true;
    QList<QStringList> lines;
    for (int day = 0; day < kBirthdayDays; ++day) {
        const MemberRows found = membersWithBirthday(context, lunarKeyOf(today.addDays(day)));
        if (!found.ok) {
            if (ok)
                *ok = false;
            continue;
        }
        const QString when = birthdayWhenText(today, day);
        for (const MemberRow &m : found.rows)
            lines << QStringList{m.card, m.name, m.tier, m.mobile, m.spend, m.lastPurchase, m.birthday, when};
    }
    return lines;
}

void checkMemberBirthdays(AppContext &context, const LunarKeyOf &lunarKeyOf, QWidget *parent)
{
    if (!lunarKeyOf) {
        programlog::write(QStringLiteral("Birthday reminders: no lunar calendar; nothing was checked."));
        return;
    }
    bool ok = true;
    const int day = firstBirthdayDay(context, lunarKeyOf, refreshedBirthdayDate(context), &ok);
    if (!ok) {
        MessageSeam::message(parent, QString(), kMemberReadFailed);
        return;
    }
    if (day < 0) {
        MessageSeam::message(parent, QString(), kNoBirthdaysSoon);
        return;
    }
    BirthdayReminderWindow window(context, lunarKeyOf, parent);
    MessageSeam::exec(&window);
}

} // namespace members
