// Velmora workbench. Licensed under the MIT licence.
#include "filelist.h"

#include "textfile.h"

#include <runtimeerror.h>

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>

namespace {

// As tall as the platform's one-line file list box.
constexpr int OneLineHeight = 26;

bool endsWithSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'));
}

} // namespace

FileList::FileList(QWidget *parent)
    : QListWidget(parent)
{
    setFixedHeight(OneLineHeight);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit Click();
    });
}

void FileList::setPattern(const QString &pattern)
{
    m_pattern = pattern;
}

void FileList::setPath(const QString &folder)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        throw Component::RuntimeError(TextFile::PathNotFound,
                                      QCoreApplication::translate("FileList", "路径未找到：%1").arg(folder));
    m_path = folder;
    clear();
    addItems(dir.entryList({m_pattern}, QDir::Files, QDir::Name));
    // Marks the list as having no current entry on purpose, so that taking the focus
    // does not select (and load) the first file by itself.
    setCurrentIndex(QModelIndex());
}

void FileList::mousePressEvent(QMouseEvent *event)
{
    const int selected = currentRow();
    QListWidget::mousePressEvent(event);
    // A press on another name already raised Click through the selection change.
    if (selected >= 0 && indexAt(event->position().toPoint()).row() == selected)
        emit Click();
}

QString FileList::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->text() : QString();
}

QString FileList::joinPath(const QString &folder, const QString &fileName)
{
    if (endsWithSeparator(folder))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}
