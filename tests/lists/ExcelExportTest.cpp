#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/ProgramDir.h"
#include "support/Workbook.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testsupport::workbookPart;
using testsupport::workbookRows;

class ExcelExportTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return excelExportPath(dir.path(), name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ExcelExportTest, WorkbookHoldsTheTitlesAndEveryCellAsText)
{
    ReportList list;
    list.addColumn(QString(), 0); // hidden id, untitled
    list.addColumn(QStringLiteral("商品名称"), 120);
    list.addColumn(QStringLiteral("备 注"), 120);
    list.addColumn(QStringLiteral("商品名称"), 80); // duplicate title
    list.addRow({"1", QStringLiteral("Levi's 牛仔裤"), "a,b", "=1+2"});
    list.addRow({"2", QStringLiteral("第一行\n第二行"), "", "0012"});
    list.addRow({"3", QStringLiteral("合    计："), "'", QString(300, u'长')});

    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), QStringLiteral("销售明细2015年03月11号14点5")));
    const QString file = path(QStringLiteral("销售明细2015年03月11号14点5"));
    ASSERT_TRUE(QFile::exists(file));
    const QList<QStringList> expected = {
        {"", QStringLiteral("商品名称"), QStringLiteral("备 注"), QStringLiteral("商品名称")},
        {"1", QStringLiteral("Levi's 牛仔裤"), "a,b", "=1+2"},
        {"2", QStringLiteral("第一行\n第二行"), "", "0012"},
        {"3", QStringLiteral("合    计："), "'", QString(300, u'长')},
    };
    EXPECT_EQ(workbookRows(file), expected);
    // Every cell is a string: no numbers, no formulas.
    const QByteArray sheet = workbookPart(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_FALSE(sheet.contains("<f>"));
    EXPECT_FALSE(sheet.contains("<c r=\"D3\"><v>"));
    // Nothing but the workbook is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(file).fileName()});
}

// Excel reads "_xHHHH_" in a cell as the character of that code; a shop text that happens to look like
// one, control characters and blanks at either end must still come back as the list showed them.
TEST_F(ExcelExportTest, TextsThatLookLikeEscapesOrHoldControlCharactersReadBackExactly)
{
    ReportList list;
    list.addColumn(QStringLiteral("_x0041_"), 80);
    list.addColumn(QStringLiteral("备注"), 80);
    const QList<QStringList> rows = {
        {QStringLiteral("_x0041_"), QStringLiteral("款_x00e9_号_X1234__x005F_")},
        {QStringLiteral("a") + QChar(1) + QStringLiteral("b\tc"), QStringLiteral("  前后空格  ")},
        {QStringLiteral("_x12_"), QStringLiteral("__x0041__")},
        {QStringLiteral("_x0041_x0042_"), QStringLiteral("_x005F_x0041_")},
    };
    for (const QStringList &row : rows)
        list.addRow(row);
    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), QStringLiteral("销售明细")));
    QList<QStringList> expected = {{QStringLiteral("_x0041_"), QStringLiteral("备注")}};
    expected += rows;
    EXPECT_EQ(workbookRows(path(QStringLiteral("销售明细"))), expected);
}

TEST_F(ExcelExportTest, EmptyListGivesTheHeaderRowOnlyAndNoColumnsGivesFalse)
{
    ReportList list;
    list.addColumn(QStringLiteral("会员卡号"), 80);
    list.addColumn(QStringLiteral("会员姓名"), 80);
    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), QStringLiteral("会员信息")));
    EXPECT_EQ(workbookRows(path(QStringLiteral("会员信息"))),
              (QList<QStringList>{{QStringLiteral("会员卡号"), QStringLiteral("会员姓名")}}));

    ReportList noColumns;
    EXPECT_FALSE(exportListViewToExcel(&noColumns, dir.path(), QStringLiteral("空")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("空"))));
    EXPECT_FALSE(exportListViewToExcel(nullptr, dir.path(), QStringLiteral("空")));
}

// An old-style workbook stops at 65,536 rows; this one holds every row of a longer list.
TEST_F(ExcelExportTest, MoreRowsThanAnOldWorkbookHoldsAreAllWritten)
{
    ReportListModel model;
    model.addColumn(QStringLiteral("小票单号"));
    constexpr int rows = 65537;
    for (int r = 0; r < rows; ++r)
        model.appendRow({QString::number(r + 1)});
    ASSERT_TRUE(exportListModelToExcel(&model, dir.path(), QStringLiteral("销售明细")));
    const QList<QStringList> read = workbookRows(path(QStringLiteral("销售明细")));
    ASSERT_EQ(read.size(), rows + 1);
    EXPECT_EQ(read.last(), QStringList{QString::number(rows)});
}

TEST_F(ExcelExportTest, SecondExportInTheSameMinuteReplacesTheFirst)
{
    ReportList list;
    list.addColumn(QStringLiteral("款号"), 80);
    list.addRow({"K001"});
    list.addRow({"K002"});
    const QString name = QStringLiteral("调拨记录2015年03月11号9点0");
    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), name));
    list.clear();
    list.addRow({"K003"});
    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), name));
    EXPECT_EQ(workbookRows(path(name)), (QList<QStringList>{{QStringLiteral("款号")}, {"K003"}}));
}

TEST_F(ExcelExportTest, TheWorkbookIsReadableByOthersLikeAnyNewFile)
{
    ReportList list;
    list.addColumn(QStringLiteral("款号"), 80);
    const mode_t old = ::umask(022);
    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), QStringLiteral("销售明细")));
    ::umask(old);
    const QFile::Permissions p = QFileInfo(path(QStringLiteral("销售明细"))).permissions();
    EXPECT_TRUE(p & QFile::ReadGroup);
    EXPECT_TRUE(p & QFile::ReadOther);
    EXPECT_FALSE(p & QFile::WriteOther);
}

TEST_F(ExcelExportTest, FailureIsReportedAndLeavesAnEarlierWorkbookAlone)
{
    ReportList list;
    list.addColumn(QStringLiteral("款号"), 80);
    list.addRow({"K001"});
    EXPECT_FALSE(exportListViewToExcel(&list, QStringLiteral("/proc"), QStringLiteral("销售报表")));
    EXPECT_FALSE(exportListViewToExcel(&list, dir.filePath(QStringLiteral("missing")), QStringLiteral("销售报表")));
    EXPECT_FALSE(exportListViewToExcel(&list, dir.path(), QString()));

    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), QStringLiteral("销售报表")));
    list.addRow({"K002"});
    // A sheet name Excel refuses fails the export; the workbook written before stays whole.
    EXPECT_FALSE(exportListViewToExcel(&list, dir.path(), QStringLiteral("销售报表"), QStringLiteral("a/b"), true));
    EXPECT_EQ(workbookRows(path(QStringLiteral("销售报表"))), (QList<QStringList>{{QStringLiteral("款号")}, {"K001"}}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(ExcelExportTest, SheetNameProgressAndProgramDirectory)
{
    ReportList list;
    list.addColumn(QStringLiteral("款号"), 80);
    for (int i = 0; i < 250; ++i)
        list.addRow({QString::number(i)});
    QProgressBar progress;
    ASSERT_TRUE(exportListViewToExcel(&list, dir.path(), QStringLiteral("库存报警"), QStringLiteral("[库存]"), true,
                                      &progress));
    EXPECT_EQ(progress.maximum(), 250);
    EXPECT_EQ(progress.value(), 250);
    EXPECT_TRUE(workbookPart(path(QStringLiteral("库存报警")), QStringLiteral("xl/workbook.xml"))
                    .contains(QStringLiteral("name=\"库存\"").toUtf8()));

    ProgramDir::set(dir.path());
    ASSERT_TRUE(exportListViewToExcelInProgramDir(&list, QStringLiteral("销量排行")));
    EXPECT_EQ(workbookRows(QDir(ProgramDir::path()).filePath(QStringLiteral("销量排行.xlsx"))).size(), 251);
}

TEST(ExcelExportName, PrefixDateAndClockAsTheButtonsNameTheirWorkbooks)
{
    EXPECT_EQ(excelExportName(QStringLiteral("销售明细"), QDate(2015, 3, 11), QTime(14, 5)),
              QStringLiteral("销售明细2015年03月11号14点5"));
    EXPECT_EQ(excelExportName(QStringLiteral("采购报表"), QDate(2015, 12, 1), QTime(9, 0)),
              QStringLiteral("采购报表2015年12月01号9点0"));
    EXPECT_EQ(excelExportName(QStringLiteral("库存报警"), QDate(2016, 1, 2), QTime(0, 59)),
              QStringLiteral("库存报警2016年01月02号0点59"));
    EXPECT_EQ(excelExportPath(QStringLiteral("/shop"), QStringLiteral("会员信息")), QStringLiteral("/shop/会员信息.xlsx"));
}

TEST(ExcelExportName, EachButtonsSuccessTextAndAClearFailureText)
{
    const QList<std::pair<const char16_t *, const char16_t *>> table = {
        {u"销售明细", u"销售明细已成功导出在程序运行目录下"},
        {u"会员生日提醒", u"会员生日提配已成功导出在程序运行目录下"},
        {u"会员信息", u"会员信息已成功导出在程序运行目录下"},
        {u"退货管理", u"退货管理数据已成功导出在程序运行目录下"},
        {u"库存报警", u"库存报警已成功导出在程序运行目录下"},
        {u"调拨记录", u"调拨记录已成功导出在程序运行目录下"},
        {u"销量排行", u"销量排行已成功导出在程序运行目录下"},
        {u"销售报表", u"销售报表已成功导出在程序运行目录下"},
        {u"采购报表", u"采购报表已成功导出在程序运行目录下"},
    };
    for (const auto &[prefix, text] : table) {
        EXPECT_EQ(exportSuccessText(QString::fromUtf16(prefix)), QString::fromUtf16(text));
        const QString failure = exportFailureText(QString::fromUtf16(prefix));
        EXPECT_TRUE(failure.startsWith(QStringLiteral("导出失败：")));
        EXPECT_FALSE(failure.contains(QStringLiteral("成功")));
    }
}
