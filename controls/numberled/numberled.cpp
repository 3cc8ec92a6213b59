// OrmelNumberLED control library. Licensed under the MIT licence.
#include "numberled.h"

#include "ledbitmaps.h"
#include "ledgeometry.h"
#include "ledtext.h"

#include <runtimeerror.h>
#include <twips.h>

#include <QDateTime>
#include <QPainter>
#include <QScopedValueRollback>

namespace {

using OrmelNumberLED::DecimalDigitsKey;
using OrmelNumberLED::NumberDigitsKey;
using OrmelNumberLED::ShowColorKey;
using OrmelNumberLED::ShowDataKey;
using OrmelNumberLED::ShowTypeKey;

constexpr int CreatedHeightTwips = 375;
constexpr int ClockIntervalMs = 950;
constexpr int DateCells = 10;
constexpr int TimeCells = 8;
constexpr int DateTimeCells = 19;

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

int toPixels(int twips)
{
    return qRound(double(twips) / Component::TwipsPerPixel);
}

// The rectangle between two corners given in twips, in whole pixels, so that
// neighbouring cells share their edges without gaps.
QRect pixelRect(int left, int top, int right, int bottom)
{
    return QRect(QPoint(toPixels(left), toPixels(top)), QPoint(toPixels(right) - 1, toPixels(bottom) - 1));
}

} // namespace

NumberLED::NumberLED(QWidget *parent)
    : Component::Control(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(width(), toPixels(CreatedHeightTwips));
    connect(&m_clock, &QTimer::timeout, this, &NumberLED::clockTick);
    m_clock.start(ClockIntervalMs);
    ShowLED();
}

NumberLED::~NumberLED()
{
    // The host is going away with this control: it hears of nothing any more, and a
    // failing build has nobody left to report to.
    setSite(nullptr);
    disconnect(this, &NumberLED::displayFailed, nullptr, nullptr);
    try {
        ShowLED();
    } catch (const Component::RuntimeError &) {
    }
}

void NumberLED::setLEDShowColor(LEDColor vNewValue)
{
    m_showColor = vNewValue;
    notifyPropertyChanged(key(ShowColorKey));
    ShowLED();
}

void NumberLED::setLEDShowType(LEDType vNewValue)
{
    m_showType = vNewValue;
    notifyPropertyChanged(key(ShowTypeKey));
    ShowLED();
}

void NumberLED::setNumberDigits(qint16 vNewValue)
{
    m_numberDigits = qMax<qint16>(vNewValue, 1);
    notifyPropertyChanged(key(NumberDigitsKey));
    m_decimalDigits = qMax<qint16>(qMin<qint16>(m_decimalDigits, m_numberDigits - 2), 0);
    ShowLED();
}

void NumberLED::setDecimalDigits(qint16 vNewValue)
{
    m_decimalDigits = qMax<qint16>(qMin<qint16>(vNewValue, m_numberDigits - 2), 0);
    notifyPropertyChanged(key(DecimalDigitsKey));
    ShowLED();
}

void NumberLED::setShowData(float vNewValue)
{
    m_showData = vNewValue;
    notifyPropertyChanged(key(ShowDataKey));
    ShowLED();
}

void NumberLED::initProperties()
{
    setLEDShowColor(BlueLED);
    setLEDShowType(ShowNumber);
    setNumberDigits(4);
    setDecimalDigits(2);
    setShowData(0);
}

void NumberLED::readProperties(const Component::PropertyBag &bag)
{
    m_showColor = LEDColor(bag.read<int>(key(ShowColorKey), m_showColor));
    m_showType = LEDType(bag.read<int>(key(ShowTypeKey), m_showType));
    m_numberDigits = bag.read<qint16>(key(NumberDigitsKey), m_numberDigits);
    m_decimalDigits = bag.read<qint16>(key(DecimalDigitsKey), m_decimalDigits);
    m_showData = bag.read<float>(key(ShowDataKey), m_showData);
}

void NumberLED::writeProperties(Component::PropertyBag &bag) const
{
    bag.write(key(ShowColorKey), int(m_showColor));
    bag.write(key(ShowTypeKey), int(m_showType));
    bag.write(key(NumberDigitsKey), m_numberDigits);
    bag.write(key(DecimalDigitsKey), m_decimalDigits);
    bag.write(key(ShowDataKey), m_showData);
}

QSize NumberLED::sizeHint() const
{
    return size();
}

void NumberLED::ShowLED()
{
    // Setting the width below resizes the control, which must not start a second build.
    const QScopedValueRollback<bool> building(m_building, true);
    const QString text = displayText();
    const QString colourWord = LedBitmaps::colourWord(m_showColor);
    const LedGeometry geometry = LedGeometry::forHeight(Component::twipsFromPixels(height()), m_numberDigits);
    resize(qMax(toPixels(geometry.width), 0), height());
    setAccessibleName(text.trimmed());
    composeFace(text, colourWord, geometry);
    // A clock stopped by a failed tick runs again once the display builds.
    if (!m_clock.isActive())
        m_clock.start();
}

QString NumberLED::displayText()
{
    const QDateTime now = QDateTime::currentDateTime();
    switch (m_showType) {
    case ShowNumber:
        return LedText::number(m_showData, m_numberDigits, m_decimalDigits);
    case ShowDate:
        m_numberDigits = DateCells;
        m_decimalDigits = 0;
        return LedText::date(now);
    case ShowTime:
        m_numberDigits = TimeCells;
        m_decimalDigits = 0;
        return LedText::time(now);
    case ShowDateTime:
        m_numberDigits = DateTimeCells;
        m_decimalDigits = 0;
        notifyPropertyChanged(key(NumberDigitsKey));
        return LedText::dateTime(now);
    }
    return QString();
}

void NumberLED::composeFace(const QString &text, const QString &colourWord, const LedGeometry &geometry)
{
    const qreal ratio = devicePixelRatioF();
    m_face = QPixmap(size().expandedTo(QSize(1, 1)) * ratio);
    m_face.setDevicePixelRatio(ratio);
    m_face.fill(Qt::black);
    // Whatever gets drawn stays on the face, also when a cell fails below.
    update();

    const int heightTwips = Component::twipsFromPixels(height());
    QPainter painter(&m_face);
    painter.setPen(Qt::white);
    // The frame's second point is taken as its opposite corner: the outline hugs the
    // cell row and stays one pixel inside the control on every side.
    const QPoint first(toPixels(LedGeometry::FrameInset), toPixels(LedGeometry::FrameInset));
    const QPoint second(toPixels(geometry.width - 2 * LedGeometry::FrameInset),
                        toPixels(heightTwips - 2 * LedGeometry::FrameInset));
    painter.drawRect(QRect(first, second - QPoint(1, 1)));

    const int top = LedGeometry::Margin;
    for (int i = 0; i < m_numberDigits; ++i) {
        const QPixmap bitmap = LedBitmaps::load(LedBitmaps::cellName(colourWord, text.mid(i, 1)));
        const int left = LedGeometry::Margin + i * geometry.cellWidth;
        painter.drawPixmap(pixelRect(left, top, left + geometry.cellWidth, top + geometry.cellHeight), bitmap);
    }
}

void NumberLED::resized()
{
    if (!m_building)
        showUnasked();
}

void NumberLED::shown()
{
    showUnasked();
}

void NumberLED::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter(this).drawPixmap(0, 0, m_face);
}

// Redraws that come from the window system or the clock have no caller to take a
// failure, and an exception must not cross the event loop.
bool NumberLED::showUnasked()
{
    try {
        ShowLED();
        return true;
    } catch (const Component::RuntimeError &error) {
        qWarning("NumberLED: %d %s", error.number(), qUtf8Printable(error.description()));
        emit displayFailed(error.number(), error.description());
        return false;
    }
}

void NumberLED::clockTick()
{
    if (m_showType == ShowNumber)
        return;
    // A failing display would fail again every tick; the next successful build restarts it.
    if (!showUnasked())
        m_clock.stop();
}
