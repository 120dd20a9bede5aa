// The member export and the birthday export: their names from today and the local clock, the log
// row of the member export, nothing written or logged without the right or when the workbook could
// not be written, and both workbooks as openpyxl reads them.
#include "MemberFixture.h"

#include "context/AccountRights.h"
#include "members/BirthdayReminderWindow.h"
#include "members/MemberExport.h"
#include "members/MemberExtras.h"
#include "platform/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace members;
using membertest::SqliteMemberFixture;

namespace {

// The first sheet of a workbook as openpyxl reads it: rows of cells, an empty cell as "".
QList<QStringList> openpyxlRows(const QString &path, QString *error)
{
    static const char *script = R"(
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for row in sheet.iter_rows(values_only=True):
    print("\x1f".join("" if v is None else str(v) for v in row))
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        *error = QStringLiteral("openpyxl could not read the workbook: ") + QString::fromUtf8(python.readAllStandardError());
        return {};
    }
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        rows << line.split(QChar(0x1f));
    return rows;
}

// What a list shows, titles first.
QList<QStringList> listRows(const ReportList *list)
{
    QList<QStringList> rows;
    QStringList titles;
    for (int c = 0; c < list->columnCount(); ++c)
        titles << list->columnTitle(c);
    rows << titles;
    for (int r = 0; r < list->rowCount(); ++r)
        rows << list->rowTexts(r);
    return rows;
}

class MemberExportTest : public SqliteMemberFixture {
protected:
    void SetUp() override
    {
        SqliteMemberFixture::SetUp();
        if (HasFatalFailure())
            return;
        previousDir = ProgramDir::path();
        ProgramDir::set(database->dir());
        // 09:07 on 2015-03-11; today of the context still holds an earlier refresh.
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 7, 30)));
        ctx().today = localDateParts(QDateTime(QDate(2015, 3, 10), QTime(14, 5)));
        mountMemberExtras(*page, [](const QDate &date) {
            return date == QDate(2015, 3, 11) ? QStringLiteral("0121") : QStringLiteral("9999");
        });
    }
    void TearDown() override
    {
        ProgramDir::set(previousDir);
        SqliteMemberFixture::TearDown();
    }
    QStringList logRows()
    {
        return rows(QStringLiteral("SELECT 门店,用户名,操作内容,操作时间,所属店铺 FROM 日志记录 ORDER BY id"),
                    {QStringLiteral("门店"), QStringLiteral("用户名"), QStringLiteral("操作内容"), QStringLiteral("操作时间"),
                     QStringLiteral("所属店铺")});
    }
    QStringList workbooks() const { return QDir(database->dir()).entryList({QStringLiteral("*.xlsx")}); }
    QString previousDir;
};

TEST_F(MemberExportTest, TheMemberListAsLastSearchedWithItsNameAndLogRow)
{
    member(QStringLiteral("V1"), QStringLiteral("A"), QStringLiteral("王芳"), QStringLiteral("13800001111"));
    member(QStringLiteral("V2"), QStringLiteral("A"), QStringLiteral("李'四"), QStringLiteral("13900002222"));
    member(QStringLiteral("V3"), QStringLiteral("A"), QStringLiteral("王五"));
    openPage();
    page->findChild<QLineEdit *>(QStringLiteral("会员姓名3"))->setText(QStringLiteral("王"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("会员姓名查")), Qt::LeftButton);
    ASSERT_EQ(page->list()->rowCount(), 2);

    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("超级按钮1")), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList{"会员信息已成功导出在程序运行目录下"});
    EXPECT_EQ(workbooks(), QStringList{"会员信息2015年03月11号9点7.xlsx"});
    EXPECT_EQ(logRows(), QStringList{"A|zs|会员管理---导出会员信息！|2015-03-11 9:7|A"});

    QString error;
    const QList<QStringList> sheet = openpyxlRows(QDir(database->dir()).filePath(workbooks().value(0)), &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(sheet, listRows(page->list()));
    EXPECT_EQ(sheet.value(0).value(4), QStringLiteral("手    机"));
    EXPECT_EQ(sheet.value(2).value(2), QStringLiteral("王五"));
}

TEST_F(MemberExportTest, TheBirthdayListWithItsNameAndTheSpellingOfItsMessage)
{
    const data::Pairs row = {{QStringLiteral("会员卡号"), QStringLiteral("B1")}, {QStringLiteral("会员姓名"), QStringLiteral("寿星")},
                             {QStringLiteral("本年生日"), QStringLiteral("0121")}, {QStringLiteral("所属店铺"), QStringLiteral("A")}};
    ASSERT_TRUE(db().execute(data::buildInsertSql(db().dialect(), QStringLiteral("会员管理"), row)));
    QStringList exported;
    messages.setDialogHandler([&](QDialog *dialog) {
        auto *window = qobject_cast<BirthdayReminderWindow *>(dialog);
        if (!window)
            return int(QDialog::Rejected);
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("超级按钮1")), Qt::LeftButton);
        QString error;
        const QList<QStringList> sheet = openpyxlRows(QDir(database->dir()).filePath(workbooks().value(0)), &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(sheet, listRows(window->list()));
        for (const QStringList &cells : sheet)
            exported << cells.join(u'|');
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("按钮14")), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList{"会员生日提配已成功导出在程序运行目录下"});
    EXPECT_EQ(workbooks(), QStringList{"会员生日提醒2015年03月11号9点7.xlsx"});
    EXPECT_EQ(exported, (QStringList{"会员卡号|会员姓名|会员类别|手    机|消费金额|最近消费|农历生日|",
                                     "B1|寿星|||||0121|今天过生日"}));
    EXPECT_TRUE(logRows().isEmpty());
}

TEST_F(MemberExportTest, NothingWrittenOrLoggedWithoutTheRightOrAWritableDirectory)
{
    member(QStringLiteral("V1"));
    openPage();
    const int right = AccountRights::columns().indexOf(QStringLiteral("导出会员"));
    ASSERT_GE(right, 0);
    struct Case {
        const char *name;
        bool granted;
        bool writable;
        QString message;
    } cases[] = {
        {"without 导出会员", false, true, "没有权限！"},
        {"a directory that is not there", true, false,
         "导出失败：会员信息未能写入程序运行目录，请检查该目录是否可写、同名的Excel文件是否正被其他程序打开"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        ctx().accountRights[right] = c.granted ? AppContext::Granted : QString();
        ProgramDir::set(c.writable ? database->dir() : QDir(database->dir()).filePath(QStringLiteral("gone")));
        exportMemberList(ctx(), page->list(), page.get());
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_TRUE(workbooks().isEmpty());
        EXPECT_TRUE(logRows().isEmpty());
    }
}

TEST_F(MemberExportTest, AFailedBirthdayExportSaysSo)
{
    ProgramDir::set(QDir(database->dir()).filePath(QStringLiteral("gone")));
    BirthdayReminderWindow window(ctx(), [](const QDate &) { return QStringLiteral("9999"); });
    window.exportBirthdayList();
    EXPECT_EQ(messages.texts(), QStringList{"导出失败：会员生日提醒未能写入程序运行目录，请检查该目录是否可写、同名的Excel文件是否正被其他程序打开"});
}

} // namespace
