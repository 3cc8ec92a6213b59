// Velmora fuzz targets. Licensed under the MIT licence.
// The line window's options: a custom baud rate as typed, and velmora.ini as anyone may
// have left it. A rate the check takes is one a port takes in its settings string; the
// file always loads to options within range, which save and load back unchanged.
#include "fuzzcheck.h"

#include <commandcodec.h>
#include <lineoptions.h>
#include <linesettings.h>

#include <QTemporaryDir>

namespace {

void checkBaud(const QString &typed)
{
    const LineOptions::BaudProblem problem = LineOptions::checkBaud(typed);
    FUZZ_CHECK((problem == LineOptions::BaudProblem::None) == LineOptions::baudRefusal(problem).isEmpty());
    if (problem != LineOptions::BaudProblem::None || typed.isEmpty())
        return;
    const LineSettings line = LineSettings::parse(LineOptions::withBaud(QStringLiteral("9600,N,8,1"), typed));
    FUZZ_CHECK(line.baudRate >= LineOptions::LowestBaud && line.baudRate <= LineOptions::HighestBaud);
    FUZZ_CHECK(line.baudRate == typed.toInt());
}

void checkFile(const QByteArray &content)
{
    // A file of its own each time: QSettings keeps what it read of a path and could take
    // a file rewritten within the same millisecond for the one it knows.
    static QTemporaryDir folder;
    static int run = 0;
    const QString path = folder.filePath(QStringLiteral("velmora-%1.ini").arg(++run));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const LineOptions loaded = LineOptions::load(path);
    FUZZ_CHECK(loaded.lineEnd >= LineOptions::EndNone && loaded.lineEnd <= LineOptions::EndCRLF);
    for (const QString &baud : {loaded.outBaud, loaded.inBaud}) {
        FUZZ_CHECK(LineOptions::checkBaud(baud) == LineOptions::BaudProblem::None);
        FUZZ_CHECK(baud.size() <= content.size());
    }
    FUZZ_CHECK(loaded.lineEndFor(CommandCodec::FormatHex).isEmpty());
    FUZZ_CHECK(loaded.lineEndFor(CommandCodec::FormatText).size() <= 2);

    QFile::remove(path);
    FUZZ_CHECK(loaded.save(path));
    FUZZ_CHECK(LineOptions::load(path) == loaded);
    QFile::remove(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    checkBaud(QString::fromUtf8(content));
    checkFile(content);
    return 0;
}
