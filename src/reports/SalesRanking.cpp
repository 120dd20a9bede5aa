#include "reports/SalesRanking.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ExcelExport.h"
#include "platform/MoneySum.h"
#include "platform/NumberText.h"
#include "stock/Catalogue.h"

#include <algorithm>

namespace reports {

namespace {

const QString kTable = QStringLiteral("销量排行");
const QString kSuppliers = QStringLiteral("供货来源");
const QString kCategories = QStringLiteral("分类");

data::Sql ofShop(const AppContext &context)
{
    return data::eq(QStringLiteral("所属店铺"), context.currentShop);
}

// The stored column a field of 类别7 searches; "" for a text that is no field.
QString searchColumn(const QString &field)
{
    if (field == kSuppliers || field == QStringLiteral("商品名称") || field == QStringLiteral("款号"))
        return field;
    if (field == kCategories)
        return QStringLiteral("类别");
    return QString();
}

struct RankingRow {
    QStringList cells;
    qint64 id = 0;
    double sold = 0;
};

} // namespace

QString rankingMonthKey(const QString &year, const QString &month)
{
    return year + u'-' + month + u'-';
}

data::Sql rankingOfMonthSql(AppContext &context, const QString &monthKey)
{
    const data::Dialect &dialect = context.connection().dialect();
    return data::buildSelectSql(dialect, kTable, data::both(data::eq(QStringLiteral("当月时间"), monthKey), ofShop(context)),
                                true, QStringLiteral("id ASC"), true);
}

data::Sql rankingSearchSql(AppContext &context, const QString &field, const QString &value)
{
    const QString column = searchColumn(field);
    if (column.isEmpty())
        return {};
    const data::Dialect &dialect = context.connection().dialect();
    return data::buildSelectSql(dialect, kTable, data::both(dialect.contains(column, value), ofShop(context)), true,
                                QStringLiteral("id ASC"), true);
}

QList<QStringList> salesRankingLines(AppContext &context, const data::Sql &sql, RankingOrder order, bool *ok)
{
    QList<QStringList> lines;
    data::RecordSet rs(context.connection());
    const bool opened = rs.open(sql);
    if (ok)
        *ok = opened;
    if (!opened || rs.rowCount() <= 0)
        return lines;
    QList<RankingRow> rows;
    rows.reserve(rs.rowCount());
    MoneySum cost;
    qint64 sold = 0;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        RankingRow row;
        row.id = rs.integer(QStringLiteral("id"));
        const QString count = rs.text(QStringLiteral("已售数量"));
        row.sold = textToNumber(count);
        row.cells = QStringList{QString::number(row.id),
                                rs.text(QStringLiteral("供货来源")),
                                rs.text(QStringLiteral("商品名称")),
                                rs.text(QStringLiteral("类别")),
                                rs.text(QStringLiteral("款号")),
                                rs.text(QStringLiteral("成本价")),
                                rs.text(QStringLiteral("吊牌价")),
                                count,
                                rs.text(QStringLiteral("单位")),
                                rs.text(QStringLiteral("最近售出日期"))};
        cost.add(row.cells.at(5));
        sold += textToInteger(count);
        rows << row;
    }
    // Rows by id first, so that a stable sort on the count keeps equal counts oldest first.
    std::sort(rows.begin(), rows.end(), [](const RankingRow &a, const RankingRow &b) { return a.id < b.id; });
    if (order == RankingOrder::MostSoldFirst)
        std::stable_sort(rows.begin(), rows.end(), [](const RankingRow &a, const RankingRow &b) { return a.sold > b.sold; });
    else if (order == RankingOrder::LeastSoldFirst)
        std::stable_sort(rows.begin(), rows.end(), [](const RankingRow &a, const RankingRow &b) { return a.sold < b.sold; });
    lines.reserve(rows.size() + 1);
    for (RankingRow &row : rows)
        lines << std::move(row.cells);
    QStringList total(10);
    total[RankingTotalLabelColumn] = RankingTotalLabel;
    total[5] = cost.text();
    total[7] = QString::number(sold);
    lines << total;
    return lines;
}

bool rankingFieldHasChoices(const QString &field)
{
    return field == kSuppliers || field == kCategories;
}

QStringList rankingFilterValues(AppContext &context, const QString &field)
{
    if (field == kSuppliers)
        return stock::loadSupplierNames(context);
    if (field == kCategories)
        return stock::loadSecondLevelCategories(context);
    return {};
}

QString salesRankingExportName(const QDate &date, const QTime &time)
{
    return excelExportName(rankingtexts::ExportPrefix, date, time);
}

} // namespace reports
