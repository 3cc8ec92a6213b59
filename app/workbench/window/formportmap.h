// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "devicecatalog.h"
#include "portmapoptions.h"

#include <skinnedwindow.h>

class PortFileEditor;
class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;

// The port map window: the serial devices the system lists with what it tells about
// them, what each of Com 1 to Com 16 reaches today and from where, and the mapping of
// a device (or a remote line) to a port number, written to ports.ini. Not modal; the
// main window rescans its ports after each change.
class FormPortMap : public SkinnedWindow
{
    Q_OBJECT

public:
    explicit FormPortMap(const PortMapOptions &options, QWidget *parent = nullptr);

    const PortMapOptions &options() const { return m_options; }

    // Reads the system's devices and the port map again; what the user is typing stays.
    void refresh();

signals:
    void mappingChanged();
    void optionsChanged(const PortMapOptions &options);

private:
    void buildDeviceFrame();
    void buildPortFrame();
    void showDevices();
    void showPorts();
    void portRowPicked();
    void portNumberPicked();
    void devicePicked();
    void showDevice(const QString &device);
    void mapClicked();
    void unmapClicked();
    void reconnectClicked();
    int selectedPort() const;
    bool readPortFile(PortFileEditor &editor);
    bool writePortFile(const PortFileEditor &editor);
    void refuse(const QString &text, QWidget *focus);

    PortMapOptions m_options;
    DeviceCatalog m_catalog;
    QTreeWidget *ListDevices = nullptr;
    QTreeWidget *ListPorts = nullptr;
    QComboBox *ComboPortNumber = nullptr;
    QComboBox *ComboPortDevice = nullptr;
    QLabel *LabelPortFile = nullptr;
    QCheckBox *CheckReconnect = nullptr;
};
