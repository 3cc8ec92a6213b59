// Velmora tests. Licensed under the MIT licence.
#include "ledbitmapnames.h"
#include "ledbitmaps.h"
#include "ledgeometry.h"
#include "ledtext.h"
#include "numberledenums.h"

#include "component/componentloader.h"
#include "component/componentregistry.h"
#include "component/control.h"
#include "component/controlsite.h"
#include "component/libraryserver.h"
#include "component/modulepath.h"
#include "component/runtimeerror.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLibrary>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

using Component::RuntimeError;

namespace {

const char Identifier[] = "OrmelNumberLED.NumberLED";

// A host that remembers every property change it hears of, and what the control
// looked like at that moment.
class RecordingSite : public Component::Site
{
public:
    QString displayName() const override { return QStringLiteral("NumberLED1"); }
    void propertyChanged(const QString &propertyName) override
    {
        changes.append(propertyName);
        if (onChange)
            onChange(propertyName);
    }
    void raiseEvent(int, Component::EventArgs &) override {}

    QStringList changes;
    std::function<void(const QString &)> onChange;
};

int intProperty(const QObject *control, const char *name)
{
    return control->property(name).toInt();
}

// Runs a setter as a host does, by name, and returns the number of the failure it reported.
int failureOf(QObject *control, const char *name, const QVariant &value)
{
    try {
        control->setProperty(name, value);
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

QImage cellImage(const QImage &face, int cell)
{
    return face.copy(2 + cell * 16, 2, 16, 21).convertToFormat(QImage::Format_RGB32);
}

QImage bitmapImage(const QString &name)
{
    return LedBitmaps::load(name).toImage().convertToFormat(QImage::Format_RGB32);
}

// As the bitmap file states it; a loaded image reports its own working depth instead.
int bitsPerPixel(const QString &file)
{
    constexpr int BitCountOffset = 28;
    QFile bitmap(QStringLiteral(":/numberled/") + file);
    if (!bitmap.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = bitmap.read(BitCountOffset + 2);
    return header.size() < BitCountOffset + 2
               ? -1
               : quint8(header.at(BitCountOffset)) | quint8(header.at(BitCountOffset + 1)) << 8;
}

bool allBlack(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(0, 0, 0))
                return false;
    return true;
}

} // namespace

class TestNumberLED : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void formatsNumbers_data();
    void formatsNumbers();
    void formatsDateAndTime();
    void derivesGeometry_data();
    void derivesGeometry();
    void refusesGeometryOutOfRange_data();
    void refusesGeometryOutOfRange();
    void namesCellBitmaps();
    void carriesAllBitmaps();

    void newInstanceShowsZeroInFourCells();
    void clampsNumberDigits_data();
    void clampsNumberDigits();
    void clampsDecimalDigits_data();
    void clampsDecimalDigits();
    void tellsHostAfterStoringBeforeRedrawing();
    void placesNewInstanceThroughSetters();
    void clockModesResizeTheRow();
    void dateTimeShowsBlankCellBetween();
    void widthFollowsHeight();
    void storedPropertiesAreTakenAsTheyAre();
    void savesAllFiveKeys();
    void missingBitmapKeepsEarlierCells();
    void unknownColourFailsSetter();
    void overflowDrawsNothing();
    void failingClockReportsOnceAndStops();
    void registersAndCountsInstances();

private:
    std::unique_ptr<QWidget> m_host;
    Component::Control *place(const Component::PropertyBag &stored = {});
};

void TestNumberLED::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
}

Component::Control *TestNumberLED::place(const Component::PropertyBag &stored)
{
    m_host = std::make_unique<QWidget>();
    m_host->resize(800, 200);
    auto *site = Component::ControlSite::place(m_host.get(), QString::fromLatin1(Identifier),
                                               QStringLiteral("NumberLED1"), QRect(10, 10, 68, 25), stored);
    return site->control();
}

void TestNumberLED::formatsNumbers_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");

    QTest::addRow("rounded to two decimals") << 3.14159f << 4 << 2 << "3.14";
    QTest::addRow("too long keeps the left cells") << 123.456f << 4 << 2 << "123.";
    QTest::addRow("negative keeps its sign") << -5.0f << 4 << 2 << "-5.0";
    QTest::addRow("short text right-aligned") << 7.0f << 6 << 2 << "  7.00";
    QTest::addRow("no decimals, no point") << 2.6f << 3 << 0 << "  3";
    QTest::addRow("integer digit always shown") << 0.25f << 4 << 2 << "0.25";
    QTest::addRow("no grouping separators") << 1234567.0f << 9 << 0 << "  1234567";
    QTest::addRow("negative rounding to zero shows no sign") << -0.001f << 5 << 2 << " 0.00";
    QTest::addRow("negative zero without decimals") << -0.2f << 2 << 0 << " 0";
    QTest::addRow("negative infinity keeps its sign") << -std::numeric_limits<float>::infinity() << 4 << 2 << "-inf";
    QTest::addRow("more decimals than cells allow") << 0.0f << 4 << 3 << "0.00";
    QTest::addRow("negative decimals taken as none") << 8.0f << 2 << -3 << " 8";
    QTest::addRow("no cells") << 1.0f << 0 << 0 << "";
}

void TestNumberLED::formatsNumbers()
{
    QFETCH(float, value);
    QFETCH(int, cells);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(LedText::number(value, cells, decimals), text);
}

void TestNumberLED::formatsDateAndTime()
{
    const QDateTime moment(QDate(2026, 12, 6), QTime(7, 5, 9));
    QCOMPARE(LedText::date(moment), QStringLiteral("12-06-2026"));
    QCOMPARE(LedText::time(moment), QStringLiteral("07:05:09"));
    QCOMPARE(LedText::dateTime(moment), QStringLiteral("12-06-2026 07:05:09"));
    QCOMPARE(LedText::time(QDateTime(QDate(2026, 1, 2), QTime(22, 15, 7))), QStringLiteral("22:15:07"));
}

void TestNumberLED::derivesGeometry_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("cellHeight");
    QTest::addColumn<int>("cellWidth");
    QTest::addColumn<int>("width");

    QTest::addRow("usual height, four cells") << 375 << 4 << 315 << 240 << 1020;
    QTest::addRow("double height, four cells") << 750 << 4 << 690 << 526 << 2164;
    QTest::addRow("usual height, most cells") << 375 << 136 << 315 << 240 << 32700;
    QTest::addRow("no cells, margins only") << 375 << 0 << 315 << 240 << 60;
    QTest::addRow("cell width rounded to nearest") << 300 << 1 << 240 << 183 << 243;
}

void TestNumberLED::derivesGeometry()
{
    QFETCH(int, height);
    QFETCH(int, cells);
    const LedGeometry geometry = LedGeometry::forHeight(height, cells);
    QTEST(geometry.cellHeight, "cellHeight");
    QTEST(geometry.cellWidth, "cellWidth");
    QTEST(geometry.width, "width");
}

void TestNumberLED::refusesGeometryOutOfRange_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cells");

    QTest::addRow("width past 32767 at 137 cells") << 375 << 137;
    QTest::addRow("cell height past 32767") << 32828 << 1;
    QTest::addRow("cell row past 32767 before the margins") << 3000 << 15;
}

void TestNumberLED::refusesGeometryOutOfRange()
{
    QFETCH(int, height);
    QFETCH(int, cells);
    try {
        LedGeometry::forHeight(height, cells);
        QFAIL("no overflow reported");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::Overflow));
    }
}

void TestNumberLED::namesCellBitmaps()
{
    QCOMPARE(LedBitmaps::cellName(QStringLiteral("RED"), QStringLiteral(" ")), QStringLiteral("SHUT"));
    QCOMPARE(LedBitmaps::cellName(QStringLiteral("RED"), QString()), QStringLiteral("RED"));
    QCOMPARE(LedBitmaps::colourWord(4), QString());
    QCOMPARE(LedBitmapNames::fileName(QStringLiteral("BLUE:")), QStringLiteral("BLUE-colon.bmp"));
    QCOMPARE(LedBitmapNames::fileName(QStringLiteral("../x")), QStringLiteral("-dot-dot-u002fx.bmp"));
}

void TestNumberLED::carriesAllBitmaps()
{
    int count = 0;
    for (const QString &word : LedBitmapNames::colourWords()) {
        for (const QChar c : LedBitmapNames::characters()) {
            const QImage image = bitmapImage(word + c);
            QCOMPARE(image.size(), QSize(16, 21));
            QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
            QVERIFY2(!allBlack(image), qPrintable(word + c));
            ++count;
        }
    }
    QCOMPARE(count, 52);
    QCOMPARE(bitsPerPixel(QStringLiteral("BLUE8.bmp")), 24);
    // An unlit segment stays black: the middle bar of 0.
    QCOMPARE(bitmapImage(QStringLiteral("GREEN0")).pixel(8, 10), qRgb(0, 0, 0));
    QCOMPARE(bitmapImage(QStringLiteral("GREEN8")).pixel(5, 9), qRgb(0, 255, 0));

    const QImage blank(QStringLiteral(":/numberled/SHUT.bmp"));
    QCOMPARE(blank.size(), QSize(16, 21));
    QCOMPARE(bitsPerPixel(QStringLiteral("SHUT.bmp")), 8);
    QVERIFY(allBlack(blank.convertToFormat(QImage::Format_RGB32)));
    QCOMPARE(QImage(QStringLiteral(":/numberled/30000.bmp")).size(), QSize(16, 15));
    QCOMPARE(bitsPerPixel(QStringLiteral("30000.bmp")), 24);
}

void TestNumberLED::newInstanceShowsZeroInFourCells()
{
    Component::Control *control = place();
    QCOMPARE(control->size(), QSize(68, 25));
    QCOMPARE(intProperty(control, "LEDShowColor"), int(OrmelNumberLED::BlueLED));
    QCOMPARE(intProperty(control, "LEDShowType"), int(OrmelNumberLED::ShowNumber));
    QCOMPARE(intProperty(control, "NumberDigits"), 4);
    QCOMPARE(intProperty(control, "DecimalDigits"), 2);
    QCOMPARE(control->property("ShowData").toFloat(), 0.0f);
    QCOMPARE(control->accessibleName(), QStringLiteral("0.00"));

    const QImage face = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(face.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(face.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(66, 23), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(67, 24), qRgb(0, 0, 0));
    QCOMPARE(cellImage(face, 0), bitmapImage(QStringLiteral("BLUE0")));
    QCOMPARE(cellImage(face, 1), bitmapImage(QStringLiteral("BLUE.")));
    QCOMPARE(cellImage(face, 3), bitmapImage(QStringLiteral("BLUE0")));
}

void TestNumberLED::clampsNumberDigits_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("expectedCells");
    QTest::addColumn<int>("expectedDecimals");

    QTest::addRow("zero becomes one") << 0 << 1 << 0;
    QTest::addRow("negative becomes one") << -3 << 1 << 0;
    QTest::addRow("three cells leave one decimal") << 3 << 3 << 1;
}

void TestNumberLED::clampsNumberDigits()
{
    QFETCH(int, cells);
    Component::Control *control = place();
    control->setProperty("NumberDigits", cells);
    QTEST(intProperty(control, "NumberDigits"), "expectedCells");
    QTEST(intProperty(control, "DecimalDigits"), "expectedDecimals");
}

void TestNumberLED::clampsDecimalDigits_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("expected");

    QTest::addRow("too many for four cells") << 4 << 5 << 2;
    QTest::addRow("negative becomes zero") << 4 << -1 << 0;
    QTest::addRow("two cells allow none") << 2 << 1 << 0;
    QTest::addRow("one cell allows none") << 1 << 3 << 0;
    QTest::addRow("within the range kept") << 8 << 3 << 3;
}

void TestNumberLED::clampsDecimalDigits()
{
    QFETCH(int, cells);
    QFETCH(int, decimals);
    Component::Control *control = place();
    control->setProperty("NumberDigits", cells);
    control->setProperty("DecimalDigits", decimals);
    QTEST(intProperty(control, "DecimalDigits"), "expected");
}

void TestNumberLED::tellsHostAfterStoringBeforeRedrawing()
{
    Component::Control *control = place();
    RecordingSite site;
    control->setSite(&site);
    QStringList seen;
    site.onChange = [&](const QString &) {
        seen << QStringLiteral("%1 %2 %3")
                    .arg(intProperty(control, "NumberDigits"))
                    .arg(intProperty(control, "DecimalDigits"))
                    .arg(control->width());
    };

    control->setProperty("NumberDigits", 1);
    // Stored, decimals not yet lowered, width not yet derived when the host hears of it.
    QCOMPARE(seen, QStringList{QStringLiteral("1 2 68")});
    QCOMPARE(site.changes, QStringList{QStringLiteral("NumberDigits")});
    QCOMPARE(intProperty(control, "DecimalDigits"), 0);
    QCOMPARE(control->width(), 20);

    site.changes.clear();
    control->setProperty("LEDShowType", int(OrmelNumberLED::ShowDateTime));
    QCOMPARE(site.changes, (QStringList{QStringLiteral("LEDShowType"), QStringLiteral("NumberDigits")}));
    site.changes.clear();
    control->setProperty("LEDShowType", int(OrmelNumberLED::ShowTime));
    QCOMPARE(site.changes, QStringList{QStringLiteral("LEDShowType")});
    control->setSite(nullptr);
}

void TestNumberLED::placesNewInstanceThroughSetters()
{
    QWidget host;
    std::unique_ptr<Component::Control> control(
        Component::ComponentLoader::create(QString::fromLatin1(Identifier), &host));
    // Created: 375 twips high, no cells yet.
    QCOMPARE(control->size(), QSize(4, 25));
    RecordingSite site;
    control->setSite(&site);
    control->initProperties();
    QCOMPARE(site.changes, (QStringList{QStringLiteral("LEDShowColor"), QStringLiteral("LEDShowType"),
                                        QStringLiteral("NumberDigits"), QStringLiteral("DecimalDigits"),
                                        QStringLiteral("ShowData")}));
    QCOMPARE(control->accessibleName(), QStringLiteral("0.00"));
    control->setSite(nullptr);
}

void TestNumberLED::clockModesResizeTheRow()
{
    Component::Control *control = place();
    control->setProperty("LEDShowType", int(OrmelNumberLED::ShowTime));
    QCOMPARE(intProperty(control, "NumberDigits"), 8);
    QCOMPARE(intProperty(control, "DecimalDigits"), 0);
    QCOMPARE(control->width(), 8 * 16 + 4);
    QCOMPARE(control->accessibleName().size(), 8);

    control->setProperty("LEDShowType", int(OrmelNumberLED::ShowDate));
    QCOMPARE(intProperty(control, "NumberDigits"), 10);

    control->setProperty("LEDShowType", int(OrmelNumberLED::ShowNumber));
    QCOMPARE(intProperty(control, "NumberDigits"), 10);
    QCOMPARE(intProperty(control, "DecimalDigits"), 0);
    QCOMPARE(control->accessibleName(), QStringLiteral("0"));
}

void TestNumberLED::dateTimeShowsBlankCellBetween()
{
    Component::Control *control = place();
    control->setProperty("LEDShowColor", int(OrmelNumberLED::RedLED));
    control->setProperty("LEDShowType", int(OrmelNumberLED::ShowDateTime));
    QCOMPARE(intProperty(control, "NumberDigits"), 19);
    const QImage face = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(cellImage(face, 2), bitmapImage(QStringLiteral("RED-")));
    QVERIFY(allBlack(cellImage(face, 10)));
    QCOMPARE(cellImage(face, 13), bitmapImage(QStringLiteral("RED:")));
}

void TestNumberLED::widthFollowsHeight()
{
    Component::Control *control = place();
    control->resize(control->width(), 50);
    QMetaObject::invokeMethod(control, "ShowLED");
    // 2164 twips wide; the cells of 526 twips fall on whole pixels 2, 37, 72, 107.
    QCOMPARE(control->size(), QSize(144, 50));
    const QImage face = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(face.pixel(142, 1), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(143, 1), qRgb(0, 0, 0));
    QCOMPARE(face.pixel(142, 48), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(141, 48), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(143, 49), qRgb(0, 0, 0));
}

void TestNumberLED::storedPropertiesAreTakenAsTheyAre()
{
    Component::Control *control = place({{QStringLiteral("decimaldigits"), 3},
                                         {QStringLiteral("NUMBERDIGITS"), 4}});
    // Missing keys keep what the created control holds.
    QCOMPARE(intProperty(control, "LEDShowColor"), int(OrmelNumberLED::BlueLED));
    QCOMPARE(intProperty(control, "DecimalDigits"), 3);
    QMetaObject::invokeMethod(control, "ShowLED");
    QCOMPARE(control->accessibleName(), QStringLiteral("0.00"));
    control->setProperty("ShowData", 1.5f);
    QCOMPARE(intProperty(control, "DecimalDigits"), 3);
    QCOMPARE(control->accessibleName(), QStringLiteral("1.50"));
}

void TestNumberLED::savesAllFiveKeys()
{
    Component::Control *control = place();
    control->setProperty("ShowData", 2.5f);
    Component::PropertyBag bag;
    control->writeProperties(bag);
    QCOMPARE(bag.keys(), (QStringList{QStringLiteral("LEDShowColor"), QStringLiteral("LEDShowType"),
                                      QStringLiteral("NumberDigits"), QStringLiteral("DecimalDigits"),
                                      QStringLiteral("ShowData")}));
    QCOMPARE(bag.value(QStringLiteral("NumberDigits")).toInt(), 4);
    QCOMPARE(bag.value(QStringLiteral("ShowData")).toFloat(), 2.5f);

    Component::Control *copy = place(bag);
    QCOMPARE(copy->property("ShowData").toFloat(), 2.5f);
    QCOMPARE(intProperty(copy, "DecimalDigits"), 2);
}

void TestNumberLED::missingBitmapKeepsEarlierCells()
{
    Component::Control *control = place();
    // "-inf": the minus has a bitmap, the "i" has none.
    QCOMPARE(failureOf(control, "ShowData", -std::numeric_limits<float>::infinity()),
             int(RuntimeError::ResourceNotFound));
    const QImage face = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(cellImage(face, 0), bitmapImage(QStringLiteral("BLUE-")));
    QVERIFY(allBlack(cellImage(face, 1)));
    QCOMPARE(face.pixel(1, 1), qRgb(255, 255, 255));
}

void TestNumberLED::unknownColourFailsSetter()
{
    Component::Control *control = place();
    RecordingSite site;
    control->setSite(&site);
    QCOMPARE(failureOf(control, "LEDShowColor", 7), int(RuntimeError::ResourceNotFound));
    QCOMPARE(intProperty(control, "LEDShowColor"), 7);
    QCOMPARE(site.changes, QStringList{QStringLiteral("LEDShowColor")});
    QCOMPARE(failureOf(control, "LEDShowType", 9), int(RuntimeError::ResourceNotFound));
    QCOMPARE(failureOf(control, "LEDShowType", int(OrmelNumberLED::ShowNumber)), int(RuntimeError::ResourceNotFound));
    QCOMPARE(failureOf(control, "LEDShowColor", int(OrmelNumberLED::GreenLED)), 0);
    control->setSite(nullptr);
}

void TestNumberLED::overflowDrawsNothing()
{
    Component::Control *control = place();
    const QImage before = control->grab().toImage();
    QCOMPARE(failureOf(control, "NumberDigits", 137), int(RuntimeError::Overflow));
    QCOMPARE(intProperty(control, "NumberDigits"), 137);
    QCOMPARE(control->width(), 68);
    QCOMPARE(control->grab().toImage(), before);
    QCOMPARE(failureOf(control, "NumberDigits", 136), 0);
    QCOMPARE(control->width(), 2180);
}

void TestNumberLED::failingClockReportsOnceAndStops()
{
    Component::Control *control = place();
    QSignalSpy failures(control, SIGNAL(displayFailed(int, QString)));
    QCOMPARE(failureOf(control, "LEDShowColor", 7), int(RuntimeError::ResourceNotFound));
    QCOMPARE(failureOf(control, "LEDShowType", int(OrmelNumberLED::ShowTime)), int(RuntimeError::ResourceNotFound));
    QCOMPARE(failures.count(), 0);

    QTRY_COMPARE_WITH_TIMEOUT(failures.count(), 1, 2000);
    QCOMPARE(failures.at(0).at(0).toInt(), int(RuntimeError::ResourceNotFound));
    QTest::qWait(1200);
    QCOMPARE(failures.count(), 1);

    QCOMPARE(failureOf(control, "LEDShowColor", int(OrmelNumberLED::BlueLED)), 0);
    QCOMPARE(control->accessibleName().size(), 8);
}

void TestNumberLED::registersAndCountsInstances()
{
    QLibrary library(QStringLiteral(TARROCK_DIR "/") + Component::libraryFileName(QStringLiteral("OrmelNumberLED")));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    using EntryPoint = int (*)();
    auto registerServer = reinterpret_cast<EntryPoint>(library.resolve("DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<EntryPoint>(library.resolve("DllUnregisterServer"));
    auto canUnloadNow = reinterpret_cast<EntryPoint>(library.resolve("DllCanUnloadNow"));
    QVERIFY(registerServer && unregisterServer && canUnloadNow && library.resolve("DllGetClassObject"));

    QCOMPARE(registerServer(), int(Component::ServerOk));
    const auto entry = Component::ComponentRegistry::find(QString::fromLatin1(Identifier));
    QVERIFY(entry.has_value());
    QCOMPARE(entry->description, QStringLiteral("Ormel ActiveX NumberLED"));

    place();
    QCOMPARE(canUnloadNow(), int(Component::ServerFalse));
    m_host.reset();
    QCOMPARE(canUnloadNow(), int(Component::ServerOk));
    QCOMPARE(unregisterServer(), int(Component::ServerOk));
    QVERIFY(!Component::ComponentRegistry::find(QString::fromLatin1(Identifier)).has_value());
}

QTEST_MAIN(TestNumberLED)
#include "tst_numberled.moc"
