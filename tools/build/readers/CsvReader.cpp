#include "tools/build/readers/CsvReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "tools/build/readers/BuildError.h"
#include "tools/build/readers/InputLimits.h"
#include "core/SafeFiles.h"

#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

namespace builder {

namespace {

constexpr size_t kBlockSize = size_t(1) << 20;

// A line holding nothing but its line break is skipped by the parser and starts no record.
bool isBlank(const char* data, size_t size)
{
    return std::all_of(data, data + size, [](char c) { return c == '\r' || c == '\n'; });
}

} // namespace

CsvReader::CsvReader(const QString& path, const CsvOptions& options) : m_path(path), m_options(options)
{
    const auto cannotRead = [&](const QString& cause) {
        if (m_fd >= 0)
            ::close(m_fd);
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(path, cause));
    };
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info;
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        cannotRead(core::systemReason(errno));
    // A device or a pipe never ends, or blocks: only a regular file is read.
    if (!S_ISREG(info.st_mode))
        cannotRead(QStringLiteral("non è un file normale (è una cartella, un dispositivo, una pipe o un socket)"));
    m_size = qint64(info.st_size);
    m_parser = new csv_parser;
    if (csv_init(m_parser, CSV_STRICT | CSV_STRICT_FINI | CSV_EMPTY_IS_NULL | CSV_APPEND_NULL) != 0) {
        delete m_parser;
        m_parser = nullptr;
        ::close(m_fd);
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: memoria insufficiente").arg(path));
    }
    // Blanks around fields are data, not padding to be trimmed.
    csv_set_space_func(m_parser, [](unsigned char) { return 0; });
    // The field buffer grows by this much at a time: by the default 128 bytes, a long field is copied over and
    // over as it grows.
    csv_set_blk_size(m_parser, size_t(1) << 16);
    m_buffer.resize(kBlockSize);
}

CsvReader::~CsvReader()
{
    if (m_parser) {
        csv_free(m_parser);
        delete m_parser;
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

QString CsvReader::fileName() const
{
    return QFileInfo(m_path).fileName();
}

QString CsvReader::row() const
{
    return QStringLiteral("%1, riga %2").arg(fileName()).arg(m_current.line);
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
    if (error == CSV_ENOMEM)
        failLine(m_line, QStringLiteral("memoria insufficiente"));
    if (error == CSV_ETOOBIG)
        failLine(m_line, QStringLiteral("un campo è troppo grande da leggere"));
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
            ssize_t read = 0;
            do
                read = ::read(m_fd, m_buffer.data(), m_buffer.size());
            while (read < 0 && errno == EINTR);
            if (read < 0)
                throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(m_path, core::systemReason(errno)));
            m_pos = 0;
            m_end = size_t(read);
            m_eof = read == 0;
            if (m_firstBlock) {
                if (m_end >= 3 && std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0) {
                    m_pos = 3;
                    m_bytesRead = 3;
                }
                detectSeparator();
            }
            m_firstBlock = false;
            continue;
        }
        // Feeding one physical line at a time lets parse errors and records carry their line number. A line
        // ends at LF, CR or CR LF, as editors count them.
        const char* begin = m_buffer.data() + m_pos;
        const char* stop = std::find_if(begin, static_cast<const char*>(m_buffer.data() + m_end),
                                        [](char c) { return c == '\n' || c == '\r'; });
        const bool lineEnd = stop != static_cast<const char*>(m_buffer.data() + m_end);
        const size_t size = size_t(stop - begin) + (lineEnd ? 1 : 0);
        if (m_atRecordStart && !isBlank(begin, size)) {
            m_recordLine = m_line;
            m_atRecordStart = false;
            m_recordBytes = 0;
        }
        feed(begin, size);
        if (!m_atRecordStart)
            m_recordBytes += qint64(size);
        if (m_recordBytes > limits::kMaxRecordBytes)
            failLine(m_recordLine, QStringLiteral("la riga supera il limite di %1 (manca un ritorno a capo, o "
                                                  "un campo tra virgolette non è mai chiuso?)")
                                       .arg(limits::bytesText(limits::kMaxRecordBytes)));
        m_pos += size;
        m_bytesRead += qint64(size);
        if (lineEnd && !(*stop == '\n' && size == 1 && m_afterCarriageReturn))
            ++m_line;
        m_afterCarriageReturn = lineEnd && *stop == '\r';
    }
    return !m_ready.empty();
}

void CsvReader::detectSeparator()
{
    // The header line tells: its names never hold either character.
    size_t commas = 0;
    size_t semicolons = 0;
    bool quoted = false;
    for (size_t i = m_pos; i < m_end && (quoted || (m_buffer[i] != '\n' && m_buffer[i] != '\r')); ++i) {
        const char c = m_buffer[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    m_separator = semicolons > commas ? ';' : ',';
    csv_set_delim(m_parser, static_cast<unsigned char>(m_separator));
    m_decimalComma = m_options.decimalComma || m_separator == ';';
}

void CsvReader::readHeader(std::span<const std::string_view> columns)
{
    m_columns = columns;
    if (!fill())
        failLine(1, QStringLiteral("file vuoto: manca la riga di intestazione con i nomi delle colonne"));
    m_current = std::move(m_ready.front());
    m_ready.pop_front();

    QStringList names;
    for (size_t f = 0; f < m_current.fields.size(); ++f) {
        const std::optional<std::string>& name = m_current.fields[f];
        if (!name || name->empty())
            failLine(m_current.line, QStringLiteral("la colonna %1 dell'intestazione non ha nome").arg(f + 1));
        names << QString::fromUtf8(name->data(), qsizetype(name->size()));
    }
    // A whole header read as one name: its fields are separated by something else.
    m_position = mapHeader(columns, names, [&](qsizetype) {
        return names.size() == 1
                   ? QStringLiteral(": i campi sono separati da un carattere diverso dalla virgola e dal punto e virgola?")
                   : QString();
    });
    m_fieldCount = m_current.fields.size();
}

bool CsvReader::next()
{
    if (!fill())
        return false;
    m_current = std::move(m_ready.front());
    m_ready.pop_front();
    if (m_current.fields.size() != m_fieldCount)
        throw FieldError(row() + QStringLiteral(": %1 campi invece dei %2 dell'intestazione")
                                     .arg(m_current.fields.size())
                                     .arg(m_fieldCount));
    return true;
}

QString CsvReader::decode(const std::string& raw, bool* ok) const
{
    *ok = true;
    if (m_options.encoding == CsvOptions::Encoding::Windows1252) {
        // Windows-1252 is Latin-1 but for 0x80-0x9F, where it puts the euro sign, typographic quotes and
        // dashes; its five unassigned bytes are taken as the C1 controls Windows itself maps them to.
        static constexpr char16_t k80to9F[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        QString text(qsizetype(raw.size()), Qt::Uninitialized);
        for (size_t i = 0; i < raw.size(); ++i) {
            const auto byte = static_cast<unsigned char>(raw[i]);
            text[qsizetype(i)] = byte >= 0x80 && byte < 0xA0 ? QChar(k80to9F[byte - 0x80]) : QChar(char16_t(byte));
        }
        return text;
    }
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(QByteArrayView(raw.data(), qsizetype(raw.size())));
    *ok = !decoder.hasError();
    return text;
}

Field CsvReader::field(int column) const
{
    const std::optional<std::string>& raw = m_current.fields[size_t(m_position[size_t(column)])];
    if (!raw)
        return {};
    // Bytes are at least as many as characters: only a long field is decoded to be measured.
    if (qint64(raw->size()) > limits::kMaxFieldText) {
        const qint64 characters = QString::fromUtf8(raw->data(), qsizetype(raw->size())).size();
        if (characters > limits::kMaxFieldText)
            fail(column, QStringLiteral("il testo ha %1 caratteri, oltre il limite di %2")
                             .arg(characters)
                             .arg(limits::kMaxFieldText));
    }
    bool ok = true;
    Field field{Field::Kind::Text, decode(*raw, &ok)};
    // One message for the file: every other field would say the same.
    if (!ok)
        throw BuildError(where(column) + QStringLiteral(": testo non codificato in UTF-8. Un file salvato con la "
                                                        "codifica Windows-1252 (Europa occidentale) si legge con "
                                                        "l'opzione --encoding windows-1252; il resto del file non è "
                                                        "stato controllato"));
    return field;
}

} // namespace builder
