#include "lists/ExcelExport.h"

#include <sys/stat.h>

#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cstdio>
#include <xlsxwriter.h>

namespace {

// Closes (and so writes) the workbook once, whatever path the export leaves by.
class Workbook
{
public:
    explicit Workbook(const QByteArray &path)
    {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        m_book = workbook_new_opt(path.constData(), &options);
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    lxw_workbook *get() const { return m_book; }
    // Writes the file; true when it was written completely.
    bool close()
    {
        lxw_workbook *book = m_book;
        m_book = nullptr;
        return book && workbook_close(book) == LXW_NO_ERROR;
    }

private:
    lxw_workbook *m_book = nullptr;
};

QString sheetNameFor(const QString &sheetName, bool useSheetName)
{
    if (!useSheetName)
        return QStringLiteral("Sheet1");
    QString name = sheetName.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']') && name.size() >= 2)
        name = name.mid(1, name.size() - 2);
    return name;
}

// Excel reads "_xHHHH_" in a cell as the character with that code (the writer escapes control
// characters that way). A text that only looks like such an escape keeps its "_" as "_x005F_".
QString excelLiteral(const QString &text)
{
    if (!text.contains(QStringLiteral("_x")))
        return text;
    // Every "_" that starts an escape, also one whose "_" closes the escape before it.
    static const QRegularExpression escapeStart(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    QString out = text;
    out.replace(escapeStart, QStringLiteral("_x005F_"));
    return out;
}

bool writeCell(lxw_worksheet *sheet, int row, int column, const QString &text)
{
    if (text.isEmpty())
        return true;
    const QByteArray utf8 = excelLiteral(text).toUtf8();
    return worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), nullptr)
        == LXW_NO_ERROR;
}

// Writes the list into a workbook at `path`; false on any failure (the file may then be partial).
bool writeWorkbook(const QByteArray &path, const ReportListModel &model, const QString &sheetName,
                   QProgressBar *progress)
{
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    Workbook book(path);
    if (!book.get())
        return false;
    const QByteArray sheetUtf8 = sheetName.toUtf8();
    if (workbook_validate_sheet_name(book.get(), sheetUtf8.constData()) != LXW_NO_ERROR)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), sheetUtf8.constData());
    if (!sheet)
        return false;

    for (int c = 0; c < columns; ++c)
        if (!writeCell(sheet, 0, c, model.columnTitle(c)))
            return false;

    if (progress) {
        progress->setRange(0, rows);
        progress->setValue(0);
    }
    int shownPercent = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            if (!writeCell(sheet, r + 1, c, model.cellText(r, c)))
                return false;
        if (progress) {
            progress->setValue(r + 1);
            // Painted directly (no event processing), about once per percent.
            const int percent = int(qint64(r + 1) * 100 / rows);
            if (percent != shownPercent) {
                shownPercent = percent;
                progress->repaint();
            }
        }
    }
    return book.close();
}

} // namespace

QString excelExportPath(const QString &directory, const QString &workbookName)
{
    return QDir(directory).filePath(workbookName + QStringLiteral(".xlsx"));
}

bool exportListViewToExcel(const ReportList *list, const QString &directory, const QString &workbookName,
                           const QString &sheetName, bool useSheetName, QProgressBar *progress)
{
    return list && exportListModelToExcel(list->listModel(), directory, workbookName, sheetName, useSheetName,
                                          progress);
}

bool exportListModelToExcel(const ReportListModel *model, const QString &directory, const QString &workbookName,
                            const QString &sheetName, bool useSheetName, QProgressBar *progress)
{
    if (!model || workbookName.isEmpty() || model->columnCount() == 0)
        return false;
    const QDir dir(directory);
    if (directory.isEmpty() || !dir.exists())
        return false;

    const QString target = excelExportPath(directory, workbookName);
    // Written beside the target under a temporary name and renamed over it at the end, so a failed
    // export never leaves a half-written or emptied workbook behind.
    QString partial;
    {
        QTemporaryFile reserve(dir.filePath(QStringLiteral(".export-XXXXXX.xlsx")));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            return false;
        partial = reserve.fileName();
    }
    // A temporary file is private to its owner; the workbook gets the usual permissions of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(partial).constData(), 0666 & ~mask);
    const QByteArray partialPath = QFile::encodeName(partial);
    if (!writeWorkbook(partialPath, *model, sheetNameFor(sheetName, useSheetName), progress)
        || std::rename(partialPath.constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

bool exportListViewToExcelInProgramDir(const ReportList *list, const QString &workbookName,
                                       const QString &sheetName, bool useSheetName, QProgressBar *progress)
{
    return exportListViewToExcel(list, ProgramDir::path(), workbookName, sheetName, useSheetName, progress);
}

QString excelExportName(const QString &prefix, const QDate &date, const QTime &time)
{
    return prefix + QString::number(date.year()) + QStringLiteral("年")
        + QStringLiteral("%1").arg(date.month(), 2, 10, QChar(u'0')) + QStringLiteral("月")
        + QStringLiteral("%1").arg(date.day(), 2, 10, QChar(u'0')) + QStringLiteral("号")
        + QString::number(time.hour()) + QStringLiteral("点") + QString::number(time.minute());
}

QString exportSuccessText(const QString &prefix)
{
    // Two buttons say it their own way; the others name their prefix.
    if (prefix == QStringLiteral("会员生日提醒"))
        return QStringLiteral("会员生日提配已成功导出在程序运行目录下");
    if (prefix == QStringLiteral("退货管理"))
        return QStringLiteral("退货管理数据已成功导出在程序运行目录下");
    return prefix + QStringLiteral("已成功导出在程序运行目录下");
}

QString exportFailureText(const QString &prefix)
{
    return QStringLiteral("导出失败：") + prefix
        + QStringLiteral("未能写入程序运行目录，请检查该目录是否可写、同名的Excel文件是否正被其他程序打开");
}
