// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstddef>

#include <utility>

// A text the user sees, kept as its source and translated each time it is read: constants
// made before the translator is installed still appear in the language chosen at start-up.
// Declare one as UiText("Context", QT_TRANSLATE_NOOP("Context", "source")) so that the
// translation tools find it.
class UiText
{
public:
    constexpr UiText(const char *context, const char *source) : m_context(context), m_source(source) {}

    QString toString() const { return QCoreApplication::translate(m_context, m_source); }
    operator QString() const { return toString(); }
    // The text as written in the code, for files that must read the same in every language.
    QString source() const { return QString::fromUtf8(m_source); }

    template<typename... Args>
    QString arg(Args &&...args) const
    {
        return toString().arg(std::forward<Args>(args)...);
    }

    friend QString operator+(const UiText &a, const QString &b) { return a.toString() + b; }
    friend QString operator+(const QString &a, const UiText &b) { return a + b.toString(); }
    friend QString operator+(const UiText &a, const UiText &b) { return a.toString() + b.toString(); }
    friend bool operator==(const QString &a, const UiText &b) { return a == b.toString(); }

private:
    const char *m_context;
    const char *m_source;
};

// A list's items as the user sees them.
template<std::size_t N>
QStringList translated(const UiText (&texts)[N])
{
    QStringList items;
    for (const UiText &text : texts)
        items.append(text);
    return items;
}
