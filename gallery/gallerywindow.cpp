// Velmora control gallery. Licensed under the MIT licence.
#include "gallerywindow.h"

#include "numberledenums.h"
#include "xpbuttonevents.h"

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char CreationErrorName[] = "creationError";

// The host's size for a new LED; the control derives its width from the height itself.
constexpr QSize LedSize(68, 25);
constexpr int TallLedHeight = 50;
constexpr int TitleButtonSize = 21;
constexpr int RowStep = 34;

QString id(const char *identifier)
{
    return QString::fromLatin1(identifier);
}

QGroupBox *section(const QString &title, QWidget *host, const QSize &size)
{
    auto *box = new QGroupBox(title);
    host->setMinimumSize(size);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(host);
    return box;
}

QLabel *caption(QWidget *host, const QString &text, const QPoint &position)
{
    auto *label = new QLabel(text, host);
    label->move(position);
    return label;
}

} // namespace

GalleryWindow::GalleryWindow(QWidget *parent)
    : QWidget(parent)
    , m_messages(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("GalleryWindow"));
    setWindowTitle(QStringLiteral("Velmora 控件展示"));
    m_messages->setObjectName(QStringLiteral("messages"));
    m_messages->setReadOnly(true);
    m_messages->setMaximumHeight(110);

    auto *grid = new QGridLayout(this);
    grid->addWidget(buttonSection(), 0, 0);
    grid->addWidget(titleButtonSection(), 0, 1);
    grid->addWidget(ledColourSection(), 1, 0);
    grid->addWidget(ledTypeSection(), 1, 1);
    grid->addWidget(liveSection(), 2, 0, 1, 2);
    grid->addWidget(section(QStringLiteral("消息"), m_messages, QSize(0, 80)), 3, 0, 1, 2);
}

QWidget *GalleryWindow::buttonSection()
{
    auto *host = new QWidget;
    const QStringList captions = {QStringLiteral("开始通讯"), QStringLiteral("退出"), QStringLiteral("已禁用")};
    for (int i = 0; i < captions.size(); ++i) {
        Component::Control *button = place(host, id(XPButton::ButtonIdentifier), QStringLiteral("Button%1").arg(i + 1),
                                           QRect(10 + i * 100, 10, 90, 25));
        if (!button)
            continue;
        apply(button, "Caption", captions.at(i));
        if (i == captions.size() - 1)
            apply(button, "Enabled", false);
    }
    if (Component::Control *wide = place(host, id(XPButton::ButtonIdentifier), QStringLiteral("Button4"), QRect(10, 50, 290, 40)))
        apply(wide, "Caption", QStringLiteral("任意大小的按钮"));
    return section(QStringLiteral("Button"), host, QSize(320, 100));
}

QWidget *GalleryWindow::titleButtonSection()
{
    auto *host = new QWidget;
    caption(host, QStringLiteral("启用"), QPoint(10, 12));
    caption(host, QStringLiteral("禁用"), QPoint(10, 12 + RowStep));
    const QList<int> types = {XPButton::CloseButton, XPButton::MaximumButton, XPButton::MinimumButton,
                              XPButton::RestoreButton};
    for (int row = 0; row < 2; ++row) {
        const bool enabled = row == 0;
        const int y = 10 + row * RowStep;
        for (int i = 0; i < types.size(); ++i) {
            const QRect geometry(50 + i * 30, y, TitleButtonSize, TitleButtonSize);
            if (Component::Control *button = place(host, id(XPButton::TopButtonIdentifier),
                                                   QStringLiteral("TopButton%1").arg(row * 4 + i + 1), geometry)) {
                apply(button, "TopButtonType", types.at(i));
                apply(button, "Enabled", enabled);
            }
        }
        const QRect helpGeometry(50 + types.size() * 30 + 10, y, TitleButtonSize, TitleButtonSize);
        if (Component::Control *help = place(host, id(XPButton::HelpButtonIdentifier), QStringLiteral("HelpButton%1").arg(row + 1),
                                             helpGeometry))
            apply(help, "Enabled", enabled);
    }
    return section(QStringLiteral("TopButton / HelpButton"), host, QSize(320, 100));
}

QWidget *GalleryWindow::ledColourSection()
{
    auto *host = new QWidget;
    placeLed(host, QStringLiteral("NumberLEDBlue"), QPoint(10, 10),
             {{"LEDShowColor", OrmelNumberLED::BlueLED}, {"ShowData", 3.14159f}});
    placeLed(host, QStringLiteral("NumberLEDRed"), QPoint(100, 10),
             {{"LEDShowColor", OrmelNumberLED::RedLED}, {"ShowData", -5.0f}});
    placeLed(host, QStringLiteral("NumberLEDGreen"), QPoint(10, 10 + RowStep),
             {{"LEDShowColor", OrmelNumberLED::GreenLED}, {"ShowData", 123.456f}});
    placeLed(host, QStringLiteral("NumberLEDYellow"), QPoint(100, 10 + RowStep),
             {{"LEDShowColor", OrmelNumberLED::YellowLED}, {"NumberDigits", 6}, {"ShowData", 7.0f}});
    Component::Control *tall = place(host, id(OrmelNumberLED::NumberLEDIdentifier), QStringLiteral("NumberLEDTall"),
                                     QRect(10, 10 + 2 * RowStep, LedSize.width(), TallLedHeight));
    if (tall)
        apply(tall, "ShowData", 42.0f);
    return section(QStringLiteral("NumberLED 颜色"), host, QSize(320, 140));
}

QWidget *GalleryWindow::ledTypeSection()
{
    auto *host = new QWidget;
    const QList<int> types = {OrmelNumberLED::ShowNumber, OrmelNumberLED::ShowDate, OrmelNumberLED::ShowTime,
                              OrmelNumberLED::ShowDateTime};
    const QStringList names = {QStringLiteral("ShowNumber"), QStringLiteral("ShowDate"), QStringLiteral("ShowTime"),
                               QStringLiteral("ShowDateTime")};
    for (int i = 0; i < types.size(); ++i) {
        caption(host, names.at(i), QPoint(10, 14 + i * RowStep));
        placeLed(host, QStringLiteral("NumberLED") + names.at(i), QPoint(110, 10 + i * RowStep),
                 {{"LEDShowColor", i}, {"ShowData", 2026.0f}, {"LEDShowType", types.at(i)}});
    }
    return section(QStringLiteral("NumberLED 显示类型"), host, QSize(430, 140));
}

QWidget *GalleryWindow::liveSection()
{
    auto *host = new QWidget;
    Component::Control *led = placeLed(host, QStringLiteral("NumberLEDLive"), QPoint(10, 10),
                                       {{"NumberDigits", 8}, {"DecimalDigits", 3}});

    auto *value = new QDoubleSpinBox(host);
    value->setObjectName(QStringLiteral("spinShowData"));
    value->setRange(-99999, 99999);
    value->setDecimals(4);
    value->setPrefix(QStringLiteral("ShowData "));
    value->setGeometry(10, 50, 170, 26);
    auto *digits = new QSpinBox(host);
    digits->setObjectName(QStringLiteral("spinNumberDigits"));
    digits->setRange(-2, 140);
    digits->setValue(8);
    digits->setPrefix(QStringLiteral("NumberDigits "));
    digits->setGeometry(190, 50, 150, 26);
    auto *decimals = new QSpinBox(host);
    decimals->setObjectName(QStringLiteral("spinDecimalDigits"));
    decimals->setRange(-2, 10);
    decimals->setValue(3);
    decimals->setPrefix(QStringLiteral("DecimalDigits "));
    decimals->setGeometry(350, 50, 150, 26);
    auto *colour = new QComboBox(host);
    colour->setObjectName(QStringLiteral("comboLEDShowColor"));
    colour->addItems({QStringLiteral("BlueLED"), QStringLiteral("RedLED"), QStringLiteral("GreenLED"),
                      QStringLiteral("YellowLED"), QStringLiteral("7 (没有位图)")});
    colour->setGeometry(510, 50, 130, 26);
    if (led) {
        connect(value, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                [this, led](double v) { apply(led, "ShowData", float(v)); });
        connect(digits, qOverload<int>(&QSpinBox::valueChanged), this,
                [this, led](int v) { apply(led, "NumberDigits", v); });
        connect(decimals, qOverload<int>(&QSpinBox::valueChanged), this,
                [this, led](int v) { apply(led, "DecimalDigits", v); });
        connect(colour, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, led, colour](int index) {
            apply(led, "LEDShowColor", index == colour->count() - 1 ? 7 : index);
        });
    }

    Component::Control *counter = placeLed(host, QStringLiteral("NumberLEDClicks"), QPoint(420, 10),
                                           {{"LEDShowColor", OrmelNumberLED::GreenLED}, {"DecimalDigits", 0}});
    Component::Control *button = place(host, id(XPButton::ButtonIdentifier), QStringLiteral("ButtonCount"), QRect(320, 10, 90, 25));
    if (button && counter) {
        apply(button, "Caption", QStringLiteral("点击计数"));
        Component::ControlSite::of(button)->on(XPButton::ButtonClick, [this, counter](Component::EventArgs &) {
            apply(counter, "ShowData", float(++m_clicks));
        });
    }
    return section(QStringLiteral("试一试"), host, QSize(660, 90));
}

Component::Control *GalleryWindow::place(QWidget *host, const QString &identifier, const QString &name,
                                         const QRect &geometry)
{
    try {
        Component::Control *control = Component::ControlSite::place(host, identifier, name, geometry)->control();
        if (identifier == id(OrmelNumberLED::NumberLEDIdentifier))
            connect(control, SIGNAL(displayFailed(int, QString)), this, SLOT(reportDisplayFailure(int, QString)));
        return control;
    } catch (const Component::RuntimeError &error) {
        report(QStringLiteral("%1：%2").arg(error.number()).arg(error.description()));
        // One notice per section is enough; the section's other controls fail alike.
        if (!host->findChild<QLabel *>(QString::fromLatin1(CreationErrorName))) {
            auto *label = new QLabel(QStringLiteral("无法创建 %1\n%2").arg(identifier, error.description()), host);
            label->setObjectName(QString::fromLatin1(CreationErrorName));
            label->setStyleSheet(QStringLiteral("color: #b00000; background: #fff4f4;"));
            label->setWordWrap(true);
            label->setGeometry(geometry.left(), geometry.top(), host->minimumWidth() - geometry.left(), 60);
        }
        return nullptr;
    }
}

Component::Control *GalleryWindow::placeLed(QWidget *host, const QString &name, const QPoint &position,
                                            const QList<QPair<const char *, QVariant>> &properties)
{
    Component::Control *led = place(host, id(OrmelNumberLED::NumberLEDIdentifier), name, QRect(position, LedSize));
    if (led) {
        for (const auto &property : properties)
            apply(led, property.first, property.second);
    }
    return led;
}

void GalleryWindow::apply(QObject *control, const char *property, const QVariant &value)
{
    try {
        control->setProperty(property, value);
    } catch (const Component::RuntimeError &error) {
        report(QStringLiteral("%1.%2 = %3 → 错误 %4：%5")
                   .arg(control->objectName(), QString::fromLatin1(property), value.toString())
                   .arg(error.number())
                   .arg(error.description()));
    }
}

void GalleryWindow::reportDisplayFailure(int number, const QString &description)
{
    report(QStringLiteral("%1 刷新失败，错误 %2：%3").arg(sender()->objectName()).arg(number).arg(description));
}

void GalleryWindow::report(const QString &text)
{
    m_messages->appendPlainText(text);
}
