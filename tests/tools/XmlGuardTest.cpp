// The guard in front of every XML the builder reads: it must let through what real files hold (self-closing
// tags, markup characters inside comments, CDATA, attribute values and declarations) and stop only past its
// limits, wherever the data is cut into reads.
#include "InputLimits.h"
#include "XmlGuard.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// Every case sits right at a limit, so that one level or byte miscounted shows.
// Reads `xml` to its end through a guard that hands it over `chunk` bytes at a time; the guard's problem.
QString readThrough(const QByteArray& xml, qint64 chunk)
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
    while (!reader.atEnd())
        reader.readNext();
    return guard.problem();
}

QByteArray nested(int depth, const QByteArray& inside = {})
{
    return QByteArray("<a>").repeated(depth) + inside + QByteArray("</a>").repeated(depth);
}

} // namespace

TEST(XmlGuard, passesWhatRealFilesHoldAndStopsPastItsLimits)
{
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
         "un testo o un elemento XML supera il limite di 8 MiB"},
        {"a comment of 8 MiB and one byte", "<a><!--" + QByteArray((8 << 20) + 1, '<') + "--></a>",
         "un testo o un elemento XML supera il limite di 8 MiB"},
    };
    for (const auto& c : cases) {
        for (const qint64 chunk : {qint64(1), qint64(7), qint64(1) << 20}) {
            // The reader itself slows down on a long piece handed over a few bytes at a time.
            if (chunk < 1024 && c.xml.size() > 100'000)
                continue;
            SCOPED_TRACE(std::string(c.what) + ", read " + std::to_string(chunk) + " bytes at a time");
            const QString problem = readThrough(c.xml, chunk);
            if (*c.problem)
                EXPECT_TRUE(problem.contains(QString::fromUtf8(c.problem))) << problem.toStdString();
            else
                EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        }
    }
}
