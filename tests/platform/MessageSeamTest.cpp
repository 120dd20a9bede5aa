#include "platform/MessageScript.h"
#include "platform/MessageSeam.h"

#include "support/RealKeys.h"

#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace {

TEST(MessageSeam, ScriptRecordsTitleTextAndIcon)
{
    MessageScript script;
    MessageSeam::message(nullptr, QString(), QStringLiteral("没有权限！"));
    MessageSeam::warning(nullptr, QString(), QStringLiteral("您输入的帐号或密码不对"));
    MessageSeam::information(nullptr, QStringLiteral("提示"), QStringLiteral("保存成功"));

    ASSERT_EQ(script.messages().size(), 3);
    EXPECT_EQ(script.messages()[0].icon, MessageIcon::None);
    EXPECT_TRUE(script.messages()[0].title.isEmpty());
    EXPECT_FALSE(script.messages()[0].question);
    EXPECT_EQ(script.messages()[1].icon, MessageIcon::Warning);
    EXPECT_EQ(script.messages()[2].title, QStringLiteral("提示"));
    EXPECT_EQ(script.messages()[2].icon, MessageIcon::Information);
    EXPECT_EQ(script.texts(),
              (QStringList{QStringLiteral("没有权限！"), QStringLiteral("您输入的帐号或密码不对"), QStringLiteral("保存成功")}));
}

TEST(MessageSeam, QuestionsTakeQueuedAnswersThenTheDefault)
{
    MessageScript script;
    script.queueAnswers({true, false});
    EXPECT_TRUE(MessageSeam::question(nullptr, QStringLiteral("库存报警提示"), QStringLiteral("a")));
    EXPECT_FALSE(MessageSeam::question(nullptr, QStringLiteral("库存报警提示"), QStringLiteral("b")));
    EXPECT_FALSE(MessageSeam::question(nullptr, QStringLiteral("t"), QStringLiteral("c"))); // default No
    script.setDefaultAnswer(true);
    EXPECT_TRUE(MessageSeam::question(nullptr, QStringLiteral("t"), QStringLiteral("d")));

    ASSERT_EQ(script.messages().size(), 4);
    EXPECT_TRUE(script.messages()[0].question);
    EXPECT_EQ(script.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(script.messages()[0].title, QStringLiteral("库存报警提示"));
    EXPECT_TRUE(script.messages()[0].answeredYes);
    EXPECT_FALSE(script.messages()[1].answeredYes);
    EXPECT_EQ(script.pendingAnswers(), 0);
}

TEST(MessageSeam, ModalWindowIsHandedToTheScriptWhichCanFillAndAcceptIt)
{
    MessageScript script;
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("TransferDialog"));
    auto *edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("数量"));

    // Without a handler the window is recorded and counts as cancelled.
    EXPECT_EQ(MessageSeam::exec(&dialog), QDialog::Rejected);

    int depthInside = 0;
    script.setDialogHandler([&](QDialog *d) {
        depthInside = MessageSeam::modalDepth();
        d->findChild<QLineEdit *>(QStringLiteral("数量"))->setText(QStringLiteral("3"));
        d->accept();
        return d->result();
    });
    EXPECT_EQ(MessageSeam::exec(&dialog), QDialog::Accepted);
    EXPECT_EQ(edit->text(), QStringLiteral("3"));
    EXPECT_EQ(depthInside, 1);
    EXPECT_EQ(MessageSeam::modalDepth(), 0);
    EXPECT_EQ(script.dialogs(), (QStringList{QStringLiteral("TransferDialog"), QStringLiteral("TransferDialog")}));
}

TEST(MessageSeam, InnerScriptHidesTheOuterOneUntilItEnds)
{
    MessageScript outer;
    {
        MessageScript inner;
        MessageSeam::message(nullptr, QString(), QStringLiteral("inner"));
        EXPECT_EQ(inner.messages().size(), 1);
    }
    MessageSeam::message(nullptr, QString(), QStringLiteral("outer"));
    EXPECT_EQ(outer.texts(), QStringList{QStringLiteral("outer")});
}

// The boxes the program shows, worked with real keys: Enter presses the question's default button,
// Esc answers No, and a box with one button closes on either.
TEST(MessageSeam, EnterOnARealBoxPressesTheDefaultButton)
{
    const struct {
        const char *what;
        bool question;
        DefaultAnswer byDefault;
        Qt::Key key;
        bool yes;
    } cases[] = {
        {"question, Enter, Yes by default", true, DefaultAnswer::Yes, Qt::Key_Return, true},
        {"question, Enter, No by default", true, DefaultAnswer::No, Qt::Key_Return, false},
        {"question, keypad Enter, No by default", true, DefaultAnswer::No, Qt::Key_Enter, false},
        {"question, Esc, Yes by default", true, DefaultAnswer::Yes, Qt::Key_Escape, false},
        {"message, Enter", false, DefaultAnswer::Yes, Qt::Key_Return, false},
        {"message, Esc", false, DefaultAnswer::Yes, Qt::Key_Escape, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        MessageScript script;
        script.queueAnswers({!c.yes}); // never taken: the real box answers
        bool closedByKey = false;
        script.setRealBoxes([&](QMessageBox *box) {
            testsupport::pressKeyOnBox(box, c.key);
            closedByKey = !box->isVisible();
            testsupport::releaseKey(c.key);
        });
        bool yes = false;
        if (c.question)
            yes = MessageSeam::question(nullptr, QStringLiteral("t"), QStringLiteral("q"), MessageIcon::Warning, c.byDefault);
        else
            MessageSeam::message(nullptr, QStringLiteral("t"), QStringLiteral("m"));
        EXPECT_TRUE(closedByKey);
        EXPECT_EQ(yes, c.yes);
        ASSERT_EQ(script.messages().size(), 1);
        EXPECT_EQ(script.messages()[0].question, c.question);
        EXPECT_EQ(script.messages()[0].answeredYes, c.yes);
        EXPECT_EQ(script.pendingAnswers(), 1);
        EXPECT_EQ(MessageSeam::modalDepth(), 0);
    }
}

TEST(MessageSeam, UnscriptedBoxWithoutAScreenAnswersNoInsteadOfHanging)
{
    ASSERT_EQ(MessageScript::active(), nullptr);
    EXPECT_FALSE(MessageSeam::question(nullptr, QStringLiteral("t"), QStringLiteral("x")));
}

} // namespace
