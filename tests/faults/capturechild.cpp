// Velmora tests. Licensed under the MIT licence.
// capturechild FOLDER DEVICE [FILE_SIZE_LIMIT]
// Receives on DEVICE as Com 1 and captures into FOLDER/capture.txt, as the program does
// with capture on in the receive-only mode. Prints "ready" once the port is open and
// "report: <hint>" for every capture failure the user would be told of. SIGUSR1 lifts
// the file size limit; SIGTERM stops communication (writing the capture) and ends.
#include "portmap.h"
#include "transferengine.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

int signalPipe[2];

void onSignal(int number)
{
    const char byte = char(number);
    (void)!write(signalPipe[1], &byte, 1);
}

void limitFileSize(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString folder = args.at(1);
    QFile ini(folder + QStringLiteral("/ports.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(("COM1=" + args.at(2) + '\n').toLocal8Bit()) < 0)
        return 2;
    ini.close();
    PortMap::setFolder(folder);

    // A write past the limit fails with an error instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    if (args.size() > 3)
        limitFileSize(args.at(3).toULongLong());

    TransferEngine engine;
    engine.capture().setFile(folder, QStringLiteral("capture.txt"));
    QObject::connect(&engine, &TransferEngine::captureFailed, [&engine] {
        say(QStringLiteral("report: ")
            + engine.capture().failureHint().replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    });
    engine.setCapturing(true);
    engine.openInPort({1, QStringLiteral("9600,N,8,1"), 0}, 1, 0);
    TransferEngine::Run run;
    run.mode = TransferEngine::ModeReceive;
    engine.begin(run, {QStringLiteral("单独接收通讯数据"), QStringLiteral("数据发送端口：Com 1"),
                       QStringLiteral("9600,N,8,1"), QStringLiteral("数据接收端口：Com 1"),
                       QStringLiteral("9600,N,8,1")});

    if (pipe(signalPipe) != 0)
        return 2;
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, [&] {
        char number = 0;
        if (read(signalPipe[0], &number, 1) != 1)
            return;
        if (number == SIGUSR1) {
            limitFileSize(RLIM_INFINITY);
            say(QStringLiteral("unlimited"));
        } else {
            engine.stop();
            say(QStringLiteral("stopped"));
            app.quit();
        }
    });
    std::signal(SIGUSR1, onSignal);
    std::signal(SIGTERM, onSignal);
    say(QStringLiteral("ready"));
    return app.exec();
}
