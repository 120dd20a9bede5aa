#include "data/DataMove.h"

#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"

#include <QSqlError>
#include <QSqlQuery>

namespace data {

namespace {

const QString AdminAccount = QStringLiteral("admin");
const QString DefaultTierShop = QStringLiteral("---");
const QString AccountTable = QStringLiteral("帐号管理");
const QString AccountColumn = QStringLiteral("帐号");
const QString TierTable = QStringLiteral("会员类别");
const QString ShopColumn = QStringLiteral("所属店铺");
// Parameters bound in one INSERT: rows are written in batches of this many values.
constexpr int valuesPerStatement = 3000;

QStringList columns(const char *list)
{
    return QString::fromUtf8(list).split(QLatin1Char(','));
}

MovedTable copier(const char *name, const char *table, const char *list)
{
    return {QString::fromLatin1(name), QString::fromUtf8(table), columns(list)};
}

// «INSERT INTO <table> (columns) VALUES (?,..),(?,..)» for `rows` rows.
QString insertText(const Dialect &dialect, const MovedTable &spec, int rows)
{
    const QString row = QLatin1Char('(') + QStringList(spec.columns.size(), QStringLiteral("?")).join(QLatin1Char(','))
                        + QLatin1Char(')');
    return QStringLiteral("INSERT INTO ") + dialect.quoteTable(spec.table) + QStringLiteral(" (")
           + spec.columns.join(QLatin1Char(',')) + QStringLiteral(") VALUES ")
           + QStringList(rows, row).join(QLatin1Char(','));
}

struct TableCopy {
    const MovedTable &spec;
    Connection &target;
    DataMoveResult &result;
    QVariantList pending; // values of rows read and not written yet
    int pendingRows = 0;
    qint64 written = 0;
};

bool refused(TableCopy &copy)
{
    copy.result.outcome = DataMoveResult::Failed;
    copy.result.table = copy.spec.table;
    copy.result.error = copy.target.lastError();
    return false;
}

bool flush(TableCopy &copy)
{
    if (copy.pendingRows == 0)
        return true;
    if (!copy.target.execute(Sql(insertText(copy.target.dialect(), copy.spec, copy.pendingRows), copy.pending)))
        return refused(copy);
    copy.written += copy.pendingRows;
    copy.result.rows += copy.pendingRows;
    copy.pending.clear();
    copy.pendingRows = 0;
    return true;
}

// The source's admin account takes the place of the target's (which the template ships).
bool updateAdmin(TableCopy &copy, const QVariantList &values)
{
    if (!flush(copy))
        return false;
    Pairs assignments;
    for (int i = 0; i < copy.spec.columns.size(); ++i)
        if (copy.spec.columns[i] != AccountColumn)
            assignments.append({copy.spec.columns[i], values[i]});
    Connection &target = copy.target;
    if (!target.execute(buildUpdateSql(target.dialect(), copy.spec.table, assignments, eq(AccountColumn, AdminAccount), true)))
        return refused(copy);
    if (target.numRowsAffected() == 0) { // a target without the admin account gets it
        copy.pending = values;
        copy.pendingRows = 1;
        return flush(copy);
    }
    copy.written += 1;
    copy.result.rows += 1;
    return true;
}

bool copyTable(Connection &source, Connection &target, int index, DataMoveResult &result, const DataMoveProgress &progress)
{
    const MovedTable &spec = movedTables().at(index);
    TableCopy copy{spec, target, result, {}, 0, 0};
    const int batchRows = qMax(1, valuesPerStatement / int(spec.columns.size()));
    const int accountAt = spec.table == AccountTable ? int(spec.columns.indexOf(AccountColumn)) : -1;
    const int shopAt = spec.table == TierTable ? int(spec.columns.indexOf(ShopColumn)) : -1;

    // Read straight from the file, row by row: a table of a million sales need not sit in memory.
    QSqlQuery rows(source.database());
    rows.setForwardOnly(true);
    const QString select = QStringLiteral("SELECT ") + spec.columns.join(QLatin1Char(',')) + QStringLiteral(" FROM ")
                           + source.dialect().quoteTable(spec.table) + QStringLiteral(" ORDER BY id ASC");
    if (!rows.exec(select)) {
        result.outcome = DataMoveResult::Failed;
        result.table = spec.table;
        result.error = QStringLiteral("读取单机版数据失败：") + rows.lastError().text();
        return false;
    }
    if (progress)
        progress(index, 0);
    const int width = int(spec.columns.size());
    QVariantList values;
    values.reserve(width);
    while (rows.next()) {
        values.clear();
        for (int i = 0; i < width; ++i)
            values.append(rows.value(i).toString()); // NULL reads as the empty text
        if (shopAt >= 0 && values[shopAt].toString() == DefaultTierShop)
            continue;
        if (accountAt >= 0 && values[accountAt].toString() == AdminAccount) {
            if (!updateAdmin(copy, values))
                return false;
            continue;
        }
        copy.pending.append(values);
        if (++copy.pendingRows == batchRows) {
            if (!flush(copy))
                return false;
            if (progress)
                progress(index, copy.written);
        }
    }
    if (rows.lastError().isValid()) {
        result.outcome = DataMoveResult::Failed;
        result.table = spec.table;
        result.error = QStringLiteral("读取单机版数据失败：") + rows.lastError().text();
        return false;
    }
    if (!flush(copy))
        return false;
    if (progress)
        progress(index, copy.written);
    return true;
}

} // namespace

const QList<MovedTable> &movedTables()
{
    static const QList<MovedTable> tables = {
        copier("migrateMemberTable", "会员管理",
               "会员卡号,会员姓名,会员类别,手机,消费金额,积分,本年生日,备注,开卡日期,最近消费,办理人,会员储值,所属店铺"),
        copier("migrateMemberCategoryTable", "会员类别", "会员类别,会员折扣,累计积分,所属店铺"),
        copier("migrateSupplierTable", "供货管理", "供应商名称,联系人,供应商地址,手机,电话,传真,所属店铺"),
        copier("migrateCategoryTable", "分类例表", "项目名称,一级编号,二级编号,所属店铺"),
        copier("migrateUnitTable", "单位管理", "单位,所属店铺"),
        copier("migrateAccountTable", "帐号管理",
               "帐号,密码,姓名,电话,所属店铺,前台收银,实况播报,销售明细,销售简表,销量排行,退货管理,导出明细,会员管理,"
               "添加会员,积分调整,导出会员,采购入库,调整价格,采购报表,库存管理,库存调拨,分类管理,开支管理,查看进价,系统设置"),
        copier("migrateShopTable", "店铺名",
               "店名,销售,积分模式,积分值,抵扣值,升级模式,会员共享,折上折,开启公告,公告间隔,满就送,生日提醒"),
        copier("migrateExpenseTable", "开支管理", "开支项目,金额,经手人,日期,所属店铺"),
        copier("migrateDiscountSchemeTable", "折扣方案", "商品折扣,统一折扣,自由优惠,款号字母,所属店铺"),
        copier("migrateLogTable", "日志记录", "门店,用户名,操作内容,操作时间,所属店铺"),
        copier("migrateStyleNumberTable", "款式号", "款号,所属店铺"),
        copier("migratePromotionTable", "满额促销", "满,送,截止时间,所属店铺"),
        copier("migratePointAdjustmentTable", "调整积分", "调整日期,增加积分,减少积分,操作员,备注,积分卡号,门面,增加储值"),
        copier("migrateReturnTable", "退货管理",
               "供货来源,商品名称,分类,款号,颜色,尺码,单位,成本价,销售金额,销售日期,退货日期,商品情况,备注,所属店铺"),
        copier("migrateStockTable", "采购入库",
               "商品条码,供货来源,已售,类别,款号,名称,颜色,尺码,数量,进货价,吊牌价,折扣,应收款,入库人,入库日期,所属店铺,"
               "销售日期,导购员,收银员,会员编号,销售折扣,销售单价,小票单号,积分抵扣,拼音检索,单位,结付方式,特价,零库存,大类"),
        copier("migratePurchaseReportTable", "采购报表", "采购日期,供货来源,数量,成本价,操作员,备注,所属店铺,尾采购日期"),
        copier("migrateSalesDetailTable", "销售明细",
               "导购员,小票单号,商品条码,类别,款号,颜色,尺码,进货价,吊牌价,金额,收银员,会员编号,结付方式,销售日期,所属店铺,"
               "单位,拼音检索,折扣,现金,银行,积分,优惠券,商品名称,备注,数量,供货来源,商品折扣,入库日期,销售时间,储值"),
        copier("migrateDailySummaryTable", "销售简表",
               "结算日期,销售量,销售金额,成本价,毛利润,银行,积分,优惠券,操作员,备注,利润率,所属店铺,判断,储值,实收金额"),
        copier("migrateSalesRankingTable", "销量排行",
               "供货来源,商品名称,类别,款号,成本价,吊牌价,已售数量,最近售出日期,所属店铺,当月时间,单位"),
        copier("migrateColourSizeTable", "颜色尺码", "颜色,尺码,所属店铺"),
    };
    return tables;
}

QString tableHoldingMovedRows(Connection &target, QString *error)
{
    for (const MovedTable &spec : movedTables()) {
        Sql where;
        if (spec.table == AccountTable)
            where = cmp(AccountColumn, QStringLiteral("<>"), AdminAccount);
        else if (spec.table == TierTable)
            where = cmp(ShopColumn, QStringLiteral("<>"), DefaultTierShop);
        RecordSet rs(target);
        Sql sql = QStringLiteral("SELECT id FROM ") + target.dialect().quoteTable(spec.table);
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE ") + where;
        sql += QStringLiteral(" LIMIT 1");
        if (!rs.open(sql)) {
            if (error)
                *error = spec.table + QStringLiteral("：") + target.lastError();
            return spec.table;
        }
        if (rs.rowCount() > 0)
            return spec.table;
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
    Transaction transaction = target.transaction();
    if (!transaction.isActive()) {
        result.error = target.lastError();
        return result;
    }
    QString error;
    const QString holding = tableHoldingMovedRows(target, &error);
    if (!holding.isEmpty()) {
        result.outcome = error.isEmpty() ? DataMoveResult::TargetHoldsData : DataMoveResult::Failed;
        result.table = holding;
        result.error = error;
        return result;
    }
    for (int i = 0; i < movedTables().size(); ++i)
        if (!copyTable(source, target, i, result, progress))
            return result; // the guard rolls everything back
    if (!transaction.commit()) {
        result.outcome = DataMoveResult::Failed;
        result.error = target.lastError();
        return result;
    }
    result.outcome = DataMoveResult::Moved;
    return result;
}

} // namespace data
