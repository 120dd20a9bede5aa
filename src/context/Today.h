#pragma once
#include <QDate>
// Today's date parts: from the workstation's clock in single-machine mode, from the server's clock
// in network mode. Every reading of the local time goes through Clock.
#include "context/DateParts.h"

#include <QDateTime>
#include <QString>

class AppContext;

// The parts of a local time: month and day zero-padded ("03"), hour and minute without a leading
// zero ("9", "5").
DateParts localDateParts(const QDateTime &time);

// Cuts a server date 'YYYY-MM-DD HH:MM:SS' by position: year 1-4, month 6-7, day 9-10, hour 12-13,
// minute 15-16 (so the hour keeps its two digits, "09"). False, with *parts untouched, when the text
// does not have that form.
bool cutServerDate(const QString &text, DateParts *parts);

// Refreshes context.today. Single-machine mode: from Clock. Network mode: from the server's date
// (kept in serverDateText); when it cannot be read, from Clock, and the failure is logged. Any other
// mode: nothing changes. Without withTime only year, month and day change.
void refreshToday(AppContext &context, bool withTime = true);

// The start-up form: year, month and day from Clock in every mode, then in network mode from the
// server's date; hour and minute are not set.
void refreshTodayAtStartup(AppContext &context);

// Refreshes today (with the time) and returns it. Everything that dates a row it writes uses this,
// so that a program left running past midnight never writes yesterday's date.
DateParts datingNow(AppContext &context);

// today as "YYYY-MM-DD" (the values of the last refresh).
QString todayText(const AppContext &context);

// The date the parts name, or the clock's date when they name none.
QDate dateOfToday(const DateParts &today);
