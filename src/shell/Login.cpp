#include "shell/Login.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MessageSeam.h"

namespace shell {

QString otherShopText(const QString &accountShop, const QString &currentShop)
{
    return QStringLiteral("该帐号所属【") + accountShop + QStringLiteral("】店铺，不能在【") + currentShop
        + QStringLiteral("】店铺，登陆使用！");
}

namespace {

void clearAccount(AppContext &context)
{
    context.currentAccount.clear();
    context.currentUserName.clear();
    context.accountRights = AccountRights();
    context.accountShop.clear();
}

} // namespace

LoginResult checkLogin(AppContext &context, const QString &account, const QString &password)
{
    data::Connection &connection = context.connection();
    data::RecordSet rs(connection);
    rs.open(data::buildSelectSql(connection.dialect(), QStringLiteral("帐号管理"),
                                 data::both(data::eq(QStringLiteral("帐号"), account),
                                            data::eq(QStringLiteral("密码"), password)),
                                 true, QStringLiteral("id ASC"), true));
    if (rs.rowCount() <= 0) {
        clearAccount(context);
        return {LoginOutcome::Refused, QString()};
    }
    // The same name and password may exist in two shops: this workstation's row decides.
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        if (rs.text(QStringLiteral("所属店铺")) == context.currentShop)
            break;
    }
    if (rs.pastLast())
        rs.moveFirst();

    context.currentAccount = account;
    context.currentUserName = rs.text(QStringLiteral("姓名"));
    for (int i = 0; i < AccountRights::count; ++i)
        context.accountRights[i] = rs.text(AccountRights::columns().at(i));
    context.accountShop = rs.text(QStringLiteral("所属店铺"));

    const QString shop = context.accountShop;
    if (!context.currentShop.isEmpty() && context.currentShop == shop)
        return {LoginOutcome::Admitted, shop};
    if (context.currentAccount == QLatin1String("admin") || context.currentShop.isEmpty())
        return {LoginOutcome::AdmittedForSetup, shop};
    clearAccount(context);
    return {LoginOutcome::OtherShop, shop};
}

bool login(AppContext &context, const QString &account, const QString &password, QWidget *parent)
{
    const LoginResult result = checkLogin(context, account, password);
    switch (result.outcome) {
    case LoginOutcome::Refused:
        MessageSeam::message(parent, QString(), WrongLoginText, MessageIcon::Warning);
        return false;
    case LoginOutcome::AdmittedForSetup:
        MessageSeam::message(parent, SetupNoticeTitle, SetupNoticeText);
        return true;
    case LoginOutcome::Admitted:
        return true;
    case LoginOutcome::OtherShop:
        MessageSeam::message(parent, QString(), otherShopText(result.accountShop, context.currentShop));
        return false;
    }
    return false;
}

} // namespace shell
