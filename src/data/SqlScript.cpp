#include "data/SqlScript.h"

#include "data/Connection.h"

#include <QFile>

namespace data {

namespace {

// The line without a trailing "-- comment" (outside quotes) and trailing blanks.
QString codePart(const QString &line)
{
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar ch = line.at(i);
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
        } else if (ch == QLatin1Char('-') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('-')) {
            return line.left(i).trimmed();
        }
    }
    return line.trimmed();
}

} // namespace

QStringList splitSqlScript(const QString &script)
{
    QStringList statements;
    QString current;
    bool inDollar = false;
    bool inTrigger = false;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString code = codePart(line);
        if (code.isEmpty() && current.trimmed().isEmpty())
            continue; // blank or comment line between statements
        if (current.trimmed().isEmpty() && code.startsWith(QStringLiteral("CREATE TRIGGER"), Qt::CaseInsensitive))
            inTrigger = true;
        if (line.count(QStringLiteral("$$")) % 2 == 1)
            inDollar = !inDollar;
        current += line + QLatin1Char('\n');
        if (inDollar || !code.endsWith(QLatin1Char(';')))
            continue;
        if (inTrigger) {
            if (code.compare(QStringLiteral("END;"), Qt::CaseInsensitive) != 0)
                continue;
            inTrigger = false;
        }
        // The statement ends with this line: drop its trailing comment and the final ';'
        // (QSQLITE runs one statement per call).
        current.chop(line.size() + 1);
        current += code;
        current.chop(1);
        const QString statement = current.trimmed();
        if (!statement.isEmpty())
            statements << statement;
        current.clear();
    }
    if (!codePart(current).isEmpty())
        statements << current.trimmed();
    return statements;
}

bool runSqlScript(Connection &connection, const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read ") + path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const QStringList statements = splitSqlScript(QString::fromUtf8(file.readAll()));
    Transaction transaction = connection.transaction();
    if (!transaction.isActive()) {
        if (error)
            *error = connection.lastError();
        return false;
    }
    static const QStringList ownTransaction = {QStringLiteral("BEGIN"), QStringLiteral("BEGIN TRANSACTION"),
                                               QStringLiteral("COMMIT"), QStringLiteral("END"),
                                               QStringLiteral("END TRANSACTION")};
    for (const QString &statement : statements) {
        // The script runs inside one transaction of its own; its BEGIN and COMMIT are left out.
        if (ownTransaction.contains(statement.simplified(), Qt::CaseInsensitive))
            continue;
        if (!connection.execute(Sql(statement))) {
            if (error)
                *error = path + QStringLiteral(": ") + statement.left(200) + QStringLiteral(" -- ")
                         + connection.lastError();
            return false;
        }
    }
    if (!transaction.commit()) {
        if (error)
            *error = path + QStringLiteral(": ") + connection.lastError();
        return false;
    }
    return true;
}

} // namespace data
