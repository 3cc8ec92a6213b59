// Velmora workbench. Licensed under the MIT licence.
#include "sequencerunner.h"

#include <utility>

SequenceRunner::SequenceRunner(QObject *parent)
    : QObject(parent)
{
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(0);
    m_waitTimer.setSingleShot(true);
    m_waitTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_stepTimer, &QTimer::timeout, this, &SequenceRunner::next);
    // A wait passes when its time is up; a reply's timeout fails the step.
    connect(&m_waitTimer, &QTimer::timeout, this, [this] { done(!m_awaitingReply); });
}

bool SequenceRunner::start(const ProtocolSet &set)
{
    int depth = 0;
    for (const ProtocolSet::Step &step : set.sequence) {
        depth += step.kind == ProtocolSet::Step::RepeatBegin ? 1
            : step.kind == ProtocolSet::Step::RepeatEnd      ? -1
                                                             : 0;
        if (depth < 0)
            return false;
    }
    if (depth != 0)
        return false;
    stop();
    m_set = set;
    m_loops.clear();
    m_step = 0;
    m_passed = m_failed = 0;
    m_sinceSend.clear();
    m_running = true;
    m_stepTimer.start();
    return true;
}

void SequenceRunner::stop()
{
    if (m_running)
        finish(false);
}

void SequenceRunner::received(QByteArrayView bytes)
{
    if (m_awaitingReply) {
        if (!m_reply.feed(bytes).isEmpty())
            done(true);
        return;
    }
    if (!m_running)
        return;
    m_sinceSend.append(bytes);
    if (m_sinceSend.size() > KeptBytes)
        m_sinceSend.remove(0, m_sinceSend.size() - KeptBytes);
}

void SequenceRunner::next()
{
    if (m_step >= m_set.sequence.size()) {
        finish(true);
        return;
    }
    take(m_set.sequence.at(m_step));
}

void SequenceRunner::take(const ProtocolSet::Step &step)
{
    switch (step.kind) {
    case ProtocolSet::Step::Send: {
        m_sinceSend.clear();
        const int command = m_set.commandNamed(step.command);
        done(command >= 0 && m_sender && m_sender(command));
        return;
    }
    case ProtocolSet::Step::Wait:
        m_waitTimer.start(step.milliseconds);
        return;
    case ProtocolSet::Step::Expect: {
        const std::optional<BytePattern> pattern = BytePattern::parse(step.pattern, step.hex, nullptr);
        if (!pattern) {
            done(false);
            return;
        }
        m_reply.setPatterns({*pattern});
        m_awaitingReply = true;
        m_waitTimer.start(step.milliseconds);
        const QByteArray early = std::exchange(m_sinceSend, QByteArray());
        if (!early.isEmpty() && !m_reply.feed(early).isEmpty())
            done(true);
        return;
    }
    case ProtocolSet::Step::RepeatBegin:
        m_loops.append({m_step, -1});
        ++m_step;
        m_stepTimer.start();
        return;
    case ProtocolSet::Step::RepeatEnd: {
        Loop &loop = m_loops.last();
        if (loop.left < 0)
            loop.left = step.times - 1;
        if (loop.left > 0) {
            --loop.left;
            m_step = loop.begin + 1;
        } else {
            m_loops.removeLast();
            ++m_step;
        }
        m_stepTimer.start();
        return;
    }
    }
}

void SequenceRunner::done(bool passed)
{
    m_waitTimer.stop();
    m_awaitingReply = false;
    ++(passed ? m_passed : m_failed);
    const int step = m_step;
    ++m_step;
    emit stepDone(step, passed);
    if (!m_running)
        return;   // stopped by a receiver of the signal
    if (!passed && m_set.stopAtFailure) {
        finish(false);
        return;
    }
    m_stepTimer.start();
}

void SequenceRunner::finish(bool completed)
{
    m_running = false;
    m_awaitingReply = false;
    m_stepTimer.stop();
    m_waitTimer.stop();
    emit finished(m_passed, m_failed, completed);
}
