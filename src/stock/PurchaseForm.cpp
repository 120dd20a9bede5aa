#include "stock/PurchaseForm.h"

namespace stock {

void clearPurchaseForm(PurchaseForm &form)
{
    const QString supplier = form.supplier;
    const QString preview = form.discountedPrice;
    form = PurchaseForm();
    form.supplier = supplier;
    form.discountedPrice = preview;
}

} // namespace stock
