# Settings record, command codec and capture log: part of WorkbenchCore, no widgets.
set(LOGIC_SOURCES
    sysdata.h sysdata.cpp
    commandcodec.h commandcodec.cpp
    capturelog.h capturelog.cpp
    lineoptions.h lineoptions.cpp
)
# The two display panes: widgets, built into the main window's library.
set(PANE_SOURCES datapane.h datapane.cpp)
