// Velmora workbench. Licensed under the MIT licence.
#include "filechunks.h"

#include "textfile.h"

#include <QFileInfo>

#include <algorithm>

FileChunks::FileChunks(const QString &path)
    : m_file(path)
{
    // A folder opens on some platforms but is never a text to show.
    if (QFileInfo(path).isDir() || !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw TextFile::openFailure(path);
    m_size = m_file.size();
}

QByteArrayView FileChunks::read(qint64 offset, qint64 length)
{
    length = std::clamp<qint64>(m_size - offset, 0, length);
    if (length == 0 || !m_file.seek(offset))
        return {};
    if (m_buffer.size() < length)
        m_buffer.resize(length);
    const qint64 got = m_file.read(m_buffer.data(), length);
    return QByteArrayView(m_buffer.constData(), std::max<qint64>(got, 0));
}
