// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "protocolset.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The file of the command list, the answer rules and the sequence: JSON, readable and
// editable by hand, shared by export and import. A file that does not parse names its
// line and the reason; the set it held is never replaced by an empty one.
class ProtocolFile
{
public:
    // Beside velmora.ini.
    static constexpr const char *FileName = "velmora-protocol.json";
    static constexpr int Version = 1;

    struct Parsed
    {
        std::optional<ProtocolSet> set;
        int line = 0;               // where the fault is, from 1; 0 when unknown
        QString reason;
    };

    static QByteArray toJson(const ProtocolSet &set);
    static Parsed parse(const QByteArray &bytes);
};

// The file the program keeps its set in. It writes the file only over what it last read
// or wrote itself: a file that did not parse, or that another program changed since,
// stays as it is rather than being overwritten with less than it held. Writes are atomic.
class ProtocolStore
{
public:
    enum class Result { Done, Missing, Unreadable, Changed, SymbolicLink, ReadOnly, Failed };

    explicit ProtocolStore(const QString &path = {}) : m_path(path) {}
    QString path() const { return m_path; }

    // A missing file is an empty set (Missing); a file that does not parse leaves `set`
    // empty, says why in `problem`, and blocks saving until it parses or is gone.
    Result load(ProtocolSet *set, ProtocolFile::Parsed *problem = nullptr);
    Result save(const ProtocolSet &set);

private:
    QString m_path;
    std::optional<QByteArray> m_known;  // the file's bytes as last read or written
};
