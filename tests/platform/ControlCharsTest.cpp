// Control characters other than tab and line breaks never enter a field's text as they are typed or
// pasted; a text the program sets stays as stored. The log writes every control character as \xHH.
#include "platform/ControlChars.h"
#include "platform/ProgramLog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QIntValidator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QString kNul = QString(QChar(0));

QString withNul(const char *before, const char *after)
{
    return QString::fromUtf8(before) + kNul + QString::fromUtf8(after);
}

void pasteInto(QWidget *field, const QString &text)
{
    QApplication::clipboard()->setText(text);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

bool anyControl(const QStringList &texts)
{
    for (const QString &t : texts)
        if (controlchars::contains(t))
            return true;
    return false;
}

// A window of the program's kinds of fields, shown as the program shows its windows.
struct Window {
    QWidget window;
    QLineEdit *line = new QLineEdit(&window);
    QLineEdit *digits = new QLineEdit(&window); // with a check of its own
    QComboBox *combo = new QComboBox(&window);
    QPlainTextEdit *box = new QPlainTextEdit(&window);
    Window()
    {
        digits->setValidator(new QIntValidator(0, 999999, digits));
        combo->setEditable(true);
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : {static_cast<QWidget *>(line), static_cast<QWidget *>(digits), static_cast<QWidget *>(combo),
                           static_cast<QWidget *>(box)})
            layout->addWidget(w);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

TEST(ControlChars, RefusedAreControlsButTabAndLineBreaks)
{
    EXPECT_EQ(controlchars::removed(QStringLiteral("a\u0001b\u001fc\u007fd\u0085e\tf\ng\rh") + kNul),
              QStringLiteral("abcde\tf\ng\rh"));
    EXPECT_FALSE(controlchars::contains(QStringLiteral("款号 A-1\t备注\r\n")));
    EXPECT_EQ(controlchars::escaped(withNul("ab", "c\td\n")), QStringLiteral("ab\\x00c\\x09d\\x0a"));
}

TEST(ControlChars, APasteIntoAnEditLineShowsTheTextWithoutThem)
{
    Window w;
    w.line->setText(QStringLiteral("xy"));
    w.line->setCursorPosition(1);
    QSignalSpy changed(w.line, &QLineEdit::textChanged);
    QSignalSpy edited(w.line, &QLineEdit::textEdited);
    pasteInto(w.line, withNul("ab", "\u0001cd"));
    EXPECT_EQ(w.line->text(), QStringLiteral("xabcdy"));
    EXPECT_EQ(w.line->cursorPosition(), 5); // after what was pasted
    QStringList seen;
    for (const auto &args : changed)
        seen << args.at(0).toString();
    EXPECT_FALSE(anyControl(seen)) << "a handler saw the text with them";
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_FALSE(edited.isEmpty()) << "handlers that run on typing only were not told";

    // Typed through an input method, and set by the program.
    w.line->clear();
    QInputMethodEvent event;
    event.setCommitString(withNul("名", "称"));
    QApplication::sendEvent(w.line, &event);
    EXPECT_EQ(w.line->text(), QStringLiteral("名称"));
    // A text the program sets (read from a stored row) stays as stored, so that it finds its row;
    // what is typed into it after is cleaned, the line's text with it.
    w.line->setText(QStringLiteral("a\u0001b"));
    EXPECT_EQ(w.line->text(), QStringLiteral("a\u0001b"));
    w.line->end(false);
    QTest::keyClicks(w.line, QStringLiteral("c"));
    EXPECT_EQ(w.line->text(), QStringLiteral("abc"));
    // Tab and line breaks pass as they did.
    w.line->setText(QStringLiteral("a\tb"));
    EXPECT_EQ(w.line->text(), QStringLiteral("a\tb"));
}

TEST(ControlChars, ALineWithACheckOfItsOwnKeepsIt)
{
    Window w;
    pasteInto(w.digits, withNul("12", "34"));
    EXPECT_EQ(w.digits->text(), QStringLiteral("1234"));
    QTest::keyClicks(w.digits, QStringLiteral("x5"));
    EXPECT_EQ(w.digits->text(), QStringLiteral("12345"));
    // Set again by a window after it was shown, its check still runs behind the dropping.
    w.digits->setValidator(new QIntValidator(0, 99, w.digits));
    w.line->setFocus();
    w.digits->setFocus();
    w.digits->clear();
    pasteInto(w.digits, withNul("4", "2"));
    EXPECT_EQ(w.digits->text(), QStringLiteral("42"));
    QTest::keyClicks(w.digits, QStringLiteral("7"));
    EXPECT_EQ(w.digits->text(), QStringLiteral("42"));
}

TEST(ControlChars, AComboBoxAndAMultiLineBoxDropThemToo)
{
    Window w;
    pasteInto(w.combo->lineEdit(), withNul("红", "色"));
    EXPECT_EQ(w.combo->currentText(), QStringLiteral("红色"));
    // An item of the list, picked with the arrow key, is the item as stored.
    w.combo->addItems({QStringLiteral("白"), QStringLiteral("白\u0001")});
    w.combo->setCurrentIndex(0);
    QTest::keyClick(w.combo, Qt::Key_Down);
    EXPECT_EQ(w.combo->currentText(), QStringLiteral("白\u0001"));

    w.box->setPlainText(QStringLiteral("第一行\n"));
    w.box->moveCursor(QTextCursor::End);
    QStringList seen;
    QObject::connect(w.box, &QPlainTextEdit::textChanged, w.box, [&] { seen << w.box->toPlainText(); });
    pasteInto(w.box, withNul("ab", "c\u0007d\n"));
    EXPECT_EQ(w.box->toPlainText(), QStringLiteral("第一行\nabcd\n"));
    EXPECT_EQ(w.box->textCursor().position(), int(w.box->toPlainText().size()));
    EXPECT_FALSE(controlchars::contains(seen.last()));
    // One undo takes the paste back whole.
    w.box->undo();
    EXPECT_EQ(w.box->toPlainText(), QStringLiteral("第一行\n"));
}

TEST(ControlChars, TheLogWritesThemEscaped)
{
    const QString previous = programlog::path();
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("shopdesk.log"));
    programlog::setPath(path);
    programlog::write(QStringLiteral("备注 ") + withNul("ab", "cd\u0001\u001b\t\r\nef"));
    programlog::setPath(previous);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith('\n'));
    for (int i = 0; i < bytes.size() - 1; ++i)
        ASSERT_GE(static_cast<unsigned char>(bytes.at(i)), 0x20) << "raw byte at " << i;
    EXPECT_TRUE(QString::fromUtf8(bytes).endsWith(QStringLiteral(" 备注 ab\\x00cd\\x01\\x1b\\x09\\x0d\\x0aef\n")))
        << bytes.toStdString();
}

} // namespace
