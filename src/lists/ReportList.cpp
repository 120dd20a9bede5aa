#include "lists/ReportList.h"

#include "lists/ReportListDelegate.h"
#include "lists/ReportListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <algorithm>

ReportList::ReportList(QWidget *parent)
    : QTreeView(parent)
    , m_model(new ReportListModel(this))
{
    setModel(m_model);
    setItemDelegate(new ReportListDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true); // pages sort on a header click (sectionClicked)

    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, ReportListDelegate::selectionBackground());
        pal.setColor(group, QPalette::HighlightedText, ReportListDelegate::selectionText());
    }
    setPalette(pal);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        // The position is in viewport coordinates for an item view.
        Q_EMIT rowContextMenuRequested(rowAt(pos), viewport()->mapToGlobal(pos));
    });
}

int ReportList::addColumn(const QString &title, int width)
{
    const int column = m_model->addColumn(title);
    if (width <= 0) {
        setColumnHidden(column, true);
    } else {
        setColumnHidden(column, false);
        setColumnWidth(column, width);
    }
    return column;
}

int ReportList::columnCount() const
{
    return m_model->columnCount();
}

QString ReportList::columnTitle(int column) const
{
    return m_model->columnTitle(column);
}

int ReportList::addRow(const QStringList &cells)
{
    return m_model->insertRow(-1, cells);
}

int ReportList::addRows(const QList<QStringList> &rows, const QList<QColor> &colours)
{
    return m_model->appendRows(rows, colours);
}

int ReportList::insertRow(int row, const QStringList &cells)
{
    return m_model->insertRow(row, cells);
}

bool ReportList::removeRow(int row)
{
    return m_model->removeRow(row);
}

void ReportList::clear()
{
    m_model->clearRows();
}

int ReportList::rowCount() const
{
    return m_model->rowCount();
}

QString ReportList::cellText(int row, int column) const
{
    return m_model->cellText(row, column);
}

bool ReportList::setCellText(int row, int column, const QString &text)
{
    return m_model->setCellText(row, column, text);
}

QStringList ReportList::rowTexts(int row) const
{
    return m_model->rowTexts(row);
}

void ReportList::setMultiSelection(bool on)
{
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool ReportList::isMultiSelection() const
{
    return selectionMode() != QAbstractItemView::SingleSelection;
}

int ReportList::selectedRow() const
{
    const QItemSelectionModel *sel = selectionModel();
    const QModelIndex current = sel->currentIndex();
    if (current.isValid() && sel->isRowSelected(current.row(), QModelIndex()))
        return current.row();
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> ReportList::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    rows.reserve(selected.size());
    for (const QModelIndex &i : selected)
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool ReportList::isRowSelected(int row) const
{
    return row >= 0 && row < rowCount() && selectionModel()->isRowSelected(row, QModelIndex());
}

void ReportList::selectRow(int row)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    auto flags = QItemSelectionModel::Rows | QItemSelectionModel::Select;
    if (!isMultiSelection())
        flags |= QItemSelectionModel::Clear;
    // The current cell goes on a shown column: on a hidden one (the row id) the arrow keys find
    // nothing to move from, and only a click would bring them back.
    selectionModel()->setCurrentIndex(m_model->index(row, firstShownColumn()), flags);
}

int ReportList::firstShownColumn() const
{
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int column = header()->logicalIndex(visual);
        if (!isColumnHidden(column))
            return column;
    }
    return 0;
}

void ReportList::ensureRowVisible(int row)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    m_pendingScroll = QPersistentModelIndex(m_model->index(row, 0));
    if (!m_scrollQueued && isVisible()) {
        m_scrollQueued = true;
        QMetaObject::invokeMethod(this, &ReportList::scrollToPendingRow, Qt::QueuedConnection);
    }
}

void ReportList::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    if (m_pendingScroll.isValid() && !m_scrollQueued) {
        m_scrollQueued = true;
        QMetaObject::invokeMethod(this, &ReportList::scrollToPendingRow, Qt::QueuedConnection);
    }
}

void ReportList::scrollToPendingRow()
{
    m_scrollQueued = false;
    if (!m_pendingScroll.isValid() || !isVisible())
        return;
    const QModelIndex target = m_pendingScroll;
    m_pendingScroll = QPersistentModelIndex();
    // Only the vertical position changes; the columns the user looks at stay where they are.
    const int horizontal = horizontalScrollBar()->value();
    scrollTo(target);
    horizontalScrollBar()->setValue(horizontal);
}

QRect ReportList::rowRect(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    for (int c = 0; c < columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const QRect cell = visualRect(m_model->index(row, c));
        return QRect(-header()->offset(), cell.top(), header()->length(), cell.height());
    }
    return {};
}

int ReportList::rowAt(const QPoint &viewportPos) const
{
    const QModelIndex i = indexAt(viewportPos);
    return i.isValid() ? i.row() : -1;
}

void ReportList::setFramedCell(const QModelIndex &cell)
{
    const QModelIndex old = m_framed;
    m_framed = cell;
    if (old.isValid())
        viewport()->update(visualRect(old));
    if (cell.isValid())
        viewport()->update(visualRect(cell));
}
