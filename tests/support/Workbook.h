#pragma once
// Reads back the .xlsx workbooks the program writes, without any tool outside the test.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace testsupport {

// One part of a workbook (a zip archive), e.g. "xl/worksheets/sheet1.xml"; empty when the file or
// the part is missing.
QByteArray workbookPart(const QString &path, const QString &part);

// The first sheet's cells as rows of texts, placed by their cell references (shared and inline
// strings; gaps are empty texts; a formula reads "<formula>"). Texts are decoded as Excel reads
// them: "_xHHHH_" is the character of that code.
QList<QStringList> workbookRows(const QString &path);

} // namespace testsupport
