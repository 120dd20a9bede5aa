#include "support/SqliteShopTest.h"

#include "platform/Clock.h"
#include "platform/ProgramDir.h"

#include <QDateTime>

namespace testsupport {

void SqliteShopTest::SetUp()
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    database = std::make_unique<TestDatabase>(data::Backend::Sqlite);
    ASSERT_TRUE(database->ok()) << database->error().toStdString();
    ProgramDir::set(database->dir());
    ASSERT_TRUE(context.connection().openSqlite(database->sqlitePath()));
    context.runMode = AppContext::SingleMachineMode;
    context.currentShop = QStringLiteral("A");
    context.currentAccount = QStringLiteral("zs");
    context.currentUserName = QStringLiteral("张三");
    context.today = {QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), QStringLiteral("14"),
                     QStringLiteral("5")};
    for (int i = 0; i < AccountRights::count; ++i)
        context.accountRights[i] = AppContext::Granted;
}

void SqliteShopTest::TearDown()
{
    context.connection().close();
    database.reset();
    Clock::reset();
}

} // namespace testsupport
