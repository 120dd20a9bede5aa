#include "context/DiscountScheme.h"

namespace {
using Field = QString DiscountScheme::*;
constexpr Field fields[DiscountScheme::count] = {&DiscountScheme::款号字母, &DiscountScheme::商品折扣,
                                                 &DiscountScheme::统一折扣, &DiscountScheme::自由优惠};
} // namespace

const QStringList &DiscountScheme::columns()
{
    static const QStringList names{QStringLiteral("款号字母"), QStringLiteral("商品折扣"), QStringLiteral("统一折扣"),
                                   QStringLiteral("自由优惠")};
    return names;
}

QString &DiscountScheme::operator[](int position)
{
    return this->*fields[position];
}

const QString &DiscountScheme::operator[](int position) const
{
    return this->*fields[position];
}
