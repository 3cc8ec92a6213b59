// Velmora tests. Licensed under the MIT licence.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
};

// Chinese that stays Chinese in every language, each for its reason.
const QStringList KeptChinese = {
    QStringLiteral("数据收发方式："), QStringLiteral("发送数据："), QStringLiteral("接收数据："), // capture labels peers read
    QStringLiteral("操作说明.txt"),  // a delivered file's name
    QStringLiteral("宋体"),          // a font family
    QStringLiteral("中文"),          // the language's own name in the language list
};

const QRegularExpression Chinese(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));

// lupdate writes a carriage return as <byte value="xd"/> inside the text.
QString readSourceText(QXmlStreamReader &xml)
{
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters())
            text += xml.text();
        else if (xml.isStartElement() && xml.name() == QLatin1String("byte"))
            text += QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16));
        else if (xml.isEndElement() && xml.name() == QLatin1String("source"))
            break;
    }
    return text;
}

// Every text the code hands to the translation, as lupdate extracts it.
QList<Message> extractedMessages()
{
    QTemporaryDir folder;
    const QString ts = folder.filePath(QStringLiteral("extracted.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(VELMORA_LUPDATE),
                  QString::fromUtf8(VELMORA_TEXT_FOLDERS).split(QLatin1Char('|'))
                      + QStringList {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                                     QStringLiteral("-ts"), ts});
    if (!lupdate.waitForFinished(120000) || lupdate.exitCode() != 0)
        qFatal("lupdate failed: %s", lupdate.readAllStandardError().constData());

    QFile file(ts);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("lupdate wrote no %s", qPrintable(ts));
    QList<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            messages.append({context, readSourceText(xml)});
    }
    return messages;
}

// The string literals of one C++ file, escapes resolved, comments skipped; literals
// of Q_CLASSINFO are a host's property descriptions, which no user of the program sees.
QStringList stringLiterals(const QString &code)
{
    QStringList literals;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (code.mid(i, 2) == QLatin1String("//")) {
            i = code.indexOf(QLatin1Char('\n'), i);
            if (i < 0)
                break;
        } else if (code.mid(i, 2) == QLatin1String("/*")) {
            i = code.indexOf(QLatin1String("*/"), i) + 1;
        } else if (code.mid(i, 11) == QLatin1String("Q_CLASSINFO")) {
            i = code.indexOf(QLatin1Char(')'), i);
        } else if (code.at(i) == QLatin1Char('\'')) {
            i = code.indexOf(QLatin1Char('\''), i + (code.mid(i + 1, 1) == QLatin1String("\\") ? 3 : 2));
        } else if (code.at(i) == QLatin1Char('"')) {
            QString literal;
            for (++i; i < code.size() && code.at(i) != QLatin1Char('"'); ++i) {
                QChar c = code.at(i);
                if (c == QLatin1Char('\\')) {
                    const QChar escaped = code.at(++i);
                    c = escaped == QLatin1Char('r') ? QChar('\r') : escaped == QLatin1Char('n') ? QChar('\n') : escaped;
                }
                literal += c;
            }
            literals.append(literal);
        }
        if (i < 0)
            break;
    }
    return literals;
}

QStringList sourceFiles()
{
    QStringList files;
    for (const QString &folder : QString::fromUtf8(VELMORA_TEXT_FOLDERS).split(QLatin1Char('|'))) {
        QDirIterator it(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
    }
    return files;
}

QStringList placeMarkers(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    QStringList found;
    for (const QRegularExpressionMatch &match : marker.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

} // namespace

// The English translation the program ships, checked against the texts of the code.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextHasAnEnglishTranslation();
    void translationsKeepTheirPlacesAndBreaks();
    void noChineseTextBypassesTheTranslation();

private:
    QList<Message> m_messages;
    QTranslator m_english;
};

void TestTranslations::initTestCase()
{
    QVERIFY(m_english.load(QStringLiteral(TARROCK_DIR "/velmora_en.qm")));
    m_messages = extractedMessages();
    QVERIFY(m_messages.size() > 100);
}

// A text added to the code without its translation in velmora_en.ts, or left unfinished there.
void TestTranslations::everyTextHasAnEnglishTranslation()
{
    QStringList untranslated;
    for (const Message &message : m_messages) {
        const QString english = m_english.translate(message.context.toUtf8(), message.source.toUtf8());
        if (english.isEmpty() || Chinese.match(english).hasMatch())
            untranslated.append(message.context + QLatin1String(": ") + message.source);
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
}

// A lost %1 drops the port or file from a message; lost line breaks run a report's
// number, description and hint together.
void TestTranslations::translationsKeepTheirPlacesAndBreaks()
{
    QStringList differing;
    for (const Message &message : m_messages) {
        const QString english = m_english.translate(message.context.toUtf8(), message.source.toUtf8());
        if (english.isEmpty())
            continue;
        if (placeMarkers(english) != placeMarkers(message.source)
            || english.count(QLatin1String("\r\n")) != message.source.count(QLatin1String("\r\n")))
            differing.append(message.source + QLatin1String(" -> ") + english);
    }
    QVERIFY2(differing.isEmpty(), qPrintable(differing.join(QLatin1Char('\n'))));
}

// Chinese written as a plain literal would show untranslated in English.
void TestTranslations::noChineseTextBypassesTheTranslation()
{
    QSet<QString> sources;
    for (const Message &message : m_messages)
        sources.insert(message.source);
    const auto translated = [&sources](const QString &literal) {
        for (const QString &source : sources) {
            if (source.contains(literal))
                return true;
        }
        return false;
    };

    QStringList bypassing;
    for (const QString &path : sourceFiles()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QString &literal : stringLiterals(QString::fromUtf8(file.readAll()))) {
            if (Chinese.match(literal).hasMatch() && !KeptChinese.contains(literal) && !translated(literal))
                bypassing.append(QFileInfo(path).fileName() + QLatin1String(": ") + literal);
        }
    }
    QVERIFY2(bypassing.isEmpty(), qPrintable(bypassing.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
