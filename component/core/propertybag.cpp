// Velmora component layer. Licensed under the MIT licence.
#include "propertybag.h"

namespace Component {

PropertyBag::PropertyBag(std::initializer_list<QPair<QString, QVariant>> entries)
{
    for (const auto &entry : entries)
        set(entry.first, entry.second);
}

int PropertyBag::indexOf(const QString &key) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool PropertyBag::contains(const QString &key) const
{
    return indexOf(key) >= 0;
}

QVariant PropertyBag::value(const QString &key) const
{
    const int i = indexOf(key);
    return i < 0 ? QVariant() : m_entries.at(i).second;
}

QStringList PropertyBag::keys() const
{
    QStringList result;
    for (const auto &entry : m_entries)
        result.append(entry.first);
    return result;
}

void PropertyBag::set(const QString &key, const QVariant &value)
{
    const int i = indexOf(key);
    if (i < 0)
        m_entries.append({key, value});
    else
        m_entries[i].second = value;
}

void PropertyBag::remove(const QString &key)
{
    const int i = indexOf(key);
    if (i >= 0)
        m_entries.removeAt(i);
}

} // namespace Component
