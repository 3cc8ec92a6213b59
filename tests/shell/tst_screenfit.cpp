// Velmora tests. Licensed under the MIT licence.
#include <screenfit.h>
#include <skinnedwindow.h>

#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

constexpr QSize MainWindow(780, 560);
const char ChildOption[] = "--child";

// Started as a child: the application as the program makes it, the main window's size
// shown as the program shows its windows; prints the screen's factor and whether the
// window lies inside the screen's available area, in device pixels.
int runChild(int argc, char **argv)
{
    const std::unique_ptr<QApplication> app = ScreenFit::createApplication(argc, argv, MainWindow);
    SkinnedWindow window(QStringLiteral("FormMain"), QStringLiteral("Velmora"), MainWindow);
    window.centerOnScreen();
    window.show();
    QScreen *screen = window.screen();
    const qreal factor = screen->devicePixelRatio();
    const bool inside = screen->availableGeometry().contains(window.frameGeometry());
    std::printf("%g %s\n", factor, inside ? "inside" : "outside");
    return 0;
}

} // namespace

// The scale factor rounded down where the largest window would not fit the screen.
class TestScreenFit : public QObject
{
    Q_OBJECT

private slots:
    void fittingFactor_data();
    void fittingFactor();
    void windowFitsTheScreen_data();
    void windowFitsTheScreen();
};

void TestScreenFit::fittingFactor_data()
{
    QTest::addColumn<double>("requested");
    QTest::addColumn<QSize>("available");
    QTest::addColumn<double>("fitting");
    QTest::addRow("1 on a small screen stays") << 1.0 << QSize(640, 480) << 1.0;
    QTest::addRow("below 1 stays") << 0.75 << QSize(640, 480) << 0.75;
    QTest::addRow("1.5 fits 1920x1080") << 1.5 << QSize(1920, 1040) << 1.5;
    QTest::addRow("1.5 on 1366x768") << 1.5 << QSize(1366, 740) << 1.0;
    QTest::addRow("1.5 on 1366x768, no panel") << 1.5 << QSize(1366, 768) << 1.0;
    QTest::addRow("2 on 1600x1000") << 2.0 << QSize(1600, 1000) << 1.5;
    QTest::addRow("2 on 1600x900") << 2.0 << QSize(1600, 900) << 1.5;
    QTest::addRow("1.75 on 1600x900 takes a half step") << 1.75 << QSize(1600, 900) << 1.5;
    QTest::addRow("too wide at 2") << 2.0 << QSize(1500, 2000) << 1.5;
    QTest::addRow("never below 1") << 3.0 << QSize(500, 400) << 1.0;
    QTest::addRow("exactly fits") << 2.0 << QSize(1560, 1120) << 2.0;
}

void TestScreenFit::fittingFactor()
{
    QFETCH(double, requested);
    QFETCH(QSize, available);
    QTEST(ScreenFit::fittingFactor(requested, available, MainWindow), "fitting");
}

void TestScreenFit::windowFitsTheScreen_data()
{
    QTest::addColumn<QByteArray>("scaleFactor");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QByteArray>("shown");
    QTest::addRow("1.5 on 1366x768") << QByteArray("1.5") << QSize(1366, 768) << QByteArray("1 inside");
    QTest::addRow("2 on 1600x1000") << QByteArray("2") << QSize(1600, 1000) << QByteArray("1.5 inside");
    QTest::addRow("1.5 on 1920x1080 as asked") << QByteArray("1.5") << QSize(1920, 1080) << QByteArray("1.5 inside");
    QTest::addRow("none") << QByteArray() << QSize(1366, 768) << QByteArray("1 inside");
}

// The program's own start, on a screen of the size given, at the factor given.
void TestScreenFit::windowFitsTheScreen()
{
    QFETCH(QByteArray, scaleFactor);
    QFETCH(QSize, screen);
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": %1, "height": %2,
                                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(screen.width()).arg(screen.height()).toUtf8());
    file.close();

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    if (scaleFactor.isEmpty())
        environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    else
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scaleFactor));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(ChildOption)});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QTEST(child.readAllStandardOutput().trimmed(), "shown");
}

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], ChildOption) == 0)
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestScreenFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenfit.moc"
