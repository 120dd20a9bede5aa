#pragma once
// The rules of the stock table 采购入库 and of purchase entry that need no window: value forms,
// the in-stock test, quantity and price checks, the style-number tail, generated barcodes.
#include <QDateTime>
#include <QString>
#include <optional>

#include "data/Sql.h"

namespace data {
class Dialect;
}

namespace stock {

inline const QString kStockTable = QStringLiteral("采购入库");

// The stored form of a text: an empty text is '' in the table, never NULL.
inline QString stored(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}
// The pairs of an INSERT or UPDATE with every text in its stored form.
data::Pairs storedPairs(data::Pairs pairs);
// «column<>''».
data::Sql notEmpty(const QString &column);

// The shop's rows still in stock, on the backend of the dialect (text test on SQLite, a tolerant
// numeric test on PostgreSQL): «<in-stock> and 所属店铺=?».
data::Sql inStockOfShop(const data::Dialect &dialect, const QString &shop);

// A row is sold out when its 数量 is exactly "0".
bool isZeroStock(const QString &quantity);
// A row may be modified or deleted only while its 已售 is exactly "0".
bool isEditable(const QString &sold);

// A quantity typed into the form: blanks around it are ignored and full-width digits and sign
// count as half-width. A whole number from 0 on gives its value (stored as its decimal text); an
// empty text gives 0. Anything else (3.5, -1, 2abc, x) gives nothing.
std::optional<qint64> parseQuantity(const QString &typed);
// A price typed into the form: a plain decimal number (full-width accepted), in canonical
// half-width form as typed ("12.50" stays "12.50"); nothing when it is not a number.
std::optional<QString> parsePrice(const QString &typed);

// An item's own discount factor typed into the form (折扣7): blanks around it are ignored and
// full-width digits count as half-width. Empty (no discount of its own) gives ""; a factor the
// counter may price with (above 0 and at most 1, as the uniform factor) gives its half-width
// text; anything else ("8", "八折", "abc", "0") gives nothing.
std::optional<QString> parseItemDiscount(const QString &typed);

// The search key 拼音检索 of an item name: its pinyin initials, A-Z lower-cased.
QString searchKeyOf(const QString &name);


// The numeric tail of a style number: the longest ending of at least 3 GBK bytes that reads back
// as its own decimal rendering (no leading zero, no sign of padding); "" when there is none.
QString styleNumberTail(const QString &styleNo);

// floor(tag price × discount) as decimal text; a product less than 1e-12 below a whole number
// counts as that number. Empty or non-numeric texts count 0.
QString computeDiscountedPrice(const QString &tagPrice, const QString &discount);

// The twelve digits before the check digit of a generated barcode at `time`: "69" followed by
// p(month) p(day) p(hour) p(minute) p(second), p(n) = the last two characters of "8"+n, plus 1.
qint64 generatedBarcodeBase(const QDateTime &time);
// Twelve digits and their EAN-13 check digit.
QString barcodeFromBase(qint64 twelveDigits);
// The generated barcode at `time` (13 digits): barcodeFromBase(generatedBarcodeBase(time)).
QString generateItemBarcode(const QDateTime &time);

// ASCII a-z of a size upper-cased; other characters stay ("m/l" -> "M/L", "均码" unchanged).
QString upperCaseSize(const QString &size);

} // namespace stock
