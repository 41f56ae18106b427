#include "tools/build/SixSource.h"

#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include "tools/build/FieldRules.h"
#include "tools/build/readers/InputLimits.h"
#include "tools/build/PriceColumns.h"
#include "tools/build/SixReader.h"
#include "tools/build/readers/TableReader.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace builder {

namespace {

using six::Product;
using six::SixReader;

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
