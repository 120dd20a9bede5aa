#include "stock/PurchasePage.h"

#include "platform/InputMode.h"

#include "context/AppContext.h"
#include "context/Rights.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "printing/LabelPrinter.h"
#include "stock/Catalogue.h"
#include "stock/CategoryNameDialog.h"
#include "stock/CategoryTree.h"
#include "stock/FilterComboBox.h"
#include "stock/FormLists.h"
#include "stock/PriceCalculator.h"
#include "stock/StockAdjust.h"
#include "stock/StockAlarms.h"
#include "stock/PurchaseEntry.h"
#include "stock/PurchaseList.h"
#include "stock/StockRules.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace stock {

namespace {

QPushButton *button(QWidget *parent, const QString &objectName, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(true); // Enter presses the button that has the focus, as Space does
    return b;
}

template <typename T>
T *named(QWidget *parent, const QString &objectName)
{
    auto *w = new T(parent);
    w->setObjectName(objectName);
    return w;
}

} // namespace

PurchasePage::PurchasePage(AppContext &context, printing::LabelPrinter &labels, QWidget *parent)
    : QWidget(parent), m_context(context), m_labels(labels)
{
    setObjectName(QStringLiteral("采购入库"));
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("分组框3"));
    auto *grid = new QGridLayout(group);

    m_supplier = named<FilterComboBox>(group, QStringLiteral("供货来源7"));
    m_category = named<FilterComboBox>(group, QStringLiteral("类别7"));
    m_category->setToolTip(QStringLiteral("防止查询丢失请不要手动在此处填写分类"));
    m_styleNo = named<QLineEdit>(group, QStringLiteral("款号7"));
    m_unit = named<FilterComboBox>(group, QStringLiteral("单位8"));
    m_name = named<FilterComboBox>(group, QStringLiteral("名称7"));
    m_cost = named<QLineEdit>(group, QStringLiteral("进货价7"));
    m_tagPrice = named<QLineEdit>(group, QStringLiteral("吊牌价7"));
    m_discount = named<QLineEdit>(group, QStringLiteral("折扣7"));
    m_discounted = named<QLineEdit>(group, QStringLiteral("折后价7"));
    m_barcode = named<QLineEdit>(this, QStringLiteral("商品条码7"));

    auto *supplierButton = button(group, QStringLiteral("供货来源"), QStringLiteral("供货来源"));
    auto *styleButton = button(group, QStringLiteral("查款号"), QStringLiteral("款    号"));
    grid->addWidget(supplierButton, 0, 0);
    grid->addWidget(m_supplier, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("分    类"), group), 0, 3);
    grid->addWidget(m_category, 0, 4, 1, 2);
    grid->addWidget(styleButton, 1, 0);
    grid->addWidget(m_styleNo, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("单    位"), group), 1, 3);
    grid->addWidget(m_unit, 1, 4, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("商品名称"), group), 2, 0);
    grid->addWidget(m_name, 2, 1, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("颜    色"), group), 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("尺    码"), group), 4, 0);
    grid->addWidget(new QLabel(QStringLiteral("数    量"), group), 5, 0);
    for (int k = 0; k < PurchaseForm::lineCount; ++k) {
        const QString n = QString::number(k + 1);
        m_colours[k] = named<FilterComboBox>(group, QStringLiteral("颜色") + n);
        m_sizes[k] = named<FilterComboBox>(group, QStringLiteral("尺码") + n);
        m_quantities[k] = named<QLineEdit>(group, QStringLiteral("数量") + n);
        grid->addWidget(m_colours[k], 3, k + 1);
        grid->addWidget(m_sizes[k], 4, k + 1);
        grid->addWidget(m_quantities[k], 5, k + 1);
    }
    const std::pair<QString, QLineEdit *> prices[] = {{QStringLiteral("折 后 价"), m_discounted},
                                                      {QStringLiteral("成 本 价"), m_cost},
                                                      {QStringLiteral("吊 牌 价"), m_tagPrice},
                                                      {QStringLiteral("商品折扣"), m_discount}};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(prices[i].first, group), 6 + i / 2, (i % 2) * 3);
        grid->addWidget(prices[i].second, 6 + i / 2, (i % 2) * 3 + 1, 1, 2);
    }
    auto *addButton = button(group, QStringLiteral("添加采购"), QStringLiteral("添加"));
    auto *clearButton = button(group, QStringLiteral("采购清空"), QStringLiteral("清空"));
    auto *modifyButton = button(group, QStringLiteral("修改采购"), QStringLiteral("修改"));
    auto *deleteButton = button(group, QStringLiteral("采购删除1"), QStringLiteral("删除"));
    auto *calcButton = button(group, QStringLiteral("按钮4"), QStringLiteral("定价工具"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {addButton, clearButton, modifyButton, deleteButton, calcButton})
        buttons->addWidget(b);
    grid->addLayout(buttons, 8, 0, 1, 7);

    auto *barcodeRow = new QHBoxLayout;
    auto *labelButton = button(this, QStringLiteral("打条码"), QStringLiteral("单独打标签"));
    barcodeRow->addWidget(m_barcode);
    barcodeRow->addWidget(labelButton);
    auto *refreshButton = button(this, QStringLiteral("按钮28"), QStringLiteral("刷新库存"));
    auto *zeroButton = button(this, QStringLiteral("按钮22"), QStringLiteral("显示零库存"));
    barcodeRow->addWidget(refreshButton);
    barcodeRow->addWidget(zeroButton);
    barcodeRow->addWidget(new QLabel(QStringLiteral("(被隐藏的不显示)"), this));
    barcodeRow->addStretch();
    auto *reportButton = button(this, QStringLiteral("按钮20"), QStringLiteral("采购报表"));
    barcodeRow->addWidget(reportButton);

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框7"));
    for (const auto &[title, width] : purchaseListColumns())
        m_list->addColumn(title, width);

    // Tab follows the form as it reads: the head fields, then each column of colour, size and
    // quantity (one purchase line), then the prices, the buttons and the row below.
    QList<QWidget *> order{m_supplier, m_category, m_styleNo, m_unit, m_name};
    for (int k = 0; k < PurchaseForm::lineCount; ++k)
        order << m_colours[k] << m_sizes[k] << m_quantities[k];
    order << m_discounted << m_cost << m_tagPrice << m_discount << addButton << clearButton << modifyButton
          << deleteButton << calcButton << m_barcode << labelButton << refreshButton << zeroButton;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(barcodeRow);
    layout->addWidget(m_list, 1);

    // Keyboard: Latin fields without input method, the name with it.
    for (QWidget *w : std::initializer_list<QWidget *>{m_supplier, m_category, m_styleNo, m_unit})
        inputmode::preferLatin(w);
    for (int k = 0; k < PurchaseForm::lineCount; ++k) {
        inputmode::preferLatin(m_colours[k]);
        inputmode::preferLatin(m_sizes[k]);
        m_sizes[k]->installEventFilter(this);
        m_sizes[k]->lineEdit()->installEventFilter(this);
    }
    m_styleNo->installEventFilter(this);
    m_discounted->installEventFilter(this);
    // Keys reach the combo, which hands them on to its edit; a key sent to the edit itself counts too.
    m_name->installEventFilter(this);
    m_name->lineEdit()->installEventFilter(this);

    for (int k = 0; k < PurchaseForm::lineCount; ++k) {
        FilterComboBox *c = m_colours[k];
        connect(c, &FilterComboBox::typed, this, [this, c](const QString &t) {
            filterCombo(c, loadCatalogue(m_context, CatalogueKind::Colour), t);
        });
    }
    connect(m_category, &FilterComboBox::typed, this,
            [this](const QString &t) { filterCombo(m_category, loadSecondLevelCategories(m_context), t); });
    connect(m_supplier, &FilterComboBox::typed, this,
            [this](const QString &t) { filterCombo(m_supplier, loadSupplierNames(m_context), t); });
    connect(m_unit, &FilterComboBox::typed, this,
            [this](const QString &t) { filterCombo(m_unit, loadCatalogue(m_context, CatalogueKind::Unit), t); });
    connect(m_category, &FilterComboBox::dropDownRequested, this, &PurchasePage::offerToAddCategory);
    connect(m_supplier, &FilterComboBox::dropDownRequested, this, &PurchasePage::offerToAddSupplier);

    connect(addButton, &QPushButton::clicked, this, &PurchasePage::addPurchase);
    connect(clearButton, &QPushButton::clicked, this, &PurchasePage::clearForm);
    connect(modifyButton, &QPushButton::clicked, this, &PurchasePage::modifyPurchase);
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteSelected(false); });
    connect(calcButton, &QPushButton::clicked, this,
            [this] { openPriceCalculatorWindow(m_context, m_cost, m_tagPrice, m_discount, this); });
    connect(labelButton, &QPushButton::clicked, this, &PurchasePage::printBarcodeLabel);
    connect(refreshButton, &QPushButton::clicked, this, &PurchasePage::refreshPurchaseList);
    connect(zeroButton, &QPushButton::clicked, this, [this] { fillPurchaseList(listZeroStock(m_context).rows); });
    connect(reportButton, &QPushButton::clicked, this, &PurchasePage::purchaseReportRequested);
    connect(supplierButton, &QPushButton::clicked, this,
            [this] { fillPurchaseList(listBySupplier(m_context, m_supplier->currentText()).rows); });
    connect(styleButton, &QPushButton::clicked, this,
            [this] { fillPurchaseList(listByStyleNo(m_context, m_styleNo->text()).rows); });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &PurchasePage::showSelectedPurchase);
    connect(m_list, &ReportList::rowContextMenuRequested, this, &PurchasePage::showPurchaseListMenu);
}

// The loaders refill the lists and keep what is typed in the fields: the page is shown again after
// a visit to the category or supplier page, and a half-typed purchase must survive it.
void PurchasePage::loadPurchaseSupplierCombo()
{
    m_supplier->setItemsKeepingText(loadSupplierNames(m_context));
}

void PurchasePage::loadPurchaseCategoryCombo()
{
    m_category->setItemsKeepingText(loadSecondLevelCategories(m_context));
}

void PurchasePage::loadPurchaseColourCombos()
{
    const QStringList colours = loadCatalogue(m_context, CatalogueKind::Colour);
    for (FilterComboBox *c : m_colours)
        c->setItemsKeepingText(colours);
}

void PurchasePage::loadPurchaseSizeCombos()
{
    const QStringList sizes = loadCatalogue(m_context, CatalogueKind::Size);
    for (FilterComboBox *c : m_sizes)
        c->setItemsKeepingText(sizes);
}

void PurchasePage::loadPurchaseUnitCombo()
{
    m_unit->setItemsKeepingText(loadCatalogue(m_context, CatalogueKind::Unit));
}

void PurchasePage::fillPurchaseList(data::RecordSet &records)
{
    fillPurchaseList(rowsOf(records));
}

void PurchasePage::fillPurchaseList(const QList<PurchaseRow> &rows)
{
    m_selectedId.clear();
    clearListRowColours(m_list);
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const PurchaseListLine &line : purchaseListLines(rows, rights::hasRight(m_context, QStringLiteral("查看进价")))) {
        const int row = m_list->addRow(line.cells);
        setListRowColour(m_list, row, 3, line.colour);
    }
    m_list->setUpdatesEnabled(true);
    m_list->scrollToBottom();
}

void PurchasePage::refreshPurchaseList()
{
    fillPurchaseList(listInStock(m_context).rows);
}

PurchaseForm PurchasePage::readForm() const
{
    PurchaseForm f;
    f.category = m_category->currentText();
    f.styleNo = m_styleNo->text();
    f.name = m_name->currentText();
    f.supplier = m_supplier->currentText();
    f.cost = m_cost->text();
    f.tagPrice = m_tagPrice->text();
    f.discount = m_discount->text();
    f.discountedPrice = m_discounted->text();
    f.unit = m_unit->currentText();
    f.barcode = m_barcode->text();
    for (int k = 0; k < PurchaseForm::lineCount; ++k)
        f.lines[k] = {m_colours[k]->currentText(), m_sizes[k]->currentText(), m_quantities[k]->text()};
    return f;
}

void PurchasePage::writeForm(const PurchaseForm &f)
{
    m_category->setEditText(f.category);
    m_styleNo->setText(f.styleNo);
    m_name->setEditText(f.name);
    m_supplier->setEditText(f.supplier);
    m_cost->setText(f.cost);
    m_tagPrice->setText(f.tagPrice);
    m_discount->setText(f.discount);
    m_discounted->setText(f.discountedPrice);
    m_unit->setEditText(f.unit);
    m_barcode->setText(f.barcode);
    for (int k = 0; k < PurchaseForm::lineCount; ++k) {
        m_colours[k]->setEditText(f.lines[k].colour);
        m_sizes[k]->setEditText(f.lines[k].size);
        m_quantities[k]->setText(f.lines[k].quantity);
    }
}

void PurchasePage::addPurchase()
{
    const PurchaseResult r = stock::addPurchase(m_context, readForm(), m_labels);
    if (!r.saved) {
        MessageSeam::message(this, QString(), r.message);
        if (QWidget *field = requiredField(r.missing))
            field->setFocus(Qt::OtherFocusReason); // the user goes on where the entry is incomplete
        return;
    }
    refreshPurchaseList();
    clearForm();
    loadPurchaseColourCombos();
    loadPurchaseSupplierCombo();
    loadPurchaseCategoryCombo();
    loadPurchaseUnitCombo();
    m_supplier->setEditText(QString());
    m_supplier->setFocus(); // the next purchase starts at the top of the emptied form
}

QWidget *PurchasePage::requiredField(RequiredField field) const
{
    switch (field) {
    case RequiredField::None: break;
    case RequiredField::Supplier: return m_supplier;
    case RequiredField::Category: return m_category;
    case RequiredField::StyleNo: return m_styleNo;
    case RequiredField::Size1: return m_sizes[0];
    case RequiredField::Cost: return m_cost;
    case RequiredField::TagPrice: return m_tagPrice;
    }
    return nullptr;
}

void PurchasePage::clearForm()
{
    PurchaseForm f = readForm();
    clearPurchaseForm(f);
    writeForm(f);
}

void PurchasePage::showSelectedPurchase()
{
    PurchaseForm f = readForm();
    const int row = m_list->selectedRow();
    m_selectedId.clear();
    std::optional<QStringList> cells;
    if (row >= 0) {
        cells = m_list->rowTexts(row);
        m_selectedId = cells->value(0);
    }
    showSelectionInForm(cells, f);
    writeForm(f);
}

void PurchasePage::modifyPurchase()
{
    const ListActionResult r = stock::modifyPurchase(m_context, m_selectedId, readForm());
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
    if (r.changed) {
        refreshPurchaseList();
        loadPurchaseUnitCombo();
    }
}

void PurchasePage::deleteSelected(bool fromMenu)
{
    const ListActionResult r = fromMenu ? deleteItemFromMenu(m_context, m_selectedId)
                                        : deletePurchaseItem(m_context, m_selectedId);
    if (r.changed)
        refreshPurchaseList();
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
}

void PurchasePage::filterCombo(FilterComboBox *combo, const QStringList &items, const QString &typed)
{
    combo->showFilterResult(filterByInitials(items, typed));
}

void PurchasePage::searchProductNamesOnEnter()
{
    const QString typed = m_name->currentText();
    if (typed.isEmpty())
        return;
    m_name->showFilterResult(searchProductNames(m_context, typed));
}

void PurchasePage::offerToAddCategory()
{
    if (m_category->count() > 0)
        return;
    if (!MessageSeam::question(this, QStringLiteral("添加分类项目"),
                               QStringLiteral("你所输入的分类项目还未添，是否现在就去添加？")))
        return;
    // The category page is guarded by 库存管理 and the change by 分类管理: both before switching.
    if (!rights::checkRight(m_context, QStringLiteral("库存管理"), this)
        || !rights::checkRight(m_context, QStringLiteral("分类管理"), this))
        return;
    Q_EMIT categoryPageRequested();
    CategoryNameDialog input(QStringLiteral("新增一级分类"),
                             QStringLiteral("请在下面编辑框内填写一级分类的名字。比如：上衣"), this);
    if (MessageSeam::exec(&input) != QDialog::Accepted)
        return;
    const CategoryResult r = addTopCategory(m_context, input.textValue());
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
    if (r.changed)
        Q_EMIT categoriesChanged();
}

void PurchasePage::offerToAddSupplier()
{
    if (m_supplier->count() > 0)
        return;
    if (!MessageSeam::question(this, QStringLiteral("添加供货来源"),
                               QStringLiteral("你所输入的供货商还未添加，是否现在就去添加？")))
        return;
    if (!rights::checkRight(m_context, QStringLiteral("系统设置"), this))
        return;
    Q_EMIT supplierPageRequested();
}

void PurchasePage::printBarcodeLabel()
{
    m_labels.printPurchaseLabels(formLabel(readForm(), Clock::now()));
}

void PurchasePage::showPurchaseListMenu(int, const QPoint &globalPos)
{
    // The menu acts on the selected line, wherever in the list the right click lands.
    if (m_list->selectedRow() < 0)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("菜单2"));
    // After an adjustment the form shows the line as stored, so that what is printed from the form
    // (单独打标签, 测试打印标签) carries the new prices.
    menu.addAction(QStringLiteral("商品调整"), this, [this] {
        if (startStockAdjust(m_context, m_list, this))
            showSelectedPurchase();
    });
    menu.addAction(QStringLiteral("历史调整"), this, [this] { openItemHistoryWindow(m_context, m_list, this); });
    menu.addAction(QStringLiteral("库存报警"), this, [this] { openItemAlarmLimitsDialog(m_context, m_list, this); });
    menu.addAction(QStringLiteral("删除商品"), this, [this] { deleteSelected(true); });
    menu.exec(globalPos);
}

bool PurchasePage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_styleNo && m_styleNo->text().isEmpty()) {
            const QString next = suggestNextStyleNo(m_context);
            if (!next.isEmpty()) {
                m_styleNo->setText(next);
                m_styleNoSuggested = true;
            }
        } else if (watched == m_discounted) {
            m_discounted->setText(computeDiscountedPrice(m_tagPrice->text(), m_discount->text()));
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == m_styleNo && m_styleNoSuggested) {
        // The suggestion stands selected once the click is done: typing replaces it.
        m_styleNoSuggested = false;
        m_styleNo->selectAll();
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == m_styleNo) {
            m_styleNoSuggested = false;
            if (const std::optional<StylePrefill> p = prefillFromStyleNo(m_context, m_styleNo->text())) {
                PurchaseForm f = readForm();
                applyPrefill(*p, f);
                writeForm(f);
            }
        }
        for (FilterComboBox *size : m_sizes)
            if (watched == size || watched == size->lineEdit())
                size->setEditText(upperCaseSize(size->currentText()));
    } else if (event->type() == QEvent::KeyPress && (watched == m_name || watched == m_name->lineEdit())) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            searchProductNamesOnEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace stock
