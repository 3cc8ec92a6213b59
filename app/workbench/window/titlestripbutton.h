// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QAbstractButton>

// A square title-strip button of the program's own, its faces the bitmaps
// "<stem>-NORMAL", "<stem>-MOUSEOVER" and "<stem>-MOUSEDOWN" drawn in the look of the
// title-bar buttons of the button library.
class TitleStripButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int Side = 21;

    TitleStripButton(const QString &stem, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPixmap m_normal;
    QPixmap m_hover;
    QPixmap m_pressed;
    bool m_hovered = false;
};
