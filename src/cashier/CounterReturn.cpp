#include "cashier/CounterReturn.h"

#include "cashier/LinePrice.h"
#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

#include <cmath>
#include <optional>

namespace cashier {

namespace {

const QString kSalesTable = QStringLiteral("销售明细");
const QString kReturnsTable = QStringLiteral("退货管理");
const QString kStockTable = QStringLiteral("采购入库");
const QString kMemberTable = QStringLiteral("会员管理");
// One return at a time per database: a line is never returned twice from the same reading.
constexpr qint64 kCounterReturnLock = 0x73686f7072657475; // "shopretu"
constexpr double kUnit = 1 + 0.0000001;

data::Sql lineOfShop(const AppContext &context, qint64 id)
{
    return data::both(data::eq(QStringLiteral("id"), id), data::eq(QStringLiteral("所属店铺"), context.currentShop));
}

SoldLine soldLineOf(const data::RecordSet &rs)
{
    SoldLine line;
    line.id = rs.integer(QStringLiteral("id"));
    const auto text = [&rs](const char16_t *column) { return rs.text(QString::fromUtf16(column)); };
    line.供货来源 = text(u"供货来源");
    line.商品名称 = text(u"商品名称");
    line.类别 = text(u"类别");
    line.款号 = text(u"款号");
    line.颜色 = text(u"颜色");
    line.尺码 = text(u"尺码");
    line.单位 = text(u"单位");
    line.数量 = text(u"数量");
    line.金额 = text(u"金额");
    line.进货价 = text(u"进货价");
    line.现金 = text(u"现金");
    line.储值 = text(u"储值");
    line.银行 = text(u"银行");
    line.积分 = text(u"积分");
    line.优惠券 = text(u"优惠券");
    line.销售日期 = text(u"销售日期");
    line.备注 = text(u"备注");
    line.会员编号 = text(u"会员编号");
    line.结付方式 = text(u"结付方式");
    line.小票单号 = text(u"小票单号");
    return line;
}

ReadStatus readLine(AppContext &context, qint64 id, SoldLine *line)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), kSalesTable, lineOfShop(context, id), true, QString(), false)))
        return ReadStatus::Failed;
    if (rs.rowCount() <= 0)
        return ReadStatus::Gone;
    *line = soldLineOf(rs);
    return ReadStatus::Found;
}

// The member the line was sold to: of this shop, of any shop while members are shared; the oldest
// row carrying the card. 0 when none (or the lookup failed: *ok false).
qint64 memberOfLine(AppContext &context, const QString &card, bool *ok)
{
    data::Connection &db = context.connection();
    data::Sql where = data::eq(QStringLiteral("会员卡号"), card);
    if (!isFlagOn(context.shopSettings.会员共享))
        where = data::both(where, data::eq(QStringLiteral("所属店铺"), context.currentShop));
    data::RecordSet rs(db);
    *ok = rs.open(data::buildSelectSql(db.dialect(), kMemberTable, where, true, QStringLiteral("id ASC"), true));
    if (!*ok || rs.rowCount() <= 0)
        return 0;
    return rs.integer(QStringLiteral("id"));
}

// The shop's stock row of the line's item that takes an undamaged unit back: the lowest id.
qint64 stockRowOfLine(AppContext &context, const SoldLine &line, bool *ok)
{
    data::Connection &db = context.connection();
    data::Sql where = data::both(data::eq(QStringLiteral("款号"), line.款号), data::eq(QStringLiteral("颜色"), line.颜色));
    where = data::both(where, data::eq(QStringLiteral("尺码"), line.尺码));
    where = data::both(where, data::eq(QStringLiteral("所属店铺"), context.currentShop));
    data::RecordSet rs(db);
    *ok = rs.open(data::buildSelectSql(db.dialect(), kStockTable, where, true, QStringLiteral("id ASC"), true));
    if (!*ok || rs.rowCount() <= 0)
        return 0;
    return rs.integer(QStringLiteral("id"));
}

// The lines of the line's sale still stored: one receipt number, day, shop and card, and the line
// itself whatever it carries (alone when it has no receipt number). Σ 金额 and Σ 积分 (the points
// part, in money).
struct SaleRest {
    double amount = 0;
    double pointsMoney = 0;
};
std::optional<SaleRest> restOfSale(AppContext &context, const SoldLine &line)
{
    data::Connection &db = context.connection();
    data::Sql where = data::eq(QStringLiteral("id"), line.id);
    if (!line.小票单号.isEmpty()) {
        data::Sql sale = data::both(data::eq(QStringLiteral("小票单号"), line.小票单号),
                                    data::eq(QStringLiteral("销售日期"), line.销售日期));
        sale = data::both(sale, data::eq(QStringLiteral("所属店铺"), context.currentShop));
        sale = data::both(sale, data::eq(QStringLiteral("会员编号"), line.会员编号));
        where = data::Sql(QStringLiteral("(")) + sale + data::Sql(QStringLiteral(") or ")) + where;
    }
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), kSalesTable, where, true, QStringLiteral("id ASC"), true)))
        return std::nullopt;
    SaleRest rest;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        rest.amount += textToNumber(rs.text(QStringLiteral("金额")));
        rest.pointsMoney += textToNumber(rs.text(QStringLiteral("积分")));
    }
    return rest;
}

// The ranking row of the line's style, month and shop counts the unit no more. A line sold
// before the ranking kept its rows has none: nothing to lower.
bool lowerRanking(AppContext &context, const SoldLine &line)
{
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    data::Sql where = data::both(data::eq(QStringLiteral("所属店铺"), context.currentShop),
                                 data::eq(QStringLiteral("当月时间"), line.销售日期.left(8)));
    where = data::both(where, data::eq(QStringLiteral("款号"), line.款号));
    return db.execute(data::buildUpdateSql(dialect, QStringLiteral("销量排行"),
                                           data::Sql(dialect.increment(QStringLiteral("已售数量")), {-1}), where, true));
}

// Whole units of a sum of money texts, without the binary noise of the additions.
qint64 wholeUnits(double x)
{
    return qint64(std::floor(roundTo(x, 6) + 1e-12));
}

} // namespace

MemberGiveBack memberGiveBack(double saleAmountBefore, double amountShare, double salePointsBefore,
                              double pointsShare, qint64 pointsPerUnit)
{
    const auto points = [pointsPerUnit](double money) { return qint64(roundTo(roundTo(money, 6) * double(pointsPerUnit), 0)); };
    MemberGiveBack back;
    back.pointsBack = points(salePointsBefore) - points(salePointsBefore - pointsShare);
    back.earned = wholeUnits(saleAmountBefore) - wholeUnits(saleAmountBefore - amountShare);
    return back;
}

ReturnFigures returnFigures(const SoldLine &line, const ShopSettings &settings)
{
    ReturnFigures f;
    f.quantity = textToNumber(line.数量);
    const double amount = textToNumber(line.金额);
    const double points = textToNumber(line.积分);
    const double voucher = textToNumber(line.优惠券);
    f.partial = f.quantity > kUnit;
    if (!f.partial) {
        f.amountShare = amount;
        f.pointsShare = points;
        f.storedShare = textToNumber(line.储值);
        f.cashShare = textToNumber(line.现金);
        f.voucherShare = voucher;
        f.bankShare = textToNumber(line.银行);
        f.received = amount - points - voucher;
        return f;
    }
    const int decimals = saleDecimals(settings);
    const double q = f.quantity;
    f.amountShare = roundTo(amount / q, decimals);
    f.pointsShare = roundTo(points / q, decimals);
    f.storedShare = roundTo(textToNumber(line.储值) / q, decimals);
    f.cashShare = roundTo(textToNumber(line.现金) / q, decimals);
    f.voucherShare = roundTo(voucher / q, decimals);
    f.bankShare = roundTo(textToNumber(line.银行) / q, decimals);
    f.received = amount / q - points / q - voucher / q;
    return f;
}

QString returnQuestionText(const SoldLine &line, const ReturnFigures &figures)
{
    return QStringLiteral("商品名称：【 ") + line.商品名称 + QStringLiteral("】\r\n分      类：【") + line.类别
           + QStringLiteral("】\r\n款      号：【") + line.款号 + QStringLiteral("】\r\n数      量：【") + line.数量
           + QStringLiteral("】\r\n销售金额：【") + line.金额 + QStringLiteral("】\r\n现金：【") + line.现金
           + QStringLiteral("】\r\n储值：【") + line.储值 + QStringLiteral("】\r\n银行：【") + line.银行
           + QStringLiteral("】\r\n积分：【") + line.积分 + QStringLiteral("】\r\n优惠券：【") + line.优惠券
           + QStringLiteral("】\r\n实收金额：【") + numberToText(figures.received)
           + QStringLiteral("】\r\n注：每次退款数量为 [1]\r\n消费的预存和积分系统自动归还！");
}

ReadStatus readSoldLine(AppContext &context, qint64 id, SoldLine *line)
{
    return readLine(context, id, line);
}

ReturnResult applyCounterReturn(AppContext &context, qint64 lineId, bool damaged)
{
    ReturnResult result;
    const DateParts today = datingNow(context);
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();

    data::Transaction tx = db.transaction();
    if (!tx.isActive() || !db.holdTransactionLock(kCounterReturnLock))
        return result;
    // The line as it stands now: another workstation may have returned a unit since the question.
    SoldLine line;
    switch (readLine(context, lineId, &line)) {
    case ReadStatus::Found: break;
    case ReadStatus::Gone: result.status = ReturnStatus::Gone; return result;
    case ReadStatus::Failed: return result;
    }
    const ReturnFigures f = returnFigures(line, context.shopSettings);

    const data::Pairs returned{{QStringLiteral("供货来源"), line.供货来源}, {QStringLiteral("商品名称"), line.商品名称},
                               {QStringLiteral("分类"), line.类别},       {QStringLiteral("款号"), line.款号},
                               {QStringLiteral("颜色"), line.颜色},       {QStringLiteral("尺码"), line.尺码},
                               {QStringLiteral("单位"), line.单位},       {QStringLiteral("成本价"), line.进货价},
                               {QStringLiteral("销售金额"), numberToText(f.received)},
                               {QStringLiteral("销售日期"), line.销售日期},
                               {QStringLiteral("退货日期"), today.dateText()},
                               {QStringLiteral("商品情况"), damaged ? QStringLiteral("有损") : QStringLiteral("无损")},
                               {QStringLiteral("备注"), line.备注},
                               {QStringLiteral("所属店铺"), context.currentShop}};
    if (!db.execute(data::buildInsertSql(dialect, kReturnsTable, returned)))
        return result;

    const QString action = (damaged ? QStringLiteral("销售明细---处理一笔有损退货！ ") : QStringLiteral("销售明细---处理一笔无损退货！ "))
                           + QStringList{line.供货来源, line.商品名称, line.类别, line.款号, line.颜色, line.尺码, line.单位}.join(
                               QStringLiteral("  "));
    if (!oplog::writeLogRow(context, action))
        return result;

    if (!lowerRanking(context, line))
        return result;

    if (!damaged) {
        bool ok = false;
        const qint64 stockId = stockRowOfLine(context, line, &ok);
        if (!ok)
            return result;
        if (stockId > 0) {
            data::Sql set(dialect.increment(QStringLiteral("数量")), {1});
            set += data::Sql(QStringLiteral(",") + dialect.increment(QStringLiteral("已售")), {-1});
            if (!db.execute(data::buildUpdateSql(dialect, kStockTable, set, data::eq(QStringLiteral("id"), stockId), true)))
                return result;
        }
    }

    // The member gets back what the unit used and gives back what it earned.
    if (!line.结付方式.isEmpty() && !line.会员编号.isEmpty()) {
        bool ok = false;
        const qint64 memberId = memberOfLine(context, line.会员编号, &ok);
        if (!ok)
            return result;
        if (memberId > 0) {
            const std::optional<SaleRest> rest = restOfSale(context, line);
            if (!rest)
                return result;
            const MemberGiveBack back = memberGiveBack(rest->amount, f.amountShare, rest->pointsMoney, f.pointsShare,
                                                       textToInteger(context.shopSettings.抵扣值));
            data::Sql set(dialect.incrementDecimal(QStringLiteral("积分")), {back.pointsBack - back.earned});
            set += data::Sql(QStringLiteral(",最近消费=?"), {today.dateText()});
            set += data::Sql(QStringLiteral(",") + dialect.increment(QStringLiteral("消费金额")), {-back.earned});
            set += data::Sql(QStringLiteral(",") + dialect.incrementDecimal(QStringLiteral("会员储值")),
                             {numberToText(f.storedShare)});
            if (!db.execute(data::buildUpdateSql(dialect, kMemberTable, set, data::eq(QStringLiteral("id"), memberId), true)))
                return result;
        }
    }

    const data::Sql byLine = lineOfShop(context, lineId);
    if (f.partial) {
        const auto less = [](const QString &text, double share) { return numberToText(textToNumber(text) - share); };
        result.remainingQuantity = numberToText(f.quantity - 1);
        const data::Pairs changed{{QStringLiteral("数量"), result.remainingQuantity},
                                  {QStringLiteral("金额"), less(line.金额, f.amountShare)},
                                  {QStringLiteral("现金"), less(line.现金, f.cashShare)},
                                  {QStringLiteral("积分"), less(line.积分, f.pointsShare)},
                                  {QStringLiteral("优惠券"), less(line.优惠券, f.voucherShare)},
                                  {QStringLiteral("储值"), less(line.储值, f.storedShare)},
                                  {QStringLiteral("银行"), less(line.银行, f.bankShare)}};
        if (!db.execute(data::buildUpdateSql(dialect, kSalesTable, changed, byLine, true)) || db.numRowsAffected() != 1)
            return result;
    } else {
        data::Sql remove(QStringLiteral("DELETE FROM ") + dialect.quoteTable(kSalesTable) + QStringLiteral(" WHERE "));
        remove += byLine;
        if (!db.execute(remove) || db.numRowsAffected() != 1)
            return result;
    }
    if (!tx.commit())
        return result;
    result.status = f.partial ? ReturnStatus::Partial : ReturnStatus::Whole;
    return result;
}

} // namespace cashier
