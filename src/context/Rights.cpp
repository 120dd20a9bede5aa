#include "context/Rights.h"

#include "context/AppContext.h"
#include "platform/MessageSeam.h"

namespace rights {

QString refusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::Standard: return QStringLiteral("没有权限！");
    case Refusal::Cashier: return QStringLiteral("你没有前台收银权限！");
    case Refusal::NoExclamation: return QStringLiteral("没有权限");
    case Refusal::Silent: break;
    }
    return {};
}

bool isGranted(const QString &field)
{
    return field == AppContext::Granted;
}

bool hasRight(const AppContext &context, const QString &right)
{
    return isGranted(context.accountRights.value(right));
}

bool checkRight(const AppContext &context, const QString &right, QWidget *parent, Refusal refusal)
{
    if (hasRight(context, right))
        return true;
    const QString text = refusalText(refusal);
    if (!text.isEmpty())
        MessageSeam::message(parent, QString(), text, MessageIcon::None);
    return false;
}

} // namespace rights
