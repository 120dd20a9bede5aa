#include "data/Connection.h"
#include "data/RowBatch.h"
#include "data/RowReader.h"

#include "data/SchemaUpgrade.h"
#include "platform/ProgramLog.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace data {

namespace {
// Texts are stored as texts: an empty QString binds as '' (never NULL), so "col<>''" and the
// text forms read back behave alike for written and defaulted columns. Only an invalid
// QVariant binds as NULL.
QVariant boundValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

QAtomicInt connectionCounter;

// Prepared statements kept per connection; the cache starts over when it grows past this.
constexpr int statementCacheLimit = 256;

QString errorText(const QSqlError &error)
{
    QString text = error.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("unknown database error");
    return text;
}

// True when the file starts with the 16 bytes every SQLite database file starts with.
bool hasSqliteHeader(const QString &path)
{
    static const QByteArray header("SQLite format 3\0", 16);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(header.size()) == header;
}

// "" when the open database holds every one of tables; otherwise the error.
QString missingTables(const QSqlDatabase &db, const QStringList &tables)
{
    if (tables.isEmpty())
        return QString();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'")))
        return errorText(query.lastError());
    QStringList present;
    while (query.next())
        present << query.value(0).toString();
    QStringList missing;
    for (const QString &table : tables)
        if (!present.contains(table))
            missing << table;
    if (missing.isEmpty())
        return QString();
    return QStringLiteral("不是本程序的数据库（缺少表 ") + missing.join(QStringLiteral("、")) + QStringLiteral("）");
}

// True when the open SQLite database carries a schema version above the one this program knows.
// Reading the version writes nothing.
bool newerThanThisProgram(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA user_version")) && query.next()
           && query.value(0).toInt() > currentSchemaVersion;
}

} // namespace

Connection::Connection()
    : m_name(QStringLiteral("shopdesk/shop-db/%1").arg(connectionCounter.fetchAndAddRelaxed(1) + 1))
{
}

Connection::~Connection()
{
    close();
}

bool Connection::openSqlite(const QString &path, const QStringList &requiredTables)
{
    close();
    m_backend = Backend::Sqlite;
    m_lastError.clear();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        fail(QStringLiteral("open ") + path, QStringLiteral("数据库文件不存在：") + path);
        return false;
    }
    // Nothing may write to a file that is not a database of ours: SQLite would take an empty file
    // for an empty database and the WAL switch below would write to it.
    if (!hasSqliteHeader(path)) {
        fail(QStringLiteral("open ") + path, QStringLiteral("不是 SQLite 数据库文件：") + path);
        return false;
    }
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // mode=rw: open an existing file only, never create one (the check above can race).
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        if (!db.open())
            error = errorText(db.lastError());
        else
            error = missingTables(db, requiredTables);
        if (error.isEmpty()) {
            // A database made by a newer program is refused by the version check that follows the
            // open; until then nothing may write to it, and switching the journal mode writes the
            // file's header. Such a file keeps the journal mode it has.
            if (newerThanThisProgram(db))
                return true;
            // Readers and the writer do not block each other in WAL mode.
            QSqlQuery pragma(db);
            if (!pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !pragma.next()
                || pragma.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0) {
                programlog::write(QStringLiteral("数据库未能切换到 WAL 模式：") + path + QStringLiteral(" -- ")
                                  + errorText(pragma.lastError()));
            }
            return true;
        }
    }
    close();
    fail(QStringLiteral("open ") + path, error + QStringLiteral("：") + path);
    return false;
}

bool Connection::createSqlite(const QString &path)
{
    close();
    m_backend = Backend::Sqlite;
    m_lastError.clear();
    if (path.isEmpty() || QFileInfo::exists(path)) {
        fail(QStringLiteral("create ") + path, QStringLiteral("文件已存在：") + path);
        return false;
    }
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (db.open()) {
            // Switching to WAL writes the database header, so the file is a database from now on.
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
                error = errorText(query.lastError());
        } else {
            error = errorText(db.lastError());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    if (!error.isEmpty()) {
        fail(QStringLiteral("create ") + path, error);
        return false;
    }
    return openSqlite(path);
}

int Connection::postgresPort(const QString &portText)
{
    const QString text = portText.trimmed();
    if (text.isEmpty())
        return 5432;
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port <= 0 || port > 65535)
        return -1;
    return port;
}

bool Connection::openPostgres(const ServerSettings &settings)
{
    close();
    m_backend = Backend::Postgres;
    m_lastError.clear();
    const QString target = settings.ip + QLatin1Char(':') + settings.port + QLatin1Char('/') + settings.data;
    const int port = postgresPort(settings.port);
    if (port < 0) {
        fail(QStringLiteral("open ") + target, QStringLiteral("端口无效：") + settings.port);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    db.setHostName(settings.ip.trimmed());
    db.setPort(port);
    db.setDatabaseName(settings.data);
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;client_encoding=UTF8;application_name=shopdesk")
                             .arg(connectTimeoutSeconds));
    if (!db.open()) {
        fail(QStringLiteral("open ") + settings.ip + QLatin1Char(':') + QString::number(port) + QLatin1Char('/')
                 + settings.data,
             errorText(db.lastError()));
        return false;
    }
    // Statements are prepared once and reused; a generic plan would ignore the bound search text,
    // so a contains-search could no longer pick the trigram index. Plan each execution afresh.
    rawExec(QStringLiteral("SET plan_cache_mode = force_custom_plan"));
    m_reopenSettings = settings;
    m_reopenable = true;
    return true;
}

void Connection::close()
{
    endReader(QStringLiteral("列表没有读完：数据库连接已关闭，读到的行不全"));
    if (m_transactionDepth > 0 && live())
        rawExec(QStringLiteral("ROLLBACK"));
    m_reopenable = false;
    m_transactionDepth = 0;
    m_rollbackOnly = false;
    clearStatementCache();
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
}

bool Connection::isOpen() const
{
    return m_reopenable || live();
}

bool Connection::live() const
{
    if (!QSqlDatabase::contains(m_name))
        return false;
    const QSqlDatabase db = QSqlDatabase::database(m_name, false);
    return db.isOpen() && !dialect().connectionLost(db);
}

bool Connection::ready(const QString &what)
{
    if (live())
        return true;
    if (!m_reopenable) {
        fail(what, QStringLiteral("数据库未连接"));
        return false;
    }
    if (m_transactionDepth > 0) {
        // Never replayed on a new connection: the transaction fails whole.
        fail(what, QStringLiteral("与数据库服务器的连接已断开，本次操作没有完成，请重试"));
        return false;
    }
    const ServerSettings settings = m_reopenSettings;
    programlog::write(QStringLiteral("与数据库服务器的连接已断开，重新连接 ") + settings.ip + QLatin1Char(':')
                      + settings.port + QLatin1Char('/') + settings.data);
    if (openPostgres(settings)) {
        programlog::write(QStringLiteral("已重新连接数据库服务器"));
        return true;
    }
    const QString reason = m_lastError;
    fail(what, QStringLiteral("与数据库服务器的连接已断开，重新连接也没有成功，请检查服务器和网络后重试：") + reason);
    // Still the program's connection: the next statement tries again.
    m_reopenSettings = settings;
    m_reopenable = true;
    return false;
}

QString Connection::statementError(const QSqlError &error) const
{
    const QString text = errorText(error);
    if (m_reopenable && !live())
        return QStringLiteral("与数据库服务器的连接已断开，本次操作没有完成，请重试（") + text + QStringLiteral("）");
    return text;
}

const Dialect &Connection::dialect() const
{
    return Dialect::forBackend(m_backend);
}

Backend Connection::backend() const
{
    return m_backend;
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

int Connection::numRowsAffected() const
{
    return m_rowsAffected;
}

QString Connection::lastError() const
{
    return m_lastError;
}

void Connection::fail(const QString &what, const QString &error)
{
    m_lastError = error;
    if (m_transactionDepth > 0) {
        m_rollbackOnly = true; // one operation commits whole or not at all
        // What a spoiled transaction says of the statements after it is no reason.
        if (m_firstFailure.isEmpty())
            m_firstFailure = error;
    }
    // One line per failure in the log file.
    QString line = QStringLiteral("数据库语句失败：") + what + QStringLiteral(" -- ") + error;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    programlog::write(line);
}

QString Connection::readerOpenError()
{
    return QStringLiteral("上一个列表还没有读完，同一数据库连接上不能同时执行其它语句");
}

bool Connection::noReaderOpen(const QString &what)
{
    if (!m_reader)
        return true;
    fail(what, readerOpenError());
    return false;
}

void Connection::endReader(const QString &reason)
{
    if (RowReader *reader = m_reader) {
        m_reader = nullptr;
        reader->abandon(reason);
    }
}

void Connection::clearStatementCache()
{
    m_statements.clear();
    m_direct.reset();
}

const Sql &Connection::admitted(const Sql &sql, Sql &cleaned)
{
    // Texts are cleaned where they are typed; here a bound text is compared and stored as it came,
    // so a text read from a stored row finds that row again. Only a NUL, which no PostgreSQL text
    // can hold (and so no row there holds one), is left out there rather than failing the statement.
    if (m_backend != Backend::Postgres)
        return sql;
    const auto holdsNul = [](const QVariant &value) {
        return value.typeId() == QMetaType::QString && value.toString().contains(QChar(0));
    };
    qsizetype first = 0;
    while (first < sql.values.size() && !holdsNul(sql.values.at(first)))
        ++first;
    if (first == sql.values.size())
        return sql;
    cleaned = sql;
    for (qsizetype i = first; i < cleaned.values.size(); ++i) {
        QVariant &value = cleaned.values[i];
        if (holdsNul(value))
            value = value.toString().remove(QChar(0));
    }
    programlog::write(QStringLiteral("绑定的文本中有空字符（NUL），网络版数据库不能保存，已去掉后执行：") + sql.display());
    return cleaned;
}

Connection::Statement *Connection::run(const Sql &given)
{
    m_rowsAffected = -1;
    Sql cleaned;
    const Sql &sql = admitted(given, cleaned);
    if (!noReaderOpen(sql.display()) || !ready(sql.display()))
        return nullptr;
    m_lastError.clear();
    QSqlDatabase db = database();

    if (sql.values.isEmpty()) {
        // A fixed text runs directly (PostgreSQL cannot prepare statements such as CREATE).
        m_direct = std::make_shared<Statement>(db);
        if (!m_direct->query.exec(sql.text)) {
            fail(sql.display(), statementError(m_direct->query.lastError()));
            m_direct->query.finish();
            return nullptr;
        }
        return m_direct.get();
    }

    for (int attempt = 0; attempt < 2; ++attempt) {
        auto it = m_statements.find(sql.text);
        const bool cached = it != m_statements.end();
        if (!cached) {
            if (m_statements.size() >= statementCacheLimit)
                m_statements.clear();
            auto statement = std::make_shared<Statement>(db);
            if (!statement->query.prepare(sql.text)) {
                fail(sql.display(), statementError(statement->query.lastError()));
                return nullptr;
            }
            it = m_statements.insert(sql.text, statement);
        }
        Statement *statement = it.value().get();
        QSqlQuery &query = statement->query;
        for (int i = 0; i < sql.values.size(); ++i)
            query.bindValue(i, boundValue(sql.values.at(i)));
        if (query.exec())
            return statement;
        const QString error = statementError(query.lastError());
        query.finish();
        m_statements.erase(it);
        // A statement prepared earlier may have gone stale (the table changed since): prepare it
        // again once, unless a transaction is open (there the failure has already spoiled it) or
        // the connection is gone (the statement may have reached the server before it went).
        if (cached && m_transactionDepth == 0 && live())
            continue;
        fail(sql.display(), error);
        return nullptr;
    }
    return nullptr;
}

bool Connection::execute(const Sql &sql)
{
    Statement *statement = run(sql);
    if (!statement)
        return false;
    m_rowsAffected = statement->query.numRowsAffected();
    statement->query.finish();
    return true;
}

bool Connection::appendRows(const QString &table, const QStringList &columns, const RowBatch &rows, QList<qint64> *ids)
{
    const QString what = QStringLiteral("INSERT INTO ") + dialect().quoteTable(table) + QStringLiteral(" (")
                         + columns.join(QLatin1Char(',')) + QStringLiteral(") ") + QString::number(rows.rows())
                         + QStringLiteral(" rows");
    m_rowsAffected = -1;
    if (!noReaderOpen(what) || !ready(what))
        return false;
    // The append talks to the driver's connection itself: no statement of ours may still be
    // holding it with rows not yet fetched.
    for (const auto &statement : std::as_const(m_statements))
        statement->query.finish();
    if (m_direct)
        m_direct->query.finish();
    QString error;
    if (!dialect().appendRows(database(), table, columns, rows, ids, &error)) {
        m_rowsAffected = -1;
        fail(what, statementError(QSqlError(QString(), error, QSqlError::StatementError)));
        return false;
    }
    m_lastError.clear();
    m_rowsAffected = rows.rows();
    return true;
}

bool Connection::rawExec(const QString &text)
{
    if (!live()) {
        fail(text, m_reopenable ? QStringLiteral("与数据库服务器的连接已断开") : QStringLiteral("数据库未连接"));
        return false;
    }
    QSqlQuery query(database());
    if (!query.exec(text)) {
        const QString error = statementError(query.lastError());
        const int depth = m_transactionDepth;
        m_transactionDepth = 0; // a failed BEGIN/COMMIT/ROLLBACK does not spoil another transaction
        fail(text, error);
        m_transactionDepth = depth;
        return false;
    }
    return true;
}

Transaction Connection::transaction()
{
    if (m_transactionDepth == 0 && !noReaderOpen(QStringLiteral("BEGIN")))
        return Transaction(nullptr, false);
    if (!ready(QStringLiteral("BEGIN")))
        return Transaction(nullptr, false);
    if (m_transactionDepth > 0) {
        ++m_transactionDepth;
        return Transaction(this, false);
    }
    if (!rawExec(dialect().beginTransactionSql()))
        return Transaction(nullptr, false);
    m_transactionDepth = 1;
    m_rollbackOnly = false;
    m_firstFailure.clear();
    return Transaction(this, true);
}

// Ends one guard. Returns true when the guard's wish came true (committed, or joined and ended
// as asked).
bool Connection::endTransaction(bool commit, bool outermost)
{
    if (m_transactionDepth <= 0)
        return false; // the connection was closed under the guard
    if (!outermost) {
        --m_transactionDepth;
        if (!commit)
            m_rollbackOnly = true;
        return !m_rollbackOnly || !commit;
    }
    m_transactionDepth = 0;
    const bool rollbackOnly = m_rollbackOnly;
    const QString firstFailure = m_firstFailure;
    m_rollbackOnly = false;
    m_firstFailure.clear();
    // A reader still reading in the transaction ends with it.
    const bool readerOpen = m_reader != nullptr;
    endReader(QStringLiteral("列表没有读完：所在的事务已结束，读到的行不全"));
    if (!commit) {
        rawExec(QStringLiteral("ROLLBACK"));
        return true;
    }
    if (readerOpen) {
        fail(QStringLiteral("COMMIT"), readerOpenError());
        rawExec(QStringLiteral("ROLLBACK"));
        m_lastError = readerOpenError() + QStringLiteral("，事务已全部撤销");
        return false;
    }
    if (rollbackOnly) {
        rawExec(QStringLiteral("ROLLBACK"));
        m_lastError = QStringLiteral("事务中有语句失败或内层事务未提交，已全部撤销");
        if (!firstFailure.isEmpty())
            m_lastError += QStringLiteral("：") + firstFailure;
        programlog::write(QStringLiteral("事务已撤销：其中有语句失败，或内层事务未提交"));
        return false;
    }
    if (!rawExec(QStringLiteral("COMMIT"))) {
        rawExec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool Connection::holdTransactionLock(qint64 key)
{
    if (m_transactionDepth <= 0) {
        fail(QStringLiteral("LOCK ") + QString::number(key), QStringLiteral("没有打开的事务"));
        return false;
    }
    const QString text = dialect().transactionLockSql();
    return text.isEmpty() || execute(Sql(text, {key}));
}

} // namespace data
