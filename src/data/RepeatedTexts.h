#pragma once
// The texts of a result's cells, column by column: a cell whose bytes equal those of the last
// cell made in its column gets that cell's QString (shared, not copied), so the long runs of one
// category, colour or date in a stock list cost one conversion and one allocation.
#include <QString>

#include <cstring>
#include <string>
#include <vector>

namespace data {

class RepeatedTexts {
public:
    void reset(int columns)
    {
        m_columns.assign(size_t(columns), Column());
    }
    // The text of UTF-8 bytes in a column.
    QString fromUtf8(int column, const char *bytes, size_t size)
    {
        Column &c = m_columns[size_t(column)];
        if (c.made && c.bytes.size() == size && std::memcmp(c.bytes.data(), bytes, size) == 0)
            return c.text;
        c.bytes.assign(bytes, size);
        c.text = QString::fromUtf8(bytes, qsizetype(size));
        c.made = true;
        return c.text;
    }

private:
    struct Column {
        std::string bytes;
        QString text;
        bool made = false;
    };
    std::vector<Column> m_columns;
};

} // namespace data
