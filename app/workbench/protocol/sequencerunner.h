// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "protocolset.h"
#include "rulematcher.h"

#include <QObject>
#include <QTimer>

#include <functional>

// Runs a sequence of the command list: sends rows, waits, waits for a reply matching a
// pattern within a timeout, and repeats the steps between two marks. Each step passes or
// fails; a run stops at the first failure or goes on, as the set says. Every step is
// taken from the event loop, so a long repeat never holds the program up.
class SequenceRunner : public QObject
{
    Q_OBJECT

public:
    // Sends the command of that index once; false when it did not go out.
    using Sender = std::function<bool(int command)>;

    explicit SequenceRunner(QObject *parent = nullptr);

    void setSender(Sender sender) { m_sender = std::move(sender); }
    // False, and nothing runs, for steps whose repeat marks do not pair up.
    bool start(const ProtocolSet &set);
    void stop();
    bool running() const { return m_running; }
    // The index of the step under way; between steps, of the next one to be taken.
    int currentStep() const { return m_step; }

    // What arrived from the line, looked at while a step waits for a reply. A reply
    // that comes after the last send but before its step begins (a far end that answers
    // within the event loop's turn) counts for that step.
    void received(QByteArrayView bytes);

signals:
    void stepDone(int step, bool passed);
    // The run is over: `completed` unless a failure or stop() ended it early.
    void finished(int passed, int failed, bool completed);

private:
    struct Loop
    {
        int begin = 0;      // the index of the RepeatBegin step
        int left = -1;      // runs still to come; -1 until its RepeatEnd is first reached
    };
    // What is kept for a reply before its step: the latest bytes.
    static constexpr qsizetype KeptBytes = 64 * 1024;

    void next();
    void take(const ProtocolSet::Step &step);
    void done(bool passed);
    void finish(bool completed);

    Sender m_sender;
    ProtocolSet m_set;
    QList<Loop> m_loops;
    QTimer m_stepTimer;     // the next step, from the event loop
    QTimer m_waitTimer;     // a wait, or a reply's timeout
    RuleMatcher m_reply;
    QByteArray m_sinceSend;  // what arrived since the last send, while no step waited
    int m_step = 0;
    int m_passed = 0;
    int m_failed = 0;
    bool m_running = false;
    bool m_awaitingReply = false;
};
