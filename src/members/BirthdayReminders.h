#pragma once
// Birthday reminders: the members whose lunar birthday (本年生日, "MMDD") falls today or on one of
// the next three days. The four days, and the weekday texts of days 1 to 3, all count from one
// date: today of the context, refreshed once when the check or the window starts (the server's
// date in network mode), so the days are consecutive and the weekdays right even past midnight.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "data/Sql.h"
#include "members/MemberList.h"

class AppContext;
class QWidget;

namespace members {

// The lunar key of a Gregorian date: the lunar month (a leap month gives the number of the month
// it repeats) and the lunar day, two digits each ("0701", "1123"). The lunar calendar provides it.
using LunarKeyOf = std::function<QString(const QDate &)>;

inline const QString kNoBirthdaysSoon = QStringLiteral("最近三天没有会员过生日！");
inline const QString kBirthdayExportPrefix = QStringLiteral("会员生日提醒");
inline constexpr int kBirthdayDays = 4; // today and the next three days

// The members of the scope (the sharing rule) whose 本年生日 is the key exactly, by id.
data::Sql birthdaySql(AppContext &context, const QString &key);
MemberRows membersWithBirthday(AppContext &context, const QString &key);

// Refreshes today and returns it as a date (the local clock's date when today cannot be read).
QDate refreshedBirthdayDate(AppContext &context);

// Column 7 of the reminder list: "今天过生日" for day 0; for days 1 to 3 the weekday of that day
// ("星期三") followed by "过生日".
QString birthdayWhenText(const QDate &today, int day);

// The first of the four days from today with a birthday (0 to 3), querying day by day and stopping
// at the first hit; -1 when none has one. *ok is false when a query failed (the search stops then).
int firstBirthdayDay(AppContext &context, const LunarKeyOf &lunarKeyOf, const QDate &today, bool *ok = nullptr);

// The reminder list: day by day from today, each day's members by id, eight cells each (会员卡号,
// 会员姓名, 会员类别, 手机, 消费金额, 最近消费, 本年生日, and when the birthday is).
QList<QStringList> birthdayListLines(AppContext &context, const LunarKeyOf &lunarKeyOf, const QDate &today,
                                     bool *ok = nullptr);

// The start-up check (生日提醒 "真") and the button 按钮14: opens BirthdayReminderWindow (modal) at the
// first day with a birthday, or says "最近三天没有会员过生日！". Without a lunar calendar nothing
// is checked.
void checkMemberBirthdays(AppContext &context, const LunarKeyOf &lunarKeyOf, QWidget *parent);

} // namespace members
