// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The lines that make up the header of a capture block.
struct CaptureHeader
{
    QString modeName;        // text of the transfer-mode list
    QString outPortCaption;  // "数据发送端口：Com 1"
    QString outSettings;     // "9600,N,8,1"
    QString inPortCaption;
    QString inSettings;
};

// The capture buffer of the traffic and the day's capture file it is appended to.
// A header first writes out what the buffer still holds, so no block is lost. A write
// that fails keeps the buffer for the next write and is reported once.
class CaptureLog
{
public:
    enum RecordKind : qint16 { RecordHeader = 1, RecordSent = 2, RecordReceived = 3 };

    // Failed: this write failed after the last one succeeded (tell the user).
    // StillFailing: writes keep failing and the user has been told already.
    enum class WriteStatus { Ok, Failed, StillFailing };

    static constexpr int RecordsPerWrite = 256;

    // "mm-dd-yyyy.txt"
    static QString fileNameFor(const QDate &date);

    // The file is folder + "/" + fileName; the folder is created when missing.
    void setFile(const QString &folder, const QString &fileName);
    QString filePath() const;

    WriteStatus addHeader(const CaptureHeader &header, const QDateTime &now);
    WriteStatus addSent(const QString &text);
    WriteStatus addReceived(const QString &text);

    // Appends the buffer to the file and empties it; an empty buffer touches nothing.
    WriteStatus flush();

    QString buffer() const { return m_buffer; }
    int count() const { return m_count; }

    // The last failure, as a run-time error number and description.
    int errorNumber() const { return m_errorNumber; }
    QString errorDescription() const { return m_errorDescription; }

private:
    WriteStatus recordAdded(RecordKind kind);
    bool write();
    WriteStatus outcome(bool written);

    QString m_folder;
    QString m_fileName;
    QString m_buffer;
    QByteArray m_encoded;
    int m_count = 0;
    RecordKind m_lastKind = RecordKind(0);
    bool m_failing = false;
    int m_errorNumber = 0;
    QString m_errorDescription;
};
