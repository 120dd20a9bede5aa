#pragma once
// Checking an account name and password against 帐号管理 and deciding whether the account may work
// on this workstation (whose shop is currentShop). The typed texts reach the database bound.
#include <QString>

class AppContext;
class QWidget;

namespace shell {

enum class LoginOutcome {
    Refused,          // no such account and password, or the table could not be read
    Admitted,         // the account of this workstation's shop
    AdmittedForSetup, // "admin", or any account on a workstation without a shop: the set-up notice first
    OtherShop,        // an account of another shop: refused, naming both shops
};

inline const QString WrongLoginText = QStringLiteral("您输入的帐号或密码不对");
inline const QString SetupNoticeTitle = QStringLiteral("admin帐号仅用于初始化设置");
inline const QString SetupNoticeText = QStringLiteral(
    "1、稍后请在系统设置--店铺初始化设置--添加店铺名并为本机指定一个店铺\r\n"
    "2、然后添加一个帐号，用添加的帐号登陆进行其它设置！\r\n\r\n"
    "admin帐号除了帐号权限管理、添加店铺、为本机指定店铺外。\r\n请勿做其它设置！");
QString otherShopText(const QString &accountShop, const QString &currentShop);

// Looks the account up and, when it may log in, copies it into the context (currentAccount as
// typed, currentUserName, accountRights, accountShop). A refused account leaves those four empty.
// Of several matching rows the one of this workstation's shop counts, else the first by id.
struct LoginResult
{
    LoginOutcome outcome = LoginOutcome::Refused;
    QString accountShop; // 所属店铺 of the account found
};
LoginResult checkLogin(AppContext &context, const QString &account, const QString &password);

// checkLogin() with its messages; true when the main window is to open.
bool login(AppContext &context, const QString &account, const QString &password, QWidget *parent);

} // namespace shell
