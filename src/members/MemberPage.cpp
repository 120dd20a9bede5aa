#include "members/MemberPage.h"

#include "context/AppContext.h"
#include "context/Rights.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "members/MemberAdjustPanel.h"
#include "platform/MessageSeam.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace members {

namespace {

QPushButton *button(QWidget *parent, const QString &objectName, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(true);
    return b;
}

QLineEdit *edit(QWidget *parent, const QString &objectName)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(objectName);
    return e;
}

} // namespace

MemberPage::MemberPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("会员管理"));

    auto *form = new QGroupBox(QStringLiteral("基本资料"), this);
    form->setObjectName(QStringLiteral("分组框4"));
    m_card = edit(form, QStringLiteral("会员卡号3"));
    m_name = edit(form, QStringLiteral("会员姓名3"));
    m_mobile = edit(form, QStringLiteral("手机3"));
    m_spend = edit(form, QStringLiteral("消费金额3"));
    m_points = edit(form, QStringLiteral("积分3"));
    m_birthday = edit(form, QStringLiteral("本年生日3"));
    m_remark = edit(form, QStringLiteral("备注3"));
    m_tier = new QComboBox(form); // the page switch lists the three tiers; nothing else can be chosen
    m_tier->setObjectName(QStringLiteral("会员类别3"));
    m_tier->setEditable(false);

    auto *cardButton = button(form, QStringLiteral("会员卡号查"), QStringLiteral("会员卡号"));
    auto *nameButton = button(form, QStringLiteral("会员姓名查"), QStringLiteral("会员姓名"));
    auto *mobileButton = button(form, QStringLiteral("会员手机查"), QStringLiteral("手     机"));
    auto *tierButton = button(form, QStringLiteral("会员姓名查1"), QStringLiteral("会员类别"));
    auto *addButton = button(form, QStringLiteral("添加会员"), QStringLiteral("添加"));
    auto *updateButton = button(form, QStringLiteral("修改会员"), QStringLiteral("修改"));

    auto *grid = new QGridLayout(form);
    grid->addWidget(cardButton, 0, 0);
    grid->addWidget(m_card, 0, 1);
    grid->addWidget(nameButton, 0, 2);
    grid->addWidget(m_name, 0, 3);
    grid->addWidget(mobileButton, 1, 0);
    grid->addWidget(m_mobile, 1, 1);
    grid->addWidget(tierButton, 1, 2);
    grid->addWidget(m_tier, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("消费金额"), form), 2, 0);
    grid->addWidget(m_spend, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("积    分"), form), 2, 2);
    grid->addWidget(m_points, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("农历生日"), form), 3, 0);
    grid->addWidget(m_birthday, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("备    注"), form), 3, 2);
    grid->addWidget(m_remark, 3, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(addButton);
    buttons->addWidget(updateButton);
    grid->addLayout(buttons, 4, 0, 1, 4);

    m_adjust = new MemberAdjustPanel(context, this);

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框3"));
    for (const auto &[title, width] : memberListColumns())
        m_list->addColumn(title, width);

    auto *birthdays = button(this, QStringLiteral("按钮14"), QStringLiteral("会员生日提醒"));
    auto *exportMembers = button(this, QStringLiteral("超级按钮1"), QStringLiteral("导出会员信息"));
    auto *sms = button(this, QStringLiteral("积分调整1"), QStringLiteral("短信群发"));
    auto *pageButtons = new QHBoxLayout;
    pageButtons->addWidget(birthdays);
    pageButtons->addWidget(exportMembers);
    pageButtons->addWidget(sms);
    pageButtons->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addWidget(form, 0, Qt::AlignTop);
    top->addWidget(m_adjust, 1);
    auto *layout = new QVBoxLayout(this);
    // The list is what the staff read most: it takes the larger share of the height.
    layout->addLayout(top, 2);
    layout->addLayout(pageButtons);
    layout->addWidget(m_list, 3);

    QList<QWidget *> order{m_card, m_name, m_mobile, m_tier, m_spend, m_points, m_birthday, m_remark, addButton,
                           updateButton};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    m_card->installEventFilter(this);
    for (QPushButton *b : {cardButton, nameButton, mobileButton, tierButton, addButton, updateButton, birthdays,
                           exportMembers, sms})
        b->installEventFilter(this);
    connect(cardButton, &QPushButton::clicked, this, &MemberPage::searchMembersByCardNo);
    connect(mobileButton, &QPushButton::clicked, this, &MemberPage::searchMembersByPhone);
    connect(nameButton, &QPushButton::clicked, this, &MemberPage::searchMembersByName);
    connect(tierButton, &QPushButton::clicked, this, &MemberPage::searchMembersByCategory);
    connect(addButton, &QPushButton::clicked, this, &MemberPage::addMember);
    connect(updateButton, &QPushButton::clicked, this, &MemberPage::updateMember);
    connect(birthdays, &QPushButton::clicked, this, &MemberPage::birthdayRemindersRequested);
    connect(exportMembers, &QPushButton::clicked, this, &MemberPage::memberExportRequested);
    connect(sms, &QPushButton::clicked, this, &MemberPage::smsWindowRequested);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &MemberPage::sortMemberList);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MemberPage::showSelectedMember);
    connect(this, &MemberPage::memberSelected, m_adjust, &MemberAdjustPanel::showMember);
    connect(m_adjust, &MemberAdjustPanel::memberAdjusted, this, &MemberPage::showAdjustedFigures);
}

void MemberPage::showAdjustedFigures(const QString &id, const QString &points, const QString &storedValue)
{
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->cellText(row, 0) != id)
            continue;
        m_list->setCellText(row, 6, points);
        m_list->setCellText(row, 7, storedValue);
        return;
    }
}

void MemberPage::fillMemberList(data::RecordSet &records)
{
    if (records.rowCount() < 0) {
        MessageSeam::message(this, QString(), kMemberReadFailed);
        return;
    }
    fillMemberList(memberRowsOf(records));
}

void MemberPage::fillMemberList(const QList<MemberRow> &rows)
{
    const bool wasSelected = !m_selectedId.isEmpty();
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    m_sms = SmsNumbers();
    for (const MemberRow &r : rows) {
        const int row = m_list->addRow(memberCells(r));
        m_list->ensureRowVisible(row);
        m_sms.add(r.mobile);
    }
    m_list->setUpdatesEnabled(true);
    // The refill emptied the selection: the form and the histories no longer show a member.
    if (wasSelected)
        showSelectedMember();
}

void MemberPage::showSearchResult(const MemberRows &rows)
{
    if (!rows.ok) {
        MessageSeam::message(this, QString(), kMemberReadFailed);
        return;
    }
    fillMemberList(rows.rows);
}

void MemberPage::reloadMembers()
{
    showSearchResult(listMembers(m_context));
}

void MemberPage::sortMemberList(int column)
{
    const std::optional<QString> order = memberSortOrder(m_context.connection().dialect(), m_sort, column);
    if (order)
        showSearchResult(listMembers(m_context, *order));
}

void MemberPage::searchMembersByCardNo()
{
    showSearchResult(searchMembers(m_context, MemberSearch::CardNo, m_card->text()));
}

void MemberPage::searchMembersByPhone()
{
    showSearchResult(searchMembers(m_context, MemberSearch::Phone, m_mobile->text()));
}

void MemberPage::searchMembersByName()
{
    showSearchResult(searchMembers(m_context, MemberSearch::Name, m_name->text()));
}

void MemberPage::searchMembersByCategory()
{
    showSearchResult(searchMembers(m_context, MemberSearch::Tier, m_tier->currentText()));
}

void MemberPage::showSelectedMember()
{
    for (QLineEdit *e : {m_card, m_name, m_mobile, m_spend, m_points, m_birthday, m_remark})
        e->clear();
    const int row = m_list->selectedRow();
    if (row < 0) {
        // No member: nothing to look up, and the histories are emptied.
        m_selectedId.clear();
        m_selectedCard.clear();
        Q_EMIT memberSelected(QString(), QString());
        return;
    }
    const QStringList cells = m_list->rowTexts(row);
    m_selectedId = cells.value(0);
    m_selectedCard = cells.value(1);
    m_card->setText(m_selectedCard);
    m_name->setText(cells.value(2));
    // The combo lists tier 3, tier 2, tier 1; another tier name leaves it as it was.
    const QString tier = cells.value(3);
    for (int item = 0; item < 3; ++item) {
        const QString &name = m_context.memberTiers[2 - item].会员类别;
        if (!name.isEmpty() && name == tier && item < m_tier->count())
            m_tier->setCurrentIndex(item);
    }
    m_mobile->setText(cells.value(4));
    m_spend->setText(cells.value(5));
    m_points->setText(cells.value(6));
    m_birthday->setText(cells.value(10));
    m_remark->setText(cells.value(12));
    Q_EMIT memberSelected(m_selectedId, m_selectedCard);
    if (loadMemberPurchaseHistory)
        loadMemberPurchaseHistory(m_selectedCard);
}

MemberForm MemberPage::readForm() const
{
    MemberForm f;
    f.card = m_card->text();
    f.name = m_name->text();
    f.tier = m_tier->currentText();
    f.mobile = m_mobile->text();
    f.spend = m_spend->text();
    f.points = m_points->text();
    f.birthday = m_birthday->text();
    f.remark = m_remark->text();
    return f;
}

void MemberPage::updateMember()
{
    const MemberForm form = readForm();
    const int row = m_list->selectedRow();
    const MemberResult r = members::updateMember(m_context, row < 0 ? QString() : m_selectedId,
                                                 row < 0 ? QString() : m_selectedCard, form);
    if (r.changed) {
        m_list->setCellText(row, 2, form.name);
        m_list->setCellText(row, 4, form.mobile);
        m_list->setCellText(row, 10, form.birthday);
        m_list->setCellText(row, 12, form.remark);
    }
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
}

void MemberPage::addMember()
{
    if (!rights::checkRight(m_context, QStringLiteral("添加会员"), this))
        return;
    const MemberResult r = members::addMember(m_context, readForm());
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
    if (r.changed)
        reloadMembers();
}

void MemberPage::checkNewMemberCardUnique()
{
    if (m_checkingCard)
        return;
    const QString message = newCardTakenMessage(m_context, m_card->text(), m_selectedCard);
    if (message.isEmpty())
        return;
    m_checkingCard = true;
    m_card->clear();
    MessageSeam::message(this, QString(), message);
    m_checkingCard = false;
}

bool MemberPage::eventFilter(QObject *watched, QEvent *event)
{
    // Enter presses the button that has the focus, once per key stroke: a held Enter repeats its
    // press, and the repeats of one that closed a message (卡号已存在, say) must not press the
    // button again and bring the message straight back.
    if (event->type() == QEvent::KeyPress && qobject_cast<QPushButton *>(watched)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->isAutoRepeat())
            return true;
    }
    if (watched == m_card && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        checkNewMemberCardUnique();
    return QWidget::eventFilter(watched, event);
}

} // namespace members
