#include "data/ColumnLayout.h"

#include <QSqlRecord>

namespace data {

ColumnLayout::ColumnLayout(const QSqlRecord &record)
{
    const int count = record.count();
    m_names.reserve(count);
    m_index.reserve(2 * count);
    for (int c = 0; c < count; ++c) {
        const QString name = record.fieldName(c);
        m_names << name;
        if (!m_index.contains(name))
            m_index.insert(name, c);
        const QString lower = name.toLower();
        if (!m_index.contains(lower))
            m_index.insert(lower, c);
    }
}

bool ColumnLayout::matches(const QSqlRecord &record) const
{
    if (record.count() != m_names.size())
        return false;
    for (int c = 0; c < record.count(); ++c)
        if (record.fieldName(c) != m_names.at(c))
            return false;
    return true;
}

int ColumnLayout::indexOf(const QString &column) const
{
    auto it = m_index.constFind(column);
    if (it != m_index.constEnd())
        return it.value();
    return m_index.value(column.toLower(), -1);
}

} // namespace data
