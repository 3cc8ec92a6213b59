// Velmora workbench. Licensed under the MIT licence.
#include "interfacelanguage.h"

#include "filelocations.h"
#include "inifileeditor.h"

#include "translationdigest.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTranslator>

namespace {

// The line window's options file, which the choice shares.
const QString FileName = QStringLiteral("velmora.ini");
const char LanguageKey[] = "Interface/Language";
const QString EnglishValue = QStringLiteral("English");
const QString ChineseValue = QStringLiteral("Chinese");
const QString TranslationName = QStringLiteral("velmora_en.qm");
const QString EnglishFolder = QStringLiteral("en");
// Far beyond the translation's size; a larger file is not the one built.
constexpr qint64 MaxTranslationBytes = 16 * 1024 * 1024;

// A translator over bytes it holds: the file read once is the file checked and used,
// whatever happens to it on disk later.
class HeldTranslator : public QTranslator
{
public:
    HeldTranslator(const QByteArray &bytes, QObject *parent) : QTranslator(parent), m_bytes(bytes) {}
    bool load() { return QTranslator::load(reinterpret_cast<const uchar *>(m_bytes.constData()), int(m_bytes.size())); }

private:
    const QByteArray m_bytes;
};

enum class TranslationState { Intact, Unreadable, Damaged };

TranslationState readTranslation(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TranslationState::Unreadable;
    *bytes = file.read(MaxTranslationBytes + 1);
    if (file.error() != QFile::NoError)
        return TranslationState::Unreadable;
    const QByteArray digest = QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex();
    return digest == TranslationDigest::English ? TranslationState::Intact : TranslationState::Damaged;
}

InterfaceLanguage::Language &currentLanguage()
{
    static InterfaceLanguage::Language language = InterfaceLanguage::Chinese;
    return language;
}

InterfaceLanguage::Language languageIn(const IniFileEditor &file)
{
    return file.value(QLatin1String(LanguageKey)) == EnglishValue.toLatin1() ? InterfaceLanguage::English : InterfaceLanguage::Chinese;
}

} // namespace

QString InterfaceLanguage::settingsPath(const QString &programFolder)
{
    return FileLocations::of(programFolder).settingsFolder() + QLatin1Char('/') + FileName;
}

InterfaceLanguage::Language InterfaceLanguage::load(const QString &path)
{
    IniFileEditor file;
    file.read(path);
    return languageIn(file);
}

bool InterfaceLanguage::save(const QString &path, Language language)
{
    IniFileEditor file;
    file.read(path);
    if (languageIn(file) != language)
        file.setValue(QLatin1String(LanguageKey), (language == English ? EnglishValue : ChineseValue).toLatin1());
    return file.write(path) == KeptFile::Result::Written;
}

InterfaceLanguage::Language InterfaceLanguage::install(const QString &programFolder, QString *problem)
{
    currentLanguage() = Chinese;
    if (load(settingsPath(programFolder)) != English)
        return Chinese;
    const QString path = translationFile(programFolder);
    QByteArray bytes;
    const TranslationState state = readTranslation(path, &bytes);
    auto *translator = state == TranslationState::Intact ? new HeldTranslator(bytes, QCoreApplication::instance()) : nullptr;
    if (!translator || !translator->load() || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        if (problem) {
            *problem = state == TranslationState::Damaged
                ? QStringLiteral("The English translation %1 is damaged: it differs from the one this program was built with; the interface stays Chinese.").arg(path)
                : QStringLiteral("The English translation %1 cannot be read; the interface stays Chinese.").arg(path);
        }
        return Chinese;
    }
    currentLanguage() = English;
    return English;
}

InterfaceLanguage::Language InterfaceLanguage::current()
{
    return currentLanguage();
}

QString InterfaceLanguage::translationFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(TranslationName);
}

QString InterfaceLanguage::deliveredFile(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    if (current() == English) {
        const QString english = dir.filePath(EnglishFolder + QLatin1Char('/') + fileName);
        if (QFile::exists(english))
            return english;
    }
    return dir.filePath(fileName);
}
