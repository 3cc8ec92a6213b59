# The main window, split by concern; the display panes come with the window-free logic's list.
set(WINDOW_SOURCES
    formmain.h
    formmain_texts.h
    formmain.cpp
    formmain_ports.cpp
    formmain_settings.cpp
    formmain_commands.cpp
    formmain_transfer.cpp
    formmain_display.cpp
    formmain_tools.cpp
    formmain_line.cpp
    ${PANE_SOURCES}
)
# The line window and its parts.
list(APPEND WINDOW_SOURCES
    formline.h formline.cpp
    modemled.h modemled.cpp
    titlestripbutton.h titlestripbutton.cpp
)
