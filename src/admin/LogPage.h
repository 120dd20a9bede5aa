#pragma once
// The settings page 系统日志查看: the shop's log rows of this month or of all time, and clearing them.
#include <QWidget>

class AppContext;
class ReportList;

namespace admin {

class LogPage : public QWidget
{
    Q_OBJECT
public:
    LogPage(AppContext &context, QWidget *parent = nullptr);

    // The page loader: the month's rows, only when the list is empty.
    void load();
    void listLogsOfMonth();
    void listAllLogs();
    // Asks first (the whole audit trail of the shop goes), then deletes the shop's rows.
    void deleteAllLogs();

    ReportList *logList() const { return m_list; }

private:
    void fillLogList(const QList<QStringList> &rows);

    AppContext &m_context;
    ReportList *m_list = nullptr; // 超级列表框14
};

} // namespace admin
