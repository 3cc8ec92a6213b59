// Velmora tests. Licensed under the MIT licence.
#pragma once

#include "pseudoterminal.h"

#include <QByteArray>
#include <QMap>
#include <QSocketNotifier>

#include <memory>

// The far end of a link test: what the program sends into one pseudo-terminal comes out
// of another, with faults at given offsets of the stream. Runs on the program's thread
// and never waits on a full line, so the program keeps reading meanwhile.
class FaultyWire
{
public:
    enum class Fault { FlipBit, Drop, Insert, Repeat, Silence, Vanish };
    struct Injection
    {
        Fault fault;
        int count = 0;     // the bit to flip, the bytes to drop or insert or repeat
    };

    FaultyWire(PseudoTerminal &from, PseudoTerminal &to);

    // At stream offset `offset`: flip bit `count` of that byte, drop or insert `count`
    // bytes there, repeat the `count` bytes before it, fall silent or vanish (unplug).
    void inject(qint64 offset, Fault fault, int count = 0) { m_faults.insert(offset, {fault, count}); }
    qint64 passed() const { return m_offset; }

private:
    void onReadable();
    void flush();

    PseudoTerminal &m_from;
    PseudoTerminal &m_to;
    std::unique_ptr<QSocketNotifier> m_readable;
    std::unique_ptr<QSocketNotifier> m_writable;
    QMap<qint64, Injection> m_faults;
    QByteArray m_history;
    QByteArray m_outgoing;
    qint64 m_offset = 0;
    bool m_silent = false;
};
