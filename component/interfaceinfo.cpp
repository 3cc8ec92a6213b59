// Velmora component layer. Licensed under the MIT licence.
#include "interfaceinfo.h"

#include <QMetaEnum>
#include <QMetaObject>

namespace Component {

namespace {

QString classInfo(const QMetaObject *metaObject, const QByteArray &name)
{
    const int index = metaObject->indexOfClassInfo(name.constData());
    return index < 0 ? QString() : QString::fromUtf8(metaObject->classInfo(index).value());
}

} // namespace

QList<MemberInfo> interfaceMembers(const QMetaObject *metaObject)
{
    QList<MemberInfo> members;
    const QStringList names = classInfo(metaObject, "Interface").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &name : names) {
        const bool isProperty = metaObject->indexOfProperty(name.toUtf8().constData()) >= 0;
        members.append({name, isProperty ? QStringLiteral("property") : QStringLiteral("method"),
                        classInfo(metaObject, "Description:" + name.toUtf8())});
    }
    return members;
}

QList<QPair<int, QString>> interfaceEvents(const QMetaObject *metaObject)
{
    QList<QPair<int, QString>> events;
    const QStringList entries = classInfo(metaObject, "Events").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &entry : entries)
        events.append({entry.section(QLatin1Char(':'), 0, 0).toInt(), entry.section(QLatin1Char(':'), 1)});
    return events;
}

QList<QPair<QString, int>> enumerationValues(const QMetaObject *metaObject, const char *enumName)
{
    QList<QPair<QString, int>> values;
    const int index = metaObject->indexOfEnumerator(enumName);
    if (index < 0)
        return values;
    const QMetaEnum metaEnum = metaObject->enumerator(index);
    for (int i = 0; i < metaEnum.keyCount(); ++i)
        values.append({QString::fromLatin1(metaEnum.key(i)), metaEnum.value(i)});
    return values;
}

} // namespace Component
