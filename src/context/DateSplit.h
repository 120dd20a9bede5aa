#pragma once
// The picked date of a date picker in the split form the sales page's report routines read:
// the text "2015年3月11日" cut at 年, 月 and 日, with the year's last two digits and the month and
// day as two digits (right2 "15", month2 "03", day2 "11").
#include <QDate>
#include <QString>
#include <QStringList>

struct DateSplit
{
    QStringList yearParts;  // the date text split at "年"
    QStringList monthParts; // element 1 of yearParts split at "月"
    QStringList dayParts;   // element 1 of monthParts split at "日"
    QString right2;         // last two digits of the year
    QString month2;         // two-digit month
    QString day2;           // two-digit day

    static DateSplit fromDate(const QDate &date);
};

// The program's one picked date, filled by the page switch of the sales page.
DateSplit &pickedDate();
