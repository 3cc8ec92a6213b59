// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QWidget>

// A round indicator of one modem input line: lit while the line is raised, dark while
// it is low, grey while the port is closed or the device has no such line.
class ModemLed : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(State state READ state WRITE setState)

public:
    enum class State { Unavailable, Low, Raised };
    Q_ENUM(State)

    static constexpr int Side = 14;

    explicit ModemLed(QWidget *parent = nullptr);

    State state() const { return m_state; }
    void setState(State state);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    State m_state = State::Unavailable;
};
