#pragma once
// A print layout as the texts of its keys: the receipt layout (the 61 keys of print.ini's section
// 小票配置) or the price-label layout (the 21 keys of 标签配置). The settings page holds the layout
// in its controls and hands printing a PrintLayout read from them, so an edit prints at once, saved
// or not.
#include <QHash>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace printing {

inline constexpr int LayoutNumberLimit = 100000000;

class PrintLayout
{
public:
    // "" for a key that has no text.
    QString text(const QString &key) const { return m_texts.value(key); }
    void setText(const QString &key, const QString &text) { m_texts.insert(key, text); }
    // A switch is on only when its text is exactly "真".
    bool isOn(const QString &key) const;
    // The text as a whole number by the program's number rule: full-width digits count, the
    // leading number is read and its whole part kept ("１００" and "100.5" give 100, "12mm" 12);
    // an empty text or one without a leading number gives 0. The value is held within
    // ±LayoutNumberLimit, so that adding row offsets to it can never overflow.
    int number(const QString &key) const;

    bool operator==(const PrintLayout &) const = default;

private:
    QHash<QString, QString> m_texts;
};

// A layout text as a whole number, as PrintLayout::number reads it.
int layoutNumber(const QString &text);

// Everything printing reads from the settings page at the moment it prints.
struct PrintLook {
    PrintLayout receipt;   // 小票配置 as the page shows it
    PrintLayout label;     // 标签配置 as the page shows it
    QPixmap logo;          // the picture of 图片框9 (the shop's logo, or the built-in one)
    QString firstDashes;   // 一虚线
    QString secondDashes;  // 二虚线
};

// The keys in the order print.ini holds them.
const QStringList &receiptLayoutKeys(); // 61 keys
const QStringList &labelLayoutKeys();   // 21 keys
// The five receipt keys that are switches ("真"/"假").
const QStringList &receiptSwitchKeys();

// The layouts the page shows before print.ini is read: each is one complete layout.
PrintLayout initialReceiptLayout();
PrintLayout initialLabelLayout();
// The initial layouts with the built-in logo and the two dashed lines of 36 "-".
PrintLook initialLook();

} // namespace printing
