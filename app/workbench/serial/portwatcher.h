// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "portmap.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

// Notices serial devices coming and going without opening any: once a second it looks
// at the devices the port map names (a link a user creates, an adapter's node) and at
// the system's list of serial devices, and tells when they differ from what the port
// lists were last filled from. Remote lines are never looked at: seeing one would
// need a connection.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollMilliseconds = 1000;

    explicit PortWatcher(QObject *parent = nullptr);

    // Until the first acknowledge, every look tells of a change.
    void start();
    void stop();

    // The devices there now are the ones the port lists show: called before a scan looks
    // at them, so that a device that comes meanwhile is told about.
    void acknowledge();

    // Whether a port map entry names a remote line ("tcp://host:port").
    static bool isRemote(const QString &device);

signals:
    // At every look that finds the devices other than at the last acknowledge.
    void changed();

private:
    void poll();
    QStringList look();

    QTimer m_timer;
    QStringList m_acknowledged;
};
