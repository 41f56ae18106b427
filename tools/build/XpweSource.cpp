#include "tools/build/XpweSource.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "tools/build/Builder.h"
#include "tools/build/FieldRules.h"
#include "tools/build/readers/InputLimits.h"
#include "tools/build/PriceColumns.h"
#include "tools/build/readers/TableReader.h"
#include "tools/build/readers/XmlGuard.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace builder {

namespace {

const QString kRoot = QStringLiteral("PweDocumento");

// The chapter structure's items and the EPItem children naming them, in the order of the levels they give:
// super-chapter → section, chapter → chapter, sub-chapter → article.
constexpr int kDepths = 3;
const QString kStructureItems[kDepths] = {QStringLiteral("DGSuperCapitoliItem"), QStringLiteral("DGCapitoliItem"),
                                          QStringLiteral("DGSubCapitoliItem")};
const QString kStructureIds[kDepths] = {QStringLiteral("IDSpCap"), QStringLiteral("IDCap"), QStringLiteral("IDSbCap")};

struct Level
{
    QString text;
    std::optional<QString> note;
};

// One EPItem: the children this reader uses, by name, wherever they stand.
struct Item
{
    qint64 line = 0;
    qint64 column = 0;
    QString tariffa, desBreve, desEstesa, unMisura;
    std::optional<QString> prezzo, incMdo; // absent or empty: Null
    QString ids[kDepths];                  // absent or 0: none
    qint64 innerItemLine = 0;              // an EPItem written inside this one
    QStringList segments() const { return tariffa.split(u'.'); }
    // A Tariffa of one to three segments and no price names a section, chapter or article.
    bool isHeading() const
    {
        const qsizetype parts = segments().size();
        return !tariffa.isEmpty() && parts < 4 &&
               (!prezzo || rules::parseDecimal(*prezzo, u'.') == 0.0 || rules::parseDecimal(*prezzo, u',') == 0.0);
    }
};

// What the first reading keeps, small beside the items: the structure, the headings, the year.
struct Outline
{
    QHash<QString, Level> structure[kDepths];  // by ID
    QHash<QString, Level> headings;            // by code: "01", "01.A01", "01.A01.A01"
    QHash<QString, QString> firstIds[kDepths]; // by code: the structure ID the first item of that code names
    std::optional<QString> year;
    qint64 yearLine = 0;
    qint64 keptText = 0; // characters of the texts above
};

QString prefix(const QStringList& segments, int parts)
{
    return segments.mid(0, parts).join(u'.');
}

std::optional<QString> optionalValue(const QString& text)
{
    const QString value = text.trimmed();
    return value.isEmpty() ? std::nullopt : std::optional<QString>(value);
}

// The file through an XmlGuard into a QXmlStreamReader, element by element, with the names of the open ones.
class XpweFile
{
public:
    explicit XpweFile(const QString& path)
        : m_path(path), m_file(path),
          m_guard([this](char* data, qint64 size) { return m_file.read(data, size); }, limits::kMaxPartBytes)
    {
        const QFileInfo info(path);
        if (!info.exists())
            throw BuildError(QStringLiteral("File inesistente: «%1»").arg(path));
        // A device or a pipe never ends, or blocks, and could not be read twice.
        if (!info.isFile())
            throw BuildError(QStringLiteral("«%1» non è un file normale").arg(path));
        if (!m_file.open(QIODevice::ReadOnly))
            throw BuildError(QStringLiteral("Impossibile aprire «%1»: %2").arg(path, m_file.errorString()));
        m_size = m_file.size();
        m_xml.setDevice(&m_guard);
        if (!nextElement())
            fail();
        if (m_xml.name() != kRoot)
            throw BuildError(QStringLiteral("«%1», riga %2: l'elemento principale è <%3>, non <%4>: non è un file XPWE")
                                 .arg(m_path, QString::number(m_xml.lineNumber()), m_xml.name().toString(), kRoot));
    }

    // Moves to the next start element; false at the end of the document.
    bool nextElement()
    {
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                m_open << m_xml.name().toString();
                return true;
            case QXmlStreamReader::EndElement:
                m_open.removeLast();
                break;
            case QXmlStreamReader::EndDocument:
                return false;
            case QXmlStreamReader::Invalid:
                fail();
            default:
                break;
            }
        }
    }

    QStringView name() const { return m_open.last(); }
    QStringView parent() const { return m_open.size() > 1 ? QStringView(m_open[m_open.size() - 2]) : QStringView(); }
    qint64 line() const { return m_xml.lineNumber(); }
    qint64 column() const { return m_xml.columnNumber(); }
    qint64 done() const { return m_guard.bytesRead(); }
    qint64 size() const { return m_size; }

    // The texts of the current element's children by name, the first of each (a child's own children's texts
    // included); the element is read to its end. A text past the length of a field is refused. `innerItemLine`
    // is set to the line of a child EPItem.
    QHash<QString, QString> children(qint64* innerItemLine = nullptr)
    {
        QHash<QString, QString> texts;
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement: {
                const QString name = m_xml.name().toString();
                const qint64 line = m_xml.lineNumber();
                if (innerItemLine && !*innerItemLine && name == u"EPItem")
                    *innerItemLine = line;
                const std::optional<QString> text = elementText(m_xml);
                if (!text && m_xml.hasError())
                    fail();
                if (!text)
                    throw BuildError(QStringLiteral("«%1», riga %2: il testo di <%3> supera il limite di %4")
                                         .arg(m_path, QString::number(line), cutForMessage(name),
                                              limits::charactersText(limits::kMaxFieldText)));
                if (!texts.contains(name))
                    texts.insert(name, *text);
                break;
            }
            case QXmlStreamReader::EndElement:
                m_open.removeLast();
                return texts;
            case QXmlStreamReader::Invalid:
                fail();
            default:
                break;
            }
        }
    }

    QString attribute(const QString& name) const { return m_xml.attributes().value(name).toString(); }

    Item item()
    {
        Item item;
        item.line = line();
        item.column = column();
        const QHash<QString, QString> texts = children(&item.innerItemLine);
        item.tariffa = texts.value(QStringLiteral("Tariffa"));
        item.desBreve = texts.value(QStringLiteral("DesBreve"));
        item.desEstesa = texts.value(QStringLiteral("DesEstesa"));
        item.unMisura = texts.value(QStringLiteral("UnMisura"));
        item.prezzo = optionalValue(texts.value(QStringLiteral("Prezzo1")));
        item.incMdo = optionalValue(texts.value(QStringLiteral("IncMDO")));
        for (int depth = 0; depth < kDepths; ++depth) {
            const QString id = texts.value(kStructureIds[depth]).trimmed();
            item.ids[depth] = id == u"0" ? QString() : id;
        }
        return item;
    }

private:
    [[noreturn]] void fail() const
    {
        if (!m_guard.problem().isEmpty())
            throw BuildError(
                QStringLiteral("«%1», riga %2: %3").arg(m_path, QString::number(m_guard.line()), m_guard.problem()));
        if (m_file.error() != QFileDevice::NoError)
            throw BuildError(QStringLiteral("Lettura di «%1» non riuscita: %2").arg(m_path, m_file.errorString()));
        const QString where = QStringLiteral("riga %1, colonna %2").arg(m_xml.lineNumber()).arg(m_xml.columnNumber());
        if (m_open.isEmpty())
            throw BuildError(QStringLiteral("«%1» non è un file XML (%2: %3)").arg(m_path, where, m_xml.errorString()));
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            throw BuildError(QStringLiteral("«%1», %2: il file finisce prima della chiusura di <%3>: è troncato")
                                 .arg(m_path, where, m_open.last()));
        throw BuildError(QStringLiteral("«%1», %2: XML non valido (%3)").arg(m_path, where, m_xml.errorString()));
    }

    QString m_path;
    QFile m_file;
    XmlGuard m_guard;
    QXmlStreamReader m_xml;
    QStringList m_open;
    qint64 m_size = 0;
};

bool isItem(const XpweFile& file)
{
    return file.name() == u"EPItem" && file.parent() == u"PweElencoPrezzi";
}

// The first reading: the whole file is checked as XML, and what the items refer to is kept.
Outline readOutline(const QString& path)
{
    Outline outline;
    XpweFile file(path);
    const auto keep = [&](qsizetype characters) {
        outline.keptText += characters;
        if (outline.keptText > limits::kMaxKeptText)
            throw BuildError(
                QStringLiteral("«%1», riga %2: i titoli dei livelli e la struttura dei capitoli superano "
                               "insieme il limite di %3")
                    .arg(path, QString::number(file.line()), limits::charactersText(limits::kMaxKeptText)));
    };
    while (file.nextElement()) {
        if (isItem(file)) {
            const Item item = file.item();
            const QStringList segments = item.segments();
            if (segments.size() == 4) {
                for (int depth = 0; depth < kDepths; ++depth) {
                    const QString code = prefix(segments, depth + 1);
                    if (!item.ids[depth].isEmpty() && !outline.firstIds[depth].contains(code)) {
                        keep(code.size() + item.ids[depth].size());
                        outline.firstIds[depth].insert(code, item.ids[depth]);
                    }
                }
            } else if (item.isHeading() && !outline.headings.contains(item.tariffa)) {
                const Level heading{item.desEstesa.isEmpty() ? item.desBreve : item.desEstesa, std::nullopt};
                keep(item.tariffa.size() + heading.text.size());
                outline.headings.insert(item.tariffa, heading);
            }
            continue;
        }
        if (file.name() == u"PweDGDatiGenerali") {
            const qint64 line = file.line();
            const QHash<QString, QString> texts = file.children();
            // The year: the element Anno, else a year standing as a word in the title (Oggetto).
            std::optional<QString> year = optionalValue(texts.value(QStringLiteral("Anno")));
            if (!year) {
                static const QRegularExpression inTitle(QStringLiteral("\\b(1[89]|2\\d)\\d\\d\\b"));
                const QRegularExpressionMatch match = inTitle.match(texts.value(QStringLiteral("Oggetto")));
                if (match.hasMatch())
                    year = match.captured();
            }
            if (year && !outline.year) {
                outline.year = year;
                outline.yearLine = line;
            }
            continue;
        }
        for (int depth = 0; depth < kDepths; ++depth) {
            if (file.name() != kStructureItems[depth])
                continue;
            QString id = file.attribute(QStringLiteral("ID")).trimmed();
            const QHash<QString, QString> texts = file.children();
            if (id.isEmpty())
                id = texts.value(QStringLiteral("ID")).trimmed();
            const QString brief = texts.value(QStringLiteral("DesSintetica")).trimmed();
            const QString whole = texts.value(QStringLiteral("DesEstesa")).trimmed();
            Level level{brief.isEmpty() ? whole : brief, std::nullopt};
            if (!whole.isEmpty() && whole != level.text)
                level.note = whole;
            if (!id.isEmpty() && !outline.structure[depth].contains(id)) {
                keep(id.size() + level.text.size() + (level.note ? level.note->size() : 0));
                outline.structure[depth].insert(id, level);
            }
        }
    }
    return outline;
}

// The columns of the prices table, and the name messages give each: the element it comes from where there is one.
struct ColumnName
{
    std::string_view column;
    std::string_view shown;
};
constexpr ColumnName kColumns[] = {
    {"sequenza", "sequenza"},
    {"codice_totale", "Tariffa"},
    {"codice_sezione", "codice_sezione"},
    {"sezione", "sezione"},
    {"note_sezione", "note_sezione"},
    {"codice_capitolo", "codice_capitolo"},
    {"codice_articolo", "codice_articolo"},
    {"capitolo", "capitolo"},
    {"note_capitolo", "note_capitolo"},
    {"seq_capitolo", "seq_capitolo"},
    {"codice_subarticolo", "codice_subarticolo"},
    {"articolo", "articolo"},
    {"note_articolo", "note_articolo"},
    {"note_subarticolo", "note_subarticolo"},
    {"subarticolo", "DesEstesa"},
    {"simbolo", "UnMisura"},
    {"prezzo_lordo", "Prezzo1"},
    {"incidenza_manodopera", "IncMDO"},
    {"somma_manodopera", "somma_manodopera"},
};
constexpr int kColumnCount = int(std::size(kColumns));
static_assert(kColumnCount == kPriceColumnCount, "one shown name for each column of the prices table");

std::optional<double> number(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    if (const std::optional<double> value = rules::parseDecimal(*text, u'.'))
        return value;
    return rules::parseDecimal(*text, u',');
}

// A description that repeats its section, chapter and article on its first lines, as a whole description is
// written, keeps only what follows them.
QString ownText(const Item& item, std::initializer_list<const QString*> levels)
{
    const QString& text = item.desEstesa.isEmpty() ? item.desBreve : item.desEstesa;
    QStringView rest = text;
    for (const QString* level : levels) {
        const QString line = level->trimmed();
        if (line.isEmpty())
            continue;
        if (!rest.startsWith(line) || rest.mid(line.size(), 1) != u"\n")
            break;
        rest = rest.mid(line.size() + 1);
    }
    return rest.toString();
}

// The items of PweElencoPrezzi as the prices table, one row per item of four segments, read the second time.
class XpwePrices : public TableReader
{
public:
    XpwePrices(const QString& path, std::shared_ptr<const Outline> outline)
        : m_name(QFileInfo(path).fileName()), m_outline(std::move(outline)), m_file(path)
    {
    }

    void readHeader(std::span<const std::string_view> columns) override
    {
        m_shown.clear();
        m_at.clear();
        for (const std::string_view column : columns) {
            const auto found = std::find_if(std::begin(kColumns), std::end(kColumns),
                                            [&](const ColumnName& name) { return name.column == column; });
            if (found == std::end(kColumns))
                throw BuildError(QStringLiteral("%1: colonna sconosciuta %2").arg(table(), QString::fromUtf8(column)));
            m_shown.push_back(found->shown);
            m_at.push_back(int(found - std::begin(kColumns)));
        }
        m_columns = m_shown;
    }

    bool next() override
    {
        if (!m_innerItem.isEmpty())
            throw FieldError(std::exchange(m_innerItem, QString()));
        while (m_file.nextElement()) {
            if (!isItem(m_file))
                continue;
            m_item = m_file.item();
            // Reported after the item's own row, which is checked as every other.
            if (m_item.innerItemLine)
                m_innerItem = row() + QStringLiteral(": contiene un altro EPItem (riga %1), che non diventa una riga: "
                                                     "ogni voce va scritta direttamente in PweElencoPrezzi")
                                          .arg(m_item.innerItemLine);
            const QStringList segments = m_item.segments();
            if (m_item.tariffa.isEmpty())
                throw FieldError(row() + QStringLiteral(": manca la Tariffa, il codice della voce"));
            if (segments.size() == 4) {
                fill(segments);
                return true;
            }
            if (!m_item.isHeading())
                throw FieldError(
                    row() + QStringLiteral(": la Tariffa %1 ha %2 parti separate da punti: una voce con prezzo ne ha "
                                           "quattro, sezione.capitolo.articolo.subarticolo (come 01.A01.A01.010); "
                                           "senza prezzo, da una a tre parti, è il titolo di una sezione, un capitolo "
                                           "o un articolo")
                                .arg(shownValue(m_item.tariffa), QString::number(segments.size())));
            if (!m_innerItem.isEmpty())
                throw FieldError(std::exchange(m_innerItem, QString()));
        }
        return false;
    }

    Field field(int column) const override { return m_fields[size_t(m_at[size_t(column)])]; }

    QString row() const override
    {
        const QString code = m_item.tariffa.isEmpty() ? QStringLiteral("EPItem senza Tariffa")
                                                      : QStringLiteral("Tariffa %1").arg(cutForMessage(m_item.tariffa));
        return QStringLiteral("«%1», riga %2, colonna %3 (%4)")
            .arg(m_name, QString::number(m_item.line), QString::number(m_item.column), code);
    }
    qint64 line() const override { return m_item.line; }
    QString table() const override { return QStringLiteral("«%1», elenco prezzi (PweElencoPrezzi)").arg(m_name); }
    qint64 done() const override { return m_file.done(); }
    qint64 size() const override { return m_file.size(); }
    // As the file writes them: "12.50" or "12,50".
    DecimalSeparator decimalSeparator() const override { return DecimalSeparator::Either; }

private:
    // The text of a level: the structure the item names, else the heading of its code, else the structure the
    // first item of its code names.
    Level level(int depth, const QString& code) const
    {
        const QString& id = m_item.ids[depth];
        if (!id.isEmpty()) {
            const auto found = m_outline->structure[depth].constFind(id);
            if (found == m_outline->structure[depth].constEnd())
                throw FieldError(row() + QStringLiteral(": %1 %2 non corrisponde ad alcun %3 di PweDGCapitoliCategorie")
                                             .arg(kStructureIds[depth], shownValue(id), kStructureItems[depth]));
            return *found;
        }
        if (const auto heading = m_outline->headings.constFind(code); heading != m_outline->headings.constEnd())
            return *heading;
        if (const auto first = m_outline->firstIds[depth].constFind(code);
            first != m_outline->firstIds[depth].constEnd())
            return m_outline->structure[depth].value(*first);
        return {};
    }

    void fill(const QStringList& segments)
    {
        const Level section = level(0, prefix(segments, 1));
        const Level chapter = level(1, prefix(segments, 2));
        const Level article = level(2, prefix(segments, 3));
        const auto text = [](const QString& value) { return Field{Field::Kind::Text, value}; };
        const auto optional = [&](const std::optional<QString>& value) { return value ? text(*value) : Field{}; };
        const auto set = [&](PriceColumn column, Field field) { m_fields[size_t(column)] = std::move(field); };
        // Chapters are listed in the order their first items come.
        const QString chapterCode = prefix(segments, 2);
        // A code that is no chapter's is refused with its row: it is not kept.
        const bool chapterCodeValid = !rules::codeProblem(segments[0], 2) && !rules::codeProblem(segments[1], 3);
        if (chapterCodeValid && !m_chapterOrder.contains(chapterCode))
            m_chapterOrder.insert(chapterCode, m_chapterOrder.size() + 1);

        set(Sequenza, text(QString::number(++m_rows)));
        set(CodiceTotale, text(m_item.tariffa));
        set(CodiceSezione, text(segments[0]));
        set(CodiceCapitolo, text(segments[1]));
        set(CodiceArticolo, text(segments[2]));
        set(CodiceSubarticolo, text(segments[3]));
        set(Sezione, text(section.text));
        set(NoteSezione, optional(section.note));
        set(Capitolo, text(chapter.text));
        set(NoteCapitolo, optional(chapter.note));
        set(SeqCapitolo, text(QString::number(m_chapterOrder.value(chapterCode, m_chapterOrder.size() + 1))));
        set(Articolo, text(article.text));
        set(NoteArticolo, optional(article.note));
        set(NoteSubarticolo, {});
        set(Subarticolo, text(ownText(m_item, {&section.text, &chapter.text, &article.text})));
        set(Simbolo, text(m_item.unMisura));
        set(PrezzoLordo, optional(m_item.prezzo));
        set(IncidenzaManodopera, optional(m_item.incMdo));
        // The labour amount to the cent, as the other inputs hold it.
        const std::optional<double> amount = rules::labourAmount(number(m_item.prezzo), number(m_item.incMdo));
        set(SommaManodopera, amount ? text(QString::number(*amount, 'f', 2)) : Field{});
    }

    QString m_name;
    std::shared_ptr<const Outline> m_outline;
    XpweFile m_file;
    std::vector<std::string_view> m_shown;
    std::vector<int> m_at; // column of the table -> Column
    Item m_item;
    std::array<Field, kColumnCount> m_fields;
    QHash<QString, qint64> m_chapterOrder;
    qint64 m_rows = 0;
    QString m_innerItem; // the problem of the last item's inner EPItem, reported at the next call
};

// The year as a table of one row: --anno, else what the file says.
class XpweYear : public TableReader
{
public:
    XpweYear(const QString& path, std::optional<qint64> option, const Outline& outline)
        : m_name(QFileInfo(path).fileName()), m_option(option), m_year(outline.year), m_line(outline.yearLine)
    {
    }

    void readHeader(std::span<const std::string_view> columns) override
    {
        m_columns = columns;
        if (!m_option && !m_year)
            throw BuildError(QStringLiteral("«%1»: il file non dice l'anno del prezzario (né un elemento Anno né un "
                                            "anno nell'Oggetto di PweDGDatiGenerali): indicarlo con --anno AAAA")
                                 .arg(m_name));
    }
    bool next() override { return m_read++ == 0; }
    Field field(int) const override { return {Field::Kind::Text, m_option ? QString::number(*m_option) : *m_year}; }
    QString row() const override
    {
        return m_option ? QStringLiteral("opzione --anno")
                        : QStringLiteral("«%1», riga %2 (PweDGDatiGenerali)").arg(m_name).arg(m_line);
    }
    qint64 line() const override { return m_line; }
    QString table() const override { return QStringLiteral("«%1», anno del prezzario").arg(m_name); }
    qint64 done() const override { return m_read; }
    qint64 size() const override { return 1; }
    DecimalSeparator decimalSeparator() const override { return DecimalSeparator::Point; }

private:
    QString m_name;
    std::optional<qint64> m_option;
    std::optional<QString> m_year;
    qint64 m_line;
    int m_read = 0;
};

} // namespace

ListSource xpweSource(const QString& path, std::optional<qint64> year)
{
    const auto outline = std::make_shared<const Outline>(readOutline(path));
    return ListSource::readers(path, [path, outline, year](ListSource::Table table) -> std::unique_ptr<TableReader> {
        switch (table) {
        case ListSource::Table::Prices:
            return std::make_unique<XpwePrices>(path, outline);
        case ListSource::Table::Year:
            return std::make_unique<XpweYear>(path, year, *outline);
        case ListSource::Table::Premesse:
        case ListSource::Table::Manual:
            break;
        }
        return nullptr;
    });
}

} // namespace builder
