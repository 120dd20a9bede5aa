#pragma once
// The program's own hot keys. A hot key belongs to one window and acts while that window is the
// active one; it never acts while a message box or a modal window of the program is open.
// Ids come from one counter of the process that starts at 33001 and only rises; a refused
// registration (the same key already held on the same window) still takes its id from the
// counter but returns 0, and a 0 never acts.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QShortcut;
class QWidget;

class HotKeyRegistry : public QObject
{
public:
    // Modifier codes of a registration: 0 none, 1 Ctrl, 2 Shift, 3 Ctrl+Shift, 4 Alt,
    // 5 Alt+Ctrl, 6 Alt+Shift.
    static constexpr int FirstId = 33001;
    using Receiver = std::function<void(int id)>;

    // The program's registry. Tests may install their own (nullptr gives the program's back).
    static HotKeyRegistry &instance();
    static void setInstance(HotKeyRegistry *registry);

    HotKeyRegistry() = default;
    ~HotKeyRegistry() override;

    // Registers the key (a Qt::Key) with the modifier code on the window; each press while the
    // window is active and no modal window is open calls the receiver with the id.
    // Returns the new id, or 0 when refused: the same key and modifiers are already held on that
    // window, the modifier code is unknown, the window is null, or the refusal hook says so.
    int registerHotKey(QWidget *window, int key, int modifierCode, Receiver receiver);
    // Releases the id; false when it was not live (0, already released, unknown).
    bool release(int id);
    bool isLive(int id) const;
    int liveCount() const;
    // The last id the counter gave out (FirstId - 1 before the first registration).
    int lastId() const { return m_nextId - 1; }

    // Delivers the id as a key press would (the same modal-window rule applies). False when the
    // id is not live or the event was held back.
    bool trigger(int id);
    // True while hot keys are held back: a message box or modal window of the program is open.
    static bool heldBack();

    // Tests: decides for each registration (key, modifier code) whether it is refused, as the
    // system refuses a key that another program holds. An empty function refuses nothing.
    void setRefusalHook(std::function<bool(int key, int modifierCode)> hook);

private:
    struct Entry
    {
        QPointer<QWidget> window;
        QPointer<QShortcut> shortcut;
        int keyCombination = 0;
        Receiver receiver;
    };

    void deliver(int id);
    void forgetDeadWindows();

    int m_nextId = FirstId;
    QHash<int, Entry> m_entries;
    std::function<bool(int, int)> m_refusalHook;
};
