// Velmora tests. Licensed under the MIT licence.
#include "ledbitmapnames.h"
#include "ledbitmaps.h"
#include "ledgeometry.h"
#include "ledtext.h"
#include "numberledenums.h"

#include <componentloader.h>
#include <componentregistry.h>
#include <control.h>
#include <controlsite.h>
#include <libraryserver.h>
#include <modulepath.h>
#include <runtimeerror.h>

#include <QDateTime>
#include <QImage>
#include <QLibrary>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <limits>
#include <memory>

using Component::RuntimeError;
using namespace OrmelNumberLED;

namespace {

const char Identifier[] = "OrmelNumberLED.NumberLED";
const QStringList SavedKeys = {"LEDShowColor", "LEDShowType", "NumberDigits", "DecimalDigits", "ShowData"};
constexpr float MinusInfinity = -std::numeric_limits<float>::infinity();

// A host that remembers every property change it hears of.
class RecordingSite : public Component::Site
{
public:
    QString displayName() const override { return QStringLiteral("NumberLED1"); }
    void propertyChanged(const QString &propertyName) override { changes.append(propertyName); }
    void raiseEvent(int, Component::EventArgs &) override {}

    QStringList changes;
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

QImage faceOf(QWidget *control)
{
    return control->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage cellImage(const QImage &face, int cell)
{
    return face.copy(2 + cell * 16, 2, 16, 21);
}

QImage bitmapImage(const QString &name)
{
    return LedBitmaps::load(name).toImage().convertToFormat(QImage::Format_RGB32);
}

bool allBlack(const QImage &image)
{
    QImage black(image.size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    return image.convertToFormat(QImage::Format_RGB32) == black;
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
    void namesAndCarriesBitmaps();

    void drawsEachCellInItsFrame();
    void clampsDigits_data();
    void clampsDigits();
    void clockModesResizeTheRow();
    void widthFollowsHeightAndCells();
    void storedPropertiesAreTakenAsTheyAre();
    void unknownColourFailsSetterAndStopsClock();
    void registersItsDescription();

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
    QTest::addRow("no grouping separators") << 1234567.0f << 9 << 0 << "  1234567";
    QTest::addRow("negative rounding to zero shows no sign") << -0.001f << 5 << 2 << " 0.00";
    QTest::addRow("negative zero without decimals") << -0.2f << 2 << 0 << " 0";
}

void TestNumberLED::formatsNumbers()
{
    QFETCH(float, value);
    QFETCH(int, cells);
    QFETCH(int, decimals);
    QTEST(LedText::number(value, cells, decimals), "text");
}

void TestNumberLED::formatsDateAndTime()
{
    const QDateTime moment(QDate(2026, 2, 6), QTime(22, 5, 9));
    QCOMPARE(LedText::date(moment), QStringLiteral("02-06-2026"));
    QCOMPARE(LedText::dateTime(moment), QStringLiteral("02-06-2026 22:05:09"));
}

// A width of 0 stands for an overflow error.
void TestNumberLED::derivesGeometry_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("width");

    QTest::addRow("usual height, four cells") << 375 << 4 << 1020;
    QTest::addRow("double height, four cells") << 750 << 4 << 2164;
    QTest::addRow("cell width rounded to nearest") << 300 << 1 << 243;
    QTest::addRow("cell height past 32767") << 32828 << 1 << 0;
    QTest::addRow("cell row past 32767 before the margins") << 3000 << 15 << 0;
}

void TestNumberLED::derivesGeometry()
{
    QFETCH(int, height);
    QFETCH(int, cells);
    QFETCH(int, width);
    try {
        const LedGeometry geometry = LedGeometry::forHeight(height, cells);
        QCOMPARE(geometry.cellHeight, height - 60);
        QCOMPARE(int(geometry.width), width);
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::Overflow));
        QCOMPARE(width, 0);
    }
}

void TestNumberLED::namesAndCarriesBitmaps()
{
    QCOMPARE(LedBitmaps::cellName(QStringLiteral("RED"), QStringLiteral(" ")), QStringLiteral("SHUT"));
    QCOMPARE(LedBitmaps::colourWord(4), QString());
    QCOMPARE(LedBitmapNames::fileName(QStringLiteral("../x")), QStringLiteral("-dot-dot-u002fx.bmp"));

    for (const QString &word : LedBitmapNames::colourWords()) {
        for (const QChar c : LedBitmapNames::characters()) {
            const QImage image = bitmapImage(word + c);
            QCOMPARE(image.size(), QSize(16, 21));
            QVERIFY2(!allBlack(image), qPrintable(word + c));
        }
    }
    // Lit segments in the colour, unlit ones black: the middle bar of 8 and of 0.
    QCOMPARE(bitmapImage(QStringLiteral("GREEN8")).pixel(5, 9), qRgb(0, 255, 0));
    QCOMPARE(bitmapImage(QStringLiteral("GREEN0")).pixel(8, 10), qRgb(0, 0, 0));
    QVERIFY(allBlack(bitmapImage(QStringLiteral("SHUT"))));
    QCOMPARE(QImage(QStringLiteral(":/numberled/30000.bmp")).size(), QSize(16, 15));
}

void TestNumberLED::drawsEachCellInItsFrame()
{
    QWidget host;
    std::unique_ptr<Component::Control> created(
        Component::ComponentLoader::create(QString::fromLatin1(Identifier), &host));
    // 375 twips high, no cells yet.
    QCOMPARE(created->size(), QSize(4, 25));

    Component::Control *control = place();
    QCOMPARE(intProperty(control, "LEDShowColor"), int(BlueLED));
    QCOMPARE(intProperty(control, "LEDShowType"), int(ShowNumber));
    QCOMPARE(intProperty(control, "NumberDigits"), 4);
    QCOMPARE(intProperty(control, "DecimalDigits"), 2);
    QImage face = faceOf(control);
    QCOMPARE(face.pixel(66, 23), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(67, 24), qRgb(0, 0, 0));
    QCOMPARE(cellImage(face, 0), bitmapImage(QStringLiteral("BLUE0")));
    QCOMPARE(cellImage(face, 1), bitmapImage(QStringLiteral("BLUE.")));
    QCOMPARE(cellImage(face, 3), bitmapImage(QStringLiteral("BLUE0")));

    // "-inf": the minus has a bitmap, the "i" has none; what was drawn stays.
    QCOMPARE(failureOf(control, "ShowData", MinusInfinity), int(RuntimeError::ResourceNotFound));
    face = faceOf(control);
    QCOMPARE(cellImage(face, 0), bitmapImage(QStringLiteral("BLUE-")));
    QVERIFY(allBlack(cellImage(face, 1)));
    QCOMPARE(face.pixel(1, 1), qRgb(255, 255, 255));
}

// Decimals of -9 leave them as the new cell count makes them.
void TestNumberLED::clampsDigits_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("expectedCells");
    QTest::addColumn<int>("expectedDecimals");

    QTest::addRow("zero cells become one") << 0 << -9 << 1 << 0;
    QTest::addRow("three cells leave one decimal") << 3 << -9 << 3 << 1;
    QTest::addRow("too many decimals for eight cells") << 8 << 7 << 8 << 6;
    QTest::addRow("negative decimals become zero") << 4 << -1 << 4 << 0;
    QTest::addRow("two cells allow no decimals") << 2 << 1 << 2 << 0;
}

void TestNumberLED::clampsDigits()
{
    QFETCH(int, cells);
    QFETCH(int, decimals);
    Component::Control *control = place();
    control->setProperty("NumberDigits", cells);
    if (decimals != -9)
        control->setProperty("DecimalDigits", decimals);
    QTEST(intProperty(control, "NumberDigits"), "expectedCells");
    QTEST(intProperty(control, "DecimalDigits"), "expectedDecimals");
}

void TestNumberLED::clockModesResizeTheRow()
{
    Component::Control *control = place();
    RecordingSite site;
    control->setSite(&site);
    control->setProperty("LEDShowType", int(ShowTime));
    QCOMPARE(site.changes, QStringList{"LEDShowType"});
    QCOMPARE(intProperty(control, "NumberDigits"), 8);
    QCOMPARE(control->width(), 8 * 16 + 4);
    control->setProperty("LEDShowType", int(ShowDate));
    QCOMPARE(intProperty(control, "NumberDigits"), 10);
    // Back to numbers: ten cells, and the decimals the clock modes cleared.
    control->setProperty("LEDShowType", int(ShowNumber));
    QCOMPARE(control->accessibleName(), QStringLiteral("0"));

    control->setProperty("LEDShowColor", int(RedLED));
    site.changes.clear();
    control->setProperty("LEDShowType", int(ShowDateTime));
    // Only the date-and-time mode tells the host of its new cell count.
    QCOMPARE(site.changes, (QStringList{"LEDShowType", "NumberDigits"}));
    QCOMPARE(intProperty(control, "NumberDigits"), 19);
    const QImage face = faceOf(control);
    QCOMPARE(cellImage(face, 2), bitmapImage(QStringLiteral("RED-")));
    QVERIFY(allBlack(cellImage(face, 10)));
    QCOMPARE(cellImage(face, 13), bitmapImage(QStringLiteral("RED:")));
    control->setSite(nullptr);
}

void TestNumberLED::widthFollowsHeightAndCells()
{
    Component::Control *control = place();
    control->resize(control->width(), 50);
    QMetaObject::invokeMethod(control, "ShowLED");
    // 2164 twips wide: the frame hugs the row, one pixel inside the control.
    QCOMPARE(control->size(), QSize(144, 50));
    const QImage face = faceOf(control);
    QCOMPARE(face.pixel(142, 48), qRgb(255, 255, 255));
    QCOMPARE(face.pixel(143, 1), qRgb(0, 0, 0));
    QCOMPARE(face.pixel(143, 49), qRgb(0, 0, 0));

    // An overflowing row keeps the cell count but draws nothing.
    control->resize(control->width(), 25);
    QCOMPARE(failureOf(control, "NumberDigits", 136), 0);
    QCOMPARE(control->width(), 2180);
    const QImage before = control->grab().toImage();
    QCOMPARE(failureOf(control, "NumberDigits", 137), int(RuntimeError::Overflow));
    QCOMPARE(intProperty(control, "NumberDigits"), 137);
    QCOMPARE(control->width(), 2180);
    QCOMPARE(control->grab().toImage(), before);
}

void TestNumberLED::storedPropertiesAreTakenAsTheyAre()
{
    // Stored values are not clamped, and their keys are matched in any case.
    Component::Control *control = place({{QStringLiteral("decimaldigits"), 3}, {QStringLiteral("NUMBERDIGITS"), 4}});
    control->setProperty("ShowData", 1.5f);
    QCOMPARE(intProperty(control, "DecimalDigits"), 3);
    QCOMPARE(control->accessibleName(), QStringLiteral("1.50"));

    Component::PropertyBag bag;
    control->writeProperties(bag);
    QCOMPARE(bag.keys(), SavedKeys);
    Component::Control *copy = place(bag);
    QCOMPARE(copy->property("ShowData").toFloat(), 1.5f);
    QCOMPARE(intProperty(copy, "DecimalDigits"), 3);
}

void TestNumberLED::unknownColourFailsSetterAndStopsClock()
{
    Component::Control *control = place();
    RecordingSite site;
    control->setSite(&site);
    QSignalSpy failures(control, SIGNAL(displayFailed(int, QString)));
    QCOMPARE(failureOf(control, "LEDShowColor", 7), int(RuntimeError::ResourceNotFound));
    QCOMPARE(intProperty(control, "LEDShowColor"), 7);
    QCOMPARE(site.changes, QStringList{"LEDShowColor"});
    QCOMPARE(failureOf(control, "LEDShowType", int(ShowTime)), int(RuntimeError::ResourceNotFound));
    QCOMPARE(failures.count(), 0);

    // The clock reports its failure once, then waits for a build that succeeds.
    QTRY_COMPARE_WITH_TIMEOUT(failures.count(), 1, 2000);
    QCOMPARE(failures.at(0).at(0).toInt(), int(RuntimeError::ResourceNotFound));
    QTest::qWait(1200);
    QCOMPARE(failures.count(), 1);
    QCOMPARE(failureOf(control, "LEDShowColor", int(BlueLED)), 0);
    QCOMPARE(control->accessibleName().size(), 8);
    QCOMPARE(failureOf(control, "LEDShowType", 9), int(RuntimeError::ResourceNotFound));
    control->setSite(nullptr);
}

void TestNumberLED::registersItsDescription()
{
    QLibrary library(QStringLiteral(TARROCK_DIR "/") + Component::libraryFileName(QStringLiteral("OrmelNumberLED")));
    auto registerServer = reinterpret_cast<int (*)()>(library.resolve("DllRegisterServer"));
    QVERIFY2(registerServer, qPrintable(library.errorString()));
    QCOMPARE(registerServer(), int(Component::ServerOk));
    const auto entry = Component::ComponentRegistry::find(QString::fromLatin1(Identifier));
    QVERIFY(entry.has_value());
    QCOMPARE(entry->description, QStringLiteral("Ormel ActiveX NumberLED"));
}

QTEST_MAIN(TestNumberLED)
#include "tst_numberled.moc"
