#include "printing/LabelPrint.h"

#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/ProgramLog.h"
#include "printing/PrintDevice.h"
#include "printing/PrintSettings.h"

namespace printing {

bool printLabel(PrintDevice &device, const PrintLook &look, const LabelTexts &label)
{
    const PrintLayout &l = look.label;
    const auto n = [&l](const char16_t *key) { return l.number(QString::fromUtf16(key)); };
    const auto t = [&l](const char16_t *key) { return l.text(QString::fromUtf16(key)); };
    device.setUnit(PrintUnit::TenthMillimetre);
    device.setFillColour(Qt::white);
    if (!device.startJob(n(u"标签纸张宽"), n(u"标签纸张高")))
        return false;
    const struct {
        const char16_t *size, *left, *top, *caption;
        QString value;
    } fields[] = {
        {u"标签款号字体大小", u"标签款号左边位置", u"标签款号顶边位置", u"标款号", label.styleNo},
        {u"标签颜色字体大小", u"标签颜色左边位置", u"标签颜色顶边位置", u"标颜色", label.colour},
        {u"标签尺码字体大小", u"标签尺码左边位置", u"标签尺码顶边位置", u"标尺码", label.size},
        {u"标签价格字体大小", u"标签价格左边位置", u"标签价格顶边位置", u"标价格",
         printedAmountText(textToNumber(label.tagPrice))},
    };
    for (const auto &f : fields) {
        device.setFont(layoutFont(t(f.size)));
        device.setPosition(n(f.left), n(f.top));
        device.printLines(t(f.caption) + f.value);
    }
    device.setUnit(PrintUnit::HundredthMillimetre);
    device.drawBarcode(label.barcode, n(u"条码左边位置"), n(u"条码顶边位置"), n(u"条码高度"));
    device.endJob();
    return true;
}

QString labelJobName(const PurchaseLabels &labels, const QDateTime &time, int number)
{
    QString code;
    for (const QChar c : labels.barcode.isEmpty() ? labels.styleNo : labels.barcode) {
        if (code.size() < 20 && c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'-' || c == u'_'))
            code += c;
    }
    if (code.isEmpty())
        code = QStringLiteral("label");
    return stampedJobName(code, time, number);
}

DeviceLabelPrinter::DeviceLabelPrinter(std::function<PrintLook()> look) : m_look(std::move(look)) {}

void DeviceLabelPrinter::printPurchaseLabels(const PurchaseLabels &labels)
{
    const PrintLook look = m_look ? m_look() : initialLook();
    for (const PurchaseLabelLine &line : labels.lines) {
        for (int copy = 0; copy < line.copies; ++copy) {
            PrintDevice device(pdfPath ? pdfPath() : QString());
            device.setJobName(labelJobName(labels, Clock::now(), ++m_numbered));
            if (!printLabel(device, look, {labels.styleNo, line.colour, line.size, labels.tagPrice, labels.barcode})) {
                programlog::write(QStringLiteral("label of ") + labels.styleNo + QStringLiteral(" not printed: ")
                                  + device.error());
                return; // the printer cannot be reached: the next labels would fail alike
            }
            ++m_jobs;
        }
    }
}

} // namespace printing
