#pragma once
// A shop database with a logged-in counter: the context's connection on a fresh database, shop
// "A店", cashier "张三", two sale decimals, items priced by their own discount.
#include <QMap>
#include <QString>
#include <gtest/gtest.h>

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "support/TestDatabase.h"

namespace countertest {

inline const QString kShop = QStringLiteral("A店");

class Counter {
public:
    explicit Counter(data::Backend backend) : db(backend)
    {
        if (!db.ok())
            return;
        opened = db.openAnother(context.connection());
        context.currentShop = kShop;
        context.currentUserName = QStringLiteral("张三");
        context.currentAccount = QStringLiteral("zs");
        context.runMode = backend == data::Backend::Sqlite ? AppContext::SingleMachineMode : AppContext::NetworkMode;
        context.shopSettings.销售 = QStringLiteral("2");
        context.discountScheme.商品折扣 = QStringLiteral("真");
        context.accountRights.前台收银 = AppContext::Granted;
    }

    bool ok() const { return db.ok() && opened; }
    data::Connection &conn() { return context.connection(); }

    // Inserts a stock row of the shop (fields override the defaults) and returns its id.
    qint64 addStock(const QMap<QString, QString> &fields)
    {
        QMap<QString, QString> row = {
            {QStringLiteral("商品条码"), QString()}, {QStringLiteral("类别"), QStringLiteral("上衣")},
            {QStringLiteral("款号"), QStringLiteral("1001")}, {QStringLiteral("名称"), QStringLiteral("衬衫")},
            {QStringLiteral("颜色"), QStringLiteral("白")}, {QStringLiteral("尺码"), QStringLiteral("M")},
            {QStringLiteral("数量"), QStringLiteral("5")}, {QStringLiteral("已售"), QStringLiteral("0")},
            {QStringLiteral("进货价"), QStringLiteral("40")}, {QStringLiteral("吊牌价"), QStringLiteral("100")},
            {QStringLiteral("折扣"), QStringLiteral("0.8")}, {QStringLiteral("单位"), QStringLiteral("件")},
            {QStringLiteral("拼音检索"), QStringLiteral("cs")}, {QStringLiteral("所属店铺"), kShop},
            {QStringLiteral("供货来源"), QStringLiteral("甲厂")}, {QStringLiteral("入库日期"), QStringLiteral("2015-03-01")},
            {QStringLiteral("上限"), QStringLiteral("0")}, {QStringLiteral("下限"), QStringLiteral("0")},
        };
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            row[it.key()] = it.value();
        data::Pairs pairs;
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            pairs.append({it.key(), it.value()});
        EXPECT_TRUE(conn().execute(data::buildInsertSql(conn().dialect(), QStringLiteral("采购入库"), pairs)))
            << conn().lastError().toStdString();
        data::RecordSet rs(conn());
        rs.open(data::Sql(QStringLiteral("SELECT max(id) AS m FROM ") + conn().dialect().quoteTable(QStringLiteral("采购入库"))));
        return rs.integer(QStringLiteral("m"));
    }

    void insert(const QString &table, const data::Pairs &pairs)
    {
        EXPECT_TRUE(conn().execute(data::buildInsertSql(conn().dialect(), table, pairs)))
            << conn().lastError().toStdString();
    }

    QString text(const QString &table, qint64 id, const QString &column)
    {
        data::RecordSet rs(conn());
        rs.open(data::buildSelectSql(conn().dialect(), table, data::eq(QStringLiteral("id"), id), true, QString(), false));
        return rs.text(column);
    }

    int count(const QString &table, const data::Sql &where = data::Sql())
    {
        data::RecordSet rs(conn());
        rs.open(data::buildSelectSql(conn().dialect(), table, where, !where.isEmpty(), QStringLiteral("id ASC"), true));
        return rs.rowCount();
    }

    // Every row of a table as column -> text, oldest first.
    QList<QMap<QString, QString>> rows(const QString &table, const data::Sql &where = data::Sql())
    {
        QList<QMap<QString, QString>> out;
        data::RecordSet rs(conn());
        rs.open(data::buildSelectSql(conn().dialect(), table, where, !where.isEmpty(), QStringLiteral("id ASC"), true));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            QMap<QString, QString> row;
            for (const QString &c : rs.columns())
                row[c] = rs.text(c);
            out.append(row);
        }
        return out;
    }

    testsupport::TestDatabase db;
    AppContext context;
    bool opened = false;
};

// Resets the clock after each test.
struct ClockGuard {
    ~ClockGuard() { Clock::reset(); }
};

} // namespace countertest
