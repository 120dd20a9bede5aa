#pragma once
// Draws the cells of a report list: a selected row white on #0088FF whatever its own colour,
// no focus frame, and the one-pixel blue frame around the cell the in-cell editor framed.
#include <QStyledItemDelegate>

class ReportList;

class ReportListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ReportListDelegate(ReportList *list);

    static QColor selectionBackground() { return QColor(0x00, 0x88, 0xFF); }
    static QColor selectionText() { return QColor(Qt::white); }
    static QColor frameColour() { return QColor(0x00, 0x00, 0xFF); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    ReportList *m_list;
};
