#pragma once
// The page 会员管理 of the main window: the member list 超级列表框3, the form "基本资料" (分组框4)
// with its searches, adding and editing, and the point and stored-value adjustments (分组框5) with
// their history. The page reads its controls into a MemberForm and calls the plain functions of the
// member list; everything it shows goes through MessageSeam.
#include <QString>
#include <QWidget>
#include <functional>

#include "members/MemberList.h"

class AppContext;
class QComboBox;
class QLineEdit;
class ReportList;

namespace data {
class RecordSet;
}

namespace members {

class MemberAdjustPanel;

class MemberPage : public QWidget
{
    Q_OBJECT
public:
    explicit MemberPage(AppContext &context, QWidget *parent = nullptr);

    // Fills the list from a record set open on a SELECT of 会员管理 (the page switch's) and gathers
    // the mobile numbers. A record set whose statement failed leaves the list as it was and says so.
    void fillMemberList(data::RecordSet &records);
    void fillMemberList(const QList<MemberRow> &rows);

    // A click on a list header (0-based column).
    void sortMemberList(int column);
    void searchMembersByCardNo();
    void searchMembersByPhone();
    void searchMembersByName();
    void searchMembersByCategory();
    void showSelectedMember();
    void updateMember();
    void addMember();
    // Leaving the card box: a card that belongs to a member of the scope (other than the selected
    // one) is refused and emptied.
    void checkNewMemberCardUnique();

    MemberForm readForm() const;
    // The selected member's id and card; "" for none.
    QString selectedMemberId() const { return m_selectedId; }
    QString selectedMemberCard() const { return m_selectedCard; }
    const SmsNumbers &smsNumbers() const { return m_sms; }
    // The SMS window steps through the batches and resets the count.
    SmsNumbers &smsNumbers() { return m_sms; }
    AppContext &context() const { return m_context; }
    const MemberSortToggles &sortToggles() const { return m_sort; }
    ReportList *list() const { return m_list; }
    // The point and stored-value adjustments of the selected member, with their history tabs.
    MemberAdjustPanel *adjustPanel() const { return m_adjust; }

    // The purchase history of the selected member (its card), loaded after each selection.
    std::function<void(const QString &card)> loadMemberPurchaseHistory;

Q_SIGNALS:
    // The selection of the list changed: the selected member's id and card, "" and "" when none is.
    void memberSelected(const QString &id, const QString &card);
    // 按钮14 "会员生日提醒", 超级按钮1 "导出会员信息" and 积分调整1 "短信群发".
    void birthdayRemindersRequested();
    void memberExportRequested();
    void smsWindowRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSearchResult(const MemberRows &rows);
    void reloadMembers();
    // An adjustment was stored: the member's row shows the stored points and stored value.
    void showAdjustedFigures(const QString &id, const QString &points, const QString &storedValue);

    AppContext &m_context;
    ReportList *m_list = nullptr;
    QLineEdit *m_card = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_mobile = nullptr;
    QLineEdit *m_spend = nullptr;
    QLineEdit *m_points = nullptr;
    QLineEdit *m_birthday = nullptr;
    QLineEdit *m_remark = nullptr;
    QComboBox *m_tier = nullptr;
    MemberAdjustPanel *m_adjust = nullptr;

    QString m_selectedId;
    QString m_selectedCard;
    SmsNumbers m_sms;             // smsNumberBatches, smsNumberCount
    MemberSortToggles m_sort;     // memberSortToggles
    bool m_checkingCard = false;  // the card check's message is open
};

} // namespace members
