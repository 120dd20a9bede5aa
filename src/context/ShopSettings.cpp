#include "context/ShopSettings.h"

namespace {
using Field = QString ShopSettings::*;
constexpr Field fields[ShopSettings::count] = {
    &ShopSettings::销售,     &ShopSettings::积分模式, &ShopSettings::积分值,   &ShopSettings::抵扣值,
    &ShopSettings::折上折,   &ShopSettings::升级模式, &ShopSettings::会员共享, &ShopSettings::开启公告,
    &ShopSettings::公告间隔, &ShopSettings::满就送,   &ShopSettings::生日提醒, &ShopSettings::上限报警,
    &ShopSettings::下限报警, &ShopSettings::报警开关,
};
} // namespace

const QStringList &ShopSettings::columns()
{
    static const QStringList names{
        QStringLiteral("销售"),     QStringLiteral("积分模式"), QStringLiteral("积分值"),   QStringLiteral("抵扣值"),
        QStringLiteral("折上折"),   QStringLiteral("升级模式"), QStringLiteral("会员共享"), QStringLiteral("开启公告"),
        QStringLiteral("公告间隔"), QStringLiteral("满就送"),   QStringLiteral("生日提醒"), QStringLiteral("上限报警"),
        QStringLiteral("下限报警"), QStringLiteral("报警开关"),
    };
    return names;
}

QString &ShopSettings::operator[](int position)
{
    return this->*fields[position];
}

const QString &ShopSettings::operator[](int position) const
{
    return this->*fields[position];
}
