// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

// A raw pseudo-terminal pair: the program opens the slave by path, the benchmark
// plays the far end on the master.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_master >= 0; }
    int master() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // Writes all of data, waiting while the terminal's buffer is full.
    bool writeAll(const char *data, qint64 size);
    // Reads exactly size bytes, waiting at most timeoutMs for each part.
    bool readExactly(char *data, qint64 size, int timeoutMs);
    // Reads what arrives within timeoutMs (at most maxSize bytes).
    QByteArray readSome(qint64 maxSize, int timeoutMs);

    // Opens the slave once more, read-only, only to ask how many bytes wait in it.
    bool watchSlave();
    int bytesWaitingAtSlave() const;

private:
    int m_master = -1;
    int m_slaveWatch = -1;
    QString m_slavePath;
};
