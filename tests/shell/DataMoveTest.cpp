// The move of the single-machine data (qi.db) into a new network database made from the template,
// from the database settings window's 按钮7, on the PostgreSQL test server.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QSet>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "data/DataMove.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "platform/ProgramLog.h"
#include "shell/DatabaseCare.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/MainPages.h"
#include "support/RealKeys.h"
#include "support/TestDatabase.h"

using shell::DatabaseSettingsWindow;
using testsupport::TestDatabase;

namespace {

const QString Accounts = QStringLiteral("帐号管理");
const QString Tiers = QStringLiteral("会员类别");
const QString Shop = QStringLiteral("所属店铺");

using Rows = QList<QStringList>;

// The rows of a table, by id, as texts of the given columns (all columns when none are given).
Rows rowsOf(data::Connection &c, const QString &table, const QStringList &columns = {}, const QString &where = {})
{
    data::RecordSet rs(c);
    const QString select = QStringLiteral("SELECT ") + (columns.isEmpty() ? QStringLiteral("*") : columns.join(u','))
                           + QStringLiteral(" FROM ") + c.dialect().quoteTable(table)
                           + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) + QStringLiteral(" ORDER BY id");
    EXPECT_TRUE(rs.open(data::Sql(select))) << c.lastError().toStdString();
    Rows rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList row;
        for (int i = 0; i < rs.columns().size(); ++i)
            row << rs.text(i);
        rows << row;
    }
    return rows;
}

// Every row of every shop table.
QList<Rows> snapshot(data::Connection &c)
{
    QList<Rows> all;
    for (const QString &table : data::shopTables())
        all << rowsOf(c, table);
    return all;
}

// Every index of the server's tables, as "name: definition", by name.
QStringList indexesOf(data::Connection &c)
{
    data::RecordSet rs(c);
    EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT indexname, indexdef FROM pg_indexes"
                                                 " WHERE schemaname=current_schema() ORDER BY indexname"))))
        << c.lastError().toStdString();
    QStringList indexes;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        indexes << rs.text(0) + QStringLiteral(": ") + rs.text(1);
    return indexes;
}

// A value of the fixture: each row carries texts a statement builder or an array literal would
// trip over.
QString valueOf(const QString &column, int row)
{
    const QString base = column + QString::number(row);
    switch (row % 4) {
    case 0: return QStringLiteral("O'Neil ") + base;
    case 1: return base + QStringLiteral(",a,b \"q\" {x,y}");
    case 2: return QStringLiteral("x=y NULL ") + base;
    default: return base + QStringLiteral(" '',=\\ 末\n\t\\\"");
    }
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// table -> its columns but `id`, as a schema file creates them, in the file's order.
QMap<QString, QStringList> schemaFileTables(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression create(QStringLiteral("CREATE TABLE IF NOT EXISTS (\\S+) \\((.*?)\\n\\);"),
                                           QRegularExpression::DotMatchesEverythingOption);
    QMap<QString, QStringList> tables;
    for (auto it = create.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QStringList columns;
        for (const QString &line : m.captured(2).split(u'\n')) {
            const QString name = line.trimmed().section(u' ', 0, 0);
            if (!name.isEmpty() && !name.startsWith(QStringLiteral("--")) && !sameName(name, QStringLiteral("id")))
                columns << name;
        }
        tables.insert(m.captured(1), columns);
    }
    return tables;
}

// The tables and columns both schema files create (`id` aside), as the SQLite file names them:
// what the move must carry.
QMap<QString, QStringList> sharedSchema()
{
    const auto lite = schemaFileTables(TestDatabase::schemaPath(data::Backend::Sqlite));
    const auto pg = schemaFileTables(TestDatabase::schemaPath(data::Backend::Postgres));
    QMap<QString, QStringList> shared;
    for (auto it = lite.cbegin(); it != lite.cend(); ++it) {
        for (auto other = pg.cbegin(); other != pg.cend(); ++other) {
            if (!sameName(it.key(), other.key()))
                continue;
            QStringList columns;
            for (const QString &column : it.value())
                for (const QString &theirs : other.value())
                    if (sameName(column, theirs))
                        columns << column;
            shared.insert(it.key(), columns);
        }
    }
    return shared;
}

const QString Stock = QStringLiteral("采购入库");
const QString Barcode = QStringLiteral("商品条码");
// Columns that name a stock row by its id, and the ids the fixture writes there: rows 11, 12,
// 13 and 15 exist in the file, 40 and 99 do not.
const QList<std::pair<QString, QString>> stockReferences = {{QStringLiteral("商品历史"), QStringLiteral("原始ID")},
                                                            {QStringLiteral("提交挂单"), QStringLiteral("编号")}};
const QList<qint64> stockIds = {11, 12, 13, 15};
const QStringList referenceTexts[] = {{QStringLiteral("11"), QStringLiteral("15"), QStringLiteral("99"), QString()},
                                      {QStringLiteral("13"), QStringLiteral("12"), QString(), QStringLiteral("40")}};

// What a stock reference names: the barcode of that stock row, "" for an empty reference,
// "<none>" for a number that names no row.
QString namedStockRow(data::Connection &c, const QString &reference)
{
    if (reference.isEmpty())
        return QString();
    const Rows row = rowsOf(c, Stock, {Barcode}, QStringLiteral("id=") + QString::number(reference.toLongLong()));
    return row.isEmpty() ? QStringLiteral("<none>") : row.first().first();
}

class DataMoveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(10, 0)));
        ASSERT_TRUE(source.ok()) << source.error().toStdString();
        ASSERT_TRUE(target.ok()) << target.error().toStdString();
        ProgramDir::set(source.dir());
        ctx.runMode = AppContext::SingleMachineMode;
        ctx.sqlServerSettings = target.serverSettings();
        shell::MainPages pages;
        shell::installDatabaseCare(pages);
        fillSource();
    }
    void TearDown() override
    {
        DatabaseSettingsWindow::setHooks({});
        Clock::reset();
    }

    data::Connection &src() { return source.connection(); }
    data::Connection &dst() { return target.connection(); }
    void insert(const QString &table, const data::Pairs &pairs)
    {
        ASSERT_TRUE(src().execute(data::buildInsertSql(src().dialect(), table, pairs))) << src().lastError().toStdString();
    }

    void fillSource()
    {
        // Four rows in every table both schemas hold, every column written.
        for (auto it = schema.cbegin(); it != schema.cend(); ++it) {
            for (int row = 0; row < 4; ++row) {
                data::Pairs pairs;
                for (const QString &column : it.value())
                    pairs.append({column, valueOf(column, row)});
                if (it.key() == Stock) // rows numbered apart from the server's counter, with a gap
                    pairs.append({QStringLiteral("id"), stockIds[row]});
                for (int r = 0; r < stockReferences.size(); ++r)
                    if (it.key() == stockReferences[r].first)
                        for (auto &pair : pairs)
                            if (sameName(pair.first, stockReferences[r].second))
                                pair.second = referenceTexts[r][row];
                insert(it.key(), pairs);
            }
        }
        // A member with empty spending and points.
        insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V-empty")},
                                            {QStringLiteral("消费金额"), QString()},
                                            {QStringLiteral("积分"), QString()},
                                            {Shop, QStringLiteral("总店")}});
        // Two shops' tiers; a changed default tier of shop "---" that stays behind.
        for (const char *shop : {"总店", "分店"})
            for (const char *tier : {"金卡", "银卡"})
                insert(Tiers, {{Tiers, QString::fromUtf8(tier)},
                               {QStringLiteral("会员折扣"), QStringLiteral("0.85")},
                               {QStringLiteral("累计积分"), QStringLiteral("100")},
                               {Shop, QString::fromUtf8(shop)}});
        ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("UPDATE 会员类别 SET 会员折扣='0.5' WHERE 所属店铺='---'"))));
        // The administrator with another password and other rights.
        data::Pairs admin{{QStringLiteral("密码"), QStringLiteral("n'ew,pw=1")},
                          {QStringLiteral("姓名"), QStringLiteral("老板")},
                          {QStringLiteral("电话"), QStringLiteral("13900000000")},
                          {Shop, QStringLiteral("总店")}};
        const QStringList &accounts = schema.value(Accounts);
        for (int i = 5; i < accounts.size(); ++i)
            admin.append({accounts[i], i % 2 ? QStringLiteral("√") : QString()});
        ASSERT_TRUE(src().execute(data::buildUpdateSql(src().dialect(), Accounts, admin,
                                                       data::eq(QStringLiteral("帐号"), QStringLiteral("admin")), true)));
    }

    // Clicks 按钮7, answering the question with Yes; true when the label was shown while it ran.
    bool clickMove(MessageScript &script)
    {
        DatabaseSettingsWindow w(ctx);
        QLabel *label = w.movingLabel();
        bool shown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            shown = shown || !label->isHidden();
            if (!label->isHidden() && (labelTexts.isEmpty() || labelTexts.last() != label->text()))
                labelTexts << label->text();
        });
        watch.start(0);
        script.queueAnswers({true});
        w.findChild<QPushButton *>(QStringLiteral("按钮7"))->click();
        EXPECT_TRUE(label->isHidden());
        EXPECT_EQ(label->text(), QStringLiteral("数据正在搬迁中，请勿进行其它操作"));
        return shown;
    }

    const QMap<QString, QStringList> schema = sharedSchema();
    QStringList labelTexts; // the moving label's texts while it showed, each change once
    TestDatabase source{data::Backend::Sqlite};
    TestDatabase target{data::Backend::Postgres};
    AppContext ctx;
};

TEST_F(DataMoveTest, EveryTableAndColumnOfBothSchemasArrivesInOrderByteForByte)
{
    ASSERT_EQ(schema.size(), 26);
    const Rows templateTiers = rowsOf(dst(), Tiers, schema.value(Tiers));
    MessageScript script;
    EXPECT_TRUE(clickMove(script)) << "the label shows while the data moves";
    ASSERT_EQ(script.messages().size(), 2);
    EXPECT_EQ(script.messages().at(1).text, QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));

    for (auto it = schema.cbegin(); it != schema.cend(); ++it) {
        const QString &table = it.key();
        const QStringList &columns = it.value();
        SCOPED_TRACE(table.toStdString());
        const Rows moved = rowsOf(dst(), table, columns);
        if (table == Tiers) {
            // The template's default tiers as they were, then the shops' own.
            EXPECT_EQ(moved, templateTiers + rowsOf(src(), Tiers, columns, QStringLiteral("所属店铺<>'---'")));
        } else if (table == Accounts) {
            // The administrator's row takes the file's values; no second one appears.
            EXPECT_EQ(moved, rowsOf(src(), Accounts, columns, QStringLiteral("帐号='admin'"))
                                 + rowsOf(src(), Accounts, columns, QStringLiteral("帐号<>'admin'")));
            EXPECT_EQ(moved.first().at(1), QStringLiteral("n'ew,pw=1"));
        } else {
            Rows expected = rowsOf(src(), table, columns);
            Rows arrived = moved;
            for (const auto &[referring, column] : stockReferences) {
                if (table != referring)
                    continue;
                // The reference names the same stock row on the server; one that named no row
                // arrives empty.
                const int at = int(columns.indexOf(column));
                ASSERT_GE(at, 0);
                ASSERT_EQ(arrived.size(), expected.size());
                for (int r = 0; r < expected.size(); ++r) {
                    const QString named = namedStockRow(src(), expected[r][at]);
                    expected[r][at] = named == QStringLiteral("<none>") ? QString() : named;
                    arrived[r][at] = namedStockRow(dst(), arrived[r][at]);
                }
            }
            EXPECT_EQ(arrived, expected);
        }
    }
    const Rows emptyMember = rowsOf(dst(), QStringLiteral("会员管理"), {QStringLiteral("消费金额"), QStringLiteral("积分")},
                                    QStringLiteral("会员卡号='V-empty'"));
    EXPECT_EQ(emptyMember, (Rows{{QString(), QString()}}));
    // The server numbered the stock rows itself (the file's are 11 to 15).
    EXPECT_EQ(rowsOf(dst(), Stock, {QStringLiteral("id")}),
              (Rows{{QStringLiteral("1")}, {QStringLiteral("2")}, {QStringLiteral("3")}, {QStringLiteral("4")}}));
}

TEST_F(DataMoveTest, TheQuestionNamesEveryTableItCopies)
{
    const QList<Rows> before = snapshot(dst());
    MessageScript script;
    script.queueAnswers({false});
    EXPECT_EQ(shell::migrateToNetworkDatabase(ctx, nullptr, nullptr), shell::MoveOutcome::Cancelled);
    ASSERT_EQ(script.messages().size(), 1);
    const ShownMessage &question = script.messages().at(0);
    EXPECT_TRUE(question.question);
    EXPECT_EQ(question.title, QStringLiteral("数据搬迁"));
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    const QStringList lines = question.text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("将数据搬迁至网络版SQL数据库")));
    EXPECT_EQ(lines[1], QStringLiteral("请确认已将程序目录下的SQL模版导入SQL数据"));
    const QStringList named = lines[2].section(QStringLiteral("："), 1).split(QStringLiteral("、"));
    EXPECT_EQ(QSet<QString>(named.cbegin(), named.cend()), QSet<QString>(schema.keyBegin(), schema.keyEnd()));
    EXPECT_EQ(snapshot(dst()), before) << "answered No, nothing moves";
}

TEST_F(DataMoveTest, EnterOnTheQuestionMovesNothing)
{
    const QList<Rows> before = snapshot(dst());
    DatabaseSettingsWindow w(ctx);
    w.show();
    MessageScript script;
    script.setRealBoxes([](QMessageBox *box) {
        testsupport::pressKeyOnBox(box, Qt::Key_Return);
        testsupport::releaseKey(Qt::Key_Return);
    });
    w.findChild<QPushButton *>(QStringLiteral("按钮7"))->click();
    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_EQ(script.messages().at(0).text, shell::moveQuestionText());
    EXPECT_FALSE(script.messages().at(0).answeredYes);
    EXPECT_TRUE(w.movingLabel()->isHidden());
    EXPECT_EQ(snapshot(dst()), before);
}

TEST_F(DataMoveTest, TheLabelShowsTheShareOfRowsMovedRisingToAll)
{
    qint64 total = 0;
    for (const QString &table : schema.keys())
        total += rowsOf(src(), table, {QStringLiteral("id")}).size();
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    ASSERT_GE(labelTexts.size(), 2) << labelTexts.join(u'|').toStdString();
    static const QRegularExpression figure(QStringLiteral("已完成 (\\d+)%，(\\d+)/(\\d+) 行"));
    // Before the rows are counted the label shows its caption alone.
    if (labelTexts.first() == QStringLiteral("数据正在搬迁中，请勿进行其它操作"))
        labelTexts.removeFirst();
    ASSERT_GE(labelTexts.size(), 2) << labelTexts.join(u'|').toStdString();
    qint64 last = -1;
    for (const QString &text : labelTexts) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_TRUE(text.startsWith(QStringLiteral("数据正在搬迁中，请勿进行其它操作")));
        const QRegularExpressionMatch m = figure.match(text);
        ASSERT_TRUE(m.hasMatch());
        EXPECT_EQ(m.captured(3).toLongLong(), total);
        EXPECT_GE(m.captured(2).toLongLong(), last);
        last = m.captured(2).toLongLong();
        EXPECT_EQ(m.captured(1).toLongLong(), last * 100 / total);
    }
    EXPECT_TRUE(labelTexts.first().contains(QStringLiteral("已完成 0%，0/")));
    EXPECT_EQ(last, total) << "the label reaches all rows before it hides";
}

TEST_F(DataMoveTest, TheFirstMoveAfterOneStartInNetworkModeIsNotRefused)
{
    // The program started once on the new database: its login row is in the log.
    ASSERT_TRUE(dst().execute(oplog::logRowSql(dst().dialect(), QString(), QStringLiteral("admin"),
                                               QStringLiteral("登陆成功!"), QStringLiteral("2015-03-11 9:58"))));
    const Rows loginRow = rowsOf(dst(), QStringLiteral("日志记录"), schema.value(QStringLiteral("日志记录")));
    MessageScript script;
    clickMove(script);
    EXPECT_EQ(script.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    EXPECT_EQ(rowsOf(dst(), QStringLiteral("日志记录"), schema.value(QStringLiteral("日志记录"))),
              loginRow + rowsOf(src(), QStringLiteral("日志记录"), schema.value(QStringLiteral("日志记录"))));
}

TEST_F(DataMoveTest, OneRowOfTheShopsOwnDataInAnyTableButTheLogMarksAnEarlierMove)
{
    // The template's own rows (the admin account, the default tiers) and the log count for nothing.
    EXPECT_EQ(data::tableHoldingMovedRows(dst()), QString());
    for (const QString &table : schema.keys()) {
        SCOPED_TRACE(table.toStdString());
        ASSERT_TRUE(dst().execute(data::buildInsertSql(dst().dialect(), table, {{schema.value(table).first(), QStringLiteral("x")}})));
        QString error;
        EXPECT_EQ(data::tableHoldingMovedRows(dst(), &error), table == QStringLiteral("日志记录") ? QString() : table);
        EXPECT_EQ(error, QString());
        ASSERT_TRUE(dst().execute(data::Sql(QStringLiteral("DELETE FROM ") + dst().dialect().quoteTable(table)
                                            + QStringLiteral(" WHERE ") + schema.value(table).first() + QStringLiteral("='x'"))));
    }
}

TEST_F(DataMoveTest, ASecondMoveIsRefusedAndDoublesNothing)
{
    MessageScript first;
    clickMove(first);
    ASSERT_EQ(first.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    const QList<Rows> after = snapshot(dst());
    MessageScript second;
    clickMove(second);
    ASSERT_EQ(second.texts().size(), 2);
    EXPECT_EQ(second.texts().last(),
              QStringLiteral("网络版数据库中已有搬迁过的数据（表 会员管理），同一个数据库名请勿重复搬迁，本次未搬迁任何数据！"));
    EXPECT_EQ(snapshot(dst()), after);
}

TEST_F(DataMoveTest, AMissingSourceIsReportedWithTheTargetUntouched)
{
    const QList<Rows> before = snapshot(dst());
    QTemporaryDir empty;
    ProgramDir::set(empty.path());
    MessageScript script;
    EXPECT_FALSE(clickMove(script));
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_TRUE(script.texts().last().startsWith(QStringLiteral("单机版数据库打开失败，未搬迁任何数据！\r\n")))
        << script.texts().last().toStdString();
    EXPECT_TRUE(script.texts().last().contains(QStringLiteral("qi.db")));
    EXPECT_EQ(snapshot(dst()), before);
    EXPECT_FALSE(QFile::exists(QDir(empty.path()).filePath(QStringLiteral("qi.db")))) << "no file is made";
}

TEST_F(DataMoveTest, AFailureHalfwayLeavesTheTargetAsBefore)
{
    // The server refuses the second stock row, after fourteen tables were written.
    ASSERT_TRUE(dst().execute(data::Sql(QStringLiteral("ALTER TABLE 采购入库 ADD CONSTRAINT refused CHECK (款号 <> 'REFUSED')"))));
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("UPDATE 采购入库 SET 款号='REFUSED' WHERE id=12"))));
    const QList<Rows> before = snapshot(dst());
    const QStringList indexes = indexesOf(dst());
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_TRUE(script.texts().last().startsWith(QStringLiteral("数据搬迁失败，网络版数据库未作任何改动！\r\n采购入库：")))
        << script.texts().last().toStdString();
    EXPECT_EQ(snapshot(dst()), before);
    EXPECT_EQ(indexesOf(dst()), indexes);
}

TEST_F(DataMoveTest, AfterAMoveTheServerHasEveryIndexOfTheTemplateAndItsUniqueOnesHold)
{
    const QStringList indexes = indexesOf(dst());
    ASSERT_TRUE(indexes.filter(QStringLiteral("gin_trgm_ops")).size() >= 1) << indexes.join(u'\n').toStdString();
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_EQ(script.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    EXPECT_EQ(indexesOf(dst()), indexes);
    // A second shop of a moved name is refused, as before the move.
    const QString shop = rowsOf(dst(), QStringLiteral("店铺名"), {QStringLiteral("店名")}).first().first();
    EXPECT_FALSE(dst().execute(data::buildInsertSql(dst().dialect(), QStringLiteral("店铺名"), {{QStringLiteral("店名"), shop}})));
}

TEST_F(DataMoveTest, RowsThatBreakAUniqueIndexOfTheServerFailTheMoveWithNothingChanged)
{
    // A file whose ranking holds one shop, month and style twice (its own index gone).
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("DROP INDEX idx_ranking_shop_month_style"))));
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO 销量排行 (所属店铺, 当月时间, 款号)"
                                                       " SELECT 所属店铺, 当月时间, 款号 FROM 销量排行 WHERE id=1"))));
    const QList<Rows> before = snapshot(dst());
    const QStringList indexes = indexesOf(dst());
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_TRUE(script.texts().last().startsWith(QStringLiteral("数据搬迁失败，网络版数据库未作任何改动！\r\n销量排行：")))
        << script.texts().last().toStdString();
    const QStringList ranked = rowsOf(src(), QStringLiteral("销量排行"), {Shop, QStringLiteral("当月时间"), QStringLiteral("款号")},
                                      QStringLiteral("id=1"))
                                   .first();
    EXPECT_TRUE(script.texts().last().contains(QStringLiteral("有多行的所属店铺、当月时间、款号相同（“%1”、“%2”、“%3”）")
                                                   .arg(ranked[0], ranked[1], ranked[2])))
        << script.texts().last().toStdString();
    EXPECT_EQ(snapshot(dst()), before);
    EXPECT_EQ(indexesOf(dst()), indexes);
}

// The program reads a NULL cell of the file as an empty text, and so does the server after the move:
// no cell of a moved row is NULL there, whether the file held an empty text or a NULL.
TEST_F(DataMoveTest, NoMovedCellIsNullOnTheServer)
{
    const QStringList uniqueTables = {QStringLiteral("销量排行"), QStringLiteral("店铺名"), QStringLiteral("分类例表")};
    for (auto it = schema.cbegin(); it != schema.cend(); ++it) {
        const QString &table = it.key();
        const QString columns = it.value().join(u',');
        const auto row = [&](const QString &cell) {
            QStringList cells;
            for (qsizetype i = 0; i < it.value().size(); ++i)
                cells << cell;
            ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                    .arg(src().dialect().quoteTable(table), columns, cells.join(u',')))))
                << table.toStdString() << src().lastError().toStdString();
        };
        row(QStringLiteral("NULL"));
        if (!uniqueTables.contains(table)) // there a second row of empty cells would be the same row twice
            row(QStringLiteral("''"));
    }
    // What is NULL on the server before the move: the template's own rows.
    const auto nulls = [&](data::Connection &c) {
        QStringList counted;
        for (auto it = schema.cbegin(); it != schema.cend(); ++it)
            for (const QString &column : it.value()) {
                data::RecordSet rs(c);
                EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 IS NULL")
                                                  .arg(c.dialect().quoteTable(it.key()), column))));
                if (rs.integer(0) > 0)
                    counted << it.key() + u'.' + column + u'=' + QString::number(rs.integer(0));
            }
        return counted;
    };
    const QStringList before = nulls(dst());
    ASSERT_FALSE(nulls(src()).isEmpty());
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    EXPECT_EQ(nulls(dst()), before);
    EXPECT_EQ(rowsOf(dst(), QStringLiteral("会员管理"), {QStringLiteral("会员卡号")}, QStringLiteral("会员卡号=''")).size(), 2);
}

// A file whose shop names hold a NULL in one row and an empty text in another: both arrive empty, so
// the server's unique index on the name refuses them. The move fails whole, saying in Chinese which
// table and column hold the same value more than once.
TEST_F(DataMoveTest, AUniqueColumnHoldingNullAndAnEmptyTextFailsTheMoveNamingTheColumn)
{
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("DROP INDEX idx_shop_name"))));
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO 店铺名 (店名) VALUES (NULL)"))));
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO 店铺名 (店名) VALUES ('')"))));
    const QList<Rows> before = snapshot(dst());
    const QStringList indexes = indexesOf(dst());
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_EQ(script.texts().last(), QStringLiteral("数据搬迁失败，网络版数据库未作任何改动！\r\n店铺名：单机版数据中有多行的店名相同（空白），"
                                                    "网络版数据库要求各行不同，没有搬迁任何数据。单机版中空着的单元格搬迁后都是空白，"
                                                    "也算相同；请先在单机版中改正后再搬迁。"));
    EXPECT_EQ(snapshot(dst()), before);
    EXPECT_EQ(indexesOf(dst()), indexes);
}

TEST_F(DataMoveTest, CellsWithNulCharactersMoveWithoutThemAndTheClosingMessageCountsThem)
{
    // The file's cells with NUL characters: a sale line's remark and name, a member's name, the
    // administrator's name; a default tier's (which stays behind) does not count.
    const QStringList changes = {
        QStringLiteral("UPDATE 销售明细 SET 备注='ab' || char(0) || 'cd', 商品名称=char(0) || '衬衫' WHERE id=2"),
        QStringLiteral("UPDATE 销售明细 SET 备注='x' || char(0, 0) WHERE id=4"),
        QStringLiteral("UPDATE 会员管理 SET 会员姓名='张' || char(0) || '三' WHERE id=1"),
        QStringLiteral("UPDATE 帐号管理 SET 姓名='老' || char(0) || '板' WHERE 帐号='admin'"),
        QStringLiteral("UPDATE 会员类别 SET 会员折扣='0.5' || char(0) WHERE 所属店铺='---'"),
    };
    for (const QString &change : changes)
        ASSERT_TRUE(src().execute(data::Sql(change))) << change.toStdString();
    QTemporaryDir logDir;
    const QString previousLog = programlog::path();
    const QString logFile = QDir(logDir.path()).filePath(QStringLiteral("shopdesk.log"));
    programlog::setPath(logFile);
    MessageScript script;
    clickMove(script);
    programlog::setPath(previousLog);

    const QString counted = QStringLiteral("会员管理 1 个单元格、帐号管理 1 个单元格、销售明细 3 个单元格");
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_EQ(script.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！\r\n"
                                                    "网络版数据库不能保存空字符（NUL），以下单元格已去掉其中的空字符，其余内容不变：")
                                         + counted);
    QFile log(logFile);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(logged.contains(QStringLiteral("空字符（NUL）")) && logged.contains(counted)) << logged.toStdString();

    // Everything else arrives as the file holds it.
    for (const QString &table : {QStringLiteral("销售明细"), QStringLiteral("会员管理")}) {
        SCOPED_TRACE(table.toStdString());
        Rows expected = rowsOf(src(), table, schema.value(table));
        for (QStringList &row : expected)
            for (QString &cell : row)
                cell.remove(QChar(0));
        EXPECT_EQ(rowsOf(dst(), table, schema.value(table)), expected);
    }
    EXPECT_EQ(rowsOf(dst(), QStringLiteral("销售明细"), {QStringLiteral("备注"), QStringLiteral("商品名称")},
                     QStringLiteral("id=2")),
              (Rows{{QStringLiteral("abcd"), QStringLiteral("衬衫")}}));
    EXPECT_EQ(rowsOf(dst(), QStringLiteral("会员管理"), {QStringLiteral("会员姓名")}, QStringLiteral("id=1")),
              (Rows{{QStringLiteral("张三")}}));
    EXPECT_EQ(rowsOf(dst(), Accounts, {QStringLiteral("姓名")}, QStringLiteral("帐号='admin'")),
              (Rows{{QStringLiteral("老板")}}));
}

TEST_F(DataMoveTest, OnceEveryRowIsMovedTheLabelSaysTheIndexesAreBeingBuilt)
{
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    static const QRegularExpression building(QStringLiteral("已完成 100%，(\\d+)/\\1 行，正在建立索引（(.+)）…）$"));
    int first = -1;
    QStringList tables;
    for (int i = 0; i < labelTexts.size(); ++i) {
        const QRegularExpressionMatch m = building.match(labelTexts[i]);
        if (!m.hasMatch())
            continue;
        if (first < 0)
            first = i;
        tables << m.captured(2);
    }
    ASSERT_GE(first, 0) << labelTexts.join(u'\n').toStdString();
    EXPECT_EQ(first + tables.size(), labelTexts.size()) << "the indexes come last, after every row";
    // Each table whose indexes the template makes, once, the sale lines among them.
    EXPECT_EQ(QSet<QString>(tables.cbegin(), tables.cend()).size(), tables.size()) << tables.join(u',').toStdString();
    EXPECT_TRUE(tables.contains(QStringLiteral("销售明细"))) << tables.join(u',').toStdString();
    EXPECT_TRUE(tables.contains(QStringLiteral("采购入库"))) << tables.join(u',').toStdString();
}

} // namespace
