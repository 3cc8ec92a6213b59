// OrmelXPButton control library tests. Licensed under the MIT licence.
#include "button.h"
#include "resourcebitmap.h"
#include "topbutton.h"
#include "xpbuttonevents.h"

#include <component/componentloader.h>
#include <component/controlsite.h>
#include <component/runtimeerror.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using Component::ControlSite;
using Component::EventArgs;
using Component::PropertyBag;
using Component::RuntimeError;

Q_DECLARE_METATYPE(Component::PropertyBag)

namespace {
const QString ButtonId = QStringLiteral("OrmelXPButton.Button");
const QString TopButtonId = QStringLiteral("OrmelXPButton.TopButton");
const QString HelpButtonId = QStringLiteral("OrmelXPButton.HelpButton");
const QRect ButtonGeometry(10, 10, 70, 25);
const QColor DisabledGrey(128, 128, 128);

QImage faceOf(QWidget *control)
{
    return control->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage bitmap(const QString &name)
{
    return ResourceBitmap::load(name).convertToFormat(QImage::Format_RGB32);
}

void sendMouse(QWidget *control, QEvent::Type type, const QPointF &position, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, position, control->mapToGlobal(position), button, buttons, modifiers);
    QApplication::sendEvent(control, &event);
}

void sendKey(QWidget *control, QEvent::Type type, int key, const QString &text)
{
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QApplication::sendEvent(control, &event);
}

void invokeChangeImage(QObject *control, QString &strImage)
{
    QVERIFY(QMetaObject::invokeMethod(control, "ChangeImage", Q_ARG(QString &, strImage)));
}

// The darkest pixel inside a face's border and where the dark pixels lie: the caption's ink.
struct Ink
{
    int darkest = 255;
    QRect bounds;
};

Ink inkOf(const QImage &face, int threshold)
{
    Ink ink;
    const int border = 3;
    for (int y = border; y < face.height() - border; ++y) {
        for (int x = border; x < face.width() - border; ++x) {
            const int grey = qGray(face.pixel(x, y));
            ink.darkest = qMin(ink.darkest, grey);
            if (grey <= threshold)
                ink.bounds |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}
} // namespace

// The three controls as a host meets them: placed by identifier on a host window,
// handlers bound by event id, properties read and written through the host's store.
class TestXPButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newButtonTakesItsDisplayName();
    void buttonStoredProperties_data();
    void buttonStoredProperties();
    void titleButtonStoredProperties_data();
    void titleButtonStoredProperties();
    void storedTypeShowsOnlyOnceShown();

    void composedFaceMatchesTheSlices_data();
    void composedFaceMatchesTheSlices();
    void captionIsCentredInBlackOrGrey_data();
    void captionIsCentredInBlackOrGrey();

    void eventsComeBeforeTheLookChanges();
    void mouseArgumentsByReference();
    void rightButtonKeepsTheHoverLook();
    void clickOnlyOnLeftReleaseInside_data();
    void clickOnlyOnLeftReleaseInside();
    void keysPassThroughWithoutClicking();
    void focusShowsTheHoverLook();
    void disabledButtonGetsNoInput();
    void mouseOutAtTheEdges_data();
    void mouseOutAtTheEdges();

    void disabledTopButtonRewritesTheStateWord_data();
    void disabledTopButtonRewritesTheStateWord();
    void enabledTopButtonKeepsTheStateWord();
    void disabledHelpButtonLooksTheSame();
    void outOfRangeTypeFailsTheSetter();
    void unknownImageFailsAndKeepsTheFace_data();
    void unknownImageFailsAndKeepsTheFace();
    void titleButtonsKeepTheirSize_data();
    void titleButtonsKeepTheirSize();

private:
    ControlSite *place(const QString &identifier, const QString &name, const QRect &geometry,
                       const PropertyBag &stored = {});
    // Records each raised event's id, with the arguments as the handler got them.
    void record(ControlSite *site, const QList<int> &ids);
    // A face composed by the library itself from the named bitmap, as a reference.
    QImage referenceFace(const QString &name);

    std::unique_ptr<QWidget> m_host;
    QList<QPair<int, EventArgs>> m_raised;
};

void TestXPButton::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
}

void TestXPButton::init()
{
    m_host = std::make_unique<QWidget>();
    m_host->setGeometry(100, 100, 300, 200);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    m_raised.clear();
}

void TestXPButton::cleanup()
{
    m_host.reset();
}

ControlSite *TestXPButton::place(const QString &identifier, const QString &name, const QRect &geometry,
                                 const PropertyBag &stored)
{
    // A host shows what it places on a window that is already showing.
    ControlSite *site = ControlSite::place(m_host.get(), identifier, name, geometry, stored);
    site->control()->show();
    return site;
}

void TestXPButton::record(ControlSite *site, const QList<int> &ids)
{
    for (int id : ids)
        site->on(id, [this, id](EventArgs &args) { m_raised.append({id, args}); });
}

QImage TestXPButton::referenceFace(const QString &name)
{
    ControlSite *site = place(ButtonId, QStringLiteral("Reference"), ButtonGeometry, {{"caption", QString()}});
    QString strImage = name;
    invokeChangeImage(site->control(), strImage);
    const QImage face = faceOf(site->control());
    delete site->control();
    return face;
}

void TestXPButton::newButtonTakesItsDisplayName()
{
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry);
    QCOMPARE(site->control()->property("Caption").toString(), QStringLiteral("ButtonCom"));
    QCOMPARE(site->control()->property("Enabled").toBool(), true);
    QCOMPARE(site->control()->objectName(), QStringLiteral("ButtonCom"));
    site->saveProperties();
    QCOMPARE(site->storedProperties().read<QString>(QStringLiteral("caption"), QString()), QStringLiteral("ButtonCom"));
    QVERIFY(!site->storedProperties().contains(QStringLiteral("Enabled")));
}

void TestXPButton::buttonStoredProperties_data()
{
    QTest::addColumn<PropertyBag>("stored");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addRow("lower-case keys, enabled by default") << PropertyBag{{"caption", QStringLiteral("开始通讯")}}
                                                         << QStringLiteral("开始通讯") << true;
    QTest::addRow("disabled") << PropertyBag{{"caption", QStringLiteral("退出")}, {"enabled", false}}
                              << QStringLiteral("退出") << false;
    QTest::addRow("no caption stored") << PropertyBag{{"_extentx", 1050}} << QString() << true;
}

void TestXPButton::buttonStoredProperties()
{
    QFETCH(PropertyBag, stored);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonExit"), ButtonGeometry, stored);
    QCOMPARE(site->control()->property("Caption").toString(), caption);
    QCOMPARE(site->control()->property("Enabled").toBool(), enabled);

    QSignalSpy changed(site, &ControlSite::controlPropertyChanged);
    site->saveProperties();
    const PropertyBag &saved = site->storedProperties();
    QVERIFY(saved.contains(QStringLiteral("Caption")));
    QCOMPARE(saved.read<QString>(QStringLiteral("Caption"), QStringLiteral("?")), caption);
    QCOMPARE(saved.contains(QStringLiteral("Enabled")), !enabled);
    QCOMPARE(saved.read<bool>(QStringLiteral("Enabled"), true), enabled);
    QCOMPARE(changed.count(), 0);
}

void TestXPButton::titleButtonStoredProperties_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<PropertyBag>("stored");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("type"); // -1: the class has no type
    QTest::addRow("TopButton, minimise") << TopButtonId << PropertyBag{{"topbuttontype", 2}} << true << 2;
    QTest::addRow("TopButton, disabled restore")
        << TopButtonId << PropertyBag{{"enabled", false}, {"topbuttontype", 3}} << false << 3;
    QTest::addRow("TopButton, fresh") << TopButtonId << PropertyBag{} << true << 0;
    QTest::addRow("HelpButton, disabled") << HelpButtonId << PropertyBag{{"enabled", false}} << false << -1;
}

void TestXPButton::titleButtonStoredProperties()
{
    QFETCH(QString, identifier);
    QFETCH(PropertyBag, stored);
    QFETCH(bool, enabled);
    QFETCH(int, type);
    ControlSite *site = place(identifier, QStringLiteral("TopButtonMin"), QRect(0, 0, 21, 21), stored);
    QCOMPARE(site->control()->property("Enabled").toBool(), enabled);
    if (type >= 0)
        QCOMPARE(site->control()->property("TopButtonType").toInt(), type);

    site->saveProperties();
    const PropertyBag &saved = site->storedProperties();
    QCOMPARE(saved.contains(QStringLiteral("Enabled")), !enabled);
    QCOMPARE(saved.read<bool>(QStringLiteral("Enabled"), true), enabled);
    QCOMPARE(saved.contains(QStringLiteral("TopButtonType")), type >= 0);
    if (type >= 0)
        QCOMPARE(saved.read<int>(QStringLiteral("TopButtonType"), -1), type);
}

void TestXPButton::storedTypeShowsOnlyOnceShown()
{
    QWidget hiddenHost;
    ControlSite *site = ControlSite::place(&hiddenHost, TopButtonId, QStringLiteral("TopButtonMin"),
                                           QRect(0, 0, 21, 21), {{"topbuttontype", int(XPButton::MinimumButton)}});
    QCOMPARE(faceOf(site->control()), bitmap(QStringLiteral("CLOSE-NORMAL")));
    hiddenHost.show();
    QCOMPARE(faceOf(site->control()), bitmap(QStringLiteral("MIN-NORMAL")));
}

void TestXPButton::composedFaceMatchesTheSlices_data()
{
    QTest::addColumn<QString>("name");
    QTest::addRow("normal") << "BUTTON-NORMAL";
    QTest::addRow("hover") << "BUTTON-MOUSEOVER";
    QTest::addRow("pressed") << "BUTTON-MOUSEDOWN";
}

void TestXPButton::composedFaceMatchesTheSlices()
{
    QFETCH(QString, name);
    const QImage face = referenceFace(name);
    const QImage source = bitmap(name);
    QCOMPARE(face.size(), QSize(70, 25));
    const struct
    {
        QPoint onFace;
        QPoint inSource;
    } points[] = {
        {{0, 0}, {0, 0}},     {{69, 0}, {17, 0}},  {{69, 24}, {17, 20}}, {{0, 24}, {0, 20}},   // corners
        {{1, 1}, {1, 1}},     {{68, 23}, {16, 19}}, {{2, 22}, {2, 18}},                        // inside corners
        {{35, 0}, {9, 0}},    {{35, 2}, {9, 2}},   {{35, 24}, {9, 20}}, {{0, 12}, {0, 10}},    // edges
        {{68, 12}, {16, 10}}, {{35, 3}, {9, 3}},   {{35, 21}, {9, 17}},                        // right, centre
    };
    for (const auto &point : points) {
        QVERIFY2(face.pixel(point.onFace) == source.pixel(point.inSource),
                 qPrintable(QStringLiteral("face %1,%2 against source %3,%4")
                                .arg(point.onFace.x()).arg(point.onFace.y())
                                .arg(point.inSource.x()).arg(point.inSource.y())));
    }
}

void TestXPButton::captionIsCentredInBlackOrGrey_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("darkest");
    QTest::addRow("enabled: black") << true << 0;
    QTest::addRow("disabled: grey") << false << qGray(DisabledGrey.rgb());
}

void TestXPButton::captionIsCentredInBlackOrGrey()
{
    QFETCH(bool, enabled);
    QFETCH(int, darkest);
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"caption", QString()}});
    QFont font = site->control()->font();
    font.setPixelSize(14);
    site->control()->setFont(font);
    site->control()->setProperty("Enabled", enabled);
    const Ink blank = inkOf(faceOf(site->control()), darkest + 8);
    site->control()->setProperty("Caption", QStringLiteral("WWWW"));
    const Ink ink = inkOf(faceOf(site->control()), darkest + 8);

    QVERIFY(blank.bounds.isEmpty());
    QVERIFY(!ink.bounds.isEmpty());
    QVERIFY2(qAbs(ink.darkest - darkest) <= 8, qPrintable(QString::number(ink.darkest)));
    QVERIFY2(qAbs(ink.bounds.center().x() - 35) <= 2, qPrintable(QString::number(ink.bounds.center().x())));
    QVERIFY2(qAbs(ink.bounds.center().y() - 12) <= 4, qPrintable(QString::number(ink.bounds.center().y())));
}

void TestXPButton::eventsComeBeforeTheLookChanges()
{
    const QImage normal = referenceFace(QStringLiteral("BUTTON-NORMAL"));
    const QImage hover = referenceFace(QStringLiteral("BUTTON-MOUSEOVER"));
    const QImage pressed = referenceFace(QStringLiteral("BUTTON-MOUSEDOWN"));
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"caption", QString()}});
    QWidget *control = site->control();
    QList<QPair<int, QImage>> seen;
    for (int id : {XPButton::ButtonMouseMove, XPButton::ButtonMouseDown, XPButton::ButtonMouseUp,
                   XPButton::ButtonClick})
        site->on(id, [&seen, control, id](EventArgs &) { seen.append({id, faceOf(control)}); });

    sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(faceOf(control), hover);
    sendMouse(control, QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(faceOf(control), pressed);
    sendMouse(control, QEvent::MouseButtonRelease, {20, 10}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(faceOf(control), normal);

    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen.at(0).first, int(XPButton::ButtonMouseMove));
    QCOMPARE(seen.at(0).second, normal);
    QCOMPARE(seen.at(1).first, int(XPButton::ButtonMouseDown));
    QCOMPARE(seen.at(1).second, hover);
    QCOMPARE(seen.at(2).first, int(XPButton::ButtonMouseUp));
    QCOMPARE(seen.at(2).second, pressed);
    QCOMPARE(seen.at(3).first, int(XPButton::ButtonClick));
    QCOMPARE(seen.at(3).second, normal);
}

void TestXPButton::mouseArgumentsByReference()
{
    const QImage hover = referenceFace(QStringLiteral("BUTTON-MOUSEOVER"));
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"caption", QString()}});
    // The host's handler may rewrite the arguments; the control goes on with what it left.
    site->on(XPButton::ButtonMouseDown, [this](EventArgs &args) {
        m_raised.append({XPButton::ButtonMouseDown, args});
        args[0] = QVariant::fromValue(qint16(2));
    });
    sendMouse(site->control(), QEvent::MouseMove, {5, 6}, Qt::NoButton, Qt::NoButton);
    sendMouse(site->control(), QEvent::MouseButtonPress, {12.5, 7.25}, Qt::LeftButton, Qt::LeftButton,
              Qt::ShiftModifier | Qt::AltModifier);

    QCOMPARE(m_raised.size(), 1);
    const EventArgs &args = m_raised.at(0).second;
    QCOMPARE(args.size(), 4);
    QCOMPARE(args.at(0).typeId(), int(QMetaType::Short));
    QCOMPARE(args.at(1).typeId(), int(QMetaType::Short));
    QCOMPARE(args.at(2).typeId(), int(QMetaType::Float));
    QCOMPARE(args.at(3).typeId(), int(QMetaType::Float));
    QCOMPARE(args.at(0).value<qint16>(), qint16(1));
    QCOMPARE(args.at(1).value<qint16>(), qint16(5));
    QCOMPARE(args.at(2).toFloat(), 12.5f);
    QCOMPARE(args.at(3).toFloat(), 7.25f);
    QCOMPARE(faceOf(site->control()), hover);
}

void TestXPButton::rightButtonKeepsTheHoverLook()
{
    const QImage normal = referenceFace(QStringLiteral("BUTTON-NORMAL"));
    const QImage hover = referenceFace(QStringLiteral("BUTTON-MOUSEOVER"));
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"caption", QString()}});
    record(site, {XPButton::ButtonMouseDown, XPButton::ButtonMouseUp, XPButton::ButtonClick});
    QWidget *control = site->control();
    sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
    sendMouse(control, QEvent::MouseButtonPress, {20, 10}, Qt::RightButton, Qt::RightButton);
    QCOMPARE(faceOf(control), hover);
    sendMouse(control, QEvent::MouseMove, {22, 10}, Qt::NoButton, Qt::RightButton);
    QCOMPARE(faceOf(control), hover);
    sendMouse(control, QEvent::MouseButtonRelease, {22, 10}, Qt::RightButton, Qt::NoButton);
    QCOMPARE(faceOf(control), normal);

    QCOMPARE(m_raised.size(), 2);
    QCOMPARE(m_raised.at(0).first, int(XPButton::ButtonMouseDown));
    QCOMPARE(m_raised.at(0).second.at(0).value<qint16>(), qint16(2));
    QCOMPARE(m_raised.at(1).first, int(XPButton::ButtonMouseUp));
}

void TestXPButton::clickOnlyOnLeftReleaseInside_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("release");
    QTest::addColumn<bool>("clicked");
    QTest::addRow("left, inside") << int(Qt::LeftButton) << QPointF(30, 12) << true;
    QTest::addRow("left, on the last column") << int(Qt::LeftButton) << QPointF(70, 12) << true;
    QTest::addRow("left, dragged out") << int(Qt::LeftButton) << QPointF(90, 12) << false;
    QTest::addRow("middle, inside") << int(Qt::MiddleButton) << QPointF(30, 12) << false;
}

void TestXPButton::clickOnlyOnLeftReleaseInside()
{
    QFETCH(int, button);
    QFETCH(QPointF, release);
    QFETCH(bool, clicked);
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry);
    record(site, {XPButton::ButtonClick, XPButton::ButtonMouseUp});
    const auto mouseButton = Qt::MouseButton(button);
    sendMouse(site->control(), QEvent::MouseButtonPress, {30, 12}, mouseButton, mouseButton);
    sendMouse(site->control(), QEvent::MouseButtonRelease, release, mouseButton, Qt::NoButton);
    QCOMPARE(m_raised.size(), clicked ? 2 : 1);
    QCOMPARE(m_raised.at(0).first, int(XPButton::ButtonMouseUp));
    if (clicked)
        QCOMPARE(m_raised.at(1).first, int(XPButton::ButtonClick));
}

void TestXPButton::keysPassThroughWithoutClicking()
{
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry);
    record(site, {XPButton::ButtonClick, XPButton::ButtonKeyDown, XPButton::ButtonKeyPress, XPButton::ButtonKeyUp});
    QWidget *control = site->control();
    sendKey(control, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
    sendKey(control, QEvent::KeyRelease, Qt::Key_Return, QStringLiteral("\r"));
    sendKey(control, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    sendKey(control, QEvent::KeyPress, Qt::Key_Left, QString());

    const QList<int> expectedIds{XPButton::ButtonKeyDown, XPButton::ButtonKeyPress, XPButton::ButtonKeyUp,
                                 XPButton::ButtonKeyDown, XPButton::ButtonKeyPress, XPButton::ButtonKeyDown};
    QList<int> ids;
    for (const auto &raised : qAsConst(m_raised))
        ids.append(raised.first);
    QCOMPARE(ids, expectedIds);
    QCOMPARE(m_raised.at(0).second.at(0).value<qint16>(), qint16(13));
    QCOMPARE(m_raised.at(0).second.at(1).typeId(), int(QMetaType::Short));
    QCOMPARE(m_raised.at(1).second, EventArgs{QVariant::fromValue(qint16(13))});
    QCOMPARE(m_raised.at(4).second, EventArgs{QVariant::fromValue(qint16(32))});
    QCOMPARE(m_raised.at(5).second.at(0).value<qint16>(), qint16(37));
}

void TestXPButton::focusShowsTheHoverLook()
{
    const QImage normal = referenceFace(QStringLiteral("BUTTON-NORMAL"));
    const QImage hover = referenceFace(QStringLiteral("BUTTON-MOUSEOVER"));
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"caption", QString()}});
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(site->control(), &in);
    QCOMPARE(faceOf(site->control()), hover);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(site->control(), &out);
    QCOMPARE(faceOf(site->control()), normal);
}

void TestXPButton::disabledButtonGetsNoInput()
{
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"enabled", false}});
    record(site, {XPButton::ButtonClick, XPButton::ButtonKeyDown, XPButton::ButtonKeyPress, XPButton::ButtonMouseDown,
                  XPButton::ButtonMouseMove, XPButton::ButtonMouseUp});
    QWidget *control = site->control();
    sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
    sendMouse(control, QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(control, QEvent::MouseButtonRelease, {20, 10}, Qt::LeftButton, Qt::NoButton);
    sendKey(control, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
    QCOMPARE(m_raised.size(), 0);

    control->setProperty("Enabled", true);
    sendMouse(control, QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(m_raised.size(), 1);
}

void TestXPButton::mouseOutAtTheEdges_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<bool>("left");
    QTest::addRow("x = width stays inside") << QPoint(70, 10) << false;
    QTest::addRow("y = height stays inside") << QPoint(10, 25) << false;
    QTest::addRow("x = width + 1 leaves") << QPoint(71, 10) << true;
    QTest::addRow("y = height + 1 leaves") << QPoint(10, 26) << true;
    QTest::addRow("x = -1 leaves") << QPoint(-1, 10) << true;
    QTest::addRow("y = -1 leaves") << QPoint(10, -1) << true;
}

void TestXPButton::mouseOutAtTheEdges()
{
    QFETCH(QPoint, pointer);
    QFETCH(bool, left);
    const QImage normal = referenceFace(QStringLiteral("BUTTON-NORMAL"));
    const QImage hover = referenceFace(QStringLiteral("BUTTON-MOUSEOVER"));
    ControlSite *site = place(ButtonId, QStringLiteral("ButtonCom"), ButtonGeometry, {{"caption", QString()}});
    QWidget *control = site->control();
    QList<QImage> facesAtMouseOut;
    site->on(XPButton::ButtonMouseOut, [&facesAtMouseOut, control](EventArgs &) {
        facesAtMouseOut.append(faceOf(control));
    });

    QCursor::setPos(control->mapToGlobal(QPoint(20, 10)));
    sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
    QCursor::setPos(control->mapToGlobal(pointer));
    QCOMPARE(control->mapFromGlobal(QCursor::pos()), pointer);
    QTest::qWait(60);

    QCOMPARE(facesAtMouseOut.size(), left ? 1 : 0);
    if (left) {
        QCOMPARE(facesAtMouseOut.at(0), hover);
        QCOMPARE(faceOf(control), normal);
    } else {
        QCOMPARE(faceOf(control), hover);
    }
}

void TestXPButton::disabledTopButtonRewritesTheStateWord_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("face");
    QTest::addRow("close, hover asked") << int(XPButton::CloseButton) << "MOUSEOVER" << "CLOSE-DISABLED";
    QTest::addRow("maximise, pressed asked") << int(XPButton::MaximumButton) << "MOUSEDOWN" << "MAX-DISABLED";
    QTest::addRow("restore, normal asked") << int(XPButton::RestoreButton) << "NORMAL" << "RESTORE-DISABLED";
}

void TestXPButton::disabledTopButtonRewritesTheStateWord()
{
    QFETCH(int, type);
    QFETCH(QString, word);
    QFETCH(QString, face);
    ControlSite *site = place(TopButtonId, QStringLiteral("TopButtonClose"), QRect(0, 0, 21, 21));
    QObject *control = site->control();
    control->setProperty("TopButtonType", type);
    control->setProperty("Enabled", false);
    QCOMPARE(faceOf(site->control()), bitmap(face));

    QString strImage = word;
    invokeChangeImage(control, strImage);
    QCOMPARE(strImage, QStringLiteral("DISABLED"));
    QCOMPARE(faceOf(site->control()), bitmap(face));

    control->setProperty("Enabled", true);
    QCOMPARE(faceOf(site->control()), bitmap(face.section(QLatin1Char('-'), 0, 0) + QStringLiteral("-NORMAL")));
}

void TestXPButton::enabledTopButtonKeepsTheStateWord()
{
    ControlSite *site = place(TopButtonId, QStringLiteral("TopButtonMin"), QRect(0, 0, 21, 21),
                              {{"topbuttontype", int(XPButton::MinimumButton)}});
    QString strImage = QStringLiteral("MOUSEDOWN");
    invokeChangeImage(site->control(), strImage);
    QCOMPARE(strImage, QStringLiteral("MOUSEDOWN"));
    QCOMPARE(faceOf(site->control()), bitmap(QStringLiteral("MIN-MOUSEDOWN")));
}

void TestXPButton::disabledHelpButtonLooksTheSame()
{
    ControlSite *site = place(HelpButtonId, QStringLiteral("HelpButton"), QRect(0, 0, 21, 21));
    QWidget *control = site->control();
    control->setProperty("Enabled", false);
    QCOMPARE(faceOf(control), bitmap(QStringLiteral("HELP-NORMAL")));
    QString strImage = QStringLiteral("HELP-MOUSEOVER");
    invokeChangeImage(control, strImage);
    QCOMPARE(strImage, QStringLiteral("HELP-MOUSEOVER"));
    QCOMPARE(faceOf(control), bitmap(QStringLiteral("HELP-MOUSEOVER")));
}

void TestXPButton::outOfRangeTypeFailsTheSetter()
{
    ControlSite *site = place(TopButtonId, QStringLiteral("TopButtonClose"), QRect(0, 0, 21, 21));
    auto *top = qobject_cast<TopButton *>(site->control());
    QVERIFY(top);
    QSignalSpy changed(site, &ControlSite::controlPropertyChanged);
    try {
        top->setTopButtonType(TopButton::ButtonType(7));
        QFAIL("the setter did not fail");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::ResourceNotFound));
        QVERIFY2(error.description().contains(QStringLiteral("-NORMAL")), qPrintable(error.description()));
    }
    QCOMPARE(int(top->TopButtonType()), 7);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(faceOf(top), bitmap(QStringLiteral("CLOSE-NORMAL")));

    // With no caller to tell, the pointer and showing leave the face as it is.
    top->hide();
    top->show();
    sendMouse(top, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
    sendMouse(top, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(faceOf(top), bitmap(QStringLiteral("CLOSE-NORMAL")));
    site->saveProperties();
    QCOMPARE(site->storedProperties().read<int>(QStringLiteral("TopButtonType"), -1), 7);
}

void TestXPButton::unknownImageFailsAndKeepsTheFace_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("missing");
    QTest::addRow("Button") << ButtonId << "BUTTON-DISABLED" << "BUTTON-DISABLED";
    QTest::addRow("TopButton") << TopButtonId << "HOVER" << "CLOSE-HOVER";
    QTest::addRow("HelpButton") << HelpButtonId << "HELP-DISABLED" << "HELP-DISABLED";
}

void TestXPButton::unknownImageFailsAndKeepsTheFace()
{
    QFETCH(QString, identifier);
    QFETCH(QString, name);
    QFETCH(QString, missing);
    ControlSite *site = place(identifier, QStringLiteral("Control"), ButtonGeometry);
    const QImage before = faceOf(site->control());
    auto *control = qobject_cast<XPControl *>(site->control());
    QVERIFY(control);
    QString strImage = name;
    try {
        control->ChangeImage(strImage);
        QFAIL("an unknown image was drawn");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::ResourceNotFound));
        QVERIFY2(error.description().contains(missing), qPrintable(error.description()));
    }
    QCOMPARE(faceOf(site->control()), before);
}

void TestXPButton::titleButtonsKeepTheirSize_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addRow("TopButton") << TopButtonId;
    QTest::addRow("HelpButton") << HelpButtonId;
}

void TestXPButton::titleButtonsKeepTheirSize()
{
    QFETCH(QString, identifier);
    ControlSite *site = place(identifier, QStringLiteral("Control"), QRect(5, 5, 50, 40));
    QWidget *control = site->control();
    QCOMPARE(control->size(), QSize(21, 21));
    QCOMPARE(control->pos(), QPoint(5, 5));
    control->resize(100, 3);
    QCOMPARE(control->size(), QSize(21, 21));
    control->setMinimumSize(0, 0);
    control->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    control->resize(60, 60);
    QCOMPARE(control->size(), QSize(21, 21));
    site->saveProperties();
    QCOMPARE(site->storedProperties().read<int>(QStringLiteral("_extentx"), 0), 315);
    QCOMPARE(site->storedProperties().read<int>(QStringLiteral("_extenty"), 0), 315);
}

QTEST_MAIN(TestXPButton)
#include "tst_xpbutton.moc"
