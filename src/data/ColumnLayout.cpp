#include "data/ColumnLayout.h"

#include <QSqlRecord>

namespace data {

namespace {

QStringList namesOf(const QSqlRecord &record)
{
    QStringList names;
    names.reserve(record.count());
    for (int c = 0; c < record.count(); ++c)
        names << record.fieldName(c);
    return names;
}

} // namespace

ColumnLayout::ColumnLayout(const QSqlRecord &record) : ColumnLayout(namesOf(record)) {}

ColumnLayout::ColumnLayout(const QStringList &names) : m_names(names)
{
    m_index.reserve(2 * names.size());
    for (int c = 0; c < names.size(); ++c) {
        const QString &name = names.at(c);
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
