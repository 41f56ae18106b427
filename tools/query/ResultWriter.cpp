#include "tools/query/ResultWriter.h"

#include "core/Compare.h"
#include "core/Field.h"
#include "core/Find.h"
#include "core/Numbers.h"
#include "core/Search.h"

#include <cmath>

namespace query {

namespace {

constexpr std::array<const char*, ResultWriter::kColumns> kNames{
    "livello",   "codice", "sezione", "capitolo", "articolo", "subarticolo", "unita", "prezzo", "incidenza_manodopera",
    "manodopera"};

constexpr const char* kComparisonNames[]{"stato", "codice_vecchio", "codice_nuovo", "descrizione",
                                         "unita", "prezzo_vecchio", "prezzo_nuovo", "variazione_percentuale"};

constexpr qsizetype kFlushSize = 64 * 1024;

ResultWriter::Cell text(const core::Text& value)
{
    if (value.isNull())
        return std::monostate();
    return value.utf8();
}

ResultWriter::Cell number(const std::optional<double>& value)
{
    if (!value)
        return std::monostate();
    return *value;
}

// Numbers as the windows show them, with the C locale's dot: 15 significant digits, no trailing zeros.
void appendNumber(double value, QByteArray& out)
{
    core::appendNumberUtf8(value, out);
}

} // namespace

ResultWriter::ResultWriter(Format format, std::FILE* out) : m_format(format), m_out(out)
{
    m_buffer.reserve(kFlushSize * 2);
}

ResultWriter::ResultWriter(Format format, QIODevice& out) : m_format(format), m_device(&out)
{
    m_buffer.reserve(kFlushSize * 2);
}

void ResultWriter::writeAll(const core::SearchResults& results)
{
    begin(kNames);
    QByteArray code;
    for (const core::ChapterResult& chapter : results.chapters) {
        code = chapter.code.toUtf8();
        write(Row{QByteArrayView("capitolo"), QByteArrayView(code), text(chapter.sezione), text(chapter.capitolo)});
    }
    for (const core::ArticleResult& article : results.articles) {
        code = article.code.toUtf8();
        write(Row{QByteArrayView("articolo"), QByteArrayView(code), text(article.sezione), text(article.capitolo),
                  text(article.articolo)});
    }
    for (const core::Subarticle& subarticle : results.subarticles) {
        code = subarticle.code.toUtf8();
        write(Row{QByteArrayView("subarticolo"),
                  QByteArrayView(code),
                  {},
                  {},
                  {},
                  text(subarticle.subarticolo),
                  text(subarticle.simbolo),
                  number(subarticle.prezzoLordo),
                  number(subarticle.incidenzaManodopera),
                  number(subarticle.sommaManodopera)});
    }
    end();
}

void ResultWriter::writeAll(const core::FindIndex& index, const std::vector<std::int32_t>& items)
{
    begin(kNames);
    QByteArray code;
    for (const std::int32_t item : items) {
        const core::Subarticle subarticle = index.subarticle(item);
        code = subarticle.code.toUtf8();
        write(Row{QByteArrayView("subarticolo"), QByteArrayView(code), text(index.sezione(item)),
                  text(index.capitolo(item)), text(index.articolo(item)), text(subarticle.subarticolo),
                  text(subarticle.simbolo), number(subarticle.prezzoLordo), number(subarticle.incidenzaManodopera),
                  number(subarticle.sommaManodopera)});
    }
    end();
}

void ResultWriter::writeAll(const core::Comparison& comparison)
{
    begin(kComparisonNames);
    QByteArray state, oldCode, newCode, description;
    for (const core::ComparedItem& item : comparison.items) {
        state = core::compareStateName(item.state).toUtf8();
        oldCode = item.oldCode.toUtf8();
        newCode = item.newCode.toUtf8();
        description = core::shortDescription(item.articolo.toString(), item.subarticolo.toString()).toUtf8();
        // A change to the cent is what a reader compares; the full quotient would show rounding noise.
        std::optional<double> percent = item.changePercent();
        if (percent)
            percent = core::roundedToCents(*percent);
        write(Row{QByteArrayView(state), item.oldCode.isEmpty() ? Cell() : QByteArrayView(oldCode),
                  item.newCode.isEmpty() ? Cell() : QByteArrayView(newCode), QByteArrayView(description),
                  text(item.unit()), number(item.oldPrice), number(item.newPrice), number(percent)});
    }
    end();
}

void ResultWriter::begin(std::span<const char* const> names)
{
    m_names = names;
    if (m_format == Format::Json) {
        m_buffer += '[';
        return;
    }
    const char separator = m_format == Format::Csv ? ',' : '\t';
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (i > 0)
            m_buffer += separator;
        m_buffer += m_names[i];
    }
    m_buffer += '\n';
}

void ResultWriter::write(const Row& row)
{
    if (m_format == Format::Json) {
        m_buffer += m_firstRow ? "\n{" : ",\n{";
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (i > 0)
                m_buffer += ", ";
            m_buffer += '"';
            m_buffer += m_names[i];
            m_buffer += "\": ";
            appendJson(row[i]);
        }
        m_buffer += '}';
    } else {
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (i > 0)
                m_buffer += m_format == Format::Csv ? ',' : '\t';
            if (m_format == Format::Csv)
                appendCsv(row[i]);
            else
                appendTsv(row[i]);
        }
        m_buffer += '\n';
    }
    m_firstRow = false;
    flushIfFull();
}

void ResultWriter::end()
{
    if (m_format == Format::Json)
        m_buffer += m_firstRow ? "]\n" : "\n]\n";
}

// RFC 4180: quoted only when the field holds a separator, a quote or a line break. An empty text is written
// "" so that it reads back apart from Null, as prezzario-build reads its CSV files.
void ResultWriter::appendCsv(const Cell& cell)
{
    if (const double* value = std::get_if<double>(&cell)) {
        appendNumber(*value, m_buffer);
        return;
    }
    const QByteArrayView* value = std::get_if<QByteArrayView>(&cell);
    if (!value)
        return;
    const bool quoted = value->isEmpty() || value->contains(',') || value->contains('"') || value->contains('\n') ||
                        value->contains('\r');
    if (!quoted) {
        m_buffer += *value;
        return;
    }
    m_buffer += '"';
    for (const char c : *value) {
        if (c == '"')
            m_buffer += '"';
        m_buffer += c;
    }
    m_buffer += '"';
}

// A tab or a line break inside a text would break the row, so they are escaped as \t, \n and \r, and the
// backslash as \\.
void ResultWriter::appendTsv(const Cell& cell)
{
    if (const double* value = std::get_if<double>(&cell)) {
        appendNumber(*value, m_buffer);
        return;
    }
    const QByteArrayView* value = std::get_if<QByteArrayView>(&cell);
    if (!value)
        return;
    for (const char c : *value) {
        switch (c) {
        case '\t':
            m_buffer += "\\t";
            break;
        case '\n':
            m_buffer += "\\n";
            break;
        case '\r':
            m_buffer += "\\r";
            break;
        case '\\':
            m_buffer += "\\\\";
            break;
        default:
            m_buffer += c;
        }
    }
}

void ResultWriter::appendJson(const Cell& cell)
{
    if (const double* value = std::get_if<double>(&cell)) {
        // JSON has no infinity.
        if (std::isfinite(*value))
            appendNumber(*value, m_buffer);
        else
            m_buffer += "null";
        return;
    }
    const QByteArrayView* value = std::get_if<QByteArrayView>(&cell);
    if (!value) {
        m_buffer += "null";
        return;
    }
    m_buffer += '"';
    for (const char c : *value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            m_buffer += '\\';
            m_buffer += c;
        } else if (c == '\n') {
            m_buffer += "\\n";
        } else if (c == '\t') {
            m_buffer += "\\t";
        } else if (c == '\r') {
            m_buffer += "\\r";
        } else if (byte < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            m_buffer += "\\u00";
            m_buffer += kHex[byte >> 4];
            m_buffer += kHex[byte & 0xf];
        } else {
            m_buffer += c;
        }
    }
    m_buffer += '"';
}

void ResultWriter::flushIfFull()
{
    if (m_buffer.size() < kFlushSize)
        return;
    writeBuffer();
}

void ResultWriter::writeBuffer()
{
    if (!m_failed && !m_buffer.isEmpty()) {
        const qint64 size = m_buffer.size();
        m_failed = m_device ? m_device->write(m_buffer) != size
                            : std::fwrite(m_buffer.constData(), 1, size_t(size), m_out) != size_t(size);
    }
    m_buffer.resize(0);
}

bool ResultWriter::finish()
{
    writeBuffer();
    if (m_out && std::fflush(m_out) != 0)
        m_failed = true;
    return !m_failed;
}

} // namespace query
