#pragma once
// The program's one way of rounding amounts, writing numbers as text and reading numbers from text.
// Every list cell, edit box, stored value and running sum held as text goes through these helpers,
// so the same number always has the same text.
#include <QString>
#include <QtGlobal>
#include <optional>

// Half away from zero to n decimals after a nudge of 1e-12 on the scaled magnitude:
// sign(x) * floor(|x| * 10^n + 1e-12 + 0.5) / 10^n. 0 stays 0; NaN and infinities come back unchanged.
double roundTo(double x, int n);

// The shortest decimal text with at most 13 significant digits: no trailing zeros, no trailing point,
// no digit grouping, "-" for negatives ("84.2", "60", "0.5", "-3", "33.33333333333").
// Non-zero magnitudes below 0.0001 and from 10^13 on take an exponent with a sign and at least two
// digits: "1e-05", "9.9999e-05", "1e+13", "1.234567890123e+14". Negative zero gives "0".
// NaN and infinities, which no amount can be, give "0".
QString numberToText(double x);

// Full-width ASCII (U+FF01..U+FF5E) and the ideographic space become their half-width forms.
QString toHalfWidth(const QString &text);

// Full-width characters are made half-width, then the leading number is read: blanks, an optional
// sign, digits with at most one decimal point ("-3." is -3, ".5" is 0.5), and an exponent when one
// follows the digits ("1e-05", so that every text numberToText writes reads back). Anything after the
// number is ignored ("12.5元" is 12.5); a text without a leading number, or an empty one, gives 0.
double textToNumber(const QString &text);

// The whole part of the leading number, cut toward zero: "12.9" gives 12, "-3.7" gives -3, "" gives 0.
qint64 textToInteger(const QString &text);

// A whole number as typed (a quantity, a count): blanks around it are ignored, full-width digits
// and signs count as half-width, then an optional sign and 1 to 15 digits, nothing else.
// "１２" gives 12, " +5 " 5, "-3" -3; "", "12.5", "1e3" and "12件" give nothing.
std::optional<qint64> typedWholeNumber(const QString &typed);

// A number rounded to n decimals and written as text: numberToText(roundTo(x, n)).
QString roundedText(double x, int n);

// A percentage as the reports show it: the number as text cut to its first 5 characters, then "%".
// 100/3 gives "33.33%", 5 gives "5%", 1234.5 gives "1234.%", -12.3456 gives "-12.3%".
QString percentText(double x);

// A printed amount: rounded to 2 decimals, exactly two decimals, a comma between groups of three
// integer digits: 1234.5 gives "1,234.50", -0.004 gives "0.00".
QString printedAmountText(double x);

// Money has a ceiling, one for the whole program: every amount is below 100,000,000, so it has
// at most this many digits before its point. Every field that takes money and every writer that
// stores it hold to it.
inline constexpr int kMoneyWholeDigits = 8;

// True when the leading number of the text (read as textToNumber reads it: blanks, a sign,
// full-width forms) has at most kMoneyWholeDigits digits before its point and no exponent.
// What follows the number is not looked at; a text without digits passes ("" and "-" are steps of
// typing). "99999999.99" passes; "123456789", 400 nines and "1.234567890123e+14" do not.
bool moneyWithinCeiling(const QString &text);

// The refusal of an amount beyond the ceiling.
QString moneyCeilingText();
// Points typed by hand are held to the same number of digits, as the money they turn into is; the
// refusal of a number of points beyond it.
QString pointsCeilingText();
