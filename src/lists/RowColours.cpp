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
