#pragma once
// The receipt as the settings page lays it out: header (titles or logo), date line, receipt number,
// two dashed lines, the item captions and rows (each row 6 mm below the one before), the total and
// six footer lines; everything after the rows moves down by the rows' height.
#include <QDateTime>
#include <QTime>

#include "context/DateParts.h"
#include "printing/PrintLayout.h"
#include "printing/ReceiptPrinter.h"

namespace printing {

class PrintDevice;

// The paper length: 纸张高度 + 60 per row, at least one row.
int receiptPaperLength(const PrintLayout &receipt, int rows);
// "2015年03月11日      09点05分".
QString receiptDateLine(const DateParts &today, const QTime &now);

// The job name of the n-th test print of this run, at `time`: a test print is no sale, and a name
// of its own keeps a PDF printer from writing it over the file of the last real receipt. Short and
// in ASCII: PDF printers write non-ASCII names out byte by byte and cut long ones, which would cut
// off the number that tells two test prints of one second apart.
QString testPrintJobName(const QDateTime &time, int number);

// Prints one receipt on the device as a job named by its job name (by default its receipt number). False when the job could not start (nothing printed).
bool printReceipt(PrintDevice &device, const PrintLook &look, const Receipt &receipt, const DateParts &today,
                  const QTime &now);

} // namespace printing
