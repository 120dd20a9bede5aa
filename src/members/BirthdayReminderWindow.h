#pragma once
// "会员生日提醒": the members whose lunar birthday falls today or on one of the next three days, day
// by day, and the export of that list. The list is filled once, when the window is created.
#include <QDate>
#include <QDialog>

#include "members/BirthdayReminders.h"

class AppContext;
class ReportList;

namespace members {

class BirthdayReminderWindow : public QDialog
{
    Q_OBJECT
public:
    BirthdayReminderWindow(AppContext &context, LunarKeyOf lunarKeyOf, QWidget *parent = nullptr);

    // Refreshes today and lists the four days from it.
    void initBirthdayReminderWindow();
    // 超级按钮1 "导出生日提醒": the list into 会员生日提醒<date and time>.xlsx in the program directory.
    void exportBirthdayList();

    ReportList *list() const { return m_list; }
    // The date the four days were counted from.
    QDate firstDay() const { return m_today; }

private:
    AppContext &m_context;
    LunarKeyOf m_lunarKeyOf;
    QDate m_today;
    ReportList *m_list = nullptr; // 超级列表框1
};

} // namespace members
