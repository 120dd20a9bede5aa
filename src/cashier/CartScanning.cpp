#include "cashier/CartScanning.h"

#include "cashier/Cart.h"
#include "cashier/ItemLookup.h"
#include "cashier/LinePrice.h"
#include "cashier/ProductChooserWindow.h"
#include "context/AppContext.h"
#include "platform/MessageSeam.h"

namespace cashier {

namespace {

// Adds the found item's line; the cashier hears of an own discount factor that could not price it.
int appendItem(AppContext &context, Cart &cart, const FoundItem &item, QWidget *parent)
{
    const int row = cart.append(lineFromItem(item, context));
    const QString notice = itemFactorNotice(item.特价, item.折扣, context.discountScheme, item.名称, item.款号);
    if (!notice.isEmpty())
        MessageSeam::message(parent, QString(), notice);
    return row;
}

} // namespace

int scanItemIntoCart(AppContext &context, Cart &cart, const QString &typed, QWidget *parent)
{
    if (typed.isEmpty()) {
        MessageSeam::message(parent, QString(), kEmptyScanText);
        return -1;
    }
    const LookupResult found = lookupItems(context, typed);
    if (!found.ok) {
        MessageSeam::message(parent, QString(), lookupFailedText(found.error));
        return -1;
    }
    if (found.items.isEmpty()) {
        MessageSeam::message(parent, QString(),
                             found.key.kind == SearchKind::Barcode ? kNoBarcodeMatchText : kNoStyleMatchText);
        return -1;
    }
    if (found.items.size() == 1)
        return appendItem(context, cart, found.items.first(), parent);

    ProductChooserWindow chooser(found.key, found.items, parent);
    MessageSeam::exec(&chooser);
    if (!chooser.pickedItem().picked())
        return -1;
    return appendItem(context, cart, chooser.pickedItem().item, parent);
}

} // namespace cashier
