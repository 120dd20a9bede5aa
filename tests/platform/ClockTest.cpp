#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, FixedTimeHoldsUntilReset)
{
    const QDateTime fixed(QDate(2026, 3, 5), QTime(9, 5, 7));
    Clock::setFixed(fixed);
    EXPECT_TRUE(Clock::isFixed());
    EXPECT_EQ(Clock::now(), fixed);
    EXPECT_EQ(Clock::now(), fixed); // does not run on

    Clock::reset();
    EXPECT_FALSE(Clock::isFixed());
    const QDateTime system = QDateTime::currentDateTime();
    EXPECT_LE(qAbs(Clock::now().secsTo(system)), 5);
}
