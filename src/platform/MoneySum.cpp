#include "platform/MoneySum.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {
constexpr double kScale = 1e6;
// Beyond this a total could not be held in millionths (about nine trillion).
constexpr double kLimit = 9e12;
} // namespace

qint64 MoneySum::millionthsOf(double amount)
{
    if (!std::isfinite(amount) || std::fabs(amount) >= kLimit)
        return 0;
    return std::llround(amount * kScale);
}

void MoneySum::add(double amount)
{
    m_millionths += millionthsOf(amount);
}

void MoneySum::add(const QString &amount)
{
    add(textToNumber(amount));
}

void MoneySum::addProduct(double price, double quantity)
{
    add(price * quantity);
}

double MoneySum::value() const
{
    // One correctly rounded division: the double nearest to the exact total.
    return double(m_millionths) / kScale;
}

QString MoneySum::text() const
{
    return numberToText(value());
}

MoneySum MoneySum::operator-(const MoneySum &other) const
{
    MoneySum out;
    out.m_millionths = m_millionths - other.m_millionths;
    return out;
}
