#include "data/MoveChannel.h"

#include <algorithm>

namespace data {

bool MoveChannel::push(MovePiece piece)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopped || m_pieces.size() < m_capacity; });
    if (m_stopped)
        return false;
    m_pieces.push_back(std::move(piece));
    m_changed.notify_all();
    return true;
}

void MoveChannel::finish()
{
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_changed.notify_all();
}

bool MoveChannel::pop(MovePiece *piece)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopped || m_finished || !m_pieces.empty(); });
    if (m_stopped || m_pieces.empty())
        return false;
    *piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    m_changed.notify_all();
    return true;
}

void MoveChannel::stop()
{
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_pieces.clear();
    m_changed.notify_all();
}

void MoveChannel::tableWritten(int table)
{
    std::lock_guard lock(m_mutex);
    m_written.push_back(table);
    m_changed.notify_all();
}

bool MoveChannel::waitForTable(int table)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] {
        return m_stopped || std::find(m_written.cbegin(), m_written.cend(), table) != m_written.cend();
    });
    return !m_stopped;
}

} // namespace data
