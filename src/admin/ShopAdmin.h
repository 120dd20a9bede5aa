#pragma once
// Shops and the shop settings of the page 店铺初始设置: adding, deleting and choosing the
// workstation's shop, and one handler per setting. Each setting handler writes the shop's 店铺名 row
// at once and changes shopSettings in the context only after the row was written.
#include <QString>
#include <QStringList>

#include "admin/AdminResult.h"

class AppContext;
class SettingsFile;

namespace admin {

// Every 店名 of 店铺名 in id order.
QStringList shopNames(AppContext &context);
// Whether the shop has its 店铺名 row; *failed (when given) tells a read that did not run.
bool shopExists(AppContext &context, const QString &name, bool *failed = nullptr);

// Adds a shop: its 店铺名 row holding only 店名, and the style-number seed "1000" unless the shop
// already has one. The name is stored as typed, without leading and trailing blanks.
AdminResult addShop(AppContext &context, const QString &typedName);

// The Yes/No question before a shop is deleted.
QString deleteShopQuestion(const QString &shop);
// Deletes only the shop's 店铺名 row (its data stays); the workstation's shop and sql.ini stay.
AdminResult deleteShop(AppContext &context, const QString &shop);

// What the page shows when the workstation is bound to a shop.
struct ShopBindingPage
{
    bool uniformTicked = false;  // 选择框11 全场统一
    bool itemOwnTicked = false;  // 选择框10 商品自身折扣
    bool roundingTicked = false; // one of 选择框15/16/17
    QString factorText;          // 编辑框4
};
struct ShopBindingResult
{
    AdminResult result;
    bool tickUniform = false;  // tick 选择框11
    bool tickInteger = false;  // tick 选择框15
};
// Binds this workstation to the shop (保存设置 beside the shop combo): sql.ini [当前店铺] 1 in comma
// form, currentShop, member sharing on, and the pricing and rounding defaults when the page has none.
// Without a pricing mode the message says which uniform factor was set, or why none was.
ShopBindingResult saveShopSettings(AppContext &context, const SettingsFile &settingsFile,
                                   const QString &shop, const ShopBindingPage &page);

// The rounding boxes: decimals 0, 1 or 2.
AdminResult selectRounding(AppContext &context, int decimals);
// Points mode and points-and-upgrade mode, with the two values of 编辑框5 and 编辑框6.
AdminResult enablePointsMode(AppContext &context, const QString &pointsValue, const QString &deductionValue);
AdminResult enableUpgradeMode(AppContext &context, const QString &pointsValue, const QString &deductionValue);
// 会员折上折; allowed only while the upgrade mode is on.
AdminResult setDiscountOnDiscount(AppContext &context, bool on);
// 编辑框5 / 编辑框6 on every change (shown inline, never as a box).
AdminResult savePointsValue(AppContext &context, const QString &text);
AdminResult saveDeductionValue(AppContext &context, const QString &text);
// 库上 / 库下 on every change: empty or a whole number (optional sign, digits); anything else is
// refused with nothing written.
AdminResult saveStockUpperAlarm(AppContext &context, const QString &text);
AdminResult saveStockLowerAlarm(AppContext &context, const QString &text);
bool isWholeNumberOrEmpty(const QString &text);

AdminResult setMemberSharing(AppContext &context, bool on);
AdminResult setBirthdayReminder(AppContext &context, bool on);
AdminResult setAutoPromotion(AppContext &context, bool on);
AdminResult setStockAlarm(AppContext &context, bool on);
// 开启公告 with the reload interval of 编辑框11 (milliseconds).
AdminResult setNoticeTicker(AppContext &context, bool on, const QString &intervalText);

} // namespace admin
