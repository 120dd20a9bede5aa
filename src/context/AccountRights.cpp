#include "context/AccountRights.h"

namespace {

using Field = QString AccountRights::*;
constexpr Field fields[AccountRights::count] = {
    &AccountRights::前台收银, &AccountRights::实况播报, &AccountRights::销售明细, &AccountRights::销售简表,
    &AccountRights::销量排行, &AccountRights::退货管理, &AccountRights::导出明细, &AccountRights::会员管理,
    &AccountRights::添加会员, &AccountRights::积分调整, &AccountRights::导出会员, &AccountRights::采购入库,
    &AccountRights::调整价格, &AccountRights::采购报表, &AccountRights::库存管理, &AccountRights::库存调拨,
    &AccountRights::分类管理, &AccountRights::开支管理, &AccountRights::查看进价, &AccountRights::系统设置,
};

} // namespace

const QStringList &AccountRights::columns()
{
    static const QStringList names{
        QStringLiteral("前台收银"), QStringLiteral("实况播报"), QStringLiteral("销售明细"), QStringLiteral("销售简表"),
        QStringLiteral("销量排行"), QStringLiteral("退货管理"), QStringLiteral("导出明细"), QStringLiteral("会员管理"),
        QStringLiteral("添加会员"), QStringLiteral("积分调整"), QStringLiteral("导出会员"), QStringLiteral("采购入库"),
        QStringLiteral("调整价格"), QStringLiteral("采购报表"), QStringLiteral("库存管理"), QStringLiteral("库存调拨"),
        QStringLiteral("分类管理"), QStringLiteral("开支管理"), QStringLiteral("查看进价"), QStringLiteral("系统设置"),
    };
    return names;
}

QString &AccountRights::operator[](int position)
{
    return this->*fields[position];
}

const QString &AccountRights::operator[](int position) const
{
    return this->*fields[position];
}

QString AccountRights::value(const QString &column) const
{
    const qsizetype position = columns().indexOf(column);
    return position < 0 ? QString() : (*this)[int(position)];
}
