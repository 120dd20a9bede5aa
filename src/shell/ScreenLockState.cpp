#include "shell/ScreenLockState.h"

namespace shell {

ScreenLockState::ScreenLockState(std::function<void()> registerPosHotKeys)
    : m_registerPosHotKeys(std::move(registerPosHotKeys))
{
}

void ScreenLockState::setupBoxChanged()
{
    m_setupPrompt = {SetupPromptText, White};
}

bool ScreenLockState::startScreenLock(const QString &password, const QString &repeat)
{
    m_password.clear();
    m_locked = false;
    if (password != repeat) {
        m_setupPrompt = {MismatchText, Red};
        return false;
    }
    if (password.isEmpty()) {
        m_setupPrompt = {EmptyText, Red};
        return false;
    }
    m_password = repeat;
    m_locked = true;
    m_unlockPrompt = {LockedText, LightGrey};
    return true;
}

void ScreenLockState::unlockBoxChanged()
{
    m_unlockPrompt = {LockedText, LightGrey};
}

bool ScreenLockState::unlockScreen(const QString &typed)
{
    if (!m_locked)
        return false;
    if (typed.isEmpty()) {
        m_unlockPrompt = {EmptyText, Red};
        return false;
    }
    if (typed != m_password) {
        m_unlockPrompt = {WrongText, Red};
        return false;
    }
    m_password.clear();
    m_locked = false;
    returnKeys();
    return true;
}

void ScreenLockState::returnKeys()
{
    if (m_keysReturned)
        return;
    m_keysReturned = true;
    if (m_registerPosHotKeys)
        m_registerPosHotKeys();
}

} // namespace shell
