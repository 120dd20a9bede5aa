// A restore of the network database that dies part-way. The test program starts itself again as a
// child that restores a backup over a shop database and stops at one step of the restore; it is
// killed there with SIGKILL (no clean-up of any kind). Whatever the step, a database of the shop's
// name takes connections at once and holds either the live data or the backup's, whole.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "support/TestDatabase.h"
#include "data/DatabaseBackup.h"
#include "data/DatabaseRestore.h"
#include "data/RecordSet.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Set in the child's environment: the shop database, the backup file and the step to stop at.
const char *const kChildDatabase = "SHOPDESK_RESTORE_CRASH_DATABASE";
const char *const kChildFile = "SHOPDESK_RESTORE_CRASH_FILE";
const char *const kChildStep = "SHOPDESK_RESTORE_CRASH_STEP";
const QByteArray kReadyToken = "restore-crash-child: step reached";
const QString kTestName = QStringLiteral("RestoreCrash.AKilledRestoreLeavesTheShopsDatabaseTakingConnections");

[[noreturn]] void childFails(const QString &why)
{
    std::fprintf(stderr, "restore-crash-child: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::_Exit(3);
}

// The child: restores the backup and, at the chosen step, says so and waits to be killed.
[[noreturn]] void runChild()
{
    data::ServerSettings settings;
    QString error;
    if (!testsupport::TestDatabase::testServer(&settings, &error))
        childFails(error);
    settings.data = qEnvironmentVariable(kChildDatabase);
    const int stopAt = qEnvironmentVariableIntValue(kChildStep);
    data::setRestoreStepObserver([stopAt](data::RestoreStep step) {
        if (int(step) != stopAt)
            return;
        std::printf("\n%s\n", kReadyToken.constData());
        std::fflush(stdout);
        for (;;)
            QThread::sleep(60);
    });
    const data::RestoreResult result = data::restoreDatabase(settings, qEnvironmentVariable(kChildFile));
    childFails(result.ok ? QStringLiteral("the restore ended without reaching its step") : result.error);
}

// Runs the child, kills it once it reported its step and gives its process id; "" when that went
// as planned, otherwise what went wrong with the child's output.
QString killChildAtItsStep(const QProcessEnvironment &extra, qint64 *pid)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(extra);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + kTestName});
    if (!child.waitForStarted(10000))
        return QStringLiteral("the child did not start: ") + child.errorString();
    *pid = child.processId();
    QByteArray output;
    while (!output.contains(kReadyToken) && child.state() == QProcess::Running)
        if (child.waitForReadyRead(60000))
            output += child.readAllStandardOutput();
    if (!output.contains(kReadyToken))
        return QStringLiteral("the child stopped before its step\n")
               + QString::fromUtf8(output + child.readAllStandardOutput() + child.readAllStandardError());
    child.kill();
    if (!child.waitForFinished(10000))
        return QStringLiteral("the killed child did not end");
    return QString();
}

QStringList receipts(data::Connection &c)
{
    data::RecordSet rs(c);
    EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 小票单号 FROM 销售明细 ORDER BY id")))) << c.lastError().toStdString();
    QStringList list;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        list << rs.text(0);
    return list;
}

bool sell(data::Connection &c, const QString &receipt)
{
    return c.execute(data::Sql(QStringLiteral("INSERT INTO 销售明细 (小票单号, 所属店铺) VALUES (?, ?)"),
                               {receipt, QStringLiteral("总店")}));
}

// Drops what a killed child's restore left under its temporary names.
void dropLeftoversOf(qint64 pid)
{
    data::ServerSettings admin;
    QString error;
    ASSERT_TRUE(testsupport::TestDatabase::testServer(&admin, &error)) << error.toStdString();
    data::Connection c;
    ASSERT_TRUE(c.openPostgres(admin)) << c.lastError().toStdString();
    data::RecordSet list(c);
    ASSERT_TRUE(list.open(data::Sql(QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE ? OR datname LIKE ?"),
                                    {QStringLiteral("shopdesk\\_restore\\_%1\\_%").arg(pid),
                                     QStringLiteral("shopdesk\\_replaced\\_%1\\_%").arg(pid)})));
    QStringList names;
    for (list.moveFirst(); !list.pastLast(); list.moveNext())
        names << list.text(0);
    for (const QString &name : names)
        EXPECT_TRUE(c.execute(data::Sql(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(name))));
}

TEST(RestoreCrash, AKilledRestoreLeavesTheShopsDatabaseTakingConnections)
{
    if (qEnvironmentVariableIsSet(kChildDatabase))
        runChild();

    using data::RestoreStep;
    const QStringList live{QStringLiteral("before-backup"), QStringLiteral("after-backup")};
    const QStringList restored{QStringLiteral("before-backup")};
    const struct {
        RestoreStep step;
        const char *name;
        QStringList receipts;
    } cases[] = {
        {RestoreStep::NewCreated, "new database made", live},
        {RestoreStep::NewFilled, "new database filled", live},
        {RestoreStep::SessionsEnded, "sessions ended", live},
        {RestoreStep::LiveRenamed, "live database renamed, not committed", live},
        {RestoreStep::NewRenamed, "both renamed, not committed", live},
        {RestoreStep::Swapped, "swap committed", restored},
        {RestoreStep::OldDropped, "old database dropped", restored},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TestDatabase db(data::Backend::Postgres);
        ASSERT_TRUE(db.ok()) << db.error().toStdString();
        ASSERT_TRUE(sell(db.connection(), QStringLiteral("before-backup")));
        const data::BackupResult backup = data::backupDatabase(db.serverSettings(), db.dir(), QDate(2015, 3, 1));
        ASSERT_TRUE(backup.ok) << backup.error.toStdString();
        ASSERT_TRUE(sell(db.connection(), QStringLiteral("after-backup")));

        QProcessEnvironment environment;
        environment.insert(QString::fromLatin1(kChildDatabase), db.serverSettings().data);
        environment.insert(QString::fromLatin1(kChildFile), backup.file);
        environment.insert(QString::fromLatin1(kChildStep), QString::number(int(c.step)));
        qint64 pid = 0;
        const QString failure = killChildAtItsStep(environment, &pid);
        ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

        // A workstation connecting now reaches a database of the shop's name, whole.
        data::Connection workstation;
        ASSERT_TRUE(db.openAnother(workstation)) << workstation.lastError().toStdString();
        EXPECT_EQ(receipts(workstation), c.receipts);
        EXPECT_TRUE(sell(workstation, QStringLiteral("after-the-crash"))) << workstation.lastError().toStdString();
        data::RecordSet allowed(workstation);
        ASSERT_TRUE(allowed.open(data::Sql(QStringLiteral("SELECT datallowconn::int FROM pg_database WHERE datname = ?"),
                                           {db.serverSettings().data})));
        EXPECT_EQ(allowed.text(0), QStringLiteral("1"));
        workstation.close();
        dropLeftoversOf(pid);
    }
}

} // namespace
