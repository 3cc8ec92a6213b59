// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <modemlines.h>

#include <QMap>
#include <QString>

#include <memory>

// Modem lines for devices that have none (pseudo-terminals): while one of these lives,
// every port the program opens gets lines that keep what the program sets and show the
// inputs the test sets, one set of lines per device, kept across opens.
class FakeModemLine
{
public:
    struct Line
    {
        bool dtr = false;
        bool rts = false;
        bool breaking = false;
        int breaks = 0;      // breaks begun
        ModemLines::Inputs inputs;
    };

    FakeModemLine();
    ~FakeModemLine();
    FakeModemLine(const FakeModemLine &) = delete;
    FakeModemLine &operator=(const FakeModemLine &) = delete;

    // The lines of the device the program opened under this name.
    Line &line(const QString &device);

private:
    QMap<QString, std::shared_ptr<Line>> m_lines;
};
