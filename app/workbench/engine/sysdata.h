// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The settings record that survives between runs in sysdata.dat; the only place that
// knows its byte layout (38 + L1 + L2 bytes, little-endian, texts with 16-bit counts).
class SysData
{
public:
    qint16 OutPort = 0;
    qint16 InPort = 0;
    qint16 IOState = 0;
    qint16 OutSetB = 0;
    qint16 OutSetD = 0;
    qint16 OutSetP = 0;
    qint16 OutSetS = 0;
    qint16 OutHand = 0;
    qint16 InSetB = 0;
    qint16 InSetD = 0;
    qint16 InSetP = 0;
    qint16 InSetS = 0;
    qint16 InHand = 0;
    qint16 ComFormat = 0;
    qint16 ComAuto = 0;
    qint16 ComTime = 0;
    QString OutCommand;
    QString InCommand;
    qint16 SaveInfo = 0;

    // Longest text the record stores, in code-page bytes; longer texts are cut at a
    // character boundary so that every reader of the 16-bit count agrees on it.
    static constexpr int MaxTextBytes = 32767;

    // Fields wholly behind the end read 0 or empty; a text cut short by the end keeps
    // the bytes that are there.
    static SysData fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    // Opens the file for reading and writing, creating it empty when missing. A file
    // that cannot be opened, or a symbolic link, gives the defaults and *ok = false.
    static SysData load(const QString &path, bool *ok = nullptr);
    // Writes the record at offset 0; a longer file keeps its tail. Refuses a symbolic
    // link; the file is replaced whole, never left half written.
    bool save(const QString &path) const;

    bool operator==(const SysData &other) const;
    bool operator!=(const SysData &other) const { return !(*this == other); }
};
