#include "members/MemberTierGrid.h"

#include "context/AppContext.h"
#include "lists/ListCellEditor.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace members {

MemberTierGrid::MemberTierGrid(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setMinimumSize(260, 150);
    m_grid = new ReportList(this);
    m_grid->setObjectName(QStringLiteral("超级列表框11"));
    m_grid->addColumn(QString(), 0);
    m_grid->addColumn(QStringLiteral("会员类别"), 100);
    m_grid->addColumn(QStringLiteral("折扣"), 40);
    m_grid->addColumn(QStringLiteral("升级积分"), 80);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("编辑框8"));
    m_edit->hide();
}

ListCellEditor *MemberTierGrid::attachCellEditor()
{
    if (m_editor)
        return m_editor;
    m_editor = attachListCellEditor(m_grid, m_edit);
    connect(m_editor, &ListCellEditor::cellCommitted, this, &MemberTierGrid::commitMemberCategoryCell);
    return m_editor;
}

void MemberTierGrid::showRows(const MemberCategoryList &list)
{
    m_grid->clear();
    m_shown = list.rows;
    for (const MemberCategoryRow &row : list.rows) {
        const int r = m_grid->addRow({row.id, row.name, row.factor, row.threshold});
        m_grid->ensureRowVisible(r);
    }
}

void MemberTierGrid::loadMemberCategoryList()
{
    showRows(loadMemberCategoryRows(m_context));
}

void MemberTierGrid::reloadMemberCategoryList()
{
    showRows(reloadMemberCategoryRows(m_context));
}

QList<MemberCategoryRow> MemberTierGrid::gridRows() const
{
    QList<MemberCategoryRow> rows;
    for (int r = 0; r < m_grid->rowCount(); ++r)
        rows.append({m_grid->cellText(r, 0), m_grid->cellText(r, 1), m_grid->cellText(r, 2), m_grid->cellText(r, 3)});
    return rows;
}

void MemberTierGrid::commitMemberCategoryCell(int row, int column, const QString &text)
{
    // Without a shop the typed text stays in the grid and nothing is saved.
    if (m_context.currentShop.isEmpty()) {
        MessageSeam::message(this, QString(), tiertexts::NoShop);
        return;
    }
    m_grid->setCellText(row, column, normalisedMemberCategoryCell(column, text));
    const QList<MemberCategoryRow> rows = gridRows();
    if (const QString problem = memberCategoryRowsProblem(rows); !problem.isEmpty()) {
        if (row < m_shown.size() && column >= 0 && column < 4) {
            const MemberCategoryRow &before = m_shown.at(row);
            const QString former[] = {before.id, before.name, before.factor, before.threshold};
            m_grid->setCellText(row, column, former[column]);
        }
        MessageSeam::message(this, QString(), problem);
        return;
    }
    const TierSaveResult saved = saveMemberCategories(m_context, m_shown, rows);
    if (saved.reload) {
        loadMemberCategoryList();
    } else if (saved.saved) {
        // The rows as stored now: the shop's new ids after a first save, and the rows another
        // workstation changed meanwhile that this save left alone.
        // Should that read fail after an update, the grid keeps the rows it saved (after a first
        // save it has no ids to keep them by).
        const MemberCategoryList stored = reloadMemberCategoryRows(m_context);
        if (stored.ok || saved.copied)
            showRows(stored);
        else
            m_shown = rows;
    }
    if (!saved.message.isEmpty())
        MessageSeam::message(this, QString(), saved.message);
}

} // namespace members
