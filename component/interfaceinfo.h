// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"

#include <QList>
#include <QPair>
#include <QString>

struct QMetaObject;

namespace Component {

// Lists a control class's interface at run time, from what the class declares:
//   Q_CLASSINFO("Interface", "ChangeImage,Caption,Enabled")   members in order
//   Q_CLASSINFO("Description:Caption", "...")                   a member's description
//   Q_CLASSINFO("Events", "1:Click,2:KeyDown,...")             events by dispatch id
// Properties are Q_PROPERTYs, methods Q_INVOKABLEs; enumerations are Q_ENUMs.
struct MemberInfo
{
    QString name;
    QString kind; // "method" or "property"
    QString description;
};

COMPONENT_EXPORT QList<MemberInfo> interfaceMembers(const QMetaObject *metaObject);
COMPONENT_EXPORT QList<QPair<int, QString>> interfaceEvents(const QMetaObject *metaObject);
// The enumeration's names and values, in declaration order.
COMPONENT_EXPORT QList<QPair<QString, int>> enumerationValues(const QMetaObject *metaObject,
                                                             const char *enumName);

} // namespace Component
