// What an entry field tells the input method about the typing it expects.
#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "platform/InputMode.h"

namespace {

QVariant ask(QWidget *w, Qt::InputMethodQuery query)
{
    QInputMethodQueryEvent event(query);
    QCoreApplication::sendEvent(w, &event);
    return event.value(query);
}

} // namespace

TEST(InputMode, ALatinOnlyFieldRefusesInputMethodsButKeepsItsOtherAnswers)
{
    QLineEdit plain, scan;
    scan.setText(QStringLiteral("6983111485901"));
    // A line edit says yes to input methods by itself, whatever its attributes: the reason for the layer.
    EXPECT_TRUE(ask(&plain, Qt::ImEnabled).toBool());

    inputmode::latinOnly(&scan);
    EXPECT_FALSE(ask(&scan, Qt::ImEnabled).toBool());
    EXPECT_TRUE(ask(&scan, Qt::ImHints).toInt() & Qt::ImhLatinOnly);
    EXPECT_EQ(ask(&scan, Qt::ImSurroundingText).toString(), QStringLiteral("6983111485901"));
}

TEST(InputMode, APreferLatinComboStillTakesAnInputMethodAndHintsLatin)
{
    QComboBox colour;
    colour.setEditable(true);
    inputmode::preferLatin(&colour);
    EXPECT_TRUE(ask(colour.lineEdit(), Qt::ImEnabled).toBool());
    EXPECT_TRUE(ask(colour.lineEdit(), Qt::ImHints).toInt() & Qt::ImhPreferLatin);
}
