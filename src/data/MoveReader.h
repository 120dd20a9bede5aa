#pragma once
// The reading side of a data move: runs in a thread of its own with its own read-only
// connection to the single-machine file (sqlite3 itself, so that no cell becomes a QVariant or a
// QString on the way), reads the tables in the move's order and hands their rows on through a
// MoveChannel in batches ready to append, while the writer sends the batches before them.
#include <QList>
#include <QString>

#include <algorithm>
#include <utility>
#include <vector>

namespace data {

class MoveChannel;

// The ids of one table's rows in the source and on the target, both ascending and in step.
struct IdMap {
    QList<qint64> from;
    QList<qint64> to;

    // The target's id of the source's row `id`; 0 when the source has no such row.
    qint64 find(qint64 id) const
    {
        const auto at = std::lower_bound(from.cbegin(), from.cend(), id);
        return at != from.cend() && *at == id ? to.at(at - from.cbegin()) : 0;
    }
};

// How one table is read.
struct MoveSource {
    QString table;
    QString select;       // its id, then the moved columns, in id order
    int columns = 0;      // the moved columns
    int batchRows = 1;    // rows a batch
    int shopAt = -1;      // column of a member tier's shop: the tiers of shop "---" stay behind
    int accountAt = -1;   // column of an account's name: the account "admin" goes apart
    bool noteIds = false; // other tables name its rows by id: the batches carry the rows' ids
    QList<std::pair<int, int>> references; // column naming rows of an earlier table by id, that table's index
};

class MoveReader {
public:
    // Reads the tables of the database file `path` into the channel. A reference is rewritten with
    // ids[referred table] once the channel says that table is written.
    MoveReader(const QString &path, const QList<MoveSource> &tables, const std::vector<IdMap> &ids,
               MoveChannel &channel);

    // Reads everything, or up to the first error (handed on as a ReadError piece) or until the
    // writer stops; then finishes the channel.
    void run();

private:
    QString m_path;
    QList<MoveSource> m_tables;
    const std::vector<IdMap> &m_ids;
    MoveChannel &m_channel;
};

} // namespace data
