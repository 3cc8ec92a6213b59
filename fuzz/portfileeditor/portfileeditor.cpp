// Velmora fuzz targets. Licensed under the MIT licence.
// The ports.ini editor on any file: setting a port's entry gives the port that device
// and no other port another one, removing it leaves the port without an entry, every
// other line stays as it was, no line ending is doubled or lost, and the file grows by
// no more than the one entry line.
#include "fuzzcheck.h"

#include <portfileeditor.h>
#include <portmap.h>

namespace {

QStringList entries(const PortFileEditor &editor)
{
    QStringList devices;
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port)
        devices << editor.entry(port);
    return devices;
}

// Lines that are no entry of `port`, in order: what an edit of the port keeps as it was
// (a line's CR aside, as the last one may gain its LF).
QStringList otherLines(const QString &text, int port)
{
    QStringList kept;
    for (QString line : text.split(QLatin1Char('\n'))) {
        const PortMap::Line read = PortMap::readLine(line);
        if (read.kind == PortMap::Line::Entry && read.port == port)
            continue;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            kept << line;
    }
    return kept;
}

bool onlyCrLf(const QString &text)
{
    return text.count(QLatin1Char('\n')) == text.count(QStringLiteral("\r\n"));
}

void checkEdit(const QString &text, int port, const QString &device)
{
    const PortFileEditor before(text);
    PortFileEditor editor(text);
    if (device.isEmpty())
        editor.removeEntry(port);
    else
        editor.setEntry(port, device);
    const QString after = editor.text();

    QStringList wanted = entries(before);
    wanted[port - PortMap::FirstPort] = device;
    FUZZ_CHECK(entries(editor) == wanted);
    FUZZ_CHECK(otherLines(after, port) == otherLines(text, port));
    FUZZ_CHECK(after.count(QStringLiteral("\r\r")) <= text.count(QStringLiteral("\r\r")));
    if (onlyCrLf(text) && text.contains(QLatin1Char('\n')))
        FUZZ_CHECK(onlyCrLf(after));
    const qsizetype entryLine = QStringLiteral("COM%1=").arg(port).size() + device.size() + 2;
    FUZZ_CHECK(after.size() <= text.size() + entryLine + 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int port = PortMap::FirstPort + input.byte() % PortMap::LastPort;
    const QString device = QString::fromUtf8(input.bytes(input.byte() % 32));
    const QString text = QString::fromUtf8(input.rest());
    if (!device.isEmpty() && !PortFileEditor::isWritable(device))
        return 0;
    checkEdit(text, port, device);
    return 0;
}
