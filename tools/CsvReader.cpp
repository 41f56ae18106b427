#include "CsvReader.h"

#include <QFileInfo>
#include <QStringDecoder>

#include "Builder.h"

#include <csv.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace builder {

namespace {

constexpr size_t kBlockSize = size_t(1) << 20;

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// A line holding nothing but its line break is skipped by the parser and starts no record.
bool isBlank(const char* data, size_t size)
{
    return std::all_of(data, data + size, [](char c) { return c == '\r' || c == '\n'; });
}

QString quoted(const std::string& raw)
{
    return u'"' + QString::fromUtf8(raw.data(), qsizetype(raw.size())) + u'"';
}

} // namespace

CsvReader::CsvReader(const QString& path) : m_path(path), m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(path, m_file.errorString()));
    m_size = m_file.size();
    m_parser = new csv_parser;
    if (csv_init(m_parser, CSV_STRICT | CSV_STRICT_FINI | CSV_EMPTY_IS_NULL | CSV_APPEND_NULL) != 0) {
        delete m_parser;
        m_parser = nullptr;
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: memoria insufficiente").arg(path));
    }
    // Blanks around fields are data, not padding to be trimmed.
    csv_set_space_func(m_parser, [](unsigned char) { return 0; });
    m_buffer.resize(kBlockSize);
}

CsvReader::~CsvReader()
{
    if (m_parser) {
        csv_free(m_parser);
        delete m_parser;
    }
}

QString CsvReader::fileName() const
{
    return QFileInfo(m_path).fileName();
}

void CsvReader::fail(int column, const QString& what) const
{
    throw BuildError(
        QStringLiteral("%1, riga %2, colonna \"%3\": %4")
            .arg(fileName())
            .arg(m_current.line)
            .arg(QString::fromUtf8(m_names[size_t(column)].data(), qsizetype(m_names[size_t(column)].size())), what));
}

void CsvReader::failLine(qint64 line, const QString& what) const
{
    throw BuildError(QStringLiteral("%1, riga %2: %3").arg(fileName()).arg(line).arg(what));
}

void CsvReader::onField(void* data, size_t size, void* self)
{
    auto* reader = static_cast<CsvReader*>(self);
    if (data)
        reader->m_building.fields.emplace_back(std::string(static_cast<const char*>(data), size));
    else
        reader->m_building.fields.emplace_back(std::nullopt);
}

void CsvReader::onRecord(int, void* self)
{
    auto* reader = static_cast<CsvReader*>(self);
    reader->m_building.line = reader->m_recordLine;
    reader->m_ready.push_back(std::move(reader->m_building));
    reader->m_building = Record{};
    reader->m_atRecordStart = true;
}

void CsvReader::feed(const char* data, size_t size)
{
    // The callbacks only collect fields: records are checked afterwards, outside the C library.
    if (csv_parse(m_parser, data, size, onField, onRecord, this) == size)
        return;
    const int error = csv_error(m_parser);
    if (error == CSV_EPARSE)
        failLine(m_line, QStringLiteral("CSV non valido: virgolette fuori posto (un campo che contiene virgolette "
                                        "deve essere racchiuso tra virgolette e quelle interne vanno raddoppiate)"));
    failLine(m_line, QStringLiteral("CSV non leggibile: %1").arg(QString::fromUtf8(csv_strerror(error))));
}

bool CsvReader::fill()
{
    while (m_ready.empty() && !m_finished) {
        if (m_pos == m_end) {
            if (m_eof) {
                m_finished = true;
                if (csv_fini(m_parser, onField, onRecord, this) != 0)
                    failLine(m_recordLine, QStringLiteral("CSV non valido: virgolette aperte e mai chiuse"));
                break;
            }
            const qint64 read = m_file.read(m_buffer.data(), qint64(m_buffer.size()));
            if (read < 0)
                throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(m_path, m_file.errorString()));
            m_pos = 0;
            m_end = size_t(read);
            m_eof = read == 0;
            if (m_firstBlock && m_end >= 3 && std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0) {
                m_pos = 3;
                m_bytesRead = 3;
            }
            m_firstBlock = false;
            continue;
        }
        // Feeding one physical line at a time lets parse errors and records carry their line number.
        const char* begin = m_buffer.data() + m_pos;
        const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', m_end - m_pos));
        const size_t size = newline ? size_t(newline - begin) + 1 : m_end - m_pos;
        if (m_atRecordStart && !isBlank(begin, size)) {
            m_recordLine = m_line;
            m_atRecordStart = false;
        }
        feed(begin, size);
        m_pos += size;
        m_bytesRead += qint64(size);
        if (newline)
            ++m_line;
    }
    return !m_ready.empty();
}

void CsvReader::readHeader(std::span<const std::string_view> columns)
{
    m_names.assign(columns.begin(), columns.end());
    if (!fill())
        failLine(1, QStringLiteral("file vuoto: manca la riga di intestazione con i nomi delle colonne"));
    m_current = std::move(m_ready.front());
    m_ready.pop_front();

    m_position.assign(columns.size(), -1);
    for (size_t f = 0; f < m_current.fields.size(); ++f) {
        const std::optional<std::string>& name = m_current.fields[f];
        if (!name || name->empty())
            failLine(m_current.line, QStringLiteral("la colonna %1 dell'intestazione non ha nome").arg(f + 1));
        const auto found =
            std::find_if(columns.begin(), columns.end(), [&](std::string_view c) { return sameName(c, *name); });
        if (found == columns.end())
            failLine(m_current.line, QStringLiteral("colonna sconosciuta %1").arg(quoted(*name)));
        int& position = m_position[size_t(found - columns.begin())];
        if (position >= 0)
            failLine(m_current.line, QStringLiteral("colonna %1 ripetuta").arg(quoted(*name)));
        position = int(f);
    }
    for (size_t i = 0; i < columns.size(); ++i)
        if (m_position[i] < 0)
            failLine(m_current.line, QStringLiteral("manca la colonna \"%1\"")
                                         .arg(QString::fromUtf8(columns[i].data(), qsizetype(columns[i].size()))));
    m_fieldCount = m_current.fields.size();
}

bool CsvReader::next()
{
    if (!fill())
        return false;
    m_current = std::move(m_ready.front());
    m_ready.pop_front();
    if (m_current.fields.size() != m_fieldCount)
        failLine(
            m_current.line,
            QStringLiteral("%1 campi invece dei %2 dell'intestazione").arg(m_current.fields.size()).arg(m_fieldCount));
    return true;
}

const std::optional<std::string>& CsvReader::field(int column) const
{
    return m_current.fields[size_t(m_position[size_t(column)])];
}

bool CsvReader::isNull(int column) const
{
    return !field(column).has_value();
}

QString CsvReader::text(int column) const
{
    const std::optional<std::string>& raw = field(column);
    if (!raw)
        return QString();
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(QByteArrayView(raw->data(), qsizetype(raw->size())));
    if (decoder.hasError())
        fail(column, QStringLiteral("testo non codificato in UTF-8"));
    return text;
}

QString CsvReader::requiredText(int column) const
{
    if (isNull(column))
        fail(column, QStringLiteral("valore mancante (campo vuoto senza virgolette), ma la colonna è obbligatoria"));
    return text(column);
}

std::optional<QString> CsvReader::optionalText(int column) const
{
    if (isNull(column))
        return std::nullopt;
    return text(column);
}

qint64 CsvReader::integer(int column) const
{
    if (isNull(column))
        fail(column, QStringLiteral("valore mancante (campo vuoto senza virgolette), ma la colonna è obbligatoria"));
    const std::string& raw = *field(column);
    const char* begin = raw.data();
    const char* end = begin + raw.size();
    if (begin != end && *begin == '+')
        ++begin;
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end)
        fail(column, QStringLiteral("numero intero non valido %1").arg(quoted(raw)));
    return value;
}

std::optional<double> CsvReader::optionalNumber(int column) const
{
    if (isNull(column))
        return std::nullopt;
    const std::string& raw = *field(column);
    // Plain decimal notation with "." only: from_chars alone would also take "inf", "nan" and hex.
    const bool plain = !raw.empty() && std::all_of(raw.begin(), raw.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    });
    const char* begin = raw.data();
    const char* end = begin + raw.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (!plain || begin == end || error != std::errc() || stop != end || !std::isfinite(value))
        fail(column, QStringLiteral("numero non valido %1").arg(quoted(raw)));
    return value;
}

} // namespace builder
