// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

// The far end of one serial port: a pseudo-terminal whose slave the program opens
// through a fixed link name, while the test reads and writes the raw master. The pair
// can go away (a pulled adapter) and come back under the same link.
class FarEnd
{
public:
    explicit FarEnd(const QString &linkPath);
    ~FarEnd();
    FarEnd(const FarEnd &) = delete;
    FarEnd &operator=(const FarEnd &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString linkPath() const { return m_linkPath; }

    void write(const QByteArray &bytes);
    // What arrives until `waitMs` pass without a byte.
    QByteArray read(int waitMs);
    // What arrives until `count` bytes are there or `timeoutMs` pass.
    QByteArray readCount(int count, int timeoutMs);

    void unplug();
    void plugIn();

private:
    int m_master = -1;
    int m_slave = -1; // held, so that the master stays readable between the program's opens
    QString m_linkPath;
};
