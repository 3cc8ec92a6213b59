// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QSerialPort>
#include <QString>

// The line settings of one port, read from the form "9600,N,8,1": baud rate, parity
// letter (N E O M S), data bits (4 to 8) and stop bits (1, 1.5, 2). Whether the
// platform can apply a well-formed value is decided when the port opens.
class LineSettings
{
public:
    enum class StopBits { One, OneAndHalf, Two };

    // Throws Component::RuntimeError 380 for a malformed string.
    static LineSettings parse(const QString &text);
    // The settings string of the four lists' texts: baud, the parity item's first
    // letter ("Spack" gives S), data bits, stop bits; blanks around the numbers dropped.
    static QString settingsString(const QString &baud, const QString &parity,
                                  const QString &dataBits, const QString &stopBits);
    static QChar parityLetter(QSerialPort::Parity parity);

    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};
