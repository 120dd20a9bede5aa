#pragma once
#include <QString>

// One member tier: the columns of the same names of a 会员类别 row.
struct MemberTier
{
    QString 会员折扣; // the tier's discount factor as text
    QString 会员类别; // the tier's name
    QString 累计积分; // the points at which a member reaches the tier

    bool operator==(const MemberTier &) const = default;
};
