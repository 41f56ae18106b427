#include "tools/build/SixSource.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QXmlStreamReader>

#include "tools/build/FieldRules.h"
#include "tools/build/readers/InputLimits.h"
#include "tools/build/PriceColumns.h"
#include "tools/build/readers/TableReader.h"
#include "tools/build/readers/XmlGuard.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

namespace builder {

namespace {

// A product as the file describes it, in the chosen language and price list.
struct Product
{
    QString code;
    qint64 line = 0;
    qint64 column = 0;
    std::optional<QString> unit; // unitaDiMisuraId
    bool described = false;      // a description in the chosen language (or one with no language)
    bool exactLanguage = false;
    QString brief;
    QString extended;
    QStringList languages;
    bool priced = false;
    QString price;
    QStringList priceLists; // the lists its prices name
    std::optional<QString> labour;
};

// The text of a level and its note: @breve (or @estesa when there is no short one), and @estesa as the note
// when it says more.
QString levelText(const Product& product)
{
    return product.brief.isEmpty() ? product.extended : product.brief;
}

std::optional<QString> levelNote(const Product& product)
{
    if (product.brief.isEmpty() || product.extended.isEmpty() || product.extended == product.brief)
        return std::nullopt;
    return product.extended;
}

} // namespace

struct SixHeading
{
    QString text;
    std::optional<QString> note;
    qint64 line = 0;
    bool used = false;
};

struct SixPriceList
{
    QString id;
    QString code; // lqtId, the list's own name for itself
    QString description;
    QString year;
    qint64 line = 0;
};

// The price lists a refusal names; it says how many more there are.
constexpr qsizetype kShownLists = 100;

struct SixSource::State
{
    QString path;
    SixOptions options;

    bool scanned = false;
    std::optional<BuildError> failure;
    qint64 size = 0;
    QHash<QString, QString> units;
    std::vector<SixPriceList> shownLists; // the first kShownLists
    qint64 listCount = 0;
    QSet<QString> listIds;
    QString listYear; // of the first chosen list that gives one
    qint64 listYearLine = 0;
    QString fileYear;
    qint64 fileYearLine = 0;
    QString fileYearWhere;
    QHash<QString, SixHeading> headings;
    std::deque<QString> problems; // found by the first pass, handed on by the prices table
    qint64 products = 0;
    qint64 keptText = 0; // characters of the texts the first pass keeps

    qint64 rows = 0;
    std::vector<LeftOutProduct> leftOut;

    QString fileName() const { return QFileInfo(path).fileName(); }
    bool chosenList(QStringView id) const { return options.quotation.isEmpty() || id == options.quotation; }
    void scan();
    void keep(qsizetype characters, qint64 line);
};

namespace {

[[noreturn]] void refuse(const QString& path, qint64 line, const QString& what)
{
    throw BuildError(QStringLiteral("«%1», riga %2: %3").arg(path, QString::number(line), what));
}

// The file as a stream of products, with the few other elements the first pass keeps.
class SixReader
{
public:
    SixReader(SixSource::State& state, bool collect)
        : m_state(state), m_collect(collect), m_file(state.path),
          m_guard([this](char* data, qint64 size) { return m_file.read(data, size); }, limits::kMaxPartBytes)
    {
        const QFileInfo info(state.path);
        if (!info.exists())
            throw BuildError(QStringLiteral("File inesistente: «%1»").arg(state.path));
        if (!info.isFile())
            throw BuildError(
                QStringLiteral("«%1» non è un file normale: --from-six vuole un file XML").arg(state.path));
        if (!m_file.open(QIODevice::ReadOnly))
            throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(state.path, m_file.errorString()));
        m_xml.setDevice(&m_guard);
        m_xml.setNamespaceProcessing(true);
    }

    qint64 bytesRead() const { return m_guard.bytesRead(); }

    // The next product; false at the end of the file. Throws BuildError for XML that cannot be read on.
    bool next(Product& product)
    {
        while (!m_xml.atEnd()) {
            // The reader tells where a token ends; the product is named where its tag starts, where the last ended.
            const qint64 line = m_xml.lineNumber();
            const qint64 column = m_xml.columnNumber();
            if (m_xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (!m_rootSeen) {
                checkRoot();
                continue;
            }
            const QStringView name = m_xml.name();
            if (name == u"prodotto") {
                readProduct(product);
                product.line = line;
                product.column = column;
                return true;
            }
            if (m_collect)
                collect(name);
        }
        if (m_xml.hasError() || !m_guard.problem().isEmpty() || m_guard.sourceFailed())
            failXml();
        if (!m_rootSeen)
            refuse(m_state.path, 1, QStringLiteral("il file è vuoto: non contiene un documento SIX"));
        return false;
    }

private:
    void checkRoot()
    {
        m_rootSeen = true;
        const QStringView ns = m_xml.namespaceUri();
        if (m_xml.name() == u"Documento" && (ns.isEmpty() || ns.endsWith(u"six.xsd")))
            return;
        const QString hint =
            m_xml.name() == u"PweDocumento" ? QStringLiteral(" (è un file XPWE: --from-xpwe)") : QString();
        refuse(m_state.path, m_xml.lineNumber(),
               QStringLiteral("l'elemento principale è %1, non Documento dello spazio dei nomi six.xsd: non è un file "
                              "SIX%2")
                   .arg(shownValue(m_xml.qualifiedName()), hint));
    }

    [[noreturn]] void failXml()
    {
        if (!m_guard.problem().isEmpty())
            refuse(m_state.path, m_guard.line(), m_guard.problem());
        if (m_guard.sourceFailed())
            refuse(m_state.path, m_guard.line(), QStringLiteral("errore di lettura del file"));
        const QString detail = m_xml.errorString();
        if (!m_rootSeen)
            refuse(m_state.path, m_xml.lineNumber(),
                   QStringLiteral("non è un file XML (%1): --from-six vuole un file SIX").arg(detail));
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            refuse(m_state.path, m_xml.lineNumber(),
                   QStringLiteral("il file finisce prima di chiudere i suoi elementi: è troncato (%1)").arg(detail));
        throw BuildError(
            QStringLiteral("«%1», riga %2, colonna %3: XML non valido (%4)")
                .arg(m_state.path, QString::number(m_xml.lineNumber()), QString::number(m_xml.columnNumber()), detail));
    }

    QString attribute(QLatin1StringView name) const { return value(m_xml.attributes(), name); }

    // An attribute the reader keeps, refused past the length of a field.
    QString value(const QXmlStreamAttributes& attributes, QLatin1StringView name) const
    {
        const QStringView text = attributes.value(name);
        if (text.size() > limits::kMaxFieldText)
            refuse(m_state.path, m_xml.lineNumber(),
                   QStringLiteral("l'attributo %1 ha %2 caratteri, oltre il limite di %3")
                       .arg(name, QString::number(text.size()), limits::charactersText(limits::kMaxFieldText)));
        return text.toString();
    }

    void collect(QStringView name)
    {
        const qint64 line = m_xml.lineNumber();
        if (name == u"unitaDiMisura") {
            const QString id = attribute(QLatin1StringView("unitaDiMisuraId"));
            const QString symbol = attribute(QLatin1StringView("simbolo"));
            m_state.keep(id.size() + symbol.size(), line);
            m_state.units.insert(id, symbol);
        } else if (name == u"listaQuotazione") {
            SixPriceList list{attribute(QLatin1StringView("listaQuotazioneId")), attribute(QLatin1StringView("lqtId")),
                              attribute(QLatin1StringView("descrizione")), attribute(QLatin1StringView("anno")), line};
            m_state.keep(list.id.size(), line);
            m_state.listIds.insert(list.id);
            ++m_state.listCount;
            if (m_state.listYear.isEmpty() && !list.year.isEmpty() && m_state.chosenList(list.id)) {
                m_state.listYear = list.year;
                m_state.listYearLine = line;
            }
            if (qsizetype(m_state.shownLists.size()) < kShownLists) {
                m_state.keep(list.code.size() + list.description.size() + list.year.size(), line);
                m_state.shownLists.push_back(std::move(list));
            }
        } else if (name == u"prezzario" && m_state.fileYear.isEmpty() &&
                   m_xml.attributes().hasAttribute(QLatin1StringView("anno"))) {
            m_state.fileYear = attribute(QLatin1StringView("anno"));
            m_state.fileYearLine = m_xml.lineNumber();
            m_state.fileYearWhere = QStringLiteral("attributo anno di prezzario");
        }
    }

    void readProduct(Product& product)
    {
        product = Product();
        const QXmlStreamAttributes attributes = m_xml.attributes();
        product.code = value(attributes, QLatin1StringView("prdId"));
        if (attributes.hasAttribute(QLatin1StringView("unitaDiMisuraId")))
            product.unit = value(attributes, QLatin1StringView("unitaDiMisuraId"));
        if (attributes.hasAttribute(QLatin1StringView("incidenzaManodopera")))
            product.labour = value(attributes, QLatin1StringView("incidenzaManodopera")).trimmed();
        int depth = 1;
        while (depth > 0) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (depth == 1 && m_xml.name() == u"incidenzaManodopera") {
                    const qint64 line = m_xml.lineNumber();
                    const std::optional<QString> text = elementText(m_xml);
                    if (!text && m_xml.hasError())
                        failXml();
                    if (!text)
                        refuse(m_state.path, line,
                               QStringLiteral("il testo di incidenzaManodopera supera il limite di %1")
                                   .arg(limits::charactersText(limits::kMaxFieldText)));
                    product.labour = text->trimmed();
                    continue;
                }
                if (depth == 1)
                    readPart(product);
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Invalid:
                failXml();
            default:
                break;
            }
        }
    }

    void readPart(Product& product)
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        if (m_xml.name() == u"prdDescrizione") {
            const QString language = value(attributes, QLatin1StringView("lingua"));
            if (!language.isEmpty())
                product.languages << language;
            const bool exact = language.compare(m_state.options.language, Qt::CaseInsensitive) == 0;
            if (product.exactLanguage || (!exact && (product.described || !language.isEmpty())))
                return;
            product.described = true;
            product.exactLanguage = exact;
            product.brief = value(attributes, QLatin1StringView("breve"));
            product.extended = value(attributes, QLatin1StringView("estesa"));
        } else if (m_xml.name() == u"prdQuotazione") {
            const QString list = value(attributes, QLatin1StringView("listaQuotazioneId"));
            product.priceLists << list;
            if (!product.priced && m_state.chosenList(list)) {
                product.priced = true;
                product.price = value(attributes, QLatin1StringView("valore")).trimmed();
            }
        }
    }

    SixSource::State& m_state;
    bool m_collect;
    QFile m_file;
    XmlGuard m_guard;
    QXmlStreamReader m_xml;
    bool m_rootSeen = false;
};

QString productPlace(const QString& fileName, const Product& product)
{
    return QStringLiteral("«%1», riga %2, colonna %3 (prodotto %4)")
        .arg(fileName, QString::number(product.line), QString::number(product.column), cutForMessage(product.code));
}

// The four levels of a code of four segments or more: whatever lies between the chapter and the subarticle is
// the article, its segments joined ("01.A01.B.02.010" is article B02).
struct Levels
{
    QString section, chapter, article, subarticle;
};

Levels levelsOf(const QStringList& segments)
{
    const qsizetype last = segments.size() - 1;
    return {segments[0], segments[1], QStringList(segments.mid(2, last - 2)).join(QString()), segments[last]};
}

// Why a priced product's code cannot be the code of a row of the list, or nullopt when it can: such a product is
// left out, counted and listed, and the rest of the file builds.
std::optional<QString> unmappable(const QStringList& segments)
{
    const Levels levels = levelsOf(segments);
    const struct
    {
        const char* level;
        const QString& code;
        int length;
    } parts[] = {{"la sezione", levels.section, 2},
                 {"il capitolo", levels.chapter, 3},
                 {"l'articolo", levels.article, 3},
                 {"il subarticolo", levels.subarticle, 3}};
    for (const auto& part : parts) {
        if (const std::optional<QString> problem = rules::codeProblem(part.code, part.length))
            return QStringLiteral("il codice non si riduce a sezione.capitolo.articolo.subarticolo (come "
                                  "01.A01.A01.010): per %1, %2")
                .arg(QString::fromUtf8(part.level), *problem);
    }
    return std::nullopt;
}

QString languageProblem(const SixOptions& options, const Product& product)
{
    return QStringLiteral("manca la descrizione (prdDescrizione) in lingua «%1»%2: sceglierne un'altra con --lingua")
        .arg(options.language, product.languages.isEmpty()
                                   ? QString()
                                   : QStringLiteral(" (lingue presenti: %1)").arg(product.languages.join(u", ")));
}

// The lists a refusal names, a line each, with what identifies them; past the first hundred, how many more.
QString listsText(const SixSource::State& state)
{
    QString text;
    for (const SixPriceList& list : state.shownLists) {
        text += QStringLiteral("\n  --quotazione %1").arg(cutForMessage(list.id));
        if (!list.code.isEmpty())
            text += QStringLiteral("  lqtId %1").arg(cutForMessage(list.code));
        if (!list.description.isEmpty())
            text += QStringLiteral("  %1").arg(cutForMessage(list.description));
        if (!list.year.isEmpty())
            text += QStringLiteral(" (anno %1)").arg(cutForMessage(list.year));
    }
    const qint64 more = state.listCount - qint64(state.shownLists.size());
    if (more == 1)
        text += QStringLiteral("\n  … e un altro listino");
    else if (more > 1)
        text += QStringLiteral("\n  … e altri %1 listini").arg(QLocale(QLocale::Italian).toString(more));
    return text;
}

// The year table: one row, the year from --anno or from the file.
class SixYearReader : public TableReader
{
public:
    explicit SixYearReader(std::shared_ptr<SixSource::State> state) : m_state(std::move(state))
    {
        const SixSource::State& s = *m_state;
        if (s.options.year) {
            m_year = QString::number(*s.options.year);
            m_where = QStringLiteral("opzione --anno");
            return;
        }
        if (!s.listYear.isEmpty()) {
            m_year = s.listYear;
            m_where = QStringLiteral("«%1», riga %2 (attributo anno di listaQuotazione)")
                          .arg(s.fileName(), QString::number(s.listYearLine));
            return;
        }
        if (!s.fileYear.isEmpty()) {
            m_year = s.fileYear;
            m_where = QStringLiteral("«%1», riga %2 (%3)")
                          .arg(s.fileName(), QString::number(s.fileYearLine), s.fileYearWhere);
            return;
        }
        m_where = QStringLiteral("«%1»").arg(s.fileName());
    }

    void readHeader(std::span<const std::string_view> columns) override { m_columns = columns; }
    bool next() override { return !std::exchange(m_read, true); }
    Field field(int column) const override
    {
        if (m_year.isEmpty())
            throw FieldError(m_where + QStringLiteral(": il file non dice l'anno del prezzario (attributo anno di "
                                                      "listaQuotazione o di prezzario): indicarlo con --anno AAAA"));
        return {Field::Kind::Text, m_year};
    }
    QString row() const override { return m_where; }
    qint64 line() const override { return 1; }
    QString table() const override { return QStringLiteral("«%1», anno del prezzario").arg(m_state->fileName()); }
    qint64 done() const override { return m_read ? 1 : 0; }
    qint64 size() const override { return 1; }
    DecimalSeparator decimalSeparator() const override { return DecimalSeparator::Point; }

private:
    std::shared_ptr<SixSource::State> m_state;
    QString m_year;
    QString m_where;
    bool m_read = false;
};

// The prices table: the second pass, a row for each priced product whose code names the four levels.
class SixPriceReader : public TableReader
{
public:
    explicit SixPriceReader(std::shared_ptr<SixSource::State> state)
        : m_state(std::move(state)), m_reader(*m_state, false)
    {
    }

    void readHeader(std::span<const std::string_view> columns) override
    {
        m_columns = columns;
        for (size_t i = 0; i < columns.size(); ++i) {
            const auto found = std::find(std::begin(kPriceColumns), std::end(kPriceColumns), columns[i]);
            if (found == std::end(kPriceColumns))
                throw BuildError(QStringLiteral("%1: colonna sconosciuta").arg(table()));
            m_map.push_back(int(found - std::begin(kPriceColumns)));
        }
    }

    bool next() override
    {
        if (!m_state->problems.empty()) {
            const QString problem = m_state->problems.front();
            m_state->problems.pop_front();
            throw FieldError(problem);
        }
        while (m_reader.next(m_product)) {
            if (!m_product.priced || m_product.code.isEmpty())
                continue;
            const QStringList segments = m_product.code.split(u'.');
            if (segments.size() < 4) {
                m_state->leftOut.push_back(
                    {m_product.code, m_product.line,
                     QStringLiteral("ha un prezzo, ma il suo codice ha %1 livelli invece di quattro")
                         .arg(segments.size())});
                continue;
            }
            if (const std::optional<QString> reason = unmappable(segments)) {
                m_state->leftOut.push_back({m_product.code, m_product.line, *reason});
                continue;
            }
            makeRow(segments);
            ++m_state->rows;
            return true;
        }
        if (!m_ended) {
            m_ended = true;
            for (auto it = m_state->headings.cbegin(); it != m_state->headings.cend(); ++it) {
                if (!it->used)
                    m_state->leftOut.push_back(
                        {it.key(), it->line, QStringLiteral("senza prezzo, e nessuna voce con prezzo vi appartiene")});
            }
            std::sort(m_state->leftOut.begin(), m_state->leftOut.end(),
                      [](const LeftOutProduct& a, const LeftOutProduct& b) { return a.line < b.line; });
        }
        return false;
    }

    Field field(int column) const override
    {
        const int at = m_map[size_t(column)];
        if (!m_errors[size_t(at)].isEmpty())
            fail(column, m_errors[size_t(at)]);
        return m_fields[size_t(at)];
    }
    QString row() const override { return productPlace(m_state->fileName(), m_product); }
    qint64 line() const override { return m_product.line; }
    QString table() const override { return QStringLiteral("«%1», prodotti").arg(m_state->fileName()); }
    qint64 done() const override { return m_reader.bytesRead(); }
    qint64 size() const override { return m_state->size; }
    DecimalSeparator decimalSeparator() const override { return DecimalSeparator::Point; }

private:
    void set(PriceColumn column, QString text) { m_fields[column] = {Field::Kind::Text, std::move(text)}; }
    void set(PriceColumn column, const std::optional<QString>& text)
    {
        m_fields[column] = text ? Field{Field::Kind::Text, *text} : Field{};
    }

    // A level's text and note from the heading product of `code`.
    void setLevel(PriceColumn text, PriceColumn note, const QString& code, const char* level)
    {
        const auto found = m_state->headings.find(code);
        if (found == m_state->headings.end()) {
            m_errors[text] = QStringLiteral("manca %1 %2: nessun prodotto senza prezzo con questo codice (prdId)")
                                 .arg(QString::fromUtf8(level), shownValue(code));
            return;
        }
        found->used = true;
        set(text, found->text);
        set(note, found->note);
    }

    void makeRow(const QStringList& segments)
    {
        m_fields.fill(Field{});
        for (QString& error : m_errors)
            error.clear();
        const SixSource::State& s = *m_state;
        const qsizetype last = segments.size() - 1;
        const Levels levels = levelsOf(segments);
        set(Sequenza, QString::number(s.rows + 1));
        set(CodiceTotale, QStringList{levels.section, levels.chapter, levels.article, levels.subarticle}.join(u'.'));
        set(CodiceSezione, levels.section);
        set(CodiceCapitolo, levels.chapter);
        set(CodiceArticolo, levels.article);
        set(CodiceSubarticolo, levels.subarticle);
        const QString chapterKey = segments[0] + u'.' + segments[1];
        setLevel(Sezione, NoteSezione, segments[0], "la sezione");
        setLevel(Capitolo, NoteCapitolo, chapterKey, "il capitolo");
        setLevel(Articolo, NoteArticolo, QStringList(segments.mid(0, last)).join(u'.'), "l'articolo");
        const auto chapter = m_chapters.constFind(chapterKey);
        set(SeqCapitolo, QString::number(chapter != m_chapters.constEnd() ? *chapter : qint64(m_chapters.size() + 1)));
        if (chapter == m_chapters.constEnd())
            m_chapters.insert(chapterKey, m_chapters.size() + 1);
        if (m_product.described) {
            set(Subarticolo, levelText(m_product));
            set(NoteSubarticolo, levelNote(m_product));
        } else {
            m_errors[Subarticolo] = languageProblem(s.options, m_product);
        }
        if (m_product.unit) {
            const auto unit = s.units.constFind(*m_product.unit);
            if (unit == s.units.constEnd())
                m_errors[Simbolo] = QStringLiteral("unità di misura %1 non dichiarata (unitaDiMisura)")
                                        .arg(shownValue(*m_product.unit));
            else
                set(Simbolo, *unit);
        }
        for (const QString& list : m_product.priceLists) {
            if (!s.listIds.contains(list))
                m_errors[PrezzoLordo] = QStringLiteral("prdQuotazione del listino %1, che il file non dichiara "
                                                       "(listaQuotazione)")
                                            .arg(shownValue(list));
        }
        set(PrezzoLordo, m_product.price);
        if (m_product.labour && !m_product.labour->isEmpty())
            set(IncidenzaManodopera, *m_product.labour);
        // The file gives the labour share; its amount, to the cent, is the program's as for every list.
        const auto amount =
            rules::labourAmount(rules::parseDecimal(m_product.price, u'.'),
                                m_product.labour ? rules::parseDecimal(*m_product.labour, u'.') : std::nullopt);
        if (amount)
            m_fields[SommaManodopera] = {Field::Kind::Number, QString::number(*amount, 'g', 15)};
    }

    std::shared_ptr<SixSource::State> m_state;
    SixReader m_reader;
    Product m_product;
    std::vector<int> m_map;
    std::array<Field, kPriceColumnCount> m_fields;
    std::array<QString, kPriceColumnCount> m_errors;
    QHash<QString, qint64> m_chapters;
    bool m_ended = false;
};

} // namespace

void SixSource::State::scan()
{
    if (scanned) {
        if (failure)
            throw *failure;
        return;
    }
    scanned = true;
    try {
        size = QFileInfo(path).size();
        SixReader reader(*this, true);
        Product product;
        const QString name = fileName();
        while (reader.next(product)) {
            ++products;
            if (product.code.isEmpty()) {
                problems.push_back(productPlace(name, product) + QStringLiteral(": prodotto senza codice (prdId)"));
                continue;
            }
            if (product.priced)
                continue;
            if (!product.described) {
                problems.push_back(productPlace(name, product) + u": " + languageProblem(options, product));
                continue;
            }
            const auto known = headings.constFind(product.code);
            if (known != headings.constEnd()) {
                problems.push_back(productPlace(name, product) +
                                   QStringLiteral(": il codice è già usato alla riga %1").arg(known->line));
                continue;
            }
            SixHeading heading{levelText(product), levelNote(product), product.line};
            keep(product.code.size() + heading.text.size() + (heading.note ? heading.note->size() : 0), product.line);
            headings.insert(product.code, std::move(heading));
        }
        const QString count = QLocale(QLocale::Italian).toString(listCount);
        if (!options.quotation.isEmpty() && !listIds.contains(options.quotation))
            throw BuildError(QStringLiteral("«%1»: nessun listino con listaQuotazioneId %2; il file ne contiene %3:%4")
                                 .arg(path, shownValue(options.quotation), count, listsText(*this)));
        if (options.quotation.isEmpty() && listCount > 1)
            throw BuildError(QStringLiteral("«%1» contiene %2 listini di prezzi: sceglierne uno con --quotazione ID%3")
                                 .arg(path, count, listsText(*this)));
    } catch (const BuildError& error) {
        failure = error;
        throw;
    }
}

// The first pass keeps headings, units and lists for the rows to come: together no more than limits::kMaxKeptText.
void SixSource::State::keep(qsizetype characters, qint64 line)
{
    keptText += characters;
    if (keptText > limits::kMaxKeptText)
        refuse(path, line,
               QStringLiteral("i titoli dei livelli (prodotti senza prezzo), le unità di misura e i listini superano "
                              "insieme il limite di %1")
                   .arg(limits::charactersText(limits::kMaxKeptText)));
}

SixSource::SixSource(const QString& path, const SixOptions& options) : m_state(std::make_shared<State>())
{
    m_state->path = path;
    m_state->options = options;
}

ListSource SixSource::source() const
{
    std::shared_ptr<State> state = m_state;
    return ListSource::readers(state->path, [state](ListSource::Table table) -> std::unique_ptr<TableReader> {
        switch (table) {
        case ListSource::Table::Year:
            state->scan();
            return std::make_unique<SixYearReader>(state);
        case ListSource::Table::Prices:
            state->scan();
            return std::make_unique<SixPriceReader>(state);
        default:
            return nullptr;
        }
    });
}

qint64 SixSource::products() const
{
    return m_state->products;
}

qint64 SixSource::rows() const
{
    return m_state->rows;
}

qint64 SixSource::headings() const
{
    return std::count_if(m_state->headings.cbegin(), m_state->headings.cend(),
                         [](const SixHeading& h) { return h.used; });
}

const std::vector<LeftOutProduct>& SixSource::leftOut() const
{
    return m_state->leftOut;
}

} // namespace builder
