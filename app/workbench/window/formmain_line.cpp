// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "formline.h"

#include <filelocations.h>
#include <inifileeditor.h>
#include <modulefun.h>
#include <singlewindow.h>
#include <uitext.h>

namespace {

// %1 is the options file.
const UiText LineOptionsNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n线路控制设置文件无法写入，这些设置只在本次运行中有效！\r\n\r\n%1"));

} // namespace

// One line window at a time, a tool window of the main window: it stays above it while it works.
void FormMain::ButtonLine_Click()
{
    showSingleWindow(m_formLine, [this] {
        auto *window = new FormLine(m_engine, m_lineOptions, [this] {
            return FormLine::PortContext {intComOutPort == intComInPort, intComOutHand, intComInHand};
        }, this);
        connect(window, &FormLine::optionsChanged, this, &FormMain::Sub_LineOptionsChanged);
        return window;
    });
}

QString FormMain::Fun_LineOptionsPath()
{
    return LineOptions::filePath(FileLocations::of(ModuleFun::ProgramFolder()).settingsFolder());
}

void FormMain::Sub_LineOptionsChanged(const LineOptions &options)
{
    m_lineOptions = options;
    Sub_ApplyLineOptions();
    if (!m_lineOptions.save(Fun_LineOptionsPath()) && IniFileEditor::firstFailure(Fun_LineOptionsPath()))
        ModuleFun::ShowMessage(LineOptionsNotSaved.arg(Fun_LineOptionsPath()), ModuleFun::AlignCentre);
}

// DTR and RTS apply to open ports at once; a custom rate waits for the next start.
void FormMain::Sub_ApplyLineOptions()
{
    const bool samePort = intComOutPort == intComInPort;
    CommPort &out = m_engine.outPort();
    out.setDTREnable(samePort ? m_lineOptions.inDTR : m_lineOptions.outDTR);
    out.setRTSEnable(samePort ? m_lineOptions.inRTS : m_lineOptions.outRTS);
    m_engine.inPort().setDTREnable(m_lineOptions.inDTR);
    m_engine.inPort().setRTSEnable(m_lineOptions.inRTS);
    m_engine.setLineOptions(m_lineOptions);
    Sub_ComOutSet();
    Sub_ComInSet();
}
