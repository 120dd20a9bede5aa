#include "data/SqlScript.h"

#include <gtest/gtest.h>

TEST(SqlScript, SplitsAtSemicolonsThatEndALine)
{
    const QString script = QStringLiteral(
        "-- header comment; with a semicolon\n"
        "BEGIN;\r\n"
        "CREATE TABLE a (\n"
        "    x TEXT DEFAULT 'a;b', -- a comment; here\n"
        "    y TEXT\n"
        ");  -- trailing comment\n"
        "\n"
        "INSERT INTO a (x) VALUES ('--not a comment;');\n"
        "CREATE FUNCTION f() RETURNS int AS $$\n"
        "BEGIN\n"
        "  RETURN 1;\n"
        "END;\n"
        "$$ LANGUAGE plpgsql;\n"
        "CREATE TRIGGER t AFTER INSERT ON a BEGIN\n"
        "  UPDATE a SET y='1';\n"
        "END;\n"
        "COMMIT;\n");
    const QStringList statements = data::splitSqlScript(script);
    ASSERT_EQ(statements.size(), 6) << statements.join("\n|\n").toStdString();
    EXPECT_EQ(statements[0], QStringLiteral("BEGIN"));
    EXPECT_TRUE(statements[1].startsWith("CREATE TABLE a ("));
    EXPECT_TRUE(statements[1].endsWith(")"));
    EXPECT_TRUE(statements[1].contains("'a;b'"));
    EXPECT_EQ(statements[2], QStringLiteral("INSERT INTO a (x) VALUES ('--not a comment;')"));
    EXPECT_TRUE(statements[3].endsWith("$$ LANGUAGE plpgsql"));
    EXPECT_TRUE(statements[4].contains("UPDATE a SET y='1';"));
    EXPECT_EQ(statements[5], QStringLiteral("COMMIT"));
}
