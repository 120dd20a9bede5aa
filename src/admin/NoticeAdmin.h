#pragma once
// The shop's notice (table 通告管理, one row per shop), edited on the page 店铺初始设置 and shown by
// the notice ticker of the cashier page.
#include <QString>

#include "admin/AdminResult.h"

class AppContext;

namespace admin {

// The most bytes (GBK) a notice may hold.
constexpr int NoticeMaxBytes = 900;

// The first 通告 of the shop's rows (by ID); *found (when given) tells whether the shop has a row.
// "" when it has none or the statement failed.
QString loadNotice(AppContext &context, const QString &shop, bool *found = nullptr);

// Saves the workstation shop's notice: the first save inserts the row, later saves update it.
// Refuses a text of more than 900 GBK bytes and an empty text (which would wipe the stored notice).
// "公告修改成功！" only when the row was written.
AdminResult saveNotice(AppContext &context, const QString &text);

} // namespace admin
