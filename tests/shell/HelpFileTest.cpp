// The help button opens the help page of the program directory, or says that it is missing.
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "shell/DesktopActions.h"
#include "shell/HelpFile.h"

TEST(HelpFile, OpensThePageOrSaysItIsMissing)
{
    QTemporaryDir home;
    ProgramDir::set(home.path());
    QList<QUrl> opened;
    shell::DesktopActions::setOpener([&](const QUrl &url) { opened << url; return true; });
    MessageScript script;

    shell::openHelpFile();
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_TRUE(script.messages()[0].text.startsWith(QStringLiteral("没有找到帮助文件：")));

    QFile page(ProgramDir::file(shell::HelpFileName));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    shell::openHelpFile();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), ProgramDir::file(shell::HelpFileName));
    EXPECT_EQ(script.messages().size(), 1);
    shell::DesktopActions::setOpener({});
}
