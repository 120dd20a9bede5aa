#pragma once
// The rights gate. Every guarded action asks here whether the logged-in account holds its right.
// A right is granted only when its field of accountRights is exactly "√" (as copied at login);
// anything else (empty, a blank, "v", "1", "是" ...) refuses it.
#include <QString>

class AppContext;
class QWidget;

namespace rights {

// How a refusal is told to the user.
enum class Refusal {
    Standard,      // "没有权限！" (nearly every guarded action)
    Cashier,       // "你没有前台收银权限！" (checkout)
    NoExclamation, // "没有权限" (the returns button of the sales detail page)
    Silent,        // nothing shown (实况播报 hides a button, 查看进价 leaves cost values out)
};

// The text a refusal shows; "" for Silent.
QString refusalText(Refusal refusal);

// True when the field grants its right ("√" exactly).
bool isGranted(const QString &field);

// True when the logged-in account holds the right named by its column (前台收银 ... 系统设置).
// A name that is no right is never granted. Shows nothing.
bool hasRight(const AppContext &context, const QString &right);

// The gate itself: true when the right is held; otherwise the refusal's text in a plain message box
// (OK button, no icon, no title) and false, and the caller stops with nothing changed.
bool checkRight(const AppContext &context, const QString &right, QWidget *parent = nullptr,
                Refusal refusal = Refusal::Standard);

} // namespace rights
