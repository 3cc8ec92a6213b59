// OrmelXPButton control library tests. Licensed under the MIT licence.
#include "button.h"
#include "resourcebitmap.h"
#include "topbutton.h"
#include "xpbuttonevents.h"

#include <componentloader.h>
#include <controlsite.h>
#include <runtimeerror.h>

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
using namespace XPButton;

Q_DECLARE_METATYPE(Component::PropertyBag)

namespace {
const QString ButtonId = QStringLiteral("OrmelXPButton.Button");
const QString TopButtonId = QStringLiteral("OrmelXPButton.TopButton");
const QString HelpButtonId = QStringLiteral("OrmelXPButton.HelpButton");
const QRect ButtonGeometry(10, 10, 70, 25);
const QRect TitleGeometry(0, 0, 21, 21);
const PropertyBag BlankCaption{{"caption", QString()}};

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

void changeImage(QWidget *control, QString &strImage)
{
    qobject_cast<XPControl *>(control)->ChangeImage(strImage);
}

// Each argument as "type value", so that a wrong type shows as plainly as a wrong value.
QStringList described(const EventArgs &args)
{
    QStringList described;
    for (const QVariant &arg : args)
        described.append(QString::fromLatin1(arg.typeName()) + ' ' + arg.toString());
    return described;
}

} // namespace

// The three controls as a host meets them: placed by identifier on a host window,
// handlers bound by event id, properties read and written through the host's store.
class TestXPButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
        init();
        QWidget *control = place(ButtonId, BlankCaption)->control();
        for (const QString look : {"NORMAL", "MOUSEOVER", "MOUSEDOWN"}) {
            QString name = QStringLiteral("BUTTON-") + look;
            changeImage(control, name);
            m_looks.append({look, faceOf(control)});
        }
        cleanup();
    }

    void init()
    {
        m_host = std::make_unique<QWidget>();
        m_host->setGeometry(100, 100, 300, 200);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        m_ids.clear();
        m_args.clear();
    }

    void cleanup() { m_host.reset(); }

    void storedPropertiesRoundTrip_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<PropertyBag>("stored");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("type"); // -1: the class has no type
        QTest::addRow("Button, new: the display name") << ButtonId << PropertyBag{} << "ButtonCom" << true << -1;
        QTest::addRow("Button, lower-case keys, disabled") << ButtonId << PropertyBag{{"caption", QStringLiteral("退出")}, {"enabled", false}}
                                                           << QStringLiteral("退出") << false << -1;
        QTest::addRow("Button, no caption stored") << ButtonId << PropertyBag{{"_extentx", 1050}} << "" << true << -1;
        QTest::addRow("TopButton, new") << TopButtonId << PropertyBag{} << "" << true << 0;
        QTest::addRow("TopButton, disabled restore")
            << TopButtonId << PropertyBag{{"enabled", false}, {"topbuttontype", 3}} << "" << false << 3;
        QTest::addRow("HelpButton, disabled") << HelpButtonId << PropertyBag{{"enabled", false}} << "" << false << -1;
    }

    void storedPropertiesRoundTrip()
    {
        QFETCH(QString, identifier);
        QFETCH(PropertyBag, stored);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(int, type);
        ControlSite *site = place(identifier, stored);
        const QObject *control = site->control();
        QCOMPARE(control->objectName(), QStringLiteral("ButtonCom"));
        QCOMPARE(control->property("Caption").toString(), caption);
        QCOMPARE(control->property("Enabled").toBool(), enabled);
        QCOMPARE(control->property("TopButtonType").isValid() ? control->property("TopButtonType").toInt() : -1, type);

        QSignalSpy changed(site, &ControlSite::controlPropertyChanged);
        site->saveProperties();
        const PropertyBag &saved = site->storedProperties();
        QCOMPARE(saved.contains(QStringLiteral("Caption")), identifier == ButtonId);
        QCOMPARE(saved.read<QString>(QStringLiteral("Caption"), QString()), caption);
        QCOMPARE(saved.contains(QStringLiteral("Enabled")), !enabled);
        QCOMPARE(saved.read<bool>(QStringLiteral("Enabled"), true), enabled);
        QCOMPARE(saved.read<int>(QStringLiteral("TopButtonType"), -1), type);
        QCOMPARE(changed.count(), 0);
    }

    void storedTypeShowsOnlyOnceShown()
    {
        QWidget hiddenHost;
        ControlSite *site = ControlSite::place(&hiddenHost, TopButtonId, QStringLiteral("TopButtonMin"), TitleGeometry,
                                               {{"topbuttontype", int(MinimumButton)}});
        QCOMPARE(faceOf(site->control()), bitmap(QStringLiteral("CLOSE-NORMAL")));
        hiddenHost.show();
        QCOMPARE(faceOf(site->control()), bitmap(QStringLiteral("MIN-NORMAL")));
    }

    void composedFacesMatchTheSlices()
    {
        // Points of the 70 x 25 face against the 18 x 21 bitmap: corners, edges, centre.
        const QList<QPair<QPoint, QPoint>> points{
            {{0, 0}, {0, 0}},   {{69, 0}, {17, 0}},  {{69, 24}, {17, 20}}, {{0, 24}, {0, 20}},   {{1, 1}, {1, 1}},
            {{35, 0}, {9, 0}},  {{35, 24}, {9, 20}}, {{0, 12}, {0, 10}},   {{68, 12}, {16, 10}}, {{35, 3}, {9, 3}},
            {{35, 21}, {9, 17}}};
        for (const auto &[look, face] : m_looks) {
            const QImage source = bitmap(QStringLiteral("BUTTON-") + look);
            QCOMPARE(face.size(), QSize(70, 25));
            for (const auto &[onFace, inSource] : points) {
                QVERIFY2(face.pixel(onFace) == source.pixel(inSource),
                         qPrintable(QStringLiteral("%1 at %2,%3").arg(look).arg(onFace.x()).arg(onFace.y())));
            }
        }
    }

    void captionIsCentredInBlackOrGrey_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("grey");
        QTest::addRow("enabled: black") << true << 0;
        QTest::addRow("disabled: grey") << false << 128;
    }

    // The caption's ink is where the face differs from the blank face.
    void captionIsCentredInBlackOrGrey()
    {
        QFETCH(bool, enabled);
        QFETCH(int, grey);
        QWidget *control = place(ButtonId, BlankCaption)->control();
        QFont font = control->font();
        font.setPixelSize(14);
        control->setFont(font);
        control->setProperty("Enabled", enabled);
        const QImage blank = faceOf(control);
        control->setProperty("Caption", QStringLiteral("WWWW"));
        const QImage face = faceOf(control);
        QRect ink;
        int darkest = 255;
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x) {
                if (face.pixel(x, y) != blank.pixel(x, y)) {
                    ink |= QRect(x, y, 1, 1);
                    darkest = qMin(darkest, qGray(face.pixel(x, y)));
                }
            }
        }
        QVERIFY2(qAbs(darkest - grey) <= 8, qPrintable(QString::number(darkest)));
        QVERIFY2(qAbs(ink.center().x() - 35) <= 2, qPrintable(QString::number(ink.center().x())));
        QVERIFY2(qAbs(ink.center().y() - 12) <= 4, qPrintable(QString::number(ink.center().y())));
    }

    void eventsComeBeforeTheLookChanges_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QStringList>("seen"); // the look each handler saw
        QTest::addRow("left") << int(Qt::LeftButton)
                              << QList<int>{ButtonMouseMove, ButtonMouseDown, ButtonMouseMove, ButtonMouseUp, ButtonClick}
                              << QStringList{"NORMAL", "MOUSEOVER", "MOUSEDOWN", "MOUSEDOWN", "NORMAL"};
        QTest::addRow("right keeps the hover look")
            << int(Qt::RightButton) << QList<int>{ButtonMouseMove, ButtonMouseDown, ButtonMouseMove, ButtonMouseUp}
            << QStringList{"NORMAL", "MOUSEOVER", "MOUSEOVER", "MOUSEOVER"};
    }

    // Moves in, presses, moves with the button held, releases.
    void eventsComeBeforeTheLookChanges()
    {
        QFETCH(int, button);
        QFETCH(QList<int>, ids);
        QFETCH(QStringList, seen);
        ControlSite *site = place(ButtonId, BlankCaption);
        QWidget *control = site->control();
        QStringList seenLooks;
        for (int id : {ButtonMouseMove, ButtonMouseDown, ButtonMouseUp, ButtonClick}) {
            site->on(id, [this, &seenLooks, control, id](EventArgs &) {
                m_ids.append(id);
                seenLooks.append(lookOf(control));
            });
        }
        const auto mouseButton = Qt::MouseButton(button);
        sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
        sendMouse(control, QEvent::MouseButtonPress, {20, 10}, mouseButton, mouseButton);
        sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, mouseButton);
        sendMouse(control, QEvent::MouseButtonRelease, {20, 10}, mouseButton, Qt::NoButton);
        QCOMPARE(m_ids, ids);
        QCOMPARE(seenLooks, seen);
        QCOMPARE(lookOf(control), QStringLiteral("NORMAL"));
    }

    void mouseArgumentsByReference()
    {
        ControlSite *site = place(ButtonId, BlankCaption);
        // The host's handler may rewrite the arguments; the control goes on with what it left.
        site->on(ButtonMouseDown, [this](EventArgs &args) {
            m_args.append(args);
            m_ids.append(ButtonMouseDown);
            args[0] = QVariant::fromValue(qint16(2));
        });
        sendMouse(site->control(), QEvent::MouseMove, {5, 6}, Qt::NoButton, Qt::NoButton);
        sendMouse(site->control(), QEvent::MouseButtonPress, {12.5, 7.25}, Qt::LeftButton, Qt::LeftButton,
                  Qt::ShiftModifier | Qt::AltModifier);

        QCOMPARE(m_ids, QList<int>{ButtonMouseDown});
        QCOMPARE(described(m_args.at(0)), (QStringList{"short 1", "short 5", "float 12.5", "float 7.25"}));
        QCOMPARE(lookOf(site->control()), QStringLiteral("MOUSEOVER"));
    }

    void clickOnlyOnLeftReleaseInside_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<int>("button");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<QList<int>>("ids");
        const QList<int> clicked{ButtonMouseDown, ButtonMouseUp, ButtonClick};
        const QList<int> notClicked{ButtonMouseDown, ButtonMouseUp};
        QTest::addRow("left, on the last column") << ButtonId << int(Qt::LeftButton) << QPointF(70, 12) << clicked;
        QTest::addRow("left, dragged out") << ButtonId << int(Qt::LeftButton) << QPointF(90, 12) << notClicked;
        QTest::addRow("right, inside") << ButtonId << int(Qt::RightButton) << QPointF(30, 12) << notClicked;
        QTest::addRow("title button ids") << HelpButtonId << int(Qt::LeftButton) << QPointF(21, 12)
                                          << QList<int>{TitleMouseDown, TitleMouseUp, TitleClick};
    }

    void clickOnlyOnLeftReleaseInside()
    {
        QFETCH(QString, identifier);
        QFETCH(int, button);
        QFETCH(QPointF, release);
        QFETCH(QList<int>, ids);
        ControlSite *site = place(identifier);
        recordAll(site);
        const auto mouseButton = Qt::MouseButton(button);
        sendMouse(site->control(), QEvent::MouseButtonPress, {10, 12}, mouseButton, mouseButton);
        sendMouse(site->control(), QEvent::MouseButtonRelease, release, mouseButton, Qt::NoButton);
        QCOMPARE(m_ids, ids);
    }

    // Keys reach a disabled button not at all, an enabled one as key events only, never as a click.
    void keysPassThroughWithoutClicking()
    {
        ControlSite *site = place(ButtonId, {{"caption", QString()}, {"enabled", false}});
        recordAll(site);
        QWidget *control = site->control();
        QTest::keyClick(control, Qt::Key_Return);
        QCOMPARE(m_ids, QList<int>());

        control->setProperty("Enabled", true);
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(control, &in);
        QCOMPARE(lookOf(control), QStringLiteral("MOUSEOVER"));
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyPress(control, Qt::Key_Space);
        QTest::keyPress(control, Qt::Key_Left);
        QCOMPARE(m_ids, (QList<int>{ButtonKeyDown, ButtonKeyPress, ButtonKeyUp, ButtonKeyDown, ButtonKeyPress, ButtonKeyDown}));
        QCOMPARE(described(m_args.at(0)), (QStringList{"short 13", "short 0"}));
        QCOMPARE(described(m_args.at(1)), QStringList{"short 13"});
        QCOMPARE(described(m_args.at(2)), (QStringList{"short 13", "short 0"}));
        QCOMPARE(described(m_args.at(4)), QStringList{"short 32"});
        QCOMPARE(described(m_args.at(5)), (QStringList{"short 37", "short 0"}));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(control, &out);
        QCOMPARE(lookOf(control), QStringLiteral("NORMAL"));
    }

    // The pointer on the last column is still inside; one further out, the poll raises MouseOut.
    void mouseOutPastTheEdge()
    {
        ControlSite *site = place(ButtonId, BlankCaption);
        QWidget *control = site->control();
        QStringList seen;
        site->on(ButtonMouseOut, [&seen, control, this](EventArgs &) { seen.append(lookOf(control)); });
        QCursor::setPos(control->mapToGlobal(QPoint(20, 10)));
        sendMouse(control, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
        for (const int x : {70, 71}) {
            QCursor::setPos(control->mapToGlobal(QPoint(x, 10)));
            QCOMPARE(control->mapFromGlobal(QCursor::pos()), QPoint(x, 10));
            QTest::qWait(60);
            QCOMPARE(lookOf(control), x == 70 ? QStringLiteral("MOUSEOVER") : QStringLiteral("NORMAL"));
        }
        QCOMPARE(seen, QStringList{QStringLiteral("MOUSEOVER")});
    }

    void titleButtonFaces_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<int>("type"); // -1: the class has no type
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("passedBack");
        QTest::addColumn<QString>("idleFace");
        QTest::addColumn<QString>("askedFace");
        QTest::addRow("close, disabled, hover asked") << TopButtonId << int(CloseButton) << false << "MOUSEOVER"
                                                      << "DISABLED" << "CLOSE-DISABLED" << "CLOSE-DISABLED";
        QTest::addRow("maximise, disabled, pressed asked") << TopButtonId << int(MaximumButton) << false << "MOUSEDOWN"
                                                           << "DISABLED" << "MAX-DISABLED" << "MAX-DISABLED";
        QTest::addRow("restore, disabled, normal asked") << TopButtonId << int(RestoreButton) << false << "NORMAL"
                                                         << "DISABLED" << "RESTORE-DISABLED" << "RESTORE-DISABLED";
        QTest::addRow("minimise, enabled, pressed asked") << TopButtonId << int(MinimumButton) << true << "MOUSEDOWN"
                                                          << "MOUSEDOWN" << "MIN-NORMAL" << "MIN-MOUSEDOWN";
        QTest::addRow("help, disabled, looks the same") << HelpButtonId << -1 << false << "HELP-MOUSEOVER"
                                                        << "HELP-MOUSEOVER" << "HELP-NORMAL" << "HELP-MOUSEOVER";
    }

    // The face when idle, after asking for a state, and once enabled again.
    void titleButtonFaces()
    {
        QFETCH(QString, identifier);
        QFETCH(int, type);
        QFETCH(bool, enabled);
        QFETCH(QString, asked);
        QFETCH(QString, passedBack);
        QFETCH(QString, idleFace);
        QFETCH(QString, askedFace);
        QWidget *control = place(identifier, {}, TitleGeometry)->control();
        if (type >= 0)
            control->setProperty("TopButtonType", type);
        control->setProperty("Enabled", enabled);
        QCOMPARE(faceOf(control), bitmap(idleFace));
        changeImage(control, asked);
        QCOMPARE(asked, passedBack);
        QCOMPARE(faceOf(control), bitmap(askedFace));
        control->setProperty("Enabled", true);
        QCOMPARE(faceOf(control), bitmap(askedFace.section(QLatin1Char('-'), 0, 0) + QStringLiteral("-NORMAL")));
    }

    void outOfRangeTypeFailsTheSetter()
    {
        ControlSite *site = place(TopButtonId, {}, TitleGeometry);
        auto *top = qobject_cast<TopButton *>(site->control());
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

        // With no caller to tell, the pointer and showing leave the face as it is.
        top->hide();
        top->show();
        sendMouse(top, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
        sendMouse(top, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(faceOf(top), bitmap(QStringLiteral("CLOSE-NORMAL")));
        site->saveProperties();
        QCOMPARE(site->storedProperties().read<int>(QStringLiteral("TopButtonType"), -1), 7);
    }

    void unknownImageFailsAndKeepsTheFace()
    {
        QWidget *control = place(ButtonId)->control();
        const QImage before = faceOf(control);
        QString strImage = QStringLiteral("BUTTON-DISABLED");
        try {
            changeImage(control, strImage);
            QFAIL("an unknown image was drawn");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), int(RuntimeError::ResourceNotFound));
            QVERIFY2(error.description().contains(strImage), qPrintable(error.description()));
        }
        QCOMPARE(faceOf(control), before);
    }

    void titleButtonsKeepTheirSize_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addRow("TopButton") << TopButtonId;
        QTest::addRow("HelpButton") << HelpButtonId;
    }

    // Also when a host loosens the size limits.
    void titleButtonsKeepTheirSize()
    {
        QFETCH(QString, identifier);
        ControlSite *site = place(identifier, {}, QRect(5, 5, 50, 40));
        QWidget *control = site->control();
        QCOMPARE(control->geometry(), QRect(5, 5, 21, 21));
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

private:
    ControlSite *place(const QString &identifier, const PropertyBag &stored = {},
                       const QRect &geometry = ButtonGeometry)
    {
        // A host shows what it places on a window that is already showing.
        ControlSite *site = ControlSite::place(m_host.get(), identifier, QStringLiteral("ButtonCom"), geometry, stored);
        site->control()->show();
        return site;
    }

    // Records every raised event's id, with the arguments as the handler got them.
    void recordAll(ControlSite *site)
    {
        for (int id = ButtonClick; id <= ButtonMouseUp; ++id)
            site->on(id, [this, id](EventArgs &args) {
                m_ids.append(id);
                m_args.append(args);
            });
    }

    // Which of the push button's state faces the control shows.
    QString lookOf(QWidget *control) const
    {
        const QImage face = faceOf(control);
        for (const auto &[look, image] : m_looks) {
            if (image == face)
                return look;
        }
        return QStringLiteral("other");
    }

    std::unique_ptr<QWidget> m_host;
    QList<int> m_ids;
    QList<EventArgs> m_args;
    QList<QPair<QString, QImage>> m_looks;
};

QTEST_MAIN(TestXPButton)
#include "tst_xpbutton.moc"
