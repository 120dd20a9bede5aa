#include "reports/Settlement.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MoneySum.h"
#include "platform/NumberText.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <cmath>
#include <functional>
#include <optional>

namespace reports {

namespace {

const QString kSalesTable = QStringLiteral("销售明细");
const QString kMonthMark = QStringLiteral("-"); // 判断 of a month row

// The lock that lets one settlement of a shop run at a time: "sett" and 32 bits of the shop's name.
qint64 settlementLockOf(const QString &shop)
{
    const QByteArray digest = QCryptographicHash::hash(shop.toUtf8(), QCryptographicHash::Sha1);
    const quint32 low = qFromBigEndian<quint32>(digest.constData());
    return qint64((quint64(0x73657474) << 32) | low);
}

data::Sql ofShop(const AppContext &context)
{
    return data::eq(QStringLiteral("所属店铺"), context.currentShop);
}

QString yearMonthText(const QDate &date)
{
    return QString::number(date.year()) + QStringLiteral("年") + date.toString(QStringLiteral("MM")) + QStringLiteral("月");
}

// Whether the shop already has a row with this 结算日期; nullopt when the read failed.
std::optional<bool> hasSummaryRow(AppContext &context, const QString &key)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    const data::Sql sql = data::Sql(QStringLiteral("SELECT id FROM ") + db.dialect().quoteTable(kSummaryTable)
                                    + QStringLiteral(" WHERE "))
                          + data::both(ofShop(context), data::eq(QStringLiteral("结算日期"), key));
    if (!rs.open(sql))
        return std::nullopt;
    return rs.rowCount() > 0;
}

data::Pairs summaryPairs(AppContext &context, const QString &key, const SettlementFigures &f, const QString &mark)
{
    return {{QStringLiteral("结算日期"), key},   {QStringLiteral("销售量"), f.销售量},
            {QStringLiteral("销售金额"), f.销售金额}, {QStringLiteral("成本价"), f.成本价},
            {QStringLiteral("毛利润"), f.毛利润},   {QStringLiteral("利润率"), f.利润率},
            {QStringLiteral("银行"), f.银行},       {QStringLiteral("积分"), f.积分},
            {QStringLiteral("优惠券"), f.优惠券},   {QStringLiteral("储值"), f.储值},
            {QStringLiteral("实收金额"), f.实收金额}, {QStringLiteral("操作员"), context.currentUserName},
            {QStringLiteral("备注"), QString()},    {QStringLiteral("所属店铺"), context.currentShop},
            {QStringLiteral("判断"), mark}};
}

// The running sums of a settlement.
struct Sums {
    MoneySum quantity, amount, cost, profit, bank, points, coupons, stored;

    SettlementFigures figures(bool profitFromParts) const
    {
        SettlementFigures f;
        const MoneySum margin = profitFromParts ? amount - cost : profit;
        f.销售量 = quantity.text();
        f.销售金额 = amount.text();
        f.成本价 = cost.text();
        f.毛利润 = margin.text();
        f.利润率 = settlementMarginText(margin.value(), amount.value());
        f.银行 = bank.text();
        f.积分 = points.text();
        f.优惠券 = coupons.text();
        f.储值 = stored.text();
        f.实收金额 = (amount - coupons - points).text();
        return f;
    }
};

// Runs one settlement: the shop's lock, the existence check, the sums, the row and its log row, all
// in one transaction. `sum` reads the rows to settle into the sums and returns how many it read
// (-1 when the read failed).
SettleResult settle(AppContext &context, const QString &key, const QString &mark, const QString &alreadyText,
                    const QString &emptyText, const QString &logText, const std::function<int(Sums &)> &sum)
{
    SettleResult result;
    result.message = kSettleFailedText;
    data::Connection &db = context.connection();
    data::Transaction tx = db.transaction();
    if (!tx.isActive() || !db.holdTransactionLock(settlementLockOf(context.currentShop)))
        return result;
    const std::optional<bool> settled = hasSummaryRow(context, key);
    if (!settled)
        return result;
    if (*settled) {
        result.status = SettleStatus::AlreadySettled;
        result.message = alreadyText;
        return result;
    }
    Sums sums;
    const int rows = sum(sums);
    if (rows < 0)
        return result;
    if (rows == 0) {
        result.status = SettleStatus::NothingToSettle;
        result.message = emptyText;
        return result;
    }
    const SettlementFigures figures = sums.figures(mark.isEmpty());
    if (!db.execute(data::buildInsertSql(db.dialect(), kSummaryTable, summaryPairs(context, key, figures, mark))))
        return result;
    if (!oplog::writeLogRow(context, logText))
        return result;
    if (!tx.commit())
        return result;
    result.status = SettleStatus::Settled;
    result.message = kSettledText;
    result.figures = figures;
    return result;
}

} // namespace

QString settlementMarginText(double profit, double amount)
{
    if (amount == 0 || !std::isfinite(amount) || !std::isfinite(profit))
        return QStringLiteral("0%");
    return percentText(profit / amount * 100);
}

QString settlementDayKey(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString settlementMonthKey(const QDate &anyDayOfMonth)
{
    return yearMonthText(anyDayOfMonth);
}

QString settlementDayPattern(const QDate &anyDayOfMonth)
{
    return u'%' + anyDayOfMonth.toString(QStringLiteral("yyyy-MM")) + QStringLiteral("-%");
}

SettleResult writeDailySummary(AppContext &context, const QDate &day)
{
    const QString key = settlementDayKey(day);
    const auto sum = [&context, &key](Sums &sums) {
        data::Connection &db = context.connection();
        data::RecordSet rs(db);
        const data::Sql sql = data::Sql(QStringLiteral("SELECT 数量,金额,进货价,银行,储值,积分,优惠券 FROM ")
                                        + db.dialect().quoteTable(kSalesTable) + QStringLiteral(" WHERE "))
                              + data::both(ofShop(context), data::eq(QStringLiteral("销售日期"), key))
                              + data::Sql(QStringLiteral(" ORDER BY id ASC"));
        if (!rs.open(sql))
            return -1;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            const double quantity = textToNumber(rs.text(0));
            sums.quantity.add(quantity);
            sums.amount.add(rs.text(1));
            // A line of more than one unit costs its unit cost times its units, any other line its
            // unit cost once.
            const double unitCost = textToNumber(rs.text(2));
            if (quantity - 1 > 0.0000001)
                sums.cost.addProduct(unitCost, quantity);
            else
                sums.cost.add(unitCost);
            sums.bank.add(rs.text(3));
            sums.stored.add(rs.text(4));
            sums.points.add(rs.text(5));
            sums.coupons.add(rs.text(6));
        }
        return rs.rowCount();
    };
    return settle(context, key, QString(), QStringLiteral("【") + key + QStringLiteral("】日销售记录已经结算过！"),
                  QStringLiteral("【") + key + QStringLiteral("】日还没有销售记录无法结算！"),
                  QStringLiteral("销售明细-销售简表---结算") + key + QStringLiteral("号销售记录"), sum);
}

QString monthQuestionText(const QDate &anyDayOfMonth)
{
    return QStringLiteral("请先确认【 ") + yearMonthText(anyDayOfMonth)
           + QStringLiteral("】要结算的销售记录已经全部做完日结！\r\n否则数据将不准确！");
}

SettleResult writeMonthSummary(AppContext &context, const QDate &anyDayOfMonth)
{
    const QString month = yearMonthText(anyDayOfMonth);
    const auto sum = [&context, &anyDayOfMonth](Sums &sums) {
        data::Connection &db = context.connection();
        data::RecordSet rs(db);
        // The month's day rows; a month row's key never matches the day pattern.
        if (!rs.open(daySummariesOfMonthSql(context, anyDayOfMonth)))
            return -1;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            const auto t = [&rs](const char16_t *column) { return rs.text(QString::fromUtf16(column)); };
            sums.quantity.add(t(u"销售量"));
            sums.amount.add(t(u"销售金额"));
            sums.cost.add(t(u"成本价"));
            sums.profit.add(t(u"毛利润"));
            sums.stored.add(t(u"储值"));
            sums.bank.add(t(u"银行"));
            sums.points.add(t(u"积分"));
            sums.coupons.add(t(u"优惠券"));
        }
        return rs.rowCount();
    };
    return settle(context, month, kMonthMark, QStringLiteral("【") + month + QStringLiteral("】的销售记录已经结算过！"),
                  QStringLiteral("【") + month + QStringLiteral("】还没有销售记录无法结算！"),
                  QStringLiteral("销售明细-销售简表---结算") + anyDayOfMonth.toString(QStringLiteral("yyyy-MM"))
                      + QStringLiteral("月销售记录"),
                  sum);
}

data::Sql summariesThisMonthSql(AppContext &context)
{
    const data::Dialect &dialect = context.connection().dialect();
    const QString pattern = u'%' + context.today.year + u'-' + context.today.month + QStringLiteral("-%");
    return data::buildSelectSql(dialect, kSummaryTable,
                                data::both(data::Sql(QStringLiteral("结算日期 like ?"), {pattern}), ofShop(context)), true,
                                QStringLiteral("结算日期 ASC"), true);
}

data::Sql daySummariesOfMonthSql(AppContext &context, const QDate &anyDayOfMonth)
{
    const data::Dialect &dialect = context.connection().dialect();
    // 判断 empty marks a day row (a row written elsewhere may hold NULL there).
    const data::Sql where = data::both(
        data::both(data::Sql(QStringLiteral("COALESCE(判断,'')=''")),
                   data::Sql(QStringLiteral("结算日期 like ?"), {settlementDayPattern(anyDayOfMonth)})),
        ofShop(context));
    return data::buildSelectSql(dialect, kSummaryTable, where, true, QStringLiteral("结算日期 ASC"), true);
}

data::Sql monthSummariesSql(AppContext &context)
{
    const data::Dialect &dialect = context.connection().dialect();
    return data::buildSelectSql(dialect, kSummaryTable, data::both(data::eq(QStringLiteral("判断"), kMonthMark), ofShop(context)),
                                true, QStringLiteral("结算日期 ASC"), true);
}

data::Sql summariesByRemarkSql(AppContext &context, const QString &text)
{
    const data::Dialect &dialect = context.connection().dialect();
    const data::Sql where = data::both(dialect.contains(QStringLiteral("备注"), text), ofShop(context));
    return data::buildSelectSql(dialect, kSummaryTable, where, true, QStringLiteral("id ASC"), true);
}

QList<QPair<QString, QString>> summaryListColumns()
{
    const auto c = [](const char16_t *title, const char16_t *column) {
        return QPair<QString, QString>(QString::fromUtf16(title), QString::fromUtf16(column));
    };
    return {c(u"ID", u"ID"),         c(u"结算日期", u"结算日期"), c(u"销售量", u"销售量"), c(u"销售金额", u"销售金额"),
            c(u"成本价", u"成本价"), c(u"营业利润", u"毛利润"),   c(u"利润率", u"利润率"), c(u"预存", u"储值"),
            c(u"银行", u"银行"),     c(u"积分", u"积分"),         c(u"优惠券", u"优惠券"), c(u"实收金额", u"实收金额"),
            c(u"操作员", u"操作员"), c(u"备注", u"备注")};
}

QList<QStringList> summaryLines(AppContext &context, const data::Sql &sql, bool *ok)
{
    QList<QStringList> lines;
    data::RecordSet rs(context.connection());
    const bool opened = rs.open(sql);
    if (ok)
        *ok = opened;
    if (!opened || rs.rowCount() <= 0)
        return lines;
    const auto columns = summaryListColumns();
    constexpr int kSummed[] = {2, 3, 4, 5, 7, 8, 9, 10, 11};
    MoneySum sums[12];
    double rates = 0;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList cells;
        for (const auto &column : columns)
            cells << rs.text(column.second);
        for (int c : kSummed)
            sums[c].add(cells.at(c));
        // The rate's leading number within its first 5 characters (33.33% counts 33.33).
        rates += textToNumber(cells.at(6).left(5));
        lines << cells;
    }
    QStringList total(columns.size());
    total[1] = kSummaryTotalLabel;
    for (int c : kSummed)
        total[c] = sums[c].text();
    total[6] = roundedText(rates / double(lines.size()), 2) + u'%';
    lines << total;
    return lines;
}

bool setSummaryRemark(AppContext &context, qint64 id, const QString &remark)
{
    data::Connection &db = context.connection();
    const data::Sql where = data::both(data::eq(QStringLiteral("id"), id), ofShop(context));
    return db.execute(data::buildUpdateSql(db.dialect(), kSummaryTable, {{QStringLiteral("备注"), remark}}, where, true))
           && db.numRowsAffected() == 1;
}

} // namespace reports
