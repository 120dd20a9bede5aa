#pragma once
// The sales detail page's queries, list lines and totals, apart from its widgets: the lines of
// 销售明细 of the workstation's shop by day, month, range of days or all dates, searched by one
// field, with amount, quantity, cost, gross profit and margin. Cost figures need 查看进价.
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "data/Sql.h"
#include "platform/MoneySum.h"

namespace data {
class Connection;
class Dialect;
class RecordSet;
}

namespace reports {

// Which of the four exclusive check boxes is ticked.
enum class DateScope { Day, Month, Range, All };

// The items of the search field combo 综合框, in its order.
const QStringList &salesSearchItems();

// The 29 list columns: title as shown and the 销售明细 column it shows.
const QList<QPair<QString, QString>> &salesDetailColumns();
inline constexpr int kSalesDetailColumnCount = 29;
inline constexpr int kCostColumn = 10;

// "2015-03-11" for 11 March 2015.
QString saleDayText(const QDate &date);
// "%2015-03-%" for March 2015.
QString saleMonthPattern(const QDate &date);

// The shop's lines of one day, of the month of a date, of a range of days (an end before the start
// gives the start day only), or of all dates, oldest first. A range is one statement: the stored
// dates are always 'YYYY-MM-DD', so text order is date order.
data::Sql salesOfDaySql(const data::Dialect &dialect, const QString &shop, const QDate &day);
data::Sql salesOfMonthSql(const data::Dialect &dialect, const QString &shop, const QDate &month);
data::Sql salesOfRangeSql(const data::Dialect &dialect, const QString &shop, const QDate &start, const QDate &end);

// The search of the page: the chosen item of 综合框 and the text as typed, inside the scope.
// 商品名称 searches the pinyin initials of the text (lower case) in 拼音检索; 收银员 searches
// 收银员 like the other fields. The text is literal (% and _ match themselves) and bound; an empty
// text finds every line of the scope. An unknown item gives an empty Sql.
// The key searched for an item: the pinyin initials (lower case) for 商品名称, else the text.
QString salesSearchKey(const QString &item, const QString &text);
// True when a typed text leaves no key to search for (only characters without pinyin initials
// typed for 商品名称): such a search runs no query and finds nothing.
bool salesSearchFindsNothing(const QString &item, const QString &text);
data::Sql searchSalesSql(const data::Dialect &dialect, const QString &shop, DateScope scope, const QDate &start,
                         const QDate &end, const QString &item, const QString &text);

// Running totals of listed lines; the money is summed exactly.
struct SalesDetailTotals {
    MoneySum amount;
    MoneySum cost;
    qint64 quantity = 0;
};

// The 29 cells of the record set's current row (column 10 empty without 查看进价), and what the
// row adds to the totals (cost only with 查看进价).
QStringList salesDetailCells(const data::RecordSet &rs, bool canSeeCost);
void addToTotals(SalesDetailTotals &totals, const data::RecordSet &rs, bool canSeeCost);

// The five footer values: amount, quantity, cost, gross profit, margin.
struct SalesDetailFooter {
    QString amount, quantity, cost, profit, margin;
};
SalesDetailFooter salesDetailFooter(const SalesDetailTotals &totals);

// The margin: "0" when the amount total is 0; the percentage of the profit on the cost otherwise;
// empty when the cost total is 0 and the amount is not (no finite margin exists).
QString salesMarginText(double amountTotal, double costTotal);

// One sold line as the list showed it: its 29 cells in the list's column order.
struct SoldRow {
    QStringList cells;
    QString value(const QString &column) const; // by 销售明细 column name; "" for an unknown one
    bool isEmpty() const;
};

// The detail window's figures of a sold line.
struct SaleLineDetail {
    QStringList goods;    // 商品信息
    QStringList stock;    // 入库信息
    QStringList sale;     // 销售信息
    QStringList payment;  // 备注, 结付方式 ...
    bool ok = true;       // false when the stock lookup failed (剩余库存 and 操作员 then empty)
};
const QStringList &saleLineGoodsTitles();
const QStringList &saleLineStockTitles();
const QStringList &saleLineSaleTitles();
const QStringList &saleLinePaymentTitles();

// The stock rows of the shop matching 款号, 颜色, 尺码, 单位 and 入库日期 of the line.
data::Sql saleLineStockSql(const data::Dialect &dialect, const QString &shop, const SoldRow &row);
// 剩余库存 = the sum of the rows' 数量, 操作员 = 入库人 of the last row; the gross profit is
// 金额 − 进货价 × 数量, left empty when the line shows no cost (the account may not see it).
SaleLineDetail saleLineDetail(data::Connection &connection, const QString &shop, const SoldRow &row);

} // namespace reports
