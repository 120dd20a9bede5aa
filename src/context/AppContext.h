#pragma once
// The state of the running program that every feature reads: who is logged in and with which rights,
// the shop this workstation serves, the database mode and server settings, the print switches, today's
// date parts, and the shop's discount scheme, settings and member tiers. It also holds the program's
// one shop-database connection. Nothing of it is saved; its sources are sql.ini and the shop's rows.
//
// Each list keeps its own selected row: there is deliberately no "selected id" here.
#include "context/AccountRights.h"
#include "context/DateParts.h"
#include "context/DiscountScheme.h"
#include "context/MemberTier.h"
#include "context/ShopSettings.h"
#include "context/ShopDatabase.h"
#include "context/Today.h"
#include "data/Connection.h"
#include "data/ServerSettings.h"

#include <QString>
#include <array>

class AppContext
{
public:
    static inline const QString SingleMachineMode = QStringLiteral("单机版");
    static inline const QString NetworkMode = QStringLiteral("网络版");
    static inline const QString ProgramVersion = QStringLiteral("2.0");
    static inline const QString FlagOn = QStringLiteral("真");
    static inline const QString FlagOff = QStringLiteral("假");
    static inline const QString Granted = QStringLiteral("√");

    AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    // The running program's context. Handlers take an AppContext& so that tests can give their own.

    QString currentAccount;   // the account name as typed at login
    QString currentUserName;  // 姓名 of the logged-in account
    AccountRights accountRights;
    QString accountShop;      // 所属店铺 of the logged-in account
    QString currentShop;      // the 店名 this workstation works for
    QString receiptPrintFlag; // "真": print a receipt after each sale
    QString receiptNo;        // the receipt number of the last sale written since the start
    QString programVersion = ProgramVersion;
    data::ServerSettings sqlServerSettings;
    QString labelPrintFlag;   // "真": print labels and generate barcodes when purchases are added
    QString runMode;          // "单机版", "网络版" or ""
    DateParts today;
    DiscountScheme discountScheme;
    ShopSettings shopSettings;
    std::array<MemberTier, 3> memberTiers; // tier 1 first
    QString serverDateText;   // the server's 'YYYY-MM-DD HH:MM:SS' as last read in network mode

    bool isSingleMachine() const { return runMode == SingleMachineMode; }
    bool isNetwork() const { return runMode == NetworkMode; }

    // The shop-database connection shared by every window (each keeps its own record sets).
    data::Connection &connection() { return shopConnection; }

private:
    data::Connection shopConnection;
};

// Shop and discount flags: only "真" is on; "假", "" and anything else are off.
inline bool isFlagOn(const QString &flag)
{
    return flag == AppContext::FlagOn;
}
