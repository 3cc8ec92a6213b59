// Velmora fuzz targets. Licensed under the MIT licence.
// Capture records of any kind and text: the buffer holds them as formatted, and what
// reaches the file is the buffer in the system code page, nothing more or less.
#include "fuzzcheck.h"

#include <capturelog.h>
#include <systemcodepage.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QDateTime now(QDate(2004, 12, 6), QTime(22, 11, 1));
    FuzzInput input(data, size);
    CaptureLog log;
    log.setFile(folder.path(), QStringLiteral("capture.txt"));
    QFile::remove(log.filePath());
    // Every record as the file format has it, written independently of the log.
    QString all;
    int lastKind = 0;
    while (!input.atEnd()) {
        const int kind = input.byte() % 4;
        // Texts as the receive path gives them: decoded, so never half a character.
        const QString text = QString::fromUtf8(input.bytes(input.byte() % 32));
        switch (kind) {
        case 0:
            FUZZ_CHECK(log.addHeader({text, text, text, text, text}, now) == CaptureLog::WriteStatus::Ok);
            all += QStringLiteral("\r\n\r\n12-06-2004 22:11:01\r\n数据收发方式：") + text
                + QStringLiteral("\r\n") + QStringList(4, text).join(QLatin1Char(' '));
            break;
        case 1:
            FUZZ_CHECK(log.addSent(text) == CaptureLog::WriteStatus::Ok);
            all += QStringLiteral("\r\n发送数据：") + text;
            break;
        case 2:
            FUZZ_CHECK(log.addReceived(text) == CaptureLog::WriteStatus::Ok);
            all += (lastKind == 2 ? QString() : QStringLiteral("\r\n接收数据：")) + text;
            break;
        default:
            FUZZ_CHECK(log.flush() == CaptureLog::WriteStatus::Ok);
            FUZZ_CHECK(log.buffer().isEmpty() && log.count() == 0);
            break;
        }
        if (kind != 3)
            lastKind = kind;
        FUZZ_CHECK(SystemCodePage::fromUnicode(all).endsWith(SystemCodePage::fromUnicode(log.buffer())));
    }
    FUZZ_CHECK(log.flush() == CaptureLog::WriteStatus::Ok);
    FUZZ_CHECK(log.unsavedBytes() == 0);
    FUZZ_CHECK(fileBytes(log.filePath()) == SystemCodePage::fromUnicode(all));
    return 0;
}
