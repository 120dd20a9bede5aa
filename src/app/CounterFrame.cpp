#include "app/CounterFrame.h"

#include "shell/NoticeTicker.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

CounterFrame::CounterFrame(QWidget *parent)
    : QWidget(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    m_counter = new QWidget(this);
    m_layout->addWidget(m_counter, 1);

    auto *strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("分组框16"));
    strip->setFrameShape(QFrame::StyledPanel);
    m_strip = strip;
    m_label = new QLabel(strip); // placed by hand: the ticker moves it across the strip
    m_label->setObjectName(QStringLiteral("消息标签"));
    const int lineHeight = QFontMetrics(m_label->font()).height();
    strip->setFixedHeight(lineHeight + 10);
    m_label->setGeometry(shell::NoticeTicker::FirstPassX, 5, 0, lineHeight);
    m_label->hide();
    m_layout->addWidget(strip);
}

void CounterFrame::setCounterPage(QWidget *page)
{
    if (!page || page == m_counter)
        return;
    m_layout->replaceWidget(m_counter, page);
    delete m_counter;
    m_counter = page;
    page->setParent(this);
    page->show();
}

} // namespace app
