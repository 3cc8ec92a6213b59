// Velmora tests. Licensed under the MIT licence.
#include <deviceaccess.h>
#include <messagelabel.h>
#include <modulefun.h>

#include <QTest>
#include <QTextLayout>

// What the user is told when the system refuses a device: a step that helps, the user's
// own name in it, and the device's path readable in one piece.
class TestDeviceAccess : public QObject
{
    Q_OBJECT

private slots:
    void hintHelpsOnlyWhereItCan_data();
    void hintHelpsOnlyWhereItCan();
    void pathIsNeverSplit_data();
    void pathIsNeverSplit();
};

void TestDeviceAccess::hintHelpsOnlyWhereItCan_data()
{
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("groupMayReadWrite");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("step");

    QTest::addRow("crw-rw---- root dialout, user not in it")
        << "root" << "dialout" << true << false << false << "sudo usermod -aG dialout alice";
    QTest::addRow("crw-rw---- root uucp, user not in it")
        << "root" << "uucp" << true << false << false << "sudo usermod -aG uucp alice";
    QTest::addRow("crw-rw---- root dialout, joined since login")
        << "root" << "dialout" << true << true << false << "重新登录后生效";
    QTest::addRow("crw------- root root: only root")
        << "root" << "root" << false << false << false << "请联系管理员";
    QTest::addRow("crw--w---- root tty: the group may only write")
        << "root" << "tty" << false << true << true << "请联系管理员";
    QTest::addRow("crw-rw---- in the group, still refused")
        << "root" << "dialout" << true << true << true << "请联系管理员";
}

void TestDeviceAccess::hintHelpsOnlyWhereItCan()
{
    QFETCH(QString, owner);
    QFETCH(QString, group);
    QFETCH(bool, groupMayReadWrite);
    QFETCH(bool, listed);
    QFETCH(bool, running);
    QFETCH(QString, step);

    DeviceAccess access;
    access.user = QStringLiteral("alice");
    access.owner = owner;
    access.group = group;
    access.groupMayReadWrite = groupMayReadWrite;
    access.userListedInGroup = listed;
    access.processHasGroup = running;
    const QString hint = access.hint();
    QVERIFY2(hint.contains(step), qPrintable(hint));
    QVERIFY2(hint.contains(QStringLiteral("alice")), qPrintable(hint));
    QCOMPARE(hint.contains(QStringLiteral("usermod")), step.contains(QStringLiteral("usermod")));
}

void TestDeviceAccess::pathIsNeverSplit_data()
{
    QTest::addColumn<QString>("device");
    QTest::addRow("adapter") << "/dev/ttyUSB0";
    QTest::addRow("link of the user's") << "/home/tester/bench/adapter-A10K3X";
    QTest::addRow("stable name") << "/dev/serial/by-id/usb-FTDI_A10K3X";
}

// The whole report as the message window lays it out, in its 280-pixel label.
void TestDeviceAccess::pathIsNeverSplit()
{
    QFETCH(QString, device);
    DeviceAccess access;
    access.user = QStringLiteral("alice");
    access.group = QStringLiteral("dialout");
    access.groupMayReadWrite = true;
    const QString report = ModuleFun::ErrorReport(
        70, DeviceAccess::refusal(QStringLiteral("Com 5"), device, access.hint()),
        QStringLiteral("错误提示：请检查您的各项通讯参数设置是否正确！"));

    MessageLabel label;
    label.resize(280, 100);
    label.setMessage(report, ModuleFun::AlignLeft);
    bool found = false;
    for (const QString &paragraph : label.text().split(QLatin1Char('\n'))) {
        const int at = paragraph.indexOf(device);
        if (at < 0)
            continue;
        found = true;
        QTextLayout layout(paragraph, label.font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(label.contentsRect().width());
        layout.endLayout();
        QCOMPARE(layout.lineForTextPosition(at).lineNumber(),
                 layout.lineForTextPosition(at + device.size() - 1).lineNumber());
    }
    QVERIFY(found);
}

QTEST_MAIN(TestDeviceAccess)
#include "tst_deviceaccess.moc"
