// Velmora control gallery. Licensed under the MIT licence.
#pragma once

#include <QVariant>
#include <QWidget>

class QPlainTextEdit;

namespace Component {
class Control;
}

// Shows every control of both libraries, placed by identifier, with a few live
// controls to play with; what fails is written to the message pane.
class GalleryWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget *parent = nullptr);

private slots:
    void reportDisplayFailure(int number, const QString &description);

private:
    QWidget *buttonSection();
    QWidget *titleButtonSection();
    QWidget *ledColourSection();
    QWidget *ledTypeSection();
    QWidget *liveSection();

    Component::Control *place(QWidget *host, const QString &identifier, const QString &name,
                              const QRect &geometry);
    Component::Control *placeLed(QWidget *host, const QString &name, const QPoint &position,
                                 const QList<QPair<const char *, QVariant>> &properties);
    void apply(QObject *control, const char *property, const QVariant &value);
    void report(const QString &text);

    QPlainTextEdit *m_messages;
    int m_clicks = 0;
};
