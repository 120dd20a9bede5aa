#pragma once
// A shop database on SQLite with the program's hot-key registry and a scripted message seam: what
// a test of the assembled main window needs around it.
#include "platform/HotKeys.h"
#include "platform/MessageScript.h"
#include "support/SqliteShopTest.h"

class MountedShopTest : public testsupport::SqliteShopTest
{
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        HotKeyRegistry::setInstance(&hotKeys);
    }
    void TearDown() override
    {
        HotKeyRegistry::setInstance(nullptr);
        SqliteShopTest::TearDown();
    }
    HotKeyRegistry hotKeys;
    MessageScript script;
};
