#pragma once
// The purchase report (采购报表): per shop, day and supplier, the stock that the day's purchase rows
// still hold (quantity and cost value), generated once per day; its listings with the red total row,
// its remarks and its export name.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "data/Sql.h"
#include "platform/MoneySum.h"

class AppContext;

namespace data {
class RecordSet;
}

namespace reports {

// The day text of 采购日期 and 入库日期: "2015-03-05".
QString purchaseReportDayText(const QDate &day);

// The listings of the shop's report rows, by 采购日期 (then id):
data::Sql purchaseReportOfMonthSql(AppContext &context, const QString &year, const QString &month);
data::Sql purchaseReportOfDaySql(AppContext &context, const QDate &day);
// Rows whose remark holds the text, over all days (ASCII letter case ignored; %, _ and \ stand for
// themselves).
data::Sql purchaseReportsByRemarkSql(AppContext &context, const QString &remark);
// The month's rows by id, as the list shows them after a generation.
data::Sql purchaseReportOfMonthByIdSql(AppContext &context, const QString &year, const QString &month);

// The list lines (seven cells: id, 采购日期, 供货来源, 数量, 成本价, 操作员, 备注) and, when there are
// rows, the total row: "合    计：" in column 2, the sum of the whole parts of 数量 in column 3, the
// exact sum of 成本价 in column 4, no id. ok false when the read failed.
QList<QStringList> purchaseReportLines(AppContext &context, const data::Sql &sql, bool *ok = nullptr);

inline const QString PurchaseTotalLabel = QStringLiteral("合    计：");

// One supplier's part of a day: the stock its rows hold and their cost value (进货价 × 数量).
struct SupplierTotal {
    QString supplier; // exactly as stored in 供货来源
    double quantity = 0;
    MoneySum cost;
};

// Walks stock rows (供货来源, 进货价, 数量) into one total per supplier text, compared exactly
// ("abc", "ABC" and "abc " are three suppliers), in the order the suppliers first appear.
QList<SupplierTotal> aggregatePurchaseBySupplier(data::RecordSet &stockRows);

enum class GenerateStatus {
    Generated,        // the day's rows (possibly none) and the log row are written
    AlreadyGenerated, // the shop has rows of that day: nothing written
    Failed,           // the database refused a statement: nothing written
};
struct GenerateResult {
    GenerateStatus status = GenerateStatus::Failed;
    QList<SupplierTotal> suppliers; // the rows written
};

// Generates the shop's report of a day from its stock rows of that 入库日期 whose 数量 is not "0":
// one row per supplier, in one transaction, with the log row. The check for an existing report of
// the day runs inside the transaction, one generation of the shop and day at a time, so two
// workstations never write the same day twice.
GenerateResult generatePurchaseReport(AppContext &context, const QDate &day);

// Stores a row's remark (by its id, in the shop). False when the row was not changed.
bool setPurchaseReportRemark(AppContext &context, qint64 id, const QString &remark);

// The workbook name of the export: 采购报表2015年03月05号9点7.
QString purchaseReportExportName(const QDate &date, const QTime &time);

namespace purchasereporttexts {
inline const QString Title = QStringLiteral("采购报表");
inline const QString AlreadyGenerated = QStringLiteral("您选择的日期报表已经生成过了");
inline const QString Generated = QStringLiteral("报表生成成功！！");
inline const QString GenerateFailed = QStringLiteral("采购报表没有生成，没有写入任何数据，请检查数据库连接后重试！");
inline const QString RemarkFailed = QStringLiteral("备注没有保存，请检查数据库连接后重试！");
inline const QString ReadFailed = QStringLiteral("读取采购报表失败，请检查数据库连接后重试！");
inline const QString ExportPrefix = QStringLiteral("采购报表");
inline const QString ExportLog = QStringLiteral("采购入库--采购报表--导出报表");
// The log text of a generation: 采购入库--采购报表---生成了2015-03-05号的报表数据.
QString generatedLog(const QString &dayText);
} // namespace purchasereporttexts

} // namespace reports
