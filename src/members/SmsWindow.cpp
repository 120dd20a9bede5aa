#include "members/SmsWindow.h"

#include "members/SmsMessages.h"
#include "platform/MessageSeam.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace members {

namespace {

// The sample the number box starts with: one made-up mobile number, five times.
const QString kSampleNumbers = QStringLiteral("13800000000,").repeated(5);

QPushButton *button(QWidget *parent, const QString &objectName, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

} // namespace

SmsWindow::SmsWindow(SmsNumbers &numbers, QWidget *parent) : QDialog(parent), m_batches(numbers)
{
    setObjectName(QStringLiteral("SmsWindow"));
    resize(503, 334);

    m_messageGroup = new QGroupBox(QStringLiteral("短信内容"), this);
    m_messageGroup->setObjectName(QStringLiteral("分组框1"));
    m_message = new QPlainTextEdit(m_messageGroup);
    m_message->setObjectName(QStringLiteral("内容框"));
    m_notice = new QLabel(kSmsNotice, m_messageGroup);
    m_notice->setObjectName(QStringLiteral("透明标签1"));
    m_notice->setWordWrap(true);
    m_notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_notice->setMargin(6);
    m_notice->setStyleSheet(QStringLiteral("color: #a00000;"));
    auto *messageLayout = new QGridLayout(m_messageGroup);
    // The notice lies over the message box until it is clicked away.
    messageLayout->addWidget(m_message, 0, 0);
    messageLayout->addWidget(m_notice, 0, 0);

    m_testNumber = new QLineEdit(QStringLiteral("测试手机号"), this);
    m_testNumber->setObjectName(QStringLiteral("编辑框1"));
    auto *testSend = button(this, QStringLiteral("测试发送"), QStringLiteral("测试发送"));

    auto *numbersGroup = new QGroupBox(QStringLiteral("手机号码"), this);
    numbersGroup->setObjectName(QStringLiteral("分组框2"));
    m_numbers = new QPlainTextEdit(kSampleNumbers, numbersGroup);
    m_numbers->setObjectName(QStringLiteral("号码框"));
    auto *numbersLayout = new QVBoxLayout(numbersGroup);
    numbersLayout->addWidget(m_numbers);
    auto *send = button(this, QStringLiteral("发送"), QStringLiteral("群发"));
    auto *clear = button(this, QStringLiteral("按钮1"), QStringLiteral("清空"));

    auto *left = new QVBoxLayout;
    left->addWidget(m_messageGroup, 1);
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(m_testNumber, 1);
    testRow->addWidget(testSend);
    left->addLayout(testRow);
    auto *right = new QVBoxLayout;
    right->addWidget(numbersGroup, 1);
    auto *sendRow = new QHBoxLayout;
    sendRow->addWidget(send);
    sendRow->addWidget(clear);
    right->addLayout(sendRow);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);

    m_notice->installEventFilter(this);
    m_testNumber->installEventFilter(this);
    connect(m_message, &QPlainTextEdit::textChanged, this, &SmsWindow::countSmsCharacters);
    connect(testSend, &QPushButton::clicked, this, &SmsWindow::testSendSms);
    connect(send, &QPushButton::clicked, this, &SmsWindow::sendSmsBatches);
    connect(clear, &QPushButton::clicked, this, &SmsWindow::clearSmsNumbers);

    initSmsWindow();
}

void SmsWindow::initSmsWindow()
{
    setWindowTitle(smsInitialTitle());
}

void SmsWindow::countSmsCharacters()
{
    m_messageGroup->setTitle(smsCountCaption(m_message->toPlainText()));
}

void SmsWindow::dismissSmsNotice()
{
    m_notice->hide();
    m_message->setFocus();
}

void SmsWindow::clearTestNumberBox()
{
    m_testNumber->clear();
}

void SmsWindow::clearSmsNumbers()
{
    m_numbers->clear();
}

void SmsWindow::testSendSms()
{
    if (m_message->toPlainText().isEmpty()) {
        MessageSeam::message(this, QString(), kSmsNoMessage);
        return;
    }
    if (!m_serviceReply) {
        MessageSeam::message(this, QString(), kSmsNoService);
        return;
    }
    const std::optional<QStringList> fields = smsReplyFields(m_serviceReply());
    if (!fields) {
        MessageSeam::message(this, QString(), kSmsIncompleteReply);
        return;
    }
    setWindowTitle(smsBalanceTitle(*fields));
    MessageSeam::message(this, QString(), smsSubmitText(*fields));
}

void SmsWindow::sendSmsBatches()
{
    if (m_message->toPlainText().isEmpty()) {
        MessageSeam::message(this, QString(), kSmsNoMessage);
        return;
    }
    MessageSeam::message(this, QString(), smsBatchCountText(m_batches.count));
    const QList<int> walk = smsBatchWalk(m_batches.count);
    for (int batch : walk) {
        QString &numbers = m_batches.batches[batch];
        numbers.chop(1); // its trailing ","
        if (batch == 0)
            MessageSeam::message(this, QString(), numbers);
        m_numbers->setPlainText(numbers);
        MessageSeam::message(this, QString(), m_numbers->toPlainText());
    }
    if (!walk.isEmpty())
        m_batches.count = 0;
}

bool SmsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_notice)
            dismissSmsNotice();
        else if (watched == m_testNumber)
            clearTestNumberBox();
    }
    return QDialog::eventFilter(watched, event);
}

void openSmsWindow(SmsNumbers &numbers, const SmsServiceReply &serviceReply, QWidget *parent)
{
    SmsWindow window(numbers, parent);
    window.setServiceReply(serviceReply);
    MessageSeam::exec(&window);
    numbers.batches[0].clear();
    numbers.batches[10].clear();
}

} // namespace members
