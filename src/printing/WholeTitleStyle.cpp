#include "printing/WholeTitleStyle.h"

#include <QStyleOptionGroupBox>

namespace printing {

WholeTitleStyle::WholeTitleStyle() : QProxyStyle() {}

QRect WholeTitleStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                                      const QWidget *widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
    if (control != CC_GroupBox || subControl != SC_GroupBoxLabel)
        return rect;
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (!box || box->text.isEmpty())
        return rect;
    // The text as drawn (advances, mnemonics shown as the style shows them) plus the margin the
    // style leaves around its ink.
    const int whole = box->fontMetrics.size(Qt::TextShowMnemonic, box->text).width() + 2;
    if (rect.width() < whole) {
        if (box->textAlignment & Qt::AlignRight)
            rect.setLeft(rect.right() - whole + 1);
        else if (box->textAlignment & Qt::AlignHCenter)
            rect.adjust(-(whole - rect.width()) / 2, 0, (whole - rect.width() + 1) / 2, 0);
        else
            rect.setWidth(whole);
    }
    return rect;
}

} // namespace printing
