#pragma once
// The printing operations every job uses, on a QPrinter: the default printer without a dialog, or
// a PDF file. Positions and sizes are in tenths or hundredths of a millimetre from the top-left
// corner of the printable area, converted by hand to device pixels (no world transform), so that
// the point sizes of fonts carry over to paper.
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <memory>

class QDateTime;
class QPainter;
class QPrinter;

namespace printing {

// A job name that no other job of this or a later run takes: what the job is ("test", a barcode;
// short and in ASCII, as a PDF printer cuts and mangles other names), the time to the second and
// the job's number in the run, as "test-20261211-075206-1".
QString stampedJobName(const QString &what, const QDateTime &time, int number);

enum class PrintUnit { TenthMillimetre, HundredthMillimetre };

class PrintDevice
{
public:
    // pdfPath "": the default printer (its print dialog when there is none); otherwise the jobs
    // are written to that PDF file, one file per job.
    explicit PrintDevice(QString pdfPath = QString());
    ~PrintDevice();

    void setUnit(PrintUnit unit) { m_unit = unit; }
    // The name the next job is handed to the spooler under (its title in the print queue, and the
    // file name a PDF printer gives it, so that jobs of different names never overwrite each other).
    void setJobName(const QString &name) { m_jobName = name; }
    QString jobName() const { return m_jobName; }
    // Paper width and length in tenths of a millimetre whatever the unit; the custom size is used
    // only when both are above 0. False when the job could not start (the reason is in error()).
    bool startJob(int paperWidth, int paperLength);
    bool started() const { return m_painter != nullptr; }
    QString error() const { return m_error; }

    void setFont(const QFont &font) { m_font = font; }
    void setTextColour(const QColor &colour) { m_text = colour; }
    void setFillColour(const QColor &colour) { m_fill = colour; }
    void setPosition(int x, int y);
    // The text split at CR, LF or CR LF; each line drawn with its top-left corner at the current
    // position, which then moves down by the line's height plus two device pixels. A line that
    // would reach below the page (the position not at its top) goes to the top of a new page.
    void printLines(const QString &text);
    // The text's top-left corner at (x, y); the current position stays.
    void printText(int x, int y, const QString &text);
    // Stretched to width × height; nothing without a picture.
    void drawPicture(int x, int y, int width, int height, const QPixmap &picture);
    // At least one device pixel wide and high.
    void fillRect(int x1, int y1, int x2, int y2);
    // The EAN-13 symbol with its digits, black on white, top-left at (x, y) and `height` high
    // (hundredths of a millimetre); nothing for a code that is not 13 characters.
    void drawBarcode(const QString &code, int x, int y, int height);
    void endJob();

    // Device pixels of a length in the current unit.
    double toDevice(double units) const;
    int pages() const { return m_pages; }

private:
    QString m_pdfPath;
    QString m_jobName;
    PrintUnit m_unit = PrintUnit::TenthMillimetre;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
    QColor m_text = Qt::black;
    QColor m_fill = Qt::white;
    double m_x = 0, m_y = 0; // current position, device pixels
    int m_pages = 0;
    QString m_error;
};

} // namespace printing
