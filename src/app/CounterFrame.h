#pragma once
// The page 前台收银 as the main window holds it: the counter itself (the cashier's page, put in
// with setCounterPage) above the notice strip 分组框16, in which the label 消息标签 scrolls. The
// strip belongs to the notice ticker of the settings; the counter knows nothing of it.
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace app {

class CounterFrame : public QWidget
{
public:
    explicit CounterFrame(QWidget *parent = nullptr);

    // Puts the counter page above the strip (the frame owns it).
    void setCounterPage(QWidget *page);
    QWidget *counterPage() const { return m_counter; }

    QWidget *noticeStrip() const { return m_strip; }  // 分组框16
    QLabel *noticeLabel() const { return m_label; }   // 消息标签, hidden until a notice is shown

private:
    QVBoxLayout *m_layout = nullptr;
    QWidget *m_counter = nullptr;
    QWidget *m_strip = nullptr;
    QLabel *m_label = nullptr;
};

} // namespace app
