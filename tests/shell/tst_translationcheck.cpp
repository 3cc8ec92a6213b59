// Velmora tests. Licensed under the MIT licence.
#include "interfacelanguage.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using Corruption = std::function<void(QByteArray &)>;

QByteArray builtTranslation()
{
    QFile file(InterfaceLanguage::translationFile(QStringLiteral(TARROCK_DIR)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder with English chosen and the translation given (none for a null one).
bool prepareFolder(const QString &folder, const QByteArray &translation)
{
    if (!InterfaceLanguage::save(InterfaceLanguage::settingsPath(folder), InterfaceLanguage::English))
        return false;
    if (translation.isNull())
        return true;
    QFile file(InterfaceLanguage::translationFile(folder));
    return file.open(QIODevice::WriteOnly) && file.write(translation) == translation.size();
}

} // namespace
Q_DECLARE_METATYPE(Corruption)

// The English translation is installed only as it was built: a damaged file could crash
// the lookup of any text, so it leaves the interface Chinese and says why in one line.
class TestTranslationCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyTheBuiltTranslationIsInstalled_data();
    void onlyTheBuiltTranslationIsInstalled();
    void everyRandomDamageIsRefused();

private:
    QByteArray m_built;
};

void TestTranslationCheck::initTestCase()
{
    m_built = builtTranslation();
    QVERIFY(m_built.size() > 1000);
}

void TestTranslationCheck::onlyTheBuiltTranslationIsInstalled_data()
{
    QTest::addColumn<Corruption>("corrupt");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("problem");

    const auto flipAt = [](double share) {
        return Corruption([share](QByteArray &bytes) { bytes[qsizetype(share * (bytes.size() - 1))] ^= 0x10; });
    };
    QTest::addRow("one bit in the header") << flipAt(0) << true << "is damaged";
    QTest::addRow("one bit in the middle") << flipAt(0.5) << true << "is damaged";
    QTest::addRow("one bit in the last byte") << flipAt(1) << true << "is damaged";
    QTest::addRow("cut short") << Corruption([](QByteArray &bytes) { bytes.chop(1); }) << true << "is damaged";
    QTest::addRow("a byte more") << Corruption([](QByteArray &bytes) { bytes.append('\0'); }) << true << "is damaged";
    QTest::addRow("empty") << Corruption([](QByteArray &bytes) { bytes = QByteArray(""); }) << true << "is damaged";
    QTest::addRow("missing") << Corruption([](QByteArray &bytes) { bytes = QByteArray(); }) << false << "cannot be read";
    QTest::addRow("intact") << Corruption([](QByteArray &) {}) << true << "";
}

void TestTranslationCheck::onlyTheBuiltTranslationIsInstalled()
{
    QFETCH(Corruption, corrupt);
    QFETCH(bool, present);
    QFETCH(QString, problem);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QByteArray translation = m_built;
    corrupt(translation);
    QCOMPARE(translation.isNull(), !present);
    QVERIFY(prepareFolder(folder.path(), translation));

    QString said;
    const InterfaceLanguage::Language installed = InterfaceLanguage::install(folder.path(), &said);
    QCOMPARE(installed, problem.isEmpty() ? InterfaceLanguage::English : InterfaceLanguage::Chinese);
    QCOMPARE(InterfaceLanguage::current(), installed);
    if (problem.isEmpty()) {
        QCOMPARE(said, QString());
    } else {
        QVERIFY2(said.contains(InterfaceLanguage::translationFile(folder.path()) + QLatin1Char(' ') + problem), qPrintable(said));
        QVERIFY(!said.contains(QLatin1Char('\n')));
    }
}

// A few bytes overwritten anywhere, as a failing disk or a broken copy leaves them.
void TestTranslationCheck::everyRandomDamageIsRefused()
{
    QRandomGenerator random(1828);
    for (int round = 0; round < 30; ++round) {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QByteArray translation = m_built;
        const int changes = 1 + random.bounded(4);
        for (int k = 0; k < changes; ++k) {
            const qsizetype at = random.bounded(int(translation.size()));
            translation[at] = char(translation.at(at) ^ (1 + random.bounded(255)));
        }
        QVERIFY(prepareFolder(folder.path(), translation));
        QString said;
        QCOMPARE(InterfaceLanguage::install(folder.path(), &said), InterfaceLanguage::Chinese);
        QVERIFY2(said.contains(QLatin1String("is damaged")), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(said)));
    }
}

QTEST_GUILESS_MAIN(TestTranslationCheck)
#include "tst_translationcheck.moc"
