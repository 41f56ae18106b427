// The guard in front of every XML the builder reads: it must let through what real files hold (self-closing
// tags, markup characters inside comments, CDATA, attribute values and declarations, UTF-16 and declared
// encodings, short entities) and stop only past its limits, counted in characters as the reader sees them,
// wherever the data is cut into reads.
#include "tools/build/readers/InputLimits.h"
#include "tools/build/readers/XmlGuard.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

struct Read
{
    QString problem; // the guard's
    QString error;   // the reader's
};

// Reads `xml` to its end through a guard that hands it over `chunk` bytes at a time.
Read readThrough(const QByteArray& xml, qint64 chunk)
{
    qint64 at = 0;
    builder::XmlGuard guard(
        [&](char* data, qint64 size) {
            const qint64 n = std::min({size, chunk, qint64(xml.size()) - at});
            std::memcpy(data, xml.constData() + at, size_t(n));
            at += n;
            return n;
        },
        builder::limits::kMaxPartBytes);
    QXmlStreamReader reader(&guard);
    Read read;
    while (!reader.atEnd())
        reader.readNext();
    read.problem = guard.problem();
    if (reader.hasError() && read.problem.isEmpty())
        read.error = reader.errorString();
    return read;
}

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder(text);
}

QByteArray withEntity(const QByteArray& value, const QByteArray& body)
{
    return "<!DOCTYPE a [<!ENTITY e \"" + value + "\">]>" + body;
}

QByteArray nested(int depth, const QByteArray& inside = {})
{
    return QByteArray("<a>").repeated(depth) + inside + QByteArray("</a>").repeated(depth);
}

} // namespace

// Every case sits right at a limit, so that one level or character miscounted shows.
TEST(XmlGuard, passesWhatRealFilesHoldAndStopsPastItsLimits)
{
    using QSC = QStringConverter;
    const QString deepText = QStringLiteral("<r>") + QStringLiteral("<b x=\"1\"/>").repeated(300) +
                             QString::fromLatin1(nested(254, "<c>x</c>"));
    // U+0122 is the bytes 22 01 in UTF-16LE: a quote to a guard that reads bytes.
    const QString hiding = QStringLiteral("<a>\u0122") + QString::fromLatin1(nested(257)) + u"</a>";
    const QByteArray entity4000(4000, 'x');
    const QByteArray deep = QByteArray("<r>") + QByteArray("<b x=\"1\"/>").repeated(5000) + "</r>";
    const struct
    {
        const char* what;
        QByteArray xml;
        const char* problem; // empty: accepted
    } cases[] = {
        {"256 levels", nested(256), ""},
        {"257 levels", nested(257), "annidati oltre il limite di 256 livelli"},
        {"self-closing tags side by side", deep, ""},
        {"markup inside comments, CDATA, attributes and instructions",
         nested(256, "<!-- <a><a><a> --><![CDATA[<a><a>]]]]><b t='>'/><?pi <a><a> ?>"), ""},
        {"a declaration with an internal subset",
         "<?xml version=\"1.0\"?><!DOCTYPE a [<!ELEMENT a ANY><!ENTITY e \"<x>\">]>" + nested(256), ""},
        {"a text of 8 MiB and one byte", "<a>" + QByteArray((8 << 20) + 1, 'x') + "</a>",
         "un testo o un elemento XML supera il limite di 8.388.608 caratteri"},
        {"a comment of 8 MiB and one byte", "<a><!--" + QByteArray((8 << 20) + 1, '<') + "--></a>",
         "un testo o un elemento XML supera il limite di 8.388.608 caratteri"},
        {"UTF-16LE with a mark, 256 levels and self-closing tags", utf16(deepText + u"</r>", QSC::Utf16LE, true), ""},
        {"UTF-16BE without a mark, declared",
         utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + deepText + u"</r>", QSC::Utf16BE, false), ""},
        {"UTF-16 text whose bytes hold a quote, then 257 levels", utf16(hiding, QSC::Utf16LE, true),
         "annidati oltre il limite di 256 livelli"},
        {"UTF-16 text of 5 Mi characters (10 MiB)",
         utf16(u"<a>" + QString(5 << 20, u'\u00e8') + u"</a>", QSC::Utf16LE, false), ""},
        {"ISO-8859-1 declared", "<?xml version='1.0' encoding='ISO-8859-1'?><a>caff\xe8</a>", ""},
        {"bytes that are not UTF-8 on line 3", "<a>\n\n caff\xe8 </a>", "codificato correttamente in UTF-8 (riga 3)"},
        {"a lone surrogate on line 2 of UTF-16",
         QByteArray("\xff\xfe<\0a\0>\0\n\0\x00\xd8<\0/\0a\0>\0", 20), "codificato correttamente in UTF-16LE (riga 2)"},
        {"an encoding the program does not know", "<?xml version='1.0' encoding='x-nessuna'?><a/>",
         "dichiara la codifica «x-nessuna»"},
        {"a short entity used often", withEntity("&#232;", "<a>" + QByteArray("&e;").repeated(100'000) + "</a>"), ""},
        {"an entity of 4,000 characters used 4,300 times",
         withEntity(entity4000, "<a>" + QByteArray("&e;<!---->").repeated(4300) + "</a>"),
         "le entità del file si espandono oltre il limite di 16.777.216 caratteri"},
        {"entities filling one attribute past 8 Mi characters",
         withEntity(entity4000, "<a b=\"" + QByteArray("&e;").repeated(2100) + "\"/>"),
         "un testo o un elemento XML supera il limite di 8.388.608 caratteri"},
        {"an external entity declared, not used", "<!DOCTYPE a [<!ENTITY f SYSTEM 'f.txt'>]><a/>", ""},
        {"an external entity used", "<!DOCTYPE a [<!ENTITY f SYSTEM 'f.txt'>]><a>x&f;</a>",
         "l'entità &f;, che rimanda al file esterno «f.txt»"},
        {"an attribute default", "<!DOCTYPE a [<!ATTLIST a b CDATA 'x'>]><a/>", "valori predefiniti agli attributi"},
        {"a parameter entity", "<!DOCTYPE a [<!ENTITY % p '<!ENTITY e \"x\">'> %p;]><a/>", "entità parametro"},
        {"a bracket in a literal of the DOCTYPE, then 257 levels", "<!DOCTYPE a SYSTEM 'x[y'>" + nested(257),
         "annidati oltre il limite di 256 livelli"},
        {"a bracket and '>' in an entity value", withEntity("]>[", nested(256, "&e;")), ""},
    };
    for (const auto& c : cases) {
        for (const qint64 chunk : {qint64(1), qint64(7), qint64(1) << 20}) {
            // The reader itself slows down on a long piece handed over a few bytes at a time.
            if (chunk < 1024 && c.xml.size() > 100'000)
                continue;
            SCOPED_TRACE(std::string(c.what) + ", read " + std::to_string(chunk) + " bytes at a time");
            const Read read = readThrough(c.xml, chunk);
            if (*c.problem) {
                EXPECT_TRUE(read.problem.contains(QString::fromUtf8(c.problem))) << read.problem.toStdString();
            } else {
                EXPECT_TRUE(read.problem.isEmpty()) << read.problem.toStdString();
                EXPECT_TRUE(read.error.isEmpty()) << read.error.toStdString();
            }
        }
    }
}
