#include "shell/LockSetupDialog.h"

#include "platform/MessageSeam.h"
#include "shell/LockScreenWindow.h"
#include "shell/ScreenLockState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace shell {

namespace {

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel *whiteLabel(const QString &name, const QString &text, const QRect &where, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    setTextColour(label, ScreenLockState::White);
    return label;
}

} // namespace

LockSetupDialog::LockSetupDialog(std::function<void()> registerPosHotKeys, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_state(std::make_unique<ScreenLockState>(std::move(registerPosHotKeys)))
{
    setObjectName(QStringLiteral("LockSetupDialog"));
    setWindowTitle(QStringLiteral("屏幕锁定工具"));
    setModal(true);
    setFixedSize(348, 192);
    setWindowOpacity(Opacity);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("图片框2"));
    picture->setGeometry(0, 0, 348, 192);
    picture->setAutoFillBackground(true);
    QPalette background = picture->palette();
    background.setColor(QPalette::Window, QColor(44, 88, 128));
    picture->setPalette(background);

    whiteLabel(QStringLiteral("标签_标题"), QStringLiteral("屏幕锁定工具"), {12, 6, 200, 22}, this);
    m_minimize = new QToolButton(this);
    m_minimize->setObjectName(QStringLiteral("图形按钮_最小化"));
    m_minimize->setText(QStringLiteral("－"));
    m_minimize->setGeometry(290, 4, 24, 22);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("图形按钮_关闭"));
    m_close->setText(QStringLiteral("×"));
    m_close->setGeometry(318, 4, 24, 22);

    m_prompt = whiteLabel(QStringLiteral("标签_提示"), QString(), {30, 40, 290, 22}, this);
    whiteLabel(QStringLiteral("标签_输入框前内容"), QStringLiteral("输入密码：\n\n\n确认密码："), {30, 72, 80, 80}, this);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("编辑框_密码框"));
    m_password->setGeometry(110, 74, 140, 24);
    m_repeat = new QLineEdit(this);
    m_repeat->setObjectName(QStringLiteral("编辑框_重复密码框"));
    m_repeat->setGeometry(110, 124, 140, 24);
    m_lockButton = new QToolButton(this);
    m_lockButton->setObjectName(QStringLiteral("图形按钮1"));
    m_lockButton->setText(QStringLiteral("锁定"));
    m_lockButton->setGeometry(262, 92, 64, 40);
    m_hiddenButton = new QPushButton(QStringLiteral("按钮"), this);
    m_hiddenButton->setObjectName(QStringLiteral("按钮1"));
    m_hiddenButton->setDefault(true); // Enter in a box locks
    m_hiddenButton->setGeometry(0, 0, 0, 0);

    connect(m_password, &QLineEdit::textChanged, this, [this] {
        m_state->setupBoxChanged(); // showLockPromptOnPasswordChange
        showPrompt();
    });
    connect(m_repeat, &QLineEdit::textChanged, this, [this] {
        m_state->setupBoxChanged(); // showLockPromptOnRepeatChange
        showPrompt();
    });
    connect(m_lockButton, &QToolButton::clicked, this, [this] { startScreenLock(); });
    connect(m_hiddenButton, &QPushButton::clicked, this, [this] { startScreenLock(); });
    connect(m_minimize, &QToolButton::clicked, this, [this] { minimizeLockSetupDialog(); });
    connect(m_close, &QToolButton::clicked, this, [this] { cancelScreenLock(); });

    showPrompt();
    m_password->setFocus();
}

LockSetupDialog::~LockSetupDialog() = default;

void LockSetupDialog::showPrompt()
{
    m_prompt->setText(m_state->setupPrompt().text);
    setTextColour(m_prompt, m_state->setupPrompt().colour);
}

void LockSetupDialog::startScreenLock()
{
    const bool locks = m_state->startScreenLock(m_password->text(), m_repeat->text());
    showPrompt();
    if (!locks)
        return;
    auto *lock = new LockScreenWindow(*m_state, this);
    MessageSeam::exec(lock);
    const bool unlocked = !m_state->isLocked();
    delete lock;
    if (unlocked)
        accept();
}

void LockSetupDialog::minimizeLockSetupDialog()
{
    showMinimized();
}

void LockSetupDialog::cancelScreenLock()
{
    m_state->returnKeys();
    reject();
}

void LockSetupDialog::done(int result)
{
    if (m_state->isLocked())
        return; // the lock window in front decides
    m_state->returnKeys(); // once, whichever way the dialog ends
    QDialog::done(result);
}

void openLockSetupDialog(QWidget *parent, std::function<void()> registerPosHotKeys)
{
    LockSetupDialog dialog(std::move(registerPosHotKeys), parent);
    MessageSeam::exec(&dialog);
    dialog.state().returnKeys(); // a dialog that ended without done() still gives the keys back
}

} // namespace shell
