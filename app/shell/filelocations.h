// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// Where the files the program writes lie. A program folder the user may write (the build
// folder, a copy unpacked in the home folder) holds them all, beside the delivered files.
// An installed one, or one the user may not write, keeps only the delivered files: the
// settings and a user's own port map then lie in the user's configuration folder, the
// capture files in the user's data folder, the platform's places for them. An installed
// program never writes into itself, not even for root, who may write everywhere.
class FileLocations
{
public:
    // The file the install rules put into the program folder they lay out.
    static constexpr char InstalledMarker[] = "installed.txt";

    // Decides now, by the install rules' mark and by creating a file in the program
    // folder: permission bits alone do not tell (a read-only mount, access lists, root).
    // Creates the user's folders it chooses.
    explicit FileLocations(const QString &programFolder);
    // The decision for this folder, taken the first time the program asks about it, so
    // that the settings are written where they were read.
    static const FileLocations &of(const QString &programFolder);

    bool inProgramFolder() const { return m_inProgramFolder; }
    // sysdata.dat
    QString settingsFolder() const;
    // The capture files, the folder the viewer lists.
    QString captureFolder() const;
    // The introduction the viewer shows first is delivered with the program.
    QString deliveredDataFolder() const;
    // A user's ports.ini, read before the program folder's; empty while all lies there.
    QString userPortFolder() const;

    // The user's folders of a system install: "velmora" in the platform's configuration
    // folder ($XDG_CONFIG_HOME, ~/.config) and "velmora/data" in its data folder
    // ($XDG_DATA_HOME, ~/.local/share).
    static QString userConfigFolder();
    static QString userDataFolder();

private:
    QString m_programFolder;
    bool m_inProgramFolder;
};
