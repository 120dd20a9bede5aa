#pragma once
// The helpers of the purchase form's combos: narrowing a list by typed pinyin initials and the
// name search on Enter.
#include <QString>
#include <QStringList>

class AppContext;

namespace stock {

// The items in which the typed text occurs, in their order. A typed character stands for the
// same character of the item or for its pinyin initial (ASCII case ignored), so typed initials
// narrow as before, a typed or matched name keeps matching itself, and a name followed by
// initials ("红色t") matches what goes on with them (红色条纹). Characters the search code drops
// are passed over inside a match. An empty text keeps every item whose initials are not empty.
QStringList filterByInitials(const QStringList &items, const QString &typed);

// The names of the shop's rows in stock whose search key contains the initials of the typed text,
// each name once, in the order of its lowest id. Empty for an empty text.
QStringList searchProductNames(AppContext &context, const QString &typed);

} // namespace stock
