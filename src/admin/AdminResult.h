#pragma once
// What a settings handler did: whether it wrote, and the text the page shows (empty: nothing to show).
#include <QString>

namespace admin {

struct AdminResult
{
    bool done = false; // the write happened (or, for a check, the value is good)
    QString message;   // the text to show; "" for none

    static AdminResult ok(const QString &message = QString()) { return {true, message}; }
    static AdminResult refused(const QString &message = QString()) { return {false, message}; }
};

// Texts shared by several handlers of the settings pages.
namespace texts {
inline const QString NoWorkstationShop = QStringLiteral("请在上面先指定本机当前使用哪个店铺");
inline const QString SaveFailed = QStringLiteral("保存失败，数据库没有写入，请检查数据库连接后重试！");
} // namespace texts

} // namespace admin
