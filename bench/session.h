// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstdint>

class FormMain;
class QPlainTextEdit;

// One run of the program's main window in a program folder of its own, driven through
// its controls by their names the way a user drives them, with the far end mapped as
// Com 15. The messages the window would show are counted instead of waiting for a user.
class WindowSession
{
public:
    // `options` is the program folder's velmora.ini and `commandList` the command list's file
    // the window starts with; none when empty.
    explicit WindowSession(const QString &slavePath, const QByteArray &options = {},
                           const QByteArray &commandList = {});
    ~WindowSession();
    WindowSession(const WindowSession &) = delete;
    WindowSession &operator=(const WindowSession &) = delete;

    void pick(const char *listName, const QString &itemText);
    void pickIndex(const char *listName, int index);
    void check(const char *boxName, bool checked);
    void type(const char *boxName, const QString &text);
    void clickButtonCom();
    bool communicating() const;
    // Whether the receiving port (MSCommInPut) is open.
    bool inPortOpen() const;

    // Both ports Com 15 at `baud`, 8 data bits, in mode `mode` and data format `format`.
    void prepare(int mode, int format, const QString &baud = QStringLiteral("115200"));

    QPlainTextEdit *pane(const char *paneName) const;
    QString dataFolder() const;
    QString captureFile() const;

    int messages() const { return m_messages; }
    // The error number of the first message, 0 when it carried none or none came.
    int firstErrorNumber() const { return m_firstErrorNumber; }
    // When the first message came, on the clock of Measurements::nowMicroseconds; 0 before.
    std::int64_t firstMessageMicroseconds() const { return m_firstMessageAt; }

private:
    void observe(const QString &text);
    // Writes `contents` into the program folder as `fileName`, unless empty.
    void writeBeside(const QString &fileName, const QByteArray &contents);

    QTemporaryDir m_folder;
    FormMain *m_window = nullptr;
    int m_messages = 0;
    int m_firstErrorNumber = 0;
    std::int64_t m_firstMessageAt = 0;
};
