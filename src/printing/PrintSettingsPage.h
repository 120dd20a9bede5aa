#pragma once
// The settings page 票据打印设置: the receipt layout (left, with its reference preview 图片框4) and
// the price-label layout (right, with its preview 分组框15), their buttons, and the two print
// switches. The layouts live in the controls: printing takes currentLook() when it prints, so an
// edit prints at once, saved or not. print.ini only carries the layouts from one run to the next.
#include "printing/PrintLayout.h"

#include <QHash>
#include <QWidget>
#include <functional>

class AppContext;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace printing {

// The page's fixed hints.
inline const QString LogoSizeHint = QStringLiteral("LOGO建议200×40像素");
inline const QString TestPrintHint = QStringLiteral("测试打印调好后，再打真实小票校准。");
inline const QString DefaultPrinterHint = QStringLiteral("收银小票打印到本机的默认打印机。");
inline const QString DocumentPrinterHint =
    QStringLiteral("把虚拟文档打印机（如PDF打印机）设为默认打印机，可以把小票打成文件，查看排版效果。");

class PrintSettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit PrintSettingsPage(AppContext &context, QWidget *parent = nullptr);

    // The test buttons hand over to the printers; without a hook a test button does nothing.
    std::function<void()> testPrintReceiptHook; // 测试打印: the current cart as a receipt
    std::function<void()> testPrintLabelHook;   // 测试打印1: one label from the purchase form

    // The layouts as the controls show them (unsaved edits included), the logo of 图片框9 and the
    // dashed lines 一虚线 and 二虚线.
    PrintLook currentLook() const;
    PrintLayout receiptLayout() const;
    PrintLayout labelLayout() const;

    // Reads 小票配置 into the controls and the logo into 图片框9, then the label layout. Runs as the
    // main window's last creation step. Ticking the header boxes from the file does not switch the
    // preview between titles and logo.
    void loadReceiptLayout();
    void loadLabelLayout();
    // 保存小票 / 保存标签: the controls into 小票配置 / 标签配置; a failed write is reported.
    void saveReceiptLayout();
    void saveLabelLayout();
    // 恢复默认配置 / 恢复默认标签: the factory layout into the controls (print.ini is not written).
    void restoreDefaultReceiptLayout();
    void restoreDefaultLabelLayout();
    void testPrintReceipt();
    void testPrintLabel();
    // 按钮25: a picture chosen in the dialog 通用对话框1 becomes the logo and is kept in LOGO/Logo.jpg.
    void addReceiptLogo();

    // The print switches 选择框9 and 打标签框 as the flags say (each time the page is shown).
    void syncPrintSwitches();

    // Click handlers; `ticked` is the box's state after the click.
    void selectTextHeader(bool ticked);
    void selectLogoHeader(bool ticked);
    void selectPrintStyleNo(bool ticked);
    void selectPrintItemName(bool ticked);
    void selectPrintCategory(bool ticked);
    void toggleReceiptPrinting(bool ticked);
    void toggleLabelPrinting(bool ticked);

    // A size edit's text sets the point size of its preview edit's font.
    void previewTitleFontSize();
    void previewSubtitleFontSize();
    void previewLabelStyleNoFontSize();
    void previewLabelColourFontSize();
    void previewLabelSizeFontSize();
    void previewLabelPriceFontSize();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildPage();
    QWidget *buildReceiptSide();
    QWidget *buildReceiptPreview();
    QWidget *buildLabelSide();
    QLineEdit *newEdit(const QString &name, int width = 52);
    QCheckBox *newSwitch(const QString &name, const QString &caption);

    void showReceiptLayout(const PrintLayout &layout);
    void showLabelLayout(const PrintLayout &layout);
    void showHeader(bool logo);
    void selectHeader(bool logo, bool ticked);
    void selectFirstColumn(QCheckBox *box, bool ticked, const QString &caption);
    void showLogo(const QByteArray &bytes);
    void report(const QString &text);

    AppContext &m_context;
    QHash<QString, QLineEdit *> m_edits;    // by object name
    QHash<QString, QCheckBox *> m_switches; // by object name
    QLabel *m_logoBox = nullptr;            // 图片框9
    QWidget *m_receiptActions = nullptr;    // the receipt's buttons and print switch
    QByteArray m_logoBytes;
    QPixmap m_logo;
};

} // namespace printing
