#pragma once
// Moving a shop's single-machine data (the SQLite file) into a new network database (PostgreSQL)
// that was made from the schema template: every table and every column the two databases share,
// in one transaction. `id` is never copied (the server numbers the rows in the order they
// arrive); a column that names a row of another table by its id is rewritten to name that row's
// new id. The rows the template ships (the account "admin", the default member tiers of shop
// "---") are not doubled.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace data {

class Connection;

// One table of the move: the table and the columns written, `id` aside, in the source's order.
struct MovedTable {
    QString table;
    QStringList columns;
};

// A column whose texts are the ids of rows of another table (a stock adjustment's stock row, a
// held line's stock row).
struct IdReference {
    QString table;
    QString column;
    QString referredTable;
};
const QList<IdReference> &idReferences();

// The tables both databases hold (`id` aside, the columns both hold, matched regardless of ASCII
// letter case since PostgreSQL folds unquoted names), in the order in which they are moved: the
// shop tables in their usual order, a table that others refer to by id before them, then any
// other shared table by name. Tables one backend keeps for itself are not shared and not moved.
// *error is set when a catalogue cannot be read.
QList<MovedTable> sharedTables(Connection &source, Connection &target, QString *error = nullptr);

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
    // The tables whose cells held NUL characters, which a PostgreSQL text cannot hold, in the
    // order moved, each with how many of its cells arrived without them.
    QList<std::pair<QString, qint64>> nulCells;
};

// What the move is doing when it tells its progress.
enum class DataMoveStep {
    Rows,    // copying the rows of `table`
    Indexes, // every row is written; building the indexes of `table` again
};

// Told before the first row, after each batch and before the indexes of each table are built
// again: the step, the table, the rows of all tables moved so far and the rows the source holds
// in all of them.
using DataMoveProgress =
    std::function<void(DataMoveStep step, const QString &table, qint64 rowsMoved, qint64 rowsTotal)>;

// Copies the shared tables from the open source to the open target, in one transaction on the
// target; every value bound, so it arrives byte for byte (NULL arrives as the empty text). Rows
// are read in `id` order and written in that order. The account "admin" updates the target's
// admin account (inserted when the target has none); the member tiers of shop "---" (the
// template's default tiers) are left as the target has them. A reference by id that names no row
// of the source arrives empty, for on the server that number could name another row. A cell's NUL
// characters are left out (see DataMoveResult::nulCells); every other byte arrives. A target
// that holds rows of the shop's own data (see tableHoldingMovedRows) is refused before anything
// is written, so a second move never doubles the data.
// The source's file is read by a thread of its own, through a read-only connection of its own,
// while the rows read before are written; the rows go in batches of batchRows rows (0: as many
// as the target takes in one statement).
DataMoveResult moveShopData(Connection &source, Connection &target, const DataMoveProgress &progress = {},
                            int batchRows = 0);

// The first table in which the target holds rows of the shop's own data, "" when none. The
// operation log does not count (a network database on which the program was started once holds
// its login row), nor do the rows the template ships. *error is set when a table cannot be read.
QString tableHoldingMovedRows(Connection &target, QString *error = nullptr);

} // namespace data
