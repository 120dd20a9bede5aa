#include "data/Dialect.h"

#include "data/PostgresDialect.h"
#include "data/SqliteDialect.h"

namespace data {

const Dialect &Dialect::forBackend(Backend backend)
{
    static const SqliteDialect sqlite;
    static const PostgresDialect postgres;
    if (backend == Backend::Postgres)
        return postgres;
    return sqlite;
}

Sql Dialect::like(const QString &column, const QString &pattern) const
{
    return Sql(column + QLatin1Char(' ') + likeOp() + QStringLiteral(" ?"), {pattern});
}

Sql Dialect::contains(const QString &column, const QString &typed) const
{
    QString escaped;
    for (QChar c : typed) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return Sql(column + u' ' + likeOp() + QStringLiteral(" ? ESCAPE '\\'"), {QString(u'%' + escaped + u'%')});
}

QString Dialect::translateOrder(const QString &order)
{
    QString text = order;
    text.replace(QStringLiteral(" 升序"), QStringLiteral(" ASC"));
    text.replace(QStringLiteral(" 降序"), QStringLiteral(" DESC"));
    return text;
}

} // namespace data
