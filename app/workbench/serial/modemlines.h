// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <functional>
#include <memory>
#include <optional>

class QSerialPort;

// The modem-control side of one open serial line: the outputs DTR and RTS, the inputs
// CTS, DSR, DCD and RI, and the break condition. A device without modem lines (a
// pseudo-terminal) refuses them: the setters return false and inputs() has no value.
class ModemLines
{
public:
    struct Inputs
    {
        bool cts = false;
        bool dsr = false;
        bool dcd = false;
        bool ri = false;
        friend bool operator==(const Inputs &a, const Inputs &b)
        {
            return a.cts == b.cts && a.dsr == b.dsr && a.dcd == b.dcd && a.ri == b.ri;
        }
    };

    virtual ~ModemLines() = default;

    virtual bool setDataTerminalReady(bool on) = 0;
    virtual bool setRequestToSend(bool on) = 0;
    virtual std::optional<Inputs> inputs() = 0;
    // Holds the line in the break condition until called with false.
    virtual bool setBreak(bool on) = 0;

    // The lines of an open port: the platform's own unless another maker is set.
    using Maker = std::function<std::unique_ptr<ModemLines>(QSerialPort &port)>;
    static std::unique_ptr<ModemLines> of(QSerialPort &port);
    // Lines that stand in for the platform's, as a device without modem lines cannot
    // show them; an empty maker brings the platform's back.
    static void setMaker(Maker maker);
};
