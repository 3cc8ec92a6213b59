// Velmora tests. Licensed under the MIT licence.
#include "faultywire.h"

#include <cerrno>
#include <unistd.h>

FaultyWire::FaultyWire(PseudoTerminal &from, PseudoTerminal &to)
    : m_from(from), m_to(to)
{
    m_readable = std::make_unique<QSocketNotifier>(from.master(), QSocketNotifier::Read);
    QObject::connect(m_readable.get(), &QSocketNotifier::activated, [this] { onReadable(); });
    m_writable = std::make_unique<QSocketNotifier>(to.master(), QSocketNotifier::Write);
    m_writable->setEnabled(false);
    QObject::connect(m_writable.get(), &QSocketNotifier::activated, [this] { flush(); });
}

void FaultyWire::onReadable()
{
    char buffer[4096];
    const ssize_t n = ::read(m_from.master(), buffer, sizeof buffer);
    if (n <= 0)
        return;
    for (ssize_t i = 0; i < n; ++i, ++m_offset) {
        char byte = buffer[i];
        bool keep = !m_silent;
        const auto fault = m_faults.constFind(m_offset);
        if (fault != m_faults.cend()) {
            switch (fault->fault) {
            case Fault::FlipBit:
                byte = char(byte ^ (1 << fault->count));
                break;
            case Fault::Drop:
                // The following count - 1 bytes go too.
                for (int k = 1; k < fault->count; ++k)
                    m_faults.insert(m_offset + k, {Fault::Drop, 1});
                keep = false;
                break;
            case Fault::Insert:
                for (int k = 0; k < fault->count; ++k)
                    m_outgoing.append(char(byte ^ char(0x3C + 17 * k)));
                break;
            case Fault::Repeat:
                m_outgoing.append(m_history.right(fault->count));
                break;
            case Fault::Silence:
                m_silent = true;
                keep = false;
                break;
            case Fault::Vanish:
                flush();
                m_readable->setEnabled(false);
                m_writable->setEnabled(false);
                m_to.unplug();
                return;
            }
        }
        m_history.append(buffer[i]);
        if (m_history.size() > 65536)
            m_history.remove(0, 32768);
        if (keep)
            m_outgoing.append(byte);
    }
    flush();
}

void FaultyWire::flush()
{
    while (!m_outgoing.isEmpty()) {
        const ssize_t n = ::write(m_to.master(), m_outgoing.constData(), size_t(m_outgoing.size()));
        if (n <= 0)
            break;
        m_outgoing.remove(0, n);
    }
    m_writable->setEnabled(!m_outgoing.isEmpty());
}
