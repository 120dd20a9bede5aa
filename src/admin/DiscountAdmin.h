#pragma once
// The shop's discount scheme (table 折扣方案, group 折扣方案 of the page 店铺初始设置) and the
// style-number prefix. Every handler updates the shop's row when it has one and inserts one
// otherwise; discountScheme in the context changes only after the write succeeded.
#include <QString>

#include "data/Sql.h"
#include "admin/AdminResult.h"

class AppContext;

namespace admin {

// Why a stored uniform discount factor cannot be used, "" when it can: empty (no uniform discount)
// or a decimal number f with 0 < f <= 1 written out in full ("0.9", ".75", "1"); "7", "abc", "0"
// and the half-typed "0." are refused.
QString discountFactorProblem(const QString &text);
// Why a factor cannot be made the uniform discount, "" when it can: as discountFactorProblem, and
// an empty text is refused too (the uniform mode needs a factor).
QString uniformFactorProblem(const QString &text);

// Update-or-insert of the workstation shop's scheme row. False when no shop is chosen or the write
// failed; on success the context's fields of the named columns change.
bool writeDiscountScheme(AppContext &context, const data::Pairs &pairs);

// 全场统一: uniform factor from 编辑框4 and 商品折扣 "假". An empty or invalid factor is refused with
// the reason, and nothing is written.
AdminResult toggleUniformDiscount(AppContext &context, const QString &factorText);
// 商品自身折扣: 统一折扣 "" and 商品折扣 "真".
AdminResult toggleItemOwnDiscount(AppContext &context);
// 允许自由优惠 as the box shows it.
AdminResult toggleFreeDiscount(AppContext &context, bool ticked);
// 编辑框4 on every change: stored only while 全场统一 is the selected mode and the text is a valid
// factor; otherwise nothing is written and the reason comes back (shown inline), so the stored
// factor stays in force until a valid one is typed.
AdminResult saveUniformDiscount(AppContext &context, const QString &text, bool uniformSelected);
// 款号首字母 (保存设置 beside 编辑框7); an empty prefix is stored empty. No message on success.
AdminResult saveStyleNoPrefix(AppContext &context, const QString &text);

} // namespace admin
