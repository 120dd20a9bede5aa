#pragma once
#include <QString>
#include <QStringList>

// The shop's discount scheme: the columns of the same names of 折扣方案.
struct DiscountScheme
{
    QString 款号字母; // style-number prefix
    QString 商品折扣; // "真": items are priced with their own discount
    QString 统一折扣; // uniform discount factor as decimal text, or empty
    QString 自由优惠; // "真": the amount due may be changed at checkout

    static constexpr int count = 4;
    static const QStringList &columns();
    QString &operator[](int position);
    const QString &operator[](int position) const;
};

// A discount factor the counter may price with: a plain decimal above 0 and at most 1 ("0.8", ".75",
// "1"). Anything else ("7", "abc", "0.", "0") is no factor at all.
bool isUsableDiscountFactor(const QString &text);
