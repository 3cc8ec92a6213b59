// Velmora benchmark. Licensed under the MIT licence.
#include "report.h"

#include "measurements.h"

#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

class Report
{
public:
    explicit Report(const Results &results) : m_results(results) {}

    double median(const QString &key) const { return Measurements::percentile(values(key), 0.5); }
    double least(const QString &key) const
    {
        const QVector<double> v = values(key);
        return v.isEmpty() ? 0 : *std::min_element(v.begin(), v.end());
    }
    double most(const QString &key) const
    {
        const QVector<double> v = values(key);
        return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
    }
    int rounds(const QString &key) const { return values(key).size(); }
    int roundsWith(const QString &key, double value) const { return values(key).count(value); }

    // "median [least–most]"
    QByteArray figure(const QString &key, int decimals) const
    {
        if (values(key).isEmpty())
            return "no figure";
        return QString::asprintf("%.*f [%.*f–%.*f]", decimals, median(key), decimals, least(key),
                                 decimals, most(key)).toUtf8();
    }

private:
    QVector<double> values(const QString &key) const { return m_results.value(key); }

    const Results &m_results;
};

const char *verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

// One row of a table: a label and up to two figures, then what follows them. Columns
// are counted in characters, as the range's dash is more than one byte.
void printRow(const char *label, const QByteArray &first, const QByteArray &second, const QByteArray &rest)
{
    const QString row = QStringLiteral("  ") + QString::fromUtf8(label).leftJustified(37)
                        + QString::fromUtf8(first).leftJustified(26) + QString::fromUtf8(second).leftJustified(26)
                        + QString::fromUtf8(rest);
    std::printf("%s\n", row.trimmed().isEmpty() ? "" : qPrintable(row));
}

QByteArray ratioText(double ratio)
{
    return QByteArray::number(ratio, 'f', 2);
}

void printReceive(const Report &r)
{
    const double plain = r.median("plain.mbps");
    std::printf("Receive (mode 2, capture on): the clock stops when the receive pane has drawn the last\n"
                "byte and the capture file holds every byte\n");
    printRow("", "MB/s", "CPU s, whole process", "ratio of MB/s to the plain loop");
    printRow("plain read()/poll() loop", r.figure("plain.mbps", 1), "", "1.00");
    printRow("bare QSerialPort reader", r.figure("serial.mbps", 1), "", ratioText(r.median("serial.mbps") / plain));
    for (const char *format : {"text", "hex"}) {
        const QString key = QString::fromLatin1(format);
        const double ratio = r.median(key + ".mbps") / plain;
        const double goal = key == QLatin1String("text") ? 0.25 : 1.0 / 6;
        const QByteArray label = "Velmora, " + QByteArray(format) + " format";
        printRow(label.constData(), r.figure(key + ".mbps", 1), r.figure(key + ".cpu", 2),
                 ratioText(ratio) + QString::asprintf(" (goal >= %.2f: %s)", goal, verdict(ratio >= goal)).toUtf8());
        std::printf("      longest event-loop stall %s ms (goal <= 50 in every round: %s)\n",
                    r.figure(key + ".stall", 1).constData(), verdict(r.most(key + ".stall") <= 50));
        std::printf("      peak memory %s MiB (goal < 100 in every round: %s)\n",
                    r.figure(key + ".memory", 1).constData(), verdict(r.most(key + ".memory") < 100));
        std::printf("      the capture holds every byte in %d of %d rounds\n", r.roundsWith(key + ".complete", 1),
                    r.rounds(key + ".complete"));
    }
    if (r.rounds("remote.mbps") > 0) {
        // Both cases receive the same stream, so CPU seconds compare as CPU per MB.
        const double rate = r.median("remote.mbps") / r.median("text.mbps");
        const double cpu = r.median("remote.cpu") / r.median("text.cpu");
        std::printf("  Velmora, text, through ser2net RFC 2217 on 127.0.0.1: %s MB/s, %s CPU s; "
                    "the capture holds every byte in %d of %d rounds\n",
                    r.figure("remote.mbps", 1).constData(), r.figure("remote.cpu", 2).constData(),
                    r.roundsWith("remote.complete", 1), r.rounds("remote.complete"));
        std::printf("      to the local pseudo-terminal: rate %s (goal >= 0.5: %s), CPU per MB %s (goal <= 2: %s)\n",
                    ratioText(rate).constData(), verdict(rate >= 0.5), ratioText(cpu).constData(),
                    verdict(cpu <= 2));
        if (r.rounds("ser2net.mbps") > 0)
            std::printf("      a plain recv() loop through the same ser2net: %s MB/s; Velmora's rate to it %s\n",
                        r.figure("ser2net.mbps", 1).constData(),
                        ratioText(r.median("remote.mbps") / r.median("ser2net.mbps")).constData());
        std::printf("      longest event-loop stall %s ms; peak memory %s MiB\n", r.figure("remote.stall", 0).constData(),
                    r.figure("remote.memory", 1).constData());
    }
    std::printf("  Velmora at a steady 1 MB/s: %s %% of one core, whole process (goal <= 25 %%: %s)\n\n",
                QString::asprintf("%.1f [%.1f–%.1f]", r.median("steady.cpu") * 100, r.least("steady.cpu") * 100,
                                  r.most("steady.cpu") * 100).toUtf8().constData(),
                verdict(r.median("steady.cpu") <= 0.25));
    if (r.rounds("steadyframed.cpu") > 0) {
        const double ratio = r.median("steadyframed.cpu") / r.median("steady.cpu");
        std::printf("  The same, every 64-byte line a frame (CR LF): %s %% of one core; ratio to unframed %s"
                    " (goal <= 1.20: %s)\n\n",
                    QString::asprintf("%.1f [%.1f–%.1f]", r.median("steadyframed.cpu") * 100,
                                      r.least("steadyframed.cpu") * 100, r.most("steadyframed.cpu") * 100)
                        .toUtf8().constData(),
                    ratioText(ratio).constData(), verdict(ratio <= 1.2));
    }
}

void printAnswerPair(const Report &r, const QString &serial, const QString &velmora)
{
    const double ratio = r.median(velmora + ".median") / r.median(serial + ".median");
    printRow("bare QSerialPort responder", r.figure(serial + ".median", 0), r.figure(serial + ".p99", 0), "1.00");
    printRow("Velmora", r.figure(velmora + ".median", 0), r.figure(velmora + ".p99", 0), ratioText(ratio));
    std::printf("      goals: median <= 1.5 x QSerialPort's: %s; p99 <= 1000 us: %s (%d exchanges a round)\n",
                verdict(ratio <= 1.5), verdict(r.median(velmora + ".p99") <= 1000),
                int(r.median(velmora + ".count")));
}

void printAnswer(const Report &r)
{
    std::printf("Far-end answer (mode 3): round trips at the far end\n");
    printRow("", "median us", "p99 us", "ratio of medians to QSerialPort");
    std::printf(" \"AT\" -> \"OK\"\n");
    printRow("plain read()/poll() responder", r.figure("plain.trip.median", 0), r.figure("plain.trip.p99", 0),
             ratioText(r.median("plain.trip.median") / r.median("serial.trip.median")));
    printAnswerPair(r, "serial.trip", "velmora.trip");
    if (r.rounds("rules.trip.median") > 0) {
        const double ratio = r.median("rules.trip.median") / r.median("velmora.trip.median");
        std::printf("  by the last of 100 answer rules     %s us, p99 %s us; ratio to the expected command's %s "
                    "(goal <= 1.5: %s)\n",
                    r.figure("rules.trip.median", 0).constData(), r.figure("rules.trip.p99", 0).constData(),
                    ratioText(ratio).constData(), verdict(ratio <= 1.5));
    }
    if (r.rounds("crc32.mbps") > 0)
        std::printf("  CRC-32/ISO-HDLC over 1 MiB          %s MB/s (goal >= 200: %s)\n",
                    r.figure("crc32.mbps", 0).constData(), verdict(r.median("crc32.mbps") >= 200));
    std::printf(" 4 KiB command -> 4 KiB answer\n");
    printAnswerPair(r, "serial4k.trip", "velmora4k.trip");
    std::printf("\n");
}

void printPeriodic(const Report &r, const Options &options)
{
    std::printf("Periodic send (mode 0, \"AT\" every 200 ms, repeat on; %d intervals a round)\n", options.periods);
    printRow("", "mean interval ms", "p99 interval error ms", "");
    printRow("clock_nanosleep (absolute) + write()", r.figure("nanosleep.periodic.mean", 3),
             r.figure("nanosleep.periodic.p99error", 3), "");
    printRow("bare QTimer and QSerialPort", r.figure("serial.periodic.mean", 3), r.figure("serial.periodic.p99error", 3),
             "");
    printRow("Velmora", r.figure("periodic.mean", 3), r.figure("periodic.p99error", 3), "");
    const double ratio = r.median("periodic.p99error") / r.median("nanosleep.periodic.p99error");
    std::printf("      goals: mean within 0.2 ms of 200: %s; p99 error <= 1.5 x clock_nanosleep's: %.2f x, %s\n\n",
                verdict(std::abs(r.median("periodic.mean") - 200) <= 0.2), ratio, verdict(ratio <= 1.5));
}

void printSlowLine(const Report &r, const Options &options)
{
    const int rounds = r.rounds("slow.sending");
    const bool met = r.least("slow.clean") >= options.slowSeconds && r.most("slow.messages") == 0
                     && r.roundsWith("slow.sending", 1) == rounds;
    std::printf("Slow line (mode 0, a 1000-byte command every 200 ms, repeat on; the far end reads\n"
                "960 bytes/s, 16 bytes at a time)\n");
    std::printf("  seconds without a report %s of %d (goal: all of them in every round: %s)\n",
                r.figure("slow.clean", 1).constData(), options.slowSeconds, verdict(met));
    std::printf("      still sending at the end in %d of %d rounds; messages %s\n", r.roundsWith("slow.sending", 1),
                rounds, r.figure("slow.messages", 0).constData());
    if (r.most("slow.messages") > 0)
        std::printf("      the first message's error number %s\n", r.figure("slow.error", 0).constData());
    std::printf("      the far end read %s bytes/s; most bytes waiting for it %s;\n"
                "      peak memory %s MiB\n\n",
                r.figure("slow.rate", 0).constData(), r.figure("slow.waiting", 0).constData(),
                r.figure("slow.memory", 1).constData());
}

void printViewer(const Report &r, const Options &options)
{
    std::printf("Capture viewer (a %d MiB capture selected while a far end streams 11.5 KB/s into mode 2;\n"
                "indexed, scrolled to its end, then searched whole for a text it does not hold)\n",
                options.viewerMiB);
    std::printf("  first rows drawn in %s s; every row indexed in %s s; last line reached in %d of %d rounds\n",
                r.figure("viewer.load", 2).constData(), r.figure("viewer.index", 2).constData(),
                r.roundsWith("viewer.end", 1), r.rounds("viewer.end"));
    const double searchRatio = r.median("scan.search") > 0 ? r.median("viewer.searchmbps") / r.median("scan.search") : 0;
    printRow("", "MB/s", "", "ratio of MB/s to the plain loop");
    printRow("plain read() + memchr, line feeds", r.figure("scan.count", 0), "", "");
    printRow("plain read() + memmem", r.figure("scan.search", 0), "", "1.00");
    printRow("Velmora, search of the whole file", r.figure("viewer.searchmbps", 0), "",
             QString::asprintf("%.2f (goal >= 100 MB/s: %s)", searchRatio,
                               verdict(r.median("viewer.searchmbps") >= 100)).toUtf8());
    std::printf("      longest event-loop stall %s ms (goal <= 100 in every round: %s)\n",
                r.figure("viewer.stall", 0).constData(), verdict(r.most("viewer.stall") <= 100));
    std::printf("      longest a received byte waited to reach the receive pane %s ms (goal <= 100: %s);\n"
                "      beside the viewer left idle as long: %s ms, stall %s ms\n",
                r.figure("viewer.holdup", 0).constData(), verdict(r.most("viewer.holdup") <= 100),
                r.figure("idleviewer.holdup", 0).constData(), r.figure("idleviewer.stall", 0).constData());
    std::printf("      of which the far end's own late waking (a busy machine): %s ms, idle viewer %s ms\n",
                r.figure("viewer.late", 0).constData(), r.figure("idleviewer.late", 0).constData());
    std::printf("      most the far end could not write for a full terminal (a real line loses it) %s KiB\n",
                r.figure("viewer.behind", 1).constData());
    std::printf("      peak memory %s MiB (goal < 100 for a 1024 MiB capture: %s%s)\n",
                r.figure("viewer.memory", 0).constData(), verdict(r.most("viewer.memory") < 100),
                options.viewerMiB < 1024 ? " at this size" : "");
}

void printLateStart(const Report &r)
{
    if (r.rounds("latestart.stall") == 0)
        return;
    std::printf("Start against a late server (mode 2, RFC 2217, every phase answered 0.8 s late)\n");
    std::printf("  started in %d of %d rounds, in %s s\n", r.roundsWith("latestart.started", 1),
                r.rounds("latestart.started"), r.figure("latestart.seconds", 2).constData());
    std::printf("      longest event-loop stall %s ms (goal <= 100 in every round: %s)\n\n",
                r.figure("latestart.stall", 0).constData(), verdict(r.most("latestart.stall") <= 100));
}

} // namespace

void printLinkTest(const Report &r, const Options &options)
{
    const double plain = r.median("plainlink.mbps");
    const double plainCpu = r.median("plainlink.cpupermib");
    std::printf("\nLink test: framed PRBS-15 over two pseudo-terminals joined by a forwarding thread, beside\n"
                "a plain C loop that writes, reads and compares the same bytes; every byte arrives and checks\n");
    printRow("", "MiB/s", "CPU s per MiB", "ratio of MiB/s, of CPU per MiB");
    printRow("plain write/read/compare loop", r.figure("plainlink.mbps", 1), r.figure("plainlink.cpupermib", 3),
             "1.00, 1.00");
    const double speed = r.median("linktest.mbps") / plain;
    const double cpu = r.median("linktest.cpupermib") / plainCpu;
    printRow("Velmora link test", r.figure("linktest.mbps", 1), r.figure("linktest.cpupermib", 3),
             ratioText(speed) + " (goal >= 0.80: " + verdict(speed >= 0.8) + "), " + ratioText(cpu)
                 + " (goal <= 2: " + verdict(cpu <= 2) + "); complete in "
                 + QByteArray::number(r.roundsWith("linktest.complete", 1)) + " of "
                 + QByteArray::number(r.rounds("linktest.complete")) + " rounds");
    const double share = r.median("linkpaced.share");
    printRow(qPrintable(QStringLiteral("far end paced at 11,520 B/s, %1 s").arg(options.slowSeconds)),
             r.figure("linkpaced.share", 3), "", "share of 11,520 B/s (goal >= 0.99: " + QByteArray(verdict(share >= 0.99)) + ")");
    const double checker = r.median("linkchecker.mbps");
    printRow("the checker alone, in memory", r.figure("linkchecker.mbps", 0), "",
             "MiB/s (goal >= 200: " + QByteArray(verdict(checker >= 200)) + ")");
}

void printReport(const Results &results, const Options &options)
{
    const Report r(results);
    std::printf("Velmora benchmark on %d cores: %d interleaved rounds, each case once a round in a process\n"
                "of its own; %d MiB streams, %d + %d exchanges, %d periods, %d s slow line, %d MiB capture.\n"
                "Each figure is the median of the rounds [least–most]; a ratio is the ratio of the medians\n"
                "of this run. Goals are judged on the median, bounds that must always hold on the worst round.\n\n",
                QThread::idealThreadCount(), options.rounds, options.streamMiB, options.exchanges,
                options.longExchanges, options.periods, options.slowSeconds, options.viewerMiB);
    printReceive(r);
    printAnswer(r);
    printPeriodic(r, options);
    printSlowLine(r, options);
    printLateStart(r);
    printViewer(r, options);
    printLinkTest(r, options);
}
