#pragma once
// The SMS window: a message, its length, and the members' mobile numbers stepped through in
// batches of at most 200 (the batches the member list gathered at its last fill). The program has
// no SMS service: the group send only shows each batch, and a test send reads the reply of a
// service only when one is set.
#include <QDialog>
#include <functional>

#include "members/MemberList.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace members {

// The reply of the shop's SMS service to a test send ("f1;f2;accepted;refused;billed;amount‰;balance‰").
using SmsServiceReply = std::function<QString()>;

class SmsWindow : public QDialog
{
    Q_OBJECT
public:
    // The window works on the member page's batches and count.
    explicit SmsWindow(SmsNumbers &numbers, QWidget *parent = nullptr);

    // Without a service a test send says so and sends nothing.
    void setServiceReply(SmsServiceReply reply) { m_serviceReply = std::move(reply); }

    void initSmsWindow();
    void countSmsCharacters();
    void dismissSmsNotice();
    void clearTestNumberBox();
    void clearSmsNumbers();
    void testSendSms();
    void sendSmsBatches();

    QPlainTextEdit *messageBox() const { return m_message; }
    QLineEdit *testNumberBox() const { return m_testNumber; }
    QPlainTextEdit *numbersBox() const { return m_numbers; }
    QLabel *notice() const { return m_notice; }
    QGroupBox *messageGroup() const { return m_messageGroup; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SmsNumbers &m_batches;
    SmsServiceReply m_serviceReply;
    QGroupBox *m_messageGroup = nullptr; // 分组框1
    QPlainTextEdit *m_message = nullptr; // 内容框
    QLabel *m_notice = nullptr;          // 透明标签1
    QLineEdit *m_testNumber = nullptr;   // 编辑框1
    QPlainTextEdit *m_numbers = nullptr; // 号码框
};

// 积分调整1 "短信群发": the window, modal; when it closes batches 0 and 10 are emptied (the others
// and the count stay).
void openSmsWindow(SmsNumbers &numbers, const SmsServiceReply &serviceReply, QWidget *parent);

} // namespace members
