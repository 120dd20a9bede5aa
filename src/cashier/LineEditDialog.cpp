#include "cashier/LineEditDialog.h"

#include "cashier/CartEditing.h"
#include "context/AppContext.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace cashier {

LineEditDialog::LineEditDialog(AppContext &context, const CartLine &line, QWidget *parent)
    : QDialog(parent), m_context(context), m_line(line)
{
    setObjectName(QStringLiteral("LineEditDialog"));
    setWindowTitle(QStringLiteral("修改此单"));
    setModal(true);
    resize(340, 265);

    auto box = [this](const char16_t *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf16(name));
        return edit;
    };
    m_barcode = box(u"x条码");
    m_name = box(u"x商品名称");
    m_styleNo = box(u"x款号");
    m_colour = box(u"x颜色");
    m_size = box(u"x尺码");
    // Shown only: what the dialog takes back is the quantity and the remark.
    for (QLineEdit *shown : {m_barcode, m_name, m_styleNo, m_colour, m_size}) {
        shown->setReadOnly(true);
        shown->setFocusPolicy(Qt::ClickFocus); // Tab goes between 数量 and 备注
    }
    m_quantity = box(u"x数量");
    m_remark = box(u"x备注");
    m_confirm = new QPushButton(QStringLiteral("确认修改[Enter]"), this);
    m_confirm->setObjectName(QStringLiteral("结算"));
    m_confirm->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消修改[Esc]"), this);
    m_cancel->setObjectName(QStringLiteral("结算1"));
    m_cancel->setAutoDefault(false);
    m_hotKeyLabel = new QLabel(this);
    m_hotKeyLabel->setObjectName(QStringLiteral("标签1"));
    m_hotKeyLabel->hide();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("商品条码"), m_barcode);
    form->addRow(QStringLiteral("商品名称"), m_name);
    form->addRow(QStringLiteral("款    号"), m_styleNo);
    form->addRow(QStringLiteral("颜    色"), m_colour);
    form->addRow(QStringLiteral("尺    码"), m_size);
    form->addRow(QStringLiteral("数    量"), m_quantity);
    form->addRow(QStringLiteral("备    注"), m_remark);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_confirm, &QPushButton::clicked, this, &LineEditDialog::confirmLineEdit);
    connect(m_cancel, &QPushButton::clicked, this, &LineEditDialog::cancelLineEdit);
    m_quantity->installEventFilter(this);
    initLineEditDialog();
}

void LineEditDialog::initLineEditDialog()
{
    m_barcode->setText(m_line.商品条码);
    m_name->setText(m_line.商品名称);
    m_styleNo->setText(m_line.款号);
    m_colour->setText(m_line.颜色);
    m_size->setText(m_line.尺码);
    m_remark->setText(m_line.备注);
    m_quantity->setText(m_line.数量);
    m_quantity->setFocus();
    m_quantity->selectAll();
}

bool LineEditDialog::acceptQuantity(const QString &refusal)
{
    if (refusal.isEmpty())
        return true;
    MessageSeam::message(this, QString(), refusal);
    // The line's own quantity goes back, selected: what the cashier types next replaces it.
    m_quantity->setText(m_line.数量);
    m_quantity->setFocus();
    m_quantity->selectAll();
    return false;
}

bool LineEditDialog::checkLineStock(const QString &typed)
{
    return acceptQuantity(lineStockRefusal(m_context, m_line, typed));
}

void LineEditDialog::confirmLineEdit()
{
    const QString typed = m_quantity->text();
    if (!acceptQuantity(quantityFormRefusal(typed)))
        return;
    if (!checkLineStock(typed))
        return;
    m_confirmedQuantity = QString::number(typedWholeNumber(typed).value_or(0)); // "１２" goes back as 12
    m_confirmedRemark = m_remark->text();
    accept();
}

void LineEditDialog::cancelLineEdit()
{
    reject();
}

bool LineEditDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A left-button release in x数量 selects its whole text.
    if (watched == m_quantity && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        QTimer::singleShot(0, m_quantity, [box = m_quantity] { box->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

bool editCartLine(AppContext &context, Cart &cart, int row, QWidget *parent,
                  const std::function<void()> &releaseMainHotKeys,
                  const std::function<void()> &registerPosHotKeys)
{
    if (row < 0 || row >= cart.count())
        return false;
    const CartLine line = cart.line(row);
    cart.totals.quantity = line.数量;
    if (releaseMainHotKeys)
        releaseMainHotKeys();
    LineEditDialog dialog(context, line, parent);
    const bool confirmed = MessageSeam::exec(&dialog) == QDialog::Accepted;
    if (registerPosHotKeys)
        registerPosHotKeys();
    // The cart may have changed while the dialog was open; only the same line is written back.
    if (row >= cart.count() || cart.line(row).id != line.id)
        return false;
    if (confirmed)
        cart.totals.quantity = dialog.confirmedQuantity();
    applyLineEdit(context, cart, row, cart.totals.quantity, confirmed ? dialog.confirmedRemark() : line.备注);
    return confirmed;
}

} // namespace cashier
