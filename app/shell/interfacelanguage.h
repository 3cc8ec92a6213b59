// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// The language of the interface: a per-user choice kept in the [Interface] group of
// velmora.ini beside the settings record, never in it. The program's own texts are
// Chinese; English comes from a translation in the program folder, installed once at
// start-up, so a change of the choice applies at the next start.
class InterfaceLanguage
{
public:
    enum Language : int { Chinese = 0, English = 1 };

    // velmora.ini in the settings folder of the program folder given.
    static QString settingsPath(const QString &programFolder);
    // A missing or unknown value is Chinese.
    static Language load(const QString &path);
    static bool save(const QString &path, Language language);

    // The language of this run: reads the choice and installs its translation. Without
    // the translation file, or with one that differs from the translation the program
    // was built with (a damaged file could crash any text's lookup), the run stays
    // Chinese and *problem says why in one line.
    static Language install(const QString &programFolder, QString *problem = nullptr);
    static Language current();
    static QString translationFile(const QString &programFolder);

    // A delivered file in this run's language: an English one lies beside the Chinese in
    // the folder "en" under the same name; where it is missing the Chinese one is shown.
    static QString deliveredFile(const QString &folder, const QString &fileName);
};
