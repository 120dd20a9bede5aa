#pragma once
// The settings page 系统帮助: questions to the support desk and its replies, and the help file.
// The support server is opened when the page needs it and is not open, and only when sql.ini names
// one; a failed read or send is said, and the next showing of the page or 刷新 tries again.
#include <QWidget>
#include <functional>

class AppContext;
class QPlainTextEdit;
class ReportList;

namespace admin {

class RemoteSupportServer;

class SupportPage : public QWidget
{
    Q_OBJECT
public:
    SupportPage(AppContext &context, QWidget *parent = nullptr);

    // The support server and this workstation's key on it; without either there is no support
    // server and the page reads nothing and says nothing. An unopened server is opened from the
    // settings opener (default: the 支持服务器 settings of sql.ini) whenever the page needs it.
    void setSupportServer(RemoteSupportServer *server, const QString &workstation);
    void setServerOpener(std::function<bool(RemoteSupportServer &)> opener) { m_opener = std::move(opener); }

    // The page loader and 刷新. A failed read is said and the list keeps what it showed.
    void loadSupportMessages();
    void submitFeedback();
    void openMessageDetailWindow();

    ReportList *messageList() const { return m_list; }

Q_SIGNALS:
    // 查看帮助文档 was clicked (the help file belongs to the main window).
    void helpFileRequested();

private:
    RemoteSupportServer *server();

    AppContext &m_context;
    RemoteSupportServer *m_server = nullptr;
    QString m_workstation;
    std::function<bool(RemoteSupportServer &)> m_opener;
    ReportList *m_list = nullptr;       // 超级列表框12
    QPlainTextEdit *m_text = nullptr;   // 编辑框12
};

} // namespace admin
