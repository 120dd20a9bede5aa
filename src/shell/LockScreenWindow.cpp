#include "shell/LockScreenWindow.h"

#include "shell/LockKeyFilter.h"
#include "shell/ScreenLockState.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace shell {

namespace {

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

QPoint LockScreenWindow::panelPosition(const QSize &screen)
{
    return {screen.width() / 2 - PanelWidth / 2, screen.height() / 2 - PanelHeight / 2};
}

LockScreenWindow::LockScreenWindow(ScreenLockState &state, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_state(state)
    , m_filter(new LockKeyFilter(this))
{
    setObjectName(QStringLiteral("LockScreenWindow"));
    setModal(true);
    setWindowOpacity(Opacity);
    resize(820, 527);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(24, 36, 52));
    setPalette(background);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("图片框1"));
    m_panel->setFixedSize(PanelWidth, PanelHeight);
    m_panel->setAutoFillBackground(true);
    QPalette panelColours = m_panel->palette();
    panelColours.setColor(QPalette::Window, QColor(44, 88, 128));
    m_panel->setPalette(panelColours);

    m_status = new QLabel(m_panel);
    m_status->setObjectName(QStringLiteral("标签2"));
    m_status->setGeometry(20, 14, 336, 24);
    auto *caption = new QLabel(QStringLiteral("请输入解锁密码："), m_panel);
    caption->setObjectName(QStringLiteral("标签1"));
    caption->setGeometry(20, 54, 120, 24);
    setTextColour(caption, ScreenLockState::White);
    m_box = new QLineEdit(m_panel);
    m_box->setObjectName(QStringLiteral("编辑框_解锁密码框"));
    m_box->setEchoMode(QLineEdit::Password);
    m_box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // every character shown as "*"
    m_box->setGeometry(140, 52, 150, 26);
    m_unlockButton = new QToolButton(m_panel);
    m_unlockButton->setObjectName(QStringLiteral("图形按钮1"));
    m_unlockButton->setText(QStringLiteral("解锁"));
    m_unlockButton->setGeometry(298, 50, 60, 30);
    m_hiddenButton = new QPushButton(QStringLiteral("按钮"), m_panel);
    m_hiddenButton->setObjectName(QStringLiteral("按钮1"));
    m_hiddenButton->hide();

    connect(m_box, &QLineEdit::textChanged, this, [this] { resetUnlockPrompt(); });
    connect(m_box, &QLineEdit::returnPressed, this, [this] { unlockScreen(); });
    connect(m_unlockButton, &QToolButton::clicked, this, [this] { unlockScreen(); });
    connect(m_hiddenButton, &QPushButton::clicked, this, [this] { unlockScreen(); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("时钟1"));
    m_timer->setInterval(RaisePeriodMs);
    connect(m_timer, &QTimer::timeout, this, [this] { keepLockScreenOnTop(); });

    showStatus();
    coverScreen();
    setWindowState(Qt::WindowFullScreen);
}

LockScreenWindow::~LockScreenWindow()
{
    removeKeyboardHook();
}

void LockScreenWindow::coverScreen()
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    m_panel->move(panelPosition(size()));
}

void LockScreenWindow::installKeyboardHook()
{
    m_filter->install();
    if (!m_grabbed && m_grabAttempts < GrabAttempts) {
        if (QWindow *window = windowHandle()) {
            ++m_grabAttempts;
            m_grabbed = window->setKeyboardGrabEnabled(true);
        }
    }
}

void LockScreenWindow::removeKeyboardHook()
{
    m_filter->remove();
    if (m_grabbed) {
        if (QWindow *window = windowHandle())
            window->setKeyboardGrabEnabled(false);
        m_grabbed = false;
    }
}

bool LockScreenWindow::keyFilterInstalled() const
{
    return m_filter->isInstalled();
}

void LockScreenWindow::showStatus()
{
    m_status->setText(m_state.unlockPrompt().text);
    setTextColour(m_status, m_state.unlockPrompt().colour);
}

void LockScreenWindow::resetUnlockPrompt()
{
    m_state.unlockBoxChanged();
    showStatus();
}

void LockScreenWindow::unlockScreen()
{
    const bool unlocked = m_state.unlockScreen(m_box->text());
    showStatus();
    if (!unlocked)
        return;
    removeKeyboardHook();
    m_timer->stop();
    accept();
}

void LockScreenWindow::keepLockScreenOnTop()
{
    if (!m_state.isLocked() || !isVisible())
        return;
    // The grab needs a window the desktop already shows; until it is granted the first ticks ask
    // again (a desktop that never grants it, Wayland say, is not asked for ever).
    installKeyboardHook();
    raise();
    activateWindow();
}

void LockScreenWindow::done(int result)
{
    // Esc and every other way of closing a dialog end nothing while the screen is locked.
    if (m_state.isLocked())
        return;
    QDialog::done(result);
}

void LockScreenWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    coverScreen();
    if (m_state.isLocked()) {
        installKeyboardHook();
        m_timer->start();
        QTimer::singleShot(0, this, [this] { keepLockScreenOnTop(); });
        activateWindow();
        m_box->setFocus();
    }
}

void LockScreenWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_panel->move(panelPosition(size()));
}

void LockScreenWindow::closeEvent(QCloseEvent *event)
{
    if (m_state.isLocked()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void LockScreenWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_state.isLocked())
        QTimer::singleShot(0, this, [this] { keepLockScreenOnTop(); });
}

} // namespace shell
