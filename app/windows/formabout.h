// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "skinnedwindow.h"

class QLabel;
class QPixmap;

// The About window: product, version, the maker's contact lines; the e-mail address
// opens a new message in the user's mail program.
class FormAbout : public SkinnedWindow
{
    Q_OBJECT

public:
    explicit FormAbout(QWidget *parent = nullptr);

    // Creates the window, shows it modally and returns once it has been closed.
    static void ShowModal();

    // "版本：" + major.minor.revision of this program.
    static QString VersionText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLabel(const QString &name, const QString &text, const QPoint &position,
                     QWidget *parent);
    QLabel *addPicture(const QString &name, const QPixmap &picture, const QRect &geometry);
    void addBorderedPicture(const QString &name, const QString &bitmap, int left,
                            const QString &toolTip);
    void addMailAddress();
    void addInfoFrame();
    void mailClick();

    QLabel *m_mail = nullptr;
};
