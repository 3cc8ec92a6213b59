// Velmora workbench. Licensed under the MIT licence.
#include "modemled.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

#include <array>

namespace {

struct Face
{
    QColor centre;
    QColor rim;
};
// In the order of ModemLed::State.
const std::array<Face, 3> Faces = {{
    {{214, 211, 198}, {150, 147, 135}},   // unavailable: the dialog's own tone
    {{40, 110, 40}, {10, 60, 10}},        // low
    {{140, 255, 110}, {20, 170, 20}},     // raised
}};
const QColor Outline(0, 60, 113);         // the push buttons' outline

// Each state's face is drawn once per device-pixel ratio, then only copied.
QPixmap faceOf(ModemLed::State state, qreal ratio)
{
    static std::array<QPixmap, 3> faces;
    QPixmap &face = faces[size_t(state)];
    if (!face.isNull() && face.devicePixelRatio() == ratio)
        return face;
    face = QPixmap(QSize(ModemLed::Side, ModemLed::Side) * ratio);
    face.setDevicePixelRatio(ratio);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF round(0.5, 0.5, ModemLed::Side - 1, ModemLed::Side - 1);
    QRadialGradient glow(round.center() - QPointF(2, 2), ModemLed::Side / 2.0);
    glow.setColorAt(0, Faces[size_t(state)].centre.lighter(130));
    glow.setColorAt(0.6, Faces[size_t(state)].centre);
    glow.setColorAt(1, Faces[size_t(state)].rim);
    painter.setPen(QPen(Outline, 1));
    painter.setBrush(glow);
    painter.drawEllipse(round);
    return face;
}

} // namespace

ModemLed::ModemLed(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(Side, Side);
}

void ModemLed::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

QSize ModemLed::sizeHint() const
{
    return QSize(Side, Side);
}

void ModemLed::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, faceOf(m_state, devicePixelRatioF()));
}
