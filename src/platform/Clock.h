#pragma once
// Every reading of "now" in the program goes through this clock: dates and times written into rows,
// receipt numbers, generated barcodes. Tests fix the time with setFixed() and undo it with reset().
#include <QDateTime>

class Clock
{
public:
    // The local date and time: the fixed time while one is set, else the system clock.
    static QDateTime now();
    // From now on now() returns this time (until reset() or another setFixed()).
    static void setFixed(const QDateTime &time);
    // Back to the system clock.
    static void reset();
    static bool isFixed();
};
