#include "platform/HotKeys.h"

#include "platform/MessageSeam.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace {

// Modifier code -> Qt modifiers; -1 for an unknown code.
int modifiersOf(int modifierCode)
{
    switch (modifierCode) {
    case 0: return 0;
    case 1: return int(Qt::ControlModifier);
    case 2: return int(Qt::ShiftModifier);
    case 3: return int(Qt::ControlModifier | Qt::ShiftModifier);
    case 4: return int(Qt::AltModifier);
    case 5: return int(Qt::AltModifier | Qt::ControlModifier);
    case 6: return int(Qt::AltModifier | Qt::ShiftModifier);
    default: return -1;
    }
}

} // namespace

namespace {
HotKeyRegistry *installed = nullptr;
}

HotKeyRegistry &HotKeyRegistry::instance()
{
    if (installed)
        return *installed;
    static HotKeyRegistry *registry = new HotKeyRegistry;
    return *registry;
}

void HotKeyRegistry::setInstance(HotKeyRegistry *registry)
{
    installed = registry;
}

HotKeyRegistry::~HotKeyRegistry()
{
    if (installed == this)
        installed = nullptr;
    for (const Entry &entry : std::as_const(m_entries))
        delete entry.shortcut.data();
}

int HotKeyRegistry::registerHotKey(QWidget *window, int key, int modifierCode, Receiver receiver)
{
    const int id = m_nextId++;
    const int modifiers = modifiersOf(modifierCode);
    if (!window || modifiers < 0 || key == 0)
        return 0;
    if (m_refusalHook && m_refusalHook(key, modifierCode))
        return 0;
    forgetDeadWindows();
    const int combination = key | modifiers;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.window == window && entry.keyCombination == combination)
            return 0;
    }
    auto *shortcut = new QShortcut(QKeySequence(combination), window);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, this, [this, id] { deliver(id); });
    m_entries.insert(id, Entry{window, shortcut, combination, std::move(receiver)});
    return id;
}

bool HotKeyRegistry::release(int id)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end())
        return false;
    delete it->shortcut.data();
    m_entries.erase(it);
    return true;
}

bool HotKeyRegistry::isLive(int id) const
{
    auto it = m_entries.constFind(id);
    return it != m_entries.constEnd() && it->window && it->shortcut;
}

int HotKeyRegistry::liveCount() const
{
    int count = 0;
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it)
        count += isLive(it.key()) ? 1 : 0;
    return count;
}

bool HotKeyRegistry::heldBack()
{
    return MessageSeam::modalDepth() > 0 || QApplication::activeModalWidget() != nullptr;
}

bool HotKeyRegistry::trigger(int id)
{
    if (!isLive(id) || heldBack())
        return false;
    deliver(id);
    return true;
}

void HotKeyRegistry::deliver(int id)
{
    if (heldBack())
        return;
    auto it = m_entries.constFind(id);
    if (it == m_entries.constEnd() || !it->receiver)
        return;
    const Receiver receiver = it->receiver; // the receiver may release this very id
    receiver(id);
}

void HotKeyRegistry::setRefusalHook(std::function<bool(int, int)> hook)
{
    m_refusalHook = std::move(hook);
}

void HotKeyRegistry::forgetDeadWindows()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!it->window || !it->shortcut)
            it = m_entries.erase(it);
        else
            ++it;
    }
}
