#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/RowReader.h"
#include "data/SqlBuilder.h"
#include "support/LogCapture.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <thread>

using namespace data;
using testsupport::BothBackends;
using testsupport::LogCapture;
using testsupport::TestDatabase;

namespace {

// The shop schema, with the stock table for increments and the log table for plain texts.
class ShopDatabase : public BothBackends {
protected:
    int insertStock(const QString &shop, const QString &quantity)
    {
        EXPECT_TRUE(conn().execute(buildInsertSql(dialect(), "采购入库",
                                                  Pairs{{"所属店铺", shop}, {"数量", quantity}, {"已售", "0"},
                                                        {"拼音检索", "ABCtx"}, {"款号", "K1"}})));
        RecordSet rs(conn());
        EXPECT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", {}, false, "id 降序", true)));
        return int(rs.integer("id"));
    }
    QString stockQuantity(int id)
    {
        RecordSet rs(conn());
        EXPECT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", eq("id", id), true, {}, false)));
        return rs.text("数量");
    }
};

TEST_P(ShopDatabase, AwkwardValuesAreStoredByteForByte)
{
    const QStringList values = {"O'Neil", "a,b", "x=y", "50%_off", "' or '1'='1", "T恤,男 = 'L'", "  blanks  "};
    for (const QString &value : values)
        ASSERT_TRUE(conn().execute(buildInsertSql(dialect(), "日志记录", Pairs{{"门店", value}, {"用户名", "b"}})))
            << value.toStdString() << conn().lastError().toStdString();

    RecordSet rs(conn());
    for (const QString &value : values) {
        ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "日志记录", eq("门店", value), true, "id ASC", true)));
        ASSERT_EQ(rs.rowCount(), 1) << value.toStdString();
        EXPECT_EQ(rs.text("门店"), value);
        EXPECT_EQ(rs.text("用户名"), QStringLiteral("b"));
    }
    // A LIKE pattern with % and _ in the stored text still finds it.
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "日志记录", dialect().like("门店", "50%"), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 1);
}

TEST_P(ShopDatabase, ShippedAdministratorIsFoundExactlyAndInjectionIsNot)
{
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "帐号管理", both(eq("帐号", "admin"), eq("密码", "580417")), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 1);
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "帐号管理", both(eq("帐号", "admin"), eq("密码", "' or '1'='1")), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 0);
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "帐号管理", both(eq("帐号", "ADMIN"), eq("密码", "580417")), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 0) << "= compares exactly";
}

TEST_P(ShopDatabase, RowCountsAndTheWalk)
{
    for (const char *shop : {"甲", "乙", "甲", "甲"})
        insertStock(shop, "1");
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", eq("所属店铺", "甲"), true, "id ASC", true)));
    EXPECT_EQ(rs.rowCount(), 3);
    QList<qint64> ids;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        ids << rs.integer("ID"); // any letter case
    ASSERT_EQ(ids.size(), 3);
    EXPECT_LT(ids[0], ids[1]);
    EXPECT_LT(ids[1], ids[2]);

    // Reading by position: id is the first column of the table.
    rs.moveFirst();
    EXPECT_EQ(rs.text(0), QString::number(ids[0]));
    EXPECT_EQ(rs.text("Id"), rs.text("id"));

    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", eq("所属店铺", "丙"), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 0);
    EXPECT_TRUE(rs.pastLast());
    EXPECT_EQ(rs.text("数量"), QString());
}

TEST_P(ShopDatabase, NonSelectClearsTheRowsAndCountsChanges)
{
    insertStock("甲", "1");
    insertStock("甲", "2");
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", {}, false, {}, false)));
    ASSERT_EQ(rs.rowCount(), 2);
    ASSERT_TRUE(rs.open(buildUpdateSql(dialect(), "采购入库", Pairs{{"名称", "新"}}, {}, false)));
    EXPECT_EQ(rs.rowCount(), -1);
    EXPECT_TRUE(rs.pastLast());
    EXPECT_EQ(rs.text("名称"), QString());
    EXPECT_EQ(rs.numRowsAffected(), 2);

    ASSERT_TRUE(conn().execute(Sql("delete from 采购入库 where 数量=?", {"1"})));
    EXPECT_EQ(conn().numRowsAffected(), 1);
}

TEST_P(ShopDatabase, FailingStatementIsReportedAndLogged)
{
    LogCapture log;
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "帐号管理", {}, false, {}, false)));
    ASSERT_GT(rs.rowCount(), 0);

    const Sql bad = buildSelectSql(dialect(), "没有这张表", eq("店名", "O'Neil"), true, {}, false);
    EXPECT_FALSE(rs.open(bad));
    EXPECT_EQ(rs.rowCount(), -1);
    EXPECT_TRUE(rs.pastLast());
    EXPECT_EQ(rs.text(0), QString());
    EXPECT_FALSE(rs.lastError().isEmpty());
    EXPECT_TRUE(log.text().contains(bad.display())) << log.text().toStdString();

    EXPECT_FALSE(conn().execute(Sql("delete from 没有这张表 where id=?", {1})));
    EXPECT_FALSE(conn().lastError().isEmpty());
    EXPECT_TRUE(log.text().contains(QStringLiteral("delete from 没有这张表 where id=1")));

    // The connection goes on working after a failure.
    EXPECT_TRUE(rs.open(buildSelectSql(dialect(), "帐号管理", {}, false, {}, false)));
    EXPECT_GT(rs.rowCount(), 0);
}

TEST_P(ShopDatabase, ServerDateAndDateTimesReadAs19Characters)
{
    const QRegularExpression form(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(dialect().serverDateSql()));
    EXPECT_TRUE(form.match(rs.text(0)).hasMatch()) << rs.text(0).toStdString();
    const QDateTime server = QDateTime::fromString(rs.text(0), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_LT(qAbs(server.secsTo(QDateTime::currentDateTime())), 120) << "the local time of the server";

    if (backend() == Backend::Postgres) {
        ASSERT_TRUE(rs.open(Sql("select timestamp '2024-03-05 07:08:09.5' as t")));
        EXPECT_EQ(rs.text("T"), QStringLiteral("2024-03-05 07:08:09"));
    }
}

TEST_P(ShopDatabase, TextFormsOfStoredTypes)
{
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(Sql("select NULL, 42, -7, 1.5, ''")));
    EXPECT_EQ(rs.text(0), QString());
    EXPECT_EQ(rs.text(1), QStringLiteral("42"));
    EXPECT_EQ(rs.text(2), QStringLiteral("-7"));
    EXPECT_EQ(rs.text(3), QStringLiteral("1.50000000"));
    EXPECT_EQ(rs.text(4), QString());
    EXPECT_EQ(rs.text(5), QString()) << "no such column";
    if (backend() == Backend::Postgres) {
        ASSERT_TRUE(rs.open(Sql("select true, false, CAST('\\x01' AS bytea), CAST(2.25 AS numeric), CAST(3 AS smallint)")));
        EXPECT_EQ(rs.text(0), QStringLiteral("TRUE"));
        EXPECT_EQ(rs.text(1), QStringLiteral("FALSE"));
        EXPECT_EQ(rs.text(2), QStringLiteral("[BLOB]"));
        EXPECT_EQ(rs.text(3), QStringLiteral("2.25000000"));
        EXPECT_EQ(rs.text(4), QStringLiteral("3"));
    } else {
        ASSERT_TRUE(rs.open(Sql("select x'01'")));
        EXPECT_EQ(rs.text(0), QStringLiteral("[BLOB]"));
    }
}

TEST_P(ShopDatabase, TransactionCommitsOrRollsBackWhole)
{
    const int id = insertStock("甲", "5");
    {
        Transaction t = conn().transaction();
        ASSERT_TRUE(t.isActive());
        ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库", Pairs{{"数量", "4"}}, eq("id", id), true)));
        // no commit: the guard rolls back
    }
    EXPECT_EQ(stockQuantity(id), QStringLiteral("5"));
    {
        Transaction t = conn().transaction();
        ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库", Pairs{{"数量", "3"}}, eq("id", id), true)));
        EXPECT_TRUE(t.commit());
        EXPECT_FALSE(t.isActive());
    }
    EXPECT_EQ(stockQuantity(id), QStringLiteral("3"));

    // One failed statement spoils the whole operation: nothing of it is kept.
    {
        LogCapture log;
        Transaction t = conn().transaction();
        ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库", Pairs{{"数量", "2"}}, eq("id", id), true)));
        EXPECT_FALSE(conn().execute(Sql("insert into 没有这张表 (a) values (?)", {"x"})));
        EXPECT_FALSE(t.commit());
    }
    EXPECT_EQ(stockQuantity(id), QStringLiteral("3"));
    EXPECT_FALSE(conn().inTransaction());
}

// A statement prepared and kept from an earlier run that fails inside a transaction says why it
// failed (here a shop name that is already taken), in its error and in the log; the failure of
// anything the spoiled transaction runs after it is no reason.
TEST_P(ShopDatabase, AStatementPreparedEarlierThatFailsInATransactionNamesTheRealReason)
{
    const auto addShop = [](const char *name) { return Sql("INSERT INTO 店铺名 (店名) VALUES (?)", {name}); };
    ASSERT_TRUE(conn().execute(addShop("东店"))) << conn().lastError().toStdString();
    LogCapture log;
    {
        Transaction tx = conn().transaction();
        ASSERT_TRUE(tx.isActive());
        ASSERT_TRUE(conn().execute(addShop("西店")));
        EXPECT_FALSE(conn().execute(addShop("东店")));
        const QString error = conn().lastError();
        EXPECT_TRUE(error.contains(QStringLiteral("unique"), Qt::CaseInsensitive)) << error.toStdString();
        EXPECT_FALSE(error.contains(QStringLiteral("aborted"))) << error.toStdString();
        const QString logged = log.text();
        EXPECT_TRUE(logged.contains(QStringLiteral("东店"))) << logged.toStdString();
        EXPECT_TRUE(logged.contains(QStringLiteral("unique"), Qt::CaseInsensitive)) << logged.toStdString();
        EXPECT_FALSE(logged.contains(QStringLiteral("aborted"))) << logged.toStdString();
        EXPECT_FALSE(tx.commit());
        EXPECT_TRUE(conn().lastError().contains(QStringLiteral("unique"), Qt::CaseInsensitive))
            << "the commit that could not be says why: " << conn().lastError().toStdString();
    }
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "店铺名", {"店名"}, {}, false, "id ASC", true)));
    EXPECT_EQ(rs.rowCount(), 1) << "西店 went with the transaction";
    EXPECT_EQ(rs.text(0), QStringLiteral("东店"));
}

TEST_P(ShopDatabase, NestedTransactionJoinsTheOuterOne)
{
    const int id = insertStock("甲", "5");
    {
        Transaction outer = conn().transaction();
        {
            Transaction inner = conn().transaction();
            ASSERT_TRUE(inner.isActive());
            ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库", Pairs{{"数量", "4"}}, eq("id", id), true)));
            EXPECT_TRUE(inner.commit());
        }
        EXPECT_TRUE(conn().inTransaction());
        EXPECT_TRUE(outer.commit());
    }
    EXPECT_EQ(stockQuantity(id), QStringLiteral("4"));
    {
        Transaction outer = conn().transaction();
        ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库", Pairs{{"数量", "1"}}, eq("id", id), true)));
        {
            Transaction inner = conn().transaction(); // ends without commit
        }
        EXPECT_FALSE(outer.commit());
    }
    EXPECT_EQ(stockQuantity(id), QStringLiteral("4"));
}

TEST_P(ShopDatabase, IncrementsKeepWholeNumberText)
{
    struct Case {
        const char *stored;
        int change;
        const char *expected;
    };
    for (const Case &c : {Case{"5", -2, "3"}, Case{"5.0", 1, "6"}, Case{"0", -1, "-1"}, Case{"abc", 1, "1"},
                          Case{"", 2, "2"}, Case{" 7 ", -7, "0"}}) {
        const int id = insertStock("甲", c.stored);
        ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库", Sql(dialect().increment("数量"), {c.change}),
                                                  eq("id", id), true)))
            << c.stored;
        EXPECT_EQ(stockQuantity(id), QString::fromUtf8(c.expected)) << "stored '" << c.stored << "' change " << c.change;
    }
}

TEST_P(ShopDatabase, DecimalIncrementsGiveTheShortestText)
{
    struct Case {
        const char *stored;
        double change;
        const char *expected;
    };
    for (const Case &c : {Case{"12.5", 0.25, "12.75"}, Case{"7.5", -0.5, "7"}, Case{"", 10, "10"},
                          Case{"0.1", 0.2, "0.3"}, Case{"x", 1.5, "1.5"}}) {
        const int id = insertStock("甲", c.stored);
        ASSERT_TRUE(conn().execute(buildUpdateSql(dialect(), "采购入库",
                                                  Sql(dialect().incrementDecimal("数量"), {c.change}), eq("id", id), true)));
        EXPECT_EQ(stockQuantity(id), QString::fromUtf8(c.expected)) << c.stored << " + " << c.change;
    }
}

TEST_P(ShopDatabase, NumberTestsOnTextNeverFail)
{
    for (const char *quantity : {"3", "abc", "", "-1", "0", "2.5", "0.0"})
        insertStock("甲", quantity);
    RecordSet rs(conn());
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", Sql(dialect().asNumber("数量") + ">0"), true, {}, false)))
        << rs.lastError().toStdString();
    EXPECT_EQ(rs.rowCount(), 2); // "3" and "2.5"

    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库",
                                       both(Sql(dialect().inStockCondition()), eq("所属店铺", "甲")), true, {}, false)));
    // SQLite keeps the classic text test (everything but "0"); PostgreSQL compares numbers.
    EXPECT_EQ(rs.rowCount(), backend() == Backend::Sqlite ? 6 : 2);
}

TEST_P(ShopDatabase, LikeIgnoresAsciiLetterCaseOnBothBackends)
{
    insertStock("甲", "1"); // 拼音检索 "ABCtx"
    RecordSet rs(conn());
    for (const Sql &condition : {dialect().like("拼音检索", "%bct%"), like("拼音检索", "%bct%"),
                                 dialect().like("拼音检索", "abc%"), like("拼音检索", "%TX")}) {
        ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", condition, true, {}, false))) << condition.display().toStdString();
        EXPECT_EQ(rs.rowCount(), 1) << condition.display().toStdString();
    }
    ASSERT_TRUE(rs.open(buildSelectSql(dialect(), "采购入库", dialect().like("拼音检索", "%xyz%"), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 0);
}

TEST_P(ShopDatabase, ConcurrentIncrementsLoseNothing)
{
    const int id = insertStock("甲", "100");
    constexpr int perWorker = 20;
    auto worker = [&](bool *ok) {
        Connection own;
        *ok = db().openAnother(own);
        for (int i = 0; i < perWorker && *ok; ++i) {
            Transaction t = own.transaction();
            *ok = own.execute(buildUpdateSql(own.dialect(), "采购入库", Sql(own.dialect().increment("数量"), {-1}),
                                             eq("id", id), true))
                  && t.commit();
        }
    };
    bool ok1 = false, ok2 = false;
    std::thread a(worker, &ok1);
    std::thread b(worker, &ok2);
    a.join();
    b.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
    EXPECT_EQ(stockQuantity(id), QString::number(100 - 2 * perWorker));
}

TEST_P(ShopDatabase, AnotherConnectionSeesCommittedRows)
{
    Connection other;
    ASSERT_TRUE(db().openAnother(other));
    insertStock("甲", "9");
    RecordSet rs(other);
    ASSERT_TRUE(rs.open(buildSelectSql(other.dialect(), "采购入库", eq("数量", "9"), true, {}, false)));
    EXPECT_EQ(rs.rowCount(), 1);
}

SHOPDESK_BOTH_BACKENDS(ShopDatabase);

TEST(ConnectionWithoutDatabase, ReadsGiveEmptyTextsAndNoRows)
{
    LogCapture log;
    Connection never; // as with an empty mode: nothing opened
    EXPECT_FALSE(never.isOpen());
    RecordSet rs(never);
    EXPECT_EQ(rs.rowCount(), -1) << "never opened";
    EXPECT_FALSE(rs.open(buildSelectSql(never.dialect(), "帐号管理", {}, false, {}, false)));
    EXPECT_EQ(rs.rowCount(), -1);
    EXPECT_EQ(rs.text("帐号"), QString());
    EXPECT_EQ(rs.integer("id"), 0);
    rs.moveFirst();
    EXPECT_TRUE(rs.pastLast());
    int walked = 0;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        ++walked;
    EXPECT_EQ(walked, 0);
    EXPECT_FALSE(never.execute(Sql("delete from 帐号管理 where id=?", {1})));
    EXPECT_FALSE(never.transaction().isActive());
    EXPECT_TRUE(log.text().contains(QStringLiteral("SELECT * FROM [帐号管理] WHERE 1=1")));
}

TEST(ConnectionSqlite, MissingFileIsAnErrorAndNoFileIsCreated)
{
    LogCapture log;
    QTemporaryDir dir;
    for (const QString &path : {dir.filePath("qi.db"), dir.filePath("no-such-folder/qi.db")}) {
        Connection c;
        EXPECT_FALSE(c.openSqlite(path));
        EXPECT_FALSE(c.isOpen());
        EXPECT_FALSE(c.lastError().isEmpty());
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(ConnectionSqlite, AFileThatIsNoShopDatabaseIsRefusedAndLeftByteForByte)
{
    LogCapture log;
    const QStringList required = {QStringLiteral("帐号管理"), QStringLiteral("采购入库")};
    QTemporaryDir dir;
    // A database of another program: the SQLite header, but none of our tables (rollback journal).
    const QString foreign = dir.filePath("foreign.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign-maker"));
        db.setDatabaseName(foreign);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE 帐号管理 (x TEXT)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign-maker"));
    QFile text(dir.filePath("text.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a database\n");
    text.close();
    QFile empty(dir.filePath("empty.db"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();

    const struct {
        const char *name;
        QString path;
        QString error;
    } cases[] = {
        {"0-byte file", empty.fileName(), QStringLiteral("不是 SQLite 数据库文件：")},
        {"text file", text.fileName(), QStringLiteral("不是 SQLite 数据库文件：")},
        {"another program's database", foreign, QStringLiteral("不是本程序的数据库（缺少表 采购入库）：")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(c.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        Connection connection;
        EXPECT_FALSE(connection.openSqlite(c.path, required));
        EXPECT_FALSE(connection.isOpen());
        EXPECT_EQ(connection.lastError(), c.error + c.path);
        connection.close();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), filesBefore) << "no -wal or -shm file";
    }
    // The same foreign database opens when no table is asked for.
    Connection connection;
    EXPECT_TRUE(connection.openSqlite(foreign));
}

TEST(ConnectionSqlite, OpensInWalModeWithABusyTimeout)
{
    TestDatabase db(Backend::Sqlite, TestDatabase::Empty);
    ASSERT_TRUE(db.ok()) << db.error().toStdString();
    RecordSet rs(db.connection());
    ASSERT_TRUE(rs.open(Sql("PRAGMA journal_mode")));
    EXPECT_EQ(rs.text(0), QStringLiteral("wal"));
    ASSERT_TRUE(rs.open(Sql("PRAGMA busy_timeout")));
    EXPECT_EQ(rs.integer(0), Connection::busyTimeoutMs);
}

TEST(ConnectionPostgres, PortText)
{
    EXPECT_EQ(Connection::postgresPort(""), 5432);
    EXPECT_EQ(Connection::postgresPort("  "), 5432);
    EXPECT_EQ(Connection::postgresPort("55432"), 55432);
    EXPECT_EQ(Connection::postgresPort(" 6543 "), 6543);
    EXPECT_EQ(Connection::postgresPort("1433,"), -1);
    EXPECT_EQ(Connection::postgresPort("abc"), -1);
    EXPECT_EQ(Connection::postgresPort("70000"), -1);
    EXPECT_EQ(Connection::postgresPort("0"), -1);
}

TEST(ConnectionPostgres, EmptyPortUsesTheDefaultPort)
{
    LogCapture log;
    Connection c;
    // Whether a server listens on 5432 here does not matter: the open goes to that port.
    c.openPostgres(data::ServerSettings{"127.0.0.1", "", "shopdesk_port_check", "postgres", ""});
    EXPECT_EQ(c.database().driverName(), QStringLiteral("QPSQL"));
    EXPECT_EQ(c.database().port(), 5432);
    EXPECT_EQ(c.database().hostName(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(c.backend(), Backend::Postgres);
    EXPECT_TRUE(c.database().connectOptions().contains(QStringLiteral("connect_timeout=5")));
}

TEST(ConnectionPostgres, InvalidPortIsRefused)
{
    LogCapture log;
    Connection c;
    EXPECT_FALSE(c.openPostgres(data::ServerSettings{"127.0.0.1", "1433,", "x", "postgres", ""}));
    EXPECT_FALSE(c.isOpen());
    EXPECT_TRUE(c.lastError().contains(QStringLiteral("1433,")));
}

TEST(ConnectionPostgres, UnreachableServerFailsWithinTheTimeout)
{
    LogCapture log;
    Connection c;
    // Port 1 on the loopback address: nothing listens there, the open fails at once.
    EXPECT_FALSE(c.openPostgres(data::ServerSettings{"127.0.0.1", "1", "x", "postgres", ""}));
    EXPECT_FALSE(c.isOpen());
    EXPECT_FALSE(log.text().isEmpty());
    RecordSet rs(c);
    EXPECT_FALSE(rs.open(Sql("select 1")));
    EXPECT_EQ(rs.rowCount(), -1);
}

// A PostgreSQL session of the program that the server ends under it (a restore on another
// workstation, an administrator, a restart). A second connection plays the server's side.
class Reconnect : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ok()) << db.error().toStdString();
        ASSERT_TRUE(db.openAnother(program)) << program.lastError().toStdString();
        pid = backendPid();
        ASSERT_GT(pid, 0);
    }
    qint64 backendPid()
    {
        RecordSet rs(program);
        return rs.open(Sql("SELECT pg_backend_pid()")) ? rs.integer(0) : -1;
    }
    // Ends the program's session from the server and waits until the program's side sees it gone.
    void endSession()
    {
        RecordSet rs(db.connection());
        ASSERT_TRUE(rs.open(Sql("SELECT pg_terminate_backend(CAST(? AS integer))", {pid})));
        waitUntilLost();
    }
    void waitUntilLost()
    {
        bool lost = false;
        for (int poll = 0; poll < 3000 && !lost; ++poll) {
            lost = program.dialect().connectionLost(program.database());
            if (!lost)
                QThread::msleep(5);
        }
        ASSERT_TRUE(lost) << "the session never ended";
    }
    // The log rows of the test's own user.
    int logRows()
    {
        RecordSet rs(db.connection());
        EXPECT_TRUE(rs.open(buildSelectSql(db.connection().dialect(), "日志记录", eq("用户名", "重连测试"), true, {}, false)))
            << db.connection().lastError().toStdString();
        return rs.rowCount();
    }
    bool logRow(const QString &what)
    {
        return program.execute(buildInsertSql(program.dialect(), "日志记录", Pairs{{"用户名", "重连测试"}, {"操作内容", what}}));
    }

    LogCapture log;
    TestDatabase db{Backend::Postgres};
    Connection program;
    qint64 pid = 0;
};

TEST_F(Reconnect, TheNextStatementOutsideATransactionOpensTheConnectionAgainAndGoesOn)
{
    endSession();
    EXPECT_TRUE(program.isOpen());
    RecordSet rs(program);
    ASSERT_TRUE(rs.open(buildSelectSql(program.dialect(), "帐号管理", {}, false, {}, false)))
        << program.lastError().toStdString();
    EXPECT_GT(rs.rowCount(), 0);
    EXPECT_TRUE(program.lastError().isEmpty());
    EXPECT_NE(backendPid(), pid);
    EXPECT_TRUE(logRow("写入"));
    EXPECT_EQ(logRows(), 1);
    EXPECT_TRUE(log.text().contains(QStringLiteral("已重新连接数据库服务器")));
}

// The transaction fails whole: the statement after the loss is not run on a new connection, the
// commit fails, and the row written before the loss is not there either.
TEST_F(Reconnect, AStatementInsideATransactionIsNeverReplayed)
{
    Transaction tx = program.transaction();
    ASSERT_TRUE(tx.isActive());
    ASSERT_TRUE(logRow("之前"));
    endSession();
    EXPECT_FALSE(logRow("之后"));
    EXPECT_TRUE(program.lastError().startsWith(QStringLiteral("与数据库服务器的连接已断开，本次操作没有完成，请重试")))
        << program.lastError().toStdString();
    EXPECT_FALSE(tx.commit());
    EXPECT_EQ(logRows(), 0);
    // Outside the transaction the program goes on, on a new session.
    EXPECT_TRUE(logRow("重试"));
    EXPECT_EQ(logRows(), 1);
    EXPECT_NE(backendPid(), pid);
}

// The restore of another workstation drops the database under the program: while the database is
// gone every statement says in Chinese that the reopen failed, with the server's reason; once it is
// there again, the next statement works.
TEST_F(Reconnect, AFailedReopenSaysSoWithTheReasonAndTheNextStatementTriesAgain)
{
    const QString name = db.serverSettings().data;
    Connection admin;
    ServerSettings server = db.serverSettings();
    server.data = QStringLiteral("postgres");
    ASSERT_TRUE(admin.openPostgres(server));
    ASSERT_TRUE(admin.execute(Sql(QStringLiteral("DROP DATABASE \"%1\" WITH (FORCE)").arg(name))));
    waitUntilLost();

    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        RecordSet rs(program);
        EXPECT_FALSE(rs.open(Sql("SELECT 1")));
        EXPECT_TRUE(program.lastError().startsWith(
            QStringLiteral("与数据库服务器的连接已断开，重新连接也没有成功，请检查服务器和网络后重试：")))
            << program.lastError().toStdString();
        EXPECT_TRUE(program.lastError().contains(name)) << "the server's reason names the database";
        EXPECT_TRUE(program.isOpen());
        EXPECT_FALSE(program.transaction().isActive());
    }

    ASSERT_TRUE(admin.execute(Sql(QStringLiteral("CREATE DATABASE \"%1\"").arg(name))));
    RecordSet rs(program);
    ASSERT_TRUE(rs.open(Sql("SELECT 1"))) << program.lastError().toStdString();
    EXPECT_EQ(rs.integer(0), 1);
}

// A long list read after the session ended is read on the new session.
TEST_F(Reconnect, ARowReaderAfterTheSessionEndedReadsOnTheNewSession)
{
    endSession();
    RowReader reader(program);
    ASSERT_TRUE(reader.open(buildSelectSql(program.dialect(), "帐号管理", {"帐号"}, {}, false, "id ASC", true)))
        << program.lastError().toStdString();
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.text(0), "admin");
    reader.close();
    EXPECT_NE(backendPid(), pid);
}

// A session that ends while a long list is being read leaves a reader that says it failed, in
// Chinese: the rows it gave are not all there are.
TEST_F(Reconnect, ASessionEndedWhileRowsAreReadIsAFailureNotAShortList)
{
    RowReader reader(program);
    ASSERT_TRUE(reader.open(Sql("SELECT g, CAST(g AS text) || ? FROM generate_series(1, 3000000) AS g", {"件"})));
    ASSERT_TRUE(reader.next());
    RecordSet rs(db.connection());
    ASSERT_TRUE(rs.open(Sql("SELECT pg_terminate_backend(CAST(? AS integer))", {pid})));
    int rows = 1;
    while (reader.next())
        ++rows;
    EXPECT_LT(rows, 3000000);
    EXPECT_TRUE(reader.failed());
    EXPECT_TRUE(reader.lastError().startsWith(QStringLiteral("与数据库服务器的连接已断开，本次操作没有完成，请重试")))
        << reader.lastError().toStdString();
    // The next statement goes on, on a new session.
    EXPECT_EQ(backendPid() > 0, true);
}

// A connection the program closed stays closed.
TEST_F(Reconnect, AClosedConnectionIsNotOpenedAgain)
{
    program.close();
    EXPECT_FALSE(program.isOpen());
    RecordSet rs(program);
    EXPECT_FALSE(rs.open(Sql("SELECT 1")));
    EXPECT_EQ(program.lastError(), QStringLiteral("数据库未连接"));
}

} // namespace
