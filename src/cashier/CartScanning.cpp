#include "cashier/CartScanning.h"

#include "cashier/Cart.h"
#include "cashier/ItemLookup.h"
#include "cashier/ProductChooserWindow.h"
#include "platform/MessageSeam.h"

namespace cashier {

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
        return cart.append(lineFromItem(found.items.first(), context));

    ProductChooserWindow chooser(found.key, found.items, parent);
    MessageSeam::exec(&chooser);
    if (!chooser.pickedItem().picked())
        return -1;
    return cart.append(lineFromItem(chooser.pickedItem().item, context));
}

} // namespace cashier
