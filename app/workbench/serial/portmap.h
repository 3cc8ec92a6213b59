// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>

// Which device each port number 1 to 16 reaches: the platform's built-in names,
// overridden line by line ("COM<n>=<device path>", or a network line "COM<n>=rfc2217://host:port"
// or "COM<n>=tcp://host:port") by ports.ini in the user's folder or
// else the program folder, where the platform allows it. Port numbers outside 1 to 16 reach nothing. A scan reads
// the file once and asks the one map about every port.
class PortMap
{
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 16;

    // The program folder whose ports.ini is read; the program's own folder until set.
    static void setFolder(const QString &folder);
    // A user's own folder whose ports.ini, when there, is read instead; none until set.
    static void setUserFolder(const QString &folder);
    // The ports.ini that is read: the user's where there is one, else the program folder's.
    static QString fileName();
    // The ports.ini a change is written to: the user's where the user has a folder of
    // their own (the program folder is then not theirs to write), else the program folder's.
    static QString writableFileName();

    // The built-in names with the overrides of the program folder's ports.ini; each
    // malformed line is named on standard error, once per run.
    static PortMap load();

    // What one line of ports.ini says. An entry's comment is what follows its device,
    // with the blank before it ("COM3=/dev/ttyUSB0 ; bench PSU" has " ; bench PSU").
    struct Line
    {
        enum Kind { Ignored, Entry, Malformed };
        Kind kind = Ignored;   // Ignored: a blank or comment line
        int port = 0;
        QString device;
        QString comment;
    };
    static Line readLine(const QString &line);

    PortMap();   // the built-in names only

    // Takes the "COM<n>=<device>" lines of `text`, each may end in a comment after a
    // blank ("COM3=/dev/ttyUSB0 ; bench PSU"); blank and comment lines (# or ;) are
    // passed over. Returns the malformed lines, which change nothing.
    QStringList applyOverrides(const QString &text);

    // Empty when the port number reaches no device.
    QString device(int port) const;

private:
    QStringList m_devices;   // index 0 is port 1
};
