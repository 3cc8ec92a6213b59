// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QLabel>

// The message window's text: CR LF breaks lines, long lines wrap (inside a long word
// too), and what does not fit the fixed box is clipped. The text is shown as typed,
// never read as markup.
class MessageLabel : public QLabel
{
    Q_OBJECT

public:
    explicit MessageLabel(QWidget *parent = nullptr);

    // 0 left, 1 right, 2 centred; anything else is left.
    void setMessage(const QString &text, qint16 intAlign);

protected:
    void paintEvent(QPaintEvent *event) override;
};
