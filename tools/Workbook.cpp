#include "Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QUrl>
#include <QXmlStreamReader>

#include "Builder.h"

#include <zip.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace builder {

namespace {

// The largest sheet either format allows.
constexpr qint64 kMaxRows = 1048576;
constexpr qint64 kMaxColumns = 16384;
// A repeated row or cell of an .ods file unfolds into copies: a value filled down a whole sheet is refused
// instead of filling the memory.
constexpr qint64 kMaxCells = 20'000'000;
constexpr int kMaxSpaces = 100'000;

const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kDrawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kCalcExtNs = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

// One member of the zip, inflated as the XML reader asks for it: a large sheet is never held whole.
class ZipEntry : public QIODevice
{
public:
    explicit ZipEntry(zip_file_t* file) : m_file(file) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    ~ZipEntry() override { zip_fclose(m_file); }
    ZipEntry(const ZipEntry&) = delete;
    ZipEntry& operator=(const ZipEntry&) = delete;

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_ended; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_ended)
            return 0;
        const zip_int64_t size = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (size <= 0) {
            m_ended = true;
            m_failed = size < 0;
        }
        return size < 0 ? -1 : size;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file;
    bool m_ended = false;
    bool m_failed = false;
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
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t") {
            text += xml.readElementText();
        } else if (xml.name() == u"r") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"t")
                    text += xml.readElementText();
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

// The character content of an OpenDocument paragraph: blanks in the XML collapse to one and vanish at the
// ends, <text:s/>, <text:tab/> and <text:line-break/> stand for the real ones, notes and drawings are not text.
QString readParagraph(QXmlStreamReader& xml)
{
    QString text;
    bool blank = false;
    const auto put = [&](QStringView part) {
        if (blank)
            text += u' ';
        blank = false;
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
                const int spaces = count.isEmpty() ? 1 : count.toInt();
                if (spaces < 1 || spaces > kMaxSpaces) {
                    xml.raiseError(QStringLiteral("text:c"));
                    break;
                }
                put(QString(spaces, u' '));
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
                return text;
            break;
        case QXmlStreamReader::Characters: {
            const QStringView characters = xml.text();
            for (qsizetype start = 0, end = 0; start < characters.size(); start = end) {
                if (isBlank(characters[start])) {
                    blank = !text.isEmpty();
                    end = start + 1;
                    continue;
                }
                end = start + 1;
                while (end < characters.size() && !isBlank(characters[end]))
                    ++end;
                put(characters.mid(start, end - start));
            }
            break;
        }
        default:
            break;
        }
    }
    return text;
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
            shown += readParagraph(xml);
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
    explicit Reader(const QString& path) : m_path(path)
    {
        QFile file(path);
        if (!file.exists())
            fail(QStringLiteral("il file non esiste"));
        if (QFileInfo(path).isDir())
            fail(QStringLiteral("è una cartella, non un file"));
        if (!file.open(QIODevice::ReadOnly))
            fail(file.errorString());
        const bool zipped = file.read(2) == "PK";
        file.close();
        int code = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (!m_zip && zipped)
            fail(QStringLiteral("il file è danneggiato o incompleto"));
        if (!m_zip)
            notWorkbook();
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

    [[noreturn]] void tooLarge(const Sheet& sheet) const
    {
        fail(QStringLiteral("il foglio «%1» ha più righe, colonne o celle piene di quante se ne possano leggere")
                 .arg(sheet.name));
    }

    bool has(const QString& member) const
    {
        return zip_name_locate(m_zip, member.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    zip_file_t* open(const QString& member) const
    {
        zip_file_t* file = zip_fopen(m_zip, member.toUtf8().constData(), ZIP_FL_NOCASE);
        if (file)
            return file;
        switch (zip_error_code_zip(zip_get_error(m_zip))) {
        case ZIP_ER_NOENT:
            fail(QStringLiteral("manca la parte «%1»: il file è incompleto").arg(member));
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            fail(QStringLiteral("il file è protetto da password: salvarlo di nuovo senza password"));
        default:
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(member));
        }
    }

    QByteArray readAll(const QString& member) const
    {
        ZipEntry entry(open(member));
        const QByteArray data = entry.readAll();
        if (entry.failed())
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(member));
        return data;
    }

    // Runs `body` over the XML of a member; messages name the sheet being read, if any.
    void parse(const QString& member, const std::function<void(QXmlStreamReader&)>& body)
    {
        ZipEntry entry(open(member));
        QXmlStreamReader xml(&entry);
        body(xml);
        if (!entry.failed() && !xml.hasError())
            return;
        QString where = member;
        if (xml.hasError())
            where += QStringLiteral(", riga %1, colonna %2").arg(xml.lineNumber()).arg(xml.columnNumber());
        if (m_sheet.isEmpty())
            fail(QStringLiteral("contenuto danneggiato (%1)").arg(where));
        fail(QStringLiteral("contenuto danneggiato nel foglio «%1» (%2)").arg(m_sheet, where));
    }

    void place(Sheet& sheet, qint64 row, qint64 column, SheetCell&& cell)
    {
        if (++m_cells > kMaxCells || row >= kMaxRows || column >= kMaxColumns)
            tooLarge(sheet);
        if (qint64(sheet.rows.size()) <= row)
            sheet.rows.resize(size_t(row) + 1);
        std::vector<SheetCell>& cells = sheet.rows[size_t(row)];
        if (qint64(cells.size()) <= column)
            cells.resize(size_t(column) + 1);
        cells[size_t(column)] = std::move(cell);
    }

    // --- OpenDocument

    void readOds(std::vector<Sheet>& sheets)
    {
        if (has(QStringLiteral("mimetype")) &&
            !readAll(QStringLiteral("mimetype")).trimmed().startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            fail(QStringLiteral("è un documento OpenDocument ma non un foglio di calcolo"));
        if (has(QStringLiteral("META-INF/manifest.xml")) &&
            readAll(QStringLiteral("META-INF/manifest.xml")).contains("encryption-data"))
            fail(QStringLiteral("il file è protetto da password: salvarlo di nuovo senza password"));
        bool spreadsheet = false;
        parse(QStringLiteral("content.xml"), [&](QXmlStreamReader& xml) {
            while (!xml.hasError() && xml.readNext() != QXmlStreamReader::EndDocument) {
                if (!xml.isStartElement() || xml.namespaceUri() != kOfficeNs || xml.name() != u"spreadsheet")
                    continue;
                spreadsheet = true;
                while (xml.readNextStartElement()) {
                    if (xml.namespaceUri() == kTableNs && xml.name() == u"table")
                        sheets.push_back(readOdsTable(xml));
                    else
                        xml.skipCurrentElement();
                }
            }
        });
        if (!spreadsheet)
            fail(QStringLiteral("è un documento OpenDocument ma non un foglio di calcolo"));
    }

    struct OdsTable
    {
        Sheet sheet;
        qint64 emptyRows = 0; // empty rows not stored yet: a sheet ends with ~a million of them
    };

    Sheet readOdsTable(QXmlStreamReader& xml)
    {
        OdsTable table;
        table.sheet.name = xml.attributes().value(kTableNs, QLatin1String("name")).toString();
        m_sheet = table.sheet.name;
        readOdsRows(xml, table);
        if (!xml.hasError())
            m_sheet.clear();
        return std::move(table.sheet);
    }

    void readOdsRows(QXmlStreamReader& xml, OdsTable& table)
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

    void readOdsRow(QXmlStreamReader& xml, OdsTable& table)
    {
        const qint64 repeat = repeatCount(xml, QLatin1String("number-rows-repeated"));
        std::vector<SheetCell> cells;
        qint64 emptyCells = 0;
        qint64 filled = 0;
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (xml.namespaceUri() != kTableNs || (name != u"table-cell" && name != u"covered-table-cell")) {
                xml.skipCurrentElement();
                continue;
            }
            const qint64 cellRepeat = repeatCount(xml, QLatin1String("number-columns-repeated"));
            SheetCell cell = readOdsCell(xml);
            if (cell.kind == SheetCell::Kind::Empty) {
                emptyCells += cellRepeat;
                continue;
            }
            if (qint64(cells.size()) + emptyCells + cellRepeat > kMaxColumns)
                tooLarge(table.sheet);
            cells.resize(cells.size() + size_t(emptyCells));
            emptyCells = 0;
            cells.insert(cells.end(), size_t(cellRepeat), cell);
            filled += cellRepeat;
        }
        if (cells.empty()) {
            table.emptyRows += repeat;
            return;
        }
        std::vector<std::vector<SheetCell>>& rows = table.sheet.rows;
        m_cells += filled * repeat;
        if (qint64(rows.size()) + table.emptyRows + repeat > kMaxRows || m_cells > kMaxCells)
            tooLarge(table.sheet);
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
            const auto relationship = relationships.constFind(entry.id);
            if (relationship == relationships.cend())
                fail(QStringLiteral("manca il contenuto del foglio «%1»: il file è incompleto").arg(entry.name));
            Sheet sheet{entry.name, {}};
            // A chart sheet has no cells.
            if (!relationship->type.endsWith(u"/chartsheet"))
                readWorksheet(relationship->target, strings, sheet);
            sheets.push_back(std::move(sheet));
        }
    }

    QStringList readSharedStrings(const QString& member)
    {
        QStringList strings;
        parse(member, [&](QXmlStreamReader& xml) {
            if (!xml.readNextStartElement())
                return;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"si")
                    strings.append(readRichText(xml));
                else
                    xml.skipCurrentElement();
            }
        });
        return strings;
    }

    void readWorksheet(const QString& member, const QStringList& strings, Sheet& sheet)
    {
        m_sheet = sheet.name;
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

    // Rows and cells may leave out their r="…": they follow the one before.
    void readSheetData(QXmlStreamReader& xml, const QStringList& strings, Sheet& sheet)
    {
        qint64 row = -1;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"row") {
                xml.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes rowAttributes = xml.attributes();
            const QStringView number = rowAttributes.value(QLatin1String("r"));
            if (number.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                row = number.toLongLong(&ok) - 1;
                if (!ok || row < 0 || row >= kMaxRows)
                    xml.raiseError(QStringLiteral("row"));
            }
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
    QString m_sheet; // the sheet being read, for messages
    zip_t* m_zip = nullptr;
    qint64 m_cells = 0;
};

} // namespace

Workbook Workbook::read(const QString& path)
{
    Reader reader(path);
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
