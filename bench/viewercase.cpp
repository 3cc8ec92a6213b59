// Velmora benchmark. Licensed under the MIT licence.
#include "viewercase.h"

#include "baselines.h"
#include "farend.h"
#include "measurements.h"
#include "pseudoterminal.h"
#include "session.h"

#include <filelist.h>
#include <formviewinfo.h>
#include <largefileview.h>
#include <lineindex.h>
#include <richtextbox.h>
#include <rowview.h>

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace ViewerCase {

namespace {

// Named so that it is the first file the viewer lists.
const QString LargeCaptureName = QStringLiteral("01-01-2000.txt");
const QByteArray LastLine("<the last line of the large capture>");
const QByteArray NotThere("<a text the capture does not hold>");
constexpr double MiB = 1024.0 * 1024.0;
constexpr int LineBytes = 64;
constexpr int WritesPerSecond = 100;
constexpr int LongestRunSeconds = 180;
// About as long as the viewer takes to index, scroll and search a 1 GiB capture.
constexpr int IdleMilliseconds = 3000;

// Line n of the far end's stream: "#" and n in 8 digits, letters, CR LF; 64 bytes.
QByteArray numberedLine(qint64 n)
{
    QByteArray line = '#' + QByteArray::number(n).rightJustified(8, '0') + ' ';
    while (line.size() < LineBytes - 2)
        line.append(char('A' + (line.size() + n) % 26));
    return line + "\r\n";
}

// The far end writing numbered lines at a line's steady rate, noting when each byte was
// due: a real line delivers it then, or loses it, while a full terminal makes the far end
// wait (how far it fell behind is kept).
class NumberedStream
{
public:
    explicit NumberedStream(int bytesPerSecond) : m_bytesPerSecond(bytesPerSecond)
    {
        m_writes.resize(size_t(LongestRunSeconds) * WritesPerSecond);
    }

    void run(int master, const std::atomic<bool> &stop)
    {
        const std::int64_t start = Measurements::nowMicroseconds();
        QByteArray pending;
        qint64 nextLine = 0;
        qint64 sent = 0;
        for (size_t tick = 1; !stop && tick < m_writes.size(); ++tick) {
            const std::int64_t at = start + std::int64_t(tick) * 1000000 / WritesPerSecond;
            Measurements::sleepUntilMicroseconds(at);
            const std::int64_t late = Measurements::nowMicroseconds() - at;
            if (late > m_mostLateUs.load(std::memory_order_relaxed))
                m_mostLateUs.store(late, std::memory_order_relaxed);
            const qint64 due = qint64(tick) * m_bytesPerSecond / WritesPerSecond;
            m_writes[tick - 1] = {due, at};
            m_count.store(tick, std::memory_order_release);
            while (qint64(pending.size()) < due - sent)
                pending += numberedLine(nextLine++);
            const ssize_t written = ::write(master, pending.constData(), size_t(due - sent));
            if (written > 0) {
                pending.remove(0, written);
                sent += written;
            }
            m_mostBehind = std::max(m_mostBehind, due - sent);
        }
    }

    // The most bytes that were due but could not be written yet.
    qint64 mostBehind() const { return m_mostBehind; }
    // How late the far end woke up to write, at the most, since restart: a machine too
    // busy to run it on time delays bytes that a real line would deliver meanwhile.
    double mostLateMs() const { return m_mostLateUs.load() / 1000.0; }
    void restart() { m_mostLateUs = 0; }

    // When the byte at `offset` was due; -1 when it is not yet.
    std::int64_t dueAt(qint64 offset) const
    {
        const size_t count = m_count.load(std::memory_order_acquire);
        const auto end = m_writes.begin() + std::ptrdiff_t(count);
        const auto write = std::upper_bound(m_writes.begin(), end, offset,
                                            [](qint64 value, const Write &w) { return value < w.endOffset; });
        return write == end ? -1 : write->at;
    }

private:
    struct Write
    {
        qint64 endOffset;    // bytes due so far, this write's included
        std::int64_t at;
    };

    int m_bytesPerSecond;
    std::vector<Write> m_writes;
    std::atomic<size_t> m_count {0};
    qint64 m_mostBehind = 0;
    std::atomic<std::int64_t> m_mostLateUs {0};
};

// Watches the receive pane: each time text reaches it, the oldest byte that has just
// arrived was due from the far end a while ago; the longest such while is kept.
class HoldUpWatch : public QObject
{
public:
    HoldUpWatch(QPlainTextEdit *pane, const NumberedStream &stream) : m_pane(pane), m_stream(stream)
    {
        connect(pane->document(), &QTextDocument::contentsChanged, this, &HoldUpWatch::changed);
    }

    void restart() { m_longestMs = 0; }
    double longestMs() const { return m_longestMs; }

private:
    void changed()
    {
        const qint64 reached = lastOffsetShown();
        if (reached <= m_reached)
            return;
        const std::int64_t due = m_stream.dueAt(m_reached + 1);
        if (m_reached >= 0 && due > 0)
            m_longestMs = std::max(m_longestMs, (Measurements::nowMicroseconds() - due) / 1000.0);
        m_reached = reached;
    }

    // The offset in the stream of the pane's last character, found from the last line
    // number it shows; -1 when it shows none. Breaks between blocks are either a line's
    // own CR LF or a new line the program started, so they are left out of the count.
    qint64 lastOffsetShown() const
    {
        static const QRegularExpression number(QStringLiteral("#(\\d{8}) "));
        QString text;
        for (QTextBlock block = m_pane->document()->lastBlock(); block.isValid() && text.size() < 3 * LineBytes;
             block = block.previous())
            text.prepend(block.text());
        QRegularExpressionMatch last;
        for (auto it = number.globalMatch(text); it.hasNext();)
            last = it.next();
        if (!last.hasMatch())
            return -1;
        const qint64 charsAfterNumber = text.size() - last.capturedStart();
        const qint64 lineEnd = charsAfterNumber >= LineBytes - 2 ? 2 : 0;
        return last.captured(1).toLongLong() * LineBytes + charsAfterNumber + lineEnd - 1;
    }

    QPlainTextEdit *m_pane;
    const NumberedStream &m_stream;
    qint64 m_reached = -1;
    double m_longestMs = 0;
};

LargeFileView *largeView(const FormViewInfo *viewer)
{
    return viewer->textViewInfo()->largeFileView();
}

bool showsLastLine(const LargeFileView *view)
{
    LineIndex *index = view->index();
    const qint64 last = index->rowCount() - 1;
    const QList<LineIndex::Row> row = index->rows(last, 1);
    return view->rows()->lastShownRow() == last && !row.isEmpty() && index->text(row.first()) == LastLine;
}

double secondsSince(std::int64_t start)
{
    return (Measurements::nowMicroseconds() - start) / 1e6;
}

void waitFor(int milliseconds)
{
    const std::int64_t until = Measurements::nowMicroseconds() + std::int64_t(milliseconds) * 1000;
    runUntil([until] { return Measurements::nowMicroseconds() >= until; });
}

} // namespace

bool writeLargeCapture(const QString &path, int mib)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray &block = Baselines::payloadBlock();
    file.write(QStringLiteral("接收数据：").toUtf8());
    for (qint64 written = 0; written < qint64(mib) * 1024 * 1024; written += block.size()) {
        if (file.write(block) != block.size())
            return false;
    }
    return file.write("\r\n" + LastLine) == LastLine.size() + 2;
}

Result run(const QString &largeCapture, int bytesPerSecond, Work work)
{
    Result result;
    PseudoTerminal terminal;
    WindowSession session(terminal.slavePath());
    QFile::link(largeCapture, session.dataFolder() + QLatin1Char('/') + LargeCaptureName);
    QFile::copy(QStringLiteral(TARROCK_DIR "/data/操作说明.txt"), session.dataFolder() + QStringLiteral("/操作说明.txt"));
    session.prepare(2, 0);
    session.check("CheckSaveInfo", true);
    session.clickButtonCom();

    NumberedStream stream(bytesPerSecond);
    HoldUpWatch holdUp(session.pane("TextComInput"), stream);
    std::atomic<bool> stop {false};
    FarEnd farEnd([&] { stream.run(terminal.master(), stop); });
    waitFor(1000);

    StallMonitor stalls;
    stalls.start();
    holdUp.restart();
    stream.restart();
    FormViewInfo *viewer = FormViewInfo::Show();
    QCoreApplication::processEvents();
    constexpr int Limit = (LongestRunSeconds - 10) * 1000;
    if (work == Work::Idle) {
        waitFor(IdleMilliseconds);
    } else if (viewer->fileList()->count() > 0 && viewer->fileList()->item(0)->text() == LargeCaptureName) {
        const std::int64_t selected = Measurements::nowMicroseconds();
        QTest::keyClick(viewer->fileList(), Qt::Key_Down);
        LargeFileView *view = largeView(viewer);
        if (view && runUntil([&] { return view->rows()->lastShownRow() >= 0; }, 10, Limit))
            result.loadSeconds = secondsSince(selected);
        if (view && runUntil([&] { return view->index()->isComplete(); }, 10, Limit))
            result.indexSeconds = secondsSince(selected);
        if (view) {
            QTest::keyClick(view->rows(), Qt::Key_End);
            result.lastLineShown = runUntil([&] { return showsLastLine(view); }, 10, 5000);
            QTest::keyClick(view->rows(), Qt::Key_Home);
            view->findText()->setText(QString::fromLatin1(NotThere));
            const std::int64_t sought = Measurements::nowMicroseconds();
            view->findNext();
            if (runUntil([&] { return !view->isBusy(); }, 10, Limit) && view->rows()->markOffset() < 0) {
                result.searchSeconds = secondsSince(sought);
                result.searchMBps = view->index()->fileBytes() / MiB / result.searchSeconds;
            }
        }
        waitFor(1000);
    } else {
        std::fprintf(stderr, "the viewer does not list %s first\n", qPrintable(LargeCaptureName));
    }
    result.longestStallMs = stalls.longestStallMs();
    result.longestHoldUpMs = holdUp.longestMs();
    result.farEndHeldBackKiB = stream.mostBehind() / 1024.0;
    result.farEndLateMs = stream.mostLateMs();
    result.peakMemoryMiB = Measurements::peakMemoryMiB();
    stop = true;
    farEnd.join();
    viewer->close();
    session.clickButtonCom();
    return result;
}

PlainScan plainScan(const QString &largeCapture)
{
    PlainScan result;
    constexpr size_t Chunk = 4 * 1024 * 1024;
    std::vector<char> buffer(Chunk + size_t(NotThere.size()));
    const auto pass = [&](auto scanChunk) {
        const int file = ::open(QFile::encodeName(largeCapture).constData(), O_RDONLY);
        if (file < 0)
            return 0.0;
        const std::int64_t start = Measurements::nowMicroseconds();
        qint64 total = 0;
        ssize_t got = 0;
        while ((got = ::read(file, buffer.data(), Chunk)) > 0) {
            scanChunk(buffer.data(), size_t(got));
            total += got;
        }
        ::close(file);
        return total / MiB / secondsSince(start);
    };
    qint64 lineFeeds = 0;
    result.countMBps = pass([&](const char *data, size_t size) {
        for (const char *at = data; (at = static_cast<const char *>(std::memchr(at, '\n', size - size_t(at - data))));
             ++at)
            ++lineFeeds;
    });
    bool found = false;
    result.searchMBps = pass([&](const char *data, size_t size) {
        found = found || memmem(data, size, NotThere.constData(), size_t(NotThere.size())) != nullptr;
    });
    if (lineFeeds == 0 || found)
        std::fprintf(stderr, "the plain scan saw %lld line feeds and %s\n", lineFeeds,
                     found ? "found the text" : "no text");
    return result;
}

} // namespace ViewerCase
