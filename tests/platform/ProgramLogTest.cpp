#include "platform/ProgramLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ProgramLog, AppendsTimeStampedLinesToTheFile)
{
    const QString previous = programlog::path();
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("shopdesk.log");
    programlog::setPath(path);
    programlog::write(QStringLiteral("第一行"));
    programlog::write(QStringLiteral("second"));
    programlog::setPath(QString());
    programlog::write(QStringLiteral("only to qWarning"));
    programlog::setPath(previous);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ");
    EXPECT_TRUE(stamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" 第一行")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" second")));
}

TEST(ProgramLog, UnwritableFileLosesNothingElse)
{
    const QString previous = programlog::path();
    programlog::setPath("/nonexistent-folder/shopdesk.log");
    programlog::write("goes to qWarning only"); // must neither crash nor throw
    programlog::setPath(previous);
    EXPECT_FALSE(QFile::exists("/nonexistent-folder/shopdesk.log"));
}
