#pragma once
// The helpers of the purchase form's combos: narrowing a list by typed pinyin initials and the
// name search on Enter.
#include <QString>
#include <QStringList>

class AppContext;

namespace stock {

// The items whose pinyin initials contain the typed text, ASCII case ignored, in their order.
// An empty text keeps every item whose initials are not empty.
QStringList filterByInitials(const QStringList &items, const QString &typed);

// The names of the shop's rows in stock whose search key contains the initials of the typed text,
// each name once, in the order of its lowest id. Empty for an empty text.
QStringList searchProductNames(AppContext &context, const QString &typed);

} // namespace stock
