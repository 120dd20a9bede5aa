#include "members/MemberAdjustPanel.h"

#include "context/AppContext.h"
#include "lists/ReportList.h"
#include "members/MemberAdjust.h"
#include "platform/MessageSeam.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace members {

MemberAdjustPanel::MemberAdjustPanel(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_group = new QGroupBox(this);
    m_group->setObjectName(QStringLiteral("分组框5"));
    auto *form = new QGridLayout(m_group);
    auto edit = [this, form](const QString &name, const QString &caption, int row) {
        auto *box = new QLineEdit(m_group);
        box->setObjectName(name);
        form->addWidget(new QLabel(caption, m_group), row, 0);
        form->addWidget(box, row, 1);
        return box;
    };
    m_addPoints = edit(QStringLiteral("增加积分4"), QStringLiteral("增加积分"), 0);
    m_subPoints = edit(QStringLiteral("减少积分4"), QStringLiteral("减少积分"), 1);
    m_addStored = edit(QStringLiteral("增加储值4"), QStringLiteral("增加预存"), 2);
    m_remark = edit(QStringLiteral("备注4"), QStringLiteral("备    注"), 3);
    m_adjust = new QPushButton(QStringLiteral("积分调整"), m_group);
    m_adjust->setObjectName(QStringLiteral("积分调整"));
    form->addWidget(m_adjust, 4, 1);
    layout->addWidget(m_group);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("选择夹2"));
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    m_history = new ReportList(page);
    m_history->setObjectName(QStringLiteral("超级列表框4"));
    const std::pair<const char16_t *, int> columns[] = {
        {u"ID", 40},           {u"调整日期", 130}, {u"增加积分", 130},   {u"减少积分", 130}, {u"增加预存款(元)", 120},
        {u"操作员", 90},       {u"门    店", 130}, {u"会员卡号", 100}, {u"备    注", 230}};
    for (const auto &[title, width] : columns)
        m_history->addColumn(QString::fromUtf16(title), width);
    // The history shows at least five rows whatever height the page leaves it: its header, five
    // rows, the horizontal scroll bar its wide columns bring and its frame.
    constexpr int shownRows = 5;
    const int rowHeight = m_history->fontMetrics().height() + 8;
    m_history->setMinimumHeight(m_history->header()->sizeHint().height() + shownRows * rowHeight
                                + m_history->horizontalScrollBar()->sizeHint().height() + 2 * m_history->frameWidth());
    pageLayout->addWidget(m_history);
    m_listAll = new QPushButton(QStringLiteral("显示所有调整记录"), page);
    m_listAll->setObjectName(QStringLiteral("按钮17"));
    pageLayout->addWidget(m_listAll);
    m_tabs->addTab(page, QStringLiteral("积分调整记录"));
    layout->addWidget(m_tabs, 1);

    connect(m_adjust, &QPushButton::clicked, this, &MemberAdjustPanel::adjustMemberPoints);
    connect(m_listAll, &QPushButton::clicked, this, &MemberAdjustPanel::listAllPointAdjustments);
    m_addPoints->installEventFilter(this);
    m_subPoints->installEventFilter(this);
}

void MemberAdjustPanel::showMember(const QString &id, const QString &card)
{
    m_memberId = id;
    m_card = card;
    clearForm();
    if (id.isEmpty()) {
        m_history->clear();
        return;
    }
    loadMemberPointsHistory();
}

void MemberAdjustPanel::clearForm()
{
    for (QLineEdit *box : {m_addPoints, m_subPoints, m_addStored, m_remark})
        box->clear();
}

void MemberAdjustPanel::showHistory(const QList<QStringList> &rows)
{
    m_history->clear();
    for (const QStringList &cells : rows)
        m_history->ensureRowVisible(m_history->addRow(cells));
}

void MemberAdjustPanel::adjustMemberPoints()
{
    const AdjustResult result = members::adjustMemberPoints(
        m_context, m_memberId, {m_addPoints->text(), m_subPoints->text(), m_addStored->text(), m_remark->text()});
    if (!result.done) {
        MessageSeam::message(this, QString(), result.message);
        return;
    }
    Q_EMIT memberAdjusted(m_memberId, result.points, result.storedValue);
    loadMemberPointsHistory();
    clearForm();
}

void MemberAdjustPanel::loadMemberPointsHistory()
{
    if (m_memberId.isEmpty()) {
        m_history->clear();
        return;
    }
    showHistory(members::loadMemberPointsHistory(m_context, m_card).rows);
}

void MemberAdjustPanel::listAllPointAdjustments()
{
    showHistory(members::listAllPointAdjustments(m_context).rows);
}

void MemberAdjustPanel::guardAddPointsField()
{
    if (m_guarding || m_subPoints->text().isEmpty())
        return;
    m_guarding = true;
    MessageSeam::message(this, QString(), adjusttexts::SubtractFilled);
    m_guarding = false;
}

void MemberAdjustPanel::guardSubtractPointsField()
{
    if (m_guarding || m_addPoints->text().isEmpty())
        return;
    m_guarding = true;
    MessageSeam::message(this, QString(), adjusttexts::AddFilled);
    m_guarding = false;
}

bool MemberAdjustPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // The focus coming back when the warning (or another window) closes is no new entry into
        // the field: warning again then would never end.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_addPoints)
                guardAddPointsField();
            else if (watched == m_subPoints)
                guardSubtractPointsField();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace members
