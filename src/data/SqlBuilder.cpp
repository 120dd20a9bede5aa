#include "data/SqlBuilder.h"

namespace data {

Sql buildSelectSql(const Dialect &dialect, const QString &table, const Sql &where, bool hasWhere,
                   const QString &order, bool hasOrder)
{
    return buildSelectSql(dialect, table, QStringList(), where, hasWhere, order, hasOrder);
}

Sql buildSelectSql(const Dialect &dialect, const QString &table, const QStringList &columns, const Sql &where,
                   bool hasWhere, const QString &order, bool hasOrder)
{
    const QString what = columns.isEmpty() ? QStringLiteral("*") : columns.join(QLatin1Char(','));
    Sql sql(QStringLiteral("SELECT ") + what + QStringLiteral(" FROM ") + dialect.quoteTable(table) + QStringLiteral(" WHERE "));
    sql += hasWhere ? where : Sql(QStringLiteral("1=1"));
    if (hasOrder)
        sql.text += QStringLiteral(" ORDER BY ") + Dialect::translateOrder(order);
    return sql;
}

Sql buildUpdateSql(const Dialect &dialect, const QString &table, const Pairs &assignments,
                   const Sql &where, bool hasWhere)
{
    Sql set;
    for (const auto &pair : assignments) {
        if (!set.isEmpty())
            set.text += QLatin1Char(',');
        set += eq(pair.first, pair.second);
    }
    return buildUpdateSql(dialect, table, set, where, hasWhere);
}

Sql buildUpdateSql(const Dialect &dialect, const QString &table, const Sql &assignments,
                   const Sql &where, bool hasWhere)
{
    Sql sql(QStringLiteral("UPDATE ") + dialect.quoteTable(table) + QStringLiteral(" SET "));
    sql += assignments;
    if (hasWhere)
        sql += Sql(QStringLiteral(" WHERE ")) + where;
    return sql;
}

Sql buildInsertSql(const Dialect &dialect, const QString &table, const Pairs &pairs)
{
    QStringList names;
    QStringList marks;
    QVariantList values;
    names.reserve(pairs.size());
    for (const auto &pair : pairs) {
        names << pair.first;
        marks << QStringLiteral("?");
        values << pair.second;
    }
    return Sql(QStringLiteral("INSERT INTO ") + dialect.quoteTable(table) + QStringLiteral(" (")
                   + names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(','))
                   + QLatin1Char(')'),
               values);
}

Sql buildInsertSql(const Dialect &dialect, const QString &table, const QString &fixedPairsText)
{
    return buildInsertSql(dialect, table, parsePairs(fixedPairsText));
}

} // namespace data
