#include <QDialog>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/HotKeys.h"

namespace {

TEST(HotKeyRegistry, IdsRiseFromTheFirstAndARefusalGivesZero)
{
    HotKeyRegistry registry;
    QWidget window;
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_Escape, 0, {}), 33001);
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F5, 0, {}), 33002);
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F5, 0, {}), 0) << "the same key on the same window";
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F5, 1, {}), 33004) << "Ctrl+F5 is another key";
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F6, 7, {}), 0) << "unknown modifier code";
    EXPECT_EQ(registry.liveCount(), 3);
    EXPECT_TRUE(registry.release(33002));
    EXPECT_FALSE(registry.release(33002));
    EXPECT_FALSE(registry.release(0));
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F5, 0, {}), 33006) << "released keys can be taken again";
}

TEST(HotKeyRegistry, KeyPressReachesTheReceiverOnlyWithoutModalWindows)
{
    HotKeyRegistry registry;
    QWidget window;
    QList<int> received;
    const int id = registry.registerHotKey(&window, Qt::Key_F5, 0, [&](int i) { received << i; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_EQ(received, QList<int>{id});

    // While a modal dialog is up nothing is delivered, by key or otherwise.
    {
        QDialog dialog(&window);
        dialog.setModal(true);
        dialog.show();
        EXPECT_TRUE(HotKeyRegistry::heldBack());
        EXPECT_FALSE(registry.trigger(id));
        QTest::keyClick(&dialog, Qt::Key_F5);
        QTest::keyClick(&window, Qt::Key_F5);
        dialog.hide();
    }
    EXPECT_EQ(received, QList<int>{id});
    registry.release(id);
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_EQ(received, QList<int>{id});
}

TEST(HotKeyRegistry, ARefusalHookStandsForKeysHeldElsewhere)
{
    HotKeyRegistry registry;
    QWidget window;
    registry.setRefusalHook([](int key, int) { return key == Qt::Key_F2; });
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F2, 0, {}), 0);
    EXPECT_EQ(registry.registerHotKey(&window, Qt::Key_F4, 0, {}), 33002);
}

} // namespace
