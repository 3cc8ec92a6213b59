// Velmora benchmark. Licensed under the MIT licence.
#include "workbenchcases.h"

#include "baselines.h"
#include "measurements.h"
#include "pseudoterminal.h"

#include <capturelog.h>
#include <commandcodec.h>
#include <formmain.h>
#include <modulefun.h>

#include <componentloader.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <atomic>
#include <functional>
#include <cstdio>
#include <thread>

namespace WorkbenchCases {

namespace {

constexpr int QuietBeforeStopMs = 200;

// One run of the program's main window in a program folder of its own.
class Session
{
public:
    explicit Session(const QString &slavePath)
    {
        QFile ports(m_folder.filePath(QStringLiteral("ports.ini")));
        ports.open(QIODevice::WriteOnly);
        ports.write("COM15=" + slavePath.toLocal8Bit() + "\n");
        ports.close();
        ModuleFun::SetProgramFolder(m_folder.path());
        ModuleFun::SetMessageObserver([](const QString &text, qint16) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        });
        Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
        m_window = new FormMain;
        m_window->show();
        QCoreApplication::processEvents();
    }

    ~Session()
    {
        m_window->close();
        delete m_window;
    }

    void pick(const char *listName, const QString &itemText)
    {
        auto *list = m_window->findChild<QComboBox *>(QString::fromLatin1(listName));
        const int index = list->findText(itemText);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void pickIndex(const char *listName, int index)
    {
        auto *list = m_window->findChild<QComboBox *>(QString::fromLatin1(listName));
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void check(const char *boxName, bool checked)
    {
        auto *box = m_window->findChild<QCheckBox *>(QString::fromLatin1(boxName));
        if (box->isChecked() != checked)
            box->click();
    }

    void type(const char *boxName, const QString &text)
    {
        m_window->findChild<QLineEdit *>(QString::fromLatin1(boxName))->setText(text);
    }

    void clickButtonCom()
    {
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("ButtonCom")), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // Both ports Com 15, in mode `mode` and data format `format`.
    void prepare(int mode, int format)
    {
        pick("ComboComOutput", QStringLiteral("Com 15"));
        pick("ComboComInput", QStringLiteral("Com 15"));
        pickIndex("ComboComIOState", mode);
        pickIndex("ComboComFormat", format);
        pick("ComboComOutSetB", QStringLiteral("115200"));
        pick("ComboComInSetB", QStringLiteral("115200"));
        pick("ComboComOutSetD", QStringLiteral("8"));
        pick("ComboComInSetD", QStringLiteral("8"));
    }

    QString captureFile() const
    {
        return m_folder.filePath(QStringLiteral("data/") + CaptureLog::fileNameFor(QDate::currentDate()));
    }

private:
    QTemporaryDir m_folder;
    FormMain *m_window = nullptr;
};

// Runs the event loop until `done` holds, looking every `pollMs` milliseconds; the
// loop sleeps in between, so the program's own work is all that shows in its CPU time.
void runUntil(const std::function<bool()> &done, int pollMs = 1)
{
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(pollMs);
    if (!done())
        loop.exec();
}

// Plays the far end on a thread of its own while the program's event loop runs, then
// stops communication.
void whileFarEndRuns(Session &session, const std::function<void()> &farEnd)
{
    std::atomic<bool> done {false};
    std::thread thread([&] {
        farEnd();
        done = true;
    });
    runUntil([&] { return bool(done); });
    thread.join();
    session.clickButtonCom();
}

// The capture holds one block whose received record is the whole stream.
bool captureHolds(const QString &path, qint64 bytes, int format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    const QByteArray prefix = QStringLiteral("接收数据：").toUtf8();
    const int start = content.indexOf(prefix);
    if (start < 0)
        return false;
    const QByteArray &block = Baselines::payloadBlock();
    const QByteArray expectedBlock = format == 0 ? block : CommandCodec::hexText(block).toLatin1();
    const qint64 expectedSize = format == 0 ? bytes : bytes * 2;
    const char *data = content.constData() + start + prefix.size();
    if (content.size() - start - prefix.size() != expectedSize)
        return false;
    for (qint64 offset = 0; offset < expectedSize; offset += expectedBlock.size()) {
        const qint64 size = std::min<qint64>(expectedBlock.size(), expectedSize - offset);
        if (memcmp(data + offset, expectedBlock.constData(), size_t(size)) != 0)
            return false;
    }
    return true;
}

} // namespace

ReceiveResult receive(qint64 bytes, int format)
{
    ReceiveResult result;
    PseudoTerminal terminal;
    Session session(terminal.slavePath());
    session.prepare(2, format);
    session.check("CheckSaveInfo", true);
    session.clickButtonCom();

    StallMonitor stalls;
    stalls.start();
    std::atomic<bool> written {false};
    const std::int64_t start = Measurements::nowMicroseconds();
    std::thread farEnd([&] {
        Baselines::farEndStream(terminal.master(), bytes);
        written = true;
    });
    runUntil([&] { return written && terminal.bytesWaitingAtSlave() <= 0; });
    result.seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    result.longestStallMs = stalls.longestStallMs();
    farEnd.join();
    // The last bytes may still be between the terminal's two sides, or read but not yet
    // reported; stopping waits until nothing has come in for a while.
    QElapsedTimer quiet;
    quiet.start();
    runUntil([&] {
        if (terminal.bytesWaitingAtSlave() > 0)
            quiet.restart();
        return quiet.elapsed() >= QuietBeforeStopMs;
    });
    result.peakMemoryMiB = Measurements::peakMemoryMiB();
    session.clickButtonCom();
    result.captureComplete = captureHolds(session.captureFile(), bytes, format);
    return result;
}

double steadyCpuShare(qint64 bytesPerSecond, int seconds)
{
    PseudoTerminal terminal;
    Session session(terminal.slavePath());
    session.prepare(2, 0);
    session.check("CheckSaveInfo", true);
    session.clickButtonCom();
    std::atomic<bool> written {false};
    const double cpuStart = Measurements::threadCpuSeconds();
    const std::int64_t start = Measurements::nowMicroseconds();
    std::thread farEnd([&] {
        Baselines::farEndStream(terminal.master(), bytesPerSecond * seconds, bytesPerSecond);
        written = true;
    });
    runUntil([&] { return bool(written); }, 50);
    const double share = (Measurements::threadCpuSeconds() - cpuStart)
                         / ((Measurements::nowMicroseconds() - start) / 1e6);
    farEnd.join();
    session.clickButtonCom();
    return share;
}

QVector<double> answerRoundTrips(int exchanges)
{
    PseudoTerminal terminal;
    Session session(terminal.slavePath());
    session.prepare(3, 0);
    session.type("TextComOutCommand", QStringLiteral("OK"));
    session.type("TextComInCommand", QStringLiteral("AT"));
    session.clickButtonCom();
    QVector<double> trips;
    whileFarEndRuns(session, [&] {
        trips = Baselines::farEndExchanges(terminal.master(), exchanges, "AT", "OK");
    });
    return trips;
}

QVector<double> periodicIntervals(int periods)
{
    PseudoTerminal terminal;
    Session session(terminal.slavePath());
    session.prepare(0, 0);
    session.check("CheckComAuto", true);
    session.pick("ComboComTime", QStringLiteral("200"));
    session.type("TextComOutCommand", QStringLiteral("AT"));
    session.clickButtonCom();
    QVector<double> intervals;
    whileFarEndRuns(session, [&] {
        intervals = Baselines::farEndArrivalIntervals(terminal.master(), periods);
    });
    return intervals;
}

} // namespace WorkbenchCases
