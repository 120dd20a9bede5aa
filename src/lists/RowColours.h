#pragma once
// Row text colours of report lists. Colours come as Windows-style COLORREF values 0x00BBGGRR:
// 255 is red (sold-out rows, totals rows, damaged returns), 0x808000 teal (#008080).
// A colour belongs to its row: it moves with the row when the list is sorted and disappears with
// the row or the list. A selected row is drawn white on #0088FF whatever its colour.
#include <QColor>
#include <QtGlobal>

#include <QList>
#include <QStringList>

class ReportList;

// The red of sold-out, totals and damaged rows.
inline constexpr quint32 kRedRowText = 255;

// 0x00BBGGRR -> QColor (r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF).
QColor colourFromColorref(quint32 colorref);

// Draws `row` of `list` in the text colour; when a row is registered again the later colour wins.
// The style code is accepted for the callers' sake and has no effect. Returns false (and changes
// nothing) for a missing list or a row that does not exist.
bool setListRowColour(ReportList *list, int row, int styleCode, quint32 colorref);

// Drops every row colour of the list; 1 when the list had at least one, else 0.
int clearListRowColours(ReportList *list);

// Replaces the rows of a report list by `lines` whose last line, when there is any, is its red
// totals row; one redraw.
void showLinesWithTotalRow(ReportList *list, const QList<QStringList> &lines);
