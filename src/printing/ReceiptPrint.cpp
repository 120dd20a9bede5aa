#include "printing/ReceiptPrint.h"

#include "platform/NumberText.h"
#include "printing/PrintDevice.h"
#include "printing/PrintSettings.h"

namespace printing {

namespace {

constexpr int kRowPitch = 60;

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
}

} // namespace

int receiptPaperLength(const PrintLayout &receipt, int rows)
{
    return receipt.number(QStringLiteral("纸张高度")) + kRowPitch * std::max(rows, 1);
}

QString receiptDateLine(const DateParts &today, const QTime &now)
{
    return today.year + u'年' + today.month + u'月' + today.day + u'日' + QString(6, u' ') + twoDigits(now.hour())
           + u'点' + twoDigits(now.minute()) + u'分';
}

bool printReceipt(PrintDevice &device, const PrintLook &look, const Receipt &receipt, const DateParts &today,
                  const QTime &now)
{
    const PrintLayout &r = look.receipt;
    const auto n = [&r](const char16_t *key) { return r.number(QString::fromUtf16(key)); };
    const auto t = [&r](const char16_t *key) { return r.text(QString::fromUtf16(key)); };
    const int rows = int(receipt.lines.size());
    const int offset = kRowPitch * rows;

    device.setJobName(receipt.jobName.isEmpty() ? receipt.receiptNo : receipt.jobName);
    device.setUnit(PrintUnit::TenthMillimetre);
    device.setFillColour(Qt::white);
    if (!device.startJob(n(u"纸张宽度"), receiptPaperLength(r, rows)))
        return false;

    const QFont body = layoutFont(look.label.text(QStringLiteral("标签尺码字体大小")));
    if (r.isOn(QStringLiteral("小票头部打印文字"))) {
        device.setFont(layoutFont(t(u"主标题字体大小"), true));
        device.setPosition(n(u"主标题左边位置"), n(u"主标题顶边位置"));
        device.printLines(t(u"主标题"));
        device.setFont(layoutFont(t(u"副标题字体大小")));
        device.setPosition(n(u"副标题左边位置"), n(u"副标题顶边位置"));
        device.printLines(t(u"副标题"));
    }
    if (r.isOn(QStringLiteral("小票头部打印LOGO")))
        device.drawPicture(n(u"LOGO左边位置"), n(u"LOGO顶边位置"), n(u"LOGO打印宽度"), n(u"LOGO打印高度"), look.logo);

    device.setFont(body);
    device.setPosition(n(u"日期左边位置"), n(u"日期顶边位置"));
    device.printLines(receiptDateLine(today, now));
    device.setPosition(n(u"销售单号左边位置"), n(u"销售单号顶边位置"));
    device.printLines(QStringLiteral("销售单号：") + receipt.receiptNo);

    device.setFont(dashedLineFont());
    device.setPosition(n(u"第一根左边位置"), n(u"第一根顶边位置"));
    device.printLines(look.firstDashes);

    device.setFont(body);
    const int captionTop = n(u"款号顶边位置");
    const int lefts[5] = {n(u"款号左边位置"), n(u"颜色左边位置"), n(u"尺码左边位置"), n(u"数量左边位置"), n(u"金额左边位置")};
    const QString captions[5] = {t(u"款号"), t(u"颜色"), t(u"尺码"), t(u"数量"), t(u"金额")};
    for (int i = 0; i < 5; ++i) {
        device.setPosition(lefts[i], captionTop);
        device.printLines(captions[i]);
    }
    double total = 0;
    for (int row = 1; row <= rows; ++row) {
        const ReceiptLine &line = receipt.lines.at(row - 1);
        const int y = captionTop + kRowPitch * row;
        device.setPosition(lefts[0], y);
        if (r.isOn(QStringLiteral("打印款号")))
            device.printLines(line.款号);
        if (r.isOn(QStringLiteral("打印商品名称")))
            device.printLines(line.商品名称);
        if (r.isOn(QStringLiteral("打印分类")))
            device.printLines(line.分类);
        const QString cells[4] = {line.颜色, line.尺码, line.数量, line.金额};
        for (int i = 0; i < 4; ++i) {
            device.setPosition(lefts[i + 1], y);
            device.printLines(cells[i]);
        }
        total += textToNumber(line.金额);
    }

    device.setFont(dashedLineFont());
    device.setPosition(n(u"第二根左边位置"), n(u"第二根顶边位置") + offset);
    device.printLines(look.secondDashes);

    device.setFont(body);
    device.setPosition(n(u"合计左边位置"), n(u"合计顶边位置") + offset);
    device.printLines(t(u"合计金额"));
    device.setPosition(n(u"总金额左边位置"), n(u"总金额顶边位置") + offset);
    device.printLines(printedAmountText(total));
    const char16_t *footers[6] = {u"第一行", u"第二行", u"第三行", u"第四行", u"第五行", u"第六行"};
    for (const char16_t *footer : footers) {
        const QString key = QString::fromUtf16(footer);
        if (r.text(key).isEmpty())
            continue;
        device.setPosition(r.number(key + QStringLiteral("左边位置")), r.number(key + QStringLiteral("顶边位置")) + offset);
        device.printLines(r.text(key));
    }
    device.endJob();
    return true;
}

QString testPrintJobName(const QDateTime &time, int number)
{
    return stampedJobName(QStringLiteral("test"), time, number);
}

} // namespace printing
