// The network database's daily backup at closing and its restore from the database settings
// window, on the PostgreSQL test server with the program's clock fixed.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "data/DatabaseBackup.h"
#include "data/SchemaUpgrade.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "shell/DatabaseCare.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/MainPages.h"
#include "support/RealKeys.h"

using shell::DatabaseSettingsWindow;

namespace {

const QString Sales = QStringLiteral("销售明细");

class DatabaseBackupRestoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 1), QTime(9, 30)));
        ws = std::make_unique<shelltest::Workstation>(data::Backend::Postgres);
        ASSERT_TRUE(ws->db->ok()) << ws->db->error().toStdString();
        ASSERT_TRUE(ws->openContext(QStringLiteral("总店")));
        shell::MainPages pages;
        shell::installDatabaseCare(pages);
        backup = pages.backupNetworkDatabase;
    }
    void TearDown() override
    {
        DatabaseSettingsWindow::setHooks({});
        Clock::reset();
        ws.reset();
    }

    QString backupDir() const { return QDir(ws->db->dir()).filePath(QStringLiteral("backup")); }
    // Every entry of the backup folder, hidden ones too.
    QStringList backupEntries() const
    {
        return QDir(backupDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    bool sell(const QString &receipt)
    {
        return ws->insert(Sales, {{QStringLiteral("小票单号"), receipt}, {QStringLiteral("所属店铺"), QStringLiteral("总店")}});
    }
    // The receipt numbers of the sales, read on a new connection.
    QStringList receipts()
    {
        data::Connection c;
        EXPECT_TRUE(ws->db->openAnother(c)) << c.lastError().toStdString();
        data::RecordSet rs(c);
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 小票单号 FROM 销售明细 ORDER BY id"))));
        QStringList list;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            list << rs.text(0);
        return list;
    }
    // Databases this program's restores made under a temporary name and left behind (other tests
    // may be restoring on the same server at the same time).
    QStringList leftoverDatabases()
    {
        data::Connection c;
        EXPECT_TRUE(ws->db->openAnother(c));
        data::RecordSet list(c);
        const QString pid = QString::number(QCoreApplication::applicationPid());
        EXPECT_TRUE(list.open(data::Sql(QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE ? OR datname LIKE ?"),
                                        {QStringLiteral("shopdesk\\_restore\\_") + pid + QStringLiteral("\\_%"),
                                         QStringLiteral("shopdesk\\_replaced\\_") + pid + QStringLiteral("\\_%")})));
        QStringList names;
        for (list.moveFirst(); !list.pastLast(); list.moveNext())
            names << list.text(0);
        return names;
    }
    QByteArray fileBytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QPushButton *restoreButton(DatabaseSettingsWindow &w) { return w.findChild<QPushButton *>(QStringLiteral("按钮5")); }
    QComboBox *backupList(DatabaseSettingsWindow &w) { return w.findChild<QComboBox *>(QStringLiteral("组合框1")); }

    std::unique_ptr<shelltest::Workstation> ws;
    std::function<void(AppContext &)> backup;
};

TEST(BackupFileName, DayWithoutLeadingZerosAndWithoutExtension)
{
    const struct {
        QDate day;
        const char *name;
    } cases[] = {
        {QDate(2015, 3, 1), "2015-3-1"},
        {QDate(2015, 3, 11), "2015-3-11"},
        {QDate(2015, 10, 5), "2015-10-5"},
        {QDate(2015, 12, 31), "2015-12-31"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(data::backupFileName(c.day), QString::fromUtf8(c.name)) << c.name;
}

TEST_F(DatabaseBackupRestoreTest, TwoClosingsOnOneDayLeaveOneFileWithTheLaterDump)
{
    ASSERT_FALSE(QDir(backupDir()).exists()) << "the folder is made by the first backup";
    ASSERT_TRUE(sell(QStringLiteral("first-closing")));
    backup(ws->ctx);
    ASSERT_EQ(backupEntries(), QStringList{QStringLiteral("2015-3-1")});
    ASSERT_TRUE(sell(QStringLiteral("second-closing")));
    Clock::setFixed(QDateTime(QDate(2015, 3, 1), QTime(21, 5)));
    backup(ws->ctx);
    EXPECT_EQ(backupEntries(), QStringList{QStringLiteral("2015-3-1")});

    // The file is a pg_dump archive holding both sales.
    QProcess restore;
    restore.start(QStringLiteral("pg_restore"),
                  {QStringLiteral("--data-only"), QStringLiteral("--table=") + Sales, QStringLiteral("--file=-"),
                   QDir(backupDir()).filePath(QStringLiteral("2015-3-1"))});
    ASSERT_TRUE(restore.waitForFinished(60000));
    ASSERT_EQ(restore.exitCode(), 0) << restore.readAllStandardError().toStdString();
    const QString script = QString::fromUtf8(restore.readAllStandardOutput());
    EXPECT_TRUE(script.contains(QStringLiteral("first-closing")));
    EXPECT_TRUE(script.contains(QStringLiteral("second-closing")));
}

TEST_F(DatabaseBackupRestoreTest, AFailedDumpKeepsTheDaysEarlierFileAndGoesToTheLog)
{
    backup(ws->ctx);
    const QString file = QDir(backupDir()).filePath(QStringLiteral("2015-3-1"));
    const QByteArray earlier = fileBytes(file);
    ASSERT_FALSE(earlier.isEmpty());
    // The test server trusts every known account whatever its password: an unknown account is refused.
    ws->ctx.sqlServerSettings.user = QStringLiteral("no_such_account");
    ws->ctx.sqlServerSettings.password = QStringLiteral("pw-secret-7");
    ASSERT_TRUE(sell(QStringLiteral("after-the-first")));
    backup(ws->ctx);
    EXPECT_EQ(fileBytes(file), earlier);
    EXPECT_EQ(backupEntries(), QStringList{QStringLiteral("2015-3-1")}) << "nothing of the failed dump is left";
    const QString log = QString::fromUtf8(fileBytes(ProgramDir::file(ProgramDir::logFileName())));
    EXPECT_TRUE(log.contains(QStringLiteral("数据自动备份失败"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("no_such_account"))) << "pg_dump's own words";
    EXPECT_FALSE(log.contains(QStringLiteral("pw-secret-7"))) << "the password is never written down";
}

TEST_F(DatabaseBackupRestoreTest, ARestoreIsRefusedOrDeclinedBeforeAnyConnectionIsTouched)
{
    const QString question = shell::RestoreQuestionText.arg(QStringLiteral("2015-2-27"));
    const struct {
        const char *what;
        bool ticked;
        int files;      // backups of the days before today
        const char *chosen; // "" : none chosen
        QString text;
        bool enter = false; // the real box, closed by Enter (else the script answers No)
    } cases[] = {
        {"single-machine mode", false, 3, "", QStringLiteral("单机版无需还原数据库！")},
        {"no backup at all", true, 0, "", QStringLiteral("还未选择要还原的日期！")},
        {"backups, none chosen", true, 3, "", QStringLiteral("还未选择要还原的日期！")},
        {"a day chosen, the question answered No", true, 3, "2015-2-27", question},
        {"a day chosen, Enter on the question", true, 3, "2015-2-27", question, true},
    };
    ASSERT_TRUE(sell(QStringLiteral("before-backups")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(backupDir()).removeRecursively();
        for (int day = 1; day <= c.files; ++day) {
            Clock::setFixed(QDateTime(QDate(2015, 2, 24 + day), QTime(21, 0)));
            backup(ws->ctx);
        }
        Clock::setFixed(QDateTime(QDate(2015, 3, 1), QTime(9, 30)));
        ASSERT_TRUE(sell(QStringLiteral("after-backups")));
        const QStringList before = receipts();
        ws->ctx.runMode = c.ticked ? AppContext::NetworkMode : AppContext::SingleMachineMode;
        DatabaseSettingsWindow w(ws->ctx);
        ASSERT_EQ(backupList(w)->count(), c.files);
        if (*c.chosen)
            backupList(w)->setCurrentText(QString::fromUtf8(c.chosen));
        ASSERT_EQ(w.selectedBackupFile(), QString::fromUtf8(c.chosen));
        MessageScript script; // answers No
        if (c.enter) {
            w.show();
            script.setRealBoxes([](QMessageBox *box) {
                testsupport::pressKeyOnBox(box, Qt::Key_Return);
                testsupport::releaseKey(Qt::Key_Return);
            });
        }
        restoreButton(w)->click();
        EXPECT_EQ(script.texts(), QStringList{c.text});
        EXPECT_FALSE(script.messages().constLast().answeredYes);
        EXPECT_TRUE(ws->ctx.connection().isOpen());
        EXPECT_TRUE(ws->db->connection().execute(data::Sql(QStringLiteral("SELECT 1")))) << "no session was ended";
        EXPECT_EQ(receipts(), before) << "the database is as it was";
        EXPECT_TRUE(leftoverDatabases().isEmpty());
    }
}

TEST_F(DatabaseBackupRestoreTest, ARestoreBringsBackTheFilesStateWhileAnotherSessionHoldsTheDatabase)
{
    ASSERT_TRUE(sell(QStringLiteral("before-backup")));
    backup(ws->ctx);
    ASSERT_TRUE(sell(QStringLiteral("after-backup")));
    data::Connection otherWorkstation;
    ASSERT_TRUE(ws->db->openAnother(otherWorkstation));
    data::RecordSet otherSession(otherWorkstation);
    ASSERT_TRUE(otherSession.open(data::Sql(QStringLiteral("SELECT pg_backend_pid()"))));
    const qint64 otherPid = otherSession.integer(0);

    DatabaseSettingsWindow w(ws->ctx);
    backupList(w)->setCurrentText(QStringLiteral("2015-3-1"));
    ASSERT_EQ(w.selectedBackupFile(), QStringLiteral("2015-3-1"));
    MessageScript script;
    script.queueAnswers({true});
    // The program ends once the success message is closed: run its event loop for that.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(120000);
    QTimer::singleShot(0, &w, [&] { restoreButton(w)->click(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);

    ASSERT_EQ(script.messages().size(), 2);
    const ShownMessage &asked = script.messages().first();
    EXPECT_TRUE(asked.question);
    EXPECT_EQ(asked.text, shell::RestoreQuestionText.arg(QStringLiteral("2015-3-1")));
    EXPECT_TRUE(asked.text.contains(QStringLiteral("2015-3-1")) && asked.text.contains(QStringLiteral("所有工作站")));
    EXPECT_EQ(script.messages().last().text, QStringLiteral("还原成功!，请重启软件！"));
    EXPECT_FALSE(ws->ctx.connection().isOpen()) << "the shop connection was closed first";
    EXPECT_EQ(receipts(), QStringList{QStringLiteral("before-backup")});
    // The restore ended the other workstation's session; its next statement opens a new one on the
    // restored database.
    ASSERT_TRUE(otherSession.open(data::Sql(QStringLiteral("SELECT pg_backend_pid()")))) << otherWorkstation.lastError().toStdString();
    EXPECT_NE(otherSession.integer(0), otherPid) << "the other session was ended";
    EXPECT_TRUE(leftoverDatabases().isEmpty()) << leftoverDatabases().join(QLatin1Char(' ')).toStdString();
}

// pg_restore of `file` into a scratch database: true when it failed after it had made the shop's
// tables, that is when the file is cut off inside its data.
bool failsAfterMakingTables(const data::ServerSettings &server, const QString &file)
{
    data::ServerSettings admin = server;
    admin.data = QStringLiteral("postgres");
    data::Connection c;
    EXPECT_TRUE(c.openPostgres(admin)) << c.lastError().toStdString();
    const QString scratch = QStringLiteral("shopdesk_cutcheck_%1").arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(c.execute(data::Sql(QStringLiteral("CREATE DATABASE %1").arg(scratch))));
    QProcess restore;
    restore.start(QStringLiteral("pg_restore"),
                  {QStringLiteral("--no-password"), QStringLiteral("--exit-on-error"), QStringLiteral("--host=") + server.ip,
                   QStringLiteral("--port=") + server.port, QStringLiteral("--username=") + server.user,
                   QStringLiteral("--dbname=") + scratch, file});
    EXPECT_TRUE(restore.waitForFinished(120000));
    const bool failed = restore.exitStatus() == QProcess::NormalExit && restore.exitCode() != 0;
    bool tablesMade = false;
    {
        data::ServerSettings filled = server;
        filled.data = scratch;
        data::Connection check;
        EXPECT_TRUE(check.openPostgres(filled)) << check.lastError().toStdString();
        tablesMade = data::hasShopTables(check);
    }
    EXPECT_TRUE(c.execute(data::Sql(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(scratch))));
    return failed && tablesMade;
}

TEST_F(DatabaseBackupRestoreTest, AFailedRestoreLeavesTheDatabaseAsItWas)
{
    // Enough log rows that the table data make up most of the backup file.
    ASSERT_TRUE(ws->db->connection().execute(data::Sql(QStringLiteral(
        "INSERT INTO 日志记录 (用户名, 操作内容) SELECT 'bulk', md5(g::text) || md5((g * 7)::text) "
        "FROM generate_series(1, 40000) AS g"))));
    ASSERT_TRUE(sell(QStringLiteral("before-backup")));
    backup(ws->ctx);
    ASSERT_TRUE(sell(QStringLiteral("after-backup")));
    const auto logRows = [this] {
        data::Connection c;
        EXPECT_TRUE(ws->db->openAnother(c));
        data::RecordSet rs(c);
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM 日志记录"))));
        return rs.text(0);
    };
    const QString logRowsBefore = logRows();
    // Damaged files: the first part of a good one, cut off inside its table data, so that pg_restore
    // fails after it has made and filled some tables.
    const QByteArray bytes = fileBytes(QDir(backupDir()).filePath(QStringLiteral("2015-3-1")));
    const struct {
        int percent;
        const char *file;
    } cuts[] = {{50, "2015-2-5"}, {70, "2015-2-7"}, {80, "2015-2-8"}, {90, "2015-2-9"}};
    for (const auto &cut : cuts) {
        QFile damaged(QDir(backupDir()).filePath(QString::fromUtf8(cut.file)));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes.left(bytes.size() * cut.percent / 100));
        damaged.close();
        ASSERT_TRUE(failsAfterMakingTables(ws->db->serverSettings(), damaged.fileName())) << cut.percent << "%";
    }
    // An account that may not create databases.
    const QString account = QStringLiteral("shopdesk_nocreate_%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(ws->db->connection().execute(data::Sql(QStringLiteral("CREATE ROLE %1 LOGIN NOCREATEDB").arg(account))));

    const QString owner = ws->ctx.sqlServerSettings.user;
    const struct {
        const char *what;
        const char *file;
        QString user;
    } cases[] = {
        {"the first 50 % of a good file", "2015-2-5", owner},
        {"the first 70 % of a good file", "2015-2-7", owner},
        {"the first 80 % of a good file", "2015-2-8", owner},
        {"the first 90 % of a good file", "2015-2-9", owner},
        {"an account without the right to create databases", "2015-3-1", account},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ws->ctx.sqlServerSettings.user = c.user;
        data::Connection otherWorkstation;
        ASSERT_TRUE(ws->db->openAnother(otherWorkstation));
        DatabaseSettingsWindow w(ws->ctx);
        backupList(w)->setCurrentText(QString::fromUtf8(c.file));
        ASSERT_EQ(w.selectedBackupFile(), QString::fromUtf8(c.file));
        MessageScript script;
        script.queueAnswers({true});
        restoreButton(w)->click();
        EXPECT_EQ(script.texts(), (QStringList{shell::RestoreQuestionText.arg(QString::fromUtf8(c.file)),
                                               QStringLiteral("还原失败!")}));
        EXPECT_EQ(receipts(), (QStringList{QStringLiteral("before-backup"), QStringLiteral("after-backup")}));
        EXPECT_EQ(logRows(), logRowsBefore);
        EXPECT_TRUE(ws->ctx.connection().isOpen()) << "the shop connection is opened again";
        EXPECT_TRUE(ws->ctx.connection().execute(data::Sql(QStringLiteral("SELECT 1"))));
        EXPECT_TRUE(otherWorkstation.execute(data::Sql(QStringLiteral("SELECT 1")))) << "no session was ended";
        EXPECT_TRUE(leftoverDatabases().isEmpty()) << leftoverDatabases().join(QLatin1Char(' ')).toStdString();
        const QString log = QString::fromUtf8(fileBytes(ProgramDir::file(ProgramDir::logFileName())));
        EXPECT_TRUE(log.contains(QStringLiteral("数据库还原失败：") + QString::fromUtf8(c.file)));
    }
    ws->ctx.connection().close();
    EXPECT_TRUE(ws->db->connection().execute(data::Sql(QStringLiteral("DROP ROLE %1").arg(account))));
}

} // namespace
