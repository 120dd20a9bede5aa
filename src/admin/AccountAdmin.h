#pragma once
// Accounts and their twenty rights (table 帐号管理, page 帐号权限管理). The administrator account
// is the row whose stored 帐号 is "admin" (byte for byte): it is never deleted, never renamed, and
// only its password changes. Updates and deletes act on the row selected in the account list.
#include <QList>
#include <QString>
#include <QStringList>

#include "admin/AdminResult.h"

class AppContext;

namespace admin {

inline const QString AdminAccount = QStringLiteral("admin");

struct AccountRecord
{
    qint64 id = 0;
    QString account;  // 帐号
    QString password; // 密码
    QString name;     // 姓名
    QString phone;    // 电话
    QString shop;     // 所属店铺
    QStringList rights; // the twenty right columns as stored, in column order

    // The list row: id, the five texts, the twenty rights.
    QStringList cells() const;
};

// What the page's boxes hold.
struct AccountForm
{
    QString account;
    QString password;
    QString name;
    QString phone;
    QString shop;        // 店铺组8 (used by update; add always takes the workstation's shop)
    QList<bool> rights;  // twenty ticks in column order (missing ones count unticked)
};

// The workstation shop's accounts, in id order.
QList<AccountRecord> loadShopAccounts(AppContext &context);
// Every shop's accounts, in id order.
QList<AccountRecord> loadAllAccounts(AppContext &context);
// The stored row of an id; id 0 when there is none.
AccountRecord loadAccount(AppContext &context, qint64 id);

AdminResult addAccount(AppContext &context, const AccountForm &form);
// selectedId: the id of the row selected in the account list, 0 when none is.
AdminResult updateAccount(AppContext &context, qint64 selectedId, const AccountForm &form);
AdminResult deleteAccount(AppContext &context, qint64 selectedId);
// Only the login "admin" may list every shop's accounts.
AdminResult mayShowAllAccounts(const AppContext &context);

} // namespace admin
