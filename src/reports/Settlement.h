#pragma once
// The shop's daily and monthly settlement in 销售简表: a day row sums the day's sold lines, a month
// row the month's day rows. A settlement is one transaction, held one at a time per shop, with the
// check for an existing row inside it, so two workstations never settle the same day or month twice.
// Also the four listings of the settlement rows with their total row, and the row remarks.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "data/Sql.h"

class AppContext;

namespace reports {

inline const QString kSummaryTable = QStringLiteral("销售简表");

// The figures of one settlement row, as stored.
struct SettlementFigures {
    QString 销售量, 销售金额, 成本价, 毛利润, 利润率, 银行, 积分, 优惠券, 储值, 实收金额;
    bool operator==(const SettlementFigures &) const = default;
};

// The margin as the settlement stores it: profit ÷ amount × 100 as a percentage text ("50.72%");
// "0%" when the amount is 0, so no row ever holds an infinite or undefined rate.
QString settlementMarginText(double profit, double amount);

// The day key (2015-03-11), the month key (2015年03月) and the day pattern of the month (%2015-03-%).
QString settlementDayKey(const QDate &day);
QString settlementMonthKey(const QDate &anyDayOfMonth);
QString settlementDayPattern(const QDate &anyDayOfMonth);

enum class SettleStatus {
    Settled,        // the row and its log row are stored
    AlreadySettled, // a row of that day or month exists: nothing written
    NothingToSettle, // no sold line that day, no day row that month: nothing written
    Failed,         // the database refused a statement: rolled back
};

struct SettleResult {
    SettleStatus status = SettleStatus::Failed;
    QString message; // what the user is told: the success text, the refusal or the failure
    SettlementFigures figures; // of a stored row
};

inline const QString kSettledText = QStringLiteral("结算成功！");
inline const QString kSettleFailedText = QStringLiteral("结算没有完成，请检查数据库连接后重试！");

// The day settlement of `day` for the workstation's shop (writeDailySummary): sums the day's
// 销售明细 lines and stores the day row, with its log row.
SettleResult writeDailySummary(AppContext &context, const QDate &day);

// The month's question (Yes/No, title "按月结算") and its text.
inline const QString kMonthQuestionTitle = QStringLiteral("按月结算");
QString monthQuestionText(const QDate &anyDayOfMonth);

// The month settlement of the month of `anyDayOfMonth` (writeMonthSummary): sums the month's day
// rows and stores the month row, with its log row. The question is asked before, by the caller.
SettleResult writeMonthSummary(AppContext &context, const QDate &anyDayOfMonth);

// The listings, each of the workstation's shop, by 结算日期 (the remark search by id):
// this month's day rows (the month of context.today), the day rows of a month, all month rows,
// and every row whose remark contains a text (literally: % and _ match themselves).
data::Sql summariesThisMonthSql(AppContext &context);
data::Sql daySummariesOfMonthSql(AppContext &context, const QDate &anyDayOfMonth);
data::Sql monthSummariesSql(AppContext &context);
data::Sql summariesByRemarkSql(AppContext &context, const QString &text);

// The summary list's columns: titles, and the 销售简表 column each shows ("" for none).
QList<QPair<QString, QString>> summaryListColumns();
constexpr int kSummaryRemarkColumn = 13;
inline const QString kSummaryTotalLabel = QStringLiteral("合    计");

// The list lines (14 cells) of the rows the statement reads and, when there is at least one, the
// total row: "合    计" in column 1, the sums of columns 2-5 and 7-11, and in column 6 the plain mean
// of the shown rows' rates (a row of "0%" counts 0), rounded to 2 decimals, then "%".
// ok false when the read failed.
QList<QStringList> summaryLines(AppContext &context, const data::Sql &sql, bool *ok = nullptr);

// Stores a row's remark, by its id in the workstation's shop. False when nothing was stored.
bool setSummaryRemark(AppContext &context, qint64 id, const QString &remark);
inline const QString kRemarkSavedText = QStringLiteral("备注修改成功！");
inline const QString kRemarkFailedText = QStringLiteral("备注没有保存，请检查数据库连接后重试！");

} // namespace reports
