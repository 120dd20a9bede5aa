#include "members/MemberExtras.h"

#include "members/MemberAdjustPanel.h"
#include "members/MemberExport.h"
#include "members/MemberPage.h"
#include "members/MemberPurchasesPanel.h"

#include <QPointer>
#include <QTabWidget>

namespace members {

void mountMemberExtras(MemberPage &page, LunarKeyOf lunarKeyOf, SmsServiceReply smsService)
{
    QTabWidget *tabs = page.adjustPanel()->historyTabs();
    auto *purchases = new MemberPurchasesPanel(page.context(), tabs);
    tabs->addTab(purchases, QStringLiteral("消费商品明细"));
    tabs->setCornerWidget(purchases->totalBox(), Qt::TopRightCorner);
    page.loadMemberPurchaseHistory = [panel = QPointer(purchases)](const QString &card) {
        if (panel)
            panel->loadMemberPurchaseHistory(card);
    };
    // No member selected: the history empties.
    QObject::connect(&page, &MemberPage::memberSelected, purchases, [purchases](const QString &id) {
        if (id.isEmpty())
            purchases->loadMemberPurchaseHistory(QString());
    });

    QObject::connect(&page, &MemberPage::birthdayRemindersRequested, &page,
                     [&page, lunarKeyOf] { checkMemberBirthdays(page.context(), lunarKeyOf, &page); });
    QObject::connect(&page, &MemberPage::memberExportRequested, &page,
                     [&page] { exportMemberList(page.context(), page.list(), &page); });
    QObject::connect(&page, &MemberPage::smsWindowRequested, &page,
                     [&page, smsService] { openSmsWindow(page.smsNumbers(), smsService, &page); });
}

} // namespace members
