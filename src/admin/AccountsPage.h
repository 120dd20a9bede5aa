#pragma once
// The settings page 帐号权限管理: the account list, the account's boxes and its twenty right boxes.
#include <QList>
#include <QWidget>

class AppContext;
class QCheckBox;
class QComboBox;
class QLineEdit;
class ReportList;

namespace admin {

struct AccountForm;
struct AccountRecord;

class AccountsPage : public QWidget
{
    Q_OBJECT
public:
    AccountsPage(AppContext &context, QWidget *parent = nullptr);

    // The page loader: the shop's accounts and the shop combo 店铺组8.
    void load();

    void loadShopAccountList();
    void loadAllAccountList();
    void refillShopCombo();
    void showAllAccounts();
    void showSelectedAccount();
    void addAccount();
    void updateAccount();
    void deleteAccount();
    void checkAllRightBoxes();
    void clearAllRightBoxes();

    ReportList *accountList() const { return m_list; }
    // The id of the row selected in the account list, 0 when none is.
    qint64 selectedAccountId() const;

private:
    AccountForm form() const;
    void fillAccountList(const QList<AccountRecord> &records);
    void showMessage(const QString &text);

    AppContext &m_context;
    ReportList *m_list = nullptr;   // 超级列表框8
    QLineEdit *m_account = nullptr; // 帐号8
    QLineEdit *m_password = nullptr; // 密码8
    QLineEdit *m_name = nullptr;    // 姓名8
    QLineEdit *m_phone = nullptr;   // 电话8
    QComboBox *m_shop = nullptr;    // 店铺组8
    QList<QCheckBox *> m_rights;    // the twenty right boxes in column order
};

} // namespace admin
