// Velmora workbench. Licensed under the MIT licence.
#include "formabout.h"

#include "externalprogram.h"
#include "makerinfo.h"
#include "modulefun.h"
#include "tarrockversion.h"
#include "windowtexts.h"

#include <control.h>
#include <controlsite.h>
#include <uitext.h>

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>

namespace {

const UiText Caption("FormAbout", QT_TRANSLATE_NOOP("FormAbout", "关于"));
const QString Maker = QString::fromUtf8(MakerInfo::Maker);
const QString MailAddress = QString::fromUtf8(MakerInfo::Mail);

constexpr int IconSize = 32;
// A 32-pixel picture inside a one-pixel border.
constexpr int BorderedPictureSize = IconSize + 2;
constexpr int PictureRowTop = 224;

QString versionNumber()
{
    return QStringLiteral("%1.%2.%3")
        .arg(TarrockVersion::Major)
        .arg(TarrockVersion::Minor)
        .arg(TarrockVersion::Revision);
}

QLabel *colouredLabel(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

FormAbout::FormAbout(QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormAbout"), Caption, QSize(357, 266), parent)
{
    addTitleStrip(Caption);
    addCloseButton();
    Component::ControlSite *ok =
        placeButton(WindowTexts::OkName, QRect(QPoint(260, 229), WindowTexts::OkButtonSize), WindowTexts::OkCaption,
                    WindowTexts::OkToolTip, [this] { close(); });
    ok->control()->setFocus();

    addPicture(QStringLiteral("ImageIco"), ModuleFun::ProgramIcon().pixmap(IconSize),
               QRect(10, 40, IconSize, IconSize));
    addLabel(QStringLiteral("LabelTilte"), QString::fromUtf8(MakerInfo::Product), {56, 40}, this);
    addLabel(QStringLiteral("LabelVersion"), VersionText(), {56, 56}, this);
    addLabel(QStringLiteral("LabelCopyRight"), QCoreApplication::translate("MakerInfo", MakerInfo::RightsNotice),
             {56, 80}, this);
    addLabel(QStringLiteral("LabelAuthor"), tr("作    者：Velmora 开发组"),
             {56, 96}, this);
    addLabel(QStringLiteral("LabelTel"),
             tr("联系电话：") + QString::fromUtf8(MakerInfo::Telephone), {56, 112}, this);
    addLabel(QStringLiteral("LabelMail"), tr("电子信箱："), {56, 128}, this);
    addMailAddress();
    addInfoFrame();
    addBorderedPicture(QStringLiteral("ImageChina"), QStringLiteral("CHINA"), 56,
                       QStringLiteral("Made in CHINA"));
    addBorderedPicture(QStringLiteral("ImageLogo"), QStringLiteral("LOGO"), 104, Maker);
    addBorderedPicture(QStringLiteral("ImageAuthor"), QStringLiteral("AUTHOR"), 152,
                       QStringLiteral("VDT"));
}

void FormAbout::ShowModal()
{
    auto *about = new FormAbout;
    about->centerOnScreen();
    about->showModal();
}

QString FormAbout::VersionText()
{
    return tr("版本：") + versionNumber();
}

QLabel *FormAbout::addLabel(const QString &name, const QString &text, const QPoint &position,
                            QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(position);
    label->adjustSize();
    return label;
}

QLabel *FormAbout::addPicture(const QString &name, const QPixmap &picture, const QRect &geometry)
{
    auto *label = new QLabel(this);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(picture);
    return label;
}

void FormAbout::addBorderedPicture(const QString &name, const QString &bitmap, int left,
                                   const QString &toolTip)
{
    QLabel *picture = addPicture(name, ModuleFun::ResourceBitmap(bitmap),
                                 QRect(left, PictureRowTop, BorderedPictureSize,
                                       BorderedPictureSize));
    picture->setToolTip(toolTip);
    picture->setFrameShape(QFrame::Box);
    picture->setLineWidth(1);
}

void FormAbout::addMailAddress()
{
    m_mail = colouredLabel(addLabel(QStringLiteral("LabelEmail2"), MailAddress, {116, 128}, this),
                           QColor(0, 0, 255));
    QFont font(QStringLiteral("宋体"), 9);
    font.setUnderline(true);
    m_mail->setFont(font);
    m_mail->adjustSize();
    m_mail->setCursor(Qt::PointingHandCursor);
    m_mail->installEventFilter(this);
}

void FormAbout::addInfoFrame()
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("FrameInfo"));
    frame->setGeometry(56, 144, 290, 70);
    colouredLabel(addLabel(QStringLiteral("LabelInfo"),
                           tr("请登陆我们的网站获取软件的最新版本及相关信息！"),
                           {8, 48}, frame),
                  QColor(255, 0, 0));
}

bool FormAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mail && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool inside = m_mail->rect().contains(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && inside)
            mailClick();
        return true;
    }
    return SkinnedWindow::eventFilter(watched, event);
}

void FormAbout::mailClick()
{
    if (!ExternalProgram::startMailTo(MailAddress))
        ModuleFun::ShowMessage(
            tr("无法启动系统的邮件程序！\r\n\r\n请直接写信至：%1").arg(MailAddress),
            ModuleFun::AlignCentre);
}
