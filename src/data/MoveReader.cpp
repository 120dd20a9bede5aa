#include "data/MoveReader.h"

#include "data/Connection.h"
#include "data/MoveChannel.h"
#include "data/RecordSet.h"
#include "data/Utf8Check.h"

#include <QLocale>
#include <QUrl>

#include <cstring>
#include <sqlite3.h>

namespace data {

namespace {

const char AdminAccount[] = "admin";
const char DefaultTierShop[] = "---";

// Leaves out the NUL characters of a cell's text, which a PostgreSQL text cannot hold (SQLite
// keeps them as it was given them). True when the cell had any; *own then holds the text.
bool dropNul(const char **text, qsizetype *size, QByteArray *own)
{
    if (*size == 0 || !std::memchr(*text, 0, size_t(*size)))
        return false;
    QByteArray kept;
    kept.reserve(*size);
    for (qsizetype i = 0; i < *size; ++i)
        if ((*text)[i] != 0)
            kept.append((*text)[i]);
    *own = std::move(kept);
    *text = own->constData();
    *size = own->size();
    return true;
}

// A cell's text as the program reads it through Qt: NULL as the empty text, a floating-point
// value in its shortest form, any other value as its UTF-8 text. Bytes that are no UTF-8 are
// made so as Qt's driver makes them: a text through sqlite3's own UTF-16, a blob through
// QString::fromUtf8. *own holds the text when it is not the statement's own. NUL characters are
// left out (see dropNul); the result says whether there were any.
bool cellText(sqlite3_stmt *statement, int column, const char **text, qsizetype *size, QByteArray *own)
{
    const unsigned char *bytes = nullptr;
    const int type = sqlite3_column_type(statement, column);
    switch (type) {
    case SQLITE_NULL:
        *text = "";
        *size = 0;
        return false;
    case SQLITE_FLOAT:
        *own = QString::number(sqlite3_column_double(statement, column), 'g', QLocale::FloatingPointShortest).toUtf8();
        *text = own->constData();
        *size = own->size();
        return false;
    case SQLITE_BLOB:
        bytes = static_cast<const unsigned char *>(sqlite3_column_blob(statement, column));
        break;
    default:
        bytes = sqlite3_column_text(statement, column);
        break;
    }
    *size = sqlite3_column_bytes(statement, column);
    if (!bytes || *size == 0) {
        *text = "";
        *size = 0;
    } else if (isUtf8(bytes, *size)) {
        *text = reinterpret_cast<const char *>(bytes);
    } else {
        if (type == SQLITE_BLOB) {
            *own = QString::fromUtf8(reinterpret_cast<const char *>(bytes), *size).toUtf8();
        } else {
            const auto *utf16 = static_cast<const char16_t *>(sqlite3_column_text16(statement, column));
            *own = QString::fromUtf16(utf16, sqlite3_column_bytes16(statement, column) / 2).toUtf8();
        }
        *text = own->constData();
        *size = own->size();
    }
    return dropNul(text, size, own);
}

bool same(const char *text, qsizetype size, const char *literal)
{
    return size == qsizetype(std::strlen(literal)) && std::memcmp(text, literal, size_t(size)) == 0;
}

// Reads one table into the channel. False when reading ends here (an error handed on, or the
// writer stopped).
class TableRead {
public:
    TableRead(sqlite3 *db, const MoveSource &source, int index, const std::vector<IdMap> &ids, MoveChannel &channel)
        : m_db(db), m_source(source), m_index(index), m_ids(ids), m_channel(channel), m_batchRows(qMax(1, source.batchRows)),
          m_batch(source.columns)
    {
    }

    bool run()
    {
        for (const auto &[column, referred] : m_source.references)
            if (!m_channel.waitForTable(referred))
                return false;
        sqlite3_stmt *statement = nullptr;
        const QByteArray select = m_source.select.toUtf8();
        if (sqlite3_prepare_v2(m_db, select.constData(), int(select.size()), &statement, nullptr) != SQLITE_OK) {
            readError();
            sqlite3_finalize(statement);
            return false;
        }
        const bool ok = readRows(statement);
        sqlite3_finalize(statement);
        return ok;
    }

private:
    bool readRows(sqlite3_stmt *statement)
    {
        if (!hand(piece(MovePiece::TableStart)))
            return false;
        const int width = m_source.columns;
        std::vector<const char *> texts(size_t(width), "");
        std::vector<qsizetype> sizes(size_t(width), 0);
        std::vector<QByteArray> own(static_cast<size_t>(width));
        startBatch();
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            ++m_dealt;
            int nulCells = 0;
            for (int c = 0; c < width; ++c)
                if (cellText(statement, c + 1, &texts[c], &sizes[c], &own[c]))
                    ++nulCells;
            if (m_source.shopAt >= 0 && same(texts[m_source.shopAt], sizes[m_source.shopAt], DefaultTierShop))
                continue;
            m_nulCells += nulCells;
            for (const auto &[column, referred] : m_source.references) {
                const qint64 named = RecordSet::leadingInteger(QString::fromUtf8(texts[column], sizes[column]));
                if (named > 0) {
                    const qint64 moved = m_ids[size_t(referred)].find(named);
                    own[column] = moved > 0 ? QByteArray::number(moved) : QByteArray();
                    texts[column] = own[column].constData();
                    sizes[column] = own[column].size();
                }
            }
            if (m_source.accountAt >= 0 && same(texts[m_source.accountAt], sizes[m_source.accountAt], AdminAccount)) {
                // The batch so far goes first, then the admin row on its own.
                --m_dealt;
                if (!m_batch.isEmpty() && !handBatch())
                    return false;
                MovePiece admin = piece(MovePiece::Admin);
                admin.dealt += 1;
                for (int c = 0; c < width; ++c)
                    admin.values << QString::fromUtf8(texts[c], sizes[c]);
                admin.sourceId = sqlite3_column_int64(statement, 0);
                if (!hand(std::move(admin)))
                    return false;
                continue;
            }
            for (int c = 0; c < width; ++c)
                m_batch.addCell(texts[c], sizes[c]);
            if (m_source.noteIds)
                m_sourceIds.append(sqlite3_column_int64(statement, 0));
            if (m_batch.rows() == m_batchRows && !handBatch())
                return false;
        }
        if (step != SQLITE_DONE) {
            readError();
            return false;
        }
        if (!m_batch.isEmpty() && !handBatch())
            return false;
        MovePiece end = piece(MovePiece::TableEnd);
        end.nulCells = m_nulCells;
        return hand(std::move(end));
    }

    void startBatch()
    {
        m_batch = RowBatch(m_source.columns);
        // Room for a batch of short texts: fewer reallocations as it fills.
        m_batch.reserve(qsizetype(m_batchRows) * 16);
        m_sourceIds.clear();
    }

    // A piece of this table carrying the rows dealt with since the last one.
    MovePiece piece(MovePiece::Kind kind)
    {
        MovePiece piece;
        piece.kind = kind;
        piece.table = m_index;
        piece.dealt = m_dealt;
        m_dealt = 0;
        return piece;
    }

    bool handBatch()
    {
        MovePiece rows = piece(MovePiece::Rows);
        rows.rows = std::move(m_batch);
        rows.sourceIds = std::move(m_sourceIds);
        startBatch();
        return hand(std::move(rows));
    }

    bool hand(MovePiece piece) { return m_channel.push(std::move(piece)); }

    void readError()
    {
        MovePiece error = piece(MovePiece::ReadError);
        error.error = QString::fromUtf8(sqlite3_errmsg(m_db));
        hand(std::move(error));
    }

    sqlite3 *m_db;
    const MoveSource &m_source;
    int m_index;
    const std::vector<IdMap> &m_ids;
    MoveChannel &m_channel;
    int m_batchRows;
    RowBatch m_batch;
    QList<qint64> m_sourceIds;
    qint64 m_dealt = 0;
    qint64 m_nulCells = 0; // cells read that held NUL characters
};

} // namespace

MoveReader::MoveReader(const QString &path, const QList<MoveSource> &tables, const std::vector<IdMap> &ids,
                       MoveChannel &channel)
    : m_path(path), m_tables(tables), m_ids(ids), m_channel(channel)
{
}

void MoveReader::run()
{
    sqlite3 *db = nullptr;
    // The file as it is, read only: mode=ro never creates a file and never writes to it. Only this
    // thread uses the connection, so sqlite3 need not lock it at every call.
    QUrl url = QUrl::fromLocalFile(m_path);
    url.setQuery(QStringLiteral("mode=ro"));
    const QByteArray uri = url.toString(QUrl::FullyEncoded).toUtf8();
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        MovePiece error;
        error.kind = MovePiece::ReadError;
        error.error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        m_channel.push(std::move(error));
    } else {
        sqlite3_busy_timeout(db, Connection::busyTimeoutMs);
        for (int i = 0; i < m_tables.size(); ++i)
            if (!TableRead(db, m_tables[i], i, m_ids, m_channel).run())
                break;
    }
    sqlite3_close(db);
    m_channel.finish();
}

} // namespace data
