// Velmora tests. Licensed under the MIT licence.
#include "inifileeditor.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Hand = "; my bench options\n"
                        "[Display]\n"
                        "TimeStamp=false\n"
                        "\n"
                        "[Mine]\n"
                        "Colour = blue   # not Velmora's\n"
                        "a line of no kind\n";

bool create(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// velmora.ini as its user left it: one key changed at a time, everything else byte for
// byte, an unchanged file never written, and a file far too large for options left alone.
class TestIniFileEditor : public QObject
{
    Q_OBJECT

private slots:
    void setValue_data();
    void setValue();
    void valuesReadAsQSettingsWroteThem_data();
    void valuesReadAsQSettingsWroteThem();
    void textKeptExactly_data();
    void textKeptExactly();
    void unchangedFileIsNotWritten();
    void fileTooLargeIsNeitherReadNorWritten();
};

void TestIniFileEditor::setValue_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::addRow("changed in place, the rest kept")
        << Hand << "Display/TimeStamp" << QByteArray("true") << QByteArray(Hand).replace("TimeStamp=false", "TimeStamp=true");
    QTest::addRow("new key after the last of its group")
        << Hand << "Display/HexSpace" << QByteArray("true") << QByteArray(Hand).replace("TimeStamp=false\n", "TimeStamp=false\nHexSpace=true\n");
    QTest::addRow("new group at the end")
        << Hand << "PortMap/Reconnect" << QByteArray("true") << Hand + "\n[PortMap]\nReconnect=true\n";
    QTest::addRow("empty file") << QByteArray() << "Interface/Language" << QByteArray("English")
                                << QByteArray("[Interface]\nLanguage=English\n");
    QTest::addRow("no line break at the end")
        << QByteArray("[Send]\nLineEnd=1") << "Send/Other" << QByteArray("2") << QByteArray("[Send]\nLineEnd=1\nOther=2\n");
    QTest::addRow("CR LF kept")
        << QByteArray("[Send]\r\nLineEnd=1\r\n") << "Display/HexSpace" << QByteArray("true")
        << QByteArray("[Send]\r\nLineEnd=1\r\n\r\n[Display]\r\nHexSpace=true\r\n");
    QTest::addRow("a last line in a bare CR gains no second CR")
        << QByteArray("[Send]\r\nLineEnd=1\r") << "Send/Other" << QByteArray("2")
        << QByteArray("[Send]\r\nLineEnd=1\r\nOther=2\r\n");
    QTest::addRow("the last of repeated keys takes the value")
        << QByteArray("[A]\nk=1\nk=2\n[B]\nk=3\n[A]\nj=0\n") << "A/k" << QByteArray("5")
        << QByteArray("[A]\nk=1\nk=5\n[B]\nk=3\n[A]\nj=0\n");
    QTest::addRow("a new key joins the group's last section")
        << QByteArray("[A]\nk=1\n[B]\nk=3\n[A]\nj=0\n\n# end\n") << "A/n" << QByteArray("7")
        << QByteArray("[A]\nk=1\n[B]\nk=3\n[A]\nj=0\nn=7\n\n# end\n");
    QTest::addRow("a group of only a header")
        << QByteArray("[A]\n\n[B]\n") << "A/k" << QByteArray("1") << QByteArray("[A]\nk=1\n\n[B]\n");
    QTest::addRow("a commented-out key is no key")
        << QByteArray("[A]\n;k=1\n") << "A/k" << QByteArray("2") << QByteArray("[A]\nk=2\n;k=1\n");
    QTest::addRow("garbage with NUL bytes kept")
        << QByteArray("\x01\x00\xff=\n[\x00]\n", 9) << "A/k" << QByteArray("1")
        << QByteArray("\x01\x00\xff=\n[\x00]\n\n[A]\nk=1\n", 18);
}

void TestIniFileEditor::setValue()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    QVERIFY(create(path, text));
    IniFileEditor editor;
    QCOMPARE(editor.read(path), IniFileEditor::ReadStatus::Read);
    editor.setValue(key, value);
    QCOMPARE(editor.value(key), value);
    QCOMPARE(editor.write(path), KeptFile::Result::Written);
    QCOMPARE(contents(path), expected);

    // Setting it again changes nothing.
    IniFileEditor again;
    again.read(path);
    again.setValue(key, value);
    QVERIFY(!again.isChanged());
}

void TestIniFileEditor::valuesReadAsQSettingsWroteThem_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<int>("number");

    QTest::addRow("missing") << QByteArray("[B]\nk=true\n") << true << 9;
    QTest::addRow("true") << QByteArray("[A]\nk=true\n") << true << 9;
    QTest::addRow("false") << QByteArray("[A]\nk=false\n") << false << 9;
    QTest::addRow("FALSE") << QByteArray("[A]\nk=FALSE\n") << false << 9;
    QTest::addRow("0") << QByteArray("[A]\nk=0\n") << false << 0;
    QTest::addRow("empty") << QByteArray("[A]\nk=\n") << false << 9;
    QTest::addRow("blanks around") << QByteArray("[A]\n  k =  3 \r\n") << true << 3;
}

void TestIniFileEditor::valuesReadAsQSettingsWroteThem()
{
    QFETCH(QByteArray, text);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    QVERIFY(create(path, text));
    IniFileEditor editor;
    editor.read(path);
    QTEST(editor.flag(QStringLiteral("A/k"), true), "flag");
    QTEST(editor.number(QStringLiteral("A/k"), 9), "number");
}

void TestIniFileEditor::textKeptExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("line");

    QTest::addRow("plain") << QStringLiteral("AT+CSQ") << QByteArray("t=AT+CSQ");
    QTest::addRow("empty") << QString() << QByteArray("t=");
    QTest::addRow("spaces at both ends") << QStringLiteral("  OK ") << QByteArray("t=\"  OK \"");
    QTest::addRow("separators") << QStringLiteral("a;b,c=d") << QByteArray("t=\"a;b,c=d\"");
    QTest::addRow("quotes and backslashes") << QStringLiteral("\"C:\\x\"") << QByteArray("t=\"\\\"C:\\\\x\\\"\"");
    QTest::addRow("control characters") << QStringLiteral("a\tb\r\n\x1b[0m\x7f")
                                        << QByteArray("t=a\\tb\\r\\n\\x001b[0m\\x007f");
    QTest::addRow("a comment sign first") << QStringLiteral("# not a comment") << QByteArray("t=# not a comment");
    QTest::addRow("Chinese") << QStringLiteral("测试 数据") << QStringLiteral("t=测试 数据").toUtf8();
}

// Whatever the user typed comes back exactly, and the file stays readable by hand.
void TestIniFileEditor::textKeptExactly()
{
    QFETCH(QString, text);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    IniFileEditor editor;
    editor.read(path);
    editor.setText(QStringLiteral("A/t"), text);
    QCOMPARE(editor.write(path), KeptFile::Result::Written);
    QTEST(contents(path).split('\n').value(1), "line");
    IniFileEditor again;
    again.read(path);
    QCOMPARE(again.text(QStringLiteral("A/t"), QStringLiteral("fallback")), text);
    QCOMPARE(again.text(QStringLiteral("A/missing"), QStringLiteral("fallback")), QStringLiteral("fallback"));
}

// A file whose owner made it read-only would refuse a write: an unchanged one is not tried.
void TestIniFileEditor::unchangedFileIsNotWritten()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    QVERIFY(create(path, Hand));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    IniFileEditor editor;
    editor.read(path);
    editor.setFlag(QStringLiteral("Display/TimeStamp"), false);
    QCOMPARE(editor.write(path), KeptFile::Result::Written);
    editor.setFlag(QStringLiteral("Display/TimeStamp"), true);
    QCOMPARE(editor.write(path), KeptFile::Result::ReadOnly);
    QCOMPARE(contents(path), Hand);
}

void TestIniFileEditor::fileTooLargeIsNeitherReadNorWritten()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Display]\nTimeStamp=true\n");
    // 98 MB on disk costs nothing here: the file is sparse.
    QVERIFY(file.resize(98 * 1000 * 1000));
    file.close();
    IniFileEditor editor;
    QCOMPARE(editor.read(path), IniFileEditor::ReadStatus::TooLarge);
    QCOMPARE(editor.value(QStringLiteral("Display/TimeStamp")), QByteArray());
    editor.setFlag(QStringLiteral("Display/TimeStamp"), false);
    QCOMPARE(editor.write(path), KeptFile::Result::Failed);
    QCOMPARE(QFileInfo(path).size(), 98 * 1000 * 1000);

    QVERIFY(file.resize(IniFileEditor::MaxBytes));
    QCOMPARE(editor.read(path), IniFileEditor::ReadStatus::Read);
    QVERIFY(editor.flag(QStringLiteral("Display/TimeStamp"), false));
}

QTEST_GUILESS_MAIN(TestIniFileEditor)
#include "tst_inifileeditor.moc"
