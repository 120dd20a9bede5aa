#include "stock/FilterComboBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringListModel>

#include "data/Pinyin.h"

namespace stock {

namespace {

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    items.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

} // namespace

FilterComboBox::FilterComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Only the filter may change what the user typed: no inline completion on top of it.
    setCompleter(nullptr);

    // The list is a window of its own that neither takes the focus nor grabs keyboard or mouse.
    m_model = new QStringListModel(this);
    m_list = new QListView(this);
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setUniformItemSizes(true);
    m_list->setModel(m_model);
    m_list->hide();
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex &index) { pick(index.row()); });

    connect(lineEdit(), &QLineEdit::textEdited, this, &FilterComboBox::onTextEdited);
}

namespace {
// ASCII letters only: what a person types as pinyin initials.
bool isInitials(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c.unicode() > 127 || !c.isLetter())
            return false;
    return true;
}
} // namespace

void FilterComboBox::setItemsKeepingText(const QStringList &items)
{
    if (m_model->stringList() != items)
        m_model->setStringList(items);
    if (itemsOf(this) == items)
        return;
    // QComboBox rewrites its edit whenever its items change; put back what the user had.
    QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = int(edit->selectedText().size());
    {
        const QSignalBlocker blocker(this);
        clear();
        addItems(items);
        setCurrentIndex(-1);
        if (edit->text() != text)
            edit->setText(text);
    }
    if (selectionLength > 0 && cursor == selectionStart)
        edit->setSelection(selectionStart + selectionLength, -selectionLength);
    else if (selectionLength > 0)
        edit->setSelection(selectionStart, selectionLength);
    else
        edit->setCursorPosition(cursor);
}

void FilterComboBox::showFilterResult(const QStringList &items)
{
    setItemsKeepingText(items);
    if (items.size() == 1) {
        const QString typed = lineEdit()->text();
        const QString &match = items.first();
        setEditText(match);
        // When the typed characters begin the match (红 of 红色), the rest of the match is selected:
        // typing its next character (色) replaces the selection instead of doubling it, and typing
        // anything else keeps exactly what was typed. After initials (h of 红色) the match stays whole.
        if (!typed.isEmpty() && match.size() > typed.size() && match.startsWith(typed))
            lineEdit()->setSelection(match.size(), typed.size() - match.size());
        else if (isInitials(typed) && typed != match) {
            m_match = match;
            m_matchInitials = typed;
        }
        closeList();
    } else if (items.size() > 1) {
        openList();
    } else {
        closeList();
    }
}

void FilterComboBox::showPopup()
{
    if (isListShown()) {
        closeList();
        return;
    }
    Q_EMIT dropDownRequested();
    if (count() == 0)
        return;
    setItemsKeepingText(itemsOf(this));
    openList();
    const int row = findText(currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (row >= 0)
        m_list->setCurrentIndex(m_model->index(row));
}

void FilterComboBox::hidePopup()
{
    closeList();
    QComboBox::hidePopup();
}

bool FilterComboBox::isListShown() const
{
    return m_list->isVisible();
}

void FilterComboBox::keyPressEvent(QKeyEvent *event)
{
    m_composing = false;  // keys reach the combo only when no input method holds them
    if (isListShown()) {
        switch (event->key()) {
        case Qt::Key_Up: moveHighlight(-1); return;
        case Qt::Key_Down: moveHighlight(1); return;
        case Qt::Key_PageUp: moveHighlight(-qMax(1, maxVisibleItems() - 1)); return;
        case Qt::Key_PageDown: moveHighlight(qMax(1, maxVisibleItems() - 1)); return;
        case Qt::Key_Escape: closeList(); return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_list->currentIndex().isValid()) {
                pick(m_list->currentIndex().row());
                return;
            }
            closeList();
            break;
        default:
            break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void FilterComboBox::inputMethodEvent(QInputMethodEvent *event)
{
    // Text committed while the input method goes on composing is filtered when the composition
    // ends: changing the edit in between would throw away what is being composed.
    m_composing = !event->preeditString().isEmpty();
    QComboBox::inputMethodEvent(event);
    if (!m_composing && m_typedPending) {
        m_typedPending = false;
        emitTyped(currentText());
    }
}

void FilterComboBox::focusOutEvent(QFocusEvent *event)
{
    closeList();
    QComboBox::focusOutEvent(event);
}

bool FilterComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Hide:
        case QEvent::WindowDeactivate:
            closeList();
            break;
        default:
            break;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void FilterComboBox::hideEvent(QHideEvent *event)
{
    closeList();
    QComboBox::hideEvent(event);
}

void FilterComboBox::onTextEdited(const QString &text)
{
    if (m_composing) {
        m_typedPending = true;
        return;
    }
    m_typedPending = false;
    emitTyped(text);
}

void FilterComboBox::emitTyped(const QString &text)
{
    // Letters typed on after initials found one entry go on spelling its initials ("hm" of 华美服饰
    // shows 华美服饰, not 华美服饰m) while they still fit it; anything else continues the shown text.
    if (!m_match.isEmpty() && text.size() > m_match.size() && text.startsWith(m_match)
        && lineEdit()->cursorPosition() == text.size()) {
        const QString more = text.mid(m_match.size());
        const QString initials = m_matchInitials + more;
        if (isInitials(more) && data::toPinyinInitials(m_match).contains(initials, Qt::CaseInsensitive)) {
            m_matchInitials = initials;
            const QSignalBlocker blocker(this);
            lineEdit()->setText(m_match);
            return;
        }
    }
    m_match.clear();
    m_matchInitials.clear();
    Q_EMIT typed(text);
}

void FilterComboBox::openList()
{
    if (m_model->rowCount() == 0 || !isVisible())
        return;
    m_list->setCurrentIndex(QModelIndex());
    m_list->clearSelection();
    placeList();
    m_list->show();
    m_list->raise();
    if (m_watchedWindow != window()) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = window();
        m_watchedWindow->installEventFilter(this);
    }
}

void FilterComboBox::closeList()
{
    if (m_list->isVisible())
        m_list->hide();
    if (m_watchedWindow) {
        m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = nullptr;
    }
}

void FilterComboBox::moveHighlight(int steps)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const int current = m_list->currentIndex().row();
    const int next = current < 0 ? (steps > 0 ? 0 : rows - 1) : qBound(0, current + steps, rows - 1);
    const QModelIndex index = m_model->index(next);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
    setEditText(m_model->stringList().at(next));
}

void FilterComboBox::pick(int row)
{
    const QStringList items = m_model->stringList();
    if (row < 0 || row >= items.size())
        return;
    setEditText(items.at(row));
    closeList();
}

void FilterComboBox::placeList()
{
    const int rows = qMin(m_model->rowCount(), qMax(1, maxVisibleItems()));
    const int rowHeight = qMax(m_list->sizeHintForRow(0), fontMetrics().height());
    const QSize size(width(), rows * rowHeight + 2 * m_list->frameWidth());
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect room = s->availableGeometry();
        const QPoint top = mapToGlobal(QPoint(0, 0));
        if (at.y() + size.height() > room.bottom() && top.y() - size.height() >= room.top())
            at.setY(top.y() - size.height());
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - size.width())));
    }
    m_list->setGeometry(QRect(at, size));
}

} // namespace stock
