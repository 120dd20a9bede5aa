#include "context/DateSplit.h"

DateSplit DateSplit::fromDate(const QDate &date)
{
    DateSplit split;
    const QString text = QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
    split.yearParts = text.split(u'年');
    split.monthParts = split.yearParts.value(1).split(u'月');
    split.dayParts = split.monthParts.value(1).split(u'日');
    split.right2 = split.yearParts.value(0).right(2);
    split.month2 = (u'0' + split.monthParts.value(0)).right(2);
    split.day2 = (u'0' + split.dayParts.value(0)).right(2);
    return split;
}

DateSplit &pickedDate()
{
    static DateSplit instance;
    return instance;
}
