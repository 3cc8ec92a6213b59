// Velmora workbench. Licensed under the MIT licence.
#include "capturelog.h"

#include "systemcodepage.h"

#include <uitext.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Blank = QStringLiteral(" ");
const QString DateFormat = QStringLiteral("MM-dd-yyyy");
const QString TimeFormat = QStringLiteral("HH:mm:ss");
const QString FileSuffix = QStringLiteral(".txt");
// The records' labels read the same in every language: peers and scripts parse them.
const QString ModeLead = QStringLiteral("数据收发方式：");
const QString SentLead = QStringLiteral("发送数据：");
const QString ReceivedLead = QStringLiteral("接收数据：");
const char TurnaroundLead[] = QT_TRANSLATE_NOOP("CaptureLog", "应答时间：");
const UiText FrameGood("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", " 〔校验正确〕"));
// %1 is the checksum the frame should have ended in, as hexadecimal pairs.
const UiText FrameBad("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", " 〔校验错误，应为 %1〕"));
const UiText SkippedLead("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "[跳过] "));
const UiText SkippedNote("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", " 跳过"));
const UiText VerdictGood("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "正确"));
// %1 is the checksum the frame should have ended in, as hexadecimal pairs.
const UiText VerdictBad("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "错误，应为 %1"));

// Run-time error numbers of the file system, as the user knows them.
constexpr int PathFileAccessError = 75;
constexpr int DeviceIoError = 57;
const UiText PathFileAccessDescription("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "路径/文件访问错误"));
const UiText DeviceIoDescription("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "设备 I/O 错误"));

// %1 is the capture folder.
const UiText FolderHint("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "错误提示：请检查数据文件夹 %1 是否可以写入、磁盘是否已满！"));
// %1 is the bound in MB, %2 the bytes dropped.
const UiText DroppedNote("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog",
    "\r\n\r\n未能写入的记录已超过 %1 MiB，最早的 %2 字节记录已被丢弃；通讯继续进行。"));
const UiText UnsavedNote("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "\r\n\r\n有 %1 字节的记录未能保存"));
const UiText AlsoDroppedNote("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "，另有 %1 字节的记录已被丢弃"));
const UiText NoteEnd("CaptureLog", QT_TRANSLATE_NOOP("CaptureLog", "。"));

// Memory a long failure made the kept bytes take is given back once they are written.
constexpr qsizetype KeptCapacityToHold = 1024 * 1024;

// The more telling of two outcomes within one call: a failure wins over success.
CaptureLog::WriteStatus worse(CaptureLog::WriteStatus a, CaptureLog::WriteStatus b)
{
    return a == CaptureLog::WriteStatus::Ok ? b : a;
}

} // namespace

QString CaptureLog::fileNameFor(const QDate &date)
{
    return date.toString(DateFormat) + FileSuffix;
}

QString CaptureLog::verdictMark(bool good, const QByteArray &expected, Language language)
{
    const UiText &mark = good ? FrameGood : FrameBad;
    const QString text = language == Language::Capture ? mark.source() : mark.toString();
    return good ? text : text.arg(QString::fromLatin1(expected.toHex(' ').toUpper()));
}

QString CaptureLog::skippedMark(Language language)
{
    return language == Language::Capture ? SkippedLead.source() : SkippedLead.toString();
}

QString CaptureLog::verdictText(bool good, const QString &expected)
{
    return good ? VerdictGood.toString() : VerdictBad.arg(expected);
}

namespace {

struct CapturedRecord
{
    QString time;
    QString direction;
    QString text;
    QString verdict;
    bool received = false;
};

// The marks after checked frames, the expected field captured for a bad one.
const QRegularExpression &verdictMarks()
{
    static const QRegularExpression marks = [] {
        const QStringList bad = FrameBad.source().split(QLatin1String("%1"));
        return QRegularExpression(QRegularExpression::escape(FrameGood.source()) + QLatin1Char('|')
                                  + QRegularExpression::escape(bad.value(0)) + QLatin1String("([0-9A-Fa-f ]*)")
                                  + QRegularExpression::escape(bad.value(1)));
    }();
    return marks;
}

// A received record holds one frame or more, each ended by its verdict mark when it was
// checked: a row for each, its mark taken into the verdict column, its own stamp (a
// later frame's) its time; skipped bytes say so beside their direction. A mark that stands alone (a send was recorded before the
// frame's end) belongs to the last received frame.
QList<CapturedRecord> framesOf(const QList<CapturedRecord> &block, const QString &date)
{
    static const QRegularExpression stamp(QStringLiteral("^\\[(\\d{2}:\\d{2}:\\d{2}\\.\\d{3})\\] "));
    QList<CapturedRecord> frames;
    qsizetype lastReceived = -1;
    for (const CapturedRecord &record : block) {
        if (!record.received) {
            frames.append(record);
            continue;
        }
        const auto add = [&](QString text, const QString &verdict, bool first) {
            if (text.isEmpty() && !verdict.isEmpty()) {
                if (lastReceived >= 0 && frames.at(lastReceived).verdict.isEmpty())
                    frames[lastReceived].verdict = verdict;
                return;
            }
            CapturedRecord frame = record;
            const QRegularExpressionMatch stamped = stamp.match(text);
            if (!first && stamped.hasMatch()) {
                frame.time = date + Blank + stamped.captured(1);
                text = text.mid(stamped.capturedLength());
            }
            // Bytes of no frame, which a length rule skipped.
            if (text.startsWith(SkippedLead.source())) {
                text = text.mid(SkippedLead.source().size());
                frame.direction += SkippedNote.toString();
            }
            frame.text = text;
            frame.verdict = verdict;
            frames.append(frame);
            lastReceived = frames.size() - 1;
        };
        qsizetype from = 0;
        QRegularExpressionMatchIterator marks = verdictMarks().globalMatch(record.text);
        while (marks.hasNext()) {
            const QRegularExpressionMatch mark = marks.next();
            add(record.text.mid(from, mark.capturedStart() - from),
                CaptureLog::verdictText(!mark.hasCaptured(1), mark.captured(1)), from == 0);
            from = mark.capturedEnd();
        }
        const QString rest = record.text.mid(from);
        static const QRegularExpression lineEnd(QStringLiteral("^[\\r\\n]+$"));
        // A frame's own line break after its mark stays its own.
        if (from > 0 && lastReceived >= 0 && lineEnd.match(rest).hasMatch())
            frames[lastReceived].text += rest;
        else if (from == 0 || !rest.isEmpty())
            add(rest, QString(), from == 0);
    }
    return frames;
}

// A block is hexadecimal when every record of it reads as pairs: the file does not say
// which format a block was captured in, and one text record decides it is text.
void addBlockRows(QList<QStringList> &rows, const QList<CapturedRecord> &records)
{
    static const QRegularExpression hexPairs(QStringLiteral("^[0-9A-F]{2}( ?[0-9A-F]{2})*$"));
    const bool hex = !records.isEmpty()
        && std::all_of(records.begin(), records.end(), [](const CapturedRecord &record) {
               return hexPairs.match(record.text).hasMatch();
           });
    for (const CapturedRecord &record : records) {
        const QByteArray bytes = hex ? QByteArray::fromHex(record.text.toLatin1())
                                     : SystemCodePage::fromUnicode(record.text);
        rows.append({record.time, record.direction, QString::fromLatin1(bytes.toHex(' ').toUpper()),
                     hex ? SystemCodePage::toUnicode(bytes) : record.text, record.verdict});
    }
}

} // namespace

QList<QStringList> CaptureLog::tableOf(const QString &captureText)
{
    static const QRegularExpression blockStart(QStringLiteral("^(\\d{2}-\\d{2}-\\d{4}) (\\d{2}:\\d{2}:\\d{2})$"));
    static const QRegularExpression ports(QStringLiteral("Com (\\d+) \\S+ .*Com (\\d+) "));
    static const QRegularExpression stamp(QStringLiteral("^\\[(\\d{2}:\\d{2}:\\d{2}\\.\\d{3})\\] "));
    QList<QStringList> rows{{QCoreApplication::translate("CaptureLog", "时间"),
                             QCoreApplication::translate("CaptureLog", "方向"),
                             QCoreApplication::translate("CaptureLog", "16进制"),
                             QCoreApplication::translate("CaptureLog", "文本"),
                             QCoreApplication::translate("CaptureLog", "校验")}};
    QString date;
    QString time;
    QString outPort;
    QString inPort;
    QList<CapturedRecord> block;
    for (const QString &line : captureText.split(CRLF)) {
        const QRegularExpressionMatch blockMatch = blockStart.match(line);
        if (blockMatch.hasMatch()) {
            // The empty line before a block header is the header's.
            if (!block.isEmpty() && block.last().text.endsWith(CRLF))
                block.last().text.chop(CRLF.size());
            addBlockRows(rows, framesOf(block, date));
            block.clear();
            date = blockMatch.captured(1);
            time = blockMatch.captured(2);
            continue;
        }
        const bool sent = line.startsWith(SentLead);
        if (!sent && !line.startsWith(ReceivedLead)) {
            const QRegularExpressionMatch portsMatch = ports.match(line);
            if (block.isEmpty() && portsMatch.hasMatch()) {
                outPort = portsMatch.captured(1);
                inPort = portsMatch.captured(2);
            } else if (!block.isEmpty()) {
                block.last().text += CRLF + line;   // a text record that held a line break
            }
            continue;
        }
        CapturedRecord record{date + Blank + time, QString(), line.mid((sent ? SentLead : ReceivedLead).size()),
                              QString(), !sent};
        const QRegularExpressionMatch stamped = stamp.match(record.text);
        if (!sent && stamped.hasMatch()) {
            record.time = date + Blank + stamped.captured(1);
            record.text = record.text.mid(stamped.capturedLength());
        }
        const QString port = QStringLiteral("Com ") + (sent ? outPort : inPort);
        record.direction = sent ? QCoreApplication::translate("CaptureLog", "发送 %1").arg(port)
                                : QCoreApplication::translate("CaptureLog", "接收 %1").arg(port);
        block.append(record);
    }
    addBlockRows(rows, framesOf(block, date));
    return rows;
}

void CaptureLog::setFile(const QString &folder, const QString &fileName)
{
    m_folder = folder;
    m_fileName = fileName;
}

QString CaptureLog::filePath() const
{
    return m_folder + QLatin1Char('/') + m_fileName;
}

CaptureLog::WriteStatus CaptureLog::addHeader(const CaptureHeader &header, const QDateTime &now)
{
    // Records left from an earlier block (a single send is not written out at once)
    // reach the file before the new block starts.
    const WriteStatus earlier = writeKept(false);
    startRecord(RecordHeader);
    m_pending += CRLF + CRLF + now.toString(DateFormat) + Blank + now.toString(TimeFormat)
        + CRLF + ModeLead + header.modeName
        + CRLF + header.outPortCaption + Blank + header.outSettings
        + Blank + header.inPortCaption + Blank + header.inSettings;
    return worse(earlier, recordAdded());
}

CaptureLog::WriteStatus CaptureLog::addSent(const QString &text)
{
    startRecord(RecordSent);
    m_pending += CRLF + SentLead + text;
    return recordAdded();
}

CaptureLog::WriteStatus CaptureLog::addReceived(const QString &text, bool newRecord)
{
    const bool continued = m_lastKind == RecordReceived && !newRecord;
    startRecord(RecordReceived);
    if (!continued) {
        m_pending += CRLF;
        m_pending += ReceivedLead;
    }
    m_pending += text;
    return recordAdded();
}

CaptureLog::WriteStatus CaptureLog::addFooter(const QString &turnaround)
{
    startRecord(RecordFooter);
    m_pending += CRLF + QString::fromUtf8(TurnaroundLead) + turnaround;
    return recordAdded();
}

CaptureLog::WriteStatus CaptureLog::addReceivedFrames(const QStringList &texts, const QList<bool> &starts)
{
    const bool continued = m_lastKind == RecordReceived;
    startRecord(RecordReceived);
    for (qsizetype k = 0; k < texts.size(); ++k) {
        if (starts.value(k) || (k == 0 && !continued)) {
            m_pending += CRLF;
            m_pending += ReceivedLead;
        }
        m_pending += texts.at(k);
    }
    return recordAdded();
}

// Every piece added counts as a record when kept records are dropped, so that a long
// stream of received data is dropped piece by piece and never cut inside a character.
void CaptureLog::startRecord(RecordKind kind)
{
    m_pendingStarts.append(m_pending.size());
    m_lastKind = kind;
}

CaptureLog::WriteStatus CaptureLog::recordAdded()
{
    ++m_count;
    const bool due = m_count >= RecordsPerWrite || m_pending.size() >= CharactersPerWrite;
    return due ? writeKept(false) : WriteStatus::Ok;
}

CaptureLog::WriteStatus CaptureLog::flush()
{
    return writeKept(true);
}

CaptureLog::WriteStatus CaptureLog::writeKept(bool reportUnsaved)
{
    m_count = 0;
    encodePending();
    if (m_kept.isEmpty())
        return WriteStatus::Ok;
    if (write()) {
        m_failing = false;
        m_dropReported = false;
        m_dropped = 0;
        return WriteStatus::Ok;
    }
    const bool firstFailure = !m_failing;
    m_failing = true;
    m_droppedNow = dropOldestRecords();
    m_dropped += m_droppedNow;
    const bool firstDrop = m_droppedNow > 0 && !m_dropReported;
    if (!reportUnsaved && !firstFailure && !firstDrop)
        return WriteStatus::StillFailing;
    m_unsavedReport = reportUnsaved;
    m_dropReported = m_dropReported || m_droppedNow > 0;
    return WriteStatus::Failed;
}

// Only what was added since the last attempt is encoded; the bytes of earlier records
// wait as they are.
void CaptureLog::encodePending()
{
    m_pendingStarts.append(m_pending.size());
    for (qsizetype i = 0; i + 1 < m_pendingStarts.size(); ++i) {
        m_keptStarts.append(m_kept.size());
        const qsizetype from = m_pendingStarts.at(i);
        SystemCodePage::appendFromUnicode(
            QStringView(m_pending).mid(from, m_pendingStarts.at(i + 1) - from), m_kept);
    }
    m_pending.truncate(0);
    m_pendingStarts.clear();
}

// Drops whole records from the front until the kept bytes fit the bound again; the
// newest record stays, however long. Returns the bytes dropped.
qint64 CaptureLog::dropOldestRecords()
{
    if (m_kept.size() <= m_keptLimit)
        return 0;
    qsizetype first = 0;
    while (first + 1 < m_keptStarts.size() && m_kept.size() - m_keptStarts.at(first) > m_keptLimit)
        ++first;
    const qsizetype cut = m_keptStarts.at(first);
    m_kept.remove(0, cut);
    m_keptStarts.remove(0, first);
    for (qsizetype &start : m_keptStarts)
        start -= cut;
    return cut;
}

bool CaptureLog::write()
{
    QFile file(filePath());
    // A link in place of the file is refused: it could name any file of the user.
    // Unbuffered, so that nothing of a failed write is left to reach the file at close.
    if (QFileInfo(filePath()).isSymLink() || !QDir().mkpath(m_folder)
        || !file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_errorNumber = PathFileAccessError;
        m_errorDescription = PathFileAccessDescription;
        return false;
    }
    const qint64 sizeBefore = file.size();
    if (file.write(m_kept) != m_kept.size() || !file.flush()) {
        // The whole buffer is written again next time; a partial copy would double it.
        file.resize(sizeBefore);
        m_errorNumber = DeviceIoError;
        m_errorDescription = DeviceIoDescription;
        return false;
    }
    if (m_kept.capacity() > KeptCapacityToHold)
        m_kept = QByteArray();
    else
        m_kept.truncate(0);
    m_keptStarts.clear();
    return true;
}

QString CaptureLog::buffer() const
{
    return SystemCodePage::toUnicode(m_kept) + m_pending;
}

qint64 CaptureLog::unsavedBytes() const
{
    return m_kept.size() + SystemCodePage::fromUnicode(m_pending).size();
}

QString CaptureLog::failureHint() const
{
    QString hint = FolderHint.arg(QDir::toNativeSeparators(m_folder));
    if (m_unsavedReport) {
        hint += UnsavedNote.arg(unsavedBytes());
        if (m_dropped > 0)
            hint += AlsoDroppedNote.arg(m_dropped);
        hint += NoteEnd;
    } else if (m_droppedNow > 0) {
        hint += DroppedNote.arg(m_keptLimit / (1024 * 1024)).arg(m_droppedNow);
    }
    return hint;
}
