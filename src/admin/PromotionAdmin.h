#pragma once
// Full-amount promotions of the workstation's shop (table 满额促销, group 满额促销 of the page
// 店铺初始设置). Rows are never deleted; a promotion is changed into another one.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "admin/AdminResult.h"

class AppContext;

namespace admin {

struct PromotionRow
{
    qint64 id = 0;
    QString threshold; // 满
    QString reduction; // 送 (shown as 减)
    QString endDate;   // 截止时间 "YYYY-MM-DD"

    QStringList cells() const { return {QString::number(id), threshold, reduction, endDate}; }
};

// The shop's promotions, oldest first.
QList<PromotionRow> loadPromotions(AppContext &context);

// "YYYY-MM-DD" of a picked date.
QString promotionDateText(const QDate &date);
// The date of a stored 截止时间; invalid for a text that is no such date.
QDate promotionDate(const QString &text);

// Adds a promotion of the workstation's shop. 满 must be a whole number above 0 and 减 a whole
// number of 0 or more, so a threshold is never stored without its reduction; neither has more
// digits than the money ceiling.
AdminResult addPromotion(AppContext &context, const QString &threshold, const QString &reduction,
                         const QDate &endDate);
// Changes the selected row (id <= 0: none selected), keeping its id; its shop becomes the
// workstation's shop.
AdminResult updatePromotion(AppContext &context, qint64 id, const QString &threshold,
                            const QString &reduction, const QDate &endDate);

} // namespace admin
