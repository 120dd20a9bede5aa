#include "reports/PurchaseReport.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ExcelExport.h"
#include "platform/NumberText.h"

#include <QCryptographicHash>
#include <QHash>
#include <QtEndian>

namespace reports {

namespace {

const QString kTable = QStringLiteral("采购报表");
const QString kStockTable = QStringLiteral("采购入库");

// Texts are stored as texts, never as NULL.
QString stored(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

data::Sql ofShop(const AppContext &context)
{
    return data::eq(QStringLiteral("所属店铺"), stored(context.currentShop));
}

data::Sql monthCondition(AppContext &context, const QString &year, const QString &month)
{
    return data::both(ofShop(context), context.connection().dialect().like(QStringLiteral("采购日期"),
                                                                           u'%' + year + u'-' + month + QStringLiteral("-%")));
}

data::Sql select(AppContext &context, const data::Sql &where, const QString &order)
{
    return data::buildSelectSql(context.connection().dialect(), kTable, where, true, order, true);
}

const QString kByDay = QStringLiteral("采购日期 ASC, id ASC");

// The lock that serialises the generations of one shop and day (a different shop or day never waits).
qint64 generationLockKey(const QString &shop, const QString &dayText)
{
    const QByteArray digest = QCryptographicHash::hash((QStringLiteral("采购报表|") + shop + u'|' + dayText).toUtf8(),
                                                       QCryptographicHash::Sha1);
    return qFromBigEndian<qint64>(digest.constData());
}

} // namespace

QString purchaseReportDayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

data::Sql purchaseReportOfMonthSql(AppContext &context, const QString &year, const QString &month)
{
    return select(context, monthCondition(context, year, month), kByDay);
}

data::Sql purchaseReportOfDaySql(AppContext &context, const QDate &day)
{
    return select(context, data::both(ofShop(context), data::eq(QStringLiteral("采购日期"), purchaseReportDayText(day))),
                  kByDay);
}

data::Sql purchaseReportsByRemarkSql(AppContext &context, const QString &remark)
{
    return select(context, data::both(ofShop(context), context.connection().dialect().contains(QStringLiteral("备注"), remark)),
                  kByDay);
}

data::Sql purchaseReportOfMonthByIdSql(AppContext &context, const QString &year, const QString &month)
{
    return select(context, monthCondition(context, year, month), QStringLiteral("id ASC"));
}

QList<QStringList> purchaseReportLines(AppContext &context, const data::Sql &sql, bool *ok)
{
    QList<QStringList> lines;
    data::RecordSet rs(context.connection());
    const bool opened = rs.open(sql);
    if (ok)
        *ok = opened;
    if (!opened || rs.rowCount() <= 0)
        return lines;
    qint64 quantity = 0;
    MoneySum cost;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        const QStringList line{QString::number(rs.integer(QStringLiteral("id"))), rs.text(QStringLiteral("采购日期")),
                               rs.text(QStringLiteral("供货来源")),                 rs.text(QStringLiteral("数量")),
                               rs.text(QStringLiteral("成本价")),                   rs.text(QStringLiteral("操作员")),
                               rs.text(QStringLiteral("备注"))};
        quantity += textToInteger(line.at(3));
        cost.add(line.at(4));
        lines << line;
    }
    QStringList total(7);
    total[2] = PurchaseTotalLabel;
    total[3] = QString::number(quantity);
    total[4] = cost.text();
    lines << total;
    return lines;
}

QList<SupplierTotal> aggregatePurchaseBySupplier(data::RecordSet &stockRows)
{
    QList<SupplierTotal> totals;
    QHash<QString, qsizetype> index; // supplier text -> its place in totals
    for (stockRows.moveFirst(); !stockRows.pastLast(); stockRows.moveNext()) {
        const QString supplier = stored(stockRows.text(QStringLiteral("供货来源")));
        auto it = index.constFind(supplier);
        if (it == index.cend()) {
            it = index.insert(supplier, totals.size());
            totals.append(SupplierTotal{supplier, 0, {}});
        }
        SupplierTotal &total = totals[*it];
        const double quantity = textToNumber(stockRows.text(QStringLiteral("数量")));
        total.quantity += quantity;
        total.cost.addProduct(textToNumber(stockRows.text(QStringLiteral("进货价"))), quantity);
    }
    return totals;
}

GenerateResult generatePurchaseReport(AppContext &context, const QDate &day)
{
    GenerateResult result;
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    const QString dayText = purchaseReportDayText(day);
    const QString shop = stored(context.currentShop);

    data::Transaction tx = db.transaction();
    if (!tx.isActive() || !db.holdTransactionLock(generationLockKey(shop, dayText)))
        return result;

    data::RecordSet rs(db);
    if (!rs.open(purchaseReportOfDaySql(context, day)))
        return result;
    if (rs.rowCount() > 0) {
        result.status = GenerateStatus::AlreadyGenerated;
        return result;
    }

    // The day's rows that still hold stock: 数量 compared as text, so only "0" is left out.
    const data::Sql stockWhere = data::both(data::both(data::cmp(QStringLiteral("数量"), QStringLiteral("<>"), QStringLiteral("0")),
                                                       data::eq(QStringLiteral("所属店铺"), shop)),
                                            data::eq(QStringLiteral("入库日期"), dayText));
    if (!rs.open(data::buildSelectSql(dialect, kStockTable, stockWhere, true, QStringLiteral("供货来源 ASC, id ASC"), true)))
        return result;
    const QList<SupplierTotal> suppliers = aggregatePurchaseBySupplier(rs);

    for (const SupplierTotal &supplier : suppliers) {
        const data::Pairs row{
            {QStringLiteral("所属店铺"), shop},
            {QStringLiteral("采购日期"), dayText},
            {QStringLiteral("操作员"), stored(context.currentUserName)},
            {QStringLiteral("数量"), numberToText(supplier.quantity)},
            {QStringLiteral("成本价"), supplier.cost.text()},
            {QStringLiteral("供货来源"), supplier.supplier},
            {QStringLiteral("备注"), QStringLiteral("")},
        };
        if (!db.execute(data::buildInsertSql(dialect, kTable, row)))
            return result;
    }
    if (!oplog::writeLogRow(context, purchasereporttexts::generatedLog(dayText)) || !tx.commit())
        return result;
    result.status = GenerateStatus::Generated;
    result.suppliers = suppliers;
    return result;
}

bool setPurchaseReportRemark(AppContext &context, qint64 id, const QString &remark)
{
    data::Connection &db = context.connection();
    const data::Sql where = data::both(data::eq(QStringLiteral("id"), id), ofShop(context));
    return db.execute(data::buildUpdateSql(db.dialect(), kTable, data::Pairs{{QStringLiteral("备注"), stored(remark)}}, where,
                                           true))
        && db.numRowsAffected() == 1;
}

QString purchaseReportExportName(const QDate &date, const QTime &time)
{
    return excelExportName(purchasereporttexts::ExportPrefix, date, time);
}

QString purchasereporttexts::generatedLog(const QString &dayText)
{
    return QStringLiteral("采购入库--采购报表---生成了") + dayText + QStringLiteral("号的报表数据");
}

} // namespace reports
