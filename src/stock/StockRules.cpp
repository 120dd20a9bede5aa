#include "stock/StockRules.h"

#include "context/DiscountScheme.h"
#include "data/Dialect.h"
#include "data/Pinyin.h"
#include "platform/Gbk.h"
#include "platform/NumberText.h"
#include "printing/Ean13.h"

#include <QRegularExpression>
#include <cmath>

namespace stock {

namespace {

QString twoDigits(int n)
{
    return (QStringLiteral("8") + QString::number(n)).right(2);
}

} // namespace

data::Pairs storedPairs(data::Pairs pairs)
{
    for (auto &pair : pairs)
        if (pair.second.typeId() == QMetaType::QString || !pair.second.isValid())
            pair.second = stored(pair.second.toString());
    return pairs;
}

data::Sql notEmpty(const QString &column)
{
    return data::cmp(column, QStringLiteral("<>"), stored(QString()));
}

data::Sql inStockOfShop(const data::Dialect &dialect, const QString &shop)
{
    return data::both(data::Sql(dialect.inStockCondition()), data::eq(QStringLiteral("所属店铺"), shop));
}

bool isZeroStock(const QString &quantity)
{
    return quantity == u"0";
}

bool isEditable(const QString &sold)
{
    return sold == u"0";
}

std::optional<qint64> parseQuantity(const QString &typed)
{
    if (toHalfWidth(typed).trimmed().isEmpty())
        return 0;
    const std::optional<qint64> value = typedWholeNumber(typed);
    if (!value || *value < 0)
        return std::nullopt;
    return value;
}

std::optional<QString> parsePrice(const QString &typed)
{
    const QString text = toHalfWidth(typed).trimmed();
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return text;
}

std::optional<QString> parseItemDiscount(const QString &typed)
{
    const QString text = toHalfWidth(typed).trimmed();
    if (text.isEmpty())
        return QString();
    if (!isUsableDiscountFactor(text))
        return std::nullopt;
    return text;
}

QString searchKeyOf(const QString &name)
{
    QString key = data::toPinyinInitials(name);
    for (QChar &c : key)
        if (c >= u'A' && c <= u'Z')
            c = QChar(char16_t(c.unicode() + 32));
    return key;
}


QString styleNumberTail(const QString &styleNo)
{
    const int length = gbk::byteLength(styleNo);
    QString tail;
    for (int n = 3; n <= length; ++n) {
        const QString ending = gbk::midBytes(styleNo, length - n);
        if (gbk::byteLength(ending) != n) // the cut would halve a double-byte character
            continue;
        if (numberToText(textToNumber(ending)) == ending)
            tail = ending;
    }
    return tail;
}

QString computeDiscountedPrice(const QString &tagPrice, const QString &discount)
{
    const double product = textToNumber(tagPrice) * textToNumber(discount);
    return numberToText(std::floor(product + 1e-12));
}

qint64 generatedBarcodeBase(const QDateTime &time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    const QString digits = QStringLiteral("69") + twoDigits(d.month()) + twoDigits(d.day())
                           + twoDigits(t.hour()) + twoDigits(t.minute()) + twoDigits(t.second());
    return digits.toLongLong() + 1;
}

QString barcodeFromBase(qint64 twelveDigits)
{
    const QString base = QString::number(twelveDigits);
    return base + printing::computeEan13CheckDigit(base);
}

QString generateItemBarcode(const QDateTime &time)
{
    return barcodeFromBase(generatedBarcodeBase(time));
}

QString upperCaseSize(const QString &size)
{
    QString out = size;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    return out;
}

} // namespace stock
