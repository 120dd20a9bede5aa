#include "data/DatabaseRestore.h"

#include "data/ClientTool.h"
#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "platform/ProgramLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

namespace data {

namespace {

// The server's maintenance database, from which the shop database is replaced; template1 when
// the shop keeps its data in "postgres" itself.
QString maintenanceDatabase(const QString &shopDatabase)
{
    return shopDatabase == QStringLiteral("postgres") ? QStringLiteral("template1") : QStringLiteral("postgres");
}

// How often the swap ends the live database's sessions and tries the renames before it gives up.
constexpr int swapAttempts = 5;

std::function<void(RestoreStep)> &stepObserver()
{
    static std::function<void(RestoreStep)> observer;
    return observer;
}

void reached(RestoreStep step)
{
    if (stepObserver())
        stepObserver()(step);
}

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

struct LiveDatabase {
    QString encoding, collate, ctype, owner;
    QStringList settings; // "name=value" of ALTER DATABASE ... SET
};

// What one restore has done so far, so that a failure can undo it.
struct RestoreRun {
    ServerSettings settings;
    QString file;
    QString newName, oldName;
    Connection *server = nullptr; // on the maintenance database
    QString error;
    bool newMade = false; // the new database exists under its temporary name
};

bool fail(RestoreRun &run, const QString &error)
{
    if (run.error.isEmpty())
        run.error = error;
    return false;
}

bool exec(RestoreRun &run, const QString &statement)
{
    if (run.server->execute(Sql(statement)))
        return true;
    return fail(run, statement + QStringLiteral("：") + run.server->lastError());
}

bool readLive(RestoreRun &run, LiveDatabase &live)
{
    RecordSet rs(*run.server);
    if (!rs.open(Sql(QStringLiteral("SELECT pg_encoding_to_char(encoding) AS enc, datcollate, datctype, "
                                    "pg_get_userbyid(datdba) AS owner, oid FROM pg_database WHERE datname = ?"),
                     {run.settings.data})))
        return fail(run, run.server->lastError());
    if (rs.rowCount() != 1)
        return fail(run, QStringLiteral("服务器上没有数据库 ") + run.settings.data);
    live.encoding = rs.text(QStringLiteral("enc"));
    live.collate = rs.text(QStringLiteral("datcollate"));
    live.ctype = rs.text(QStringLiteral("datctype"));
    live.owner = rs.text(QStringLiteral("owner"));
    const QVariant oid = rs.value(QStringLiteral("oid"));
    if (!rs.open(Sql(QStringLiteral("SELECT unnest(setconfig) AS setting FROM pg_db_role_setting "
                                    "WHERE setdatabase = ? AND setrole = 0"),
                     {oid})))
        return fail(run, run.server->lastError());
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        live.settings << rs.text(QStringLiteral("setting"));
    return true;
}

bool createNewDatabase(RestoreRun &run, const LiveDatabase &live)
{
    if (!exec(run, QStringLiteral("CREATE DATABASE %1 WITH TEMPLATE template0 ENCODING %2 LC_COLLATE %3 LC_CTYPE %4 OWNER %5")
                       .arg(quoted(run.newName), sqlLiteral(live.encoding), sqlLiteral(live.collate),
                            sqlLiteral(live.ctype), quoted(live.owner))))
        return false;
    run.newMade = true;
    reached(RestoreStep::NewCreated);
    for (const QString &setting : live.settings) {
        const int eq = setting.indexOf(QLatin1Char('='));
        if (eq > 0
            && !exec(run, QStringLiteral("ALTER DATABASE %1 SET %2 TO %3")
                              .arg(quoted(run.newName), quoted(setting.left(eq)), sqlLiteral(setting.mid(eq + 1)))))
            return false;
    }
    return true;
}

bool fillNewDatabase(RestoreRun &run)
{
    const ClientToolResult tool = runClientTool(
        QStringLiteral("pg_restore"), {QStringLiteral("--exit-on-error"), QStringLiteral("--dbname=") + run.newName, run.file},
        run.settings, run.newName);
    if (!tool.ok)
        return fail(run, tool.error);
    ServerSettings restored = run.settings;
    restored.data = run.newName;
    Connection check;
    if (!check.openPostgres(restored))
        return fail(run, check.lastError());
    if (!hasShopTables(check))
        return fail(run, QStringLiteral("备份文件中不是本程序的数据库：") + run.file);
    reached(RestoreStep::NewFilled);
    return true;
}

// Ends the other sessions on the live database, then in one transaction renames it out of the way
// and gives the new database its name. A rename waits a few seconds for ended sessions to go and
// fails while one is left (or a workstation connected again in between): then nothing is renamed
// and the sessions are ended once more. Until the commit every new connection to the shop's name
// waits, and afterwards it reaches the new database.
bool swapOnce(RestoreRun &run)
{
    const QString live = quoted(run.settings.data);
    if (!run.server->execute(Sql(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                                "WHERE datname = ? AND pid <> pg_backend_pid()"),
                                 {run.settings.data})))
        return fail(run, run.server->lastError());
    reached(RestoreStep::SessionsEnded);
    Transaction transaction = run.server->transaction();
    if (!transaction.isActive())
        return fail(run, run.server->lastError());
    if (!exec(run, QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(live, quoted(run.oldName))))
        return false;
    reached(RestoreStep::LiveRenamed);
    if (!exec(run, QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(quoted(run.newName), live)))
        return false;
    reached(RestoreStep::NewRenamed);
    if (!transaction.commit())
        return fail(run, QStringLiteral("COMMIT：") + run.server->lastError());
    return true;
}

bool swap(RestoreRun &run)
{
    for (int attempt = 1;; ++attempt) {
        if (swapOnce(run))
            break;
        if (attempt == swapAttempts)
            return false;
        run.error.clear();
    }
    run.newMade = false;
    reached(RestoreStep::Swapped);
    // The old database is no longer needed; one that cannot be dropped is only in the way.
    if (!run.server->execute(Sql(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(quoted(run.oldName)))))
        programlog::write(QStringLiteral("还原后无法删除被替换的旧数据库 ") + run.oldName + QStringLiteral("：")
                          + run.server->lastError());
    reached(RestoreStep::OldDropped);
    return true;
}

// After a failure: the new database goes (the live one was never touched).
void undo(RestoreRun &run)
{
    if (run.newMade)
        run.server->execute(Sql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted(run.newName))));
}

} // namespace

void setRestoreStepObserver(std::function<void(RestoreStep)> observer)
{
    stepObserver() = std::move(observer);
}

RestoreResult restoreDatabase(const ServerSettings &settings, const QString &file)
{
    RestoreResult result;
    Connection server;
    RestoreRun run;
    run.settings = settings;
    run.file = file;
    run.server = &server;
    const QString stamp =
        QStringLiteral("%1_%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    run.newName = QStringLiteral("shopdesk_restore_") + stamp;
    run.oldName = QStringLiteral("shopdesk_replaced_") + stamp;

    ServerSettings maintenance = settings;
    maintenance.data = maintenanceDatabase(settings.data);
    if (!QFileInfo(file).isFile()) {
        fail(run, QStringLiteral("备份文件不存在：") + file);
    } else if (settings.data.isEmpty()) {
        fail(run, QStringLiteral("没有设置数据库名"));
    } else if (!server.openPostgres(maintenance)) {
        fail(run, server.lastError());
    } else {
        LiveDatabase live;
        result.ok = readLive(run, live) && createNewDatabase(run, live) && fillNewDatabase(run) && swap(run);
        if (!result.ok)
            undo(run);
    }
    result.error = run.error;
    return result;
}

} // namespace data
