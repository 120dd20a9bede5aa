#pragma once
// The shop's expenses (开支管理): a month's list with its red total row, and adding, changing and
// deleting an expense. Texts are stored exactly as typed; an expense is dated by the day it is
// entered.
#include <QList>
#include <QString>
#include <QStringList>

#include "data/Sql.h"

class AppContext;

namespace data {
class RecordSet;
}

namespace reports {

// The label of the total row, under 经手人 ("合", eight blanks, "计：").
inline const QString ExpenseTotalLabel = QStringLiteral("合        计：");

// The shop's expenses of a month (year "2015", month "03"), oldest first.
data::Sql expensesOfMonthSql(AppContext &context, const QString &year, const QString &month);
// The same for the month of today, refreshed first.
data::Sql expensesOfThisMonthSql(AppContext &context);

// The list lines (id, 开支项目, 金额, 经手人, 日期) of every row of the record set, from the first,
// then, when there is any, the total row: "" "" "" 合        计： <the amounts summed exactly; an
// empty or non-numeric amount counts 0>.
QList<QStringList> expenseListLines(data::RecordSet &rs);
// True for the total row's cells (it has no id).
bool isExpenseTotalLine(const QStringList &cells);

// What the edits hold.
struct ExpenseForm {
    QString item;    // 开支项目
    QString amount;  // 开支金额
    QString handler; // 经手人
};

enum class ExpenseOutcome {
    Done,
    Refused,    // nothing typed (add), or no expense row selected (change, delete): nothing written
    Failed,     // the database refused the statement: nothing written
};
struct ExpenseResult {
    ExpenseOutcome outcome = ExpenseOutcome::Failed;
    QString message; // what to show; "" for none
};

// A change the user makes to the amount box (a key, a paste, an undo) from `before` to `after`: the
// refusal of an amount beyond the money ceiling, "" when the change may stand. A box that held such
// an amount already (read from a row stored before money had a ceiling) may still be edited.
QString amountEditRefusal(const QString &before, const QString &after);

// Stores a new expense of the shop dated today (refreshed first). Refused when both the item and
// the amount are empty, or when the amount is not money as the counter takes it (an exponent, more
// decimals than the shop's 销售 allows, more digits before the point than the money ceiling):
// nothing is stored and the message says why.
ExpenseResult insertExpense(AppContext &context, const ExpenseForm &form);
// Rewrites item, amount and handler of the shop's expense whose list id is `rowId` (the cell 0 of
// the row selected in the expense list; "" for none or the total row, which changes nothing).
ExpenseResult changeExpense(AppContext &context, const QString &rowId, const ExpenseForm &form);
// Deletes the shop's expense whose list id is `rowId` (no question); "" deletes nothing.
ExpenseResult removeExpense(AppContext &context, const QString &rowId);

namespace expensetexts {
inline const QString NothingTyped = QStringLiteral("未填写开支项目和金额");
inline const QString Failed = QStringLiteral("开支记录没有保存，请检查数据库连接后重试！");
inline const QString ReadFailed = QStringLiteral("读取开支记录失败，请检查数据库连接后重试！");
// 修改 / 删除 with no expense row selected in the list (nothing, or the total row).
inline const QString NothingSelectedToChange = QStringLiteral("请先在列表中选择要修改的开支记录！");
inline const QString NothingSelectedToDelete = QStringLiteral("请先在列表中选择要删除的开支记录！");
} // namespace expensetexts

} // namespace reports
