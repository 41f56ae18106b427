#include "tools/build/readers/OdsReader.h"

#include <QXmlStreamReader>

#include "tools/build/readers/InputLimits.h"
#include "tools/build/readers/SheetCells.h"
#include "tools/build/readers/Zip.h"

#include <algorithm>
#include <utility>

namespace builder::workbook {

namespace {

const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kDrawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kCalcExtNs = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

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

} // namespace

void Archive::checkOds()
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

namespace {

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

QStringList odsSheetNames(std::shared_ptr<Archive> archive)
{
    QStringList names;
    OdsRows tables(std::move(archive));
    tables.find({}, &names);
    return names;
}

std::unique_ptr<SheetRows> odsRows(std::shared_ptr<Archive> archive, const std::function<bool(const QString&)>& wanted)
{
    auto table = std::make_unique<OdsRows>(std::move(archive));
    if (!table->find(wanted))
        return nullptr;
    return table;
}

} // namespace builder::workbook
