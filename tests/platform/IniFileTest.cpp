#include "platform/Gbk.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("sql.ini")) const { return dir.filePath(name); }

    // Writes the text as GBK bytes, exactly as given (line ends included).
    void put(const QString &text, const QString &name = QStringLiteral("sql.ini")) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(gbk::encode(text));
    }

    QByteArray bytes(const QString &name = QStringLiteral("sql.ini")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QString read(const QString &section, const QString &key) const { return readIniValue(path(), section, key); }

    QTemporaryDir dir;
};

// As the Windows program writes it: GBK, CRLF, Chinese section and key names.
const QString windowsFile = QStringLiteral(
    "; 收银系统\r\n"
    "[数据库配置]\r\n"
    "IP=CF1EA568FAF01C8821\r\n"
    "port = CF18A175 \r\n"
    "\tuser=8D4D\r\n"
    "password=\r\n"
    "\r\n"
    "[当前店铺]\r\n"
    "1=38,C0,2F,E4,7F,34,\r\n"
    "\r\n"
    "[ 是否打印 ]\r\n"
    "小票=真\r\n"
    ";标签=真\r\n"
    "\r\n"
    "[版本配置]\r\n"
    "当前版本=33D450A17A38\r\n");

} // namespace

TEST_F(IniFileTest, ReadsAGbkFileWrittenOnWindows)
{
    put(windowsFile);
    struct Case { const char *section, *key, *value; };
    const Case cases[] = {
        {"数据库配置", "ip", "CF1EA568FAF01C8821"}, // key name case ignored
        {"数据库配置", "Ip", "CF1EA568FAF01C8821"},
        {" \t数据库配置", " ip ", "CF1EA568FAF01C8821"}, // blanks around the names ignored
        {"数据库配置", "port", "CF18A175"},        // blanks around the value ignored
        {"数据库配置", "user", "8D4D"},            // a tab before the key ignored
        {"数据库配置", "password", ""},
        {"数据库配置", "data", ""},                // missing key
        {"当前店铺", "1", "38,C0,2F,E4,7F,34,"},
        {"是否打印", "小票", "真"},
        {"是否打印", "标签", ""},                  // a comment is no key
        {"版本配置", "当前版本", "33D450A17A38"},
        {"钱箱", "端口", ""},                      // missing section
    };
    for (const Case &c : cases)
        EXPECT_EQ(read(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), QString::fromUtf8(c.value))
            << c.section << "/" << c.key;
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndTheFirstWriteCreatesItWithCrlf)
{
    EXPECT_EQ(read(QStringLiteral("版本配置"), QStringLiteral("当前版本")), QString());
    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("版本配置"), QStringLiteral("当前版本"), QStringLiteral("4B8929BC7A38")));
    EXPECT_EQ(bytes(), gbk::encode(QStringLiteral("[版本配置]\r\n当前版本=4B8929BC7A38\r\n")));
    EXPECT_EQ(read(QStringLiteral("版本配置"), QStringLiteral("当前版本")), QStringLiteral("4B8929BC7A38"));
}

TEST_F(IniFileTest, CrlfAndLfReadTheSame)
{
    QString lf = windowsFile;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    put(windowsFile, QStringLiteral("crlf.ini"));
    put(lf, QStringLiteral("lf.ini"));
    for (const auto &[section, key] : {std::pair{"数据库配置", "ip"}, std::pair{"数据库配置", "password"},
                                       std::pair{"当前店铺", "1"}, std::pair{"是否打印", "小票"},
                                       std::pair{"版本配置", "当前版本"}}) {
        const QString s = QString::fromUtf8(section), k = QString::fromUtf8(key);
        EXPECT_EQ(readIniValue(path(QStringLiteral("lf.ini")), s, k), readIniValue(path(QStringLiteral("crlf.ini")), s, k))
            << section << "/" << key;
    }
    EXPECT_EQ(readIniValue(path(QStringLiteral("lf.ini")), QStringLiteral("当前店铺"), QStringLiteral("1")),
              QStringLiteral("38,C0,2F,E4,7F,34,"));
}

TEST_F(IniFileTest, ReplacingAKeyKeepsEveryOtherLineByteForByte)
{
    put(windowsFile);
    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("数据库配置"), QStringLiteral("ip"), QStringLiteral("8F45")));
    QString expected = windowsFile;
    expected.replace(QStringLiteral("IP=CF1EA568FAF01C8821"), QStringLiteral("IP=8F45"));
    EXPECT_EQ(bytes(), gbk::encode(expected));

    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("数据库配置"), QStringLiteral("PORT"), QStringLiteral("5432")));
    expected.replace(QStringLiteral("port = CF18A175 "), QStringLiteral("port =5432"));
    EXPECT_EQ(bytes(), gbk::encode(expected));
}

TEST_F(IniFileTest, AddsAMissingKeyAtTheEndOfItsSectionAndAMissingSectionAtTheEnd)
{
    put(windowsFile);
    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("是否打印"), QStringLiteral("标签"), QStringLiteral("假")));
    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("钱箱"), QStringLiteral("端口"), QStringLiteral("/dev/lp0")));
    QString expected = windowsFile;
    expected.replace(QStringLiteral(";标签=真\r\n"), QStringLiteral(";标签=真\r\n标签=假\r\n"));
    expected += QStringLiteral("[钱箱]\r\n端口=/dev/lp0\r\n");
    EXPECT_EQ(bytes(), gbk::encode(expected));
    EXPECT_EQ(read(QStringLiteral("是否打印"), QStringLiteral("标签")), QStringLiteral("假"));
    EXPECT_EQ(read(QStringLiteral("钱箱"), QStringLiteral("端口")), QStringLiteral("/dev/lp0"));
}

TEST_F(IniFileTest, KeepsTheFileOwnLineEnds)
{
    put(QStringLiteral("[a]\nx=1\n\n[b]\ny=2"));
    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("a"), QStringLiteral("z"), QStringLiteral("3")));
    ASSERT_TRUE(writeIniValue(path(), QStringLiteral("b"), QStringLiteral("w"), QStringLiteral("4")));
    EXPECT_EQ(bytes(), QByteArray("[a]\nx=1\nz=3\n\n[b]\ny=2\nw=4\n"));
}

TEST_F(IniFileTest, NamesCompareAsTextNotAsBytes)
{
    // 丄 is 81 41 and 乤 is 81 61: their second bytes look like "A" and "a".
    put(QStringLiteral("[丄]\r\nk=1\r\n"));
    EXPECT_EQ(read(QStringLiteral("丄"), QStringLiteral("K")), QStringLiteral("1"));
    EXPECT_EQ(read(QStringLiteral("乤"), QStringLiteral("k")), QString());
}

TEST_F(IniFileTest, FirstOfTwoSectionsCounts)
{
    put(QStringLiteral("[s]\r\nk=first\r\n[S]\r\nk=second\r\nj=other\r\n"));
    EXPECT_EQ(read(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("first"));
    EXPECT_EQ(read(QStringLiteral("s"), QStringLiteral("j")), QString());
}

TEST_F(IniFileTest, OnePairOfMatchingSurroundingQuotesIsRemoved)
{
    struct Case { const char *stored, *read; };
    const Case cases[] = {
        {"\"abc\"", "abc"}, {"'abc'", "abc"}, {"\"abc", "\"abc"}, {"\"abc'", "\"abc'"},
        {"\"a\"b\"", "a\"b"}, {"\"\"", ""}, {"\"", "\""}, {" \" x \" ", " x "}, {"\"\"x\"\"", "\"x\""},
    };
    QString text = QStringLiteral("[q]\r\n");
    for (int n = 0; n < int(std::size(cases)); ++n)
        text += QStringLiteral("k%1=%2\r\n").arg(n).arg(QString::fromUtf8(cases[n].stored));
    put(text);
    for (int n = 0; n < int(std::size(cases)); ++n)
        EXPECT_EQ(read(QStringLiteral("q"), QStringLiteral("k%1").arg(n)), QString::fromUtf8(cases[n].read))
            << cases[n].stored;
}

TEST_F(IniFileTest, ReadsAtMost10239BytesOfAValue)
{
    const QString longAscii(12000, QLatin1Char('a'));
    // A double-byte character across the limit is not cut in half.
    const QString straddling = QString(10238, QLatin1Char('b')) + QStringLiteral("中中");
    put(QStringLiteral("[s]\r\nlong=%1\r\nwide=%2\r\n").arg(longAscii, straddling));
    EXPECT_EQ(read(QStringLiteral("s"), QStringLiteral("long")), longAscii.left(10239));
    EXPECT_EQ(read(QStringLiteral("s"), QStringLiteral("wide")), QString(10238, QLatin1Char('b')));
}

TEST_F(IniFileTest, RefusesWhatCannotBeStoredAndLeavesTheFileAlone)
{
    put(windowsFile);
    const QByteArray before = bytes();
    const QString s = QStringLiteral("数据库配置");
    EXPECT_FALSE(writeIniValue(path(), s, QStringLiteral("ip"), QStringLiteral("a\r\nport=1")));
    EXPECT_FALSE(writeIniValue(path(), s, QStringLiteral("ip"), QStringLiteral("a😀")));
    EXPECT_FALSE(writeIniValue(path(), s, QStringLiteral("a=b"), QStringLiteral("1")));
    EXPECT_FALSE(writeIniValue(path(), s, QStringLiteral(" "), QStringLiteral("1")));
    EXPECT_FALSE(writeIniValue(path(), QStringLiteral("a]b"), QStringLiteral("k"), QStringLiteral("1")));
    EXPECT_FALSE(writeIniValue(path(), QString(), QStringLiteral("k"), QStringLiteral("1")));
    EXPECT_EQ(bytes(), before);
}

TEST_F(IniFileTest, WriteIntoAMissingFolderFails)
{
    EXPECT_FALSE(writeIniValue(dir.filePath(QStringLiteral("nofolder/sql.ini")), QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("c")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("nofolder"))));
}

TEST_F(IniFileTest, WriteIntoAnUnwritableFolderFailsAndKeepsTheOldFile)
{
    const QString folder = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/sql.ini");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(gbk::encode(windowsFile));
    }
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | enter | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, readable | enter));
    ASSERT_TRUE(QFile::setPermissions(file, readable | QFile::WriteOwner));

    const auto attempt = [&] {
        return writeIniValue(file, QStringLiteral("数据库配置"), QStringLiteral("ip"), QStringLiteral("00"));
    };
    if (geteuid() == 0) {
        // Root writes anywhere: try it as an ordinary user in a child process.
        EXPECT_EXIT(
            {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    std::_Exit(2);
                std::_Exit(attempt() ? 1 : 0);
            },
            ::testing::ExitedWithCode(0), "");
    } else {
        EXPECT_FALSE(attempt());
    }
    QFile::setPermissions(folder, readable | enter | QFile::WriteOwner);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), gbk::encode(windowsFile));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("sql.ini")});
}

TEST_F(IniFileTest, ExactValuesKeepTheirBlanksAndQuotesThroughAWrite)
{
    put(QStringLiteral("[小票配置]\r\n第一行=第一行自定义内容\r\n第二行=                       第二行自定义内容\r\n"
                       "合计金额=\"合计：\" \r\n"));
    struct Case { const char *key, *exact, *trimmed; };
    const Case cases[] = {
        {"第一行", "第一行自定义内容", "第一行自定义内容"},
        {"第二行", "                       第二行自定义内容", "第二行自定义内容"},
        {"合计金额", "\"合计：\" ", "合计："},
        {"第三行", "", ""},
    };
    for (const Case &c : cases) {
        const QString key = QString::fromUtf8(c.key);
        EXPECT_EQ(readIniValue(path(), QStringLiteral("小票配置"), key, IniValueForm::Exact), QString::fromUtf8(c.exact)) << c.key;
        EXPECT_EQ(read(QStringLiteral("小票配置"), key), QString::fromUtf8(c.trimmed)) << c.key;
    }

    const QString typed = QStringLiteral("   谢谢惠顾  ");
    ASSERT_TRUE(writeIniValues(path(), QStringLiteral("小票配置"),
                               {{QStringLiteral("第一行"), typed}, {QStringLiteral("第四行"), QStringLiteral(" 4")}}));
    EXPECT_EQ(readIniValue(path(), QStringLiteral("小票配置"), QStringLiteral("第一行"), IniValueForm::Exact), typed);
    EXPECT_EQ(readIniValue(path(), QStringLiteral("小票配置"), QStringLiteral("第四行"), IniValueForm::Exact), QStringLiteral(" 4"));
}

TEST_F(IniFileTest, TellsWhetherASectionExists)
{
    EXPECT_FALSE(iniSectionExists(path(), QStringLiteral("恢复默认配置"))); // no file
    put(QStringLiteral("[小票配置]\r\n纸张宽度=570\r\n[恢复默认配置]\r\n;nothing yet\r\n"));
    EXPECT_TRUE(iniSectionExists(path(), QStringLiteral("小票配置")));
    EXPECT_TRUE(iniSectionExists(path(), QStringLiteral(" 恢复默认配置 "))); // empty, but there
    EXPECT_FALSE(iniSectionExists(path(), QStringLiteral("恢复标签配置")));
    EXPECT_FALSE(iniSectionExists(path(), QStringLiteral("纸张宽度")));     // a key is no section
}
