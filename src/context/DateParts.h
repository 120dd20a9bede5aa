#pragma once
#include <QString>

// Today's date and the time of the last refresh, as texts. Month and day always have two digits
// ("03"); hour and minute have no leading zero when taken from the local clock ("9") and two digits
// when taken from the server's date ("09").
struct DateParts
{
    QString year;
    QString month;
    QString day;
    QString hour;
    QString minute;

    // "YYYY-MM-DD", the form stored dates take.
    QString dateText() const { return year + u'-' + month + u'-' + day; }
    bool operator==(const DateParts &) const = default;
};
