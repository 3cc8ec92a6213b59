// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QLabel>

// The message window's text: CR LF breaks lines, long lines wrap (inside a long word
// too), and the text is shown as typed, never read as markup. An empty line between
// paragraphs takes half a line, and a text that still would not fit the fixed box is
// drawn in a smaller font, down to SmallestPointSize; only beyond that is it clipped.
class MessageLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr qreal SmallestPointSize = 7.0;

    explicit MessageLabel(QWidget *parent = nullptr);

    // 0 left, 1 right, 2 centred; anything else is left.
    void setMessage(const QString &text, qint16 intAlign);

    // The font the text is drawn in, and whether the whole text fits the box in it.
    QFont fittedFont() const { return m_fitted; }
    bool textFits() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fit();
    qreal layOut(const QFont &font, QPainter *painter) const;

    QFont m_fitted;
};
