#include "lists/ListCellEditor.h"

#include "lists/ReportList.h"
#include "lists/ReportListModel.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

ListCellEditor::ListCellEditor(ReportList *list, QLineEdit *edit)
    : QObject(list)
    , m_list(list)
    , m_edit(edit)
{
    edit->hide();
    list->viewport()->installEventFilter(this);
    edit->installEventFilter(this);
    connect(list->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_list)
            m_list->setFramedCell(QModelIndex());
        commitAndHide();
    });
    connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { commitAndHide(); });
    // A resized or moved column leaves the box over the wrong pixels: finish the edit.
    connect(list->header(), &QHeaderView::sectionResized, this, [this] { commitAndHide(); });
}

ListCellEditor *attachListCellEditor(ReportList *list, QLineEdit *edit)
{
    if (!list || !edit)
        return nullptr;
    return new ListCellEditor(list, edit);
}

QRect ListCellEditor::computeCellRect(int row, int column) const
{
    if (!m_list || row < 0 || row >= m_list->rowCount() || column < 0 || column >= m_list->columnCount())
        return {};
    const QRect rowRect = m_list->rowRect(row);
    int left = -m_list->header()->offset();
    for (int c = 0; c < column; ++c)
        left += m_list->columnWidth(c);
    const int top = rowRect.top();
    const int right = left + m_list->columnWidth(column) - 2;
    const int bottom = top + rowRect.height() - 1;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

ListCellEditor::Hit ListCellEditor::hitTestListCell(const QPoint &viewportPos) const
{
    Hit hit;
    if (!m_list)
        return hit;
    const QModelIndex i = m_list->indexAt(viewportPos);
    if (i.isValid()) {
        hit.row = i.row();
        hit.column = i.column();
    }
    return hit;
}

void ListCellEditor::frameListCellAtPoint(const QPoint &viewportPos)
{
    if (!m_list)
        return;
    const Hit hit = hitTestListCell(viewportPos);
    if (hit.row < 0) {
        m_list->setFramedCell(QModelIndex());
        return;
    }
    m_list->setFramedCell(m_list->listModel()->index(hit.row, hit.column));
    m_list->setFocus(Qt::MouseFocusReason);
}

QRect ListCellEditor::editorGeometry(int row, int column) const
{
    if (!m_list || !m_edit || row < 0 || row >= m_list->rowCount() || column < 0
        || column >= m_list->columnCount())
        return {};
    QWidget *container = m_edit->parentWidget();
    // The list's left and top in the box's coordinates (normally its geometry: they are siblings).
    const QPoint listPos = container ? container->mapFromGlobal(m_list->mapToGlobal(QPoint(0, 0)))
                                     : m_list->mapToGlobal(QPoint(0, 0));
    const int L = listPos.x();
    const int T = listPos.y();
    const int W = m_list->width();

    // The item's position in the list: where its row starts, scrolled horizontally.
    const QRect rowRect = m_list->rowRect(row);
    const QPoint viewportOrigin = m_list->viewport()->pos();
    const int px = viewportOrigin.x() - m_list->header()->offset();
    const int py = viewportOrigin.y() + rowRect.top();

    int left = L + px;
    for (int c = 0; c < column; ++c)
        left += m_list->columnWidth(c);
    int width = m_list->columnWidth(column);
    const int top = T + py + 1;
    if (left < L) {
        width = width + left - L;
        left = L + 2;
    }
    if (left + width > L + W)
        width = L + W - left - 10;
    return QRect(left, top, qMax(0, width), rowRect.height());
}

void ListCellEditor::openListCellEditor(const QPoint &viewportPos)
{
    if (!m_list || !m_edit)
        return;
    commitAndHide();
    m_list->setFramedCell(QModelIndex());
    const Hit hit = hitTestListCell(viewportPos);
    if (hit.row < 0)
        return;
    m_edited = QPersistentModelIndex(m_list->listModel()->index(hit.row, hit.column));
    m_edit->setGeometry(editorGeometry(hit.row, hit.column));
    m_edit->setText(m_list->cellText(hit.row, hit.column));
    m_editing = true;
    m_edit->show();
    m_edit->raise();
    m_edit->setFocus(Qt::OtherFocusReason);
    m_edit->end(false);
}

ListCellEditor::Hit ListCellEditor::editedCell() const
{
    Hit hit;
    if (m_editing && m_edited.isValid()) {
        hit.row = m_edited.row();
        hit.column = m_edited.column();
    }
    return hit;
}

void ListCellEditor::commitCellEditor()
{
    commitAndHide();
}

void ListCellEditor::commitCellEditorOnEnter(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        commitAndHide();
}

void ListCellEditor::commitAndHide()
{
    if (!m_editing)
        return;
    // Cleared first: hiding the box moves the focus away, which would commit a second time.
    m_editing = false;
    const QString text = m_edit ? m_edit->text() : QString();
    const QPersistentModelIndex cell = m_edited;
    m_edited = QPersistentModelIndex();
    if (m_edit)
        m_edit->hide();
    // The row may have gone (list refilled): then there is no cell to write to.
    if (!m_list || !cell.isValid())
        return;
    m_list->setCellText(cell.row(), cell.column(), text);
    Q_EMIT cellCommitted(cell.row(), cell.column(), text);
}

bool ListCellEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (m_list && watched == m_list->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_releaseEndsDoubleClick = false;
            break;
        case QEvent::MouseButtonRelease: {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->button() != Qt::LeftButton)
                break;
            // The release that ends a double click must not take the focus from the box it opened.
            if (m_releaseEndsDoubleClick)
                m_releaseEndsDoubleClick = false;
            else
                frameListCellAtPoint(e->position().toPoint());
            break;
        }
        case QEvent::MouseButtonDblClick: {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->button() == Qt::LeftButton) {
                m_releaseEndsDoubleClick = true;
                openListCellEditor(e->position().toPoint());
            }
            break;
        }
        case QEvent::Wheel:
            commitAndHide();
            break;
        default:
            break;
        }
    } else if (m_edit && watched == m_edit) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto *e = static_cast<QKeyEvent *>(event);
            if (m_editing && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
                commitCellEditorOnEnter(e->key());
                return true;
            }
            break;
        }
        case QEvent::FocusOut: {
            // The box's own context menu takes the focus for a moment; that is not leaving the box.
            auto *e = static_cast<QFocusEvent *>(event);
            if (e->reason() != Qt::PopupFocusReason)
                commitAndHide();
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
