#include "data/RowBatch.h"

namespace data {

RowBatch::RowBatch(int columns) : m_columns(qMax(0, columns)) {}

void RowBatch::addCell(const char *utf8, qsizetype size)
{
    QByteArray &column = m_columns[m_next];
    const quint32 length = quint32(size);
    const char prefix[4] = {char(length >> 24), char(length >> 16), char(length >> 8), char(length)};
    column.append(prefix, 4);
    column.append(utf8, size);
    if (++m_next == m_columns.size()) {
        m_next = 0;
        ++m_rows;
    }
}

void RowBatch::addCell(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    addCell(utf8.constData(), utf8.size());
}

void RowBatch::reserve(qsizetype bytesPerColumn)
{
    for (QByteArray &column : m_columns)
        column.reserve(column.size() + bytesPerColumn);
}

void RowBatch::clear()
{
    for (QByteArray &column : m_columns)
        column.clear();
    m_rows = 0;
    m_next = 0;
}

QStringList RowBatch::texts() const
{
    const int width = columns();
    QStringList texts(qsizetype(m_rows) * width);
    for (int c = 0; c < width; ++c) {
        const QByteArray &column = m_columns.at(c);
        const auto *bytes = reinterpret_cast<const uchar *>(column.constData());
        qsizetype at = 0;
        for (int row = 0; row < m_rows; ++row) {
            const qsizetype length = qsizetype(quint32(bytes[at]) << 24 | quint32(bytes[at + 1]) << 16
                                               | quint32(bytes[at + 2]) << 8 | quint32(bytes[at + 3]));
            at += 4;
            texts[qsizetype(row) * width + c] = QString::fromUtf8(column.constData() + at, length);
            at += length;
        }
    }
    return texts;
}

} // namespace data
