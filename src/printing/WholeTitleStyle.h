#pragma once
// The application's style, except that a group box's title is given the whole width its text takes
// when drawn. The style sizes the title by the ink of its glyphs, which is narrower than the text
// as laid out when it begins with a wide-bearing character such as "【": the title was then cut at
// its end ("【2", "【6】打印项E").
#include <QProxyStyle>

namespace printing {

class WholeTitleStyle : public QProxyStyle
{
    Q_OBJECT
public:
    WholeTitleStyle();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                         const QWidget *widget = nullptr) const override;
};

} // namespace printing
