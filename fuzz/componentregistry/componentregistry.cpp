// Velmora fuzz targets. Licensed under the MIT licence.
// The component registry reader on any file, and its rewrite keeping foreign lines.
#include "fuzzcheck.h"

#include <componentregistry.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

using Component::ComponentRegistry;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir home;
    static const bool ready = [] {
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
        return QDir().mkpath(QFileInfo(ComponentRegistry::filePath()).absolutePath());
    }();
    FUZZ_CHECK(ready);
    const QString path = ComponentRegistry::filePath();
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QList<ComponentRegistry::Entry> entries = ComponentRegistry::entries();
    for (const ComponentRegistry::Entry &entry : entries) {
        FUZZ_CHECK(!entry.identifier.isEmpty());
        FUZZ_CHECK(ComponentRegistry::find(entry.identifier).has_value());
    }

    // Adding and removing an identifier of its own leaves every other line as it was.
    const QString own = QStringLiteral("FuzzOwn.Control");
    FUZZ_CHECK(ComponentRegistry::add({{own, QStringLiteral("/lib/own.so"), QStringLiteral("own")}}));
    FUZZ_CHECK(ComponentRegistry::find(own).has_value());
    FUZZ_CHECK(ComponentRegistry::remove({own}));
    FUZZ_CHECK(!ComponentRegistry::find(own).has_value());
    FUZZ_CHECK(ComponentRegistry::entries().size() == entries.size());
    const QByteArray after = fileBytes(path);
    QByteArray normalised = content;
    if (!normalised.isEmpty() && !normalised.endsWith('\n'))
        normalised += '\n';
    // Carriage returns are read as part of the line end, and a damaged line of the own
    // identifier goes with it.
    if (!content.contains('\r') && !content.toLower().contains(own.toLower().toUtf8()))
        FUZZ_CHECK(after == normalised);
    return 0;
}
