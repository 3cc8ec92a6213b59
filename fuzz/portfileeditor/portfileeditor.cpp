// Velmora fuzz targets. Licensed under the MIT licence.
// The port map window's editor of ports.ini on any file: one port's entry set or removed,
// the rest of the file kept line for line, its line endings included.
#include "fuzzcheck.h"

#include <portfileeditor.h>
#include <portmap.h>
#include <systemcodepage.h>

#include <QStringList>

namespace {

const QChar CR = QLatin1Char('\r');

// The lines that are not entries of the port, as the reader sees them: without the CR of
// a CR LF ending, and without the empty lines at the end.
QStringList otherLines(const QString &text, int port)
{
    QStringList kept;
    for (QString line : text.split(QLatin1Char('\n'))) {
        const PortMap::Line read = PortMap::readLine(line);
        if (read.kind == PortMap::Line::Entry && read.port == port)
            continue;
        if (line.endsWith(CR))
            line.chop(1);
        kept << line;
    }
    while (!kept.isEmpty() && kept.last().isEmpty())
        kept.removeLast();
    return kept;
}

// Every line break is CR LF, and there is one.
bool allCrLf(const QString &text)
{
    const qsizetype breaks = text.count(QLatin1Char('\n'));
    return breaks > 0 && text.count(QStringLiteral("\r\n")) == breaks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const bool remove = input.byte() & 1;
    const int port = PortMap::FirstPort + input.byte() % PortMap::LastPort;
    const QString device = SystemCodePage::toUnicode(input.bytes(input.byte() % 24));
    const QString text = SystemCodePage::toUnicode(input.rest());

    PortFileEditor editor(text);
    FUZZ_CHECK(editor.text() == text);
    if (!remove && !PortFileEditor::isWritable(device))
        return 0;
    if (remove)
        editor.removeEntry(port);
    else
        editor.setEntry(port, device);
    const QString changed = editor.text();

    FUZZ_CHECK(editor.entry(port) == (remove ? QString() : device));
    const PortFileEditor before(text);
    for (int other = PortMap::FirstPort; other <= PortMap::LastPort; ++other) {
        if (other != port)
            FUZZ_CHECK(editor.entry(other) == before.entry(other));
    }
    // What the program reads from the file agrees with the editor.
    PortMap read;
    read.applyOverrides(changed);
    PortMap old;
    old.applyOverrides(text);
    for (int other = PortMap::FirstPort; other <= PortMap::LastPort; ++other) {
        const QString expected = other != port ? old.device(other) : remove ? PortMap().device(port) : device;
        FUZZ_CHECK(read.device(other) == expected);
    }

    FUZZ_CHECK(otherLines(changed, port) == otherLines(text, port));
    FUZZ_CHECK(changed.count(QStringLiteral("\r\r")) <= text.count(QStringLiteral("\r\r")));
    if (allCrLf(text))
        FUZZ_CHECK(allCrLf(changed) || !changed.contains(QLatin1Char('\n')));
    if (!text.contains(CR))
        FUZZ_CHECK(!changed.contains(CR));

    // Once is enough: doing it again changes nothing.
    PortFileEditor again(changed);
    if (remove)
        again.removeEntry(port);
    else
        again.setEntry(port, device);
    FUZZ_CHECK(again.text() == changed);
    return 0;
}
