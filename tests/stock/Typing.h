#pragma once
// Typing as a person does it, through the window system: keys go to whatever holds the keyboard
// (an open popup included) and input-method text to the focus object, as the platform delivers it.
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace stocktest {

// One key per character, Chinese included.
inline void typeKeys(const QString &text)
{
    for (QChar c : text) {
        QWindow *target = QGuiApplication::focusWindow();
        ASSERT_NE(target, nullptr);
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

inline void pressKey(Qt::Key key)
{
    QWindow *target = QGuiApplication::focusWindow();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key);
}

// Text committed by an input method, optionally followed by text it is still composing.
inline void imeCommit(const QString &text, const QString &preedit = QString())
{
    QObject *target = QGuiApplication::focusObject();
    ASSERT_NE(target, nullptr);
    QInputMethodEvent event(preedit, {});
    event.setCommitString(text);
    QCoreApplication::sendEvent(target, &event);
    QCoreApplication::processEvents();
}

} // namespace stocktest
