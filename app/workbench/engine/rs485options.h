// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "rs485.h"

#include <QString>
#include <QStringList>

// The line window's RS-485 options of the sending and the receiving port, kept in
// velmora.ini beside the other line options: off by default, and then the ports run
// exactly as without them.
struct Rs485Options
{
    Rs485Settings out;
    Rs485Settings in;

    // Missing keys and values out of range keep their defaults.
    static Rs485Options load(const QString &path);
    // Only what reads otherwise from the file is written.
    bool save(const QString &path) const;

    // The items of the direction lists in the order of Rs485Settings::Direction.
    static QStringList directionNames();

    friend bool operator==(const Rs485Options &a, const Rs485Options &b) { return a.out == b.out && a.in == b.in; }
    friend bool operator!=(const Rs485Options &a, const Rs485Options &b) { return !(a == b); }
};
