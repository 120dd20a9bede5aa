#include "reports/ExpensePage.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "reports/Expenses.h"

#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

ExpensePage::ExpensePage(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("开支记录"));
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框10"));
    const std::pair<const char16_t *, int> columns[] = {
        {u"id", 0}, {u"店铺开支项目", 700}, {u"支出金额", 70}, {u"经手人", 100}, {u"日期", 120}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);

    const auto edit = [this](const char16_t *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf16(name));
        return e;
    };
    m_item = edit(u"开支项目");
    m_amount = edit(u"开支金额");
    m_handler = edit(u"经手人");
    m_item->setMinimumWidth(320);
    const auto button = [this](const char16_t *name, const char16_t *caption) {
        auto *b = new QPushButton(QString::fromUtf16(caption), this);
        b->setObjectName(QString::fromUtf16(name));
        return b;
    };
    auto *add = button(u"添加", u"添加");
    auto *modify = button(u"修改", u"修改");
    auto *remove = button(u"删除", u"删除");
    auto *byMonth = button(u"按月查看1", u"按月查看");
    m_month = new QDateEdit(Clock::now().date(), this);
    m_month->setObjectName(QStringLiteral("起始日期2"));
    m_month->setCalendarPopup(true);
    m_month->setDisplayFormat(QStringLiteral("yyyy年M月d日"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("开支项目"), this));
    bar->addWidget(m_item, 1);
    bar->addWidget(new QLabel(QStringLiteral("金额"), this));
    bar->addWidget(m_amount);
    bar->addWidget(new QLabel(QStringLiteral("经手人"), this));
    bar->addWidget(m_handler);
    bar->addWidget(add);
    bar->addWidget(modify);
    bar->addWidget(remove);
    bar->addSpacing(24);
    bar->addWidget(m_month);
    bar->addWidget(byMonth);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(bar);

    connect(add, &QPushButton::clicked, this, &ExpensePage::addExpense);
    connect(modify, &QPushButton::clicked, this, &ExpensePage::updateExpense);
    connect(remove, &QPushButton::clicked, this, &ExpensePage::deleteExpense);
    connect(byMonth, &QPushButton::clicked, this, &ExpensePage::listExpensesOfMonth);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ExpensePage::showSelectedExpense);
    // A line edit tells of the user's change (textEdited) before it tells of the new text
    // (textChanged): the check sees the text the change replaced. The box's own text is kept, not
    // the signal's, as the news of a refused change comes after the box took its text back.
    connect(m_amount, &QLineEdit::textEdited, this, &ExpensePage::checkTypedAmount);
    connect(m_amount, &QLineEdit::textChanged, this, [this] { m_amountShown = m_amount->text(); });
    m_amount->installEventFilter(this);
}

bool ExpensePage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_amount) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
            // Keys that come while the refusal is read (a scanner's last digits and its Enter)
            // were meant for the amount it refused: none of them is typed.
            if (m_refusing)
                return true;
            m_typedKey = event->type() == QEvent::InputMethod
                         || !(static_cast<QKeyEvent *>(event)->modifiers() & Qt::ControlModifier);
            break;
        case QEvent::FocusIn:
            m_typingStart = m_amount->text();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            m_typedKey = false; // what changes the text next is a paste or a drop
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ExpensePage::checkTypedAmount(const QString &text)
{
    const QString refusal = amountEditRefusal(m_amountShown, text);
    if (refusal.isEmpty())
        return;
    // Keys past the ceiling take the box back to what it held before the typing began, not to the
    // first digits of a scanned code; a refused paste leaves what the box held. That text is wholly
    // selected, so that the amount typed next replaces it.
    m_amount->setText(m_typedKey ? m_typingStart : m_amountShown);
    m_amount->selectAll();
    m_refusing = true;
    MessageSeam::message(this, QString(), refusal);
    m_refusing = false;
}

void ExpensePage::fillExpenseList(data::RecordSet &rs)
{
    if (rs.rowCount() < 0) {
        MessageSeam::message(this, QString(), expensetexts::ReadFailed);
        return;
    }
    const QList<QStringList> lines = expenseListLines(rs);
    showLinesWithTotalRow(m_list, lines);
}

void ExpensePage::relist(const data::Sql &sql)
{
    // A refill clears the selection: the expense that was selected is selected again when the new
    // list holds it, so that a second 修改 acts on it too. The edits keep what they hold.
    const QString selected = selectedExpenseId();
    data::RecordSet rs(m_context.connection());
    rs.open(sql);
    fillExpenseList(rs);
    if (selected.isEmpty())
        return;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->cellText(row, 0) == selected && !isExpenseTotalLine(m_list->rowTexts(row))) {
            m_reselecting = true;
            m_list->selectRow(row);
            m_reselecting = false;
            return;
        }
    }
}

void ExpensePage::listExpensesOfMonth()
{
    const QDate date = m_month->date();
    relist(expensesOfMonthSql(m_context, QString::number(date.year()),
                              QStringLiteral("%1").arg(date.month(), 2, 10, QChar(u'0'))));
}

QString ExpensePage::selectedExpenseId() const
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return QString();
    const QStringList cells = m_list->rowTexts(row);
    return isExpenseTotalLine(cells) ? QString() : cells.value(0);
}

void ExpensePage::addExpense()
{
    const ExpenseResult result = insertExpense(m_context, {m_item->text(), m_amount->text(), m_handler->text()});
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
    // The edits keep their texts.
    if (result.outcome == ExpenseOutcome::Done)
        relist(expensesOfThisMonthSql(m_context));
}

void ExpensePage::updateExpense()
{
    if (selectedExpenseId().isEmpty()) {
        MessageSeam::message(this, QString(), expensetexts::NothingSelectedToChange);
        return;
    }
    const ExpenseResult result =
        changeExpense(m_context, selectedExpenseId(), {m_item->text(), m_amount->text(), m_handler->text()});
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
    if (result.outcome == ExpenseOutcome::Done)
        relist(expensesOfThisMonthSql(m_context));
}

void ExpensePage::deleteExpense()
{
    if (selectedExpenseId().isEmpty()) {
        MessageSeam::message(this, QString(), expensetexts::NothingSelectedToDelete);
        return;
    }
    const ExpenseResult result = removeExpense(m_context, selectedExpenseId());
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
    if (result.outcome == ExpenseOutcome::Done)
        relist(expensesOfThisMonthSql(m_context));
}

void ExpensePage::showSelectedExpense()
{
    const int row = m_list->selectedRow();
    if (row < 0 || m_reselecting)
        return; // a refill clears the selection or selects the same expense again; the edits keep what they hold
    const QStringList cells = m_list->rowTexts(row);
    m_item->setText(cells.value(1));
    m_amount->setText(cells.value(2));
    m_typingStart = m_amount->text();
    m_handler->setText(cells.value(3));
}

} // namespace reports
