#pragma once

#include <QString>

namespace brenlow {

class Clock;

/**
 * The grid's incremental search: letters and digits typed within a second of each other make one
 * search text; a longer pause starts a new one. The grid looks the text up in its SearchColumn.
 */
class ListGridKeyboardSearch final
{
public:
    ListGridKeyboardSearch();

    /** Adds a typed character; returns the search text it makes. */
    QString type(QChar ch);
    /** The text searched for last ("" before the first character). */
    [[nodiscard]] const QString& text() const { return m_text; }

    /** The clock that times the pauses (not owned); nullptr goes back to the steady clock. */
    void setClock(const Clock* clock);

    /** A pause longer than this (milliseconds) starts a new search text. */
    static constexpr qint64 PauseMs = 999;

private:
    const Clock* m_clock;
    QString m_text;
    qint64 m_lastTime = 0;
    bool m_started = false;
};

} // namespace brenlow
