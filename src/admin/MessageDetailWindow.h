#pragma once
// A support message with its reply (modal, no title): groups 发送内容 / 编辑框1 and 回复内容 / 编辑框2.
#include <QDialog>

namespace admin {

class MessageDetailWindow : public QDialog
{
    Q_OBJECT
public:
    MessageDetailWindow(const QString &sent, const QString &reply, QWidget *parent = nullptr);
};

} // namespace admin
