#include "reports/SalesDetail.h"

#include "data/Connection.h"
#include "data/Dialect.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

namespace reports {

namespace {

const QString kTable = QStringLiteral("销售明细");
const QString kOrder = QStringLiteral("id ASC");

data::Sql ofShop(const QString &shop)
{
    return data::eq(QStringLiteral("所属店铺"), shop);
}

data::Sql select(const data::Dialect &dialect, const data::Sql &where, const QString &order = kOrder)
{
    return data::buildSelectSql(dialect, kTable, where, true, order, true);
}

// The date part of a scope; empty for all dates.
data::Sql scopeCondition(DateScope scope, const QDate &start, const QDate &end)
{
    switch (scope) {
    case DateScope::Day:
        return data::eq(QStringLiteral("销售日期"), saleDayText(start));
    case DateScope::Month:
        return data::Sql(QStringLiteral("销售日期 like ?"), {saleMonthPattern(start)});
    case DateScope::Range: {
        const QDate last = end < start ? start : end;
        return data::both(data::cmp(QStringLiteral("销售日期"), QStringLiteral(">="), saleDayText(start)),
                          data::cmp(QStringLiteral("销售日期"), QStringLiteral("<="), saleDayText(last)));
    }
    case DateScope::All:
        break;
    }
    return {};
}

// Range listings come day by day, each day in the order written.
QString scopeOrder(DateScope scope)
{
    return scope == DateScope::Range ? QStringLiteral("销售日期 ASC,id ASC") : kOrder;
}

} // namespace

const QStringList &salesSearchItems()
{
    static const QStringList items{
        QStringLiteral("商品条码"), QStringLiteral("销售单号"), QStringLiteral("商品名称"), QStringLiteral("款号"),
        QStringLiteral("导购员"),   QStringLiteral("收银员"),   QStringLiteral("结付方式"), QStringLiteral("供货来源"),
    };
    return items;
}

const QList<QPair<QString, QString>> &salesDetailColumns()
{
    static const QList<QPair<QString, QString>> columns{
        {QStringLiteral("ID"), QStringLiteral("ID")},
        {QStringLiteral("导购"), QStringLiteral("导购员")},
        {QStringLiteral("销售单号"), QStringLiteral("小票单号")},
        {QStringLiteral("商品名称"), QStringLiteral("商品名称")},
        {QStringLiteral("分类"), QStringLiteral("类别")},
        {QStringLiteral("款号"), QStringLiteral("款号")},
        {QStringLiteral("颜色"), QStringLiteral("颜色")},
        {QStringLiteral("尺码"), QStringLiteral("尺码")},
        {QStringLiteral("数量"), QStringLiteral("数量")},
        {QStringLiteral("单位"), QStringLiteral("单位")},
        {QStringLiteral("成本价"), QStringLiteral("进货价")},
        {QStringLiteral("吊牌价"), QStringLiteral("吊牌价")},
        {QStringLiteral("折扣"), QStringLiteral("折扣")},
        {QStringLiteral("金额"), QStringLiteral("金额")},
        {QStringLiteral("收银员"), QStringLiteral("收银员")},
        {QStringLiteral("会员卡号"), QStringLiteral("会员编号")},
        {QStringLiteral("结付"), QStringLiteral("结付方式")},
        {QStringLiteral("销售日期"), QStringLiteral("销售日期")},
        {QStringLiteral("销售时间"), QStringLiteral("销售时间")},
        {QStringLiteral("商品条码"), QStringLiteral("商品条码")},
        {QStringLiteral("商品折扣"), QStringLiteral("商品折扣")},
        {QStringLiteral("现金"), QStringLiteral("现金")},
        {QStringLiteral("预存"), QStringLiteral("储值")},
        {QStringLiteral("银行"), QStringLiteral("银行")},
        {QStringLiteral("积分"), QStringLiteral("积分")},
        {QStringLiteral("优惠券"), QStringLiteral("优惠券")},
        {QStringLiteral("供货来源"), QStringLiteral("供货来源")},
        {QStringLiteral("备注"), QStringLiteral("备注")},
        {QStringLiteral("入库日期"), QStringLiteral("入库日期")},
    };
    return columns;
}

QString saleDayText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString saleMonthPattern(const QDate &date)
{
    return QStringLiteral("%") + date.toString(QStringLiteral("yyyy-MM")) + QStringLiteral("-%");
}

data::Sql salesOfDaySql(const data::Dialect &dialect, const QString &shop, const QDate &day)
{
    return select(dialect, data::both(scopeCondition(DateScope::Day, day, day), ofShop(shop)));
}

data::Sql salesOfMonthSql(const data::Dialect &dialect, const QString &shop, const QDate &month)
{
    return select(dialect, data::both(scopeCondition(DateScope::Month, month, month), ofShop(shop)));
}

data::Sql salesOfRangeSql(const data::Dialect &dialect, const QString &shop, const QDate &start, const QDate &end)
{
    return select(dialect, data::both(scopeCondition(DateScope::Range, start, end), ofShop(shop)),
                  scopeOrder(DateScope::Range));
}

QString salesSearchKey(const QString &item, const QString &text)
{
    if (item == QStringLiteral("商品名称"))
        return data::toPinyinInitials(text).toLower();
    return text;
}

bool salesSearchFindsNothing(const QString &item, const QString &text)
{
    return !text.isEmpty() && salesSearchKey(item, text).isEmpty();
}

data::Sql searchSalesSql(const data::Dialect &dialect, const QString &shop, DateScope scope, const QDate &start,
                         const QDate &end, const QString &item, const QString &text)
{
    static const QHash<QString, QString> columnOfItem{
        {QStringLiteral("商品条码"), QStringLiteral("商品条码")}, {QStringLiteral("销售单号"), QStringLiteral("小票单号")},
        {QStringLiteral("商品名称"), QStringLiteral("拼音检索")}, {QStringLiteral("款号"), QStringLiteral("款号")},
        {QStringLiteral("导购员"), QStringLiteral("导购员")},     {QStringLiteral("收银员"), QStringLiteral("收银员")},
        {QStringLiteral("结付方式"), QStringLiteral("结付方式")}, {QStringLiteral("供货来源"), QStringLiteral("供货来源")},
    };
    const auto it = columnOfItem.constFind(item);
    if (it == columnOfItem.constEnd())
        return {};
    // The typed text is literal: its % and _ match themselves.
    data::Sql where = dialect.contains(*it, salesSearchKey(item, text));
    where = data::both(scopeCondition(scope, start, end), where);
    return select(dialect, data::both(where, ofShop(shop)), scopeOrder(scope));
}

QStringList salesDetailCells(const data::RecordSet &rs, bool canSeeCost)
{
    QStringList cells;
    cells.reserve(kSalesDetailColumnCount);
    const auto &columns = salesDetailColumns();
    for (int i = 0; i < columns.size(); ++i) {
        if (i == kCostColumn && !canSeeCost)
            cells << QString();
        else
            cells << rs.text(columns[i].second);
    }
    return cells;
}

void addToTotals(SalesDetailTotals &totals, const data::RecordSet &rs, bool canSeeCost)
{
    const QString quantity = rs.text(QStringLiteral("数量"));
    totals.quantity += textToInteger(quantity);
    totals.amount.add(rs.text(QStringLiteral("金额")));
    if (canSeeCost)
        totals.cost.addProduct(textToNumber(rs.text(QStringLiteral("进货价"))), textToNumber(quantity));
}

QString salesMarginText(double amountTotal, double costTotal)
{
    if (numberToText(amountTotal) == QStringLiteral("0"))
        return QStringLiteral("0");
    if (costTotal == 0)
        return QString();
    return percentText((amountTotal - costTotal) / costTotal * 100);
}

SalesDetailFooter salesDetailFooter(const SalesDetailTotals &totals)
{
    SalesDetailFooter footer;
    footer.amount = totals.amount.text();
    footer.quantity = QString::number(totals.quantity);
    footer.cost = totals.cost.text();
    footer.profit = (totals.amount - totals.cost).text();
    footer.margin = salesMarginText(totals.amount.value(), totals.cost.value());
    return footer;
}

QString SoldRow::value(const QString &column) const
{
    const auto &columns = salesDetailColumns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].second == column)
            return cells.value(i);
    }
    return {};
}

bool SoldRow::isEmpty() const
{
    for (const QString &cell : cells) {
        if (!cell.isEmpty())
            return false;
    }
    return true;
}

const QStringList &saleLineGoodsTitles()
{
    static const QStringList titles{QStringLiteral("商品条码"), QStringLiteral("商品名称"), QStringLiteral("款号"),
                                    QStringLiteral("颜色"),     QStringLiteral("尺码"),     QStringLiteral("数量"),
                                    QStringLiteral("单位")};
    return titles;
}

const QStringList &saleLineStockTitles()
{
    static const QStringList titles{QStringLiteral("供货来源"), QStringLiteral("类别"),     QStringLiteral("成本价"),
                                    QStringLiteral("吊牌价"),   QStringLiteral("商品折扣"), QStringLiteral("剩余库存"),
                                    QStringLiteral("操作员"),   QStringLiteral("入库日期")};
    return titles;
}

const QStringList &saleLineSaleTitles()
{
    static const QStringList titles{QStringLiteral("小票单号"), QStringLiteral("导购员"),   QStringLiteral("销售折扣"),
                                    QStringLiteral("销售金额"), QStringLiteral("销售毛利"), QStringLiteral("收银员"),
                                    QStringLiteral("销售日期"), QStringLiteral("销售时间")};
    return titles;
}

const QStringList &saleLinePaymentTitles()
{
    static const QStringList titles{QStringLiteral("备注"), QStringLiteral("结付方式"), QStringLiteral("会员卡号"),
                                    QStringLiteral("现金"), QStringLiteral("预存"),     QStringLiteral("银行"),
                                    QStringLiteral("积分"), QStringLiteral("优惠券")};
    return titles;
}

data::Sql saleLineStockSql(const data::Dialect &dialect, const QString &shop, const SoldRow &row)
{
    data::Sql where;
    for (const QString &column : {QStringLiteral("款号"), QStringLiteral("颜色"), QStringLiteral("尺码"),
                                  QStringLiteral("单位"), QStringLiteral("入库日期")})
        where = data::both(where, data::eq(column, row.value(column)));
    where = data::both(where, ofShop(shop));
    return data::buildSelectSql(dialect, QStringLiteral("采购入库"), where, true, kOrder, true);
}

SaleLineDetail saleLineDetail(data::Connection &connection, const QString &shop, const SoldRow &row)
{
    SaleLineDetail detail;
    qint64 stockSum = 0;
    QString enteredBy;
    data::RecordSet rs(connection);
    if (rs.open(saleLineStockSql(connection.dialect(), shop, row))) {
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            stockSum += rs.integer(QStringLiteral("数量"));
            enteredBy = rs.text(QStringLiteral("入库人"));
        }
    } else {
        detail.ok = false;
    }

    const QString cost = row.value(QStringLiteral("进货价"));
    QString profit;
    if (!cost.isEmpty()) {
        profit = numberToText(textToNumber(row.value(QStringLiteral("金额")))
                              - textToNumber(cost) * textToNumber(row.value(QStringLiteral("数量"))));
    }

    auto v = [&row](const char *column) { return row.value(QString::fromUtf8(column)); };
    detail.goods = {v("商品条码"), v("商品名称"), v("款号"), v("颜色"), v("尺码"), v("数量"), v("单位")};
    // A failed lookup shows no stock figure at all: "0" would say the item is sold out.
    detail.stock = {v("供货来源"), v("类别"), cost, v("吊牌价"), v("商品折扣"),
                    detail.ok ? QString::number(stockSum) : QString(), enteredBy, v("入库日期")};
    detail.sale = {v("小票单号"), v("导购员"), v("折扣"), v("金额"), profit, v("收银员"), v("销售日期"), v("销售时间")};
    detail.payment = {v("备注"), v("结付方式"), v("会员编号"), v("现金"), v("储值"), v("银行"), v("积分"), v("优惠券")};
    return detail;
}

} // namespace reports
