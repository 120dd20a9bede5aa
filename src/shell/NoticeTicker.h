#pragma once
// The notice ticker of the cashier page: the shop's notice scrolls one pixel to the left every
// 50 ms across the strip 分组框16 (label 消息标签), and is reloaded every 公告间隔 milliseconds so that
// a notice changed on another workstation shows up. The main window owns the strip, the label and
// the timers 时钟1 (scroll) and 时钟2 (reload); it hands them over with start(), or runs them
// itself and calls startNoticeTicker(), scrollNoticeTicker() and refreshNoticeTicker(). The notice
// itself comes from the source the application sets (the shop's notice of the settings).
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class AppContext;
class QLabel;
class QTimer;
class QWidget;

namespace shell {

class NoticeTicker : public QObject
{
    Q_OBJECT
public:
    static constexpr int ScrollPeriodMs = 50;
    // The reload never runs more often than this, whatever 公告间隔 says (each reload is a query
    // against the shop's database, which all workstations share).
    static constexpr int ReloadFloorMs = 1000;
    // Where the label starts its first pass, in the strip's coordinates.
    static constexpr int FirstPassX = 1097;

    // window: the widget whose width a pass spans (the main window); label: 消息标签.
    NoticeTicker(AppContext &context, QLabel *label, QWidget *window, QObject *parent = nullptr);

    // Reads the notice of a shop; nullopt when the shop has none (what the label shows stays).
    using NoticeSource = std::function<std::optional<QString>(const QString &shop)>;
    // Without a source no notice is ever loaded.
    void setNoticeSource(NoticeSource source) { m_source = std::move(source); }

    // The main window's start: with 开启公告 "真" the notice is loaded and shown and the scroll timer
    // runs every 50 ms; in every case the reload timer runs with reloadPeriod(公告间隔), unless that
    // is 0. Timers not given are made by the ticker. Changing the settings later starts or stops
    // nothing: the timers follow the settings of the start.
    void start(QTimer *scrollTimer = nullptr, QTimer *reloadTimer = nullptr);

    // The reload period for a 公告间隔 text: 0 (stopped) for "", "0" or a text without a positive
    // whole number; otherwise the number, but at least ReloadFloorMs.
    static int reloadPeriod(const QString &interval);

    struct Step
    {
        int x;       // the label's new left edge
        int step;    // the new pixel count of the pass
        bool newPass; // the pass ended: the label starts again at the window's right edge
    };
    // One scroll tick: one pixel to the left; when the step count reaches or passes the window's
    // width plus the label's width, the label goes to the window's width and the count to 0.
    static Step scrollStep(int x, int step, int windowWidth, int labelWidth);

    // The caption of the label for a notice: the text followed by eight blanks.
    static QString captionFor(const QString &notice);

    // The start's showing of the notice alone (for a main window that runs its own timers):
    // loads the notice, sets the label's caption and width and shows it.
    void startNoticeTicker();
    void scrollNoticeTicker();  // each tick of 时钟1
    // Each tick of 时钟2. A tick sooner than ReloadFloorMs after the last reload (by the program's
    // clock) does nothing, so a short 公告间隔 never floods the shared database, whoever runs the
    // timer. A clock set back reloads at once.
    void refreshNoticeTicker();

    QString noticeText() const { return m_noticeText; }
    int noticeTickerStep() const { return m_step; }
    QTimer *scrollTimer() const { return m_scrollTimer; }
    QTimer *reloadTimer() const { return m_reloadTimer; }

private:
    void loadAndShow();

    AppContext &m_context;
    NoticeSource m_source;
    QLabel *m_label;
    QWidget *m_window;
    QTimer *m_scrollTimer = nullptr;
    QTimer *m_reloadTimer = nullptr;
    QString m_noticeText;
    int m_step = 0;
    QDateTime m_lastReload; // Clock::now() of the last reload; invalid before the first
};

} // namespace shell
