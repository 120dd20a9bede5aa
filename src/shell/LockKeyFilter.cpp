#include "shell/LockKeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace shell {

LockKeyFilter::LockKeyFilter(QObject *parent)
    : QObject(parent)
{
}

bool LockKeyFilter::swallows(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return true;
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F4:
    case Qt::Key_Delete:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Alt:
        return true;
    default:
        return false;
    }
}

void LockKeyFilter::install()
{
    if (m_installed || !QCoreApplication::instance())
        return;
    QCoreApplication::instance()->installEventFilter(this);
    m_installed = true;
}

void LockKeyFilter::remove()
{
    if (!m_installed)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_installed = false;
}

bool LockKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (swallows(key->key(), key->modifiers())) {
            key->accept(); // a swallowed key starts no shortcut either
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace shell
