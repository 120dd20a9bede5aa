#include "lists/ReportListModel.h"

#include <QBrush>

ReportListModel::ReportListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int ReportListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant ReportListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &r = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
        return index.column() < r.cells.size() ? r.cells[index.column()] : QString();
    case Qt::ForegroundRole:
        if (r.coloured)
            return QBrush(QColor::fromRgb(r.colour));
        return {};
    default:
        return {};
    }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_titles.size())
        return m_titles[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

int ReportListModel::addColumn(const QString &title)
{
    const int column = int(m_titles.size());
    beginInsertColumns(QModelIndex(), column, column);
    m_titles.append(title);
    endInsertColumns();
    return column;
}

QString ReportListModel::columnTitle(int column) const
{
    return column >= 0 && column < m_titles.size() ? m_titles[column] : QString();
}

int ReportListModel::insertRow(int row, const QStringList &cells)
{
    if (row < 0 || row > m_rows.size())
        row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    Row r;
    r.cells = cellsOf(cells);
    m_rows.insert(row, std::move(r));
    endInsertRows();
    return row;
}

int ReportListModel::appendRows(const QList<QStringList> &rows, const QList<QColor> &colours)
{
    const int first = int(m_rows.size());
    if (rows.isEmpty())
        return first;
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    m_rows.reserve(first + rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        Row r;
        r.cells = cellsOf(rows.at(i));
        if (i < colours.size() && colours.at(i).isValid()) {
            r.colour = colours.at(i).rgb();
            r.coloured = true;
        }
        m_rows.append(std::move(r));
    }
    endInsertRows();
    return first;
}

QStringList ReportListModel::cellsOf(const QStringList &cells) const
{
    // Surplus cells are dropped; a row that fits shares the caller's list instead of copying it.
    return cells.size() <= m_titles.size() ? cells : cells.first(m_titles.size());
}

bool ReportListModel::removeRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    return true;
}

void ReportListModel::clearRows()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString ReportListModel::cellText(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_titles.size())
        return {};
    const QStringList &cells = m_rows[row].cells;
    return column < cells.size() ? cells[column] : QString();
}

bool ReportListModel::setCellText(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_titles.size())
        return false;
    QStringList &cells = m_rows[row].cells;
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QStringList ReportListModel::rowTexts(int row) const
{
    QStringList out;
    out.reserve(m_titles.size());
    for (int c = 0; c < m_titles.size(); ++c)
        out.append(cellText(row, c));
    return out;
}

bool ReportListModel::setRowColour(int row, const QColor &colour)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    Row &r = m_rows[row];
    r.colour = colour.rgb();
    r.coloured = true;
    if (!m_titles.isEmpty())
        Q_EMIT dataChanged(index(row, 0), index(row, int(m_titles.size()) - 1), {Qt::ForegroundRole});
    return true;
}

bool ReportListModel::clearRowColours()
{
    bool had = false;
    for (Row &r : m_rows) {
        had = had || r.coloured;
        r.coloured = false;
    }
    if (had && !m_titles.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, int(m_titles.size()) - 1),
                           {Qt::ForegroundRole});
    return had;
}

QColor ReportListModel::rowColour(int row) const
{
    if (row < 0 || row >= m_rows.size() || !m_rows[row].coloured)
        return {};
    return QColor::fromRgb(m_rows[row].colour);
}

void ReportListModel::reorder(const QVector<int> &order)
{
    const int n = int(m_rows.size());
    Q_ASSERT(order.size() == n);
    if (order.size() != n)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    QVector<int> newPosition(n);
    for (int i = 0; i < n; ++i)
        newPosition[order[i]] = i;

    QVector<Row> rows(n);
    for (int i = 0; i < n; ++i)
        rows[i] = std::move(m_rows[order[i]]);
    m_rows = std::move(rows);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after.append(index(newPosition[i.row()], i.column()));
    changePersistentIndexList(before, after);

    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
