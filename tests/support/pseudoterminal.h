// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

// The far end of a serial link: a raw pseudo-terminal pair whose slave the program opens
// as its device while the test plays the other side on the master. The pair can go away
// (a pulled adapter) and come back; given a link name it comes back under the same name.
class PseudoTerminal
{
public:
    explicit PseudoTerminal(const QString &linkPath = QString());
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_master >= 0; }
    // The name the program opens: the link when there is one.
    QString slavePath() const { return m_linkPath.isEmpty() ? m_devicePath : m_linkPath; }
    int master() const { return m_master; }

    // Safe from any thread; waits while the terminal's buffer is full, letting the
    // program's events run when called on its thread.
    bool write(const QByteArray &bytes);
    // What arrives until `quietMs` pass without a byte.
    QByteArray read(int quietMs);
    // At most `count` bytes: what arrives until they are there or `timeoutMs` pass.
    // Like write, usable from any thread.
    QByteArray readCount(qsizetype count, int timeoutMs);

    // The line settings the slave runs with (a pty master reports its slave's).
    termios slaveTermios() const;
    // What the program has not read yet.
    int bytesWaitingAtSlave() const;

    void unplug();
    void plugIn();

private:
    // At most `limit` bytes, after letting the program's events run and a short wait.
    QByteArray readAvailable(qsizetype limit);

    int m_master = -1;
    int m_slave = -1; // held, so that the master stays readable between the program's opens
    QString m_devicePath;
    QString m_linkPath;
};
