#include "reports/ReturnRecords.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MessageSeam.h"
#include "reports/ReturnsWindow.h"

namespace reports {

namespace {

const QString kReturnsTable = QStringLiteral("退货管理");
const QString kStockTable = QStringLiteral("采购入库");

data::Sql rowOfShop(AppContext &context, qint64 id)
{
    return data::both(data::eq(QStringLiteral("id"), id), data::eq(QStringLiteral("所属店铺"), context.currentShop));
}

} // namespace

data::Sql returnRecordsSql(AppContext &context, ReturnFilter filter)
{
    data::Sql where = data::eq(QStringLiteral("所属店铺"), context.currentShop);
    if (filter == ReturnFilter::Damaged)
        where = data::both(where, data::eq(QStringLiteral("商品情况"), DamagedCondition));
    else if (filter == ReturnFilter::Undamaged)
        where = data::both(where, data::eq(QStringLiteral("商品情况"), UndamagedCondition));
    return data::buildSelectSql(context.connection().dialect(), kReturnsTable, where, true, QStringLiteral("id asc"), true);
}

ReturnListRows returnListRows(data::RecordSet &rs)
{
    ReturnListRows rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        ReturnListLine line;
        line.cells << QString::number(rs.integer(QStringLiteral("ID")));
        for (const char16_t *column : {u"供货来源", u"商品名称", u"分类", u"款号", u"颜色", u"尺码", u"单位", u"成本价",
                                       u"销售金额", u"销售日期", u"退货日期", u"商品情况", u"备注"})
            line.cells << rs.text(QString::fromUtf16(column));
        const QString &condition = line.cells.at(12);
        if (condition == DamagedCondition) {
            ++rows.damaged;
            line.colour = DamagedColour;
        } else if (condition == UndamagedCondition) {
            line.colour = UndamagedColour;
        }
        rows.lines << line;
    }
    return rows;
}

ReturnFilterStep returnFilterStep(const QString &caption)
{
    if (caption == ShowUndamagedCaption)
        return {ReturnFilter::Undamaged, ShowAllCaption};
    if (caption == ShowAllCaption)
        return {ReturnFilter::All, ShowDamagedCaption};
    return {ReturnFilter::Damaged, ShowUndamagedCaption};
}

ReturnRecord returnRecordOfCells(const QStringList &cells)
{
    ReturnRecord r;
    r.id = cells.value(0);
    r.供货来源 = cells.value(1);
    r.商品名称 = cells.value(2);
    r.分类 = cells.value(3);
    r.款号 = cells.value(4);
    r.颜色 = cells.value(5);
    r.尺码 = cells.value(6);
    r.单位 = cells.value(7);
    r.商品情况 = cells.value(12);
    return r;
}

bool isDamaged(const ReturnRecord &record)
{
    return record.商品情况 == DamagedCondition;
}

QString settleLogText(const ReturnRecord &record)
{
    return (isDamaged(record) ? returnrecordtexts::DamagedLog : returnrecordtexts::UndamagedLog)
           + QStringList{record.供货来源, record.商品名称, record.分类, record.款号, record.颜色, record.尺码, record.单位}.join(
               QStringLiteral("  "));
}

SettleOutcome settleReturnRecord(AppContext &context, const ReturnRecord &record, bool restock)
{
    const std::optional<qint64> id = data::idOf(record.id);
    if (!id)
        return SettleOutcome::Gone;
    const bool damaged = isDamaged(record);
    restock = restock && damaged;

    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    data::Transaction tx = db.transaction();
    if (!tx.isActive())
        return SettleOutcome::Failed;

    if (restock) {
        data::Sql match = data::eq(QStringLiteral("所属店铺"), context.currentShop);
        const std::pair<const char16_t *, const QString *> keys[] = {
            {u"款号", &record.款号}, {u"颜色", &record.颜色}, {u"尺码", &record.尺码}, {u"供货来源", &record.供货来源}};
        for (const auto &[column, value] : keys)
            match = data::both(match, data::eq(QString::fromUtf16(column), *value));
        data::RecordSet stock(db);
        if (!stock.open(data::buildSelectSql(dialect, kStockTable, match, true, QStringLiteral("id ASC"), true)))
            return SettleOutcome::Failed;
        if (stock.rowCount() <= 0)
            return SettleOutcome::NoStockRow;
        const data::Sql oneMore(dialect.increment(QStringLiteral("数量")), {1});
        if (!db.execute(data::buildUpdateSql(dialect, kStockTable, oneMore,
                                             data::eq(QStringLiteral("id"), stock.integer(QStringLiteral("id"))), true))
            || db.numRowsAffected() != 1)
            return SettleOutcome::Failed;
    }

    if (!oplog::writeLogRow(context, settleLogText(record)))
        return SettleOutcome::Failed;

    data::Sql remove(QStringLiteral("DELETE FROM ") + dialect.quoteTable(kReturnsTable) + QStringLiteral(" WHERE "));
    remove += rowOfShop(context, *id);
    if (!db.execute(remove))
        return SettleOutcome::Failed;
    // Settled meanwhile on another workstation: the unit must not go into stock twice.
    if (db.numRowsAffected() != 1)
        return SettleOutcome::Gone;
    if (!tx.commit())
        return SettleOutcome::Failed;
    if (restock)
        return SettleOutcome::Restocked;
    return damaged ? SettleOutcome::DeletedDamaged : SettleOutcome::DeletedUndamaged;
}

QString settleMessage(SettleOutcome outcome)
{
    using namespace returnrecordtexts;
    switch (outcome) {
    case SettleOutcome::Restocked: return Restocked;
    case SettleOutcome::DeletedDamaged: return DeletedDamaged;
    case SettleOutcome::DeletedUndamaged: return DeletedUndamaged;
    case SettleOutcome::NoStockRow: return NoStockRow;
    case SettleOutcome::Gone: return Gone;
    case SettleOutcome::Failed: break;
    }
    return Failed;
}

RemarkOutcome setReturnRemark(AppContext &context, const QString &id, const QString &remark)
{
    const std::optional<qint64> rowId = data::idOf(id);
    if (!rowId)
        return RemarkOutcome::Gone;
    data::Connection &db = context.connection();
    if (!db.execute(data::buildUpdateSql(db.dialect(), kReturnsTable, data::Pairs{{QStringLiteral("备注"), remark}},
                                         rowOfShop(context, *rowId), true)))
        return RemarkOutcome::Failed;
    return db.numRowsAffected() == 1 ? RemarkOutcome::Saved : RemarkOutcome::Gone;
}

void openReturnsWindow(AppContext &context, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("退货管理"), parent, rights::Refusal::NoExclamation))
        return;
    ReturnsWindow window(context, parent);
    MessageSeam::exec(&window);
}

} // namespace reports
