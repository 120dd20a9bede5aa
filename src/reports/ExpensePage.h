#pragma once
// The page 开支记录 of the main window: one month of the shop's expenses with a red total row,
// the edits of an expense and its buttons. 修改 and 删除 act on the row selected in this list
// only, and say so when none is; the total row is never changed or deleted. Every refill keeps the
// selected expense selected when the list still holds it.
#include <QWidget>

#include "data/Sql.h"

class AppContext;
namespace data {
class RecordSet;
}
class QDateEdit;
class QLineEdit;
class ReportList;

namespace reports {

class ExpensePage : public QWidget
{
    Q_OBJECT
public:
    explicit ExpensePage(AppContext &context, QWidget *parent = nullptr);

    // Empties the list and fills it from the record set (the page switch's first fill uses this),
    // with the total row when there are expenses. A record set whose statement failed leaves the
    // list as it was.
    void fillExpenseList(data::RecordSet &rs);
    void listExpensesOfMonth(); // 按月查看1: the month of 起始日期2
    void addExpense();          // 添加
    void updateExpense();       // 修改
    void deleteExpense();       // 删除
    void showSelectedExpense(); // a row selected: its cells into the edits

    ReportList *list() const { return m_list; }
    QLineEdit *itemBox() const { return m_item; }
    QLineEdit *amountBox() const { return m_amount; }
    QLineEdit *handlerBox() const { return m_handler; }
    QDateEdit *monthPicker() const { return m_month; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void relist(const data::Sql &sql);
    // A key or a paste that takes the amount beyond the money ceiling is refused: the box shows
    // what it held before, then the user is told why.
    void checkTypedAmount(const QString &text);
    // Cell 0 of the selected row: "" when none, or the total row, is selected.
    QString selectedExpenseId() const;

    AppContext &m_context;
    ReportList *m_list;
    QLineEdit *m_item, *m_amount, *m_handler;
    QDateEdit *m_month;
    bool m_reselecting = false; // a refill selecting the former expense again: the edits stay
    QString m_amountShown; // the amount box's text before the change being checked
    QString m_typingStart; // the amount box's text when the typing into it began
    bool m_typedKey = false; // the change being checked comes from a typed key, not a paste
    bool m_refusing = false; // the refusal of an amount is being shown
};

} // namespace reports
