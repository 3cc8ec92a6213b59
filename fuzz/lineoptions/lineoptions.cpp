// Velmora fuzz targets. Licensed under the MIT licence.
// The line window's options: a custom baud rate as typed, and velmora.ini as anyone may
// have left it. A rate the check takes is one a port takes in its settings string; the
// file always loads to options within range, which save and load back unchanged, saved
// over the file as it was or into a new one.
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
    static QTemporaryDir folder;
    const QString path = LineOptions::filePath(folder.path());
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
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

    // Saved over the file as it was, and into a fresh one.
    FUZZ_CHECK(loaded.save(path));
    FUZZ_CHECK(LineOptions::load(path) == loaded);
    QFile::remove(path);
    FUZZ_CHECK(loaded.save(path));
    FUZZ_CHECK(LineOptions::load(path) == loaded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    checkBaud(QString::fromUtf8(content));
    checkFile(content);
    return 0;
}
