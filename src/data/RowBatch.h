#pragma once
// Rows of texts on their way to a bulk append, kept column by column: each column holds its
// cells in row order, every cell as its byte length (four bytes, most significant first) followed
// by its UTF-8 bytes. A reader fills it cell after cell without making a QString per cell, and a
// backend hands each column on in one piece.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace data {

class RowBatch {
public:
    explicit RowBatch(int columns = 0);

    int columns() const { return int(m_columns.size()); }
    int rows() const { return m_rows; }
    bool isEmpty() const { return m_rows == 0; }

    // Adds the next cell of the row being filled, as UTF-8 bytes; the row's last cell completes it.
    void addCell(const char *utf8, qsizetype size);
    void addCell(const QString &text);
    // Makes room for that many more bytes of cell text in every column (lengths included).
    void reserve(qsizetype bytesPerColumn);
    void clear();

    // One column's cells as described above.
    const QByteArray &columnData(int column) const { return m_columns.at(column); }
    // The texts of the complete rows, row after row.
    QStringList texts() const;

private:
    QList<QByteArray> m_columns;
    int m_rows = 0;
    int m_next = 0; // column of the next cell
};

} // namespace data
