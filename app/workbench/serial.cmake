set(SERIAL_SOURCES systemcodepage.h systemcodepage.cpp)
