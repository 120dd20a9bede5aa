// A member's name pasted with a NUL is stored without it, and a search text pasted with one finds
// her, alike on both backends.
#include "MemberFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using membertest::MemberFixture;

namespace {

const QString kNul = QString(QChar(0));

class MemberControlChars : public MemberFixture {
protected:
    QLineEdit *field(const char *name) { return page->findChild<QLineEdit *>(QString::fromUtf8(name)); }
    void click(const char *name)
    {
        auto *b = page->findChild<QPushButton *>(QString::fromUtf8(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Pastes with Ctrl+V over the whole text of a box of the shown page.
    void paste(const char *name, const QString &text)
    {
        QLineEdit *box = field(name);
        ASSERT_NE(box, nullptr) << name;
        QApplication::clipboard()->setText(text);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
};

TEST_P(MemberControlChars, ANameIsStoredAndSearchedWithoutIt)
{
    member(QStringLiteral("M0"), QStringLiteral("A"), QStringLiteral("李四"));
    openPage();
    page->show();
    QApplication::setActiveWindow(page.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));

    page->findChild<QComboBox *>(QStringLiteral("会员类别3"))->setCurrentIndex(1);
    field("会员卡号3")->setText(QStringLiteral("M1"));
    paste("会员姓名3", QStringLiteral("王") + kNul + QStringLiteral("芳"));
    EXPECT_EQ(field("会员姓名3")->text(), QStringLiteral("王芳"));
    paste("备注3", QStringLiteral("老") + kNul + QStringLiteral("客户\u0001"));
    click("添加会员");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ") + db().dialect().quoteTable(QStringLiteral("会员管理")) + QStringLiteral(" ORDER BY id"),
                   {QStringLiteral("会员卡号"), QStringLiteral("会员姓名"), QStringLiteral("备注")}),
              (QStringList{QStringLiteral("M0|李四|"), QStringLiteral("M1|王芳|老客户")}));

    paste("会员姓名3", QStringLiteral("王") + kNul);
    EXPECT_EQ(field("会员姓名3")->text(), QStringLiteral("王"));
    click("会员姓名查");
    EXPECT_EQ(column(1), QStringList{QStringLiteral("M1")});
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
}

SHOPDESK_BOTH_BACKENDS(MemberControlChars);

} // namespace
