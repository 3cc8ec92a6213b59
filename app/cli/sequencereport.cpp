// Velmora workbench. Licensed under the MIT licence.
#include "sequencereport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>

#include <algorithm>
#include <utility>

namespace {

QString format(bool hex)
{
    return hex ? QStringLiteral("hex") : QStringLiteral("text");
}

QString stepVerdict(const SequenceReport::Step &step)
{
    if (step.underWay)
        return QStringLiteral("interrupted");
    if (step.failures > 0)
        return QStringLiteral("failed");
    return step.runs > 0 ? QStringLiteral("passed") : QStringLiteral("not run");
}

} // namespace

QString SequenceReport::describe(const ProtocolSet::Step &step)
{
    switch (step.kind) {
    case ProtocolSet::Step::Send:
        return QStringLiteral("send %1").arg(step.command);
    case ProtocolSet::Step::Wait:
        return QStringLiteral("wait %1 ms").arg(step.milliseconds);
    case ProtocolSet::Step::Expect:
        return QStringLiteral("expect %1 '%2' within %3 ms").arg(format(step.hex), step.pattern).arg(step.milliseconds);
    case ProtocolSet::Step::RepeatBegin:
        return QStringLiteral("repeat");
    case ProtocolSet::Step::RepeatEnd:
        return QStringLiteral("end of repeat, %1 times").arg(step.times);
    }
    return {};
}

SequenceReport SequenceReport::of(const QString &name, const QList<ProtocolSet::Step> &sequence)
{
    SequenceReport report;
    report.name = name;
    for (int i = 0; i < sequence.size(); ++i) {
        const ProtocolSet::Step &step = sequence.at(i);
        if (step.kind == ProtocolSet::Step::RepeatBegin || step.kind == ProtocolSet::Step::RepeatEnd)
            continue;
        Step entry;
        entry.index = i;
        entry.name = QStringLiteral("step %1: %2").arg(i + 1).arg(describe(step));
        report.steps.append(entry);
    }
    return report;
}

SequenceReport::Step *SequenceReport::step(int index)
{
    for (Step &s : steps) {
        if (s.index == index)
            return &s;
    }
    return nullptr;
}

int SequenceReport::runsPassed() const
{
    int passed = 0;
    for (const Step &s : steps)
        passed += s.runs - s.failures;
    return passed;
}

int SequenceReport::runsFailed() const
{
    int failed = 0;
    for (const Step &s : steps)
        failed += s.failures;
    return failed;
}

bool SequenceReport::passed() const
{
    return completed && !interrupted && note.isEmpty() && runsFailed() == 0;
}

bool SequenceReport::passed(const QList<SequenceReport> &reports)
{
    return !reports.isEmpty()
        && std::all_of(reports.cbegin(), reports.cend(), [](const SequenceReport &r) { return r.passed(); });
}

QJsonObject SequenceReport::toJson() const
{
    QJsonArray stepList;
    for (const Step &s : steps) {
        stepList.append(QJsonObject{
            {QStringLiteral("name"), s.name},
            {QStringLiteral("verdict"), stepVerdict(s)},
            {QStringLiteral("runs"), s.runs},
            {QStringLiteral("failures"), s.failures},
            {QStringLiteral("failure"), s.failure},
            {QStringLiteral("seconds"), s.seconds},
        });
    }
    return {
        {QStringLiteral("name"), name},
        {QStringLiteral("passed"), passed()},
        {QStringLiteral("completed"), completed},
        {QStringLiteral("interrupted"), interrupted},
        {QStringLiteral("note"), interrupted ? QStringLiteral("interrupted") : note},
        {QStringLiteral("stepsPassed"), runsPassed()},
        {QStringLiteral("stepsFailed"), runsFailed()},
        {QStringLiteral("started"), started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("elapsedSeconds"), seconds},
        {QStringLiteral("steps"), stepList},
    };
}

QByteArray SequenceReport::json(const Run &run, const QList<SequenceReport> &reports)
{
    QJsonArray sequences;
    for (const SequenceReport &report : reports)
        sequences.append(report.toJson());
    const bool interrupted =
        std::any_of(reports.cbegin(), reports.cend(), [](const SequenceReport &r) { return r.interrupted; });
    const QJsonObject root{
        {QStringLiteral("test"), QStringLiteral("run")},
        {QStringLiteral("file"), run.file},
        {QStringLiteral("out"), run.outPort},
        {QStringLiteral("in"), run.inPort},
        {QStringLiteral("passed"), passed(reports)},
        {QStringLiteral("interrupted"), interrupted},
        {QStringLiteral("sequences"), sequences},
    };
    return QJsonDocument(root).toJson();
}

QByteArray SequenceReport::junit(const Run &run, const QList<SequenceReport> &reports)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("testsuites"));
    for (const SequenceReport &report : reports)
        report.writeSuite(w, run.file);
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

void SequenceReport::writeSuite(QXmlStreamWriter &w, const QString &file) const
{
    const QString suite = QFileInfo(file).completeBaseName() + QLatin1Char('.') + name;
    int failures = 0;
    int skipped = 0;
    for (const Step &s : steps) {
        failures += s.failures > 0 || s.underWay ? 1 : 0;
        skipped += s.runs == 0 && !s.underWay ? 1 : 0;
    }
    w.writeStartElement(QStringLiteral("testsuite"));
    w.writeAttribute(QStringLiteral("name"), suite);
    w.writeAttribute(QStringLiteral("tests"), QString::number(steps.size()));
    w.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    w.writeAttribute(QStringLiteral("skipped"), QString::number(skipped));
    w.writeAttribute(QStringLiteral("time"), QString::number(seconds, 'f', 3));
    if (started.isValid())
        w.writeAttribute(QStringLiteral("timestamp"), started.toString(Qt::ISODate));
    for (const Step &s : steps) {
        w.writeStartElement(QStringLiteral("testcase"));
        w.writeAttribute(QStringLiteral("classname"), suite);
        w.writeAttribute(QStringLiteral("name"), s.name);
        w.writeAttribute(QStringLiteral("time"), QString::number(s.seconds, 'f', 3));
        w.writeStartElement(QStringLiteral("properties"));
        for (const auto &[property, value] : {std::pair{QStringLiteral("runs"), s.runs},
                                              std::pair{QStringLiteral("failures"), s.failures}}) {
            w.writeEmptyElement(QStringLiteral("property"));
            w.writeAttribute(QStringLiteral("name"), property);
            w.writeAttribute(QStringLiteral("value"), QString::number(value));
        }
        w.writeEndElement();
        QString message;
        if (s.underWay)
            message = QStringLiteral("interrupted");
        if (s.failures > 0) {
            const QString failed = QStringLiteral("failed %1 of %2 runs: %3").arg(s.failures).arg(s.runs).arg(s.failure);
            message = message.isEmpty() ? failed : message + QStringLiteral("; ") + failed;
        }
        if (!message.isEmpty()) {
            w.writeStartElement(QStringLiteral("failure"));
            w.writeAttribute(QStringLiteral("message"), message);
            w.writeCharacters(message);
            w.writeEndElement();
        } else if (s.runs == 0) {
            w.writeEmptyElement(QStringLiteral("skipped"));
            w.writeAttribute(QStringLiteral("message"),
                             interrupted ? QStringLiteral("interrupted before this step")
                                         : note.isEmpty() ? QStringLiteral("not reached") : note);
        }
        w.writeEndElement();
    }
    w.writeEndElement();
}
