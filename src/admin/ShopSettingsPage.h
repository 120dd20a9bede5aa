#pragma once
// The settings page 店铺初始设置: the shops and the workstation's shop, the fourteen shop settings,
// the discount scheme and style-number prefix, the full-amount promotions and the notice. The
// member tier grid and the colour, size and unit lists belong to other pages' owners: they go into
// tierGridPlace() and catalogueListsPlace(), and their loaders are the hooks below.
#include <QWidget>
#include <functional>

class AppContext;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class ReportList;
class SettingsFile;

namespace admin {

struct AdminResult;

class ShopSettingsPage : public QWidget
{
    Q_OBJECT
public:
    ShopSettingsPage(AppContext &context, QWidget *parent = nullptr);

    // Loads the page from the database and the context (the page loader's steps).
    void load();

    // The group 会员设置 (the member tier grid goes here) and the place of the colour, size and unit lists.
    QWidget *tierGridPlace() const;
    QWidget *catalogueListsPlace() const;
    // Reloads the colour, size and unit combos (when the page is shown and after the shop changes).
    void setCatalogueLoader(std::function<void()> loader) { m_catalogueLoader = std::move(loader); }
    // Reloads the member category grid (when the page is shown, before the tiers are reloaded).
    void setMemberCategoryLoader(std::function<void()> loader) { m_memberCategoryLoader = std::move(loader); }
    // Where sql.ini lives (default: the program directory's).
    void setSettingsFilePath(const QString &path) { m_settingsPath = path; }

    // The handlers, as the page's controls run them.
    void addShop();
    void deleteShop();
    void saveShopSettings();
    void loadPromotionList();
    void addPromotion();
    void updatePromotion();
    void showSelectedPromotion();
    void saveNotice();

Q_SIGNALS:
    // The workstation was bound to another shop (the main window refreshes its status bar).
    void workstationShopChanged(const QString &shop);

private:
    QWidget *buildShopGroup();
    QWidget *buildSettingsGroup();
    QWidget *buildDiscountGroup();
    QWidget *buildPromotionGroup();
    QWidget *buildNoticeGroup();
    QCheckBox *checkBox(const QString &name, const QString &caption);
    QLineEdit *lineEdit(const QString &name, const QString &text = QString());
    QPushButton *button(const QString &name, const QString &caption);
    void refillShopCombo();
    // After a handler: every box shows what the context holds; a message is shown as a box.
    void afterToggle(const AdminResult &result);
    // After a typing handler: the problem shows on the box itself (no box per keystroke).
    void showInline(QLineEdit *edit, const AdminResult &result);
    void syncBoxes();
    void syncDiscountBoxes();
    // 编辑框4 shows the uniform factor in force ("" when there is none).
    void showFactorInForce();

    AppContext &m_context;
    QString m_settingsPath;
    std::function<void()> m_catalogueLoader;
    std::function<void()> m_memberCategoryLoader;

    QLineEdit *m_newShop = nullptr;      // 编辑框3
    QComboBox *m_shopCombo = nullptr;    // 店铺组合框
    QCheckBox *m_rounding[3] = {};       // 选择框15/16/17
    QCheckBox *m_pointsMode = nullptr;   // 选择框12
    QCheckBox *m_upgradeMode = nullptr;  // 选择框13
    QCheckBox *m_onDiscount = nullptr;   // 选择框18
    QLineEdit *m_pointsValue = nullptr;  // 编辑框5
    QLineEdit *m_deduction = nullptr;    // 编辑框6
    QCheckBox *m_sharing = nullptr;      // 选择框20
    QCheckBox *m_birthday = nullptr;     // 选择框19
    QCheckBox *m_notice = nullptr;       // 选择框21
    QLineEdit *m_interval = nullptr;     // 编辑框11
    QCheckBox *m_autoPromotion = nullptr; // 选择框22
    QLineEdit *m_upper = nullptr;        // 库上
    QLineEdit *m_lower = nullptr;        // 库下
    QCheckBox *m_stockAlarm = nullptr;   // 选择框35
    QCheckBox *m_uniform = nullptr;      // 选择框11
    QLineEdit *m_factor = nullptr;       // 编辑框4
    QCheckBox *m_itemOwn = nullptr;      // 选择框10
    QCheckBox *m_free = nullptr;         // 选择框14
    QLineEdit *m_prefix = nullptr;       // 编辑框7
    ReportList *m_promotions = nullptr;  // 超级列表框13
    QLineEdit *m_threshold = nullptr;    // 满
    QLineEdit *m_reduction = nullptr;    // 送
    QDateEdit *m_endDate = nullptr;      // 截止时间x
    QPlainTextEdit *m_noticeText = nullptr; // 编辑框10
    QGroupBox *m_tierGroup = nullptr;
    QWidget *m_cataloguePlace = nullptr;
};

} // namespace admin
