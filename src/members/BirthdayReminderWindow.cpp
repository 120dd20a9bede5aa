#include "members/BirthdayReminderWindow.h"

#include "lists/ReportList.h"
#include "members/MemberExport.h"
#include "platform/MessageSeam.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace members {

BirthdayReminderWindow::BirthdayReminderWindow(AppContext &context, LunarKeyOf lunarKeyOf, QWidget *parent)
    : QDialog(parent), m_context(context), m_lunarKeyOf(std::move(lunarKeyOf))
{
    setObjectName(QStringLiteral("BirthdayReminderWindow"));
    setWindowTitle(QStringLiteral("会员生日提醒"));
    resize(721, 332);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    const std::pair<const char16_t *, int> columns[] = {{u"会员卡号", 80}, {u"会员姓名", 80}, {u"会员类别", 80},
                                                        {u"手    机", 100}, {u"消费金额", 90}, {u"最近消费", 90},
                                                        {u"农历生日", 70}, {u"", 100}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);

    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("分组框1"));
    auto *exportButton = new QPushButton(QStringLiteral("导出生日提醒"), group);
    exportButton->setObjectName(QStringLiteral("超级按钮1"));
    auto *buttons = new QHBoxLayout(group);
    buttons->addStretch(1);
    buttons->addWidget(exportButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(group);
    connect(exportButton, &QPushButton::clicked, this, &BirthdayReminderWindow::exportBirthdayList);

    initBirthdayReminderWindow();
}

void BirthdayReminderWindow::initBirthdayReminderWindow()
{
    m_list->clear();
    if (!m_lunarKeyOf)
        return;
    m_today = refreshedBirthdayDate(m_context);
    bool ok = true;
    const QList<QStringList> lines = birthdayListLines(m_context, m_lunarKeyOf, m_today, &ok);
    m_list->setUpdatesEnabled(false);
    for (const QStringList &line : lines)
        m_list->ensureRowVisible(m_list->addRow(line));
    m_list->setUpdatesEnabled(true);
    if (!ok)
        MessageSeam::message(this, QString(), kMemberReadFailed);
}

void BirthdayReminderWindow::exportBirthdayList()
{
    exportListWithMessage(m_context, m_list, kBirthdayExportPrefix, this);
}

} // namespace members
