#pragma once
// An input put into a line edit as a user puts it there: typed key by key or pasted with Ctrl+V.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QString>
#include <QTest>

namespace testsupport {

// Pastes the input into the box, or types it; a line break at its end is the Enter a barcode
// scanner sends after the digits, so it is typed as Return and never pasted.
inline void typeOrPaste(QLineEdit *box, const QString &input, bool pasted)
{
    const QString text = QString(input).remove(u'\n');
    if (pasted) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(box, text);
        if (input.endsWith(u'\n'))
            QTest::keyClick(box, Qt::Key_Return);
    }
}

} // namespace testsupport
