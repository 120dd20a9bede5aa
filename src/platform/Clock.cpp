#include "platform/Clock.h"

namespace {
QDateTime fixedTime;
bool fixedSet = false;
} // namespace

QDateTime Clock::now()
{
    return fixedSet ? fixedTime : QDateTime::currentDateTime();
}

void Clock::setFixed(const QDateTime &time)
{
    fixedTime = time;
    fixedSet = true;
}

void Clock::reset()
{
    fixedTime = QDateTime();
    fixedSet = false;
}

bool Clock::isFixed()
{
    return fixedSet;
}
