// OrmelXPButton control library. Licensed under the MIT licence.
#include "topbutton.h"

#include <iterator>

namespace {
const auto DisabledState = QStringLiteral("DISABLED");

struct TypeFaces
{
    const char *prefix;
    const char *accessibleName;
};

// Indexed by ButtonType.
constexpr TypeFaces Faces[] = {
    {"CLOSE", QT_TRANSLATE_NOOP("TopButton", "关闭")},
    {"MAX", QT_TRANSLATE_NOOP("TopButton", "最大化")},
    {"MIN", QT_TRANSLATE_NOOP("TopButton", "最小化")},
    {"RESTORE", QT_TRANSLATE_NOOP("TopButton", "还原")},
};
constexpr int TypeCount = int(std::size(Faces));

const TypeFaces *facesOf(int type)
{
    return type >= 0 && type < TypeCount ? &Faces[type] : nullptr;
}
} // namespace

TopButton::TopButton(QWidget *parent)
    : TitleButton(parent)
{
    holdType(CloseButton);
    showLook(Look::Normal);
    lockSize();
}

void TopButton::holdType(int type)
{
    m_type = ButtonType(type);
    const TypeFaces *faces = facesOf(type);
    setAccessibleName(faces ? tr(faces->accessibleName) : QString());
}

bool TopButton::typeHasFaces() const
{
    return facesOf(m_type) != nullptr;
}

void TopButton::setTopButtonType(ButtonType type)
{
    holdType(type);
    applyLook(Look::Normal);
    notifyPropertyChanged(XPButton::TopButtonTypeKey);
}

QString TopButton::imageName(Look look) const
{
    return stateImageName(look);
}

void TopButton::ChangeImage(QString &strImage)
{
    const TypeFaces *faces = facesOf(m_type);
    const QString prefix = faces ? QString::fromLatin1(faces->prefix) : QString();
    if (!Enabled())
        strImage = DisabledState;
    setBackgroundFace(prefix + QLatin1Char('-') + strImage);
}

void TopButton::showLook(Look look)
{
    if (typeHasFaces())
        TitleButton::showLook(look);
}

void TopButton::initProperties()
{
    setEnabledProperty(true);
    setTopButtonType(CloseButton);
}

void TopButton::readProperties(const Component::PropertyBag &bag)
{
    readEnabled(bag);
    holdType(bag.read<int>(XPButton::TopButtonTypeKey, CloseButton));
}

void TopButton::writeProperties(Component::PropertyBag &bag) const
{
    writeEnabled(bag);
    bag.write<int>(XPButton::TopButtonTypeKey, m_type);
}
