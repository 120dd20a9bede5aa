#include "printing/PrintDevice.h"

#include "platform/MessageSeam.h"
#include "printing/Ean13.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <cmath>

namespace printing {

QString stampedJobName(const QString &what, const QDateTime &time, int number)
{
    return what + u'-' + time.toString(QStringLiteral("yyyyMMdd-HHmmss-")) + QString::number(number);
}

PrintDevice::PrintDevice(QString pdfPath) : m_pdfPath(std::move(pdfPath)) {}

PrintDevice::~PrintDevice()
{
    endJob();
}

double PrintDevice::toDevice(double units) const
{
    const double perMillimetre = m_unit == PrintUnit::TenthMillimetre ? 10.0 : 100.0;
    const int dpi = m_printer ? m_printer->resolution() : 1200;
    return units / perMillimetre / 25.4 * dpi;
}

bool PrintDevice::startJob(int paperWidth, int paperLength)
{
    endJob();
    m_error.clear();
    m_pages = 0;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setDocName(m_jobName);
    if (!m_pdfPath.isEmpty()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_pdfPath);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        // No default printer: the print dialog lets the user choose one, or cancel.
        QPrintDialog dialog(m_printer.get());
        if (MessageSeam::exec(&dialog) != QDialog::Accepted) {
            m_error = QStringLiteral("no default printer; printing cancelled");
            m_printer.reset();
            return false;
        }
    }
    if (paperWidth > 0 && paperLength > 0)
        m_printer->setPageSize(QPageSize(QSizeF(paperWidth / 10.0, paperLength / 10.0), QPageSize::Millimeter,
                                         QString(), QPageSize::ExactMatch));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    m_printer->setFullPage(false);
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_error = QStringLiteral("the print job could not start");
        m_painter.reset();
        m_printer.reset();
        return false;
    }
    m_pages = 1;
    m_x = m_y = 0;
    return true;
}

void PrintDevice::setPosition(int x, int y)
{
    m_x = toDevice(x);
    m_y = toDevice(y);
}

void PrintDevice::printLines(const QString &text)
{
    if (!m_painter)
        return;
    m_painter->setFont(m_font);
    m_painter->setPen(m_text);
    const QFontMetricsF metrics(m_font, m_printer.get());
    const double pageHeight = m_printer->pageLayout().paintRectPixels(m_printer->resolution()).height();
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    for (const QString &line : text.split(breaks)) {
        const double height = metrics.height();
        if (m_y > 0 && m_y + height > pageHeight) {
            m_printer->newPage();
            ++m_pages;
            m_y = 0;
        }
        m_painter->drawText(QPointF(m_x, m_y + metrics.ascent()), line);
        m_y += height + 2;
    }
}

void PrintDevice::printText(int x, int y, const QString &text)
{
    if (!m_painter)
        return;
    m_painter->setFont(m_font);
    m_painter->setPen(m_text);
    const QFontMetricsF metrics(m_font, m_printer.get());
    m_painter->drawText(QPointF(toDevice(x), toDevice(y) + metrics.ascent()), text);
}

void PrintDevice::drawPicture(int x, int y, int width, int height, const QPixmap &picture)
{
    if (!m_painter || picture.isNull())
        return;
    m_painter->drawPixmap(QRectF(toDevice(x), toDevice(y), toDevice(width), toDevice(height)), picture,
                          QRectF(picture.rect()));
}

void PrintDevice::fillRect(int x1, int y1, int x2, int y2)
{
    if (!m_painter)
        return;
    const double left = toDevice(std::min(x1, x2));
    const double top = toDevice(std::min(y1, y2));
    const double width = std::max(1.0, toDevice(std::abs(x2 - x1)));
    const double height = std::max(1.0, toDevice(std::abs(y2 - y1)));
    m_painter->fillRect(QRectF(left, top, width, height), m_fill);
}

void PrintDevice::drawBarcode(const QString &code, int x, int y, int height)
{
    if (!m_painter)
        return;
    // The symbol is drawn in hundredths of a millimetre.
    m_painter->save();
    const double scale = m_printer->resolution() / 2540.0;
    m_painter->scale(scale, scale);
    drawEan13(*m_painter, code, 1.0, Qt::white, Qt::black, Qt::black, x, y, true, false, height);
    m_painter->restore();
}

void PrintDevice::endJob()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
    m_printer.reset();
}

} // namespace printing
