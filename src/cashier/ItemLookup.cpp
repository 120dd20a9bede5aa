#include "cashier/ItemLookup.h"

#include "cashier/LinePrice.h"
#include "context/AppContext.h"
#include "data/Dialect.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Gbk.h"
#include "stock/StockRules.h"

namespace cashier {

namespace {
const QString kStockTable = QStringLiteral("采购入库");
// Indexes of the stock table on (所属店铺, 款号) and (所属店铺, 拼音检索), and the trigram index
// over its 拼音检索 and 款号 (SQLite).
const QString kStyleIndex = QStringLiteral("idx_stock_shop_style");
const QString kPinyinIndex = QStringLiteral("idx_stock_shop_pinyin");
const QString kSearchTable = QStringLiteral("stock_search");
constexpr int kBarcodeBytes = 13;
} // namespace

FoundItem FoundItem::fromRecord(const data::RecordSet &row)
{
    FoundItem item;
    item.id = row.integer(QStringLiteral("id"));
    item.商品条码 = row.text(QStringLiteral("商品条码"));
    item.类别 = row.text(QStringLiteral("类别"));
    item.款号 = row.text(QStringLiteral("款号"));
    item.名称 = row.text(QStringLiteral("名称"));
    item.颜色 = row.text(QStringLiteral("颜色"));
    item.尺码 = row.text(QStringLiteral("尺码"));
    item.数量 = row.text(QStringLiteral("数量"));
    item.单位 = row.text(QStringLiteral("单位"));
    item.吊牌价 = row.text(QStringLiteral("吊牌价"));
    item.折扣 = row.text(QStringLiteral("折扣"));
    item.特价 = row.text(QStringLiteral("特价"));
    item.供货来源 = row.text(QStringLiteral("供货来源"));
    item.入库日期 = row.text(QStringLiteral("入库日期"));
    return item;
}

LookupKey lookupKeyOf(const QString &typed)
{
    if (gbk::byteLength(typed) >= kBarcodeBytes)
        return {SearchKind::Barcode, typed};
    const QString initials = data::toPinyinInitials(typed);
    // The first character read as a signed byte: only ASCII above '9' routes to the pinyin search.
    const ushort first = initials.isEmpty() ? 0 : initials.at(0).unicode();
    const bool pinyin = first > 0x39 && first < 0x80;
    // Lower-casing touches ASCII letters only.
    QString key = initials;
    for (QChar &c : key)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + 32);
    return {pinyin ? SearchKind::Pinyin : SearchKind::StyleNumber, key};
}

data::Sql lookupSql(const data::Dialect &dialect, const QString &shop, const LookupKey &key)
{
    const data::Sql shopAndStock = data::both(data::Sql(dialect.inStockCondition()), data::eq(QStringLiteral("所属店铺"), shop));
    if (key.kind == SearchKind::Barcode)
        return data::Sql(QStringLiteral("SELECT * FROM ") + dialect.quoteTable(kStockTable) + QStringLiteral(" WHERE "))
               + data::both(data::eq(QStringLiteral("商品条码"), key.key), shopAndStock);
    // A contains-search: the typed text stands for itself (its % and _ included), ASCII case ignored.
    const bool pinyin = key.kind == SearchKind::Pinyin;
    const QString column = pinyin ? QStringLiteral("拼音检索") : QStringLiteral("款号");
    const data::Dialect::ContainsSearch search =
        dialect.containsSearch(kStockTable, column, key.key, pinyin ? kPinyinIndex : kStyleIndex, kSearchTable);
    const data::Sql match = data::both(search.candidates, dialect.contains(column, key.key));
    return data::Sql(QStringLiteral("SELECT * FROM ") + search.from + QStringLiteral(" WHERE "))
           + data::both(match, shopAndStock);
}

bool isSearchableKey(const LookupKey &key)
{
    if (key.key.isEmpty() || !key.key.isValidUtf16())
        return false;
    for (const QChar c : key.key)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

LookupResult lookupItems(AppContext &context, const LookupKey &key)
{
    LookupResult result;
    result.key = key;
    // No code holds such a key: nothing is found, and no query (nor its log line) sees it.
    if (!isSearchableKey(key)) {
        result.ok = true;
        return result;
    }
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    if (!rows.open(lookupSql(connection.dialect(), context.currentShop, key))) {
        result.error = rows.lastError().isEmpty() ? connection.lastError() : rows.lastError();
        return result;
    }
    result.ok = true;
    result.items.reserve(rows.rowCount());
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
        result.items.append(FoundItem::fromRecord(rows));
    return result;
}

LookupResult lookupItems(AppContext &context, const QString &typed)
{
    return lookupItems(context, lookupKeyOf(typed));
}

CartLine lineFromItem(const FoundItem &item, const AppContext &context)
{
    CartLine line;
    line.id = QString::number(item.id);
    line.商品条码 = item.商品条码;
    line.分类 = item.类别;
    line.款号 = item.款号;
    line.商品名称 = item.名称;
    line.颜色 = item.颜色;
    line.尺码 = item.尺码;
    line.数量 = QStringLiteral("1");
    line.单位 = item.单位;
    line.吊牌价 = item.吊牌价;
    const LinePrice price = priceLine(item.特价, item.吊牌价, item.折扣, 1.0, context.discountScheme,
                                      saleDecimals(context.shopSettings), true);
    line.折扣 = price.折扣;
    line.金额 = price.金额;
    line.结付 = kPayCash;
    line.特价 = item.特价;
    return line;
}

QString lookupFailedText(const QString &error)
{
    return QStringLiteral("查询库存失败，请检查数据库连接：") + error;
}

QString chooserTitle(SearchKind kind)
{
    switch (kind) {
    case SearchKind::Barcode:
        return QStringLiteral("该查询条码有多件产品，请双击选择一件相应对的");
    case SearchKind::Pinyin:
        return QStringLiteral("该模糊查询进货名称有多件产品，请双击选择一件相应对的");
    case SearchKind::StyleNumber:
        break;
    }
    return QStringLiteral("该模糊查询款号有多件产品，请双击选择一件相应对的");
}

} // namespace cashier
