#include "context/DiscountScheme.h"

#include <QRegularExpression>

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

bool isUsableDiscountFactor(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[0-9]*\\.?[0-9]+$"));
    bool ok = false;
    const double factor = text.toDouble(&ok);
    return decimal.match(text).hasMatch() && ok && factor > 0.0 && factor <= 1.0;
}
