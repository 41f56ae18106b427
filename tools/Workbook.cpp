#include "Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QUrl>
#include <QXmlStreamReader>

#include "Builder.h"
#include "InputLimits.h"
#include "XmlGuard.h"

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

class Reader
{
public:
    Reader(const QString& path, const QStringList& only) : m_path(path), m_only(only)
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
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (!m_zip && code == ZIP_ER_MEMORY)
            fail(QStringLiteral("memoria insufficiente"));
        if (!m_zip && zipped)
            fail(QStringLiteral("il file è danneggiato o incompleto"));
        if (!m_zip)
            notWorkbook();
        if (zip_get_num_entries(m_zip, 0) > limits::kMaxZipMembers)
            fail(QStringLiteral("contiene più di %1 parti: non è un foglio di calcolo salvato da un programma")
                     .arg(limits::kMaxZipMembers));
    }
    ~Reader() { zip_discard(m_zip); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    void read(std::vector<Sheet>& sheets)
    {
        if (has(QStringLiteral("mimetype")) || has(QStringLiteral("content.xml")))
            readOds(sheets);
        else
            readXlsx(sheets);
    }

private:
    [[noreturn]] void fail(const QString& cause) const
    {
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(m_path, cause));
    }

    [[noreturn]] void notWorkbook() const
    {
        fail(QStringLiteral("non è un file .xlsx o .ods (un file .xls o protetto da password va salvato di nuovo "
                            "come .xlsx o .ods, senza password)"));
    }

    [[noreturn]] void tooManyCells() const
    {
        throw Refusal{QStringLiteral("i fogli letti superano il limite di %1 celle (le celle vuote tra quelle piene "
                                     "contano)")
                          .arg(limits::kMaxCells)};
    }

    // The sheets to read: all, or those named in m_only, the first of each name.
    bool wanted(const QString& name, const std::vector<Sheet>& read) const
    {
        if (m_only.isEmpty())
            return true;
        const auto same = [&](const QString& other) { return other.compare(name, Qt::CaseInsensitive) == 0; };
        return std::any_of(m_only.begin(), m_only.end(), same) &&
               std::none_of(read.begin(), read.end(), [&](const Sheet& sheet) { return same(sheet.name); });
    }

    bool has(const QString& member) const
    {
        return zip_name_locate(m_zip, member.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    // Opens a member for reading, once its sizes are seen to fit the limits.
    zip_file_t* open(const QString& member, qint64* allowance)
    {
        const QByteArray name = member.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(m_zip, name.constData(), ZIP_FL_NOCASE, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
            const qint64 size = qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(limits::kMaxWorkbookBytes) + 1));
            const qint64 packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? qint64(stat.comp_size) : size;
            if (size > limits::kRatioCheckedFrom && size / std::max<qint64>(packed, 1) > limits::kMaxCompressionRatio)
                fail(QStringLiteral("la parte «%1» decompressa è più di %2 volte più grande che compressa (%3 byte "
                                    "da %4): non è un foglio di calcolo salvato da un programma")
                         .arg(member)
                         .arg(limits::kMaxCompressionRatio)
                         .arg(size)
                         .arg(packed));
            if (size > m_budget)
                fail(QStringLiteral("le parti lette superano il limite di %1 una volta decompresse")
                         .arg(limits::bytesText(limits::kMaxWorkbookBytes)));
        }
        *allowance = m_budget;
        zip_file_t* file = zip_fopen(m_zip, name.constData(), ZIP_FL_NOCASE);
        if (file)
            return file;
        switch (zip_error_code_zip(zip_get_error(m_zip))) {
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

    // The first bytes of a member (the mimetype of an OpenDocument file is one line).
    QByteArray readStart(const QString& member, qint64 size)
    {
        qint64 allowance = 0;
        ZipMember entry(open(member, &allowance), size);
        const QByteArray data = entry.device().read(size);
        if (entry.device().sourceFailed())
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(member));
        return data;
    }

    // Runs `body` over the XML of a member; messages name the sheet being read, if any, and the line.
    void parse(const QString& member, const std::function<void(QXmlStreamReader&)>& body)
    {
        qint64 allowance = 0;
        zip_file_t* file = open(member, &allowance);
        ZipMember entry(file, allowance);
        XmlGuard& guard = entry.device();
        QXmlStreamReader xml(&guard);
        const auto where = [&](qint64 line) {
            const QString place = QStringLiteral("%1, riga %2").arg(member).arg(line);
            return m_sheet.isEmpty() ? place : QStringLiteral("foglio «%1», %2").arg(m_sheet, place);
        };
        try {
            body(xml);
        } catch (const Refusal& refusal) {
            fail(QStringLiteral("%1: %2").arg(where(xml.lineNumber()), refusal.text));
        }
        m_budget -= guard.bytesRead();
        if (!guard.problem().isEmpty())
            fail(QStringLiteral("%1: %2").arg(where(guard.line()), guard.problem()));
        if (!guard.sourceFailed() && !xml.hasError())
            return;
        QString place = member;
        if (xml.hasError())
            place += QStringLiteral(", riga %1, colonna %2").arg(xml.lineNumber()).arg(xml.columnNumber());
        if (m_sheet.isEmpty())
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(place));
        fail(QStringLiteral("contenuto danneggiato nel foglio «%1» (%2)").arg(m_sheet, place));
    }

    // A sheet being read. Row 1 is the header: later rows keep only the columns it fills, since no other
    // column of theirs is read, so a value far to the right costs one cell and not a row of empty ones.
    struct SheetInProgress
    {
        Sheet sheet;
        qint64 width = -1;    // columns of row 1, once known
        qint64 emptyRows = 0; // .ods: empty rows not stored yet, a sheet ends with ~a million of them

        qint64 columnsKept(qint64 row) const
        {
            return row == 0 || width < 0 ? limits::kMaxHeaderColumns : std::min(width, limits::kMaxHeaderColumns);
        }
    };

    // A value in row 1 past the columns a header may have.
    [[noreturn]] static void headerTooWide(qint64 column)
    {
        throw Refusal{QStringLiteral("la riga 1 ha un valore nella colonna %1, oltre le %2 colonne che "
                                     "un'intestazione può avere")
                          .arg(columnLetters(int(column)))
                          .arg(limits::kMaxHeaderColumns)};
    }

    // Counts cells about to be stored; refuses past the limit before they take the memory.
    void store(qint64 cells)
    {
        m_cells += cells;
        if (m_cells > limits::kMaxCells)
            tooManyCells();
    }

    void place(SheetInProgress& sheet, qint64 row, qint64 column, SheetCell&& cell)
    {
        if (column >= sheet.columnsKept(row)) {
            if (row == 0)
                headerTooWide(column);
            return;
        }
        std::vector<std::vector<SheetCell>>& rows = sheet.sheet.rows;
        if (qint64(rows.size()) <= row)
            rows.resize(size_t(row) + 1);
        std::vector<SheetCell>& cells = rows[size_t(row)];
        if (qint64(cells.size()) <= column) {
            store(column + 1 - qint64(cells.size()));
            cells.resize(size_t(column) + 1);
        }
        cells[size_t(column)] = std::move(cell);
    }

    // --- OpenDocument

    void readOds(std::vector<Sheet>& sheets)
    {
        if (has(QStringLiteral("mimetype")) && !readStart(QStringLiteral("mimetype"), 256)
                                                    .trimmed()
                                                    .startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            fail(QStringLiteral("è un documento OpenDocument ma non un foglio di calcolo"));
        if (has(QStringLiteral("META-INF/manifest.xml"))) {
            bool encrypted = false;
            parse(QStringLiteral("META-INF/manifest.xml"), [&](QXmlStreamReader& xml) {
                while (!encrypted && !xml.atEnd())
                    encrypted = xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"encryption-data";
            });
            if (encrypted)
                fail(QStringLiteral("il file è protetto da password: salvarlo di nuovo senza password"));
        }
        bool spreadsheet = false;
        parse(QStringLiteral("content.xml"), [&](QXmlStreamReader& xml) {
            while (!xml.hasError() && xml.readNext() != QXmlStreamReader::EndDocument) {
                if (!xml.isStartElement() || xml.namespaceUri() != kOfficeNs || xml.name() != u"spreadsheet")
                    continue;
                spreadsheet = true;
                qint64 tables = 0;
                while (xml.readNextStartElement()) {
                    if (xml.namespaceUri() != kTableNs || xml.name() != u"table") {
                        xml.skipCurrentElement();
                        continue;
                    }
                    if (++tables > limits::kMaxSheets)
                        throw Refusal{QStringLiteral("il file ha più di %1 fogli").arg(limits::kMaxSheets)};
                    const QString name = xml.attributes().value(kTableNs, QLatin1String("name")).toString();
                    if (wanted(name, sheets))
                        sheets.push_back(readOdsTable(xml, name));
                    else
                        xml.skipCurrentElement();
                }
            }
        });
        if (!spreadsheet)
            fail(QStringLiteral("è un documento OpenDocument ma non un foglio di calcolo"));
    }

    Sheet readOdsTable(QXmlStreamReader& xml, const QString& name)
    {
        SheetInProgress table;
        table.sheet.name = name;
        m_sheet = name;
        readOdsRows(xml, table);
        if (!xml.hasError())
            m_sheet.clear();
        return std::move(table.sheet);
    }

    // Row groups nest; the guard bounds how deep.
    void readOdsRows(QXmlStreamReader& xml, SheetInProgress& table)
    {
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (xml.namespaceUri() == kTableNs && name == u"table-row")
                readOdsRow(xml, table);
            else if (xml.namespaceUri() == kTableNs &&
                     (name == u"table-header-rows" || name == u"table-rows" || name == u"table-row-group"))
                readOdsRows(xml, table);
            else
                xml.skipCurrentElement();
        }
    }

    void readOdsRow(QXmlStreamReader& xml, SheetInProgress& table)
    {
        std::vector<std::vector<SheetCell>>& rows = table.sheet.rows;
        const qint64 index = qint64(rows.size()) + table.emptyRows;
        const qint64 repeat = repeatCount(xml, QLatin1String("number-rows-repeated"));
        const qint64 kept = table.columnsKept(index);
        std::vector<SheetCell> cells;
        qint64 emptyCells = 0;
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (xml.namespaceUri() != kTableNs || (name != u"table-cell" && name != u"covered-table-cell")) {
                xml.skipCurrentElement();
                continue;
            }
            const qint64 cellRepeat = repeatCount(xml, QLatin1String("number-columns-repeated"));
            const qint64 column = qint64(cells.size()) + emptyCells;
            if (column >= kept && index > 0) {
                // Past the columns read: a later row's cells are left out.
                xml.skipCurrentElement();
                continue;
            }
            SheetCell cell = readOdsCell(xml);
            if (cell.kind == SheetCell::Kind::Empty) {
                emptyCells += cellRepeat;
                continue;
            }
            if (index == 0 && column + cellRepeat > kept)
                headerTooWide(std::max(column, kept));
            const qint64 copies = std::min(cellRepeat, kept - column);
            cells.resize(cells.size() + size_t(emptyCells));
            emptyCells = 0;
            cells.insert(cells.end(), size_t(copies), cell);
        }
        if (table.width < 0)
            table.width = index == 0 ? qint64(cells.size()) : 0;
        if (cells.empty()) {
            table.emptyRows += repeat;
            return;
        }
        if (index + repeat > kMaxRows)
            throw Refusal{QStringLiteral("il foglio ha più di %1 righe").arg(kMaxRows)};
        store(qint64(cells.size()) * repeat);
        rows.resize(rows.size() + size_t(table.emptyRows));
        table.emptyRows = 0;
        for (qint64 copy = 1; copy < repeat; ++copy)
            rows.push_back(cells);
        rows.push_back(std::move(cells));
    }

    // --- Office Open XML

    static QString relationshipsOf(const QString& member)
    {
        const qsizetype slash = member.lastIndexOf(u'/');
        return member.left(slash + 1) + QStringLiteral("_rels/") + member.mid(slash + 1) + QStringLiteral(".rels");
    }

    // The relationships of `member` by id, their targets resolved to member names.
    QHash<QString, Relationship> readRelationships(const QString& member)
    {
        QHash<QString, Relationship> relationships;
        const QString file = relationshipsOf(member);
        const QString base = member.left(member.lastIndexOf(u'/') + 1);
        parse(file, [&](QXmlStreamReader& xml) {
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

    void readXlsx(std::vector<Sheet>& sheets)
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

        struct Listed
        {
            QString name;
            QString id;
        };
        std::vector<Listed> listed;
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
                        Listed sheet{xml.attributes().value(QLatin1String("name")).toString(), {}};
                        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                                sheet.id = attribute.value().toString();
                        }
                        listed.push_back(std::move(sheet));
                    }
                    xml.skipCurrentElement();
                }
            }
        });
        if (!isWorkbook)
            notWorkbook();

        const QHash<QString, Relationship> relationships = readRelationships(workbook);
        QStringList strings;
        for (const Relationship& relationship : relationships) {
            if (relationship.type.endsWith(u"/sharedStrings") && has(relationship.target))
                strings = readSharedStrings(relationship.target);
        }
        for (const Listed& entry : listed) {
            if (!wanted(entry.name, sheets))
                continue;
            const auto relationship = relationships.constFind(entry.id);
            if (relationship == relationships.cend())
                fail(QStringLiteral("manca il contenuto del foglio «%1»: il file è incompleto").arg(entry.name));
            SheetInProgress sheet;
            sheet.sheet.name = entry.name;
            // A chart sheet has no cells.
            if (!relationship->type.endsWith(u"/chartsheet"))
                readWorksheet(relationship->target, strings, sheet);
            sheets.push_back(std::move(sheet.sheet));
        }
    }

    QStringList readSharedStrings(const QString& member)
    {
        QStringList strings;
        qint64 characters = 0;
        parse(member, [&](QXmlStreamReader& xml) {
            if (!xml.readNextStartElement())
                return;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"si") {
                    if (strings.size() >= limits::kMaxSharedStrings)
                        throw Refusal{QStringLiteral("più di %1 testi condivisi").arg(limits::kMaxSharedStrings)};
                    strings.append(readRichText(xml));
                    characters += strings.back().size();
                    if (characters > limits::kMaxSharedStringText)
                        throw Refusal{QStringLiteral("i testi condivisi superano il limite di %1 caratteri")
                                          .arg(limits::kMaxSharedStringText)};
                } else
                    xml.skipCurrentElement();
            }
        });
        return strings;
    }

    void readWorksheet(const QString& member, const QStringList& strings, SheetInProgress& sheet)
    {
        m_sheet = sheet.sheet.name;
        parse(member, [&](QXmlStreamReader& xml) {
            if (!xml.readNextStartElement())
                return;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"sheetData")
                    readSheetData(xml, strings, sheet);
                else
                    xml.skipCurrentElement();
            }
        });
        m_sheet.clear();
    }

    // Rows and cells may leave out their r="…": they follow the one before. Rows come in ascending order, as
    // the format wants, so that row 1 is complete before the others.
    void readSheetData(QXmlStreamReader& xml, const QStringList& strings, SheetInProgress& sheet)
    {
        qint64 row = -1;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"row") {
                xml.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes rowAttributes = xml.attributes();
            const QStringView number = rowAttributes.value(QLatin1String("r"));
            const qint64 previous = row;
            if (number.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                row = number.toLongLong(&ok) - 1;
                if (!ok || row < 0 || row >= kMaxRows)
                    xml.raiseError(QStringLiteral("row"));
                else if (row <= previous)
                    throw Refusal{QStringLiteral("la riga %1 viene dopo la riga %2: le righe devono essere in ordine")
                                      .arg(row + 1)
                                      .arg(previous + 1)};
            }
            if (sheet.width < 0 && row > 0)
                sheet.width = sheet.sheet.rows.empty() ? 0 : qint64(sheet.sheet.rows.front().size());
            qint64 column = -1;
            while (xml.readNextStartElement()) {
                if (xml.name() != u"c") {
                    xml.skipCurrentElement();
                    continue;
                }
                const QXmlStreamAttributes attributes = xml.attributes();
                qint64 cellRow = row;
                if (attributes.value(QLatin1String("r")).isEmpty())
                    ++column;
                else if (!parseReference(attributes.value(QLatin1String("r")), column, cellRow))
                    xml.raiseError(QStringLiteral("r"));
                SheetCell cell = readXlsxCell(xml, attributes.value(QLatin1String("t")), strings);
                if (cell.kind != SheetCell::Kind::Empty && !xml.hasError())
                    place(sheet, cellRow, column, std::move(cell));
            }
        }
    }

    static SheetCell readXlsxCell(QXmlStreamReader& xml, QStringView type, const QStringList& strings)
    {
        QString value;
        bool hasValue = false;
        QString inlineText;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"v") {
                value = xml.readElementText();
                hasValue = true;
            } else if (xml.name() == u"is") {
                inlineText = readRichText(xml);
            } else {
                xml.skipCurrentElement(); // the formula, extensions
            }
        }
        if (type == u"inlineStr")
            return textCell(inlineText);
        if (!hasValue)
            return {};
        if (type == u"s") {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= strings.size()) {
                xml.raiseError(QStringLiteral("s"));
                return {};
            }
            return textCell(strings[index]);
        }
        if (type == u"str" || type == u"e" || type == u"d")
            return textCell(plainText(std::move(value)));
        if (type == u"b")
            return {SheetCell::Kind::Number,
                    value.trimmed() == u"1" || value.trimmed() == u"true" ? QStringLiteral("1") : QStringLiteral("0")};
        return numberCell(value);
    }

    QString m_path;
    QStringList m_only;
    QString m_sheet; // the sheet being read, for messages
    zip_t* m_zip = nullptr;
    qint64 m_cells = 0;
    qint64 m_budget = limits::kMaxWorkbookBytes; // uncompressed bytes still to be read
};

} // namespace

Workbook Workbook::read(const QString& path, const QStringList& only)
{
    Reader reader(path, only);
    Workbook workbook;
    reader.read(workbook.m_sheets);
    return workbook;
}

const Sheet* Workbook::sheet(QStringView name) const
{
    for (const Sheet& sheet : m_sheets) {
        if (name.compare(sheet.name, Qt::CaseInsensitive) == 0)
            return &sheet;
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
