#pragma once
// Moving a shop's single-machine data (the SQLite file) into a new network database (PostgreSQL)
// that was made from the schema template: twenty tables, in a fixed order, each with a fixed list
// of columns. `id` is never copied (the server numbers the rows in the order they arrive); the
// histories and the day-to-day tables (transfers, held orders, notices, feed messages, stock
// adjustments) and the alarm columns of the stock and shop tables stay behind.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace data {

class Connection;

// One table of the move: the name of its copier, the table and the columns written, in order.
struct MovedTable {
    QString copier;
    QString table;
    QStringList columns;
};

// The twenty tables in the order in which they are moved.
const QList<MovedTable> &movedTables();

struct DataMoveResult {
    enum Outcome {
        Moved,              // every row arrived and the transaction committed
        NotShopDatabase,    // the target lacks the shop's tables: the template was not loaded
        TargetHoldsData,    // the target holds rows of an earlier move (in `table`): nothing was written
        Failed,             // a statement was refused (in `table`, with `error`): everything rolled back
    };
    Outcome outcome = Failed;
    QString table;
    QString error;
    qint64 rows = 0; // rows written, the admin account included
};

// Told after each batch: the table's position in movedTables() and its rows moved so far.
using DataMoveProgress = std::function<void(int tableIndex, qint64 rowsOfTable)>;

// Copies the twenty tables from the open source to the open target, in one transaction on the
// target; every value bound, so it arrives byte for byte. Rows are read in `id` order and written
// in that order. The account "admin" updates the target's admin account (inserted when the target
// has none); the member tiers of shop "---" (the template's default tiers) are left as the target
// has them. A target that already holds rows in any of the twenty tables beyond the template's own
// (the account "admin", the tiers of shop "---") is refused before anything is written, so a second
// move never doubles the data.
DataMoveResult moveShopData(Connection &source, Connection &target, const DataMoveProgress &progress = {});

// The first of the twenty tables in which the target holds rows beyond the template's own; "" when
// none. *error is set when a table cannot be read.
QString tableHoldingMovedRows(Connection &target, QString *error = nullptr);

} // namespace data
