// Velmora workbench. Licensed under the MIT licence.
#include "interfacelanguage.h"

#include "filelocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTranslator>

namespace {

// The line window's options file, which the choice shares.
const QString FileName = QStringLiteral("velmora.ini");
const char LanguageKey[] = "Interface/Language";
const QString EnglishValue = QStringLiteral("English");
const QString ChineseValue = QStringLiteral("Chinese");
const QString TranslationName = QStringLiteral("velmora_en.qm");
const QString EnglishFolder = QStringLiteral("en");

InterfaceLanguage::Language &currentLanguage()
{
    static InterfaceLanguage::Language language = InterfaceLanguage::Chinese;
    return language;
}

} // namespace

QString InterfaceLanguage::settingsPath(const QString &programFolder)
{
    return FileLocations::of(programFolder).settingsFolder() + QLatin1Char('/') + FileName;
}

InterfaceLanguage::Language InterfaceLanguage::load(const QString &path)
{
    const QSettings file(path, QSettings::IniFormat);
    return file.value(QLatin1String(LanguageKey)).toString() == EnglishValue ? English : Chinese;
}

bool InterfaceLanguage::save(const QString &path, Language language)
{
    QSettings file(path, QSettings::IniFormat);
    file.setValue(QLatin1String(LanguageKey), language == English ? EnglishValue : ChineseValue);
    file.sync();
    return file.status() == QSettings::NoError;
}

InterfaceLanguage::Language InterfaceLanguage::install(const QString &programFolder)
{
    currentLanguage() = Chinese;
    if (load(settingsPath(programFolder)) != English)
        return Chinese;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(translationFile(programFolder)) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
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
