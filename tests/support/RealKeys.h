#pragma once
// Keys as the window system delivers them, for tests that work real message boxes
// (MessageScript::setRealBoxes): a press goes to the window that holds the keyboard, and its
// release is a separate event that goes to the window holding the keyboard when it arrives (a box
// the press closed has handed it back by then).
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace testsupport {

// Presses a key in the window that holds the keyboard now.
inline void pressKey(Qt::Key key)
{
    QWindow *target = QGuiApplication::focusWindow();
    ASSERT_NE(target, nullptr) << "no window holds the keyboard";
    QTest::keyPress(target, key);
}

// A repeat of the press of a key held down, as the keyboard sends them once the key has been held
// a moment, to the window that holds the keyboard now.
inline void repeatKeyPress(Qt::Key key, const QString &text = QString())
{
    QWindow *target = QGuiApplication::focusWindow();
    ASSERT_NE(target, nullptr) << "no window holds the keyboard";
    QTest::simulateEvent(target, true, key, Qt::NoModifier, text, true);
}

// Releases a key in the window that holds the keyboard now.
inline void releaseKey(Qt::Key key)
{
    if (QWindow *target = QGuiApplication::focusWindow())
        QTest::keyRelease(target, key);
}

// Presses a key on an open message box once it holds the keyboard, as a user reading it does.
inline void pressKeyOnBox(QMessageBox *box, Qt::Key key)
{
    ASSERT_TRUE(QTest::qWaitFor([box] { return box->windowHandle() && QGuiApplication::focusWindow() == box->windowHandle(); }))
        << "the box never took the keyboard";
    QTest::keyPress(box->windowHandle(), key);
}

} // namespace testsupport
