// Qt's own dialog buttons speak the shop's language.
#include <QDialogButtonBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/Translations.h"

TEST(Translations, StandardButtonsAreChinese)
{
    ASSERT_TRUE(app::installChineseTranslations());
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}
