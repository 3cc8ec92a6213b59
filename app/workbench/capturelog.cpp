// Velmora workbench. Licensed under the MIT licence.
#include "capturelog.h"

#include "systemcodepage.h"

#include <QDir>
#include <QFile>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Blank = QStringLiteral(" ");
const QString DateFormat = QStringLiteral("MM-dd-yyyy");
const QString TimeFormat = QStringLiteral("HH:mm:ss");
const QString FileSuffix = QStringLiteral(".txt");
const QString ModeLead = QStringLiteral("数据收发方式：");
const QString SentLead = QStringLiteral("发送数据：");
const QString ReceivedLead = QStringLiteral("接收数据：");

// Run-time error numbers of the file system, as the user knows them.
constexpr int PathFileAccessError = 75;
constexpr int DeviceIoError = 57;
const QString PathFileAccessDescription = QStringLiteral("路径/文件访问错误");
const QString DeviceIoDescription = QStringLiteral("设备 I/O 错误");

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
    const WriteStatus earlier = flush();
    m_buffer += CRLF + CRLF + now.toString(DateFormat) + Blank + now.toString(TimeFormat)
        + CRLF + ModeLead + header.modeName
        + CRLF + header.outPortCaption + Blank + header.outSettings
        + Blank + header.inPortCaption + Blank + header.inSettings;
    return worse(earlier, recordAdded(RecordHeader));
}

CaptureLog::WriteStatus CaptureLog::addSent(const QString &text)
{
    m_buffer += CRLF + SentLead + text;
    return recordAdded(RecordSent);
}

CaptureLog::WriteStatus CaptureLog::addReceived(const QString &text)
{
    if (m_lastKind != RecordReceived) {
        m_buffer += CRLF;
        m_buffer += ReceivedLead;
    }
    m_buffer += text;
    return recordAdded(RecordReceived);
}

CaptureLog::WriteStatus CaptureLog::recordAdded(RecordKind kind)
{
    m_lastKind = kind;
    ++m_count;
    return m_count >= RecordsPerWrite ? flush() : WriteStatus::Ok;
}

CaptureLog::WriteStatus CaptureLog::flush()
{
    m_count = 0;
    if (m_buffer.isEmpty())
        return WriteStatus::Ok;
    return outcome(write());
}

bool CaptureLog::write()
{
    QFile file(filePath());
    if (!QDir().mkpath(m_folder) || !file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        m_errorNumber = PathFileAccessError;
        m_errorDescription = PathFileAccessDescription;
        return false;
    }
    const qint64 sizeBefore = file.size();
    m_encoded.resize(0);
    SystemCodePage::appendFromUnicode(m_buffer, m_encoded);
    if (file.write(m_encoded) != m_encoded.size() || !file.flush()) {
        // The whole buffer is written again next time; a partial copy would double it.
        file.resize(sizeBefore);
        m_errorNumber = DeviceIoError;
        m_errorDescription = DeviceIoDescription;
        return false;
    }
    // Both buffers keep their memory: under a stream they fill up again at once.
    m_buffer.truncate(0);
    return true;
}

CaptureLog::WriteStatus CaptureLog::outcome(bool written)
{
    if (written) {
        m_failing = false;
        return WriteStatus::Ok;
    }
    if (m_failing)
        return WriteStatus::StillFailing;
    m_failing = true;
    return WriteStatus::Failed;
}
