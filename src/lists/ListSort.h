#pragma once
// Sorting a report list by one column, in place. Whole rows move: their colours, hidden ids and
// selection go with them. The sort runs straight through without processing events, so nothing
// can change the list half-way.
//
// Sort types: 10 text (ASCII letters upper-cased unless case-sensitive, then GBK byte order),
// 3, 4 and 6 numbers (the leading number of the text, 0 when there is none; numbers no more than
// 1e-7 apart count as equal), 8 date-time (year, month, day separated by "-", "/" or "." or written
// with 年月日, optionally followed by a time; anything else counts as 0100-01-01).
//
// Order of equal keys: the rows come out as a selection sort that takes the last of equal keys
// first produces them, so equal rows end up reversed and sorting the same column twice in the same
// direction restores their order. With the number tolerance "equal" is not transitive; the order
// is still exactly that selection sort's.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class QAbstractItemView;

namespace ListSortType {
constexpr int Integer = 3;
constexpr int LongInteger = 4;
constexpr int Double = 6;
constexpr int DateTime = 8;
constexpr int Text = 10;
}

// Result texts.
QString listSortNotReportText();   // "该超级列表框不是报表类型"
QString listSortBadColumnText();   // "错误的列索引"
QString listSortBadTypeText();     // "排序类型不对"
QString listSortDoneText();        // "排序完成"

// Sorts `list` (a ReportList; any other view gets the first text) by `column`. A bad column or
// type returns its text and leaves the list untouched. An empty list stays as it is and gives
// "排序完成".
QString sortListViewByColumn(QAbstractItemView *list, int column, bool ascending = true,
                             bool caseSensitive = false, int type = ListSortType::Text);

class ReportListModel;
// The same on the rows behind a list.
QString sortReportListModel(ReportListModel *model, int column, bool ascending = true, bool caseSensitive = false,
                            int type = ListSortType::Text);

// The new row order for the keys (one per row, in row order): element i is the source row of
// target row i. `type` must be one of the five sort types.
QVector<int> listSortOrder(const QStringList &keys, int type, bool ascending = true, bool caseSensitive = false);

// The same order computed by the plain quadratic selection sort (candidate replaced by every later
// key that comes first or is equal). Kept as the reference the fast order is checked against.
QVector<int> listSortOrderBySelection(const QStringList &keys, int type, bool ascending = true,
                                      bool caseSensitive = false);

// The point in time a date-time key stands for; 0100-01-01 00:00 for a text that is no date.
QDateTime listSortDateTime(const QString &text);
