#include "lists/ReportListDelegate.h"

#include "lists/ReportList.h"

#include <QPainter>

ReportListDelegate::ReportListDelegate(ReportList *list)
    : QStyledItemDelegate(list)
    , m_list(list)
{
}

void ReportListDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~QStyle::State_HasFocus;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        option->palette.setColor(group, QPalette::Highlight, selectionBackground());
        option->palette.setColor(group, QPalette::HighlightedText, selectionText());
    }
}

void ReportListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.isValid() && index == m_list->framedCell()) {
        // The frame leaves the cell's last column of pixels and last row free, as the grid always drew it.
        const QRect r = option.rect;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(frameColour(), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(r.left(), r.top(), qMax(0, r.width() - 3), qMax(0, r.height() - 2)));
        painter->restore();
    }
}
