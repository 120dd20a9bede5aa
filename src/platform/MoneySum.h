#pragma once
// A total of money kept exactly. Each amount counts as a whole number of millionths, so adding
// 20,000 amounts of two decimals gives the total a person would write down, not a double with
// noise in its last digits (3185772.400001). Every amount a shop stores has far fewer than six
// decimals; a product such as 进货价 × 数量 is counted once, rounded to millionths.
#include <QString>
#include <QtGlobal>

class MoneySum
{
public:
    MoneySum() = default;

    // Adds an amount, or the amount a text reads as (textToNumber).
    void add(double amount);
    void add(const QString &amount);
    // Adds price × quantity.
    void addProduct(double price, double quantity);

    double value() const;
    // The total as text (numberToText): "3185772.4".
    QString text() const;
    qint64 millionths() const { return m_millionths; }

    MoneySum operator-(const MoneySum &other) const;
    bool operator==(const MoneySum &) const = default;

private:
    static qint64 millionthsOf(double amount);
    qint64 m_millionths = 0;
};
