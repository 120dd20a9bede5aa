#pragma once
// scanItemIntoCart: the Enter of the scan box. Finds the typed code among the shop's items in
// stock; one match joins the cart, several open the product chooser (modal, through the message
// seam), none is reported. Messages are plain boxes.
#include <QString>

class AppContext;
class QWidget;

namespace cashier {

class Cart;

// The row of the line added, or -1 when none was (empty input, no match, chooser closed without a
// pick, failed query).
int scanItemIntoCart(AppContext &context, Cart &cart, const QString &typed, QWidget *parent = nullptr);

} // namespace cashier
