// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "capturelog.h"
#include "commport.h"
#include "framecheck.h"
#include "framecutter.h"
#include "transferengine.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <optional>

// Both directions of a link between two other devices, heard through a Y-tap: port A
// hears device 1, port B device 2. Both ports only receive; nothing is ever written to
// either. Each port's bytes are cut into frames by one rule, and the frames of both
// make one timeline in the order their reads returned, each marked with its port and
// the time its first byte arrived, and with a checksum chosen, each frame is followed by
// its verdict. The latest entries are kept for export.
class PortMonitor : public QObject
{
    Q_OBJECT

public:
    // Entries kept for export; older ones make way.
    static constexpr qsizetype LogLimit = 100000;

    struct Entry
    {
        qint64 arrival = 0;     // ms since the epoch, when the read of its first byte returned
        qint64 gap = -1;        // the pause on its port before it, in ms; -1 for the first
        qint16 port = 0;
        QByteArray bytes;
        bool skipped = false;   // bytes of no frame of a length rule
        bool starts = true;     // false: continues the frame of the same port before it
        // Starts a line of the timeline: a frame's start, or its continuation after the
        // other port's data.
        bool newLine = true;
        // The checksum verdict of the port's frame that ended; such an entry holds no bytes.
        std::optional<Checksum::Verdict> verdict;
    };

    explicit PortMonitor(QObject *parent = nullptr);
    ~PortMonitor() override;

    // Opens both ports for receiving; throws Component::RuntimeError and leaves both
    // closed when either fails.
    void start(const TransferEngine::Line &a, const TransferEngine::Line &b, const FrameRule &rule);
    // Each frame is checked with it from the next start on; none by default.
    void setChecksum(const Checksum &checksum) { m_checksum = checksum; }
    // Shows what the cutters still hold, then closes both ports.
    void stop();
    bool running() const;

    // Capture on: every entry is a received record of the capture, in hexadecimal.
    void setCapture(CaptureLog *capture) { m_capture = capture; }

    const QList<Entry> &log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    // The log as a CSV table: time, port, hex, text, and the checksum verdict of each
    // checked frame.
    QByteArray csv() const;
    // "[hh:mm:ss.zzz] Com n> " and the bytes as hex pairs or as text, or the verdict's
    // mark; an entry that continues the line before has no lead.
    static QString shown(const Entry &entry, bool hex, bool showGap,
                         CaptureLog::Language language = CaptureLog::Language::Window);

signals:
    void entry(const PortMonitor::Entry &entry);
    // A port's device went away; both ports are closed.
    void deviceLost(qint16 port);

private:
    struct Side
    {
        CommPort *port = nullptr;
        std::optional<FrameCutter> cutter;
        FrameCheck check;
        QTimer *frameEnd = nullptr;   // the pause that ends a frame of a gap rule
        bool quietEndsFrame = false;
    };

    void onComm(int side);
    void add(Side &side, const QList<FramePiece> &pieces);
    void endFrame(Side &side);
    void append(Entry e);
    void closeBoth();

    std::array<Side, 2> m_sides;
    CaptureLog *m_capture = nullptr;
    Checksum m_checksum;
    QList<Entry> m_log;
    qint16 m_lastPort = 0;
};

Q_DECLARE_METATYPE(PortMonitor::Entry)
