# Serial port layer, port map and system code page: part of WorkbenchCore, no widgets.
set(SERIAL_SOURCES
    systemcodepage.h systemcodepage.cpp
    portmap.h portmap.cpp
    linesettings.h linesettings.cpp
    lineerrorcounts.h lineerrorcounts.cpp
    serialline.h
    modemlines.h modemlines.cpp
    commport.h commport.cpp
    portprobe.h portprobe.cpp
    transferengine.h transferengine.cpp
)
# The operating system's side of a serial line lives in one file per platform.
if(WIN32)
    list(APPEND SERIAL_SOURCES serialline_win.cpp)
else()
    list(APPEND SERIAL_SOURCES serialline_unix.cpp)
endif()
set(SERIAL_LIBS Velmora::Component)
