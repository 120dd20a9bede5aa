#include "data/DataMove.h"

#include "data/Connection.h"
#include "data/MoveChannel.h"
#include "data/MoveReader.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"

#include <QHash>
#include <QPair>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <thread>
#include <vector>

namespace data {

namespace {

const QString AdminAccount = QStringLiteral("admin");
const QString DefaultTierShop = QStringLiteral("---");
const QString AccountTable = QStringLiteral("帐号管理");
const QString AccountColumn = QStringLiteral("帐号");
const QString TierTable = QStringLiteral("会员类别");
const QString ShopColumn = QStringLiteral("所属店铺");
const QString LogTable = QStringLiteral("日志记录");
const QString IdColumn = QStringLiteral("id");

// The order in which the shop tables are moved (and looked at for rows of an earlier move).
const QStringList &moveOrder()
{
    static const QStringList order = {
        QStringLiteral("会员管理"), QStringLiteral("会员类别"), QStringLiteral("供货管理"), QStringLiteral("分类例表"),
        QStringLiteral("单位管理"), QStringLiteral("帐号管理"), QStringLiteral("店铺名"),   QStringLiteral("开支管理"),
        QStringLiteral("折扣方案"), QStringLiteral("日志记录"), QStringLiteral("款式号"),   QStringLiteral("满额促销"),
        QStringLiteral("调整积分"), QStringLiteral("退货管理"), QStringLiteral("采购入库"), QStringLiteral("采购报表"),
        QStringLiteral("销售明细"), QStringLiteral("销售简表"), QStringLiteral("销量排行"), QStringLiteral("颜色尺码"),
        QStringLiteral("调拨记录"), QStringLiteral("商品历史"), QStringLiteral("提交挂单"), QStringLiteral("挂单号"),
        QStringLiteral("通告管理"), QStringLiteral("消息管理"),
    };
    return order;
}

int indexOfName(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// How many batches the reader may be ahead of the writer: enough to keep both busy, few enough
// that a move of any size holds little in memory.
constexpr int batchesAhead = 3;

class Mover {
public:
    Mover(Connection &source, Connection &target, DataMoveResult &result, const DataMoveProgress &progress)
        : m_source(source), m_target(target), m_result(result), m_progress(progress)
    {
    }

    bool countRows(const QList<MovedTable> &tables)
    {
        for (const MovedTable &spec : tables) {
            RecordSet rs(m_source);
            if (!rs.open(Sql(QStringLiteral("SELECT COUNT(*) FROM ") + m_source.dialect().quoteTable(spec.table))))
                return sourceFailed(spec.table, m_source.lastError());
            m_total += rs.integer(0);
        }
        return true;
    }

    bool dropIndexes(const QList<MovedTable> &tables);
    // Reads the tables in a thread of its own while this one writes what it has read; batchRows
    // rows a batch, 0 for as many as the target takes in one statement.
    bool copy(const QList<MovedTable> &tables, int batchRows);
    bool rebuildIndexes();

private:
    QString duplicateOf(const QString &table, const QString &columns, const QString &predicate);
    bool sourceFailed(const QString &table, const QString &error)
    {
        m_result.outcome = DataMoveResult::Failed;
        m_result.table = table;
        m_result.error = QStringLiteral("读取单机版数据失败：") + error;
        return false;
    }
    bool refused(const QString &table) { return refused(table, m_target.lastError()); }
    bool refused(const QString &table, const QString &why)
    {
        m_result.outcome = DataMoveResult::Failed;
        m_result.table = table;
        m_result.error = why;
        return false;
    }
    void tell(const QString &table, DataMoveStep step = DataMoveStep::Rows)
    {
        if (m_progress)
            m_progress(step, table, m_moved, m_total);
    }
    QList<MoveSource> sources(const QList<MovedTable> &tables, int batchRows) const;
    bool write(const MovedTable &spec, MovePiece &piece, IdMap *ids);
    bool append(const MovedTable &spec, const RowBatch &rows, const QList<qint64> &sourceIds, IdMap *ids);
    bool updateAdmin(const MovedTable &spec, const QStringList &values, bool *updated);

    Connection &m_source;
    Connection &m_target;
    DataMoveResult &m_result;
    const DataMoveProgress &m_progress;
    qint64 m_moved = 0; // source rows dealt with, skipped default tiers included
    qint64 m_total = 0;
    std::vector<IdMap> m_ids; // by table: where the rows of a table that others refer to went
    QList<QPair<QString, QString>> m_dropped; // table, statement that creates the index again
};

// Drops the indexes of the tables about to be filled (their primary keys aside), noting how to
// build each again: kept up row by row they cost several times the inserts themselves. The drops
// belong to the move's transaction, so a failed move brings them back with everything else.
bool Mover::dropIndexes(const QList<MovedTable> &tables)
{
    for (const QString &setting : m_target.dialect().bulkLoadSettingsSql())
        if (!m_target.execute(Sql(setting)))
            return refused(QString());
    for (const MovedTable &spec : tables) {
        const Sql list = m_target.dialect().rebuildableIndexesSql(spec.table);
        if (list.isEmpty())
            continue;
        QStringList names;
        {
            RecordSet rs(m_target);
            if (!rs.open(list))
                return refused(spec.table);
            for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
                names << rs.text(0);
                m_dropped.append({spec.table, rs.text(1)});
            }
        }
        for (const QString &name : names)
            if (!m_target.execute(Sql(QStringLiteral("DROP INDEX ") + name)))
                return refused(spec.table);
    }
    return true;
}

// Builds the dropped indexes again over the moved rows; a unique one that the rows break fails
// the move, naming the columns and the value that more than one row holds.
bool Mover::rebuildIndexes()
{
    static const QRegularExpression unique(QStringLiteral("^CREATE UNIQUE INDEX .* USING \\w+ \\((.*?)\\)(?: WHERE (.*))?$"));
    const QString savepoint = QStringLiteral("move_unique_index");
    QString told;
    for (const auto &[table, definition] : std::as_const(m_dropped)) {
        if (table != told) {
            tell(table, DataMoveStep::Indexes);
            told = table;
        }
        const QRegularExpressionMatch match = unique.match(definition);
        if (match.hasMatch() && !m_target.execute(Sql(QStringLiteral("SAVEPOINT ") + savepoint)))
            return refused(table);
        if (m_target.execute(Sql(definition)))
            continue;
        const QString error = m_target.lastError();
        // Back to before the index, to find the rows that break it (the move fails either way).
        const QString duplicate = match.hasMatch() && m_target.execute(Sql(QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepoint))
                                      ? duplicateOf(table, match.captured(1), match.captured(2))
                                      : QString();
        return refused(table, duplicate.isEmpty() ? error : duplicate);
    }
    return true;
}

// What a unique index of `table` over `columns` (as the server writes them; rows where
// `predicate` holds, when there is one) finds more than once among the moved rows, said for the
// shop; "" when it finds nothing so.
QString Mover::duplicateOf(const QString &table, const QString &columns, const QString &predicate)
{
    Sql find(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + m_target.dialect().quoteTable(table)
             + (predicate.isEmpty() ? QString() : QStringLiteral(" WHERE ") + predicate) + QStringLiteral(" GROUP BY ") + columns
             + QStringLiteral(" HAVING COUNT(*) > 1 LIMIT 1"));
    RecordSet rs(m_target);
    if (!rs.open(find) || rs.rowCount() <= 0)
        return QString();
    QStringList names, values;
    for (int i = 0; i < rs.columns().size(); ++i) {
        names << rs.columns().at(i);
        const QString value = rs.text(i);
        values << (value.isEmpty() ? QStringLiteral("空白") : QStringLiteral("“") + value + QStringLiteral("”"));
    }
    return QStringLiteral("单机版数据中有多行的%1相同（%2），网络版数据库要求各行不同，没有搬迁任何数据。"
                          "单机版中空着的单元格搬迁后都是空白，也算相同；请先在单机版中改正后再搬迁。")
        .arg(names.join(QStringLiteral("、")), values.join(QStringLiteral("、")));
}

// What the reader needs to know of each table.
QList<MoveSource> Mover::sources(const QList<MovedTable> &tables, int batchRows) const
{
    QList<MoveSource> sources;
    for (int t = 0; t < tables.size(); ++t) {
        const MovedTable &spec = tables[t];
        MoveSource source;
        source.table = spec.table;
        source.select = QStringLiteral("SELECT id,") + spec.columns.join(QLatin1Char(',')) + QStringLiteral(" FROM ")
                        + m_source.dialect().quoteTable(spec.table) + QStringLiteral(" ORDER BY id ASC");
        source.columns = int(spec.columns.size());
        source.batchRows = batchRows > 0 ? batchRows : m_target.dialect().appendRowsBatch(source.columns);
        source.accountAt = spec.table == AccountTable ? indexOfName(spec.columns, AccountColumn) : -1;
        source.shopAt = spec.table == TierTable ? indexOfName(spec.columns, ShopColumn) : -1;
        for (const IdReference &reference : idReferences()) {
            // Others name this table's rows by id: note where each row goes.
            if (reference.referredTable == spec.table)
                source.noteIds = true;
            // This table names rows of one moved before it.
            const int at = indexOfName(spec.columns, reference.column);
            int referred = -1;
            for (int r = 0; r < t; ++r)
                if (tables[r].table == reference.referredTable)
                    referred = r;
            if (reference.table == spec.table && at >= 0 && referred >= 0)
                source.references.append({at, referred});
        }
        sources << source;
    }
    return sources;
}

bool Mover::append(const MovedTable &spec, const RowBatch &rows, const QList<qint64> &sourceIds, IdMap *ids)
{
    if (rows.isEmpty())
        return true;
    QList<qint64> made;
    if (!m_target.appendRows(spec.table, spec.columns, rows, ids ? &made : nullptr))
        return refused(spec.table);
    if (ids) {
        if (made.size() != rows.rows() || sourceIds.size() != rows.rows()) {
            m_result.outcome = DataMoveResult::Failed;
            m_result.table = spec.table;
            m_result.error = QStringLiteral("网络版数据库未返回新行的编号");
            return false;
        }
        // The rows were numbered in the order given: the smallest new id is the first row's.
        std::sort(made.begin(), made.end());
        ids->from.append(sourceIds);
        ids->to.append(made);
    }
    m_result.rows += rows.rows();
    return true;
}

// The source's admin account takes the place of the target's (which the template ships).
// *updated is false when the target has no admin account: the row is then inserted as any other.
bool Mover::updateAdmin(const MovedTable &spec, const QStringList &values, bool *updated)
{
    Pairs assignments;
    for (int i = 0; i < spec.columns.size(); ++i)
        if (spec.columns[i].compare(AccountColumn, Qt::CaseInsensitive) != 0)
            assignments.append({spec.columns[i], values[i]});
    if (!m_target.execute(
            buildUpdateSql(m_target.dialect(), spec.table, assignments, eq(AccountColumn, AdminAccount), true)))
        return refused(spec.table);
    *updated = m_target.numRowsAffected() > 0;
    if (*updated)
        m_result.rows += 1;
    return true;
}

// Writes one piece the reader handed on.
bool Mover::write(const MovedTable &spec, MovePiece &piece, IdMap *ids)
{
    m_moved += piece.dealt;
    switch (piece.kind) {
    case MovePiece::TableStart:
        tell(spec.table);
        return true;
    case MovePiece::Rows:
        if (!append(spec, piece.rows, piece.sourceIds, ids))
            return false;
        tell(spec.table);
        return true;
    case MovePiece::Admin: {
        bool updated = false;
        if (!updateAdmin(spec, piece.values, &updated))
            return false;
        if (updated)
            return true;
        RowBatch row(int(spec.columns.size()));
        for (const QString &value : std::as_const(piece.values))
            row.addCell(value);
        return append(spec, row, {piece.sourceId}, ids);
    }
    case MovePiece::TableEnd:
        if (piece.nulCells > 0)
            m_result.nulCells.append({spec.table, piece.nulCells});
        tell(spec.table);
        return true;
    case MovePiece::ReadError:
        break;
    }
    return sourceFailed(spec.table, piece.error);
}

bool Mover::copy(const QList<MovedTable> &tables, int batchRows)
{
    const QList<MoveSource> plan = sources(tables, batchRows);
    m_ids.assign(size_t(tables.size()), IdMap());
    MoveChannel channel(batchesAhead);
    // The source is opened by the name of its file or by a file: URI naming it.
    const QString name = m_source.database().databaseName();
    const QUrl url(name);
    MoveReader reader(url.isLocalFile() ? url.toLocalFile() : name, plan, m_ids, channel);
    std::thread reading([&reader] { reader.run(); });
    // However the writing ends, the reader is let go and waited for before the ids it reads go.
    struct Join {
        MoveChannel &channel;
        std::thread &thread;
        ~Join()
        {
            channel.stop();
            thread.join();
        }
    } join{channel, reading};

    MovePiece piece;
    int finished = 0; // tables whose rows were all written
    while (channel.pop(&piece)) {
        const MovedTable &spec = tables[piece.table];
        IdMap *ids = plan[piece.table].noteIds ? &m_ids[size_t(piece.table)] : nullptr;
        if (!write(spec, piece, ids))
            return false;
        if (piece.kind == MovePiece::TableEnd) {
            ++finished;
            channel.tableWritten(piece.table);
        }
    }
    if (finished != tables.size()) // the reader stopped without saying why
        return sourceFailed(tables.value(finished).table, QStringLiteral("数据未读完"));
    return true;
}

// The columns of a table as a database names them, `id` aside.
QStringList columnsOf(Connection &connection, const QString &table)
{
    const QSqlRecord record = connection.database().record(table);
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        if (record.fieldName(i).compare(IdColumn, Qt::CaseInsensitive) != 0)
            columns << record.fieldName(i);
    return columns;
}

} // namespace

const QList<IdReference> &idReferences()
{
    static const QList<IdReference> references = {
        {QStringLiteral("商品历史"), QStringLiteral("原始ID"), QStringLiteral("采购入库")},
        {QStringLiteral("提交挂单"), QStringLiteral("编号"), QStringLiteral("采购入库")},
    };
    return references;
}

QList<MovedTable> sharedTables(Connection &source, Connection &target, QString *error)
{
    const QStringList sourceTables = source.database().tables(QSql::Tables);
    const QStringList targetTables = target.database().tables(QSql::Tables);
    QStringList names;
    for (const QString &table : moveOrder())
        if (indexOfName(sourceTables, table) >= 0 && indexOfName(targetTables, table) >= 0)
            names << table;
    QStringList others;
    for (const QString &table : sourceTables)
        if (indexOfName(names, table) < 0 && indexOfName(targetTables, table) >= 0)
            others << table;
    std::sort(others.begin(), others.end());
    names += others;
    // A table that others name by id goes before them.
    for (const IdReference &reference : idReferences()) {
        const int referring = names.indexOf(reference.table);
        const int referred = names.indexOf(reference.referredTable);
        if (referring >= 0 && referred > referring)
            names.move(referred, referring);
    }

    QList<MovedTable> tables;
    for (const QString &table : names) {
        const QStringList targetColumns = columnsOf(target, table);
        MovedTable spec{table, {}};
        for (const QString &column : columnsOf(source, table))
            if (indexOfName(targetColumns, column) >= 0)
                spec.columns << column;
        if (spec.columns.isEmpty()) {
            if (error)
                *error = table + QStringLiteral("：读不到数据表的列");
            return {};
        }
        tables << spec;
    }
    return tables;
}

QString tableHoldingMovedRows(Connection &target, QString *error)
{
    const QStringList targetTables = target.database().tables(QSql::Tables);
    for (const QString &table : moveOrder()) {
        if (table == LogTable || indexOfName(targetTables, table) < 0)
            continue;
        Sql where;
        if (table == AccountTable)
            where = cmp(AccountColumn, QStringLiteral("<>"), AdminAccount);
        else if (table == TierTable)
            where = cmp(ShopColumn, QStringLiteral("<>"), DefaultTierShop);
        RecordSet rs(target);
        Sql sql = QStringLiteral("SELECT id FROM ") + target.dialect().quoteTable(table);
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE ") + where;
        sql += QStringLiteral(" LIMIT 1");
        if (!rs.open(sql)) {
            if (error)
                *error = table + QStringLiteral("：") + target.lastError();
            return table;
        }
        if (rs.rowCount() > 0)
            return table;
    }
    return QString();
}

DataMoveResult moveShopData(Connection &source, Connection &target, const DataMoveProgress &progress, int batchRows)
{
    DataMoveResult result;
    if (!hasShopTables(target)) {
        result.outcome = DataMoveResult::NotShopDatabase;
        return result;
    }
    QString error;
    const QList<MovedTable> tables = sharedTables(source, target, &error);
    if (tables.isEmpty()) {
        result.error = error.isEmpty() ? QStringLiteral("两个数据库没有共同的数据表") : error;
        return result;
    }
    Transaction transaction = target.transaction();
    if (!transaction.isActive()) {
        result.error = target.lastError();
        return result;
    }
    const QString holding = tableHoldingMovedRows(target, &error);
    if (!holding.isEmpty()) {
        result.outcome = error.isEmpty() ? DataMoveResult::TargetHoldsData : DataMoveResult::Failed;
        result.table = holding;
        result.error = error;
        return result;
    }
    Mover mover(source, target, result, progress);
    if (!mover.countRows(tables) || !mover.dropIndexes(tables))
        return result; // the guard rolls everything back
    if (!mover.copy(tables, batchRows))
        return result;
    if (!mover.rebuildIndexes())
        return result;
    if (!transaction.commit()) {
        result.outcome = DataMoveResult::Failed;
        result.error = target.lastError();
        return result;
    }
    result.outcome = DataMoveResult::Moved;
    return result;
}

} // namespace data
