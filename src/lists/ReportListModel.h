#pragma once
// The rows behind a report list: column titles, rows of cell texts and, per row, an optional
// text colour. A colour belongs to its row, so it moves with the row when the list is reordered.
#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>
#include <QVector>

class ReportListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ReportListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Appends a column; returns its index.
    int addColumn(const QString &title);
    QString columnTitle(int column) const;
    QStringList columnTitles() const { return m_titles; }

    // Inserts a row before `row` (appends when row is out of range); returns the row's index.
    int insertRow(int row, const QStringList &cells);
    int appendRow(const QStringList &cells) { return insertRow(-1, cells); }
    // Appends all the rows at once (one insertion for the views); row i gets colours[i] as its
    // text colour when that colour is valid, none when it is invalid or missing. Returns the index
    // of the first new row.
    int appendRows(const QList<QStringList> &rows, const QList<QColor> &colours = {});
    bool removeRow(int row);
    // Removes every row (the columns stay).
    void clearRows();

    // An empty text for cells that were never set or lie outside the list.
    QString cellText(int row, int column) const;
    bool setCellText(int row, int column, const QString &text);
    // The row's texts, one per column.
    QStringList rowTexts(int row) const;

    // Text colour of a row; false for a row out of range.
    bool setRowColour(int row, const QColor &colour);
    // Forgets every row colour; true when at least one row had one.
    bool clearRowColours();
    // Invalid when the row has no colour of its own.
    QColor rowColour(int row) const;

    // Puts the rows in a new order: the row at position i afterwards is the one that was at order[i].
    // `order` must be a permutation of 0 .. rowCount()-1. Selection, current cell and every other
    // persistent index follow their rows.
    void reorder(const QVector<int> &order);

private:
    QStringList cellsOf(const QStringList &cells) const;

    struct Row {
        QStringList cells;
        QRgb colour = 0;
        bool coloured = false;
    };
    QStringList m_titles;
    QVector<Row> m_rows;
};
