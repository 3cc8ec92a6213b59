// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QListWidget>

// A one-line list of the names of a folder's files that match a pattern. Setting the
// folder fills it; Click is raised whenever the selection changes, by mouse or keys,
// and when the selected name is clicked again, so that a file that grew since it was
// selected can be shown anew.
class FileList : public QListWidget
{
    Q_OBJECT

public:
    explicit FileList(QWidget *parent = nullptr);

    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);

    QString path() const { return m_path; }
    // Fills the list with the matching names of the folder, sorted by name. Throws
    // Component::RuntimeError (path not found) when the folder does not exist; the
    // list then stays as it was.
    void setPath(const QString &folder);

    // The selected file's name, without its folder; empty without a selection.
    QString fileName() const;

    // The folder joined to a file name with exactly one separator between them.
    static QString joinPath(const QString &folder, const QString &fileName);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};
