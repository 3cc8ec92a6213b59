// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QObject>

// Turns the system's requests to end the program (SIGTERM, SIGINT, SIGHUP on Unix)
// into a signal on the GUI thread, so the program can close down in order.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();
};
