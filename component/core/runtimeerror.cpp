// Velmora component layer. Licensed under the MIT licence.
#include "runtimeerror.h"

namespace Component {

RuntimeError::RuntimeError(int number, const QString &description)
    : m_number(number)
    , m_description(description)
    , m_what(QString::number(number).toUtf8() + ": " + description.toUtf8())
{
}

} // namespace Component
