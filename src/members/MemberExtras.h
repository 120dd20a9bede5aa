#pragma once
// Puts the member page's extras in place: the purchase history as the page "消费商品明细" of the
// history tabs (the total beside the tabs), and on the page's buttons the birthday reminders
// (按钮14), the member export (超级按钮1) and the SMS window (积分调整1).
#include "members/BirthdayReminders.h"
#include "members/SmsWindow.h"

namespace members {

class MemberPage;

// The birthday check uses the lunar calendar's keys; the SMS window's test send the service's reply
// (none: the test send says there is no service).
void mountMemberExtras(MemberPage &page, LunarKeyOf lunarKeyOf, SmsServiceReply smsService = {});

} // namespace members
