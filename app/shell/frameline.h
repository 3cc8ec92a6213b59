// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QWidget>

// The window's frame line (ShapeSkin): a blue outline two pixels wide, transparent
// inside and to the mouse, so the title strip beneath it still takes the clicks.
class FrameLine : public QWidget
{
    Q_OBJECT

public:
    static constexpr int LineWidth = 2;
    static const QColor LineColour;

    explicit FrameLine(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
