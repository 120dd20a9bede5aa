#include "admin/ShopSettingsPage.h"

#include "context/AppContext.h"
#include "context/ShopDatabase.h"
#include "data/SettingsFile.h"
#include "lists/ReportList.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "admin/AdminResult.h"
#include "admin/DiscountAdmin.h"
#include "admin/NoticeAdmin.h"
#include "admin/PromotionAdmin.h"
#include "admin/ShopAdmin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

namespace {
const char *const PlainTip = "plainToolTip";
}

ShopSettingsPage::ShopSettingsPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("店铺初始设置"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(buildShopGroup(), 0, 0);
    grid->addWidget(buildDiscountGroup(), 0, 1);
    grid->addWidget(buildSettingsGroup(), 1, 0);
    grid->addWidget(buildPromotionGroup(), 1, 1);
    grid->addWidget(buildNoticeGroup(), 2, 0);

    m_tierGroup = new QGroupBox(QStringLiteral("会员设置"), this);
    m_tierGroup->setObjectName(QStringLiteral("会员设置"));
    new QVBoxLayout(m_tierGroup);
    grid->addWidget(m_tierGroup, 2, 1);

    auto *catalogue = new QGroupBox(QStringLiteral("自定义颜色、尺码、单位、款号"), this);
    auto *catalogueLayout = new QVBoxLayout(catalogue);
    m_cataloguePlace = new QWidget(catalogue);
    m_cataloguePlace->setObjectName(QStringLiteral("颜色尺码单位"));
    new QVBoxLayout(m_cataloguePlace);
    catalogueLayout->addWidget(m_cataloguePlace);
    auto *prefixRow = new QHBoxLayout;
    prefixRow->addWidget(new QLabel(QStringLiteral("款号首字母"), catalogue));
    m_prefix = lineEdit(QStringLiteral("编辑框7"));
    prefixRow->addWidget(m_prefix);
    QPushButton *savePrefix = button(QStringLiteral("按钮13"), QStringLiteral("保存设置"));
    prefixRow->addWidget(savePrefix);
    catalogueLayout->addLayout(prefixRow);
    grid->addWidget(catalogue, 3, 0, 1, 2);
    connect(savePrefix, &QPushButton::clicked, this, [this] {
        afterToggle(admin::saveStyleNoPrefix(m_context, m_prefix->text()));
    });
}

QCheckBox *ShopSettingsPage::checkBox(const QString &name, const QString &caption)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(name);
    return box;
}

QLineEdit *ShopSettingsPage::lineEdit(const QString &name, const QString &text)
{
    auto *edit = new QLineEdit(text, this);
    edit->setObjectName(name);
    return edit;
}

QPushButton *ShopSettingsPage::button(const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    return b;
}

QWidget *ShopSettingsPage::buildShopGroup()
{
    auto *group = new QGroupBox(QStringLiteral("店铺管理"), this);
    auto *layout = new QGridLayout(group);
    m_newShop = lineEdit(QStringLiteral("编辑框3"));
    QPushButton *add = button(QStringLiteral("添加店铺名"), QStringLiteral("添加店铺名"));
    m_shopCombo = new QComboBox(group);
    m_shopCombo->setObjectName(QStringLiteral("店铺组合框"));
    m_shopCombo->setEditable(false); // only shops that exist can be chosen
    QPushButton *save = button(QStringLiteral("按钮8"), QStringLiteral("保存设置"));
    QPushButton *remove = button(QStringLiteral("删除店铺"), QStringLiteral("删除店铺"));
    layout->addWidget(m_newShop, 0, 0, 1, 2);
    layout->addWidget(add, 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("本机当前使用"), group), 1, 0);
    layout->addWidget(m_shopCombo, 1, 1);
    layout->addWidget(save, 1, 2);
    layout->addWidget(remove, 1, 3);
    auto *warning = new QLabel(
        QStringLiteral("指定店铺名并新增数据以后，请勿删除店铺名，否则会引起该店铺所属数据无法查询到"), group);
    warning->setWordWrap(true);
    layout->addWidget(warning, 2, 0, 1, 4);
    connect(add, &QPushButton::clicked, this, &ShopSettingsPage::addShop);
    connect(save, &QPushButton::clicked, this, &ShopSettingsPage::saveShopSettings);
    connect(remove, &QPushButton::clicked, this, &ShopSettingsPage::deleteShop);
    return group;
}

QWidget *ShopSettingsPage::buildSettingsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("店铺设置"), this);
    auto *layout = new QGridLayout(group);
    const QStringList roundingNames{QStringLiteral("选择框15"), QStringLiteral("选择框16"), QStringLiteral("选择框17")};
    const QStringList roundingCaptions{QStringLiteral("取整数销售"), QStringLiteral("取1位小数销售"),
                                       QStringLiteral("取2位小数销售")};
    for (int i = 0; i < 3; ++i) {
        m_rounding[i] = checkBox(roundingNames[i], roundingCaptions[i]);
        layout->addWidget(m_rounding[i], 0, i);
        connect(m_rounding[i], &QCheckBox::clicked, this,
                [this, i] { afterToggle(admin::selectRounding(m_context, i)); });
    }
    m_pointsMode = checkBox(QStringLiteral("选择框12"), QStringLiteral("启用积分模式"));
    m_upgradeMode = checkBox(QStringLiteral("选择框13"), QStringLiteral("启用积分+升级模式"));
    m_onDiscount = checkBox(QStringLiteral("选择框18"), QStringLiteral("会员折上折"));
    m_onDiscount->setToolTip(QStringLiteral("勾选后,结算时会员折扣在原始折扣上再打折！\r\n不勾选,结算时会员折扣只在吊牌价上打折"));
    layout->addWidget(new QLabel(QStringLiteral("默认消费1元增加1个积分"), group), 1, 0);
    layout->addWidget(m_pointsMode, 1, 1);
    layout->addWidget(m_upgradeMode, 1, 2);
    layout->addWidget(m_onDiscount, 1, 3);

    m_pointsValue = lineEdit(QStringLiteral("编辑框5"), QStringLiteral("2000"));
    m_deduction = lineEdit(QStringLiteral("编辑框6"), QStringLiteral("40"));
    layout->addWidget(new QLabel(QStringLiteral("达到"), group), 2, 0);
    layout->addWidget(m_pointsValue, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("积分才可使用抵扣"), group), 2, 2);
    layout->addWidget(m_deduction, 3, 1);
    layout->addWidget(new QLabel(QStringLiteral("积分抵扣1元"), group), 3, 2);

    m_sharing = checkBox(QStringLiteral("选择框20"), QStringLiteral("会员共享"));
    m_sharing->setToolTip(QStringLiteral("勾选后，会员可以在所有连锁店享受会员折扣\r\n反之，只能在办理会员的门面享受会员折扣！\r\n注意！！！！在不勾选情况下以防卡号重复\r\n办理会员时请自行定义卡号开头字母各店都不要相同"));
    m_birthday = checkBox(QStringLiteral("选择框19"), QStringLiteral("会员生日提醒提前"));
    layout->addWidget(m_sharing, 4, 0);
    layout->addWidget(m_birthday, 4, 1);
    layout->addWidget(new QLabel(QStringLiteral("3 天"), group), 4, 2);

    m_notice = checkBox(QStringLiteral("选择框21"), QStringLiteral("开启公告"));
    m_interval = lineEdit(QStringLiteral("编辑框11"), QStringLiteral("30"));
    layout->addWidget(m_notice, 5, 0);
    layout->addWidget(new QLabel(QStringLiteral("前台读取公告间隔    1000/秒"), group), 5, 1);
    layout->addWidget(m_interval, 5, 2);

    m_autoPromotion = checkBox(QStringLiteral("选择框22"), QStringLiteral("开启自动满额促销"));
    m_autoPromotion->setToolTip(QStringLiteral("勾选后，在活动结束前，结算界面会显示一个【惠】字，点击即可！"));
    layout->addWidget(m_autoPromotion, 6, 0);

    m_upper = lineEdit(QStringLiteral("库上"));
    m_lower = lineEdit(QStringLiteral("库下"));
    m_stockAlarm = checkBox(QStringLiteral("选择框35"), QStringLiteral("开启实时报警提醒"));
    layout->addWidget(new QLabel(QStringLiteral("库存上限"), group), 7, 0);
    layout->addWidget(m_upper, 7, 1);
    layout->addWidget(new QLabel(QStringLiteral("库存下限"), group), 8, 0);
    layout->addWidget(m_lower, 8, 1);
    layout->addWidget(m_stockAlarm, 9, 0);

    connect(m_pointsMode, &QCheckBox::clicked, this, [this] {
        afterToggle(admin::enablePointsMode(m_context, m_pointsValue->text(), m_deduction->text()));
    });
    connect(m_upgradeMode, &QCheckBox::clicked, this, [this] {
        afterToggle(admin::enableUpgradeMode(m_context, m_pointsValue->text(), m_deduction->text()));
    });
    connect(m_onDiscount, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::setDiscountOnDiscount(m_context, on)); });
    connect(m_pointsValue, &QLineEdit::textEdited, this,
            [this](const QString &text) { showInline(m_pointsValue, admin::savePointsValue(m_context, text)); });
    connect(m_deduction, &QLineEdit::textEdited, this,
            [this](const QString &text) { showInline(m_deduction, admin::saveDeductionValue(m_context, text)); });
    connect(m_sharing, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::setMemberSharing(m_context, on)); });
    connect(m_birthday, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::setBirthdayReminder(m_context, on)); });
    connect(m_notice, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::setNoticeTicker(m_context, on, m_interval->text())); });
    connect(m_autoPromotion, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::setAutoPromotion(m_context, on)); });
    connect(m_upper, &QLineEdit::textEdited, this,
            [this](const QString &text) { showInline(m_upper, admin::saveStockUpperAlarm(m_context, text)); });
    connect(m_lower, &QLineEdit::textEdited, this,
            [this](const QString &text) { showInline(m_lower, admin::saveStockLowerAlarm(m_context, text)); });
    connect(m_stockAlarm, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::setStockAlarm(m_context, on)); });
    return group;
}

QWidget *ShopSettingsPage::buildDiscountGroup()
{
    auto *group = new QGroupBox(QStringLiteral("折扣方案"), this);
    group->setObjectName(QStringLiteral("折扣方案"));
    auto *layout = new QGridLayout(group);
    m_uniform = checkBox(QStringLiteral("选择框11"), QStringLiteral("全场统一"));
    m_uniform->setToolTip(QStringLiteral("勾选后，结算时默认按此折扣计算！"));
    m_factor = lineEdit(QStringLiteral("编辑框4"), QStringLiteral("0.9"));
    m_factor->setToolTip(QStringLiteral("请带小数点输入。比如：7折 输入0.7，75折 输入0.75"));
    m_itemOwn = checkBox(QStringLiteral("选择框10"), QStringLiteral("商品自身折扣"));
    m_itemOwn->setToolTip(QStringLiteral("勾选后，结算时按商品采购入库时录入的折扣计算！"));
    m_free = checkBox(QStringLiteral("选择框14"), QStringLiteral("允许自由优惠"));
    m_free->setToolTip(QStringLiteral("勾选后，结算时应收金额可自由调整！反之则不允许"));
    layout->addWidget(m_uniform, 0, 0);
    layout->addWidget(m_factor, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("折"), group), 0, 2);
    layout->addWidget(m_itemOwn, 1, 0);
    layout->addWidget(m_free, 2, 0);
    // A click on either pricing mode leaves the box showing the factor in force.
    connect(m_uniform, &QCheckBox::clicked, this, [this] {
        const AdminResult result = admin::toggleUniformDiscount(m_context, m_factor->text());
        showFactorInForce();
        afterToggle(result);
    });
    connect(m_itemOwn, &QCheckBox::clicked, this, [this] {
        const AdminResult result = admin::toggleItemOwnDiscount(m_context);
        showFactorInForce();
        afterToggle(result);
    });
    connect(m_free, &QCheckBox::clicked, this,
            [this](bool on) { afterToggle(admin::toggleFreeDiscount(m_context, on)); });
    connect(m_factor, &QLineEdit::textEdited, this, [this](const QString &text) {
        showInline(m_factor, admin::saveUniformDiscount(m_context, text, m_uniform->isChecked()));
    });
    return group;
}

QWidget *ShopSettingsPage::buildPromotionGroup()
{
    auto *group = new QGroupBox(QStringLiteral("满额促销"), this);
    group->setObjectName(QStringLiteral("满额促销"));
    auto *layout = new QGridLayout(group);
    m_promotions = new ReportList(group);
    m_promotions->setObjectName(QStringLiteral("超级列表框13"));
    m_promotions->addColumn(QString(), 0);
    m_promotions->addColumn(QStringLiteral("满"), 60);
    m_promotions->addColumn(QStringLiteral("减"), 60);
    m_promotions->addColumn(QStringLiteral("截止时间"), 80);
    layout->addWidget(m_promotions, 0, 0, 1, 6);
    m_threshold = lineEdit(QStringLiteral("满"));
    m_reduction = lineEdit(QStringLiteral("送"));
    m_endDate = new QDateEdit(group);
    m_endDate->setObjectName(QStringLiteral("截止时间x"));
    m_endDate->setCalendarPopup(true);
    m_endDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_endDate->setDate(Clock::now().date());
    layout->addWidget(new QLabel(QStringLiteral("满"), group), 1, 0);
    layout->addWidget(m_threshold, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("减"), group), 1, 2);
    layout->addWidget(m_reduction, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("截止时间"), group), 2, 0);
    layout->addWidget(m_endDate, 2, 1, 1, 3);
    QPushButton *add = button(QStringLiteral("新增x"), QStringLiteral("新增"));
    QPushButton *change = button(QStringLiteral("修改x"), QStringLiteral("修改"));
    layout->addWidget(add, 3, 0, 1, 2);
    layout->addWidget(change, 3, 2, 1, 2);
    connect(add, &QPushButton::clicked, this, &ShopSettingsPage::addPromotion);
    connect(change, &QPushButton::clicked, this, &ShopSettingsPage::updatePromotion);
    connect(m_promotions->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ShopSettingsPage::showSelectedPromotion);
    return group;
}

QWidget *ShopSettingsPage::buildNoticeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("公告设置 （单机版不实用）"), this);
    group->setObjectName(QStringLiteral("分组框17"));
    auto *layout = new QVBoxLayout(group);
    m_noticeText = new QPlainTextEdit(group);
    m_noticeText->setObjectName(QStringLiteral("编辑框10"));
    QPushButton *save = button(QStringLiteral("按钮3"), QStringLiteral("修改公告内容"));
    layout->addWidget(m_noticeText);
    layout->addWidget(save);
    connect(save, &QPushButton::clicked, this, &ShopSettingsPage::saveNotice);
    return group;
}

QWidget *ShopSettingsPage::tierGridPlace() const
{
    return m_tierGroup;
}

QWidget *ShopSettingsPage::catalogueListsPlace() const
{
    return m_cataloguePlace;
}

void ShopSettingsPage::refillShopCombo()
{
    m_shopCombo->clear();
    m_shopCombo->addItems(admin::shopNames(m_context));
    m_shopCombo->setCurrentIndex(-1);
}

void ShopSettingsPage::load()
{
    refillShopCombo();
    if (m_catalogueLoader)
        m_catalogueLoader();

    m_prefix->setText(m_context.discountScheme.款号字母);
    showFactorInForce();
    syncDiscountBoxes();

    ShopSettings &settings = m_context.shopSettings;
    // A row holding both modes works as the upgrade mode.
    if (isFlagOn(settings.升级模式))
        settings.积分模式 = AppContext::FlagOff;
    if (isFlagOn(settings.积分模式))
        settings.升级模式 = AppContext::FlagOff;
    m_pointsValue->setText(settings.积分值);
    m_deduction->setText(settings.抵扣值);

    if (m_memberCategoryLoader)
        m_memberCategoryLoader();
    loadMemberTiers(m_context);

    m_interval->setText(settings.公告间隔);
    loadPromotionList();
    m_upper->setText(settings.上限报警);
    m_lower->setText(settings.下限报警);
    for (QLineEdit *edit : {m_pointsValue, m_deduction, m_upper, m_lower, m_interval})
        showInline(edit, AdminResult::ok());
    syncBoxes();

    // The notice box always shows the stored notice, so a save never replaces it by accident.
    m_noticeText->setPlainText(loadNotice(m_context, m_context.currentShop));
}

void ShopSettingsPage::syncBoxes()
{
    const ShopSettings &settings = m_context.shopSettings;
    const int decimals = QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}.indexOf(settings.销售);
    for (int i = 0; i < 3; ++i)
        m_rounding[i]->setChecked(i == decimals);
    m_upgradeMode->setChecked(isFlagOn(settings.升级模式));
    m_pointsMode->setChecked(isFlagOn(settings.积分模式) && !isFlagOn(settings.升级模式));
    m_onDiscount->setChecked(isFlagOn(settings.折上折));
    m_sharing->setChecked(isFlagOn(settings.会员共享));
    m_notice->setChecked(isFlagOn(settings.开启公告));
    m_autoPromotion->setChecked(isFlagOn(settings.满就送));
    m_birthday->setChecked(isFlagOn(settings.生日提醒));
    m_stockAlarm->setChecked(isFlagOn(settings.报警开关));
}

void ShopSettingsPage::syncDiscountBoxes()
{
    const DiscountScheme &scheme = m_context.discountScheme;
    // Ticked whenever a uniform factor is stored: the cashier applies it even where the item's own
    // discount is also on, so the page never hides the factor that prices the sale.
    m_uniform->setChecked(!scheme.统一折扣.isEmpty());
    m_itemOwn->setChecked(isFlagOn(scheme.商品折扣));
    m_free->setChecked(isFlagOn(scheme.自由优惠));
}

void ShopSettingsPage::showFactorInForce()
{
    const QString &factor = m_context.discountScheme.统一折扣;
    m_factor->setText(factor);
    // A stored factor the cashier cannot use sensibly (old data such as "7") is marked on the box.
    const QString problem = discountFactorProblem(factor);
    showInline(m_factor, problem.isEmpty() ? AdminResult::ok() : AdminResult::refused(problem));
}

void ShopSettingsPage::afterToggle(const AdminResult &result)
{
    syncBoxes();
    syncDiscountBoxes();
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
}

void ShopSettingsPage::showInline(QLineEdit *edit, const AdminResult &result)
{
    if (!edit->property(PlainTip).isValid())
        edit->setProperty(PlainTip, edit->toolTip());
    const bool problem = !result.done && !result.message.isEmpty();
    edit->setStyleSheet(problem ? QStringLiteral("QLineEdit { background: #ffd6d6; }") : QString());
    edit->setToolTip(problem ? result.message : edit->property(PlainTip).toString());
    edit->setProperty("problem", problem ? result.message : QString());
    syncBoxes();
}

void ShopSettingsPage::addShop()
{
    const AdminResult result = admin::addShop(m_context, m_newShop->text());
    if (result.done)
        refillShopCombo();
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
}

void ShopSettingsPage::deleteShop()
{
    const QString shop = m_shopCombo->currentText();
    if (shop.isEmpty()) {
        MessageSeam::message(this, QString(), QStringLiteral("当前未指定要删除的店铺"));
        return;
    }
    if (!MessageSeam::question(this, QStringLiteral("删除店铺"), deleteShopQuestion(shop), MessageIcon::Warning))
        return;
    const AdminResult result = admin::deleteShop(m_context, shop);
    refillShopCombo();
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
}

void ShopSettingsPage::saveShopSettings()
{
    ShopBindingPage page;
    page.uniformTicked = m_uniform->isChecked();
    page.itemOwnTicked = m_itemOwn->isChecked();
    page.roundingTicked = m_rounding[0]->isChecked() || m_rounding[1]->isChecked() || m_rounding[2]->isChecked();
    page.factorText = m_factor->text();
    const SettingsFile file(m_settingsPath.isEmpty() ? ProgramDir::file(SettingsFile::FileName) : m_settingsPath);
    const ShopBindingResult outcome = admin::saveShopSettings(m_context, file, m_shopCombo->currentText(), page);
    if (outcome.result.done) {
        // The boxes now show the bound shop's own settings, defaults included.
        // A refused typed factor stays in its box with its mark, as typed.
        syncBoxes();
        syncDiscountBoxes();
        if (!m_context.discountScheme.统一折扣.isEmpty())
            showFactorInForce();
        Q_EMIT workstationShopChanged(m_context.currentShop);
        if (m_catalogueLoader)
            m_catalogueLoader();
    }
    if (!outcome.result.message.isEmpty())
        MessageSeam::message(this, QString(), outcome.result.message);
}

void ShopSettingsPage::loadPromotionList()
{
    m_promotions->clear();
    for (const PromotionRow &row : admin::loadPromotions(m_context))
        m_promotions->addRow(row.cells());
    if (m_promotions->rowCount() > 0)
        m_promotions->ensureRowVisible(m_promotions->rowCount() - 1);
}

void ShopSettingsPage::addPromotion()
{
    const AdminResult result =
        admin::addPromotion(m_context, m_threshold->text(), m_reduction->text(), m_endDate->date());
    if (result.done)
        loadPromotionList();
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
}

void ShopSettingsPage::updatePromotion()
{
    const int row = m_promotions->selectedRow();
    const qint64 id = row >= 0 ? m_promotions->cellText(row, 0).toLongLong() : 0;
    const AdminResult result =
        admin::updatePromotion(m_context, id, m_threshold->text(), m_reduction->text(), m_endDate->date());
    if (result.done)
        loadPromotionList();
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
}

void ShopSettingsPage::showSelectedPromotion()
{
    const int row = m_promotions->selectedRow();
    if (row < 0)
        return;
    m_threshold->setText(m_promotions->cellText(row, 1));
    m_reduction->setText(m_promotions->cellText(row, 2));
    const QDate date = promotionDate(m_promotions->cellText(row, 3));
    if (date.isValid())
        m_endDate->setDate(date);
}

void ShopSettingsPage::saveNotice()
{
    const AdminResult result = admin::saveNotice(m_context, m_noticeText->toPlainText());
    if (!result.message.isEmpty())
        MessageSeam::message(this, QString(), result.message);
}

} // namespace admin
