#include "data/SqliteRows.h"

#include "data/Utf8Check.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace data {

namespace {

// Binds a value as Qt's SQLite driver would, for the kinds of values this program binds; false
// for any other kind (the statement is then left to the driver). A null text binds as '', an
// invalid value as NULL, as the connection binds them.
bool bind(sqlite3_stmt *statement, int at, const QVariant &value)
{
    if (!value.isValid())
        return sqlite3_bind_null(statement, at) == SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, at, text.constData(), int(text.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, at, value.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
        return sqlite3_bind_double(statement, at, value.toDouble()) == SQLITE_OK;
    default:
        return false;
    }
}

} // namespace

SqliteRows::SqliteRows(const QSqlDatabase &db)
{
    const QSqlDriver *driver = db.driver();
    const QVariant handle = driver ? driver->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_db = *static_cast<sqlite3 *const *>(handle.constData());
}

SqliteRows::~SqliteRows()
{
    close();
}

void SqliteRows::close()
{
    if (m_statement)
        sqlite3_finalize(m_statement); // ends the read, and with it the file's read lock
    m_statement = nullptr;
}

NativeRows::Opened SqliteRows::open(const Sql &sql)
{
    close();
    m_error.clear();
    if (!m_db || !isSelect(sql.text))
        return Opened::NotTaken;
    const QByteArray text = sql.text.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        close();
        return Opened::Failed;
    }
    if (!m_statement || sqlite3_bind_parameter_count(m_statement) != sql.values.size()) {
        close();
        return Opened::NotTaken;
    }
    for (int i = 0; i < sql.values.size(); ++i) {
        if (!bind(m_statement, i + 1, sql.values.at(i))) {
            close();
            return Opened::NotTaken;
        }
    }
    const int columns = sqlite3_column_count(m_statement);
    m_names.clear();
    for (int c = 0; c < columns; ++c)
        m_names << QString::fromUtf8(sqlite3_column_name(m_statement, c));
    m_texts.reset(columns);
    return Opened::Yes;
}

bool SqliteRows::next()
{
    if (!m_statement)
        return false;
    const int step = sqlite3_step(m_statement);
    if (step == SQLITE_ROW)
        return true;
    if (step != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    close();
    return false;
}

QString SqliteRows::text(int position)
{
    switch (sqlite3_column_type(m_statement, position)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_FLOAT: // the driver reads a double, shown as a record set shows one
        return QString::number(sqlite3_column_double(m_statement, position), 'f', 8);
    case SQLITE_BLOB:
        return QStringLiteral("[BLOB]");
    default: { // whole numbers are written out by SQLite as the driver's qint64 would be
        const unsigned char *bytes = sqlite3_column_text(m_statement, position);
        if (!bytes)
            return QString();
        const int size = sqlite3_column_bytes(m_statement, position);
        if (!isUtf8(bytes, size)) {
            const auto *utf16 = static_cast<const char16_t *>(sqlite3_column_text16(m_statement, position));
            return QString::fromUtf16(utf16, sqlite3_column_bytes16(m_statement, position) / 2);
        }
        return m_texts.fromUtf8(position, reinterpret_cast<const char *>(bytes), size_t(size));
    }
    }
}

} // namespace data
