#include "shell/NoticeTicker.h"

#include "context/AppContext.h"
#include "platform/Clock.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace shell {

NoticeTicker::NoticeTicker(AppContext &context, QLabel *label, QWidget *window, QObject *parent)
    : QObject(parent), m_context(context), m_label(label), m_window(window)
{
}

void NoticeTicker::start(QTimer *scrollTimer, QTimer *reloadTimer)
{
    m_scrollTimer = scrollTimer ? scrollTimer : new QTimer(this);
    m_reloadTimer = reloadTimer ? reloadTimer : new QTimer(this);
    m_scrollTimer->stop();
    m_reloadTimer->stop();
    connect(m_scrollTimer, &QTimer::timeout, this, &NoticeTicker::scrollNoticeTicker, Qt::UniqueConnection);
    connect(m_reloadTimer, &QTimer::timeout, this, &NoticeTicker::refreshNoticeTicker, Qt::UniqueConnection);

    if (isFlagOn(m_context.shopSettings.开启公告)) {
        loadAndShow();
        m_scrollTimer->start(ScrollPeriodMs);
    }
    const int period = reloadPeriod(m_context.shopSettings.公告间隔);
    if (period > 0)
        m_reloadTimer->start(period);
}

int NoticeTicker::reloadPeriod(const QString &interval)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*[0-9]+\\s*$"));
    if (!whole.match(interval).hasMatch())
        return 0;
    bool ok = false;
    const qlonglong value = interval.trimmed().toLongLong(&ok);
    if (!ok || value <= 0)
        return 0;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return std::max(int(value), ReloadFloorMs);
}

NoticeTicker::Step NoticeTicker::scrollStep(int x, int step, int windowWidth, int labelWidth)
{
    Step next{x - 1, step + 1, false};
    if (next.step >= windowWidth + labelWidth)
        next = Step{windowWidth, 0, true};
    return next;
}

QString NoticeTicker::captionFor(const QString &notice)
{
    return notice + QString(8, u' ');
}

void NoticeTicker::scrollNoticeTicker()
{
    if (!m_label)
        return;
    const int windowWidth = m_window ? m_window->width() : 0;
    const Step next = scrollStep(m_label->x(), m_step, windowWidth, m_label->width());
    m_label->move(next.x, m_label->y());
    m_step = next.step;
    if (next.newPass)
        m_label->show();
}

void NoticeTicker::startNoticeTicker()
{
    loadAndShow();
}

void NoticeTicker::refreshNoticeTicker()
{
    if (!isFlagOn(m_context.shopSettings.开启公告))
        return;
    if (m_lastReload.isValid()) {
        const qint64 since = m_lastReload.msecsTo(Clock::now());
        if (since >= 0 && since < ReloadFloorMs)
            return;
    }
    loadAndShow();
}

void NoticeTicker::loadAndShow()
{
    m_lastReload = Clock::now();
    if (m_source) {
        if (const std::optional<QString> text = m_source(m_context.currentShop))
            m_noticeText = *text;
    }
    if (!m_label)
        return;
    const QString caption = captionFor(m_noticeText);
    m_label->setText(caption);
    m_label->resize(QFontMetrics(m_label->font()).horizontalAdvance(caption), m_label->height());
    m_label->show();
}

} // namespace shell
