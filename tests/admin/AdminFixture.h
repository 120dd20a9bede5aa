#pragma once
// A workstation for the administration tests: a fresh shop database of one backend in a program
// directory of its own, and an application context whose connection is open on it, logged in as
// "admin" of shop A. Shops A and B exist.
#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/ProgramDir.h"
#include "support/TestDatabase.h"

namespace admintest {

class AdminWorkstation
{
public:
    explicit AdminWorkstation(data::Backend backend = data::Backend::Sqlite)
        : db(std::make_unique<testsupport::TestDatabase>(backend))
    {
        if (!db->ok())
            return;
        ProgramDir::set(db->dir());
        const bool open = backend == data::Backend::Sqlite ? context.connection().openSqlite(db->sqlitePath())
                                                           : context.connection().openPostgres(db->serverSettings());
        if (!open)
            return;
        context.runMode = backend == data::Backend::Sqlite ? AppContext::SingleMachineMode : AppContext::NetworkMode;
        context.currentAccount = QStringLiteral("admin");
        context.currentShop = QStringLiteral("A");
        exec(QStringLiteral("INSERT INTO %1 (店名) VALUES ('A')").arg(table("店铺名")));
        exec(QStringLiteral("INSERT INTO %1 (店名) VALUES ('B')").arg(table("店铺名")));
        ready = true;
    }
    ~AdminWorkstation() { Clock::reset(); }

    bool ok() const { return ready; }
    QString error() const { return db->error(); }
    data::Connection &conn() { return context.connection(); }
    QString table(const char *name) { return conn().dialect().quoteTable(QString::fromUtf8(name)); }
    bool exec(const QString &statement) { return conn().execute(data::Sql(statement)); }

    // One column of the rows a query gives, in order.
    QStringList column(const QString &select, const QString &name)
    {
        data::RecordSet rows(conn());
        QStringList values;
        if (!rows.open(data::Sql(select)))
            return {QStringLiteral("<query failed>")};
        for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
            values << rows.text(name);
        return values;
    }
    int count(const QString &select)
    {
        data::RecordSet rows(conn());
        rows.open(data::Sql(select));
        return rows.rowCount();
    }
    // The value of a column of shop X's 店铺名 row.
    QString shopValue(const QString &shop, const QString &name)
    {
        return column(QStringLiteral("SELECT * FROM %1 WHERE 店名='%2' ORDER BY id").arg(table("店铺名"), QString(shop).replace(u'\'', QStringLiteral("''"))), name)
            .value(0);
    }

    std::unique_ptr<testsupport::TestDatabase> db;
    AppContext context;
    bool ready = false;
};

} // namespace admintest

#define ADMIN_READY(w) ASSERT_TRUE((w).ok()) << qPrintable((w).error())
