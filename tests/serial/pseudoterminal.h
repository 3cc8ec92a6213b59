// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

// A pseudo-terminal pair: the program under test opens the slave as its serial
// device, the test plays the far end on the raw master.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterHandle() const { return m_master; }

    bool write(const QByteArray &bytes);
    // Everything that arrives within `waitMs` after the last byte, up to `limit` bytes.
    QByteArray read(int waitMs, qsizetype limit = 1 << 20);
    // The line settings the slave runs with (a pty master reports its slave's).
    termios slaveTermios() const;
    // The far end goes away, as a pulled USB adapter does.
    void closeMaster();

private:
    int m_master = -1;
    QString m_slavePath;
};
