#pragma once
// The three statement builders. They produce the classic texts («SELECT * FROM [t] WHERE ...»,
// «UPDATE [t] SET ...», «INSERT INTO [t] (names) VALUES (values)»), with the table quoted by the
// dialect, and carry every value as a bound parameter.
#include <QString>
#include <QStringList>

#include "data/Dialect.h"
#include "data/Sql.h"

namespace data {

// «SELECT * FROM <table> WHERE <where>» (+ « ORDER BY <order>» when hasOrder; where "1=1" when
// not hasWhere). " 升序"/" 降序" in the order become " ASC"/" DESC".
Sql buildSelectSql(const Dialect &dialect, const QString &table, const Sql &where, bool hasWhere,
                   const QString &order, bool hasOrder);
// The same reading only the named columns («SELECT a,b FROM ...»): for lists of many rows that
// show a few of the table's columns.
Sql buildSelectSql(const Dialect &dialect, const QString &table, const QStringList &columns, const Sql &where,
                   bool hasWhere, const QString &order, bool hasOrder);
// «UPDATE <table> SET a=?,b=?» (+ « WHERE <where>» when hasWhere; without it every row changes).
Sql buildUpdateSql(const Dialect &dialect, const QString &table, const Pairs &assignments,
                   const Sql &where, bool hasWhere);
// The same with assignments made by the caller (for example Dialect::increment()).
Sql buildUpdateSql(const Dialect &dialect, const QString &table, const Sql &assignments,
                   const Sql &where, bool hasWhere);
// «INSERT INTO <table> (n1,n2) VALUES (?,?)».
Sql buildInsertSql(const Dialect &dialect, const QString &table, const Pairs &pairs);
// The classic form with a FIXED pairs text («门店='A',用户名='b'»), read by parsePairs().
Sql buildInsertSql(const Dialect &dialect, const QString &table, const QString &fixedPairsText);

} // namespace data
