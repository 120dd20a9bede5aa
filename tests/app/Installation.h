#pragma once
// A shop's installation for the tests of the assembled program: a program directory holding a
// fresh qi.db made from db/sqlite.sql and a sql.ini naming the single-machine mode, as the set-up
// leaves them. run() starts the whole program (start window, login, main window with every
// mounted page) in the event loop and hands the start window to a driver, as a person at the
// workstation would use it; every message box and modal window goes through the script.
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/Assembly.h"
#include "context/AppContext.h"
#include "data/SettingsFile.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/HotKeys.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "printing/RecordingLabelPrinter.h"
#include "printing/RecordingReceiptPrinter.h"
#include "shell/LoginWindow.h"
#include "shell/MainWindow.h"
#include "support/TestDatabase.h"

namespace apptest {

class Installation
{
public:
    Installation()
        : db(data::Backend::Sqlite)
    {
        ProgramDir::set(db.dir());
        HotKeyRegistry::setInstance(&hotKeys);
        ini().writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey,
                                     AppContext::SingleMachineMode, SettingsFile::CipherForm::Bare);
    }
    ~Installation()
    {
        HotKeyRegistry::setInstance(nullptr);
        Clock::reset();
    }

    bool ok() const { return db.ok(); }
    SettingsFile ini() const { return SettingsFile::inDirectory(db.dir()); }

    // One start of the program with a context of its own. The driver gets the start window once it
    // shows; the run ends when the program ends (the driver closes the main window) or after a
    // watchdog's 20 s. Returns the program's exit code (99: the watchdog ended it).
    int run(const std::function<void(shell::LoginWindow &)> &driver)
    {
        AppContext context;
        lastContext = &context;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(20000);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *login = dynamic_cast<shell::LoginWindow *>(w);
                if (login && login->isVisible()) {
                    poll.stop();
                    driver(*login);
                    return;
                }
            }
        });
        poll.start(10);
        const int code = shell::programStart(context, app::assembleMainPages(labels, receipts));
        QApplication::setQuitOnLastWindowClosed(true);
        // The windows closed in the run go now, while the context they refer to still exists.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        lastContext = nullptr;
        return code;
    }

    // Logs in through the start window's boxes and Enter; the main window, or null when refused.
    static shell::MainWindow *logIn(shell::LoginWindow &login, const QString &account, const QString &password)
    {
        login.findChild<QLineEdit *>(QStringLiteral("编辑框1"))->setText(account);
        auto *box = login.findChild<QLineEdit *>(QStringLiteral("编辑框2"));
        box->setText(password);
        QTest::keyClick(box, Qt::Key_Return);
        return login.mainWindow();
    }

    // Rows written straight into the database (what an earlier session left).
    bool insert(const QString &table, const data::Pairs &pairs)
    {
        data::Connection &c = db.connection();
        return c.execute(data::buildInsertSql(c.dialect(), table, pairs));
    }

    testsupport::TestDatabase db;
    HotKeyRegistry hotKeys;
    MessageScript script;
    std::shared_ptr<printing::RecordingLabelPrinter> labels = std::make_shared<printing::RecordingLabelPrinter>();
    std::shared_ptr<printing::RecordingReceiptPrinter> receipts = std::make_shared<printing::RecordingReceiptPrinter>();
    AppContext *lastContext = nullptr; // the context of the run in progress
};

// A child of a window by object name and type; fails the test when missing.
template <typename T>
T *child(QObject *parent, const QString &name)
{
    T *w = parent ? parent->findChild<T *>(name) : nullptr;
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

} // namespace apptest
