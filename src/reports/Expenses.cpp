#include "reports/Expenses.h"

#include "cashier/CheckoutState.h"
#include "context/AppContext.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MoneySum.h"
#include "platform/NumberText.h"

#include <optional>

namespace reports {

namespace {

const QString kExpenseTable = QStringLiteral("开支管理");

data::Sql expenseOfShop(AppContext &context, qint64 id)
{
    return data::both(data::eq(QStringLiteral("id"), id), data::eq(QStringLiteral("所属店铺"), context.currentShop));
}

ExpenseResult done()
{
    return {ExpenseOutcome::Done, QString()};
}

ExpenseResult failed()
{
    return {ExpenseOutcome::Failed, expensetexts::Failed};
}

} // namespace

data::Sql expensesOfMonthSql(AppContext &context, const QString &year, const QString &month)
{
    const data::Dialect &dialect = context.connection().dialect();
    const data::Sql where = data::both(dialect.like(QStringLiteral("日期"), u'%' + year + u'-' + month + QStringLiteral("-%")),
                                       data::eq(QStringLiteral("所属店铺"), context.currentShop));
    return data::buildSelectSql(dialect, kExpenseTable, where, true, QStringLiteral("id ASC"), true);
}

data::Sql expensesOfThisMonthSql(AppContext &context)
{
    const DateParts today = datingNow(context);
    return expensesOfMonthSql(context, today.year, today.month);
}

QList<QStringList> expenseListLines(data::RecordSet &rs)
{
    QList<QStringList> lines;
    MoneySum total;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        const QString amount = rs.text(QStringLiteral("金额"));
        lines << QStringList{QString::number(rs.integer(QStringLiteral("ID"))), rs.text(QStringLiteral("开支项目")), amount,
                             rs.text(QStringLiteral("经手人")), rs.text(QStringLiteral("日期"))};
        total.add(amount);
    }
    if (!lines.isEmpty())
        lines << QStringList{QString(), QString(), QString(), ExpenseTotalLabel, total.text()};
    return lines;
}

bool isExpenseTotalLine(const QStringList &cells)
{
    return cells.value(0).isEmpty() && cells.value(3) == ExpenseTotalLabel;
}

// An amount as money is typed everywhere: no exponent, at most the shop's decimals, within the
// money ceiling ("" passes).
static std::optional<ExpenseResult> amountRefusal(const AppContext &context, const QString &amount)
{
    const int decimals = cashier::moneyDecimals(context.shopSettings);
    if (!amount.isEmpty() && (amount == u"-" || !cashier::numberTextAccepted(amount, decimals)))
        return ExpenseResult{ExpenseOutcome::Refused, cashier::moneyTypingRefusedText(decimals)};
    if (!moneyWithinCeiling(amount))
        return ExpenseResult{ExpenseOutcome::Refused, moneyCeilingText()};
    return std::nullopt;
}

QString amountEditRefusal(const QString &before, const QString &after)
{
    return moneyWithinCeiling(after) || !moneyWithinCeiling(before) ? QString() : moneyCeilingText();
}

ExpenseResult insertExpense(AppContext &context, const ExpenseForm &form)
{
    if (form.item.isEmpty() && form.amount.isEmpty())
        return {ExpenseOutcome::Refused, expensetexts::NothingTyped};
    if (const auto refused = amountRefusal(context, form.amount))
        return *refused;
    const DateParts today = datingNow(context);
    data::Connection &db = context.connection();
    const data::Pairs pairs{{QStringLiteral("开支项目"), form.item},
                            {QStringLiteral("金额"), form.amount},
                            {QStringLiteral("经手人"), form.handler},
                            {QStringLiteral("日期"), today.dateText()},
                            {QStringLiteral("所属店铺"), context.currentShop}};
    return db.execute(data::buildInsertSql(db.dialect(), kExpenseTable, pairs)) ? done() : failed();
}

ExpenseResult changeExpense(AppContext &context, const QString &rowId, const ExpenseForm &form)
{
    const std::optional<qint64> id = data::idOf(rowId);
    if (!id)
        return {ExpenseOutcome::Refused, QString()};
    if (const auto refused = amountRefusal(context, form.amount))
        return *refused;
    data::Connection &db = context.connection();
    const data::Pairs set{{QStringLiteral("开支项目"), form.item},
                          {QStringLiteral("金额"), form.amount},
                          {QStringLiteral("经手人"), form.handler}};
    return db.execute(data::buildUpdateSql(db.dialect(), kExpenseTable, set, expenseOfShop(context, *id), true)) ? done()
                                                                                                               : failed();
}

ExpenseResult removeExpense(AppContext &context, const QString &rowId)
{
    const std::optional<qint64> id = data::idOf(rowId);
    if (!id)
        return {ExpenseOutcome::Refused, QString()};
    data::Connection &db = context.connection();
    data::Sql remove(QStringLiteral("DELETE FROM ") + db.dialect().quoteTable(kExpenseTable) + QStringLiteral(" WHERE "));
    remove += expenseOfShop(context, *id);
    return db.execute(remove) ? done() : failed();
}

} // namespace reports
