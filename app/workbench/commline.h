// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "lineerrorcounts.h"
#include "linesettings.h"
#include "modemlines.h"

#include <QByteArray>
#include <QObject>

// One open line as CommPort drives it: a local serial device or a line served over the
// network. It is made for one open; open() and write() throw Component::RuntimeError
// with the numbers of CommErrors, the setters tell what did not take so that CommPort
// words the refusal. Runs on the GUI thread's event loop.
class CommLine : public QObject
{
    Q_OBJECT

public:
    // The first line setting that did not take as asked.
    enum class Refusal { None, BaudRate, DataBits, Parity, StopBits };

    using QObject::QObject;

    virtual void open() = 0;
    virtual Refusal applyLine(const LineSettings &line) = 0;
    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both; false when the line cannot take it.
    virtual bool applyHandshake(int handshaking) = 0;
    virtual ModemLines &modemLines() = 0;

    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    // Queues the bytes and hands them on as far as the line takes them now.
    virtual void write(const QByteArray &bytes) = 0;
    virtual qint64 bytesToWrite() const = 0;
    virtual void discardInput() = 0;
    virtual void discardOutput() = 0;
    // Brings `counts` up to the line's totals; false where the line keeps none.
    virtual bool updateLineErrors(LineErrorCounts &counts) = 0;

signals:
    void readyRead();
    // The device or the connection went away; given once, from the line's own notification.
    void lost();
    // Something the user should know once that does not stop the line.
    void notice(const QString &text);
};
