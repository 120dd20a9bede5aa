#include "data/DataMove.h"

#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"

#include <QHash>
#include <QPair>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

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

// The ids of one table's rows in the source and on the target, both ascending and in step.
struct IdMap {
    QList<qint64> from;
    QList<qint64> to;

    // The target's id of the source's row `id`; 0 when the source has no such row.
    qint64 find(qint64 id) const
    {
        const auto at = std::lower_bound(from.cbegin(), from.cend(), id);
        return at != from.cend() && *at == id ? to.at(at - from.cbegin()) : 0;
    }
};

// A column of the table being moved that names rows of a table moved before it.
struct Reference {
    int column;
    const IdMap *map;
};

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

    bool copy(const MovedTable &spec);
    bool dropIndexes(const QList<MovedTable> &tables);
    bool rebuildIndexes();

private:
    bool sourceFailed(const QString &table, const QString &error)
    {
        m_result.outcome = DataMoveResult::Failed;
        m_result.table = table;
        m_result.error = QStringLiteral("读取单机版数据失败：") + error;
        return false;
    }
    bool refused(const QString &table)
    {
        m_result.outcome = DataMoveResult::Failed;
        m_result.table = table;
        m_result.error = m_target.lastError();
        return false;
    }
    void tell(const QString &table)
    {
        if (m_progress)
            m_progress(table, m_moved, m_total);
    }
    bool flush(const MovedTable &spec, IdMap *ids);
    bool updateAdmin(const MovedTable &spec, const QStringList &values, IdMap *ids, bool *updated);

    Connection &m_source;
    Connection &m_target;
    DataMoveResult &m_result;
    const DataMoveProgress &m_progress;
    qint64 m_moved = 0; // source rows dealt with, skipped default tiers included
    qint64 m_total = 0;
    QHash<QString, IdMap> m_ids; // of the tables others refer to, by table
    QStringList m_pending;       // values of rows read and not written yet
    QList<qint64> m_pendingIds;  // their ids in the source, when the table's ids are kept
    int m_pendingRows = 0;
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
// the move.
bool Mover::rebuildIndexes()
{
    for (const auto &[table, definition] : std::as_const(m_dropped))
        if (!m_target.execute(Sql(definition)))
            return refused(table);
    return true;
}

bool Mover::flush(const MovedTable &spec, IdMap *ids)
{
    if (m_pendingRows == 0)
        return true;
    const Sql sql = m_target.dialect().appendRowsSql(spec.table, spec.columns, m_pending, ids != nullptr);
    if (ids) {
        RecordSet rs(m_target);
        if (!rs.open(sql))
            return refused(spec.table);
        QList<qint64> made;
        made.reserve(m_pendingRows);
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            made << rs.integer(0);
        if (made.size() != m_pendingRows) {
            m_result.outcome = DataMoveResult::Failed;
            m_result.table = spec.table;
            m_result.error = QStringLiteral("网络版数据库未返回新行的编号");
            return false;
        }
        // The rows were numbered in the order given: the smallest new id is the first row's.
        std::sort(made.begin(), made.end());
        ids->from.append(m_pendingIds);
        ids->to.append(made);
    } else if (!m_target.execute(sql)) {
        return refused(spec.table);
    }
    m_result.rows += m_pendingRows;
    m_pending.clear();
    m_pendingIds.clear();
    m_pendingRows = 0;
    return true;
}

// The source's admin account takes the place of the target's (which the template ships).
// *updated is false when the target has no admin account: the row is then inserted as any other.
bool Mover::updateAdmin(const MovedTable &spec, const QStringList &values, IdMap *ids, bool *updated)
{
    if (!flush(spec, ids))
        return false;
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

bool Mover::copy(const MovedTable &spec)
{
    const int width = int(spec.columns.size());
    const int batchRows = m_target.dialect().appendRowsBatch(width);
    const int accountAt = spec.table == AccountTable ? indexOfName(spec.columns, AccountColumn) : -1;
    const int shopAt = spec.table == TierTable ? indexOfName(spec.columns, ShopColumn) : -1;

    // Others name this table's rows by id: note where each row goes.
    IdMap *ids = nullptr;
    for (const IdReference &reference : idReferences())
        if (reference.referredTable == spec.table)
            ids = &m_ids[spec.table];
    QList<Reference> references;
    for (const IdReference &reference : idReferences()) {
        const int at = indexOfName(spec.columns, reference.column);
        if (reference.table == spec.table && at >= 0 && m_ids.contains(reference.referredTable))
            references.append({at, &m_ids[reference.referredTable]});
    }

    // Read straight from the file, row by row: a table of a million sales need not sit in memory.
    QSqlQuery rows(m_source.database());
    rows.setForwardOnly(true);
    const QString select = QStringLiteral("SELECT id,") + spec.columns.join(QLatin1Char(',')) + QStringLiteral(" FROM ")
                           + m_source.dialect().quoteTable(spec.table) + QStringLiteral(" ORDER BY id ASC");
    if (!rows.exec(select))
        return sourceFailed(spec.table, rows.lastError().text());
    tell(spec.table);
    QStringList values;
    values.reserve(width);
    while (rows.next()) {
        ++m_moved;
        values.clear();
        for (int i = 0; i < width; ++i)
            values.append(rows.value(i + 1).toString()); // NULL reads as the empty text
        if (shopAt >= 0 && values[shopAt] == DefaultTierShop)
            continue;
        for (const Reference &reference : references) {
            QString &text = values[reference.column];
            const qint64 named = RecordSet::leadingInteger(text);
            if (named > 0) {
                const qint64 moved = reference.map->find(named);
                text = moved > 0 ? QString::number(moved) : QString();
            }
        }
        if (accountAt >= 0 && values[accountAt] == AdminAccount) {
            bool updated = false;
            if (!updateAdmin(spec, values, ids, &updated))
                return false;
            if (updated)
                continue;
        }
        m_pending.append(values);
        if (ids)
            m_pendingIds.append(rows.value(0).toLongLong());
        if (++m_pendingRows == batchRows) {
            if (!flush(spec, ids))
                return false;
            tell(spec.table);
        }
    }
    if (rows.lastError().isValid())
        return sourceFailed(spec.table, rows.lastError().text());
    if (!flush(spec, ids))
        return false;
    tell(spec.table);
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

DataMoveResult moveShopData(Connection &source, Connection &target, const DataMoveProgress &progress)
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
    for (const MovedTable &spec : tables)
        if (!mover.copy(spec))
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
