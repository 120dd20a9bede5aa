#include "admin/PromotionAdmin.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

#include <QRegularExpression>

namespace admin {

namespace {

const QString PromotionTable = QStringLiteral("满额促销");

// Why the pair cannot be stored, "" when it can.
QString pairProblem(const QString &threshold, const QString &reduction, const QDate &endDate)
{
    static const QRegularExpression whole(QStringLiteral("^[0-9]+$"));
    const QString notWhole = QStringLiteral("满和减请填写整数，满必须大于0！");
    if (!whole.match(threshold).hasMatch() || !whole.match(reduction).hasMatch())
        return notWhole;
    if (!moneyWithinCeiling(threshold) || !moneyWithinCeiling(reduction))
        return moneyCeilingText();
    if (threshold.toLongLong() <= 0)
        return notWhole;
    if (!endDate.isValid())
        return QStringLiteral("请选择促销截止时间！");
    return {};
}

data::Pairs promotionPairs(const AppContext &context, const QString &threshold, const QString &reduction,
                           const QDate &endDate)
{
    return {{QStringLiteral("满"), threshold},
            {QStringLiteral("送"), reduction},
            {QStringLiteral("截止时间"), promotionDateText(endDate)},
            {QStringLiteral("所属店铺"), context.currentShop}};
}

} // namespace

QList<PromotionRow> loadPromotions(AppContext &context)
{
    QList<PromotionRow> list;
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(connection.dialect(), PromotionTable,
                                        data::eq(QStringLiteral("所属店铺"), context.currentShop), true,
                                        QStringLiteral("ID ASC"), true)))
        return list;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
        list.append({rows.integer(QStringLiteral("ID")), rows.text(QStringLiteral("满")),
                     rows.text(QStringLiteral("送")), rows.text(QStringLiteral("截止时间"))});
    return list;
}

QString promotionDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate promotionDate(const QString &text)
{
    const QStringList parts = text.split(u'-');
    if (parts.size() != 3)
        return {};
    bool okYear = false, okMonth = false, okDay = false;
    const QDate date(parts[0].toInt(&okYear), parts[1].toInt(&okMonth), parts[2].toInt(&okDay));
    return okYear && okMonth && okDay ? date : QDate();
}

AdminResult addPromotion(AppContext &context, const QString &threshold, const QString &reduction,
                         const QDate &endDate)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    const QString problem = pairProblem(threshold, reduction, endDate);
    if (!problem.isEmpty())
        return AdminResult::refused(problem);
    data::Connection &connection = context.connection();
    if (!connection.execute(data::buildInsertSql(connection.dialect(), PromotionTable,
                                                 promotionPairs(context, threshold, reduction, endDate))))
        return AdminResult::refused(texts::SaveFailed);
    return AdminResult::ok();
}

AdminResult updatePromotion(AppContext &context, qint64 id, const QString &threshold,
                            const QString &reduction, const QDate &endDate)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    if (id <= 0)
        return AdminResult::refused(QStringLiteral("请先在列表中选择要修改的促销！"));
    const QString problem = pairProblem(threshold, reduction, endDate);
    if (!problem.isEmpty())
        return AdminResult::refused(problem);
    data::Connection &connection = context.connection();
    const data::Sql update = data::buildUpdateSql(connection.dialect(), PromotionTable,
                                                  promotionPairs(context, threshold, reduction, endDate),
                                                  data::eq(QStringLiteral("ID"), id), true);
    if (!connection.execute(update) || connection.numRowsAffected() != 1)
        return AdminResult::refused(texts::SaveFailed);
    return AdminResult::ok();
}

} // namespace admin
