// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "componentcore_export.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace Component {

// The stored properties of one placed control, as its host keeps them. Keys are looked
// up without regard to case; the order in which keys were first written is kept.
class COMPONENTCORE_EXPORT PropertyBag
{
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<QPair<QString, QVariant>> entries);

    bool contains(const QString &key) const;
    QVariant value(const QString &key) const;
    QStringList keys() const;
    bool isEmpty() const { return m_entries.isEmpty(); }

    // Reads a stored value as T; a missing key gives the default.
    template<typename T>
    T read(const QString &key, const T &defaultValue) const
    {
        const int i = indexOf(key);
        return i < 0 ? defaultValue : m_entries.at(i).second.template value<T>();
    }

    void set(const QString &key, const QVariant &value);
    void remove(const QString &key);

    // Stores the value, except when it equals the default: then nothing is stored,
    // so that a later read falls back on the default again.
    template<typename T>
    void write(const QString &key, const T &value, const T &defaultValue)
    {
        if (value == defaultValue)
            remove(key);
        else
            set(key, QVariant::fromValue(value));
    }

    template<typename T>
    void write(const QString &key, const T &value)
    {
        set(key, QVariant::fromValue(value));
    }

private:
    int indexOf(const QString &key) const;

    QList<QPair<QString, QVariant>> m_entries;
};

} // namespace Component
