// Printing to PDF through QPrinter: the 400 labels of a large purchase (one job each) and a
// receipt of 50 lines, laid out with the initial layouts.
#include "context/DateParts.h"
#include "printing/LabelPrint.h"
#include "printing/PrintDevice.h"
#include "printing/PrintLayout.h"
#include "printing/ReceiptPrint.h"

#include <QTemporaryDir>
#include <QTime>

#include <benchmark/benchmark.h>

namespace {

using namespace printing;

void BM_Labels400(benchmark::State &state)
{
    QTemporaryDir dir;
    DeviceLabelPrinter printer;
    int file = 0;
    printer.pdfPath = [&] { return dir.filePath(QStringLiteral("l%1.pdf").arg(file++ % 8)); };
    PurchaseLabels labels;
    labels.styleNo = QStringLiteral("K1001");
    labels.tagPrice = QStringLiteral("1299");
    labels.barcode = QStringLiteral("6983111485901");
    for (int line = 1; line <= 4; ++line)
        labels.lines.append({line, QStringLiteral("红色"), QStringLiteral("XL"), 100});
    for (auto _ : state)
        printer.printPurchaseLabels(labels);
    state.counters["labels"] = printer.jobs();
}
BENCHMARK(BM_Labels400)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Receipt50Lines(benchmark::State &state)
{
    QTemporaryDir dir;
    const PrintLook look = initialLook();
    Receipt receipt;
    receipt.receiptNo = QStringLiteral("58985141183");
    for (int i = 0; i < 50; ++i)
        receipt.lines.append({QStringLiteral("上衣"), QStringLiteral("K%1").arg(1000 + i), QStringLiteral("衬衫"),
                              QStringLiteral("白"), QStringLiteral("L"), QStringLiteral("1"), QStringLiteral("99.5")});
    const DateParts today{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};
    for (auto _ : state) {
        PrintDevice device(dir.filePath(QStringLiteral("r.pdf")));
        benchmark::DoNotOptimize(printReceipt(device, look, receipt, today, QTime(9, 5)));
    }
}
BENCHMARK(BM_Receipt50Lines)->Unit(benchmark::kMillisecond);

} // namespace
