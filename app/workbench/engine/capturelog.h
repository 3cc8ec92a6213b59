// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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
// that fails keeps the records, already encoded, for the next write; each record is
// encoded once however often its write is tried. While writes fail the kept bytes are
// bounded: past the bound the oldest whole records are dropped.
class CaptureLog
{
public:
    enum RecordKind : qint16 { RecordHeader = 1, RecordSent = 2, RecordReceived = 3, RecordFooter = 4 };

    // Failed: tell the user now; failureHint() says what happened. That is the first
    // failure after writes worked, the first loss of records to the bound, and every
    // flush() that leaves records unsaved.
    // StillFailing: writes keep failing and the user has been told already.
    enum class WriteStatus { Ok, Failed, StillFailing };

    static constexpr int RecordsPerWrite = 256;
    // Records are written sooner once they hold this many characters: a fast line gives
    // a few large records rather than many small ones, and they need not pile up.
    static constexpr qsizetype CharactersPerWrite = 1024 * 1024;
    static constexpr qsizetype DefaultKeptLimit = qsizetype(64) * 1024 * 1024;

    // How a view of the traffic shows what it says: in the window's language, or as the
    // capture keeps it, in Chinese like its other labels, for peers and scripts that read it.
    enum class Language { Window, Capture };

    // "mm-dd-yyyy.txt"
    static QString fileNameFor(const QDate &date);
    // The mark after a frame whose checksum was checked: " 〔校验正确〕", or
    // " 〔校验错误，应为 68 5B〕" with the field it should have ended in.
    static QString verdictMark(bool good, const QByteArray &expected, Language language);
    // The lead of bytes that belong to no frame of a length rule: "[跳过] ".
    static QString skippedMark(Language language);
    // A capture file's records as the rows of a table: time (the block's, or a record's
    // own stamp on the block's day), direction and port, hexadecimal bytes, text, and the
    // checksum verdict of a checked frame. Hexadecimal records keep their pairs; text
    // records give the bytes of their text in the system code page.
    static QList<QStringList> tableOf(const QString &captureText);
    // The verdict column's text for a frame's mark, in the window's language.
    static QString verdictText(bool good, const QString &expected);

    // The file is folder + "/" + fileName; the folder is created when missing.
    void setFile(const QString &folder, const QString &fileName);
    QString filePath() const;

    // Encoded bytes kept while the file cannot be written.
    void setKeptLimit(qsizetype bytes) { m_keptLimit = bytes; }

    WriteStatus addHeader(const CaptureHeader &header, const QDateTime &now);
    WriteStatus addSent(const QString &text);
    // Received data continues the last received record unless `newRecord` (a frame).
    WriteStatus addReceived(const QString &text, bool newRecord = false);
    // The frames of one read as one record, so that a fast line of short frames is
    // written as seldom as without frames: each text whose `starts` is set begins a
    // received line of its own, the others continue the line before.
    WriteStatus addReceivedFrames(const QStringList &texts, const QList<bool> &starts);
    // The block's closing figures: the far end's turnaround.
    WriteStatus addFooter(const QString &turnaround);

    // Appends the buffer to the file and empties it; an empty buffer touches nothing.
    // Called when communication stops and when the window closes, so records it cannot
    // write are always reported.
    WriteStatus flush();

    // The records not yet in the file.
    QString buffer() const;
    int count() const { return m_count; }
    // Bytes not yet in the file, and bytes dropped since writes last worked.
    qint64 unsavedBytes() const;
    qint64 droppedBytes() const { return m_dropped; }

    // The last failure, as a run-time error number, a description and the hint line
    // that tells the user where and what was lost.
    int errorNumber() const { return m_errorNumber; }
    QString errorDescription() const { return m_errorDescription; }
    QString failureHint() const;

private:
    void startRecord(RecordKind kind);
    WriteStatus recordAdded();
    WriteStatus writeKept(bool reportUnsaved);
    void encodePending();
    qint64 dropOldestRecords();
    bool write();

    QString m_folder;
    QString m_fileName;
    QString m_pending;                  // records since the last encoding
    QList<qsizetype> m_pendingStarts;   // where records begin in m_pending
    QByteArray m_kept;                  // encoded, not yet in the file
    QList<qsizetype> m_keptStarts;      // where records begin in m_kept
    qsizetype m_keptLimit = DefaultKeptLimit;
    int m_count = 0;
    RecordKind m_lastKind = RecordKind(0);
    bool m_failing = false;
    bool m_dropReported = false;
    qint64 m_dropped = 0;
    qint64 m_droppedNow = 0;
    bool m_unsavedReport = false;
    int m_errorNumber = 0;
    QString m_errorDescription;
};
