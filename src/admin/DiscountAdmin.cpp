#include "admin/DiscountAdmin.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"

#include <QRegularExpression>

namespace admin {

namespace {

const QString SchemeTable = QStringLiteral("折扣方案");
const QString ShopColumn = QStringLiteral("所属店铺");

AdminResult written(bool ok)
{
    return ok ? AdminResult::ok() : AdminResult::refused(texts::SaveFailed);
}

} // namespace

QString discountFactorProblem(const QString &text)
{
    if (text.isEmpty())
        return {};
    if (!isUsableDiscountFactor(text))
        return QStringLiteral("折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75");
    return {};
}

QString uniformFactorProblem(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("请先填写全场统一的折扣，比如：9折 输入0.9，75折 输入0.75");
    return discountFactorProblem(text);
}

bool writeDiscountScheme(AppContext &context, const data::Pairs &pairs)
{
    if (context.currentShop.isEmpty())
        return false;
    data::Connection &connection = context.connection();
    const data::Dialect &dialect = connection.dialect();
    const data::Sql ofShop = data::eq(ShopColumn, context.currentShop);
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(dialect, SchemeTable, ofShop, true, QStringLiteral("id ASC"), true)))
        return false;
    bool ok;
    if (rows.rowCount() > 0) {
        ok = connection.execute(data::buildUpdateSql(dialect, SchemeTable, pairs, ofShop, true));
    } else {
        data::Pairs insert = pairs;
        insert.append({ShopColumn, context.currentShop});
        ok = connection.execute(data::buildInsertSql(dialect, SchemeTable, insert));
    }
    if (!ok)
        return false;
    const QStringList &columns = DiscountScheme::columns();
    for (const auto &pair : pairs) {
        const qsizetype position = columns.indexOf(pair.first);
        if (position >= 0)
            context.discountScheme[int(position)] = pair.second.toString();
    }
    return true;
}

AdminResult toggleUniformDiscount(AppContext &context, const QString &factorText)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    const QString problem = uniformFactorProblem(factorText);
    if (!problem.isEmpty())
        return AdminResult::refused(problem);
    return written(writeDiscountScheme(context, {{QStringLiteral("统一折扣"), factorText},
                                                 {QStringLiteral("商品折扣"), AppContext::FlagOff}}));
}

AdminResult toggleItemOwnDiscount(AppContext &context)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    return written(writeDiscountScheme(context, {{QStringLiteral("统一折扣"), QString()},
                                                 {QStringLiteral("商品折扣"), AppContext::FlagOn}}));
}

AdminResult toggleFreeDiscount(AppContext &context, bool ticked)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    return written(writeDiscountScheme(
        context, {{QStringLiteral("自由优惠"), ticked ? AppContext::FlagOn : AppContext::FlagOff}}));
}

AdminResult saveUniformDiscount(AppContext &context, const QString &text, bool uniformSelected)
{
    const QString problem = uniformFactorProblem(text);
    if (!problem.isEmpty())
        return AdminResult::refused(problem);
    if (!uniformSelected)
        return AdminResult::refused(QStringLiteral("勾选全场统一后，此折扣才会保存并生效"));
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    return written(writeDiscountScheme(context, {{QStringLiteral("统一折扣"), text}}));
}

AdminResult saveStyleNoPrefix(AppContext &context, const QString &text)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    return written(writeDiscountScheme(context, {{QStringLiteral("款号字母"), text}}));
}

} // namespace admin
