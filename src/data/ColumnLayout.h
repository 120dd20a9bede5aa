#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

class QSqlRecord;

namespace data {

// The column names of a result and their positions, looked up in any letter case. Made once per
// prepared statement and shared by the record sets that run it.
class ColumnLayout {
public:
    explicit ColumnLayout(const QSqlRecord &record);
    explicit ColumnLayout(const QStringList &names);

    // True when the record has these columns (a statement's columns change with its table).
    bool matches(const QSqlRecord &record) const;
    int count() const { return int(m_names.size()); }
    const QStringList &names() const { return m_names; }
    // Position of a column (exact spelling first, then any letter case); -1 when there is none.
    int indexOf(const QString &column) const;

private:
    QStringList m_names;
    QHash<QString, int> m_index; // exact and lower-case spellings; the first column of a name wins
};

} // namespace data
