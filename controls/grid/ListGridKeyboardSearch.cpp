#include "controls/grid/ListGridKeyboardSearch.h"

#include "platform/Clock.h"

namespace brenlow {

ListGridKeyboardSearch::ListGridKeyboardSearch() : m_clock(&Clock::steady()) {}

QString ListGridKeyboardSearch::type(QChar ch)
{
    const qint64 now = m_clock->TickCount();
    if (!m_started || now - m_lastTime > PauseMs)
        m_text = QString(ch);
    else
        m_text += ch;
    m_started = true;
    m_lastTime = now;
    return m_text;
}

void ListGridKeyboardSearch::setClock(const Clock* clock)
{
    m_clock = clock ? clock : &Clock::steady();
}

} // namespace brenlow
