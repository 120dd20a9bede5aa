#include "printing/PrintLayout.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <utility>

namespace printing {

namespace {

// The receipt keys in print.ini order with their initial texts. The page starts with the titles
// shown (text header) and the style number in the first item column.
const std::pair<const char16_t *, const char16_t *> kReceipt[] = {
    {u"纸张宽度", u"570"},
    {u"纸张高度", u"760"},
    {u"小票头部打印文字", u"真"},
    {u"小票头部打印LOGO", u"假"},
    {u"LOGO左边位置", u"10"},
    {u"LOGO顶边位置", u"50"},
    {u"LOGO打印宽度", u"470"},
    {u"LOGO打印高度", u"100"},
    {u"主标题字体大小", u"18"},
    {u"主标题左边位置", u"10"},
    {u"主标题顶边位置", u"10"},
    {u"副标题字体大小", u"14"},
    {u"副标题左边位置", u"10"},
    {u"副标题顶边位置", u"100"},
    {u"日期左边位置", u"10"},
    {u"日期顶边位置", u"190"},
    {u"销售单号左边位置", u"10"},
    {u"销售单号顶边位置", u"240"},
    {u"第一根左边位置", u"1"},
    {u"第一根顶边位置", u"280"},
    {u"款号左边位置", u"10"},
    {u"款号顶边位置", u"300"},
    {u"颜色左边位置", u"170"},
    {u"尺码左边位置", u"260"},
    {u"数量左边位置", u"330"},
    {u"金额左边位置", u"410"},
    {u"打印款号", u"真"},
    {u"打印商品名称", u"假"},
    {u"打印分类", u"假"},
    {u"第二根左边位置", u"1"},
    {u"第二根顶边位置", u"340"},
    {u"合计左边位置", u"10"},
    {u"合计顶边位置", u"370"},
    {u"总金额左边位置", u"410"},
    {u"总金额顶边位置", u"370"},
    {u"第一行左边位置", u"10"},
    {u"第一行顶边位置", u"500"},
    {u"第二行左边位置", u"10"},
    {u"第二行顶边位置", u"540"},
    {u"第三行左边位置", u"10"},
    {u"第三行顶边位置", u"580"},
    {u"第四行左边位置", u"10"},
    {u"第四行顶边位置", u"620"},
    {u"第五行左边位置", u"10"},
    {u"第五行顶边位置", u"660"},
    {u"第六行左边位置", u"10"},
    {u"第六行顶边位置", u"700"},
    {u"主标题", u"主标题"},
    {u"副标题", u"副标题"},
    {u"款号", u"款号"},
    {u"颜色", u"颜色"},
    {u"尺码", u"尺码"},
    {u"数量", u"数量"},
    {u"金额", u"金额"},
    {u"合计金额", u"合计金额："},
    {u"第一行", u"第一行自定义内容"},
    {u"第二行", u"                       第二行自定义内容"},
    {u"第三行", u"第三行自定义内容"},
    {u"第四行", u"                       第四行自定义内容"},
    {u"第五行", u"第五行自定义内容"},
    {u"第六行", u"                       第六行自定义内容"},
};

const std::pair<const char16_t *, const char16_t *> kLabel[] = {
    {u"标签纸张宽", u"400"},
    {u"标签纸张高", u"290"},
    {u"标签款号字体大小", u"9"},
    {u"标签款号左边位置", u"10"},
    {u"标签款号顶边位置", u"10"},
    {u"标签颜色字体大小", u"9"},
    {u"标签颜色左边位置", u"10"},
    {u"标签颜色顶边位置", u"55"},
    {u"标签尺码字体大小", u"9"},
    {u"标签尺码左边位置", u"10"},
    {u"标签尺码顶边位置", u"100"},
    {u"标签价格字体大小", u"12"},
    {u"标签价格左边位置", u"10"},
    {u"标签价格顶边位置", u"145"},
    {u"条码高度", u"800"},
    {u"条码左边位置", u"20"},
    {u"条码顶边位置", u"2000"},
    {u"标款号", u"款号："},
    {u"标颜色", u"颜色："},
    {u"标尺码", u"尺码："},
    {u"标价格", u"价格："},
};

template <typename Table>
QStringList keysOf(const Table &table)
{
    QStringList keys;
    for (const auto &[key, text] : table)
        keys << QString::fromUtf16(key);
    return keys;
}

template <typename Table>
PrintLayout layoutOf(const Table &table)
{
    PrintLayout layout;
    for (const auto &[key, text] : table)
        layout.setText(QString::fromUtf16(key), QString::fromUtf16(text));
    return layout;
}

} // namespace

bool PrintLayout::isOn(const QString &key) const
{
    return text(key) == QStringLiteral("真");
}

int PrintLayout::number(const QString &key) const
{
    return layoutNumber(text(key));
}

int layoutNumber(const QString &text)
{
    return int(std::clamp<qint64>(textToInteger(text), -LayoutNumberLimit, LayoutNumberLimit));
}

const QStringList &receiptLayoutKeys()
{
    static const QStringList keys = keysOf(kReceipt);
    return keys;
}

const QStringList &labelLayoutKeys()
{
    static const QStringList keys = keysOf(kLabel);
    return keys;
}

const QStringList &receiptSwitchKeys()
{
    static const QStringList keys{QStringLiteral("小票头部打印文字"), QStringLiteral("小票头部打印LOGO"),
                                  QStringLiteral("打印款号"), QStringLiteral("打印商品名称"), QStringLiteral("打印分类")};
    return keys;
}

PrintLayout initialReceiptLayout()
{
    return layoutOf(kReceipt);
}

PrintLayout initialLabelLayout()
{
    return layoutOf(kLabel);
}

PrintLook initialLook()
{
    PrintLook look;
    look.receipt = initialReceiptLayout();
    look.label = initialLabelLayout();
    look.logo = QPixmap(QStringLiteral(":/printing/builtin-logo.jpg"));
    look.firstDashes = look.secondDashes = QString(36, u'-');
    return look;
}

} // namespace printing
