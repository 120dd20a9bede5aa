#pragma once
#include <QString>
#include <QStringList>

// The shop's settings: the columns of the same names of the shop's 店铺名 row, in this order.
// Flags are "真" or "假"; any other text counts as off.
struct ShopSettings
{
    QString 销售;     // decimals of sale amounts: "0", "1" or "2"
    QString 积分模式;
    QString 积分值;   // minimum points to pay with points
    QString 抵扣值;   // points per unit of money
    QString 折上折;
    QString 升级模式;
    QString 会员共享; // "真": members are valid in every shop
    QString 开启公告;
    QString 公告间隔;
    QString 满就送;   // "真": full-amount promotions on
    QString 生日提醒;
    QString 上限报警; // the shop's upper stock bound, a whole number as text
    QString 下限报警; // the shop's lower stock bound
    QString 报警开关; // "真": the shop's stock alarm is on

    static constexpr int count = 14;
    static const QStringList &columns();
    QString &operator[](int position);
    const QString &operator[](int position) const;
};
