// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <limits>

// The far end of a serial link: a raw pseudo-terminal pair whose slave the program opens
// as its device while the test plays the other side on the master (whose line settings
// are the slave's). The pair can go away (a pulled adapter) and come back; given a link
// name it comes back under the same name, and the link is gone while it is away. Reads
// and writes work from any thread; on the program's thread they let its events run
// while they wait.
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

    bool write(const QByteArray &bytes);
    // What arrives until `count` bytes are there or `quietMs` pass without a byte.
    QByteArray read(int quietMs, qsizetype count = std::numeric_limits<qsizetype>::max());
    // What the program has not read yet.
    int bytesWaitingAtSlave() const;

    void unplug();
    void plugIn();

private:
    int m_master = -1;
    int m_slave = -1; // held, so that the master stays readable between the program's opens
    QString m_devicePath;
    QString m_linkPath;
};
