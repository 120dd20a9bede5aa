#include "stock/FormLists.h"

#include "context/AppContext.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "stock/StockRules.h"

#include <QSet>

namespace stock {

QStringList filterByInitials(const QStringList &items, const QString &typed)
{
    QStringList kept;
    for (const QString &item : items) {
        const QString initials = data::toPinyinInitials(item);
        if (initials.isEmpty())
            continue;
        if (initials.contains(typed, Qt::CaseInsensitive))
            kept.append(item);
    }
    return kept;
}

QStringList searchProductNames(AppContext &context, const QString &typed)
{
    QStringList names;
    if (typed.isEmpty())
        return names;
    data::Connection &db = context.connection();
    const data::Dialect &d = db.dialect();
    const data::Sql where =
        data::both(data::both(notEmpty(QStringLiteral("名称")),
                              inStockOfShop(d, context.currentShop)),
                   containsText(d, QStringLiteral("拼音检索"), searchKeyOf(typed)));
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(d, kStockTable, where, true, QStringLiteral("id ASC"), true)))
        return names;
    QSet<QString> seen;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("名称"));
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

} // namespace stock
