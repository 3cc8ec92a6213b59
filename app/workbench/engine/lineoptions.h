// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "framerule.h"

#include <QString>
#include <QStringList>
#include <QTime>


// The user's line options of the line window, kept in an INI file of their own beside
// the settings record, never in it: each is off or neutral by default, and then the
// workbench sends, shows and captures exactly as without them.
struct LineOptions
{
    enum LineEnd : int { EndNone = 0, EndCR = 1, EndLF = 2, EndCRLF = 3 };

    // The check of a custom baud rate as typed.
    enum class BaudProblem { None, NotDigits, OutOfRange };
    static constexpr qint32 LowestBaud = 50;
    static constexpr qint32 HighestBaud = 4000000;

    LineEnd lineEnd = EndNone;
    bool timeStamp = false;
    bool hexSpace = false;
    bool outDTR = true;
    bool outRTS = true;
    bool inDTR = true;
    bool inRTS = true;
    QString outBaud;   // empty: the rate of the baud list
    QString inBaud;
    FrameRule frames;  // how the receiving port's data is cut into lines and records

    // "velmora.ini" in the folder given.
    static QString filePath(const QString &folder);
    // Missing keys and values out of range keep their defaults.
    static LineOptions load(const QString &path);
    bool save(const QString &path) const;

    // The items of ComboLineEnd in the order of LineEnd: "无", "CR", "LF", "CR LF".
    static QStringList lineEndNames();
    // What goes after a command of the data format: nothing after a hexadecimal one.
    QString lineEndFor(int format) const;

    static BaudProblem checkBaud(const QString &text);
    // The centred refusal the user sees ("对不起！" ...); empty for None.
    static QString baudRefusal(BaudProblem problem);
    // The settings string with its rate replaced by a custom one; unchanged for none.
    static QString withBaud(const QString &settings, const QString &baud);

    // Received hexadecimal pairs as shown: one space between pairs with spaced hex.
    QString shownHex(const QString &pairs) const;
    // "[hh:mm:ss.zzz] " of the moment given.
    static QString stamp(const QTime &time);

    friend bool operator==(const LineOptions &a, const LineOptions &b);
};
