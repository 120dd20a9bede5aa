#pragma once
// The sales ranking: the shop's 销量排行 rows of a month (most sold first when the window opens,
// least sold first for a picked month) or of a one-column search over all months, as list lines
// with the red total row, the value choices of the search and the export name.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "data/Sql.h"

class AppContext;

namespace reports {

// Which way a month's rows are ranked. Sold units compare as numbers ("10" above "9"; an empty or
// malformed count is 0); equal counts keep the older row (lower id) first. The stored texts are
// shown as they are.
enum class RankingOrder {
    MostSoldFirst,  // the window's opening list
    LeastSoldFirst, // 查看指定月份
    ById,           // the search (oldest first)
};

// The month key of 当月时间: "2015-03-".
QString rankingMonthKey(const QString &year, const QString &month);

// The shop's rows of one month (当月时间 = monthKey), by id; the ranking order is applied by
// salesRankingLines.
data::Sql rankingOfMonthSql(AppContext &context, const QString &monthKey);

// The search of one column over all months of the shop: field is the text of 类别7 ("供货来源",
// "商品名称", "分类" or "款号"); the value is found anywhere in the column, ASCII letter case
// ignored, its %, _ and \ standing for themselves. Empty for any other field (nothing happens).
data::Sql rankingSearchSql(AppContext &context, const QString &field, const QString &value);

// The list lines (ten cells: ID, 供货来源, 商品名称, 类别, 款号, 成本价, 吊牌价, 已售数量, 单位, 最近售出
// 日期) in the given order, and, when there are rows, the total row: "合    计：" in column 4, the
// plain sum of the unit costs in column 5, the sum of the leading whole numbers of the sold counts
// in column 7. ok false when the read failed.
QList<QStringList> salesRankingLines(AppContext &context, const data::Sql &sql, RankingOrder order,
                                     bool *ok = nullptr);

// The label of the total row.
inline const QString RankingTotalLabel = QStringLiteral("合    计：");
inline constexpr int RankingTotalLabelColumn = 4;

// The choices of the value combo for a field of 类别7: the shop's supplier names for "供货来源",
// its second-level categories for "分类" (both by id); nothing for the other fields.
QStringList rankingFilterValues(AppContext &context, const QString &field);
// Whether choosing the field fills the value combo (the others leave it for typing).
bool rankingFieldHasChoices(const QString &field);

// The workbook name of the export: 销量排行2015年03月11号9点5.
QString salesRankingExportName(const QDate &date, const QTime &time);

namespace rankingtexts {
inline const QString Title = QStringLiteral("销量排行           单击表头可以排序");
inline const QString ExportPrefix = QStringLiteral("销量排行");
inline const QString ExportLog = QStringLiteral("销售明细-销量排行---导出销量排行");
inline const QString ReadFailed = QStringLiteral("读取销量排行失败，请检查数据库连接后重试！");
} // namespace rankingtexts

} // namespace reports
