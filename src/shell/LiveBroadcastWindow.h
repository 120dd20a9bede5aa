#pragma once
// The live sales feed "实况播报", opened without being modal from the main window's button 实况:
// today's sale lines of every shop as they stood when it opened, and today's message board with a
// box to post one more. Enter sends while this window is the active one. One window at a time;
// closing it releases its Enter key and gives the cashier's six keys back to the main window.
#include <QWidget>
#include <functional>

class AppContext;
class QLabel;
class QLineEdit;
class QPushButton;
class ReportList;

namespace shell {

class LiveBroadcastWindow : public QWidget
{
public:
    // registerPosHotKeys gives the six keys back when the window closes.
    LiveBroadcastWindow(AppContext &context, std::function<void()> registerPosHotKeys, QWidget *parent = nullptr);
    ~LiveBroadcastWindow() override;

    void fillLiveSalesList();
    void loadTodayMessages();
    // Posts the box's text (also an empty one); the box is emptied only once the message was stored.
    void sendBroadcastMessage();
    // The window's hot key: sends when the id is its Enter key's.
    void sendBroadcastOnHotKey(int id);
    // The selected message into the box.
    void showSelectedMessage();

    int broadcastEnterHotKey() const { return m_enterHotKey; }
    // True once closed (the window is then on its way out).
    bool isClosed() const { return m_closed; }
    ReportList *salesList() const { return m_sales; }
    ReportList *messageList() const { return m_messages; }
    QLineEdit *messageBox() const { return m_box; }
    QPushButton *sendButton() const { return m_send; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Releases the Enter key and gives the six keys back, the first time only.
    void closeLiveBroadcastWindow();

    AppContext &m_context;
    std::function<void()> m_registerPosHotKeys;
    ReportList *m_sales;     // 超级列表框1
    ReportList *m_messages;  // 超级列表框2
    QLineEdit *m_box;        // 编辑框12
    QPushButton *m_send;     // 按钮21
    QLabel *m_hotKeyLabel;   // 标签1
    int m_enterHotKey = 0;
    bool m_closed = false;
};

// The button 实况 (the six keys already released): opens the feed over the main window, or brings
// the open one to the front. Returns the window.
LiveBroadcastWindow *openLiveBroadcastWindow(AppContext &context, QWidget *mainWindow,
                                             std::function<void()> registerPosHotKeys);
// The open feed window, nullptr when there is none.
LiveBroadcastWindow *openedLiveBroadcastWindow();

} // namespace shell
