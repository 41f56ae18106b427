#include "tools/build/readers/XlsxReader.h"

#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>

#include "tools/build/readers/InputLimits.h"
#include "tools/build/readers/SheetCells.h"
#include "tools/build/readers/Zip.h"

#include <algorithm>
#include <utility>

namespace builder::workbook {

struct Relationship
{
    QString type;
    QString target; // the member's name in the zip
};

namespace {

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

} // namespace

const QStringList& Archive::sharedStrings()
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
                throw Refusal{
                    QStringLiteral("i testi condivisi superano il limite di %1 caratteri").arg(limits::kMaxKeptText)};
        }
    });
    return m_strings;
}

QString Archive::relationshipsOf(const QString& member)
{
    const qsizetype slash = member.lastIndexOf(u'/');
    return member.left(slash + 1) + QStringLiteral("_rels/") + member.mid(slash + 1) + QStringLiteral(".rels");
}

QString Archive::cleanPath(const QString& path)
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

QHash<QString, Relationship> Archive::readRelationships(const QString& member)
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

void Archive::listXlsx()
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

} // namespace

std::unique_ptr<SheetRows> xlsxRows(std::shared_ptr<Archive> archive, const QString& name, QString member)
{
    return std::make_unique<XlsxRows>(std::move(archive), name, std::move(member));
}

} // namespace builder::workbook
