#include "admin/MessageDetailWindow.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace admin {

MessageDetailWindow::MessageDetailWindow(const QString &sent, const QString &reply, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MessageDetailWindow"));
    setWindowTitle(QString());
    auto *layout = new QVBoxLayout(this);
    auto addGroup = [&](const QString &caption, const QString &editName, const QString &text) {
        auto *group = new QGroupBox(caption, this);
        group->setObjectName(caption);
        auto *inner = new QVBoxLayout(group);
        auto *edit = new QPlainTextEdit(text, group);
        edit->setObjectName(editName);
        edit->setReadOnly(true);
        inner->addWidget(edit);
        layout->addWidget(group);
    };
    addGroup(QStringLiteral("发送内容"), QStringLiteral("编辑框1"), sent);
    addGroup(QStringLiteral("回复内容"), QStringLiteral("编辑框2"), reply);
    resize(420, 360);
}

} // namespace admin
