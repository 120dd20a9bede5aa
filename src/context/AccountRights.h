#pragma once
#include <QString>
#include <QStringList>

// The twenty rights of the logged-in account, in the order of the right columns of 帐号管理.
// "√" grants a right; any other text refuses it.
struct AccountRights
{
    QString 前台收银;
    QString 实况播报;
    QString 销售明细;
    QString 销售简表;
    QString 销量排行;
    QString 退货管理;
    QString 导出明细;
    QString 会员管理;
    QString 添加会员;
    QString 积分调整;
    QString 导出会员;
    QString 采购入库;
    QString 调整价格;
    QString 采购报表;
    QString 库存管理;
    QString 库存调拨;
    QString 分类管理;
    QString 开支管理;
    QString 查看进价;
    QString 系统设置;

    static constexpr int count = 20;
    // The column names, in the order above.
    static const QStringList &columns();
    // Field by position (0 = 前台收银).
    QString &operator[](int position);
    const QString &operator[](int position) const;
    // Field by column name; "" for a name that is no right.
    QString value(const QString &column) const;
};
