#include "data/RecordSet.h"

#include <QDateTime>
#include <QPoint>

#include <gtest/gtest.h>

using data::RecordSet;

TEST(RecordSetText, FormsOfValues)
{
    struct Case {
        QVariant value;
        const char *text;
    };
    const QList<Case> cases = {
        {QVariant(), ""},
        {QVariant(QMetaType(QMetaType::QString)), ""},
        {QString("单机版"), "单机版"},
        {qlonglong(-12), "-12"},
        {quint8(200), "200"},
        {1.5, "1.50000000"},
        {-0.125, "-0.12500000"},
        {1.5f, "1.5000"},
        {true, "TRUE"},
        {false, "FALSE"},
        {QByteArray("\x01\x02"), "[BLOB]"},
        {QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)), "2024-03-05 07:08:09"},
        {QVariant::fromValue(QPoint(1, 2)), "UN_KNOW"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RecordSet::textOf(c.value).toStdString(), c.text) << c.value.typeName();
}

TEST(RecordSetText, LeadingInteger)
{
    struct Case {
        const char *text;
        qint64 number;
    };
    for (const Case &c : {Case{"12", 12}, Case{" -3", -3}, Case{"12.7", 12}, Case{"7件", 7}, Case{"abc", 0},
                          Case{"", 0}, Case{"+4", 4}, Case{"-", 0}})
        EXPECT_EQ(RecordSet::leadingInteger(QString::fromUtf8(c.text)), c.number) << c.text;
}
