#pragma once
// A fixture on a fresh SQLite shop database that is also the program directory: the context is
// open on it in single-machine mode, signed in as 张三 (account zs) of shop "A" with every right,
// and the clock (and the context's today) stands at 2015-03-11 14:05:09.
// A derived fixture calls SetUp() first and stops when it failed (HasFatalFailure()), and
// calls TearDown() last.
#include "context/AppContext.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <memory>

namespace testsupport {

class SqliteShopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TestDatabase> database;
    AppContext context;
};

} // namespace testsupport
