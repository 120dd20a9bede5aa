#include "printing/PrintSettingsPage.h"

#include "context/AppContext.h"
#include "data/SettingsFile.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "printing/PrintSettings.h"
#include "printing/WholeTitleStyle.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

#include <utility>

namespace printing {

namespace {

using KeyControl = std::pair<const char16_t *, const char16_t *>;

// Each receipt key of print.ini with the control that holds it.
const KeyControl kReceiptControls[] = {
    {u"纸张宽度", u"宽1"},         {u"纸张高度", u"高1"},
    {u"小票头部打印文字", u"打文字"}, {u"小票头部打印LOGO", u"打LOGO"},
    {u"LOGO左边位置", u"L左"},     {u"LOGO顶边位置", u"L上"},
    {u"LOGO打印宽度", u"L宽"},     {u"LOGO打印高度", u"L高"},
    {u"主标题字体大小", u"主标题大小"}, {u"主标题左边位置", u"主左"}, {u"主标题顶边位置", u"主上"},
    {u"副标题字体大小", u"副标题大小"}, {u"副标题左边位置", u"副左"}, {u"副标题顶边位置", u"副上"},
    {u"日期左边位置", u"日左"},     {u"日期顶边位置", u"日上"},
    {u"销售单号左边位置", u"单左"}, {u"销售单号顶边位置", u"单上"},
    {u"第一根左边位置", u"一左"},   {u"第一根顶边位置", u"一上"},
    {u"款号左边位置", u"款左"},     {u"款号顶边位置", u"款上"},
    {u"颜色左边位置", u"颜左"},     {u"尺码左边位置", u"尺左"},
    {u"数量左边位置", u"量左"},     {u"金额左边位置", u"金左"},
    {u"打印款号", u"打款号"},       {u"打印商品名称", u"打名称"}, {u"打印分类", u"打分类"},
    {u"第二根左边位置", u"二左"},   {u"第二根顶边位置", u"二上"},
    {u"合计左边位置", u"合左"},     {u"合计顶边位置", u"合上"},
    {u"总金额左边位置", u"总左"},   {u"总金额顶边位置", u"总上"},
    {u"第一行左边位置", u"一行左"}, {u"第一行顶边位置", u"一行上"},
    {u"第二行左边位置", u"二行左"}, {u"第二行顶边位置", u"二行上"},
    {u"第三行左边位置", u"三行左"}, {u"第三行顶边位置", u"三行上"},
    {u"第四行左边位置", u"四行左"}, {u"第四行顶边位置", u"四行上"},
    {u"第五行左边位置", u"五行左"}, {u"第五行顶边位置", u"五行上"},
    {u"第六行左边位置", u"六行左"}, {u"第六行顶边位置", u"六行上"},
    {u"主标题", u"主标题"},         {u"副标题", u"副标题"},
    {u"款号", u"款"}, {u"颜色", u"颜"}, {u"尺码", u"尺"}, {u"数量", u"数"}, {u"金额", u"金"},
    {u"合计金额", u"合计"},
    {u"第一行", u"第一行"}, {u"第二行", u"第二行"}, {u"第三行", u"第三行"},
    {u"第四行", u"第四行"}, {u"第五行", u"第五行"}, {u"第六行", u"第六行"},
};

const KeyControl kLabelControls[] = {
    {u"标签纸张宽", u"b宽"},         {u"标签纸张高", u"b高"},
    {u"标签款号字体大小", u"B款大小"}, {u"标签款号左边位置", u"B款左"}, {u"标签款号顶边位置", u"B款上"},
    {u"标签颜色字体大小", u"B颜大小"}, {u"标签颜色左边位置", u"B颜左"}, {u"标签颜色顶边位置", u"B颜上"},
    {u"标签尺码字体大小", u"B尺大小"}, {u"标签尺码左边位置", u"B尺左"}, {u"标签尺码顶边位置", u"B尺上"},
    {u"标签价格字体大小", u"B价大小"}, {u"标签价格左边位置", u"B价左"}, {u"标签价格顶边位置", u"B价上"},
    {u"条码高度", u"条高"},           {u"条码左边位置", u"条左"},       {u"条码顶边位置", u"条上"},
    {u"标款号", u"B款号"}, {u"标颜色", u"B颜色"}, {u"标尺码", u"B尺码"}, {u"标价格", u"B价格"},
};

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

const QString Dashes = QString(36, QLatin1Char('-'));

QString receiptSaveFailed()
{
    return QStringLiteral("小票配置没有保存：无法写入程序目录的 print.ini，请检查该目录是否可以写入、"
                          "内容中是否有无法保存的字符！");
}

QString labelSaveFailed()
{
    return QStringLiteral("标签配置没有保存：无法写入程序目录的 print.ini，请检查该目录是否可以写入、"
                          "内容中是否有无法保存的字符！");
}

QGroupBox *group(const QString &title, QGridLayout **grid)
{
    auto *box = new QGroupBox(title);
    *grid = new QGridLayout(box);
    (*grid)->setContentsMargins(6, 4, 6, 4);
    (*grid)->setHorizontalSpacing(4);
    (*grid)->setVerticalSpacing(3);
    return box;
}

// A fixed hint of the page: plain text, wrapped to the width it is given.
QLabel *hint(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLabel *caption(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

PrintSettingsPage::PrintSettingsPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("票据打印设置页"));
    installPrintFontSubstitutions();
    buildPage();
    // Every numbered group caption shows whole.
    auto *titleStyle = new WholeTitleStyle;
    titleStyle->setParent(this);
    for (QGroupBox *box : findChildren<QGroupBox *>())
        box->setStyle(titleStyle);
    showReceiptLayout(initialReceiptLayout());
    showLabelLayout(initialLabelLayout());
    showHeader(m_switches.value(QStringLiteral("打LOGO"))->isChecked()
               && !m_switches.value(QStringLiteral("打文字"))->isChecked());
    showLogo(builtInLogoBytes());
}

QLineEdit *PrintSettingsPage::newEdit(const QString &name, int width)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    if (width > 0)
        edit->setFixedWidth(width);
    m_edits.insert(name, edit);
    return edit;
}

QCheckBox *PrintSettingsPage::newSwitch(const QString &name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(name);
    m_switches.insert(name, box);
    return box;
}

void PrintSettingsPage::buildPage()
{
    auto *content = new QWidget;
    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(6, 6, 6, 6);
    row->addWidget(buildReceiptSide(), 0, Qt::AlignTop);
    auto *middle = new QVBoxLayout;
    middle->addWidget(buildReceiptPreview());
    middle->addWidget(m_receiptActions);
    middle->addStretch(1);
    row->addLayout(middle);
    row->addWidget(buildLabelSide(), 0, Qt::AlignTop);
    row->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

QWidget *PrintSettingsPage::buildReceiptSide()
{
    auto *side = new QWidget;
    auto *grid = new QGridLayout(side);
    grid->setContentsMargins(0, 0, 0, 0);
    QGridLayout *g = nullptr;

    // A row of captioned edits: caption, edit, caption, edit ...
    auto edits = [this](QGridLayout *into, int r, std::initializer_list<std::pair<const char16_t *, const char16_t *>> pairs) {
        int c = 0;
        for (const auto &[text, name] : pairs) {
            into->addWidget(caption(str(text)), r, c++);
            into->addWidget(newEdit(str(name)), r, c++);
        }
    };

    QGroupBox *paper = group(QStringLiteral("【1】设置小票纸张大小 单位mm"), &g);
    edits(g, 0, {{u"宽", u"宽1"}, {u"高", u"高1"}});
    grid->addWidget(paper, 0, 0);

    QGroupBox *header = group(QStringLiteral("【2】"), &g);
    g->addWidget(newSwitch(QStringLiteral("打文字"), QStringLiteral("小票头部打印文字")), 0, 0, 1, 4);
    g->addWidget(newSwitch(QStringLiteral("打LOGO"), QStringLiteral("小票头部打印LOGO")), 1, 0, 1, 4);
    edits(g, 2, {{u"LOGO左", u"L左"}, {u"上", u"L上"}});
    edits(g, 3, {{u"宽", u"L宽"}, {u"高", u"L高"}});
    g->addWidget(hint(LogoSizeHint), 4, 0, 1, 4);
    auto *addLogo = new QPushButton(QStringLiteral("添加LOGO"));
    addLogo->setObjectName(QStringLiteral("按钮25"));
    g->addWidget(addLogo, 5, 0, 1, 4);
    grid->addWidget(header, 1, 0);

    QGroupBox *titles = group(QStringLiteral("【3】如果已选头部打LOGO 请忽略！"), &g);
    edits(g, 0, {{u"主标题大小", u"主标题大小"}, {u"左", u"主左"}, {u"上", u"主上"}});
    edits(g, 1, {{u"副标题大小", u"副标题大小"}, {u"左", u"副左"}, {u"上", u"副上"}});
    grid->addWidget(titles, 2, 0);

    QGroupBox *date = group(QStringLiteral("【4】日期和销售单号"), &g);
    edits(g, 0, {{u"日期 左", u"日左"}, {u"上", u"日上"}});
    edits(g, 1, {{u"单号 左", u"单左"}, {u"上", u"单上"}});
    grid->addWidget(date, 3, 0);

    QGroupBox *firstLine = group(QStringLiteral("【5】第一根虚线"), &g);
    edits(g, 0, {{u"左", u"一左"}, {u"上", u"一上"}});
    grid->addWidget(firstLine, 4, 0);

    QGroupBox *items = group(QStringLiteral("【6】打印项目"), &g);
    edits(g, 0, {{u"款号 左", u"款左"}, {u"上", u"款上"}});
    edits(g, 1, {{u"颜色 左", u"颜左"}, {u"尺码 左", u"尺左"}});
    edits(g, 2, {{u"数量 左", u"量左"}, {u"金额 左", u"金左"}});
    g->addWidget(newSwitch(QStringLiteral("打款号"), QStringLiteral("打印款号")), 3, 0, 1, 2);
    g->addWidget(newSwitch(QStringLiteral("打名称"), QStringLiteral("打印商品名称")), 3, 2, 1, 2);
    g->addWidget(newSwitch(QStringLiteral("打分类"), QStringLiteral("打印分类")), 4, 0, 1, 2);
    grid->addWidget(items, 0, 1, 2, 1);

    QGroupBox *secondLine = group(QStringLiteral("【7】第二根虚线"), &g);
    edits(g, 0, {{u"左", u"二左"}, {u"上", u"二上"}});
    grid->addWidget(secondLine, 2, 1);

    QGroupBox *total = group(QStringLiteral("【8】合计金额"), &g);
    edits(g, 0, {{u"合计 左", u"合左"}, {u"上", u"合上"}});
    edits(g, 1, {{u"总金额 左", u"总左"}, {u"上", u"总上"}});
    grid->addWidget(total, 3, 1, 2, 1);

    QGroupBox *footer = group(QStringLiteral("【9】自定义内容，如有多余行留空"), &g);
    edits(g, 0, {{u"第一行 左", u"一行左"}, {u"上", u"一行上"}, {u"第四行 左", u"四行左"}, {u"上", u"四行上"}});
    edits(g, 1, {{u"第二行 左", u"二行左"}, {u"上", u"二行上"}, {u"第五行 左", u"五行左"}, {u"上", u"五行上"}});
    edits(g, 2, {{u"第三行 左", u"三行左"}, {u"上", u"三行上"}, {u"第六行 左", u"六行左"}, {u"上", u"六行上"}});
    grid->addWidget(footer, 5, 0, 1, 2);

    // The receipt's buttons and switch go under the preview (buildPage).
    m_receiptActions = new QWidget;
    auto *actions = new QGridLayout(m_receiptActions);
    actions->setContentsMargins(0, 0, 0, 0);
    actions->addWidget(hint(TestPrintHint), 0, 0, 1, 2);
    int at = 0;
    auto button = [this, actions, &at](const QString &name, const QString &text, void (PrintSettingsPage::*slot)()) {
        auto *b = new QPushButton(text);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, [this, slot] { (this->*slot)(); });
        actions->addWidget(b, 1 + at / 2, at % 2);
        ++at;
    };
    button(QStringLiteral("保存小票"), QStringLiteral("保存小票配置"), &PrintSettingsPage::saveReceiptLayout);
    button(QStringLiteral("恢复默认配置"), QStringLiteral("恢复默认小票"), &PrintSettingsPage::restoreDefaultReceiptLayout);
    button(QStringLiteral("测试打印"), QStringLiteral("测试打印小票"), &PrintSettingsPage::testPrintReceipt);
    actions->addWidget(newSwitch(QStringLiteral("选择框9"), QStringLiteral("软件开启打印收银小票")), 3, 0, 1, 2);
    actions->addWidget(hint(DefaultPrinterHint), 4, 0, 1, 2);
    actions->addWidget(hint(DocumentPrinterHint), 5, 0, 1, 2);

    connect(addLogo, &QPushButton::clicked, this, [this] { addReceiptLogo(); });
    auto onClick = [this](const char16_t *name, void (PrintSettingsPage::*handler)(bool)) {
        connect(m_switches.value(str(name)), &QCheckBox::clicked, this, [this, handler](bool ticked) { (this->*handler)(ticked); });
    };
    onClick(u"打文字", &PrintSettingsPage::selectTextHeader);
    onClick(u"打LOGO", &PrintSettingsPage::selectLogoHeader);
    onClick(u"打款号", &PrintSettingsPage::selectPrintStyleNo);
    onClick(u"打名称", &PrintSettingsPage::selectPrintItemName);
    onClick(u"打分类", &PrintSettingsPage::selectPrintCategory);
    onClick(u"选择框9", &PrintSettingsPage::toggleReceiptPrinting);
    return side;
}

QWidget *PrintSettingsPage::buildReceiptPreview()
{
    auto *panel = new QGroupBox(QStringLiteral("以下为参考格式，非实际预览效果"));
    panel->setObjectName(QStringLiteral("图片框4"));
    panel->setFixedWidth(300);
    auto *column = new QVBoxLayout(panel);
    column->setSpacing(2);

    m_logoBox = new QLabel;
    m_logoBox->setObjectName(QStringLiteral("图片框9"));
    m_logoBox->setFixedSize(200, 39);
    m_logoBox->setScaledContents(true);
    column->addWidget(m_logoBox, 0, Qt::AlignHCenter);

    QLineEdit *title = newEdit(QStringLiteral("主标题"), 0);
    QLineEdit *subtitle = newEdit(QStringLiteral("副标题"), 0);
    for (QLineEdit *e : {title, subtitle}) {
        e->setAlignment(Qt::AlignHCenter);
        column->addWidget(e);
    }

    auto dashes = [this, column](const QString &name) {
        QLineEdit *e = newEdit(name, 0);
        e->setText(Dashes);
        e->setFont(dashedLineFont());
        e->setFrame(false);
        column->addWidget(e);
    };
    dashes(QStringLiteral("一虚线"));
    auto *captions = new QHBoxLayout;
    for (const QString &name : {QStringLiteral("款"), QStringLiteral("颜"), QStringLiteral("尺"), QStringLiteral("数"),
                                QStringLiteral("金")})
        captions->addWidget(newEdit(name, 48));
    column->addLayout(captions);
    dashes(QStringLiteral("二虚线"));
    auto *total = new QHBoxLayout;
    total->addWidget(newEdit(QStringLiteral("合计"), 110));
    total->addStretch(1);
    column->addLayout(total);
    for (const QString &name : {QStringLiteral("第一行"), QStringLiteral("第二行"), QStringLiteral("第三行"),
                                QStringLiteral("第四行"), QStringLiteral("第五行"), QStringLiteral("第六行")})
        column->addWidget(newEdit(name, 0));
    column->addStretch(1);

    // The dashed lines are part of the preview only: print.ini does not keep them.
    m_edits.remove(QStringLiteral("一虚线"));
    m_edits.remove(QStringLiteral("二虚线"));
    return panel;
}

QWidget *PrintSettingsPage::buildLabelSide()
{
    auto *side = new QWidget;
    auto *column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    QGridLayout *g = nullptr;

    QGroupBox *paper = group(QStringLiteral("【1】设置标签纸张大小 单位mm"), &g);
    g->addWidget(caption(QStringLiteral("宽")), 0, 0);
    g->addWidget(newEdit(QStringLiteral("b宽")), 0, 1);
    g->addWidget(caption(QStringLiteral("高")), 0, 2);
    g->addWidget(newEdit(QStringLiteral("b高")), 0, 3);
    column->addWidget(paper);

    QGroupBox *fields = group(QStringLiteral("【2】"), &g);
    const std::pair<const char16_t *, const char16_t *> rows[] = {
        {u"款号", u"B款"}, {u"颜色", u"B颜"}, {u"尺码", u"B尺"}, {u"价格", u"B价"}};
    int r = 0;
    for (const auto &[field, prefix] : rows) {
        const QString p = str(prefix);
        g->addWidget(caption(str(field) + QStringLiteral(" 大小")), r, 0);
        g->addWidget(newEdit(p + QStringLiteral("大小")), r, 1);
        g->addWidget(caption(QStringLiteral("左")), r, 2);
        g->addWidget(newEdit(p + QStringLiteral("左")), r, 3);
        g->addWidget(caption(QStringLiteral("上")), r, 4);
        g->addWidget(newEdit(p + QStringLiteral("上")), r, 5);
        ++r;
    }
    column->addWidget(fields);

    QGroupBox *barcode = group(QStringLiteral("【3】条码设置 单位 100=1毫米"), &g);
    g->addWidget(caption(QStringLiteral("高度")), 0, 0);
    g->addWidget(newEdit(QStringLiteral("条高")), 0, 1);
    g->addWidget(caption(QStringLiteral("左")), 0, 2);
    g->addWidget(newEdit(QStringLiteral("条左")), 0, 3);
    g->addWidget(caption(QStringLiteral("上")), 0, 4);
    g->addWidget(newEdit(QStringLiteral("条上")), 0, 5);
    column->addWidget(barcode);

    auto *preview = new QGroupBox(QStringLiteral("标签参考格式"));
    preview->setObjectName(QStringLiteral("分组框15"));
    auto *previewLayout = new QVBoxLayout(preview);
    auto *picture = new QFrame;
    picture->setObjectName(QStringLiteral("图片框3"));
    picture->setFrameShape(QFrame::Box);
    auto *pictureLayout = new QVBoxLayout(picture);
    for (const QString &name : {QStringLiteral("B款号"), QStringLiteral("B颜色"), QStringLiteral("B尺码"), QStringLiteral("B价格")}) {
        QLineEdit *e = newEdit(name, 160);
        e->setFrame(false);
        pictureLayout->addWidget(e);
    }
    previewLayout->addWidget(picture);
    column->addWidget(preview);

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString &name, const QString &text, void (PrintSettingsPage::*slot)()) {
        auto *b = new QPushButton(text);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, [this, slot] { (this->*slot)(); });
        buttons->addWidget(b);
    };
    button(QStringLiteral("保存标签"), QStringLiteral("保存标签配置"), &PrintSettingsPage::saveLabelLayout);
    button(QStringLiteral("恢复默认标签"), QStringLiteral("恢复默认标签"), &PrintSettingsPage::restoreDefaultLabelLayout);
    button(QStringLiteral("测试打印1"), QStringLiteral("测试打印标签"), &PrintSettingsPage::testPrintLabel);
    column->addLayout(buttons);
    QCheckBox *labels = newSwitch(QStringLiteral("打标签框"), QStringLiteral("软件开启打印条码标签"));
    column->addWidget(labels);
    column->addStretch(1);
    connect(labels, &QCheckBox::clicked, this, [this](bool ticked) { toggleLabelPrinting(ticked); });

    // Size edits set their preview's font on every change of their text, typed or loaded.
    auto sizes = [this](const QString &sizeEdit, void (PrintSettingsPage::*handler)()) {
        connect(m_edits.value(sizeEdit), &QLineEdit::textChanged, this, [this, handler] { (this->*handler)(); });
    };
    sizes(QStringLiteral("主标题大小"), &PrintSettingsPage::previewTitleFontSize);
    sizes(QStringLiteral("副标题大小"), &PrintSettingsPage::previewSubtitleFontSize);
    sizes(QStringLiteral("B款大小"), &PrintSettingsPage::previewLabelStyleNoFontSize);
    sizes(QStringLiteral("B颜大小"), &PrintSettingsPage::previewLabelColourFontSize);
    sizes(QStringLiteral("B尺大小"), &PrintSettingsPage::previewLabelSizeFontSize);
    sizes(QStringLiteral("B价大小"), &PrintSettingsPage::previewLabelPriceFontSize);
    return side;
}

PrintLayout PrintSettingsPage::receiptLayout() const
{
    PrintLayout layout;
    for (const auto &[key, name] : kReceiptControls) {
        if (QCheckBox *box = m_switches.value(str(name)))
            layout.setText(str(key), box->isChecked() ? AppContext::FlagOn : AppContext::FlagOff);
        else
            layout.setText(str(key), m_edits.value(str(name))->text());
    }
    return layout;
}

PrintLayout PrintSettingsPage::labelLayout() const
{
    PrintLayout layout;
    for (const auto &[key, name] : kLabelControls)
        layout.setText(str(key), m_edits.value(str(name))->text());
    return layout;
}

PrintLook PrintSettingsPage::currentLook() const
{
    PrintLook look;
    look.receipt = receiptLayout();
    look.label = labelLayout();
    look.logo = m_logo;
    look.firstDashes = findChild<QLineEdit *>(QStringLiteral("一虚线"))->text();
    look.secondDashes = findChild<QLineEdit *>(QStringLiteral("二虚线"))->text();
    return look;
}

void PrintSettingsPage::showReceiptLayout(const PrintLayout &layout)
{
    for (const auto &[key, name] : kReceiptControls) {
        if (QCheckBox *box = m_switches.value(str(name)))
            box->setChecked(layout.isOn(str(key)));
        else
            m_edits.value(str(name))->setText(layout.text(str(key)));
    }
    // The size edits' change handlers run on setText; an unchanged text still needs its font.
    previewTitleFontSize();
    previewSubtitleFontSize();
}

void PrintSettingsPage::showLabelLayout(const PrintLayout &layout)
{
    for (const auto &[key, name] : kLabelControls)
        m_edits.value(str(name))->setText(layout.text(str(key)));
    previewLabelStyleNoFontSize();
    previewLabelColourFontSize();
    previewLabelSizeFontSize();
    previewLabelPriceFontSize();
}

void PrintSettingsPage::showHeader(bool logo)
{
    m_edits.value(QStringLiteral("主标题"))->setVisible(!logo);
    m_edits.value(QStringLiteral("副标题"))->setVisible(!logo);
    m_logoBox->setVisible(logo);
}

void PrintSettingsPage::showLogo(const QByteArray &bytes)
{
    QPixmap picture;
    if (!picture.loadFromData(bytes))
        return;
    m_logoBytes = bytes;
    m_logo = picture;
    m_logoBox->setPixmap(m_logo);
}

void PrintSettingsPage::report(const QString &text)
{
    if (!text.isEmpty())
        MessageSeam::message(this, QString(), text);
}

void PrintSettingsPage::loadReceiptLayout()
{
    const QString home = ProgramDir::path();
    showReceiptLayout(readLayout(printIniPath(home), ReceiptSection, receiptLayoutKeys()));
    showLogo(loadLogo(home).bytes);
    loadLabelLayout();
}

void PrintSettingsPage::loadLabelLayout()
{
    showLabelLayout(readLayout(printIniPath(ProgramDir::path()), LabelSection, labelLayoutKeys()));
}

void PrintSettingsPage::saveReceiptLayout()
{
    if (!writeLayout(printIniPath(ProgramDir::path()), ReceiptSection, receiptLayoutKeys(), receiptLayout()))
        report(receiptSaveFailed());
}

void PrintSettingsPage::saveLabelLayout()
{
    if (!writeLayout(printIniPath(ProgramDir::path()), LabelSection, labelLayoutKeys(), labelLayout()))
        report(labelSaveFailed());
}

void PrintSettingsPage::restoreDefaultReceiptLayout()
{
    showReceiptLayout(readFactoryLayout(printIniPath(ProgramDir::path()), ReceiptDefaultsSection, receiptLayoutKeys(),
                                        initialReceiptLayout()));
}

void PrintSettingsPage::restoreDefaultLabelLayout()
{
    showLabelLayout(readFactoryLayout(printIniPath(ProgramDir::path()), LabelDefaultsSection, labelLayoutKeys(),
                                      initialLabelLayout()));
}

void PrintSettingsPage::testPrintReceipt()
{
    if (testPrintReceiptHook)
        testPrintReceiptHook();
}

void PrintSettingsPage::testPrintLabel()
{
    if (testPrintLabelHook)
        testPrintLabelHook();
}

void PrintSettingsPage::addReceiptLogo()
{
    QFileDialog dialog(this, QStringLiteral("添加LOGO图片"));
    dialog.setObjectName(QStringLiteral("通用对话框1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (MessageSeam::exec(&dialog) != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return;
    const LogoChoice choice = storeLogo(ProgramDir::path(), chosen.first());
    if (choice.accepted)
        showLogo(choice.logo.bytes);
    report(choice.message);
}

void PrintSettingsPage::syncPrintSwitches()
{
    m_switches.value(QStringLiteral("选择框9"))->setChecked(isFlagOn(m_context.receiptPrintFlag));
    m_switches.value(QStringLiteral("打标签框"))->setChecked(isFlagOn(m_context.labelPrintFlag));
}

void PrintSettingsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    syncPrintSwitches();
}

void PrintSettingsPage::selectHeader(bool logo, bool ticked)
{
    QCheckBox *clicked = m_switches.value(logo ? QStringLiteral("打LOGO") : QStringLiteral("打文字"));
    QCheckBox *other = m_switches.value(logo ? QStringLiteral("打文字") : QStringLiteral("打LOGO"));
    if (!ticked) {
        // A ticked box stays ticked. Only when a file had both ticked does the click choose.
        clicked->setChecked(true);
        if (!other->isChecked())
            return;
    }
    other->setChecked(false);
    showHeader(logo);
}

void PrintSettingsPage::selectTextHeader(bool ticked)
{
    selectHeader(false, ticked);
}

void PrintSettingsPage::selectLogoHeader(bool ticked)
{
    selectHeader(true, ticked);
}

void PrintSettingsPage::selectFirstColumn(QCheckBox *box, bool ticked, const QString &captionText)
{
    if (!ticked) {
        box->setChecked(true);
        return;
    }
    for (const QString &name : {QStringLiteral("打款号"), QStringLiteral("打名称"), QStringLiteral("打分类")})
        m_switches.value(name)->setChecked(m_switches.value(name) == box);
    m_edits.value(QStringLiteral("款"))->setText(captionText);
}

void PrintSettingsPage::selectPrintStyleNo(bool ticked)
{
    selectFirstColumn(m_switches.value(QStringLiteral("打款号")), ticked, QStringLiteral("款号"));
}

void PrintSettingsPage::selectPrintItemName(bool ticked)
{
    selectFirstColumn(m_switches.value(QStringLiteral("打名称")), ticked, QStringLiteral("名称"));
}

void PrintSettingsPage::selectPrintCategory(bool ticked)
{
    selectFirstColumn(m_switches.value(QStringLiteral("打分类")), ticked, QStringLiteral("类型"));
}

void PrintSettingsPage::toggleReceiptPrinting(bool ticked)
{
    const PrintSwitchResult result = setReceiptPrinting(m_context, SettingsFile::inDirectory(ProgramDir::path()).path(), ticked);
    if (!result.written)
        m_switches.value(QStringLiteral("选择框9"))->setChecked(!ticked);
    report(result.message);
}

void PrintSettingsPage::toggleLabelPrinting(bool ticked)
{
    const PrintSwitchResult result = setLabelPrinting(m_context, SettingsFile::inDirectory(ProgramDir::path()).path(), ticked);
    if (!result.written)
        m_switches.value(QStringLiteral("打标签框"))->setChecked(!ticked);
    report(result.message);
}

namespace {

void applyPointSize(QLineEdit *preview, const QLineEdit *sizeEdit, bool bold)
{
    QFont font = preview->font();
    font.setFamily(interfaceFontFamily());
    font.setBold(bold);
    font.setPointSize(layoutPointSize(sizeEdit->text()));
    preview->setFont(font);
}

} // namespace

void PrintSettingsPage::previewTitleFontSize()
{
    applyPointSize(m_edits.value(QStringLiteral("主标题")), m_edits.value(QStringLiteral("主标题大小")), true);
}

void PrintSettingsPage::previewSubtitleFontSize()
{
    applyPointSize(m_edits.value(QStringLiteral("副标题")), m_edits.value(QStringLiteral("副标题大小")), false);
}

void PrintSettingsPage::previewLabelStyleNoFontSize()
{
    applyPointSize(m_edits.value(QStringLiteral("B款号")), m_edits.value(QStringLiteral("B款大小")), false);
}

void PrintSettingsPage::previewLabelColourFontSize()
{
    applyPointSize(m_edits.value(QStringLiteral("B颜色")), m_edits.value(QStringLiteral("B颜大小")), false);
}

void PrintSettingsPage::previewLabelSizeFontSize()
{
    applyPointSize(m_edits.value(QStringLiteral("B尺码")), m_edits.value(QStringLiteral("B尺大小")), false);
}

void PrintSettingsPage::previewLabelPriceFontSize()
{
    applyPointSize(m_edits.value(QStringLiteral("B价格")), m_edits.value(QStringLiteral("B价大小")), false);
}

} // namespace printing
