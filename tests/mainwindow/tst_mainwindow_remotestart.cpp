// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <hostileserver.h>
#include <portmapfile.h>

#include <QComboBox>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

constexpr qint16 RemotePort = 5;
constexpr qint16 SendReceive = 1;
constexpr qint16 ReceiveOnly = 2;
const QString Start = QStringLiteral("开始通讯");
const QString Connecting = QStringLiteral("正在连接…");

} // namespace

// A start on a network line whose server keeps it waiting: the window goes on, shows
// that it connects, and takes a click of the start button or its own close meanwhile.
class TestMainWindowRemoteStart : public QObject
{
    Q_OBJECT

private slots:
    void startButtonCallsAWaitingStartOff();
    void closeDuringAStartWaitsForIt();
    void serverCutOffIsOneMessageNamingIt();

private:
    void mapRemotePort(Workbench &bench, const HostileServer &server);
};

void TestMainWindowRemoteStart::mapRemotePort(Workbench &bench, const HostileServer &server)
{
    QVERIFY(writePortMap(bench.folder(), {{RemotePort, server.address()}}));
}

// Called off quietly: no message, the ports closed, the button and the settings back.
void TestMainWindowRemoteStart::startButtonCallsAWaitingStartOff()
{
    HostileServer server(HostileServer::Phase::Settings, HostileServer::Misdeed::Silence);
    Workbench bench({});
    mapRemotePort(bench, server);
    bench.open(Workbench::workingSettings(RemotePort, RemotePort, ReceiveOnly));
    QString captionWhileWaiting;
    bool modeLockedWhileWaiting = false;
    QTimer::singleShot(300, this, [&] {
        captionWhileWaiting = bench.caption("ButtonCom");
        modeLockedWhileWaiting = !bench.child<QComboBox>("ComboComIOState")->isEnabled();
        bench.click("ButtonCom");
    });
    bench.click("ButtonCom");
    QCOMPARE(captionWhileWaiting, Connecting);
    QVERIFY(modeLockedWhileWaiting);
    QCOMPARE(bench.caption("ButtonCom"), Start);
    QVERIFY(bench.child<QComboBox>("ComboComIOState")->isEnabled());
    QVERIFY(!bench.portOpen("MSCommInPut"));
    QTest::qWait(300);
    QCOMPARE(bench.messages, QStringList());
    QTRY_VERIFY(!server.connected());
}

// The window is not taken from under the waiting start: it closes once the start is off.
void TestMainWindowRemoteStart::closeDuringAStartWaitsForIt()
{
    HostileServer server(HostileServer::Phase::Settings, HostileServer::Misdeed::Silence);
    Workbench bench({});
    mapRemotePort(bench, server);
    QPointer<FormMain> window = bench.open(Workbench::workingSettings(RemotePort, RemotePort, ReceiveOnly));
    QTimer::singleShot(300, window, [&] { window->close(); });
    bench.click("ButtonCom");
    QTRY_VERIFY(window.isNull() || !window->isVisible());
    QCOMPARE(bench.messages, QStringList());
    QVERIFY(QFile::exists(bench.path(QStringLiteral("sysdata.dat"))));
}

// A server that floods the line once it is sent to: the run stops as for a lost device,
// and the one message says which server did what.
void TestMainWindowRemoteStart::serverCutOffIsOneMessageNamingIt()
{
    HostileServer server(HostileServer::Phase::Data, HostileServer::Misdeed::AnswerFlood);
    Workbench bench({});
    mapRemotePort(bench, server);
    SysData settings = Workbench::workingSettings(RemotePort, RemotePort, SendReceive);
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    bench.click("ButtonCom");
    QTRY_VERIFY_WITH_TIMEOUT(!bench.messages.isEmpty(), 5000);
    QTest::qWait(300);
    QCOMPARE(bench.messages.size(), 1);
    const QString message = bench.messages.first();
    QVERIFY2(message.contains(QStringLiteral("Com %1已经断开").arg(RemotePort)), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("127.0.0.1:%1").arg(server.port())), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("RFC 2217")), qPrintable(message));
    QVERIFY(!bench.portOpen("MSCommInPut"));
}

QTEST_MAIN(TestMainWindowRemoteStart)
#include "tst_mainwindow_remotestart.moc"
