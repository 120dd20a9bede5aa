// The printing settings page on real widgets (offscreen) in a program directory of its own: the
// shipped print.ini, saving and restoring the layouts across restarts, the header and first-column
// rules, the two print switches in sql.ini, the logo, and every failed write reported.
#include "context/AppContext.h"
#include "context/ShopDatabase.h"
#include "data/SettingsFile.h"
#include "platform/Gbk.h"
#include "platform/IniFile.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "printing/PrintSettings.h"
#include "printing/PrintSettingsPage.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace printing;

namespace {

const QString ShippedPrintIni = QStringLiteral(SHOPDESK_SOURCE_DIR "/share/print.ini");
const QString Blanks23 = QString(23, u' ');

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool putBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

using Controls = QList<std::pair<QString, QString>>;

// Each key of print.ini with the object name of the control that holds it.
const Controls &receiptControls()
{
    static const Controls table = [] {
        const char *const pairs[][2] = {
            {"纸张宽度", "宽1"}, {"纸张高度", "高1"}, {"小票头部打印文字", "打文字"}, {"小票头部打印LOGO", "打LOGO"},
            {"LOGO左边位置", "L左"}, {"LOGO顶边位置", "L上"}, {"LOGO打印宽度", "L宽"}, {"LOGO打印高度", "L高"},
            {"主标题字体大小", "主标题大小"}, {"主标题左边位置", "主左"}, {"主标题顶边位置", "主上"},
            {"副标题字体大小", "副标题大小"}, {"副标题左边位置", "副左"}, {"副标题顶边位置", "副上"},
            {"日期左边位置", "日左"}, {"日期顶边位置", "日上"}, {"销售单号左边位置", "单左"}, {"销售单号顶边位置", "单上"},
            {"第一根左边位置", "一左"}, {"第一根顶边位置", "一上"}, {"款号左边位置", "款左"}, {"款号顶边位置", "款上"},
            {"颜色左边位置", "颜左"}, {"尺码左边位置", "尺左"}, {"数量左边位置", "量左"}, {"金额左边位置", "金左"},
            {"打印款号", "打款号"}, {"打印商品名称", "打名称"}, {"打印分类", "打分类"},
            {"第二根左边位置", "二左"}, {"第二根顶边位置", "二上"}, {"合计左边位置", "合左"}, {"合计顶边位置", "合上"},
            {"总金额左边位置", "总左"}, {"总金额顶边位置", "总上"},
            {"第一行左边位置", "一行左"}, {"第一行顶边位置", "一行上"}, {"第二行左边位置", "二行左"}, {"第二行顶边位置", "二行上"},
            {"第三行左边位置", "三行左"}, {"第三行顶边位置", "三行上"}, {"第四行左边位置", "四行左"}, {"第四行顶边位置", "四行上"},
            {"第五行左边位置", "五行左"}, {"第五行顶边位置", "五行上"}, {"第六行左边位置", "六行左"}, {"第六行顶边位置", "六行上"},
            {"主标题", "主标题"}, {"副标题", "副标题"}, {"款号", "款"}, {"颜色", "颜"}, {"尺码", "尺"}, {"数量", "数"},
            {"金额", "金"}, {"合计金额", "合计"}, {"第一行", "第一行"}, {"第二行", "第二行"}, {"第三行", "第三行"},
            {"第四行", "第四行"}, {"第五行", "第五行"}, {"第六行", "第六行"}};
        Controls controls;
        for (const auto &pair : pairs)
            controls.append({QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1])});
        return controls;
    }();
    return table;
}

const Controls &labelControls()
{
    static const Controls table = [] {
        const char *const pairs[][2] = {
            {"标签纸张宽", "b宽"}, {"标签纸张高", "b高"},
            {"标签款号字体大小", "B款大小"}, {"标签款号左边位置", "B款左"}, {"标签款号顶边位置", "B款上"},
            {"标签颜色字体大小", "B颜大小"}, {"标签颜色左边位置", "B颜左"}, {"标签颜色顶边位置", "B颜上"},
            {"标签尺码字体大小", "B尺大小"}, {"标签尺码左边位置", "B尺左"}, {"标签尺码顶边位置", "B尺上"},
            {"标签价格字体大小", "B价大小"}, {"标签价格左边位置", "B价左"}, {"标签价格顶边位置", "B价上"},
            {"条码高度", "条高"}, {"条码左边位置", "条左"}, {"条码顶边位置", "条上"},
            {"标款号", "B款号"}, {"标颜色", "B颜色"}, {"标尺码", "B尺码"}, {"标价格", "B价格"}};
        Controls controls;
        for (const auto &pair : pairs)
            controls.append({QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1])});
        return controls;
    }();
    return table;
}

class PrintSettingsPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ProgramDir::set(home.path());
    }

    QString file(const QString &name) const { return QDir(home.path()).filePath(name); }
    void installShippedPrintIni() { ASSERT_TRUE(QFile::copy(ShippedPrintIni, file(QStringLiteral("print.ini")))); }

    // One start of the program as far as this page goes: the context read from sql.ini, the page
    // made, the layouts loaded at the main window's creation and the page shown once.
    PrintSettingsPage &start()
    {
        page.reset();
        context = std::make_unique<AppContext>();
        loadSettingsFromIni(*context);
        page = std::make_unique<PrintSettingsPage>(*context);
        page->loadReceiptLayout();
        page->syncPrintSwitches();
        return *page;
    }

    QLineEdit *edit(const char *name) const
    {
        auto *e = page->findChild<QLineEdit *>(QString::fromUtf8(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    QCheckBox *box(const char *name) const
    {
        auto *b = page->findChild<QCheckBox *>(QString::fromUtf8(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    void click(const char *name) const
    {
        auto *b = page->findChild<QAbstractButton *>(QString::fromUtf8(name));
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    QString sqlIni(const QString &key) const
    {
        return SettingsFile::inDirectory(home.path()).readSetting(SettingsFile::PrintSection, key);
    }
    QString saved(const QString &key) const
    {
        return readIniValue(file(QStringLiteral("print.ini")), QStringLiteral("小票配置"), key, IniValueForm::Exact);
    }

    // The file dialog of the logo button: chooses the file, or cancels with an empty path.
    void chooseInDialog(const QString &path)
    {
        script.setDialogHandler([this, path](QDialog *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            dialogTitles << (files ? dialog->windowTitle() : QStringLiteral("<not a file dialog>"));
            if (!files || path.isEmpty())
                return int(QDialog::Rejected);
            files->selectFile(path);
            return int(QDialog::Accepted);
        });
    }

    QSize logoSize() const { return page->currentLook().logo.size(); }

    QTemporaryDir home;
    MessageScript script;
    QStringList dialogTitles;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<PrintSettingsPage> page;
};

} // namespace

TEST_F(PrintSettingsPageTest, TheShippedPrintIniHoldsBothLayoutsAndTheirFactoryCopiesInGbk)
{
    const QByteArray bytes = bytesOf(ShippedPrintIni);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(gbk::encode(gbk::decode(bytes)), bytes);                     // GBK throughout
    EXPECT_FALSE(bytes.contains(QStringLiteral("小票配置").toUtf8()));      // not UTF-8
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));                     // CRLF line ends
    EXPECT_TRUE(bytes.contains(gbk::encode(QStringLiteral("第二行=") + Blanks23 + QStringLiteral("第二行自定义内容\r\n"))));

    // Every section holds exactly its keys, in order.
    const QStringList lines = gbk::decode(bytes).split(QStringLiteral("\r\n"));
    struct Section { const char *name; QStringList keys; };
    const Section sections[] = {{"小票配置", receiptLayoutKeys()}, {"恢复默认配置", receiptLayoutKeys()},
                                {"标签配置", labelLayoutKeys()}, {"恢复标签配置", labelLayoutKeys()}};
    for (const Section &s : sections) {
        const qsizetype header = lines.indexOf(QLatin1Char('[') + QString::fromUtf8(s.name) + QLatin1Char(']'));
        ASSERT_GE(header, 0) << s.name;
        QStringList keys;
        for (qsizetype n = header + 1; n < lines.size() && !lines[n].isEmpty() && !lines[n].startsWith(u'['); ++n)
            keys << lines[n].section(u'=', 0, 0);
        EXPECT_EQ(keys, s.keys) << s.name;
    }

    struct Value { const char *section, *key; QString text; };
    const Value values[] = {
        {"小票配置", "纸张宽度", QStringLiteral("570")},
        {"恢复默认配置", "纸张高度", QStringLiteral("760")},
        {"小票配置", "主标题字体大小", QStringLiteral("18")},
        {"恢复默认配置", "LOGO打印宽度", QStringLiteral("470")},
        {"小票配置", "第一根左边位置", QStringLiteral("1")},
        {"恢复默认配置", "金额左边位置", QStringLiteral("410")},
        {"小票配置", "第六行顶边位置", QStringLiteral("700")},
        {"小票配置", "合计金额", QStringLiteral("合计金额：")},
        {"小票配置", "第一行", QStringLiteral("第一行自定义内容")},
        {"恢复默认配置", "第二行", Blanks23 + QStringLiteral("第二行自定义内容")},
        {"小票配置", "第四行", Blanks23 + QStringLiteral("第四行自定义内容")},
        {"恢复默认配置", "第六行", Blanks23 + QStringLiteral("第六行自定义内容")},
        {"标签配置", "标签纸张宽", QStringLiteral("400")},
        {"恢复标签配置", "标签价格字体大小", QStringLiteral("12")},
        {"标签配置", "条码顶边位置", QStringLiteral("2000")},
        {"恢复标签配置", "条码高度", QStringLiteral("800")},
        {"标签配置", "标价格", QStringLiteral("价格：")},
    };
    for (const Value &v : values)
        EXPECT_EQ(readIniValue(ShippedPrintIni, QString::fromUtf8(v.section), QString::fromUtf8(v.key), IniValueForm::Exact),
                  v.text) << v.section << "/" << v.key;

    // All 82 keys of each copy are the page's initial layouts, the page shows them as loaded.
    EXPECT_EQ(readLayout(ShippedPrintIni, ReceiptSection, receiptLayoutKeys()), initialReceiptLayout());
    EXPECT_EQ(readLayout(ShippedPrintIni, ReceiptDefaultsSection, receiptLayoutKeys()), initialReceiptLayout());
    EXPECT_EQ(readLayout(ShippedPrintIni, LabelSection, labelLayoutKeys()), initialLabelLayout());
    EXPECT_EQ(readLayout(ShippedPrintIni, LabelDefaultsSection, labelLayoutKeys()), initialLabelLayout());
    installShippedPrintIni();
    start();
    EXPECT_EQ(edit("第二行")->text(), Blanks23 + QStringLiteral("第二行自定义内容"));
    EXPECT_EQ(edit("宽1")->text(), QStringLiteral("570"));
    EXPECT_EQ(edit("B价格")->text(), QStringLiteral("价格："));
    EXPECT_TRUE(box("打文字")->isChecked());
    EXPECT_TRUE(box("打款号")->isChecked());
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(PrintSettingsPageTest, SaveAndRestartBringEveryControlBackWithTheSwitches)
{
    installShippedPrintIni();
    start();
    // A value of its own in every control, blanks included; the header and first-column switches
    // set the other way round (several first-column boxes ticked are stored as they are).
    PrintLayout receipt, label;
    int n = 0;
    for (const QString &key : receiptLayoutKeys())
        receipt.setText(key, receiptSwitchKeys().contains(key) ? QString() : QStringLiteral(" %1 ").arg(++n));
    receipt.setText(QStringLiteral("小票头部打印文字"), QStringLiteral("假"));
    receipt.setText(QStringLiteral("小票头部打印LOGO"), QStringLiteral("真"));
    receipt.setText(QStringLiteral("打印款号"), QStringLiteral("假"));
    receipt.setText(QStringLiteral("打印商品名称"), QStringLiteral("真"));
    receipt.setText(QStringLiteral("打印分类"), QStringLiteral("真"));
    receipt.setText(QStringLiteral("第三行"), QStringLiteral("  谢谢惠顾，欢迎再来！"));
    receipt.setText(QStringLiteral("第五行"), QString());
    for (const QString &key : labelLayoutKeys())
        label.setText(key, QStringLiteral("L%1").arg(++n));
    label.setText(QStringLiteral("标颜色"), QString()); // an emptied caption is saved empty

    for (const auto &[key, name] : receiptControls()) {
        if (receiptSwitchKeys().contains(key))
            page->findChild<QCheckBox *>(name)->setChecked(receipt.isOn(key));
        else
            page->findChild<QLineEdit *>(name)->setText(receipt.text(key));
    }
    for (const auto &[key, name] : labelControls())
        page->findChild<QLineEdit *>(name)->setText(label.text(key));
    ASSERT_EQ(page->receiptLayout(), receipt);
    ASSERT_EQ(page->labelLayout(), label);
    click("选择框9");
    click("打标签框");
    script.clear();
    click("保存小票");
    click("保存标签");
    EXPECT_TRUE(script.texts().isEmpty()); // no confirmation

    start();
    EXPECT_EQ(page->receiptLayout(), receipt);
    EXPECT_EQ(page->labelLayout(), label);
    for (const auto &[key, name] : receiptControls()) {
        if (!receiptSwitchKeys().contains(key))
            EXPECT_EQ(page->findChild<QLineEdit *>(name)->text(), receipt.text(key)) << name.toStdString();
    }
    for (const auto &[key, name] : labelControls())
        EXPECT_EQ(page->findChild<QLineEdit *>(name)->text(), label.text(key)) << name.toStdString();
    EXPECT_FALSE(box("打文字")->isChecked());
    EXPECT_TRUE(box("打LOGO")->isChecked());
    EXPECT_TRUE(box("打名称")->isChecked() && box("打分类")->isChecked());
    EXPECT_TRUE(box("选择框9")->isChecked());
    EXPECT_TRUE(box("打标签框")->isChecked());
    // Loading does not switch the preview: the titles stay shown until a header box is clicked.
    EXPECT_FALSE(edit("主标题")->isHidden());
    EXPECT_FALSE(edit("副标题")->isHidden());
    EXPECT_TRUE(page->findChild<QLabel *>(QStringLiteral("图片框9"))->isHidden());
    // The factory copies are untouched by saving.
    EXPECT_EQ(readLayout(file(QStringLiteral("print.ini")), ReceiptDefaultsSection, receiptLayoutKeys()), initialReceiptLayout());
    EXPECT_EQ(readLayout(file(QStringLiteral("print.ini")), LabelDefaultsSection, labelLayoutKeys()), initialLabelLayout());
}

TEST_F(PrintSettingsPageTest, RestoreChangesOnlyTheControlsAndRestartGivesTheSavedLayout)
{
    installShippedPrintIni();
    start();
    edit("主标题")->setText(QStringLiteral("小小服装店"));
    edit("第二行")->setText(QStringLiteral("电话：12345678"));
    edit("条高")->setText(QStringLiteral("600"));
    edit("B款号")->setText(QStringLiteral("货号："));
    click("保存小票");
    click("保存标签");

    click("恢复默认配置");
    click("恢复默认标签");
    EXPECT_EQ(page->receiptLayout(), initialReceiptLayout());
    EXPECT_EQ(page->labelLayout(), initialLabelLayout());
    EXPECT_EQ(edit("第二行")->text(), Blanks23 + QStringLiteral("第二行自定义内容"));

    start(); // without saving
    EXPECT_EQ(edit("主标题")->text(), QStringLiteral("小小服装店"));
    EXPECT_EQ(edit("第二行")->text(), QStringLiteral("电话：12345678"));
    EXPECT_EQ(edit("条高")->text(), QStringLiteral("600"));
    EXPECT_EQ(edit("B款号")->text(), QStringLiteral("货号："));
    EXPECT_TRUE(script.texts().isEmpty());
}

namespace {

// The keys of a section of print.ini in the order the file holds them, joined by blanks; empty
// without the section.
std::string keysInFile(const QString &path, const QString &section)
{
    const QStringList lines = gbk::decode(bytesOf(path)).split(QRegularExpression(QStringLiteral("\r?\n")));
    QStringList keys;
    bool inside = false;
    for (const QString &line : lines) {
        if (line.startsWith(u'['))
            inside = line == u'[' + section + u']';
        else if (inside && line.contains(u'='))
            keys << line.section(u'=', 0, 0);
    }
    return keys.join(u' ').toStdString();
}

std::string joined(const QStringList &keys)
{
    return keys.join(u' ').toStdString();
}

// The shipped print.ini without the given keys of the given sections (a file of an older layout).
QByteArray shippedWithout(const QMap<QString, QStringList> &dropped)
{
    const QStringList lines = gbk::decode(bytesOf(ShippedPrintIni)).split(QStringLiteral("\r\n"));
    QStringList kept;
    QString section;
    for (const QString &line : lines) {
        if (line.startsWith(u'['))
            section = line.mid(1, line.size() - 2);
        else if (dropped.value(section).contains(line.section(u'=', 0, 0)))
            continue;
        kept << line;
    }
    return gbk::encode(kept.join(QStringLiteral("\r\n")));
}

} // namespace

// Saving into a print.ini that lacks some keys (an older layout) or a whole section writes the
// missing keys where the layout's order puts them, first, middle and last keys alike.
TEST_F(PrintSettingsPageTest, MissingKeysAndSectionsAreWrittenInTheOrderOfTheLayout)
{
    const QMap<QString, QStringList> older{
        {ReceiptSection, {QStringLiteral("纸张宽度"), QStringLiteral("打印分类"), QStringLiteral("第二根左边位置"),
                          QStringLiteral("第六行")}},
        {LabelSection, {QStringLiteral("标签纸张宽"), QStringLiteral("标签颜色左边位置"), QStringLiteral("标签颜色顶边位置"),
                        QStringLiteral("标价格")}},
    };
    const QMap<QString, QStringList> workingSections{{ReceiptSection, receiptLayoutKeys()},
                                                     {LabelSection, labelLayoutKeys()}};
    struct Case { const char *what; QByteArray printIni; };
    const Case cases[] = {
        {"no print.ini", QByteArray()},
        {"keys missing", shippedWithout(older)},
        {"sections missing", shippedWithout(workingSections)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(file(QStringLiteral("print.ini")));
        if (!c.printIni.isEmpty())
            ASSERT_TRUE(putBytes(file(QStringLiteral("print.ini")), c.printIni));
        start();
        click("恢复默认配置");
        click("恢复默认标签");
        edit("宽1")->setText(QStringLiteral("800"));
        edit("b宽")->setText(QStringLiteral("500"));
        click("保存小票");
        click("保存标签");
        const QString path = file(QStringLiteral("print.ini"));
        EXPECT_EQ(keysInFile(path, ReceiptSection), joined(receiptLayoutKeys()));
        EXPECT_EQ(keysInFile(path, LabelSection), joined(labelLayoutKeys()));
        EXPECT_EQ(readLayout(path, ReceiptSection, receiptLayoutKeys()), page->receiptLayout());
        EXPECT_EQ(readLayout(path, LabelSection, labelLayoutKeys()), page->labelLayout());
        if (!c.printIni.isEmpty()) {
            // The factory copies stay as they were.
            EXPECT_EQ(keysInFile(path, ReceiptDefaultsSection), joined(receiptLayoutKeys()));
            EXPECT_EQ(keysInFile(path, LabelDefaultsSection), joined(labelLayoutKeys()));
        }
    }
}

TEST_F(PrintSettingsPageTest, WithoutFactoryCopiesRestoreGivesTheBuiltInLayouts)
{
    struct Case { const char *what; QByteArray printIni; bool loadsEmpty; };
    const Case cases[] = {
        {"no print.ini", QByteArray(), true},
        {"only the working sections",
         gbk::encode(QStringLiteral("[小票配置]\r\n纸张宽度=800\r\n主标题=本店\r\n[标签配置]\r\n标签纸张宽=500\r\n")), false},
    };
    for (const Case &c : cases) {
        QFile::remove(file(QStringLiteral("print.ini")));
        if (!c.printIni.isEmpty())
            ASSERT_TRUE(putBytes(file(QStringLiteral("print.ini")), c.printIni));
        start();
        if (c.loadsEmpty) {
            // Loading shows what the file holds: nothing.
            EXPECT_EQ(edit("宽1")->text(), QString()) << c.what;
            EXPECT_FALSE(box("打文字")->isChecked()) << c.what;
        } else {
            EXPECT_EQ(edit("宽1")->text(), QStringLiteral("800")) << c.what;
            EXPECT_EQ(edit("高1")->text(), QString()) << c.what; // a missing key reads empty
            EXPECT_EQ(edit("b宽")->text(), QStringLiteral("500")) << c.what;
        }
        click("恢复默认配置");
        click("恢复默认标签");
        EXPECT_EQ(page->receiptLayout(), initialReceiptLayout()) << c.what;
        EXPECT_EQ(page->labelLayout(), initialLabelLayout()) << c.what;
    }
}

TEST_F(PrintSettingsPageTest, HeaderSwitchesAreAPairAndAClickNeverUnticks)
{
    installShippedPrintIni();
    start();
    QLabel *logo = page->findChild<QLabel *>(QStringLiteral("图片框9"));
    ASSERT_NE(logo, nullptr);
    EXPECT_TRUE(box("打文字")->isChecked());
    EXPECT_FALSE(edit("主标题")->isHidden());
    EXPECT_TRUE(logo->isHidden());

    click("打文字"); // ticked: stays ticked, nothing else changes
    EXPECT_TRUE(box("打文字")->isChecked());
    EXPECT_FALSE(box("打LOGO")->isChecked());
    EXPECT_FALSE(edit("主标题")->isHidden());
    EXPECT_TRUE(logo->isHidden());

    click("打LOGO");
    EXPECT_TRUE(box("打LOGO")->isChecked());
    EXPECT_FALSE(box("打文字")->isChecked());
    EXPECT_TRUE(edit("主标题")->isHidden());
    EXPECT_TRUE(edit("副标题")->isHidden());
    EXPECT_FALSE(logo->isHidden());

    click("打LOGO");
    EXPECT_TRUE(box("打LOGO")->isChecked());
    EXPECT_FALSE(box("打文字")->isChecked());
    EXPECT_FALSE(logo->isHidden());

    // A file with both switches on, or neither, loads as it is; the next click on one of them
    // makes them a pair again, the clicked one ticked.
    struct Case { const char *text, *logo, *clicked; bool logoShown; };
    const Case cases[] = {{"真", "真", "打文字", false}, {"真", "真", "打LOGO", true},
                          {"假", "假", "打LOGO", true}, {"", "", "打文字", false}};
    for (const Case &c : cases) {
        ASSERT_TRUE(writeIniValues(file(QStringLiteral("print.ini")), QStringLiteral("小票配置"),
                                   {{QStringLiteral("小票头部打印文字"), QString::fromUtf8(c.text)},
                                    {QStringLiteral("小票头部打印LOGO"), QString::fromUtf8(c.logo)}}));
        start();
        EXPECT_EQ(box("打文字")->isChecked(), QByteArray(c.text) == "真") << c.text << c.logo;
        EXPECT_EQ(box("打LOGO")->isChecked(), QByteArray(c.logo) == "真") << c.text << c.logo;
        click(c.clicked);
        EXPECT_EQ(box("打文字")->isChecked(), !c.logoShown) << c.text << c.logo << c.clicked;
        EXPECT_EQ(box("打LOGO")->isChecked(), c.logoShown) << c.text << c.logo << c.clicked;
        EXPECT_EQ(page->findChild<QLabel *>(QStringLiteral("图片框9"))->isHidden(), !c.logoShown) << c.clicked;
        EXPECT_EQ(edit("主标题")->isHidden(), c.logoShown) << c.clicked;
    }
}

TEST_F(PrintSettingsPageTest, TheFirstColumnSwitchSetsItsCaptionWhichIsSavedUnderKeyStyleNo)
{
    installShippedPrintIni();
    start();
    struct Case { const char *box, *caption; };
    const Case cases[] = {{"打名称", "名称"}, {"打分类", "类型"}, {"打款号", "款号"}, {"打分类", "类型"}};
    for (const Case &c : cases) {
        click(c.box);
        for (const char *name : {"打款号", "打名称", "打分类"})
            EXPECT_EQ(box(name)->isChecked(), QByteArray(name) == c.box) << c.box << " " << name;
        EXPECT_EQ(edit("款")->text(), QString::fromUtf8(c.caption)) << c.box;
    }

    // A click on the ticked box leaves it ticked and the caption as typed.
    edit("款")->setText(QStringLiteral("品类"));
    click("打分类");
    EXPECT_TRUE(box("打分类")->isChecked());
    EXPECT_EQ(edit("款")->text(), QStringLiteral("品类"));

    click("打名称");
    click("打分类");
    click("保存小票");
    EXPECT_EQ(saved(QStringLiteral("款号")), QStringLiteral("类型"));
    EXPECT_EQ(saved(QStringLiteral("打印分类")), QStringLiteral("真"));
    EXPECT_EQ(saved(QStringLiteral("打印商品名称")), QStringLiteral("假"));
    EXPECT_EQ(saved(QStringLiteral("打印款号")), QStringLiteral("假"));
}

TEST_F(PrintSettingsPageTest, TheTwoSwitchesRewriteSqlIniAtOnceWithTheirMessages)
{
    installShippedPrintIni();
    ASSERT_TRUE(SettingsFile::inDirectory(home.path())
                    .writeSetting(QStringLiteral("版本配置"), QStringLiteral("当前版本"), QStringLiteral("4B8929BC7A38")));
    start();
    EXPECT_FALSE(box("选择框9")->isChecked());
    EXPECT_FALSE(box("打标签框")->isChecked());

    struct Step { const char *box, *key; bool ticked; const char *message; };
    const Step steps[] = {
        {"选择框9", "小票", true, "选中后，在前台收银结帐的时候会打印出小票"},
        {"选择框9", "小票", false, nullptr},
        {"选择框9", "小票", true, "选中后，在前台收银结帐的时候会打印出小票"}, // every time
        {"打标签框", "标签", true, "选中后，在采购入库里添加的时候会自动生成并打印条码、吊牌价、款号、颜色、尺码"},
        {"打标签框", "标签", false, "不打印标签，采购入库添加时将不会自动生成条码！"},
    };
    for (const Step &s : steps) {
        script.clear();
        click(s.box);
        EXPECT_EQ(box(s.box)->isChecked(), s.ticked) << s.box;
        const QString value = s.ticked ? QStringLiteral("真") : QStringLiteral("假");
        EXPECT_EQ(sqlIni(QString::fromUtf8(s.key)), value) << s.box;
        EXPECT_EQ(QByteArray(s.key) == "小票" ? context->receiptPrintFlag : context->labelPrintFlag, value) << s.box;
        if (s.message) {
            ASSERT_EQ(script.messages().size(), 1) << s.box;
            EXPECT_EQ(script.messages()[0].text, QString::fromUtf8(s.message));
            EXPECT_EQ(script.messages()[0].title, QString());
            EXPECT_EQ(script.messages()[0].icon, MessageIcon::None);
            EXPECT_FALSE(script.messages()[0].question);
        } else {
            EXPECT_TRUE(script.texts().isEmpty()) << s.box;
        }
    }
    EXPECT_EQ(SettingsFile::inDirectory(home.path()).readSetting(QStringLiteral("版本配置"), QStringLiteral("当前版本")),
              QStringLiteral("4B8929BC7A38"));

    // The boxes follow the flags whenever the page is shown.
    context->receiptPrintFlag = QStringLiteral("假");
    context->labelPrintFlag = QStringLiteral("真");
    page->show();
    EXPECT_FALSE(box("选择框9")->isChecked());
    EXPECT_TRUE(box("打标签框")->isChecked());
    page->hide();
}

TEST_F(PrintSettingsPageTest, FailedWritesAreReportedAndASwitchReturnsToItsFormerState)
{
    installShippedPrintIni();
    start();
    context->labelPrintFlag = QStringLiteral("真");
    page->syncPrintSwitches();
    // sql.ini cannot be replaced where a folder of that name stands.
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("sql.ini")));
    const QString settingsFailed = QStringLiteral("无法写入本机配置文件 sql.ini，请检查程序目录是否可以写入！");

    click("选择框9");
    EXPECT_FALSE(box("选择框9")->isChecked());
    EXPECT_EQ(context->receiptPrintFlag, QString());
    click("打标签框");
    EXPECT_TRUE(box("打标签框")->isChecked());
    EXPECT_EQ(context->labelPrintFlag, QStringLiteral("真"));
    EXPECT_EQ(script.texts(), (QStringList{settingsFailed, settingsFailed}));

    // A text print.ini cannot hold: nothing is written, the user is told.
    script.clear();
    const QByteArray before = bytesOf(file(QStringLiteral("print.ini")));
    edit("第一行")->setText(QStringLiteral("欢迎光临 \U0001F600"));
    click("保存小票");
    EXPECT_EQ(bytesOf(file(QStringLiteral("print.ini"))), before);

    // print.ini cannot be replaced.
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("print.ini"))));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("print.ini")));
    edit("第一行")->setText(QStringLiteral("欢迎光临"));
    click("保存小票");
    click("保存标签");
    const QString receiptFailed = QStringLiteral(
        "小票配置没有保存：无法写入程序目录的 print.ini，请检查该目录是否可以写入、内容中是否有无法保存的字符！");
    const QString labelFailed = QStringLiteral(
        "标签配置没有保存：无法写入程序目录的 print.ini，请检查该目录是否可以写入、内容中是否有无法保存的字符！");
    EXPECT_EQ(script.texts(), (QStringList{receiptFailed, receiptFailed, labelFailed}));

    // The logo folder cannot be made where a file of that name stands: the picture serves this
    // run and the user learns it will not be there next time.
    script.clear();
    ASSERT_TRUE(putBytes(file(QStringLiteral("LOGO")), "not a folder"));
    QImage picture(60, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(file(QStringLiteral("shop.png"))));
    chooseInDialog(file(QStringLiteral("shop.png")));
    click("按钮25");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral(
        "LOGO图片无法保存到程序目录的LOGO文件夹，下次启动时将不再显示，请检查该目录是否可以写入！")});
    EXPECT_EQ(logoSize(), QSize(60, 20));
}

TEST_F(PrintSettingsPageTest, AnAddedLogoIsKeptAndFoundAfterARestart)
{
    installShippedPrintIni();
    start();
    EXPECT_EQ(logoSize(), QSize(200, 39)); // the built-in logo
    EXPECT_FALSE(QDir(home.path()).exists(QStringLiteral("LOGO")));

    chooseInDialog(QString()); // cancelled
    click("按钮25");
    EXPECT_EQ(dialogTitles, QStringList{QStringLiteral("添加LOGO图片")});
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("通用对话框1")});
    EXPECT_EQ(logoSize(), QSize(200, 39));

    QImage picture(120, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(file(QStringLiteral("my logo.jpg")), "JPG"));
    chooseInDialog(file(QStringLiteral("my logo.jpg")));
    click("按钮25");
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(logoSize(), QSize(120, 30));
    EXPECT_EQ(bytesOf(file(QStringLiteral("LOGO/Logo.jpg"))), bytesOf(file(QStringLiteral("my logo.jpg"))));
    EXPECT_FALSE(box("打LOGO")->isChecked()); // the header switches stay as they are

    start();
    EXPECT_EQ(logoSize(), QSize(120, 30));

    // A logo an older installation kept under another spelling still loads.
    ASSERT_TRUE(QFile::rename(file(QStringLiteral("LOGO/Logo.jpg")), file(QStringLiteral("LOGO/LOGO.JPG"))));
    start();
    EXPECT_EQ(logoSize(), QSize(120, 30));
}

TEST_F(PrintSettingsPageTest, AFileThatIsNoPictureIsRefusedAndNothingIsCopied)
{
    installShippedPrintIni();
    QImage picture(80, 25, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("LOGO")));
    ASSERT_TRUE(picture.save(file(QStringLiteral("LOGO/Logo.jpg")), "JPG"));
    const QByteArray stored = bytesOf(file(QStringLiteral("LOGO/Logo.jpg")));
    start();
    ASSERT_EQ(logoSize(), QSize(80, 25));

    ASSERT_TRUE(putBytes(file(QStringLiteral("readme.jpg")), "这不是图片"));
    chooseInDialog(file(QStringLiteral("readme.jpg")));
    click("按钮25");
    EXPECT_EQ(script.texts(),
              QStringList{QStringLiteral("所选文件不是图片，LOGO没有更换！请选择JPG、PNG或BMP格式的图片。")});
    EXPECT_EQ(logoSize(), QSize(80, 25));
    EXPECT_EQ(bytesOf(file(QStringLiteral("LOGO/Logo.jpg"))), stored);
}

TEST_F(PrintSettingsPageTest, SizeEditsSetThePreviewFontsAndNeverGiveSizeZero)
{
    installShippedPrintIni();
    start();
    struct Case { const char *typed; int points; };
    const Case cases[] = {{"18", 18}, {"", 9}, {"0", 9}, {"abc", 9}, {"-4", 9}, {"11", 11}, {"１２", 12}, {"12.5", 12}};
    struct Pair { const char *size, *preview; bool bold; const char *key; };
    const Pair pairs[] = {{"主标题大小", "主标题", true, nullptr},
                          {"副标题大小", "副标题", false, nullptr},
                          {"B款大小", "B款号", false, "标签款号字体大小"},
                          {"B颜大小", "B颜色", false, "标签颜色字体大小"},
                          {"B尺大小", "B尺码", false, "标签尺码字体大小"},
                          {"B价大小", "B价格", false, "标签价格字体大小"}};
    for (const Pair &p : pairs) {
        for (const Case &c : cases) {
            edit(p.size)->clear();
            const QString typed = QString::fromUtf8(c.typed);
            if (typed.toLatin1() == c.typed)
                QTest::keyClicks(edit(p.size), typed);
            else
                edit(p.size)->insert(typed); // as a Chinese input method commits it
            const QFont font = edit(p.preview)->font();
            EXPECT_EQ(font.pointSize(), c.points) << p.size << " '" << c.typed << "'";
            EXPECT_EQ(font.bold(), p.bold) << p.size;
            EXPECT_EQ(font.family(), QStringLiteral("WenQuanYi Micro Hei")) << p.size;
            if (p.key) // printing reads the typed size at once, saved or not
                EXPECT_EQ(page->currentLook().label.text(QString::fromUtf8(p.key)), QString::fromUtf8(c.typed));
        }
    }
    // Loading sets the fonts too.
    ASSERT_TRUE(writeIniValue(file(QStringLiteral("print.ini")), QStringLiteral("标签配置"),
                              QStringLiteral("标签尺码字体大小"), QStringLiteral("14")));
    start();
    EXPECT_EQ(edit("B尺码")->font().pointSize(), 14);
    EXPECT_EQ(edit("主标题")->font().pointSize(), 18);
    EXPECT_EQ(edit("B价格")->font().pointSize(), 12);
}

TEST_F(PrintSettingsPageTest, TheCurrentLookIsWhatTheControlsShowSavedOrNot)
{
    installShippedPrintIni();
    start();
    int receipts = 0, labels = 0;
    page->testPrintReceiptHook = [&] {
        ++receipts;
        EXPECT_EQ(page->currentLook().receipt.text(QStringLiteral("第一行")), QStringLiteral("第一行会员九折"));
    };
    page->testPrintLabelHook = [&] { ++labels; };
    edit("第一行")->clear();
    edit("第一行")->insert(QStringLiteral("第一行会员九折")); // as typed
    click("测试打印");
    click("测试打印1");
    EXPECT_EQ(receipts, 1);
    EXPECT_EQ(labels, 1);

    edit("条左")->setText(QStringLiteral("35"));
    click("打LOGO");
    const PrintLook look = page->currentLook();
    EXPECT_EQ(look.label.text(QStringLiteral("条码左边位置")), QStringLiteral("35"));
    EXPECT_TRUE(look.receipt.isOn(QStringLiteral("小票头部打印LOGO")));
    EXPECT_FALSE(look.receipt.isOn(QStringLiteral("小票头部打印文字")));
    EXPECT_EQ(look.firstDashes, QString(36, u'-'));
    EXPECT_EQ(look.secondDashes, QString(36, u'-'));
    EXPECT_EQ(look.logo.size(), QSize(200, 39));
    EXPECT_EQ(saved(QStringLiteral("第一行")), QStringLiteral("第一行自定义内容")); // nothing saved
}

TEST_F(PrintSettingsPageTest, ControlsSitInTheirNumberedGroupsAndButtonsCarryTheirCaptions)
{
    start();
    const auto groupOf = [this](const char *name) {
        for (QObject *o = page->findChild<QWidget *>(QString::fromUtf8(name)); o; o = o->parent()) {
            if (auto *g = qobject_cast<QGroupBox *>(o))
                return g->title();
        }
        return QStringLiteral("<none>");
    };
    const char *const groups[][2] = {
        {"高1", "【1】设置小票纸张大小 单位mm"}, {"打LOGO", "【2】"}, {"L高", "【2】"}, {"按钮25", "【2】"},
        {"副上", "【3】如果已选头部打LOGO 请忽略！"}, {"单上", "【4】日期和销售单号"}, {"一上", "【5】第一根虚线"},
        {"金左", "【6】打印项目"}, {"打分类", "【6】打印项目"}, {"二左", "【7】第二根虚线"}, {"总上", "【8】合计金额"},
        {"六行上", "【9】自定义内容，如有多余行留空"}, {"图片框9", "以下为参考格式，非实际预览效果"},
        {"一虚线", "以下为参考格式，非实际预览效果"}, {"第六行", "以下为参考格式，非实际预览效果"},
        {"b高", "【1】设置标签纸张大小 单位mm"}, {"B价上", "【2】"}, {"条上", "【3】条码设置 单位 100=1毫米"}};
    for (const auto &g : groups)
        EXPECT_EQ(groupOf(g[0]), QString::fromUtf8(g[1])) << g[0];
    EXPECT_EQ(page->findChild<QGroupBox *>(QStringLiteral("图片框4"))->title(), QStringLiteral("以下为参考格式，非实际预览效果"));
    auto *labelPreview = page->findChild<QWidget *>(QStringLiteral("分组框15"));
    ASSERT_NE(labelPreview, nullptr);
    for (const char *name : {"B款号", "B颜色", "B尺码", "B价格"})
        EXPECT_NE(labelPreview->findChild<QWidget *>(QStringLiteral("图片框3"))->findChild<QLineEdit *>(QString::fromUtf8(name)), nullptr) << name;

    const char *const captions[][2] = {
        {"保存小票", "保存小票配置"}, {"恢复默认配置", "恢复默认小票"}, {"测试打印", "测试打印小票"}, {"按钮25", "添加LOGO"},
        {"保存标签", "保存标签配置"}, {"恢复默认标签", "恢复默认标签"}, {"测试打印1", "测试打印标签"},
        {"打文字", "小票头部打印文字"}, {"打LOGO", "小票头部打印LOGO"}, {"打款号", "打印款号"},
        {"打名称", "打印商品名称"}, {"打分类", "打印分类"}, {"选择框9", "软件开启打印收银小票"},
        {"打标签框", "软件开启打印条码标签"}};
    for (const auto &c : captions) {
        auto *button = page->findChild<QAbstractButton *>(QString::fromUtf8(c[0]));
        ASSERT_NE(button, nullptr) << c[0];
        EXPECT_EQ(button->text(), QString::fromUtf8(c[1])) << c[0];
    }
}
