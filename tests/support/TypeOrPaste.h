#pragma once
// An input put into a line edit as a user puts it there: typed key by key or pasted with Ctrl+V.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QString>
#include <QTest>

#include "platform/MessageScript.h"

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

// Types the input key by key, as a scanner or a quick hand does: once a message shows, the rest of
// the input comes while it is open, a line break at its end as the scanner's Enter, last.
inline void typeOnThroughMessages(QLineEdit *box, const QString &input, MessageScript &script)
{
    const QString digits = QString(input).remove(u'\n');
    qsizetype next = 0;
    script.setMessageHandler([&](const ShownMessage &) {
        for (; next < digits.size(); ++next)
            QTest::keyClicks(box, QString(digits[next]));
        if (input.endsWith(u'\n'))
            QTest::keyClick(box, Qt::Key_Return);
    });
    for (; next < digits.size(); ++next)
        QTest::keyClicks(box, QString(digits[next]));
    script.setMessageHandler({});
}

} // namespace testsupport
