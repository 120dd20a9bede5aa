#pragma once
// Price labels as the settings page lays them out: style number, colour, size and tag price, each
// after its caption and in its own font, and the EAN-13 symbol of the item's barcode. Every label
// is one print job of its own.
#include <QDateTime>
#include <QString>
#include <functional>

#include "printing/LabelPrinter.h"
#include "printing/PrintLayout.h"

class AppContext;

namespace printing {

class PrintDevice;

struct LabelTexts {
    QString styleNo, colour, size, tagPrice, barcode;
};
// Prints one label under the device's job name. False when the job could not start (nothing printed).
bool printLabel(PrintDevice &device, const PrintLook &look, const LabelTexts &label);

// The job name of the label printed at `time` as the `number`-th label (from 1) of this run: the
// barcode, the time and the number, "6983111485901-20150311-093005-2", so that a label printed
// again later, in this run or another, never takes the name (and a PDF printer's file) of an
// earlier one. The style number stands in for a missing barcode. Short and in ASCII, as PDF
// printers want file names: other characters are left out and the code is cut to 20.
QString labelJobName(const PurchaseLabels &labels, const QDateTime &time, int number);

// The label printer of the running program: every label of an entry as its own job on the default
// printer (or PDF files); a job that cannot start goes to the program log and the purchase goes on.
class DeviceLabelPrinter : public LabelPrinter
{
public:
    explicit DeviceLabelPrinter(std::function<PrintLook()> look = {});
    void printPurchaseLabels(const PurchaseLabels &labels) override;
    void setLookSource(std::function<PrintLook()> look) { m_look = std::move(look); }

    // Where the next job goes: "" for the default printer, else a PDF file name (asked per label).
    std::function<QString()> pdfPath;
    int jobs() const { return m_jobs; }

private:
    std::function<PrintLook()> m_look;
    int m_jobs = 0;
    int m_numbered = 0; // labels named in this run
};

} // namespace printing
