#pragma once
// Editing a report list cell by cell with an edit box laid over the cell. A click frames the cell
// under the mouse with a one-pixel blue frame; a double click puts the edit box over the cell with
// the cell's text; Enter, or the focus leaving the box, writes the text back into that cell exactly
// once and announces it with cellCommitted (the grid's owner saves then). Scrolling the list first
// commits a pending edit, then hides the box, so no typing is lost; a horizontal scroll also drops
// the frame.
//
// The edit box is a sibling of the list (same parent), as the page lays them out. Its placement:
// top = list top + row top + 1, left = list left + row left + widths of the columns before, width =
// the column's width; a cell partly scrolled out to the left gets a box starting 2 px inside the
// list, a cell reaching past the right edge a box ending 10 px inside it.
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <QLineEdit>
#include "lists/ReportList.h"

class ListCellEditor : public QObject
{
    Q_OBJECT
public:
    // The cell under a point: row -1 when no row is there.
    struct Hit {
        int row = -1;
        int column = -1;
    };

    // Attaches the edit box to the list: the box is hidden, mouse and scroll events of the list and
    // key and focus events of the box drive the editor from now on. Owned by the list.
    ListCellEditor(ReportList *list, QLineEdit *edit);

    ReportList *list() const { return m_list; }
    QLineEdit *edit() const { return m_edit; }

    // The rectangle framing a cell, in the list viewport's coordinates.
    QRect computeCellRect(int row, int column) const;
    // The cell under a point of the list viewport.
    Hit hitTestListCell(const QPoint &viewportPos) const;
    // Drops the previous frame and frames the cell under the point (nothing on an empty area).
    void frameListCellAtPoint(const QPoint &viewportPos);
    // Drops the frame and opens the edit box over the cell under the point, loaded with its text,
    // focused, caret at the end. The cell is remembered here as the one the commit writes to.
    // Nothing opens on an empty area. A pending edit is committed first.
    void openListCellEditor(const QPoint &viewportPos);
    // The box's geometry for a cell, in the coordinates of the box's parent.
    QRect editorGeometry(int row, int column) const;
    // Writes the box's text into the edited cell, hides the box and emits cellCommitted; does
    // nothing when no edit is open.
    void commitCellEditor();
    // Commits for Enter (Qt::Key_Return or Qt::Key_Enter); other keys write nothing.
    void commitCellEditorOnEnter(int key);

    bool isEditing() const { return m_editing; }
    // The cell being edited (row -1 when none).
    Hit editedCell() const;

Q_SIGNALS:
    void cellCommitted(int row, int column, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commitAndHide();

    QPointer<ReportList> m_list;
    QPointer<QLineEdit> m_edit;
    QPersistentModelIndex m_edited;
    bool m_editing = false;
    bool m_releaseEndsDoubleClick = false;
};

// Attaches the edit box to the list and returns the editor (owned by the list).
ListCellEditor *attachListCellEditor(ReportList *list, QLineEdit *edit);
