#pragma once
// The adjustment form 分组框5 of the member page with the adjustment history: the tab 选择夹2
// (page "积分调整记录", list 超级列表框4) and the button 按钮17 that lists every adjustment. The
// member page tells it which member is selected; after an adjustment it announces the member's
// stored figures so that the page can show them in its list.
#include <QString>
#include <QWidget>

class AppContext;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class ReportList;

namespace members {

class MemberAdjustPanel : public QWidget
{
    Q_OBJECT
public:
    explicit MemberAdjustPanel(AppContext &context, QWidget *parent = nullptr);

    // The member selected in the member list: its id and card. Empty texts: none is selected,
    // the form and the history are emptied and nothing is queried.
    void showMember(const QString &id, const QString &card);

    // The handlers, as the controls run them.
    void adjustMemberPoints();
    void loadMemberPointsHistory();
    void listAllPointAdjustments();
    void guardAddPointsField();
    void guardSubtractPointsField();

    QTabWidget *historyTabs() const { return m_tabs; }
    ReportList *historyList() const { return m_history; }

Q_SIGNALS:
    // An adjustment was stored: the member's 积分 and 会员储值 as they now stand.
    void memberAdjusted(const QString &id, const QString &points, const QString &storedValue);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearForm();
    void showHistory(const QList<QStringList> &rows);

    AppContext &m_context;
    QString m_memberId;
    QString m_card;
    bool m_guarding = false;

    QGroupBox *m_group = nullptr;       // 分组框5
    QLineEdit *m_addPoints = nullptr;   // 增加积分4
    QLineEdit *m_subPoints = nullptr;   // 减少积分4
    QLineEdit *m_addStored = nullptr;   // 增加储值4
    QLineEdit *m_remark = nullptr;      // 备注4
    QPushButton *m_adjust = nullptr;    // 积分调整
    QTabWidget *m_tabs = nullptr;       // 选择夹2
    ReportList *m_history = nullptr;    // 超级列表框4
    QPushButton *m_listAll = nullptr;   // 按钮17
};

} // namespace members
