// Velmora workbench. Licensed under the MIT licence.
#include "linkreport.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

QString count(qint64 value)
{
    return QLocale::c().toString(value);
}

QString rate(double value)
{
    return QString::number(value, 'g', 3);
}

QString milliseconds(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" ms");
}

} // namespace

QString LinkReport::directionText(const DirectionFigures &d, bool framed)
{
    const LinkCounts &c = d.counts;
    QStringList lines;
    lines << tr("Com %1 → Com %2").arg(d.fromPort).arg(d.toPort);
    lines << tr("  发送字节：%1    接收字节：%2").arg(count(d.bytesSent), count(c.bytesReceived));
    lines << tr("  比较位数：%1    误码位数：%2").arg(count(c.bitsCompared()), count(c.bitErrors));
    if (c.bitErrors > 0 || c.bitsCompared() == 0)
        lines << tr("  误码率：%1").arg(rate(d.bitErrorRate()));
    else
        lines << tr("  误码率：0（95%置信上限 %1）").arg(rate(d.bitErrorRateBound()));
    lines << tr("  错误字节：%1    丢失字节：%2    多余字节：%3")
                 .arg(count(c.byteErrors), count(c.bytesLost), count(c.bytesInserted));
    if (framed)
        lines << tr("  数据块：完好 %1，丢失 %2，损坏 %3，重复 %4")
                     .arg(count(c.blocksGood), count(c.blocksLost), count(c.blocksCorrupted),
                          count(c.blocksDuplicated));
    else
        lines << tr("  失步次数：%1    未对齐字节：%2").arg(count(c.syncLosses), count(c.bytesUnaligned));
    lines << tr("  线路错误：帧 %1，校验 %2，溢出 %3，中断 %4")
                 .arg(count(d.lineFaults.frame), count(d.lineFaults.parity), count(d.lineFaults.overrun),
                      count(d.lineFaults.breaks));
    if (d.theoreticalBytesPerSecond > 0)
        lines << tr("  吞吐量：%1 字节/秒，理论 %2 字节/秒（%3%）")
                     .arg(count(qint64(d.bytesPerSecond)), count(qint64(d.theoreticalBytesPerSecond)))
                     .arg(QString::number(100.0 * d.bytesPerSecond / d.theoreticalBytesPerSecond, 'f', 1));
    else
        lines << tr("  吞吐量：%1 字节/秒（此线路没有波特率，无理论值）").arg(count(qint64(d.bytesPerSecond)));
    if (d.latency.samples > 0)
        lines << tr("  往返延迟：最小 %1，中位 %2，p99 %3，最大 %4")
                     .arg(milliseconds(d.latency.minimum), milliseconds(d.latency.median),
                          milliseconds(d.latency.p99), milliseconds(d.latency.maximum));
    return lines.join(QStringLiteral("\r\n"));
}

QString LinkReport::figuresText(const LinkFigures &figures, LinkChecker::Form form)
{
    QStringList parts;
    // A test of a few thousand bytes takes milliseconds: they are shown, not rounded away.
    const int decimals = figures.elapsedSeconds < 10 ? 3 : 1;
    parts << tr("用时：%1 秒").arg(QString::number(figures.elapsedSeconds, 'f', decimals));
    for (const DirectionFigures &d : figures.directions)
        parts << directionText(d, form == LinkChecker::Form::Framed);
    if (!figures.lossNote.isEmpty())
        parts << tr("测试因线路断开而结束：%1").arg(figures.lossNote);
    else if (figures.stoppedEarly)
        parts << tr("测试被提前停止，以上为停止前的结果。");
    return parts.join(QStringLiteral("\r\n"));
}

QString LinkReport::verdictText(const LinkFigures &figures, double bitErrorRateLimit)
{
    return figures.passes(bitErrorRateLimit) ? tr("通过") : tr("未通过");
}

QString LinkReport::reportText(const LinkSetup &setup, const LinkPorts &ports, const LinkFigures &figures)
{
    QStringList lines;
    lines << tr("线路测试报告");
    lines << tr("开始：%1").arg(figures.started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lines << tr("结束：%1").arg(figures.ended.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lines << tr("发送端口：Com %1 %2").arg(ports.out.port).arg(ports.out.settings);
    lines << tr("接收端口：Com %1 %2").arg(ports.in.port).arg(ports.in.settings);
    lines << tr("测试图案：%1").arg(TestPattern::name(setup.pattern));
    lines << (setup.form == LinkChecker::Form::Framed ? tr("形式：分块（块号与 CRC），每块 %1 字节").arg(setup.payloadBytes)
                                                      : tr("形式：原始"));
    lines << (setup.direction == LinkSetup::Direction::BothWays ? tr("方向：双向") : tr("方向：单向"));
    lines << tr("误码率上限：%1").arg(rate(setup.bitErrorRateLimit));
    lines << figuresText(figures, setup.form);
    lines << tr("结论：%1").arg(verdictText(figures, setup.bitErrorRateLimit));
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}
