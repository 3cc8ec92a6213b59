// Velmora tests. Licensed under the MIT licence.
#include "fakemodemline.h"

#include <QFileInfo>
#include <QSerialPort>

namespace {

// One name per device: QSerialPort names a device below /dev without the folder, and
// a test may know it by a link.
QString deviceKey(const QString &name)
{
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

class FakeLines : public ModemLines
{
public:
    explicit FakeLines(std::shared_ptr<FakeModemLine::Line> line) : m_line(std::move(line)) {}

    bool setDataTerminalReady(bool on) override
    {
        m_line->dtr = on;
        return true;
    }
    bool setRequestToSend(bool on) override
    {
        m_line->rts = on;
        return true;
    }
    std::optional<Inputs> inputs() override { return m_line->inputs; }
    bool setBreak(bool on) override
    {
        m_line->breaks += on && !m_line->breaking ? 1 : 0;
        m_line->breaking = on;
        return true;
    }

private:
    std::shared_ptr<FakeModemLine::Line> m_line;
};

} // namespace

FakeModemLine::FakeModemLine()
{
    ModemLines::setMaker([this](QSerialPort &port) -> std::unique_ptr<ModemLines> {
        auto &line = m_lines[deviceKey(port.portName())];
        if (!line)
            line = std::make_shared<Line>();
        return std::make_unique<FakeLines>(line);
    });
}

FakeModemLine::~FakeModemLine()
{
    ModemLines::setMaker({});
}

FakeModemLine::Line &FakeModemLine::line(const QString &device)
{
    auto &line = m_lines[deviceKey(device)];
    if (!line)
        line = std::make_shared<Line>();
    return *line;
}
