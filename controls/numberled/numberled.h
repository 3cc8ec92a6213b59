// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

#include "numberledenums.h"
#include "ormelnumberled_export.h"

#include <control.h>

#include <QPixmap>
#include <QTimer>

struct LedGeometry;

// A row of seven-segment character cells on a black, white-framed panel showing a
// number, the date, the time or both; it only draws and takes no input.
class ORMELNUMBERLED_EXPORT NumberLED : public Component::Control
{
    Q_OBJECT
    Q_CLASSINFO("Interface", "ShowLED,LEDShowColor,LEDShowType,NumberDigits,DecimalDigits,ShowData")
    Q_CLASSINFO("Description:LEDShowColor", "设置/返回数码管（NumberLED）的显示颜色。")
    Q_CLASSINFO("Description:LEDShowType", "设置/返回数码管（NumberLED）显示的数据的类型。")
    Q_CLASSINFO("Description:NumberDigits", "设置/返回数码管（NumberLED）显示数据的位数（包括小数点）。")
    Q_CLASSINFO("Description:DecimalDigits", "设置/返回数码管（NumberLED）显示数据的小数位数。")
    Q_CLASSINFO("Description:ShowData", "设置/返回数码管（NumberLED）显示数据。")
    Q_PROPERTY(LEDColor LEDShowColor READ LEDShowColor WRITE setLEDShowColor)
    Q_PROPERTY(LEDType LEDShowType READ LEDShowType WRITE setLEDShowType)
    Q_PROPERTY(qint16 NumberDigits READ NumberDigits WRITE setNumberDigits)
    Q_PROPERTY(qint16 DecimalDigits READ DecimalDigits WRITE setDecimalDigits)
    Q_PROPERTY(float ShowData READ ShowData WRITE setShowData)

public:
    enum LEDColor : int {
        BlueLED = OrmelNumberLED::BlueLED,
        RedLED = OrmelNumberLED::RedLED,
        GreenLED = OrmelNumberLED::GreenLED,
        YellowLED = OrmelNumberLED::YellowLED,
    };
    Q_ENUM(LEDColor)
    enum LEDType : int {
        ShowNumber = OrmelNumberLED::ShowNumber,
        ShowDate = OrmelNumberLED::ShowDate,
        ShowTime = OrmelNumberLED::ShowTime,
        ShowDateTime = OrmelNumberLED::ShowDateTime,
    };
    Q_ENUM(LEDType)

    explicit NumberLED(QWidget *parent = nullptr);
    ~NumberLED() override;

    // Rebuilds the whole display. Throws RuntimeError: Overflow before anything is
    // drawn, ResourceNotFound at the first cell without a bitmap (earlier cells stay).
    Q_INVOKABLE void ShowLED();

    LEDColor LEDShowColor() const { return m_showColor; }
    void setLEDShowColor(LEDColor vNewValue);
    LEDType LEDShowType() const { return m_showType; }
    void setLEDShowType(LEDType vNewValue);
    qint16 NumberDigits() const { return m_numberDigits; }
    void setNumberDigits(qint16 vNewValue);
    qint16 DecimalDigits() const { return m_decimalDigits; }
    void setDecimalDigits(qint16 vNewValue);
    float ShowData() const { return m_showData; }
    void setShowData(float vNewValue);

    void initProperties() override;
    void readProperties(const Component::PropertyBag &bag) override;
    void writeProperties(Component::PropertyBag &bag) const override;

    QSize sizeHint() const override;

signals:
    // A redraw that no caller asked for (clock, resize, show) failed; the host may report it.
    void displayFailed(int number, const QString &description);

protected:
    void resized() override;
    void shown() override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString displayText();
    void composeFace(const QString &text, const QString &colourWord, const LedGeometry &geometry);
    bool showUnasked();
    void clockTick();

    LEDColor m_showColor = BlueLED;
    LEDType m_showType = ShowNumber;
    qint16 m_numberDigits = 0;
    qint16 m_decimalDigits = 0;
    float m_showData = 0;
    QPixmap m_face;
    QTimer m_clock;
    bool m_building = false;
};
