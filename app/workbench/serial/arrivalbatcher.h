// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QObject>
#include <QTimer>

// Tells of arrivals on a line at most once per interval while data streams in, as a
// UART's receive FIFO gathers bytes before it interrupts: a server such as ser2net
// forwards a stream in pieces of a few dozen bytes, and each told arrival costs a
// receive event's work. The first arrival after a quiet interval is told at once, so a
// lone command or answer waits for nothing.
class ArrivalBatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMilliseconds = 5;

    explicit ArrivalBatcher(QObject *parent = nullptr);

    // Data has arrived: told now, or at the end of the running interval.
    void arrived();

signals:
    void due();

private:
    void intervalEnded();

    QTimer m_interval;
    bool m_held = false;
};
