// Velmora component layer. Licensed under the MIT licence.
#include "runtimeerror.h"

#include <QCoreApplication>

namespace Component {

RuntimeError::RuntimeError(int number, const QString &description)
    : m_number(number)
    , m_description(description)
    , m_what(QString::number(number).toUtf8() + ": " + description.toUtf8())
{
}

RuntimeError RuntimeError::overflow()
{
    return RuntimeError(Overflow, QCoreApplication::translate("RuntimeError", "溢出"));
}

RuntimeError RuntimeError::resourceNotFound(const QString &name)
{
    return RuntimeError(ResourceNotFound, QCoreApplication::translate("RuntimeError", "找不到标识符为“%1”的资源").arg(name));
}

} // namespace Component
