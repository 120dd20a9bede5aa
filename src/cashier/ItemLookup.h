#pragma once
// Finding the shop's items in stock from the text of the scan box 编辑框1: 13 GBK bytes or more is
// an exact barcode; otherwise the pinyin initials of the text, lower-cased, searched in 拼音检索
// when they start with a letter or sign above '9', else in 款号 (rows whose column contains the
// key, ASCII letter case ignored; % and _ typed by the user stand for themselves). Only rows of the
// shop that pass the backend's in-stock test are found.
#include <QList>
#include <QString>

#include "cashier/Cart.h"
#include "data/Sql.h"

class AppContext;
namespace data {
class Dialect;
class RecordSet;
}

namespace cashier {

enum class SearchKind { Barcode, Pinyin, StyleNumber };

struct LookupKey {
    SearchKind kind = SearchKind::StyleNumber;
    QString key; // barcode as typed; otherwise the lower-cased pinyin initials
    bool operator==(const LookupKey &) const = default;
};

// One stock row as the lookup and the chooser show it.
struct FoundItem {
    qint64 id = 0;
    QString 商品条码, 类别, 款号, 名称, 颜色, 尺码, 数量, 单位, 吊牌价, 折扣, 特价, 供货来源, 入库日期;
    static FoundItem fromRecord(const data::RecordSet &row);
};

struct LookupResult {
    LookupKey key;
    bool ok = false;     // false: the query failed (error holds the database's message)
    QString error;
    QList<FoundItem> items;
};

// The route and key of a typed text (an empty text gives a style-number search with an empty key).
LookupKey lookupKeyOf(const QString &typed);
// «SELECT * FROM 采购入库 WHERE <match> and <in stock> and 所属店铺=?» with every value bound; a
// contains-search takes its table reference and candidate rows from Dialect::containsSearch()
// (on SQLite a key of three characters or more starts from the trigram index stock_search).
data::Sql lookupSql(const data::Dialect &dialect, const QString &shop, const LookupKey &key);
// False for a key no stock row can hold: an empty one (a text whose characters have no pinyin
// initials, such as emoji, reduces to nothing) or one with a control character (a NUL or a line
// break from a scanner or a paste).
bool isSearchableKey(const LookupKey &key);
// Runs the lookup for the context's shop on the context's connection. A key that is not
// searchable finds nothing without running a query.
LookupResult lookupItems(AppContext &context, const QString &typed);
LookupResult lookupItems(AppContext &context, const LookupKey &key);

// The new cart line of a found item: quantity "1", 结付 "现金", priced by the line price rule.
CartLine lineFromItem(const FoundItem &item, const AppContext &context);

// Messages of the lookup.
inline const QString kEmptyScanText = QStringLiteral("您还未录入款号或条码");
inline const QString kNoStyleMatchText = QStringLiteral("该款号已无库存或款号错误！！！请核实");
inline const QString kNoBarcodeMatchText = QStringLiteral("该产品已无库存或条码错误！！！请核实");
QString lookupFailedText(const QString &error);
// The chooser's title for a search kind.
QString chooserTitle(SearchKind kind);

} // namespace cashier
