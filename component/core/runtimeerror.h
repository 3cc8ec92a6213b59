// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "componentcore_export.h"

#include <QString>

#include <exception>

namespace Component {

// A run-time failure with a number and a description. Controls never trap these:
// they reach whoever called the failing property, method or creation.
class COMPONENTCORE_EXPORT RuntimeError : public std::exception
{
public:
    RuntimeError(int number, const QString &description);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    // Well-known numbers of the run-time library.
    enum : int {
        Overflow = 6,
        FileNotFound = 53,
        PermissionDenied = 70,
        ResourceNotFound = 326,
        CannotCreateObject = 429,
    };

    // Failures of the run-time library that more than one library raises, in its words.
    static RuntimeError overflow();
    static RuntimeError resourceNotFound(const QString &name);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace Component
