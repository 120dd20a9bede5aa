#pragma once
// The report-style list every page uses: titled columns of given widths (width 0 is a hidden
// column, such as a row id), rows of cell texts, single or multiple row selection. The page that
// owns a list gives it its object name (超级列表框1, ...).
#include <QColor>
#include <QList>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTreeView>

class ReportListModel;

class ReportList : public QTreeView
{
    Q_OBJECT
public:
    explicit ReportList(QWidget *parent = nullptr);

    ReportListModel *listModel() const { return m_model; }

    // Appends a column with its title and width in pixels; width 0 hides it. Returns its index.
    int addColumn(const QString &title, int width);
    int columnCount() const;
    QString columnTitle(int column) const;

    // Appends a row; returns its index. Missing cells are empty, surplus cells are ignored.
    int addRow(const QStringList &cells);
    // Appends the rows in one step (a filler of many rows); row i gets colours[i] as its text colour
    // when given and valid. Returns the index of the first new row.
    int addRows(const QList<QStringList> &rows, const QList<QColor> &colours = {});
    // Inserts a row before `row` (appends when out of range); returns its index.
    int insertRow(int row, const QStringList &cells);
    bool removeRow(int row);
    // Deletes every row; columns stay.
    void clear();
    int rowCount() const;

    QString cellText(int row, int column) const;
    bool setCellText(int row, int column, const QString &text);
    QStringList rowTexts(int row) const;

    // Single selection (the default) or several rows at once (Ctrl/Shift).
    void setMultiSelection(bool on);
    bool isMultiSelection() const;
    // The selected row (the current one when several are selected), -1 when none is.
    int selectedRow() const;
    // All selected rows in ascending order.
    QList<int> selectedRows() const;
    bool isRowSelected(int row) const;
    // Selects the row and makes it current (in single selection the others are deselected).
    void selectRow(int row);

    // Scrolls so that the row is visible. The scroll happens when control returns to the event loop
    // (or when the list is shown), once for any number of calls: a filler that scrolls every new
    // row into view costs one scroll, not one per row.
    void ensureRowVisible(int row);
    // Where a row lies in the viewport: its top and height, across all columns (scrolled
    // horizontally like the cells). Empty for a row that does not exist.
    QRect rowRect(int row) const;
    // The row under a point of the viewport, -1 when there is none.
    int rowAt(const QPoint &viewportPos) const;

    // The cell drawn with the one-pixel blue frame (the in-cell editor's), invalid when none.
    QModelIndex framedCell() const { return m_framed; }
    void setFramedCell(const QModelIndex &cell);

Q_SIGNALS:
    // Right click (or the menu key): the row under the cursor (-1 on an empty area) and the
    // cursor's global position, where a pop-up menu belongs.
    void rowContextMenuRequested(int row, const QPoint &globalPos);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void scrollToPendingRow();
    // The leftmost column that is not hidden (0 when every column is).
    int firstShownColumn() const;

    ReportListModel *m_model;
    QPersistentModelIndex m_framed;
    QPersistentModelIndex m_pendingScroll;
    bool m_scrollQueued = false;
};
