#include "platform/NumberText.h"

#include <cmath>
#include <limits>

double roundTo(double x, int n)
{
    if (!std::isfinite(x) || x == 0.0)
        return x == 0.0 ? 0.0 : x;
    const double scale = std::pow(10.0, n);
    const double magnitude = std::floor(std::fabs(x) * scale + 1e-12 + 0.5) / scale;
    if (magnitude == 0.0)
        return 0.0; // never "-0"
    return x < 0 ? -magnitude : magnitude;
}

QString numberToText(double x)
{
    if (!std::isfinite(x) || x == 0.0)
        return QStringLiteral("0");
    // 'g' with 13 digits is exactly the rule: trailing zeros dropped, an exponent when the decimal
    // exponent (after rounding to 13 digits) is below -4 or 13 and above. Qt's form does not depend
    // on the locale.
    return QString::number(x, 'g', 13);
}

namespace {

// Full-width ASCII (U+FF01..U+FF5E) and the ideographic space become their half-width forms.
QChar halfWidth(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - 0xFEE0));
    if (u == 0x3000)
        return QChar(u' ');
    return c;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

QString toHalfWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = halfWidth(c);
    return out;
}

double textToNumber(const QString &text)
{
    // Most texts read are plain whole numbers ("3", "40"): up to 15 half-width digits are read
    // here exactly, without building a copy of the text.
    const qsizetype length = text.size();
    if (length > 0 && length <= 15) {
        const QChar *c = text.constData();
        qint64 whole = 0;
        qsizetype i = 0;
        while (i < length && isDigit(c[i])) {
            whole = whole * 10 + (c[i].unicode() - u'0');
            ++i;
        }
        if (i == length)
            return double(whole);
    }

    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        s.append(halfWidth(c));

    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && (s[i] == u' ' || s[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype end = i;
    // An exponent counts only when it is complete: "2e" and "2e+" read as 2.
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        if (j < n && isDigit(s[j])) {
            while (j < n && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    QString number = s.mid(start, end - start);
    if (number.endsWith(u'.'))
        number.chop(1);
    const double value = number.toDouble(&ok); // QString::toDouble is locale-independent
    if (!ok || !std::isfinite(value))
        return 0.0;
    return value;
}

qint64 textToInteger(const QString &text)
{
    const double whole = std::trunc(textToNumber(text));
    constexpr double limit = 9.2e18;
    if (whole >= limit)
        return std::numeric_limits<qint64>::max();
    if (whole <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(whole);
}

std::optional<qint64> typedWholeNumber(const QString &typed)
{
    const QString text = toHalfWidth(typed).trimmed();
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype digits = text.size() - i;
    if (digits < 1 || digits > 15)
        return std::nullopt;
    for (qsizetype j = i; j < text.size(); ++j)
        if (!isDigit(text[j]))
            return std::nullopt;
    return text.toLongLong(); // 15 digits always fit; toLongLong reads the sign
}

QString roundedText(double x, int n)
{
    return numberToText(roundTo(x, n));
}

QString percentText(double x)
{
    return numberToText(x).left(5) + u'%';
}

QString printedAmountText(double x)
{
    double rounded = roundTo(x, 2);
    if (!std::isfinite(rounded))
        rounded = 0.0;
    // Cents as a whole number avoid any binary leftovers in the two decimals.
    const qint64 cents = qRound64(std::fabs(rounded) * 100.0);
    const QString whole = QString::number(cents / 100);
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped.append(u',');
        grouped.append(whole[i]);
    }
    const QString text = grouped + u'.' + QStringLiteral("%1").arg(cents % 100, 2, 10, QChar(u'0'));
    return (cents != 0 && rounded < 0) ? u'-' + text : text;
}

bool moneyWithinCeiling(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (halfWidth(text[i]) == u' ' || text[i] == u'\t'))
        ++i;
    if (i < n && (halfWidth(text[i]) == u'+' || halfWidth(text[i]) == u'-'))
        ++i;
    qsizetype whole = 0;
    while (i < n && isDigit(halfWidth(text[i]))) {
        ++i;
        if (++whole > kMoneyWholeDigits)
            return false;
    }
    qsizetype digits = whole;
    if (i < n && halfWidth(text[i]) == u'.') {
        ++i;
        while (i < n && isDigit(halfWidth(text[i]))) {
            ++i;
            ++digits;
        }
    }
    // An exponent is no form of money, whatever it comes to ("1e+14", "2E2").
    if (digits > 0 && i < n && (halfWidth(text[i]) == u'e' || halfWidth(text[i]) == u'E'))
        return false;
    return true;
}

namespace {

// The first whole number beyond the ceiling: "100000000".
QString ceilingNumberText()
{
    return QStringLiteral("1") + QString(kMoneyWholeDigits, u'0');
}

} // namespace

QString moneyCeilingText()
{
    return QStringLiteral("金额太大：小数点前最多%1位数字（金额须小于%2）！").arg(kMoneyWholeDigits).arg(ceilingNumberText());
}

QString pointsCeilingText()
{
    return QStringLiteral("积分太大：最多%1位数字（积分须小于%2）！").arg(kMoneyWholeDigits).arg(ceilingNumberText());
}
