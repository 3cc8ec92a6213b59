// Velmora workbench. Licensed under the MIT licence.
#include "portmonitor.h"

#include "commandcodec.h"
#include "csvtable.h"
#include "lineoptions.h"
#include "systemcodepage.h"

#include <runtimeerror.h>

#include <QDateTime>
#include <QHash>

#include <cmath>

namespace {

QString timeOf(qint64 arrival)
{
    return QDateTime::fromMSecsSinceEpoch(arrival).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

// The text column as a spreadsheet shows it: control characters other than tab and
// line breaks become dots; the hex column keeps every byte.
QString readable(const QByteArray &bytes)
{
    QString text = SystemCodePage::toUnicode(bytes);
    for (QChar &c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n')
            c = u'.';
    }
    return text;
}

} // namespace

PortMonitor::PortMonitor(QObject *parent)
    : QObject(parent)
{
    for (int side = 0; side < 2; ++side) {
        m_sides[side].port = new CommPort(this);
        m_sides[side].port->setObjectName(side == 0 ? QStringLiteral("MonitorPortA")
                                                    : QStringLiteral("MonitorPortB"));
        connect(m_sides[side].port, &CommPort::OnComm, this, [this, side] { onComm(side); });
        m_sides[side].frameEnd = new QTimer(this);
        m_sides[side].frameEnd->setSingleShot(true);
        connect(m_sides[side].frameEnd, &QTimer::timeout, this, [this, side] { endFrame(m_sides[side]); });
    }
}

PortMonitor::~PortMonitor()
{
    closeBoth();
}

void PortMonitor::start(const TransferEngine::Line &a, const TransferEngine::Line &b,
                        const FrameRule &rule)
{
    closeBoth();
    const TransferEngine::Line lines[] = {a, b};
    try {
        for (int side = 0; side < 2; ++side) {
            CommPort &port = *m_sides[side].port;
            m_sides[side].cutter = TransferEngine::frameCutter(rule, lines[side].settings);
            m_sides[side].check.setChecksum(m_checksum);
            const double gap = m_sides[side].cutter->gapMilliseconds();
            m_sides[side].quietEndsFrame = gap > 0;
            m_sides[side].frameEnd->setInterval(int(std::ceil(gap)) + 1);
            port.setCommPort(lines[side].port);
            port.setRThreshold(1);
            port.setSettings(lines[side].settings);
            port.setHandshaking(lines[side].handshake);
            port.setInputMode(CommPort::InputModeBinary);
            port.setPortOpen(true);
            port.setInBufferCount(0);
        }
    } catch (const Component::RuntimeError &) {
        closeBoth();
        throw;
    }
}

void PortMonitor::stop()
{
    for (Side &side : m_sides) {
        if (side.cutter)
            add(side, side.cutter->flush());
        side.frameEnd->stop();
        side.check.forget();
    }
    closeBoth();
}

bool PortMonitor::running() const
{
    return m_sides[0].port->PortOpen() || m_sides[1].port->PortOpen();
}

void PortMonitor::closeBoth()
{
    for (Side &side : m_sides) {
        try {
            side.port->setPortOpen(false);
        } catch (const Component::RuntimeError &) {
        }
    }
}

void PortMonitor::onComm(int index)
{
    Side &side = m_sides[index];
    const qint16 event = side.port->CommEvent();
    if (event == CommPort::EventDeviceLost) {
        stop();
        emit deviceLost(side.port->CommPortNumber());
        return;
    }
    if (event != CommPort::EvReceive || !side.cutter)
        return;
    QByteArray bytes;
    try {
        bytes = side.port->Input().toByteArray();
    } catch (const Component::RuntimeError &) {
        return;
    }
    if (!bytes.isEmpty())
        add(side, side.cutter->feed(bytes, QDateTime::currentMSecsSinceEpoch()));
}

void PortMonitor::add(Side &side, const QList<FramePiece> &pieces)
{
    const qint16 port = side.port->CommPortNumber();
    for (const FramePiece &piece : pieces) {
        if (piece.starts && side.check.open())
            endFrame(side);
        Entry e;
        e.arrival = piece.arrival;
        e.gap = piece.gap;
        e.port = port;
        e.bytes = piece.bytes;
        e.skipped = piece.kind == FramePiece::Skipped;
        e.starts = piece.starts;
        append(e);
        if (!e.skipped) {
            side.check.add(piece.bytes);
            if (piece.ends)
                endFrame(side);
        }
    }
    if (side.check.open() && side.quietEndsFrame)
        side.frameEnd->start();
}

// The verdict of a port's frame follows it; on a line of its own, with the port, when
// the other port's data came between.
void PortMonitor::endFrame(Side &side)
{
    side.frameEnd->stop();
    const std::optional<Checksum::Verdict> verdict = side.check.end();
    if (!verdict)
        return;
    Entry e;
    e.arrival = QDateTime::currentMSecsSinceEpoch();
    e.port = side.port->CommPortNumber();
    e.starts = false;
    e.verdict = verdict;
    append(e);
}

void PortMonitor::append(Entry e)
{
    e.newLine = e.starts || e.port != m_lastPort;
    m_lastPort = e.port;
    if (m_log.size() >= LogLimit)
        m_log.remove(0, LogLimit / 10);
    m_log.append(e);
    if (m_capture)
        m_capture->addReceived(shown(e, true, false, CaptureLog::Language::Capture), e.newLine);
    emit entry(e);
}

QString PortMonitor::shown(const Entry &entry, bool hex, bool showGap, CaptureLog::Language language)
{
    LineOptions spaced;
    spaced.hexSpace = true;
    const QString data = entry.verdict
        ? CaptureLog::verdictMark(entry.verdict->good, entry.verdict->expected, language)
        : hex ? spaced.shownHex(CommandCodec::hexText(entry.bytes))
              : SystemCodePage::toUnicode(entry.bytes);
    if (!entry.newLine)
        return (hex && !entry.verdict ? QStringLiteral(" ") : QString()) + data;
    QString lead = LineOptions::stamp(QDateTime::fromMSecsSinceEpoch(entry.arrival).time());
    if (showGap && entry.gap >= 0 && entry.starts)
        lead += QStringLiteral("+%1ms ").arg(entry.gap);
    lead += QStringLiteral("Com %1> ").arg(entry.port);
    if (entry.skipped)
        lead += CaptureLog::skippedMark(language);
    return lead + (entry.verdict ? data.trimmed() : data);
}

// A frame that came in several reads is one row.
QByteArray PortMonitor::csv() const
{
    QList<QStringList> rows{{tr("时间"), tr("端口"), tr("16进制"), tr("文本"), tr("校验")}};
    QHash<qint16, qsizetype> open;   // the row of each port's last frame
    for (const Entry &e : m_log) {
        if (e.verdict) {
            if (open.contains(e.port)) {
                const QByteArray expected = e.verdict->expected.toHex(' ').toUpper();
                rows[open.value(e.port)][4] = CaptureLog::verdictText(e.verdict->good, QString::fromLatin1(expected));
            }
            continue;
        }
        const QString hex = QString::fromLatin1(e.bytes.toHex(' ').toUpper());
        if (!e.starts && open.contains(e.port)) {
            QStringList &row = rows[open.value(e.port)];
            row[2] += QLatin1Char(' ') + hex;
            row[3] += readable(e.bytes);
            continue;
        }
        const QString port = QStringLiteral("Com %1").arg(e.port);
        rows.append({timeOf(e.arrival), e.skipped ? port + tr(" 跳过") : port, hex,
                     readable(e.bytes), QString()});
        open.insert(e.port, rows.size() - 1);
    }
    return CsvTable::write(rows);
}
