#pragma once
// Export of what a report list shows to an Excel workbook (.xlsx): the column titles in the first
// row, then every row, every cell written as text (hidden columns and totals rows included).
// An existing workbook of the same name is replaced; a failed export leaves it as it was.
#include <QDate>
#include <QString>
#include <QTime>

class QProgressBar;
class ReportList;
class ReportListModel;

// Writes `<directory>/<workbookName>.xlsx`. The sheet is "Sheet1", or `sheetName` (surrounding
// brackets removed) when useSheetName is true. With a progress bar, its range becomes the number of
// rows and its value follows the rows written. Returns false on any failure: no list, a list without
// columns, an unwritable directory, an invalid sheet name, a cell longer than Excel allows.
bool exportListViewToExcel(const ReportList *list, const QString &directory, const QString &workbookName,
                           const QString &sheetName = QString(), bool useSheetName = false,
                           QProgressBar *progress = nullptr);

// The same from the rows behind a list.
bool exportListModelToExcel(const ReportListModel *model, const QString &directory, const QString &workbookName,
                            const QString &sheetName = QString(), bool useSheetName = false,
                            QProgressBar *progress = nullptr);

// The same into the program directory.
bool exportListViewToExcelInProgramDir(const ReportList *list, const QString &workbookName,
                                       const QString &sheetName = QString(), bool useSheetName = false,
                                       QProgressBar *progress = nullptr);

// The workbook name the export buttons use: prefix, year, "年", month (2 digits), "月", day
// (2 digits), "号", hour, "点", minute (no leading zeros), no folder and no extension:
// 销售明细 on 2015-03-11 at 14:05 gives 销售明细2015年03月11号14点5.
QString excelExportName(const QString &prefix, const QDate &date, const QTime &time);

// The full path of a workbook name in a directory: <directory>/<name>.xlsx.
QString excelExportPath(const QString &directory, const QString &workbookName);

// What an export button says after a successful export, by its name prefix
// (销售明细 -> "销售明细已成功导出在程序运行目录下", 会员生日提醒 -> "会员生日提配已成功导出在程序运行目录下", ...).
QString exportSuccessText(const QString &prefix);
// What it says when the export failed.
QString exportFailureText(const QString &prefix);
