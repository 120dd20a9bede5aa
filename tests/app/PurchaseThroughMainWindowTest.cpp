// A purchase entered as a shop's clerk enters it in the assembled program: the supplier, the
// colours, sizes and unit and the categories set up on their pages, then two colours in three
// sizes on the page 采购入库, found again by the pinyin initials of the name.
#include "PurchaseSteps.h"

using apptest::child;
using apptest::Installation;
using apptest::setUpCatalogue;
using apptest::type;
using shell::MainWindow;
using stock::FilterComboBox;

namespace {

class PurchaseThroughMainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
        // A workstation of shop 总店 with label printing on, and its clerk holding every right.
        ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
        inst.ini().writeSetting(SettingsFile::PrintSection, SettingsFile::LabelKey, QStringLiteral("真"));
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
        inst.script.setDialogHandler([](QDialog *dialog) {
            const int result = apptest::answerCategoryName(dialog);
            return result < 0 ? int(QDialog::Rejected) : result;
        });
    }

    Installation inst;
};

TEST_F(PurchaseThroughMainWindow, TwoColoursInThreeSizesListedWithBarcodesAndFoundByInitials)
{
    QStringList texts;
    const int code = inst.run([&](shell::LoginWindow &login) {
        MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        QApplication::setActiveWindow(main); // as the desktop activates a window that opens
        [&] {
            setUpCatalogue(*main, inst);
            if (::testing::Test::HasFatalFailure())
                return;
            inst.script.clear();

            main->toolbarAction(3)->trigger();
            auto *page = child<stock::PurchasePage>(main, QStringLiteral("采购入库"));
            ASSERT_EQ(main->currentPage(), 3);
            type(child<FilterComboBox>(page, QStringLiteral("供货来源7")), QStringLiteral("g"));
            EXPECT_EQ(child<FilterComboBox>(page, QStringLiteral("供货来源7"))->currentText(), QStringLiteral("广州甲"));
            type(child<FilterComboBox>(page, QStringLiteral("类别7")), QStringLiteral("c"));
            EXPECT_EQ(child<FilterComboBox>(page, QStringLiteral("类别7"))->currentText(), QStringLiteral("衬衫"));
            type(child<FilterComboBox>(page, QStringLiteral("单位8")), QStringLiteral("j"));
            auto *style = child<QLineEdit>(page, QStringLiteral("款号7"));
            QTest::mouseClick(style, Qt::LeftButton); // suggests the next style number
            EXPECT_EQ(style->text(), QStringLiteral("1001"));
            child<FilterComboBox>(page, QStringLiteral("名称7"))->setEditText(QStringLiteral("纯棉衬衫"));
            child<QLineEdit>(page, QStringLiteral("进货价7"))->setText(QStringLiteral("50"));
            child<QLineEdit>(page, QStringLiteral("吊牌价7"))->setText(QStringLiteral("120"));
            const QString sizes[] = {QStringLiteral("s"), QStringLiteral("m"), QStringLiteral("l")};
            for (int k = 1; k <= 6; ++k) {
                const QString n = QString::number(k);
                type(child<FilterComboBox>(page, QStringLiteral("颜色") + n), k <= 3 ? QStringLiteral("h") : QStringLiteral("b"));
                type(child<FilterComboBox>(page, QStringLiteral("尺码") + n), sizes[(k - 1) % 3]);
                auto *quantity = child<QLineEdit>(page, QStringLiteral("数量") + n);
                quantity->setFocus(); // leaving the size box upper-cases it
                QTest::keyClicks(quantity, QStringLiteral("2"));
            }
            // A visit to the category page and back leaves the half-typed purchase as it was.
            const QStringList fields{QStringLiteral("供货来源7"), QStringLiteral("类别7"), QStringLiteral("单位8"),
                                     QStringLiteral("颜色1"), QStringLiteral("尺码1")};
            QStringList typedBefore;
            for (const QString &field : fields)
                typedBefore << child<FilterComboBox>(page, field)->currentText();
            main->toolbarAction(4)->trigger();
            ASSERT_EQ(main->currentPage(), 4);
            main->toolbarAction(3)->trigger();
            QStringList typedAfter;
            for (const QString &field : fields)
                typedAfter << child<FilterComboBox>(page, field)->currentText();
            EXPECT_EQ(typedAfter, typedBefore);
            EXPECT_EQ(typedAfter.first(), QStringLiteral("广州甲"));

            QTest::mouseClick(child<QPushButton>(page, QStringLiteral("添加采购")), Qt::LeftButton);
            texts = inst.script.texts();

            auto *list = child<ReportList>(page, QStringLiteral("超级列表框7"));
            ASSERT_TRUE(list);
            ASSERT_EQ(list->rowCount(), 7); // six rows and the totals line
            const QStringList colours{QStringLiteral("红色"), QStringLiteral("红色"), QStringLiteral("红色"),
                                      QStringLiteral("白色"), QStringLiteral("白色"), QStringLiteral("白色")};
            for (int row = 0; row < 6; ++row) {
                EXPECT_EQ(list->cellText(row, 1), QStringLiteral("6983111485901")) << row;
                EXPECT_EQ(list->cellText(row, 6), colours[row]) << row;
                EXPECT_EQ(list->cellText(row, 7), sizes[row % 3].toUpper()) << row;
            }
            EXPECT_EQ(list->cellText(6, 8), QStringLiteral("12"));
            EXPECT_EQ(inst.labels->labelCount(), 12);

            // The name box finds the entry by the initials of 纯棉衬衫.
            auto *name = child<FilterComboBox>(page, QStringLiteral("名称7"));
            EXPECT_TRUE(name->currentText().isEmpty()) << "the form is cleared after the entry";
            name->setFocus();
            QTest::keyClicks(name->lineEdit(), QStringLiteral("CMcs"));
            QTest::keyClick(name->lineEdit(), Qt::Key_Return);
            EXPECT_EQ(name->currentText(), QStringLiteral("纯棉衬衫"));
        }();
        main->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(texts.isEmpty()) << texts.join(u'\n').toStdString();
}

} // namespace
