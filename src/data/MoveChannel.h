#pragma once
// What passes from the thread that reads the single-machine file to the thread that writes to
// the network database during a data move: a short queue of pieces of work, in the order read,
// and word of which tables are completely written (a table that names another's rows by id
// waits for that table's new ids).
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "data/RowBatch.h"

namespace data {

// One piece of a table's move, as the reader hands it on.
struct MovePiece {
    enum Kind {
        TableStart, // the table's rows are being read
        Rows,       // a batch of rows to append
        Admin,      // the row of the account "admin": `values`, its id `sourceId`
        TableEnd,   // every row of the table was read; `nulCells` of its cells lost NUL characters
        ReadError,  // the file could not be read: `error`
    };
    Kind kind = TableStart;
    int table = 0;     // index of the table in the move's list
    qint64 dealt = 0;  // rows of the file dealt with by this piece (skipped rows included)
    RowBatch rows;
    QList<qint64> sourceIds; // ids of the batch's rows in the file, when the table's ids are noted
    QStringList values;
    qint64 sourceId = 0;
    qint64 nulCells = 0;
    QString error;
};

class MoveChannel {
public:
    explicit MoveChannel(int capacity) : m_capacity(size_t(qMax(1, capacity))) {}

    // Reader: waits for room, then queues the piece. False once the writer has stopped.
    bool push(MovePiece piece);
    // Reader: no more pieces.
    void finish();
    // Writer: waits for the next piece. False when the reader finished and every piece was taken,
    // or the channel was stopped.
    bool pop(MovePiece *piece);
    // Writer: gives up; a reader waiting for room or for a table is let go.
    void stop();
    // Writer: the rows of table `table` are all written and its ids noted.
    void tableWritten(int table);
    // Reader: waits until table `table` is written. False once the writer has stopped.
    bool waitForTable(int table);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<MovePiece> m_pieces;
    size_t m_capacity;
    std::vector<int> m_written;
    bool m_finished = false;
    bool m_stopped = false;
};

} // namespace data
