// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A ser2net on 127.0.0.1 serving one device (a pseudo-terminal's slave), raw or with
// RFC 2217, from a configuration file of its own on a free TCP port.
class Ser2netServer
{
public:
    // Whether ser2net is installed here.
    static bool available();

    Ser2netServer(const QString &device, bool rfc2217);
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer &) = delete;
    Ser2netServer &operator=(const Ser2netServer &) = delete;

    // Waits until it takes connections; the one connection that tells is closed at once.
    bool listening();
    void kill();
    quint16 port() const { return m_port; }
    // The device string a port map takes for it: "rfc2217://127.0.0.1:<port>".
    QString address() const;

    // A TCP port of 127.0.0.1 nothing listens on just now.
    static quint16 freePort();

private:
    QTemporaryDir m_folder;
    bool m_rfc2217;
    quint16 m_port;
    QProcess m_process;
};
