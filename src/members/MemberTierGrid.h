#pragma once
// The member tier grid 超级列表框11 with its cell editor box 编辑框8, as it sits in the group
// 会员设置 of the settings page 店铺初始设置. A committed cell (Enter, or the box losing the focus)
// is checked and the whole grid saved once, then shown as stored; a refused cell takes back the
// text it had.
#include <QList>
#include <QWidget>

#include "members/MemberTierStore.h"

class AppContext;
class ListCellEditor;
class QLineEdit;
class ReportList;

namespace members {

class MemberTierGrid : public QWidget
{
    Q_OBJECT
public:
    explicit MemberTierGrid(AppContext &context, QWidget *parent = nullptr);

    ReportList *grid() const { return m_grid; }
    QLineEdit *editorBox() const { return m_edit; }
    // Attaches the cell editor to the grid (the main window does it when it is created); a second
    // call changes nothing.
    ListCellEditor *attachCellEditor();

    // The shop's own rows, or the default rows when it has none.
    void loadMemberCategoryList();
    // The shop's own rows (after a save).
    void reloadMemberCategoryList();
    // A cell was committed with its text: check it, then save the grid.
    void commitMemberCategoryCell(int row, int column, const QString &text);

private:
    void showRows(const MemberCategoryList &list);
    QList<MemberCategoryRow> gridRows() const;

    AppContext &m_context;
    ReportList *m_grid = nullptr; // 超级列表框11
    QLineEdit *m_edit = nullptr;  // 编辑框8
    ListCellEditor *m_editor = nullptr;
    QList<MemberCategoryRow> m_shown; // the rows as last read or saved
};

} // namespace members
