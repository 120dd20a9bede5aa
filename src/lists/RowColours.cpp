#include "lists/RowColours.h"

#include "lists/ReportList.h"
#include "lists/ReportListModel.h"

QColor colourFromColorref(quint32 colorref)
{
    return QColor(int(colorref & 0xFF), int((colorref >> 8) & 0xFF), int((colorref >> 16) & 0xFF));
}

bool setListRowColour(ReportList *list, int row, int styleCode, quint32 colorref)
{
    Q_UNUSED(styleCode);
    if (!list)
        return false;
    return list->listModel()->setRowColour(row, colourFromColorref(colorref));
}

int clearListRowColours(ReportList *list)
{
    if (!list)
        return 0;
    return list->listModel()->clearRowColours() ? 1 : 0;
}

void showLinesWithTotalRow(ReportList *list, const QList<QStringList> &lines)
{
    if (!list)
        return;
    clearListRowColours(list);
    list->setUpdatesEnabled(false);
    list->clear();
    for (const QStringList &line : lines)
        list->ensureRowVisible(list->addRow(line));
    if (!lines.isEmpty())
        setListRowColour(list, list->rowCount() - 1, 3, kRedRowText);
    list->setUpdatesEnabled(true);
}
