// Velmora workbench. Licensed under the MIT licence.
#include "skinnedwindow.h"

#include "frameline.h"
#include "listfit.h"
#include "modulefun.h"
#include "skinparts.h"

#include <control.h>
#include <controlsite.h>
#include <xpbuttonevents.h>

#include <QComboBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

namespace {

constexpr int KeyAsciiEnter = 13;

bool isDragHandle(const QObject *part)
{
    const QString name = part->objectName();
    return name == QLatin1String(SkinPart::TitleMain) || name == QLatin1String(SkinPart::TitleIcon)
        || name == QLatin1String(SkinPart::Title);
}

QLabel *newPicture(QWidget *parent, const char *name, const QPixmap &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setScaledContents(true);
    label->setPixmap(picture);
    return label;
}

} // namespace

SkinnedWindow::SkinnedWindow(const QString &name, const QString &caption, const QSize &clientSize,
                             QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(name);
    setWindowTitle(caption);
    setFixedSize(clientSize);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, SkinPart::WindowBack);
    setPalette(colours);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_DeleteOnClose);
}

SkinnedWindow::~SkinnedWindow() = default;

void SkinnedWindow::addTitleStrip(const QString &title)
{
    QLabel *strip = newPicture(this, SkinPart::TitleMain, ModuleFun::ResourceBitmap(QString::fromLatin1(SkinPart::CaptionBitmap)));
    strip->setGeometry(0, 0, width(), SkinPart::StripHeight);
    makeDragHandle(strip);
    addFrameLine();

    QLabel *icon = newPicture(this, SkinPart::TitleIcon, ModuleFun::ProgramIcon().pixmap(SkinPart::IconSize));
    icon->setGeometry(QRect(SkinPart::TitleIconAt, SkinPart::IconSize));
    makeDragHandle(icon);

    auto *label = new QLabel(title, this);
    label->setObjectName(QString::fromLatin1(SkinPart::Title));
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, SkinPart::TitleText);
    label->setPalette(colours);
    label->move(SkinPart::TitleTextAt);
    label->adjustSize();
    makeDragHandle(label);
}

void SkinnedWindow::addFrameLine()
{
    auto *frame = new FrameLine(this);
    frame->setObjectName(QString::fromLatin1(SkinPart::Frame));
    frame->setGeometry(1, 1, width() - 1, height() - 1);
    // The title strip stays bottom-most with the frame line directly above it.
    frame->lower();
    if (QWidget *strip = findChild<QWidget *>(QString::fromLatin1(SkinPart::TitleMain), Qt::FindDirectChildrenOnly))
        strip->lower();
}

Component::ControlSite *SkinnedWindow::addCloseButton()
{
    const QPoint at = SkinPart::titleButtonAt(width(), SkinPart::CloseButtonPlace);
    Component::ControlSite *site = placeControl(
        QString::fromLatin1(XPButton::TopButtonIdentifier), QString::fromLatin1(SkinPart::CloseButton),
        QRect(at, SkinPart::TitleButtonSize),
        {{storedKey(XPButton::TopButtonTypeKey), int(XPButton::CloseButton)}}, tr("关闭"));
    site->on(XPButton::TitleClick, [this](Component::EventArgs &) { close(); });
    return site;
}

QString SkinnedWindow::storedKey(const char *key)
{
    return QString::fromLatin1(key).toLower();
}

Component::ControlSite *SkinnedWindow::placeControl(const QString &identifier, const QString &name,
                                                    const QRect &geometry,
                                                    const Component::PropertyBag &stored,
                                                    const QString &toolTip)
{
    Component::ControlSite *site = Component::ControlSite::place(this, identifier, name, geometry, stored);
    if (!toolTip.isEmpty())
        site->control()->setToolTip(toolTip);
    return site;
}

Component::ControlSite *SkinnedWindow::placeButton(const QString &name, const QRect &geometry,
                                                   const QString &caption, const QString &toolTip,
                                                   std::function<void()> onClick, bool enterClicks)
{
    Component::ControlSite *site = placeControl(QString::fromLatin1(XPButton::ButtonIdentifier), name, geometry,
                                                {{storedKey(XPButton::CaptionKey), caption}}, toolTip);
    site->on(XPButton::ButtonClick, [onClick](Component::EventArgs &) { onClick(); });
    if (enterClicks) {
        site->on(XPButton::ButtonKeyPress, [onClick](Component::EventArgs &args) {
            if (!args.isEmpty() && args.first().toInt() == KeyAsciiEnter)
                onClick();
        });
    }
    return site;
}

void SkinnedWindow::setShownInTaskBar(bool shown)
{
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | (shown ? Qt::Window : Qt::Tool));
}

void SkinnedWindow::centerOnScreen()
{
    QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where)
        return;
    QRect placed = frameGeometry();
    placed.moveCenter(where->availableGeometry().center());
    move(placed.topLeft());
}

void SkinnedWindow::showModal()
{
    QPointer<SkinnedWindow> self(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    if (!self)
        return;
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void SkinnedWindow::onActivate()
{
    ModuleFun::ApplyWindowSkin(this);
}

bool SkinnedWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        // Laid out before the first paint too, not only once the window is activated.
        ModuleFun::ApplyWindowSkin(this);
        for (QComboBox *list : findChildren<QComboBox *>())
            ListFit::fit(list);
        break;
    case QEvent::WindowActivate:
        onActivate();
        emit activated();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool SkinnedWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && isDragHandle(watched)) {
        ModuleFun::DragWindow(this);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SkinnedWindow::makeDragHandle(QWidget *part)
{
    part->installEventFilter(this);
}
