#include "stock/FilterComboBox.h"
#include "stock/FormLists.h"
#include "Typing.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

using namespace stock;
using stocktest::imeCommit;
using stocktest::pressKey;
using stocktest::typeKeys;

namespace {

// Two colour combos side by side, narrowed by pinyin initials as the purchase form does.
class FilterComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        for (FilterComboBox *&c : combos) {
            c = new FilterComboBox(&window);
            layout->addWidget(c);
            c->setItemsKeepingText(colours);
            QObject::connect(c, &FilterComboBox::typed, c,
                             [this, c](const QString &t) { c->showFilterResult(filterByInitials(colours, t)); });
        }
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        first()->setFocus();
    }
    FilterComboBox *first() { return combos[0]; }
    FilterComboBox *second() { return combos[1]; }
    QStringList listed(FilterComboBox *c)
    {
        return qobject_cast<QStringListModel *>(c->listView()->model())->stringList();
    }

    const QStringList colours{QStringLiteral("红色"), QStringLiteral("黑色"), QStringLiteral("灰色"), QStringLiteral("白色")};
    QWidget window;
    FilterComboBox *combos[2] = {};
};

// A step of typing: keys or an input-method commit.
struct Typing {
    bool keys;
    const char *text;
};

struct TypingCase {
    const char *name;
    std::vector<Typing> steps;
    const char *expected;
};

class TypingKeepsEveryCharacter : public FilterComboBoxTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(TypingKeepsEveryCharacter, InOrderWithTheCursorAtTheEnd)
{
    for (const Typing &step : GetParam().steps) {
        if (step.keys)
            typeKeys(QString::fromUtf8(step.text));
        else
            imeCommit(QString::fromUtf8(step.text));
    }
    const QString expected = QString::fromUtf8(GetParam().expected);
    EXPECT_EQ(first()->currentText().toStdString(), expected.toStdString());
    EXPECT_EQ(first()->lineEdit()->cursorPosition(), expected.size());
    EXPECT_TRUE(second()->currentText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingKeepsEveryCharacter,
    ::testing::Values(TypingCase{"ChineseKeys", {{true, "裤子"}}, "裤子"},
                      TypingCase{"ChineseCommits", {{false, "裤"}, {false, "子"}}, "裤子"},
                      TypingCase{"ChineseKeysWhileTheListIsOpen", {{true, "h"}, {true, "裤子"}}, "h裤子"},
                      TypingCase{"CommitsWhileTheListIsOpen", {{true, "h"}, {false, "裤"}, {false, "子"}}, "h裤子"},
                      TypingCase{"LettersNarrowingTheList", {{true, "hs"}}, "hs"},
                      TypingCase{"MixedKeysAndCommits", {{false, "藏"}, {true, "q"}, {false, "青"}}, "藏q青"}),
    [](const ::testing::TestParamInfo<TypingCase> &info) { return std::string(info.param.name); });

TEST_F(FilterComboBoxTest, TypingInTheMiddleStaysWhereTheCursorIs)
{
    typeKeys(QStringLiteral("hs"));
    first()->lineEdit()->setCursorPosition(1);
    typeKeys(QStringLiteral("x"));
    EXPECT_EQ(first()->currentText(), QStringLiteral("hxs"));
    EXPECT_EQ(first()->lineEdit()->cursorPosition(), 2);
    imeCommit(QStringLiteral("红"));
    EXPECT_EQ(first()->currentText(), QStringLiteral("hx红s"));
    EXPECT_EQ(first()->lineEdit()->cursorPosition(), 3);
}

TEST_F(FilterComboBoxTest, TheOpenListLeavesKeyboardAndInputMethodWithTheEdit)
{
    typeKeys(QStringLiteral("h"));
    ASSERT_TRUE(first()->isListShown());
    EXPECT_EQ(listed(first()), (QStringList{QStringLiteral("红色"), QStringLiteral("黑色"), QStringLiteral("灰色")}));
    EXPECT_EQ(first()->count(), 3);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), first());
    EXPECT_EQ(QGuiApplication::focusObject(), first());
    EXPECT_EQ(first()->currentText(), QStringLiteral("h"));
}

TEST_F(FilterComboBoxTest, UpDownAndEnterPickFromTheList)
{
    typeKeys(QStringLiteral("h"));
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    EXPECT_EQ(first()->currentText(), QStringLiteral("黑色"));
    pressKey(Qt::Key_Enter);
    EXPECT_FALSE(first()->isListShown());
    EXPECT_EQ(first()->currentText(), QStringLiteral("黑色"));

    typeKeys(QStringLiteral("h"));  // 黑色h matches nothing: the list closes, the text stays
    EXPECT_EQ(first()->currentText(), QStringLiteral("黑色h"));
    EXPECT_FALSE(first()->isListShown());
}

// What is typed after a single match continues the matched text, keys and input-method commits
// alike; initials typed after a name narrow among the items that go on with them.
TEST_F(FilterComboBoxTest, TypingAfterASingleMatchContinuesTheShownText)
{
    struct Case {
        const char *name;
        bool striped; // the colours and 红色条纹, 黑色条纹
        std::vector<Typing> steps;
        const char *expected;
        std::vector<const char *> items;
    };
    const Case cases[] = {
        {"a committed character after a match by initials", false, {{true, "b"}, {false, "条"}}, "白色条", {}},
        {"a committed character after a typed name", false, {{false, "红色"}, {false, "条"}}, "红色条", {}},
        {"initials typed on after a match", false, {{true, "b"}, {true, "s"}}, "白色", {"白色"}},
        {"a letter the match's initials lack", false, {{true, "b"}, {true, "x"}}, "白色x", {}},
        {"initials matching nothing", false, {{true, "hsx"}}, "hsx", {}},
        {"a typed name keeps matching itself", true, {{false, "红色"}}, "红色", {"红色", "红色条纹"}},
        {"initials after a name narrow", true, {{false, "红色"}, {true, "t"}}, "红色条纹", {"红色条纹"}},
        {"initials only", true, {{true, "hst"}}, "hst", {"红色条纹", "黑色条纹"}},
        {"a name committed one character at a time", false, {{false, "红"}, {false, "色"}}, "红色", {"红色"}},
        {"another character after the first of a match", false, {{false, "红"}, {false, "条"}}, "红条", {}},
    };
    const QStringList striped = colours + QStringList{QStringLiteral("红色条纹"), QStringLiteral("黑色条纹")};
    const QStringList *items = &colours;
    QObject::disconnect(first(), &FilterComboBox::typed, nullptr, nullptr);
    QObject::connect(first(), &FilterComboBox::typed, first(),
                     [&](const QString &t) { first()->showFilterResult(filterByInitials(*items, t)); });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        items = c.striped ? &striped : &colours;
        first()->setEditText(QString());
        first()->setItemsKeepingText({});
        for (const Typing &step : c.steps) {
            if (step.keys)
                typeKeys(QString::fromUtf8(step.text));
            else
                imeCommit(QString::fromUtf8(step.text));
        }
        const QString expected = QString::fromUtf8(c.expected);
        EXPECT_EQ(first()->currentText().toStdString(), expected.toStdString());
        EXPECT_EQ(first()->lineEdit()->cursorPosition(), expected.size());
        QStringList expectedItems, shownItems;
        for (const char *item : c.items)
            expectedItems << QString::fromUtf8(item);
        for (int i = 0; i < first()->count(); ++i)
            shownItems << first()->itemText(i);
        EXPECT_EQ(shownItems.join(u',').toStdString(), expectedItems.join(u',').toStdString());
    }
}

TEST_F(FilterComboBoxTest, EscapeClosesTheListAndKeepsTheText)
{
    typeKeys(QStringLiteral("s"));
    ASSERT_TRUE(first()->isListShown());
    pressKey(Qt::Key_Escape);
    EXPECT_FALSE(first()->isListShown());
    EXPECT_EQ(first()->currentText(), QStringLiteral("s"));
}

TEST_F(FilterComboBoxTest, AClickOnARowPicksItAndTheFocusStays)
{
    typeKeys(QStringLiteral("h"));
    QListView *list = first()->listView();
    ASSERT_TRUE(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
    EXPECT_EQ(first()->currentText(), QStringLiteral("灰色"));
    EXPECT_FALSE(first()->isListShown());
    EXPECT_EQ(QApplication::focusWidget(), first());
}

// A click into the next field while a list is open goes to that field, and so does what follows.
TEST_F(FilterComboBoxTest, AClickOnAnotherFieldGoesThere)
{
    for (bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "list dropped down" : "list opened by typing");
        first()->setEditText(QString());
        second()->setEditText(QString());
        first()->setFocus();
        if (dropped)
            first()->showPopup();
        else
            typeKeys(QStringLiteral("h"));
        ASSERT_TRUE(first()->isListShown());
        QTest::mouseClick(second()->lineEdit(), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), second());
        EXPECT_FALSE(first()->isListShown());
        typeKeys(QStringLiteral("藏青"));
        imeCommit(QStringLiteral("色"));
        EXPECT_EQ(second()->currentText(), QStringLiteral("藏青色"));
        EXPECT_EQ(first()->currentText(), dropped ? QString() : QStringLiteral("h"));
    }
}

TEST_F(FilterComboBoxTest, TextCommittedWhileComposingIsFilteredWhenTheCompositionEnds)
{
    QSignalSpy typed(first(), &FilterComboBox::typed);
    imeCommit(QStringLiteral("h"), QStringLiteral("s"));
    EXPECT_EQ(typed.count(), 0);
    EXPECT_FALSE(first()->isListShown());
    imeCommit(QStringLiteral("s"));
    ASSERT_EQ(typed.count(), 1);
    EXPECT_EQ(typed.at(0).at(0).toString(), QStringLiteral("hs"));
    EXPECT_TRUE(first()->isListShown());

    // A composition given up without text still filters what was committed before it.
    first()->setEditText(QString());
    imeCommit(QStringLiteral("b"), QStringLiteral("x"));
    imeCommit(QString());
    EXPECT_EQ(first()->currentText(), QStringLiteral("白色"));
}

TEST_F(FilterComboBoxTest, NewItemsKeepTextCursorAndSelection)
{
    QLineEdit *edit = first()->lineEdit();
    first()->setEditText(QStringLiteral("abcd"));
    edit->setSelection(3, -2);  // "bc", cursor before b
    first()->setItemsKeepingText({QStringLiteral("红色")});
    EXPECT_EQ(first()->currentText(), QStringLiteral("abcd"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("bc"));
    EXPECT_EQ(edit->cursorPosition(), 1);
    first()->setItemsKeepingText({});
    EXPECT_EQ(first()->currentText(), QStringLiteral("abcd"));
    EXPECT_EQ(first()->count(), 0);
}

} // namespace
