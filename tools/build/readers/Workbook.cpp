#include "tools/build/readers/Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QUrl>
#include <QXmlStreamReader>

#include "tools/build/readers/BuildError.h"
#include "tools/build/readers/InputLimits.h"
#include "tools/build/readers/XmlGuard.h"

#include <zip.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace builder {

namespace {

// The largest sheet either format allows.
constexpr qint64 kMaxRows = 1048576;
constexpr qint64 kMaxColumns = 16384;

const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kDrawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kCalcExtNs = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

// A limit hit or a rule broken inside a part: the reader names the part and the line.
struct Refusal
{
    QString text;
};

// Text of one cell, as it grows: refused past the limit, before it takes the memory.
void checkCellText(qsizetype size)
{
    if (size > limits::kMaxFieldText)
        throw Refusal{QStringLiteral("una cella supera il limite di %1 caratteri").arg(limits::kMaxFieldText)};
}

// One member of the zip, inflated as the XML reader asks for it: a large sheet is never held whole, and the
// guard stops it at its allowance.
class ZipMember
{
public:
    ZipMember(zip_file_t* file, qint64 allowance)
        : m_file(file), m_guard([this](char* data, qint64 size) { return read(data, size); }, allowance)
    {
    }
    ~ZipMember() { zip_fclose(m_file); }
    ZipMember(const ZipMember&) = delete;
    ZipMember& operator=(const ZipMember&) = delete;

    XmlGuard& device() { return m_guard; }
    const XmlGuard& device() const { return m_guard; }

private:
    qint64 read(char* data, qint64 size)
    {
        const zip_int64_t read = zip_fread(m_file, data, zip_uint64_t(size));
        return read < 0 ? -1 : read;
    }

    zip_file_t* m_file;
    XmlGuard m_guard;
};

struct Relationship
{
    QString type;
    QString target; // the member's name in the zip
};

SheetCell textCell(QString text)
{
    if (text.isEmpty())
        return {};
    return {SheetCell::Kind::Text, std::move(text)};
}

SheetCell numberCell(QStringView value)
{
    value = value.trimmed();
    if (value.isEmpty())
        return {};
    return {SheetCell::Kind::Number, value.toString()};
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Excel writes characters XML cannot hold as _xHHHH_ (a Windows line break as "_x000D_\n"); cells give '\n'
// for every line break.
QString plainText(QString text)
{
    if (text.contains(u"_x")) {
        QString decoded;
        decoded.reserve(text.size());
        for (qsizetype i = 0; i < text.size();) {
            if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_' &&
                std::all_of(text.begin() + i + 2, text.begin() + i + 6, isHexDigit)) {
                decoded += QChar(char16_t(QStringView(text).mid(i + 2, 4).toUInt(nullptr, 16)));
                i += 7;
            } else {
                decoded += text[i++];
            }
        }
        text = std::move(decoded);
    }
    if (text.contains(u'\r')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
    }
    return text;
}

// "C7" -> column 2, row 6; false for anything else or beyond the largest sheet.
bool parseReference(QStringView reference, qint64& column, qint64& row)
{
    qsizetype i = 0;
    column = 0;
    for (; i < reference.size() && reference[i].isLetter() && reference[i].unicode() < 128; ++i) {
        column = column * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
        if (column > kMaxColumns)
            return false;
    }
    if (i == 0 || i == reference.size())
        return false;
    bool ok = false;
    row = reference.mid(i).toLongLong(&ok);
    if (!ok || row < 1 || row > kMaxRows || !reference[i].isDigit())
        return false;
    --column;
    --row;
    return true;
}

// The text of a shared string or an inline string: plain (<t>) or in runs (<r><t>), phonetic guides left out.
QString readRichText(QXmlStreamReader& xml)
{
    QString text;
    const auto append = [&] {
        text += xml.readElementText();
        checkCellText(text.size());
    };
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t") {
            append();
        } else if (xml.name() == u"r") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"t")
                    append();
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return plainText(std::move(text));
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Appends the character content of an OpenDocument paragraph to `text`: blanks in the XML collapse to one and
// vanish at the ends, <text:s/>, <text:tab/> and <text:line-break/> stand for the real ones, notes and drawings
// are not text.
void readParagraph(QXmlStreamReader& xml, QString& text)
{
    const qsizetype start = text.size();
    bool blank = false;
    const auto put = [&](QStringView part, qsizetype repeat = 1) {
        if (blank)
            text += u' ';
        blank = false;
        checkCellText(text.size() + part.size() * repeat);
        for (qsizetype i = 0; i < repeat; ++i)
            text += part;
    };
    int depth = 0;
    while (!xml.hasError()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView ns = xml.namespaceUri();
            const QStringView name = xml.name();
            if (ns == kTextNs && name == u"s") {
                const QXmlStreamAttributes attributes = xml.attributes();
                const QStringView count = attributes.value(kTextNs, QLatin1String("c"));
                bool ok = true;
                const qint64 spaces = count.isEmpty() ? 1 : count.toLongLong(&ok);
                if (!ok || spaces < 1) {
                    xml.raiseError(QStringLiteral("text:c"));
                    break;
                }
                put(u" ", qsizetype(std::min(spaces, limits::kMaxFieldText + 1)));
                xml.skipCurrentElement();
            } else if (ns == kTextNs && name == u"tab") {
                put(u"\t");
                xml.skipCurrentElement();
            } else if (ns == kTextNs && name == u"line-break") {
                put(u"\n");
                xml.skipCurrentElement();
            } else if ((ns == kTextNs && (name == u"note-body" || name == u"ruby-text")) || ns == kOfficeNs ||
                       ns == kDrawNs) {
                xml.skipCurrentElement();
            } else {
                ++depth;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return;
            break;
        case QXmlStreamReader::Characters: {
            const QStringView characters = xml.text();
            for (qsizetype first = 0, end = 0; first < characters.size(); first = end) {
                if (isBlank(characters[first])) {
                    blank = text.size() > start;
                    end = first + 1;
                    continue;
                }
                end = first + 1;
                while (end < characters.size() && !isBlank(characters[end]))
                    ++end;
                put(characters.mid(first, end - first));
            }
            break;
        }
        default:
            break;
        }
    }
}

// What an OpenDocument <table:table-cell> holds. The text it shows is read only where the value is that text.
SheetCell readOdsCell(QXmlStreamReader& xml)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView type = attributes.value(kOfficeNs, QLatin1String("value-type"));
    // An error result comes as a number without a value, or as a string; its text is what the cell shows.
    if (attributes.value(kCalcExtNs, QLatin1String("value-type")) != u"error") {
        if (type == u"float" || type == u"percentage" || type == u"currency") {
            SheetCell number = numberCell(attributes.value(kOfficeNs, QLatin1String("value")));
            if (number.kind != SheetCell::Kind::Empty) {
                xml.skipCurrentElement();
                return number;
            }
        } else if (type == u"boolean") {
            const QStringView value = attributes.value(kOfficeNs, QLatin1String("boolean-value")).trimmed();
            xml.skipCurrentElement();
            return {SheetCell::Kind::Number,
                    value == u"true" || value == u"1" ? QStringLiteral("1") : QStringLiteral("0")};
        } else if (type == u"string" && !attributes.value(kOfficeNs, QLatin1String("string-value")).isEmpty()) {
            xml.skipCurrentElement();
            return textCell(attributes.value(kOfficeNs, QLatin1String("string-value")).toString());
        }
    }
    // Strings, errors, and dates and times as they are shown: the price list has no date columns.
    QString shown;
    bool paragraph = false;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == kTextNs && (xml.name() == u"p" || xml.name() == u"h")) {
            if (paragraph)
                shown += u'\n';
            readParagraph(xml, shown);
            paragraph = true;
        } else {
            xml.skipCurrentElement();
        }
    }
    return textCell(std::move(shown));
}

qint64 repeatCount(QXmlStreamReader& xml, QLatin1String attribute)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView value = attributes.value(kTableNs, attribute);
    if (value.isEmpty())
        return 1;
    bool ok = false;
    const qint64 count = value.toLongLong(&ok);
    if (!ok || count < 1) {
        xml.raiseError(QString(attribute));
        return 1;
    }
    // Past the largest sheet only the excess matters, and the sums of repeats stay small.
    return std::min(count, kMaxRows + 1);
}

[[noreturn]] void headerTooWide(qint64 column)
{
    throw Refusal{QStringLiteral("la riga 1 ha un valore nella colonna %1, oltre le %2 colonne che "
                                 "un'intestazione può avere")
                      .arg(columnLetters(int(column)))
                      .arg(limits::kMaxHeaderColumns)};
}

// Columns a row keeps: the header may fill up to the limit, later rows only what the header fills.
qint64 columnsKept(qint64 row, qint64 headerWidth)
{
    return row == 0 ? limits::kMaxHeaderColumns : std::max<qint64>(headerWidth, 0);
}

} // namespace

// The zip of a workbook: its kind, its sheets, the shared strings of an .xlsx file, and the parts opened
// within the limits.
class Archive
{
public:
    struct Listed
    {
        QString name;
        QString member; // .xlsx: the worksheet's part; empty for a chart sheet
    };

    explicit Archive(const QString& path) : m_path(path)
    {
        const QFileInfo info(path);
        if (!info.exists())
            fail(QStringLiteral("il file non esiste"));
        if (info.isDir())
            fail(QStringLiteral("è una cartella, non un file"));
        if (!info.isFile())
            fail(QStringLiteral("non è un file normale (è un dispositivo, una pipe o un socket)"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("il file non si può aprire in lettura"));
        const bool zipped = file.read(2) == "PK";
        file.close();
        int code = 0;
        m_zip.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
        if (!m_zip && code == ZIP_ER_MEMORY)
            fail(QStringLiteral("memoria insufficiente"));
        if (!m_zip && zipped)
            fail(QStringLiteral("il file è danneggiato o incompleto"));
        if (!m_zip)
            notWorkbook();
        if (zip_get_num_entries(m_zip.get(), 0) > limits::kMaxZipMembers)
            fail(QStringLiteral("contiene più di %1 parti: non è un foglio di calcolo salvato da un programma")
                     .arg(limits::kMaxZipMembers));
        m_ods = has(QStringLiteral("mimetype")) || has(QStringLiteral("content.xml"));
        if (m_ods)
            checkOds();
        else
            listXlsx();
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool isOds() const { return m_ods; }
    const std::vector<Listed>& xlsxSheets() const { return m_sheets; }

    [[noreturn]] void fail(const QString& cause) const
    {
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(m_path, cause));
    }

    // Opens a part for reading, once its sizes are seen to fit the limits; `size` is its uncompressed size.
    std::unique_ptr<ZipMember> open(const QString& member, qint64* size = nullptr)
    {
        const QByteArray name = member.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        qint64 declared = 0;
        if (zip_stat(m_zip.get(), name.constData(), ZIP_FL_NOCASE, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
            declared = qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(limits::kMaxPartBytes) + 1));
            const qint64 packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? qint64(stat.comp_size) : declared;
            if (declared > limits::kRatioCheckedFrom &&
                declared / std::max<qint64>(packed, 1) > limits::kMaxCompressionRatio)
                fail(QStringLiteral("la parte «%1» decompressa è più di %2 volte più grande che compressa (%3 byte "
                                    "da %4): non è un foglio di calcolo salvato da un programma")
                         .arg(member)
                         .arg(limits::kMaxCompressionRatio)
                         .arg(declared)
                         .arg(packed));
            if (declared > limits::kMaxPartBytes)
                fail(QStringLiteral("la parte «%1» supera il limite di %2 una volta decompressa")
                         .arg(member, limits::bytesText(limits::kMaxPartBytes)));
        }
        if (size)
            *size = declared;
        if (zip_file_t* file = zip_fopen(m_zip.get(), name.constData(), ZIP_FL_NOCASE))
            return std::make_unique<ZipMember>(file, limits::kMaxPartBytes);
        switch (zip_error_code_zip(zip_get_error(m_zip.get()))) {
        case ZIP_ER_NOENT:
            fail(QStringLiteral("manca la parte «%1»: il file è incompleto").arg(member));
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            fail(QStringLiteral("il file è protetto da password: salvarlo di nuovo senza password"));
        case ZIP_ER_MEMORY:
            fail(QStringLiteral("memoria insufficiente"));
        default:
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(member));
        }
    }

    // After reading from a part: a limit the guard hit, or damaged XML, ends the reading with a message naming
    // the sheet (if any), the part and the line.
    void check(const QString& sheet, const QString& member, const ZipMember& part, const QXmlStreamReader& xml) const
    {
        if (!part.device().problem().isEmpty())
            refuse(sheet, member, part.device().line(), part.device().problem());
        if (!part.device().sourceFailed() && !xml.hasError())
            return;
        QString place = member;
        if (xml.hasError())
            place += QStringLiteral(", riga %1, colonna %2").arg(xml.lineNumber()).arg(xml.columnNumber());
        if (sheet.isEmpty())
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(place));
        fail(QStringLiteral("contenuto danneggiato nel foglio «%1» (%2)").arg(sheet, place));
    }

    [[noreturn]] void refuse(const QString& sheet, const QString& member, qint64 line, const QString& what) const
    {
        const QString place = QStringLiteral("%1, riga %2").arg(member).arg(line);
        fail(QStringLiteral("%1: %2").arg(sheet.isEmpty() ? place : QStringLiteral("foglio «%1», %2").arg(sheet, place),
                                          what));
    }

    // Runs `body` over the XML of a whole part.
    void parse(const QString& member, const std::function<void(QXmlStreamReader&)>& body)
    {
        const std::unique_ptr<ZipMember> part = open(member);
        QXmlStreamReader xml(&part->device());
        try {
            body(xml);
        } catch (const Refusal& refusal) {
            refuse({}, member, xml.lineNumber(), refusal.text);
        }
        check({}, member, *part, xml);
    }

    // The shared strings of an .xlsx file, read on first use.
    const QStringList& sharedStrings()
    {
        if (m_stringsRead)
            return m_strings;
        m_stringsRead = true;
        if (m_stringsMember.isEmpty() || !has(m_stringsMember))
            return m_strings;
        qint64 characters = 0;
        parse(m_stringsMember, [&](QXmlStreamReader& xml) {
            if (!xml.readNextStartElement())
                return;
            while (xml.readNextStartElement()) {
                if (xml.name() != u"si") {
                    xml.skipCurrentElement();
                    continue;
                }
                if (m_strings.size() >= limits::kMaxSharedStrings)
                    throw Refusal{QStringLiteral("più di %1 testi condivisi").arg(limits::kMaxSharedStrings)};
                m_strings.append(readRichText(xml));
                characters += m_strings.back().size();
                if (characters > limits::kMaxKeptText)
                    throw Refusal{QStringLiteral("i testi condivisi superano il limite di %1 caratteri")
                                      .arg(limits::kMaxKeptText)};
            }
        });
        return m_strings;
    }

private:
    [[noreturn]] void notWorkbook() const
    {
        fail(QStringLiteral("non è un file .xlsx o .ods (un file .xls o protetto da password va salvato di nuovo "
                            "come .xlsx o .ods, senza password)"));
    }

    bool has(const QString& member) const
    {
        return zip_name_locate(m_zip.get(), member.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    // --- OpenDocument: its tables are found when they are read, all being in one part.

    void checkOds()
    {
        if (has(QStringLiteral("mimetype"))) {
            // One line; only its start is read.
            const std::unique_ptr<ZipMember> part = open(QStringLiteral("mimetype"));
            if (!part->device().read(256).trimmed().startsWith("application/vnd.oasis.opendocument.spreadsheet"))
                fail(QStringLiteral("è un documento OpenDocument ma non un foglio di calcolo"));
        }
        if (has(QStringLiteral("META-INF/manifest.xml"))) {
            bool encrypted = false;
            parse(QStringLiteral("META-INF/manifest.xml"), [&](QXmlStreamReader& xml) {
                while (!encrypted && !xml.atEnd() && !xml.hasError())
                    encrypted = xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"encryption-data";
            });
            if (encrypted)
                fail(QStringLiteral("il file è protetto da password: salvarlo di nuovo senza password"));
        }
        if (!has(QStringLiteral("content.xml")))
            fail(QStringLiteral("manca la parte «content.xml»: il file è incompleto"));
    }

    // --- Office Open XML

    static QString relationshipsOf(const QString& member)
    {
        const qsizetype slash = member.lastIndexOf(u'/');
        return member.left(slash + 1) + QStringLiteral("_rels/") + member.mid(slash + 1) + QStringLiteral(".rels");
    }

    static QString cleanPath(const QString& path)
    {
        QStringList parts;
        for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
            if (part == u"..") {
                if (!parts.isEmpty())
                    parts.removeLast();
            } else if (part != u".") {
                parts.append(part);
            }
        }
        return parts.join(u'/');
    }

    // The relationships of `member` by id, their targets resolved to member names.
    QHash<QString, Relationship> readRelationships(const QString& member)
    {
        QHash<QString, Relationship> relationships;
        const QString base = member.left(member.lastIndexOf(u'/') + 1);
        parse(relationshipsOf(member), [&](QXmlStreamReader& xml) {
            if (!xml.readNextStartElement())
                return;
            while (xml.readNextStartElement()) {
                const QXmlStreamAttributes attributes = xml.attributes();
                if (relationships.size() > limits::kMaxSheets)
                    throw Refusal{QStringLiteral("più di %1 relazioni tra le parti").arg(limits::kMaxSheets)};
                if (xml.name() == u"Relationship" && attributes.value(QLatin1String("TargetMode")) != u"External") {
                    QString target = QUrl::fromPercentEncoding(attributes.value(QLatin1String("Target")).toUtf8());
                    target = target.startsWith(u'/') ? target.mid(1) : base + target;
                    relationships.insert(attributes.value(QLatin1String("Id")).toString(),
                                         {attributes.value(QLatin1String("Type")).toString(), cleanPath(target)});
                }
                xml.skipCurrentElement();
            }
        });
        return relationships;
    }

    void listXlsx()
    {
        QString workbook;
        if (has(QStringLiteral("_rels/.rels"))) {
            for (const Relationship& relationship : readRelationships(QString()))
                if (relationship.type.endsWith(u"/officeDocument"))
                    workbook = relationship.target;
        }
        if (workbook.isEmpty())
            workbook = QStringLiteral("xl/workbook.xml");
        if (!has(workbook))
            notWorkbook();

        std::vector<std::pair<QString, QString>> listed; // name, relationship id
        bool isWorkbook = false;
        parse(workbook, [&](QXmlStreamReader& xml) {
            if (!xml.readNextStartElement() || xml.name() != u"workbook")
                return;
            isWorkbook = true;
            while (xml.readNextStartElement()) {
                if (xml.name() != u"sheets") {
                    xml.skipCurrentElement();
                    continue;
                }
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"sheet") {
                        if (listed.size() >= size_t(limits::kMaxSheets))
                            throw Refusal{QStringLiteral("il file ha più di %1 fogli").arg(limits::kMaxSheets)};
                        QString id;
                        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                                id = attribute.value().toString();
                        }
                        listed.emplace_back(xml.attributes().value(QLatin1String("name")).toString(), id);
                    }
                    xml.skipCurrentElement();
                }
            }
        });
        if (!isWorkbook)
            notWorkbook();

        const QHash<QString, Relationship> relationships = readRelationships(workbook);
        for (const Relationship& relationship : relationships) {
            if (relationship.type.endsWith(u"/sharedStrings"))
                m_stringsMember = relationship.target;
        }
        for (const auto& [name, id] : listed) {
            const auto relationship = relationships.constFind(id);
            if (relationship == relationships.cend())
                fail(QStringLiteral("manca il contenuto del foglio «%1»: il file è incompleto").arg(name));
            // A chart sheet has no cells.
            m_sheets.push_back({name, relationship->type.endsWith(u"/chartsheet") ? QString() : relationship->target});
        }
    }

    QString m_path;
    // Freed even when the constructor gives up on the file after opening it.
    std::unique_ptr<zip_t, decltype(&zip_discard)> m_zip{nullptr, zip_discard};
    bool m_ods = false;
    std::vector<Listed> m_sheets;
    QString m_stringsMember;
    QStringList m_strings;
    bool m_stringsRead = false;
};

namespace {

// The rows of a worksheet of an .xlsx file. Rows and cells may leave out their r="…": they follow the one
// before. Rows come in ascending order, as the format wants, so that row 1 is complete before the others.
class XlsxRows : public SheetRows
{
public:
    XlsxRows(std::shared_ptr<Archive> archive, const QString& name, QString member)
        : m_archive(std::move(archive)), m_member(std::move(member))
    {
        m_name = name;
        if (m_member.isEmpty())
            return;
        m_strings = &m_archive->sharedStrings();
        m_part = m_archive->open(m_member, &m_size);
        m_xml.setDevice(&m_part->device());
    }

    qint64 done() const override { return m_part ? m_part->device().bytesRead() : 0; }
    qint64 size() const override { return m_size; }

    bool next() override
    {
        if (!m_part || m_ended)
            return false;
        try {
            if (!m_started) {
                m_started = true;
                if (!enterSheetData())
                    return finish();
            }
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() != u"row") {
                    m_xml.skipCurrentElement();
                    continue;
                }
                readRow();
                m_archive->check(m_name, m_member, *m_part, m_xml);
                if (!m_cells.empty())
                    return true;
            }
        } catch (const Refusal& refusal) {
            m_archive->refuse(m_name, m_member, m_xml.lineNumber(), refusal.text);
        }
        return finish();
    }

private:
    bool finish()
    {
        m_ended = true;
        m_archive->check(m_name, m_member, *m_part, m_xml);
        return false;
    }

    bool enterSheetData()
    {
        if (!m_xml.readNextStartElement())
            return false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"sheetData")
                return true;
            m_xml.skipCurrentElement();
        }
        return false;
    }

    void readRow()
    {
        const QXmlStreamAttributes rowAttributes = m_xml.attributes();
        const QStringView number = rowAttributes.value(QLatin1String("r"));
        const qint64 previous = m_row;
        if (number.isEmpty()) {
            ++m_row;
        } else {
            bool ok = false;
            m_row = number.toLongLong(&ok) - 1;
            if (!ok || m_row < 0 || m_row >= kMaxRows) {
                m_xml.raiseError(QStringLiteral("row"));
                return;
            }
            if (m_row <= previous)
                throw Refusal{QStringLiteral("la riga %1 viene dopo la riga %2: le righe devono essere in ordine")
                                  .arg(m_row + 1)
                                  .arg(previous + 1)};
        }
        if (m_width < 0 && m_row > 0)
            m_width = 0; // no row 1: no header
        const qint64 kept = columnsKept(m_row, m_width);
        m_cells.clear();
        qint64 column = -1;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"c") {
                m_xml.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes attributes = m_xml.attributes();
            qint64 cellRow = m_row;
            if (attributes.value(QLatin1String("r")).isEmpty())
                ++column;
            else if (!parseReference(attributes.value(QLatin1String("r")), column, cellRow))
                m_xml.raiseError(QStringLiteral("r"));
            SheetCell cell = readCell(attributes.value(QLatin1String("t")));
            if (cell.kind == SheetCell::Kind::Empty || m_xml.hasError())
                continue;
            if (column >= kept) {
                if (m_row == 0)
                    headerTooWide(column);
                continue;
            }
            if (qint64(m_cells.size()) <= column)
                m_cells.resize(size_t(column) + 1);
            m_cells[size_t(column)] = std::move(cell);
        }
        m_number = m_row + 1;
        if (m_row == 0)
            m_width = qint64(m_cells.size());
    }

    SheetCell readCell(QStringView type)
    {
        QString value;
        bool hasValue = false;
        QString inlineText;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"v") {
                value = m_xml.readElementText();
                hasValue = true;
            } else if (m_xml.name() == u"is") {
                inlineText = readRichText(m_xml);
            } else {
                m_xml.skipCurrentElement(); // the formula, extensions
            }
        }
        if (type == u"inlineStr")
            return textCell(inlineText);
        if (!hasValue)
            return {};
        if (type == u"s") {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings->size()) {
                m_xml.raiseError(QStringLiteral("s"));
                return {};
            }
            return textCell((*m_strings)[index]);
        }
        if (type == u"str" || type == u"e" || type == u"d")
            return textCell(plainText(std::move(value)));
        if (type == u"b")
            return {SheetCell::Kind::Number,
                    value.trimmed() == u"1" || value.trimmed() == u"true" ? QStringLiteral("1") : QStringLiteral("0")};
        return numberCell(value);
    }

    std::shared_ptr<Archive> m_archive;
    QString m_member;
    const QStringList* m_strings = nullptr;
    std::unique_ptr<ZipMember> m_part;
    QXmlStreamReader m_xml;
    qint64 m_size = 0;
    bool m_started = false;
    bool m_ended = false;
    qint64 m_row = -1;   // 0-based, the last row read
    qint64 m_width = -1; // columns of row 1, once known
};

// The rows of a table of an .ods file. All tables are in content.xml: the reading first walks to its table.
// A repeated row is given as many times as it repeats, from one copy in memory.
class OdsRows : public SheetRows
{
public:
    explicit OdsRows(std::shared_ptr<Archive> archive) : m_archive(std::move(archive))
    {
        m_part = m_archive->open(kContent, &m_size);
        m_xml.setDevice(&m_part->device());
    }

    qint64 done() const override { return m_part->device().bytesRead(); }
    qint64 size() const override { return m_size; }

    // Walks to the first table whose name `wanted` accepts; false if none does. Without `wanted`, lists the
    // names of all tables into `names`.
    bool find(const std::function<bool(const QString&)>& wanted, QStringList* names = nullptr)
    {
        try {
            bool spreadsheet = false;
            while (!m_xml.hasError() && m_xml.readNext() != QXmlStreamReader::EndDocument) {
                if (!m_xml.isStartElement() || m_xml.namespaceUri() != kOfficeNs || m_xml.name() != u"spreadsheet")
                    continue;
                spreadsheet = true;
                qint64 tables = 0;
                while (m_xml.readNextStartElement()) {
                    if (m_xml.namespaceUri() != kTableNs || m_xml.name() != u"table") {
                        m_xml.skipCurrentElement();
                        continue;
                    }
                    if (++tables > limits::kMaxSheets)
                        throw Refusal{QStringLiteral("il file ha più di %1 fogli").arg(limits::kMaxSheets)};
                    const QString name = m_xml.attributes().value(kTableNs, QLatin1String("name")).toString();
                    if (names)
                        names->append(name);
                    if (wanted && wanted(name)) {
                        m_name = name;
                        return true;
                    }
                    m_xml.skipCurrentElement();
                }
                break;
            }
            m_archive->check({}, kContent, *m_part, m_xml);
            if (!spreadsheet)
                m_archive->fail(QStringLiteral("è un documento OpenDocument ma non un foglio di calcolo"));
        } catch (const Refusal& refusal) {
            m_archive->refuse({}, kContent, m_xml.lineNumber(), refusal.text);
        }
        m_ended = true;
        return false;
    }

    bool next() override
    {
        if (m_repeatLeft > 0) {
            --m_repeatLeft;
            ++m_number;
            return true;
        }
        if (m_ended)
            return false;
        try {
            for (;;) {
                if (!m_xml.readNextStartElement()) {
                    // The end of a row group, or of the table.
                    if (m_xml.hasError() || m_depth == 0)
                        break;
                    --m_depth;
                    continue;
                }
                const QStringView name = m_xml.name();
                if (m_xml.namespaceUri() == kTableNs && name == u"table-row") {
                    if (readRow())
                        return true;
                } else if (m_xml.namespaceUri() == kTableNs &&
                           (name == u"table-header-rows" || name == u"table-rows" || name == u"table-row-group")) {
                    ++m_depth;
                } else {
                    m_xml.skipCurrentElement();
                }
            }
        } catch (const Refusal& refusal) {
            m_archive->refuse(m_name, kContent, m_xml.lineNumber(), refusal.text);
        }
        m_ended = true;
        m_archive->check(m_name, kContent, *m_part, m_xml);
        return false;
    }

private:
    inline static const QString kContent = QStringLiteral("content.xml");

    // Reads one row element; true when it holds a cell.
    bool readRow()
    {
        const qint64 index = m_nextRow;
        const qint64 repeat = repeatCount(m_xml, QLatin1String("number-rows-repeated"));
        const qint64 kept = columnsKept(index, m_width);
        m_cells.clear();
        qint64 emptyCells = 0;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (m_xml.namespaceUri() != kTableNs || (name != u"table-cell" && name != u"covered-table-cell")) {
                m_xml.skipCurrentElement();
                continue;
            }
            const qint64 cellRepeat = repeatCount(m_xml, QLatin1String("number-columns-repeated"));
            const qint64 column = qint64(m_cells.size()) + emptyCells;
            if (column >= kept && index > 0) {
                m_xml.skipCurrentElement();
                continue;
            }
            SheetCell cell = readOdsCell(m_xml);
            if (cell.kind == SheetCell::Kind::Empty) {
                emptyCells += cellRepeat;
                continue;
            }
            if (index == 0 && column + cellRepeat > kept)
                headerTooWide(std::max(column, kept));
            m_cells.resize(m_cells.size() + size_t(emptyCells));
            emptyCells = 0;
            m_cells.insert(m_cells.end(), size_t(std::min(cellRepeat, kept - column)), cell);
        }
        m_archive->check(m_name, kContent, *m_part, m_xml);
        if (index == 0)
            m_width = qint64(m_cells.size());
        m_nextRow = index + repeat;
        if (m_cells.empty())
            return false;
        if (index + repeat > kMaxRows)
            throw Refusal{QStringLiteral("il foglio ha più di %1 righe").arg(kMaxRows)};
        m_number = index + 1;
        m_repeatLeft = repeat - 1;
        return true;
    }

    std::shared_ptr<Archive> m_archive;
    std::unique_ptr<ZipMember> m_part;
    QXmlStreamReader m_xml;
    qint64 m_size = 0;
    bool m_ended = false;
    int m_depth = 0;         // row groups entered; the guard bounds how deep they nest
    qint64 m_nextRow = 0;    // 0-based index of the next row element
    qint64 m_repeatLeft = 0; // copies of the current row still to give
    qint64 m_width = -1;     // columns of row 1, once known
};

} // namespace

Workbook Workbook::open(const QString& path)
{
    Workbook workbook;
    workbook.m_archive = std::make_shared<Archive>(path);
    return workbook;
}

QStringList Workbook::sheetNames() const
{
    QStringList names;
    if (m_archive->isOds()) {
        OdsRows tables(m_archive);
        tables.find({}, &names);
    } else {
        for (const Archive::Listed& sheet : m_archive->xlsxSheets())
            names << sheet.name;
    }
    return names;
}

std::unique_ptr<SheetRows> Workbook::rows(QStringView name) const
{
    const auto same = [&](const QString& sheet) { return name.compare(sheet, Qt::CaseInsensitive) == 0; };
    if (m_archive->isOds()) {
        auto table = std::make_unique<OdsRows>(m_archive);
        if (!table->find(same))
            return nullptr;
        return table;
    }
    for (const Archive::Listed& sheet : m_archive->xlsxSheets()) {
        if (same(sheet.name))
            return std::make_unique<XlsxRows>(m_archive, sheet.name, sheet.member);
    }
    return nullptr;
}

QString columnLetters(int column)
{
    QString letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters;
}

} // namespace builder
