// Velmora workbench. Licensed under the MIT licence.
#include "runreports.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <utility>
#include <vector>

namespace {

// The figures of one direction, by name, in the order they are reported.
std::vector<std::pair<QString, double>> directionFigures(const DirectionFigures &d)
{
    const LinkCounts &c = d.counts;
    return {
        {QStringLiteral("bytesSent"), double(d.bytesSent)},
        {QStringLiteral("bytesReceived"), double(c.bytesReceived)},
        {QStringLiteral("bytesCompared"), double(c.bytesCompared)},
        {QStringLiteral("bitErrors"), double(c.bitErrors)},
        {QStringLiteral("byteErrors"), double(c.byteErrors)},
        {QStringLiteral("bitErrorRate"), d.bitErrorRate()},
        {QStringLiteral("bitErrorRateBound"), d.bitErrorRateBound()},
        {QStringLiteral("bytesLost"), double(c.bytesLost)},
        {QStringLiteral("bytesInserted"), double(c.bytesInserted)},
        {QStringLiteral("bytesUnaligned"), double(c.bytesUnaligned)},
        {QStringLiteral("bytesDuplicated"), double(c.bytesDuplicated)},
        {QStringLiteral("blocksGood"), double(c.blocksGood)},
        {QStringLiteral("blocksLost"), double(c.blocksLost)},
        {QStringLiteral("blocksCorrupted"), double(c.blocksCorrupted)},
        {QStringLiteral("blocksDuplicated"), double(c.blocksDuplicated)},
        {QStringLiteral("syncLosses"), double(c.syncLosses)},
        {QStringLiteral("frameErrors"), double(d.lineFaults.frame)},
        {QStringLiteral("parityErrors"), double(d.lineFaults.parity)},
        {QStringLiteral("overruns"), double(d.lineFaults.overrun)},
        {QStringLiteral("breaks"), double(d.lineFaults.breaks)},
        {QStringLiteral("bytesPerSecond"), d.bytesPerSecond},
        {QStringLiteral("latencyMedianMs"), d.latency.median},
        {QStringLiteral("latencyP99Ms"), d.latency.p99},
    };
}

QString verdictNote(const RunReports::Run &run)
{
    if (run.interrupted)
        return QStringLiteral("interrupted");
    return run.figures.lossNote;
}

} // namespace

QString RunReports::directionName(const Run &run, const DirectionFigures &d)
{
    const auto name = [&run](qint16 port) { return port == run.ports.out.port ? run.outPort : run.inPort; };
    return name(d.fromPort) + QStringLiteral(" to ") + name(d.toPort);
}

bool RunReports::passed(const Run &run)
{
    return !run.interrupted && run.figures.passes(run.setup.bitErrorRateLimit);
}

QString RunReports::failure(const DirectionFigures &d, double limit)
{
    const LinkCounts &c = d.counts;
    if (c.bitsCompared() == 0)
        return QStringLiteral("nothing arrived to compare");
    if (d.bitErrorRate() > limit)
        return QStringLiteral("bit error rate %1 above the limit %2 (%3 bit errors)")
            .arg(d.bitErrorRate()).arg(limit).arg(c.bitErrors);
    if (c.bytesLost || c.blocksLost)
        return QStringLiteral("%1 bytes lost, %2 blocks lost").arg(c.bytesLost).arg(c.blocksLost);
    if (c.bytesInserted || c.bytesUnaligned)
        return QStringLiteral("%1 bytes inserted, %2 unaligned").arg(c.bytesInserted).arg(c.bytesUnaligned);
    if (c.blocksDuplicated)
        return QStringLiteral("%1 blocks duplicated").arg(c.blocksDuplicated);
    if (c.syncLosses)
        return QStringLiteral("%1 losses of synchronisation").arg(c.syncLosses);
    return {};
}

QByteArray RunReports::json(const Run &run)
{
    QJsonArray directions;
    for (const DirectionFigures &d : run.figures.directions) {
        QJsonObject figures;
        for (const auto &[name, value] : directionFigures(d))
            figures.insert(name, value);
        QJsonObject direction{{QStringLiteral("name"), directionName(run, d)},
                              {QStringLiteral("passed"), d.passes(run.setup.bitErrorRateLimit)},
                              {QStringLiteral("figures"), figures}};
        directions.append(direction);
    }
    const LinkSetup &s = run.setup;
    const QJsonObject setup{
        {QStringLiteral("out"), run.outPort},
        {QStringLiteral("in"), run.inPort},
        {QStringLiteral("pattern"), TestPattern::name(s.pattern)},
        {QStringLiteral("form"), s.form == LinkChecker::Form::Framed ? QStringLiteral("framed") : QStringLiteral("raw")},
        {QStringLiteral("bothWays"), s.direction == LinkSetup::Direction::BothWays},
        {QStringLiteral("pacePercent"), s.pacePercent},
        {QStringLiteral("bitErrorRateLimit"), s.bitErrorRateLimit},
    };
    const QJsonObject report{
        {QStringLiteral("test"), QStringLiteral("linktest")},
        {QStringLiteral("passed"), passed(run)},
        {QStringLiteral("interrupted"), run.interrupted},
        {QStringLiteral("note"), verdictNote(run)},
        {QStringLiteral("started"), run.figures.started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("ended"), run.figures.ended.toString(Qt::ISODateWithMs)},
        {QStringLiteral("elapsedSeconds"), run.figures.elapsedSeconds},
        {QStringLiteral("setup"), setup},
        {QStringLiteral("directions"), directions},
    };
    return QJsonDocument(report).toJson();
}

QByteArray RunReports::junit(const Run &run)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    const double limit = run.setup.bitErrorRateLimit;
    int failures = 0;
    for (const DirectionFigures &d : run.figures.directions)
        failures += d.passes(limit) && verdictNote(run).isEmpty() ? 0 : 1;
    const QString seconds = QString::number(run.figures.elapsedSeconds, 'f', 3);
    w.writeStartElement(QStringLiteral("testsuites"));
    w.writeStartElement(QStringLiteral("testsuite"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("linktest"));
    w.writeAttribute(QStringLiteral("tests"), QString::number(run.figures.directions.size()));
    w.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    w.writeAttribute(QStringLiteral("time"), seconds);
    w.writeAttribute(QStringLiteral("timestamp"), run.figures.started.toString(Qt::ISODate));
    for (const DirectionFigures &d : run.figures.directions) {
        w.writeStartElement(QStringLiteral("testcase"));
        w.writeAttribute(QStringLiteral("classname"), QStringLiteral("linktest"));
        w.writeAttribute(QStringLiteral("name"), directionName(run, d));
        w.writeAttribute(QStringLiteral("time"), seconds);
        w.writeStartElement(QStringLiteral("properties"));
        for (const auto &[name, value] : directionFigures(d)) {
            w.writeEmptyElement(QStringLiteral("property"));
            w.writeAttribute(QStringLiteral("name"), name);
            w.writeAttribute(QStringLiteral("value"), QString::number(value, 'g', 10));
        }
        w.writeEndElement();
        QString message = failure(d, limit);
        if (!verdictNote(run).isEmpty())
            message = message.isEmpty() ? verdictNote(run) : verdictNote(run) + QStringLiteral("; ") + message;
        if (!message.isEmpty()) {
            w.writeStartElement(QStringLiteral("failure"));
            w.writeAttribute(QStringLiteral("message"), message);
            w.writeCharacters(message);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

bool RunReports::write(const QString &path, const QByteArray &contents, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}
