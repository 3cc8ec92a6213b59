// Velmora benchmark. Licensed under the MIT licence.
#include "baselines.h"

#include "measurements.h"
#include "pseudoterminal.h"
#include "ser2netserver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace Baselines {

namespace {

constexpr int BlockSize = 64 * 1024;
const QByteArray Command("AT");
const QByteArray Answer("OK");

int openSlave(const PseudoTerminal &terminal)
{
    return ::open(terminal.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

} // namespace

bool readExactly(int fd, char *data, qint64 size)
{
    while (size > 0) {
        pollfd watch {fd, POLLIN, 0};
        if (poll(&watch, 1, 2000) <= 0)
            return false;
        const ssize_t got = ::read(fd, data, size_t(size));
        if (got > 0) {
            data += got;
            size -= got;
        }
    }
    return true;
}

const QByteArray &payloadBlock()
{
    static const QByteArray block = [] {
        QByteArray text;
        text.reserve(BlockSize);
        for (int line = 0; text.size() < BlockSize; ++line) {
            QByteArray row = QByteArray::number(line).rightJustified(6, '0') + ' ';
            while (row.size() < 62)
                row.append(char('A' + (row.size() + line) % 26));
            text.append(row).append("\r\n");
        }
        text.truncate(BlockSize);
        return text;
    }();
    return block;
}

const QByteArray &streamEnd()
{
    static const QByteArray end("<the end of the stream>");
    return end;
}

namespace {

void writeAll(int master, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(master, data, size_t(size));
        if (written < 0) {
            pollfd watch {master, POLLOUT, 0};
            poll(&watch, 1, 100);
            continue;
        }
        data += written;
        size -= written;
    }
}

} // namespace

bool farEndStream(int master, qint64 bytes, qint64 bytesPerSecond)
{
    const QByteArray &block = payloadBlock();
    const qint64 payloadBytes = bytes - streamEnd().size();
    const std::int64_t start = Measurements::nowMicroseconds();
    qint64 sent = 0;
    while (sent < payloadBytes) {
        const qint64 part = bytesPerSecond > 0 ? std::min<qint64>(bytesPerSecond / 100, block.size())
                                               : block.size();
        const qint64 size = std::min<qint64>(part, payloadBytes - sent);
        writeAll(master, block.constData(), size);
        sent += size;
        if (bytesPerSecond > 0) {
            const std::int64_t due = start + sent * 1000000 / bytesPerSecond;
            const std::int64_t wait = due - Measurements::nowMicroseconds();
            if (wait > 0)
                usleep(useconds_t(wait));
        }
    }
    writeAll(master, streamEnd().constData(), streamEnd().size());
    return true;
}

QVector<double> farEndExchanges(int master, int exchanges, const QByteArray &command,
                                const QByteArray &answer)
{
    QVector<double> trips;
    QByteArray received(answer.size(), Qt::Uninitialized);
    for (int i = 0; i < exchanges; ++i) {
        const std::int64_t start = Measurements::nowMicroseconds();
        if (::write(master, command.constData(), size_t(command.size())) != command.size())
            break;
        if (!readExactly(master, received.data(), received.size()))
            break;
        trips.append(double(Measurements::nowMicroseconds() - start));
    }
    return trips;
}

double plainReceiveSeconds(qint64 bytes)
{
    PseudoTerminal terminal;
    const int slave = openSlave(terminal);
    const std::int64_t start = Measurements::nowMicroseconds();
    std::thread writer([&] { farEndStream(terminal.master(), bytes); });
    QByteArray buffer(BlockSize, Qt::Uninitialized);
    qint64 received = 0;
    while (received < bytes) {
        pollfd watch {slave, POLLIN, 0};
        if (poll(&watch, 1, 2000) <= 0)
            break;
        const ssize_t got = ::read(slave, buffer.data(), size_t(buffer.size()));
        if (got > 0)
            received += got;
    }
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    writer.join();
    ::close(slave);
    return seconds;
}

double plainSer2netReceiveSeconds(qint64 bytes)
{
    PseudoTerminal terminal;
    Ser2netServer server(terminal.slavePath(), true);
    if (!server.listening())
        return -1;
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(server.port());
    if (::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(socket);
        return -1;
    }
    // ser2net opens the device once the connection is in.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::int64_t start = Measurements::nowMicroseconds();
    std::thread writer([&] { farEndStream(terminal.master(), bytes); });
    QByteArray buffer(BlockSize, Qt::Uninitialized);
    QByteArray tail;
    bool complete = false;
    while (!complete) {
        pollfd watch {socket, POLLIN, 0};
        if (poll(&watch, 1, 5000) <= 0)
            break;
        const ssize_t got = ::recv(socket, buffer.data(), size_t(buffer.size()), 0);
        if (got <= 0)
            break;
        tail = (tail + QByteArray::fromRawData(buffer.constData(), got)).right(streamEnd().size());
        complete = tail == streamEnd();
    }
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    writer.join();
    ::close(socket);
    return complete ? seconds : -1;
}

double serialPortReceiveSeconds(qint64 bytes)
{
    PseudoTerminal terminal;
    QSerialPort port(terminal.slavePath());
    if (!port.open(QIODevice::ReadWrite))
        return -1;
    qint64 received = 0;
    QEventLoop loop;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        received += port.readAll().size();
        if (received >= bytes)
            loop.quit();
    });
    const std::int64_t start = Measurements::nowMicroseconds();
    std::thread writer([&] { farEndStream(terminal.master(), bytes); });
    loop.exec();
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    writer.join();
    return seconds;
}

QVector<double> plainRoundTrips(int exchanges)
{
    PseudoTerminal terminal;
    const int slave = openSlave(terminal);
    std::thread responder([&] {
        QByteArray command(Command.size(), Qt::Uninitialized);
        for (int i = 0; i < exchanges; ++i) {
            if (!readExactly(slave, command.data(), command.size()))
                return;
            if (::write(slave, Answer.constData(), size_t(Answer.size())) != Answer.size())
                return;
        }
    });
    const QVector<double> trips = farEndExchanges(terminal.master(), exchanges, Command, Answer);
    responder.join();
    ::close(slave);
    return trips;
}

QByteArray longCommand(int size)
{
    QByteArray command(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        command[i] = char('A' + i % 26);
    return command;
}

QByteArray longAnswer(int size)
{
    QByteArray answer(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        answer[i] = char('0' + i % 10);
    return answer;
}

QVector<double> serialPortRoundTrips(int exchanges, const QByteArray &command, const QByteArray &answer)
{
    PseudoTerminal terminal;
    QSerialPort port(terminal.slavePath());
    if (!port.open(QIODevice::ReadWrite))
        return {};
    QByteArray pending;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        pending += port.readAll();
        while (pending.size() >= command.size()) {
            pending.remove(0, command.size());
            port.write(answer);
            port.flush();
        }
    });
    QVector<double> trips;
    QEventLoop loop;
    std::thread farEnd([&] {
        trips = farEndExchanges(terminal.master(), exchanges, command, answer);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    farEnd.join();
    return trips;
}

QVector<double> farEndArrivalIntervals(int master, int periods)
{
    QVector<double> arrivals;
    char command[2];
    for (int i = 0; i <= periods && readExactly(master, command, sizeof command); ++i)
        arrivals.append(Measurements::nowMicroseconds() / 1000.0);
    QVector<double> intervals;
    for (int i = 1; i < arrivals.size(); ++i)
        intervals.append(arrivals.at(i) - arrivals.at(i - 1));
    return intervals;
}

QVector<double> serialPortPeriodicIntervals(int periods)
{
    PseudoTerminal terminal;
    QSerialPort port(terminal.slavePath());
    if (!port.open(QIODevice::ReadWrite))
        return {};
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        port.write(Command);
        port.flush();
    });
    QVector<double> intervals;
    QEventLoop loop;
    std::thread farEnd([&] {
        intervals = farEndArrivalIntervals(terminal.master(), periods);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    timer.start(200);
    loop.exec();
    farEnd.join();
    return intervals;
}

QVector<double> nanosleepPeriodicIntervals(int periods)
{
    PseudoTerminal terminal;
    const int slave = openSlave(terminal);
    std::atomic<bool> done {false};
    std::thread sender([&] {
        std::int64_t due = Measurements::nowMicroseconds();
        while (!done) {
            due += 200000;
            Measurements::sleepUntilMicroseconds(due);
            if (::write(slave, Command.constData(), size_t(Command.size())) != Command.size())
                return;
        }
    });
    const QVector<double> intervals = farEndArrivalIntervals(terminal.master(), periods);
    done = true;
    sender.join();
    ::close(slave);
    return intervals;
}

SlowReading farEndReadSlowly(int master, int bytesPerSecond, int chunk, const std::atomic<bool> &stop)
{
    SlowReading reading;
    QByteArray buffer(chunk, Qt::Uninitialized);
    const std::int64_t start = Measurements::nowMicroseconds();
    for (qint64 reads = 1; !stop; ++reads) {
        Measurements::sleepUntilMicroseconds(start + reads * chunk * 1000000 / bytesPerSecond);
        int waiting = 0;
        if (ioctl(master, FIONREAD, &waiting) == 0)
            reading.mostWaiting = std::max(reading.mostWaiting, waiting);
        const ssize_t got = ::read(master, buffer.data(), size_t(chunk));
        if (got > 0)
            reading.bytesRead += got;
    }
    return reading;
}

} // namespace Baselines
