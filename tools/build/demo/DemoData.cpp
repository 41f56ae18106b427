#include "tools/build/demo/DemoData.h"

#include "tools/build/demo/DemoCatalogue.h"
#include "tools/build/demo/Random.h"
#include "tools/build/demo/ReferenceTexts.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace builder::demo {

namespace {

// Descriptions stay within what a list column and a report cell show comfortably.
constexpr size_t kMaxDescriptionBytes = 399; // UTF-8 bytes, so never more than 400 characters
constexpr qsizetype kMinDescription = 80;

// Codes are a letter and two digits: 26 letters of 99 codes each.
constexpr qint64 kCodeCapacity = 26 * 99;
constexpr qint64 kMaxChaptersPerSection = 2000;
constexpr qint64 kRowsPerChapter = 80;
constexpr qint64 kMaxSubarticlesPerArticle = 9;

// With fewer rows than sections, these come first: the viewer treats 20 and 23 specially.
constexpr std::string_view kSectionPriority[] = {"01", "20", "23"};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString capitalized(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

qsizetype utf8Length(const std::string& text)
{
    return qsizetype(std::count_if(text.begin(), text.end(), [](char c) { return (uchar(c) & 0xC0) != 0x80; }));
}

double round2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

template <typename T> std::span<const T> nonEmpty(std::span<const T> items)
{
    return items.first(size_t(std::count_if(items.begin(), items.end(), [](const T& s) { return !s.empty(); })));
}

// Splits total into `parts` pieces of 1..maxEach, each drawn near the mean so that sizes vary without
// leaving the last piece too big or too small. Needs parts <= total <= parts * maxEach.
std::vector<qint64> splitRandomly(qint64 total, qint64 parts, qint64 maxEach, Random& rng)
{
    std::vector<qint64> sizes;
    sizes.reserve(size_t(parts));
    for (qint64 left = parts; left > 0; --left) {
        qint64 size = total;
        if (left > 1) {
            const qint64 lo = std::max<qint64>(1, total - (left - 1) * maxEach);
            const qint64 hi = std::min<qint64>(maxEach, total - (left - 1));
            const qint64 mean = total / left;
            size = rng.between(std::clamp(mean - mean / 2, lo, hi), std::clamp(mean + mean / 2, lo, hi));
        }
        sizes.push_back(size);
        total -= size;
    }
    return sizes;
}

// Chapter and article codes: runs of one letter ("A01", "A02", ... then "B01", ...) of varying length,
// made long enough that `count` codes always fit in the alphabet.
class CodeSequence
{
public:
    explicit CodeSequence(qint64 count) : m_remaining(count) {}

    QString next(Random& rng)
    {
        if (m_used == m_runLength) {
            ++m_letter;
            m_used = 0;
            const qint64 lettersLeft = 26 - m_letter;
            const qint64 needed = (m_remaining + lettersLeft - 1) / lettersLeft;
            m_runLength = std::min<qint64>(99, std::max<qint64>(needed, rng.between(2, 8)));
        }
        ++m_used;
        --m_remaining;
        return QChar(char16_t(u'A' + m_letter)) + QStringLiteral("%1").arg(m_used, 2, 10, QLatin1Char('0'));
    }

private:
    qint64 m_remaining;
    int m_letter = -1;
    qint64 m_used = 0;
    qint64 m_runLength = 0;
};

class Generator
{
public:
    Generator(const DemoOptions& options, const std::function<void(const PriceRow&)>& sink)
        : m_options(options), m_rng(quint64(options.seed) * 0x2545f4914f6cdd1dULL + 2021), m_sink(sink)
    {
    }

    void run()
    {
        const std::vector<const SectionTheme*> sections = chosenSections();
        const std::vector<qint64> rows = rowsPerSection(sections);
        for (size_t i = 0; i < sections.size(); ++i)
            section(*sections[i], rows[i]);
    }

private:
    std::vector<const SectionTheme*> chosenSections() const
    {
        const auto themes = sectionThemes();
        std::vector<const SectionTheme*> chosen;
        if (m_options.rows >= qint64(themes.size())) {
            for (const SectionTheme& theme : themes)
                chosen.push_back(&theme);
            return chosen;
        }
        std::vector<const SectionTheme*> ranked;
        for (std::string_view code : kSectionPriority)
            for (const SectionTheme& theme : themes)
                if (theme.code == code)
                    ranked.push_back(&theme);
        for (const SectionTheme& theme : themes)
            if (std::find(ranked.begin(), ranked.end(), &theme) == ranked.end())
                ranked.push_back(&theme);
        chosen.assign(ranked.begin(), ranked.begin() + m_options.rows);
        std::sort(chosen.begin(), chosen.end(), [](auto* a, auto* b) { return a->code < b->code; });
        return chosen;
    }

    // One row each, the rest shared by weight (largest remainders first, ties by code order).
    std::vector<qint64> rowsPerSection(const std::vector<const SectionTheme*>& sections) const
    {
        const qint64 spare = m_options.rows - qint64(sections.size());
        qint64 totalWeight = 0;
        for (const SectionTheme* s : sections)
            totalWeight += s->weight;
        std::vector<qint64> rows(sections.size(), 1);
        std::vector<std::pair<qint64, size_t>> remainders;
        qint64 given = 0;
        for (size_t i = 0; i < sections.size(); ++i) {
            const qint64 share = spare * sections[i]->weight;
            rows[i] += share / totalWeight;
            given += share / totalWeight;
            remainders.emplace_back(-(share % totalWeight), i);
        }
        std::sort(remainders.begin(), remainders.end());
        for (qint64 k = 0; k < spare - given; ++k)
            ++rows[remainders[size_t(k)].second];
        return rows;
    }

    void section(const SectionTheme& theme, qint64 rows)
    {
        m_row.codiceSezione = fromUtf8(theme.code);
        m_row.sezione = fromUtf8(theme.name);
        m_row.noteSezione = theme.note.empty() ? std::nullopt : std::optional(fromUtf8(theme.note));

        const qint64 chapters =
            std::clamp<qint64>((rows + kRowsPerChapter - 1) / kRowsPerChapter, 1, kMaxChaptersPerSection);
        // A chapter holds no more rows than there are article codes, so its articles always get one.
        const std::vector<qint64> chapterRows = splitRandomly(rows, chapters, kCodeCapacity, m_rng);

        CodeSequence sequence(chapters);
        std::vector<QString> codes;
        for (qint64 i = 0; i < chapters; ++i)
            codes.push_back(sequence.next(m_rng));
        // Some sections list a chapter before one with a smaller code, as real price lists do after
        // revisions: the range search must follow the list order, not the code order.
        if (++m_sectionCount % 4 == 1 && chapters >= 3)
            std::swap(codes[1], codes[2]);

        for (qint64 i = 0; i < chapters; ++i) {
            const Topic& topic = theme.topics[size_t(i) % theme.topics.size()];
            const int round = int(i / qint64(theme.topics.size()));
            chapter(topic, codes[size_t(i)], round, chapterRows[size_t(i)]);
        }
    }

    void chapter(const Topic& topic, const QString& code, int round, qint64 rows)
    {
        ++m_seqCapitolo;
        m_row.codiceCapitolo = code;
        m_row.seqCapitolo = m_seqCapitolo;
        m_row.capitolo = chapterText(topic, round);
        m_row.noteCapitolo = m_rng.percent(30) ? std::optional(fromUtf8(m_rng.pick(chapterNotes()))) : std::nullopt;

        const qint64 perArticle = m_rng.between(3, 6);
        const qint64 articles = (rows + perArticle - 1) / perArticle;
        const std::vector<qint64> articleRows = splitRandomly(rows, articles, kMaxSubarticlesPerArticle, m_rng);
        const auto works = nonEmpty<std::string_view>(topic.works);
        const size_t firstWork = m_rng.below(works.size());
        CodeSequence sequence(articles);
        for (qint64 a = 0; a < articles; ++a)
            article(topic, sequence.next(m_rng), works[(firstWork + size_t(a)) % works.size()], articleRows[size_t(a)]);
    }

    void article(const Topic& topic, const QString& code, std::string_view work, qint64 rows)
    {
        m_row.codiceArticolo = code;
        m_row.articolo = articleText(topic, work);
        m_row.noteArticolo = m_rng.percent(15) ? std::optional(fromUtf8(m_rng.pick(articleNotes()))) : std::nullopt;

        const auto steps = variantSteps(topic.variant);
        const qint64 firstStep = rows <= qint64(steps.size()) ? m_rng.between(0, qint64(steps.size()) - rows) : 0;
        const double basePrice = topic.priceLow + (topic.priceHigh - topic.priceLow) * m_rng.unit();
        const double baseShare = labourShare(topic.kind);
        const QString articleKey = m_row.codiceSezione + u'.' + m_row.codiceCapitolo + u'.' + code + u'.';

        int number = 1;
        for (qint64 i = 0; i < rows; ++i) {
            const QString subCode = QStringLiteral("%1").arg(number * 10, 3, 10, QLatin1Char('0'));
            number += m_rng.percent(10) ? 2 : 1;

            m_row.sequenza = ++m_sequenza;
            m_row.codiceTotale = articleKey + subCode;
            m_row.codiceSubarticolo = subCode;
            m_row.subarticolo = subarticleText(topic, steps[size_t(firstStep + i) % steps.size()]);
            m_row.noteSubarticolo =
                m_rng.percent(5) ? std::optional(fromUtf8(m_rng.pick(subarticleNotes()))) : std::nullopt;
            m_row.simbolo = fromUtf8(topic.unit);
            prices(topic.kind, basePrice, baseShare, int(i));
            m_sink(m_row);
        }
    }

    // Quarter-point steps (12.5, 37.25, ...), as labour shares are published.
    double labourShare(ItemKind kind)
    {
        switch (kind) {
        case ItemKind::Work:
            return double(m_rng.between(40, 260)) * 0.25;
        case ItemKind::Safety:
            return double(m_rng.between(80, 240)) * 0.25;
        case ItemKind::Hire:
            return double(m_rng.between(100, 220)) * 0.25;
        case ItemKind::Labour:
            return 100.0;
        case ItemKind::Supply:
            return 0.0;
        }
        return 0.0;
    }

    void prices(ItemKind kind, double basePrice, double baseShare, int index)
    {
        const double price = round2(basePrice * (1.0 + 0.15 * index) * (0.97 + 0.06 * m_rng.unit()));
        m_row.prezzoLordo = m_rng.percent(2) ? std::nullopt : std::optional(price);

        std::optional<double> share;
        if (kind == ItemKind::Labour)
            share = 100.0;
        else if (kind != ItemKind::Supply && !m_rng.percent(3))
            share = std::clamp(baseShare + double(m_rng.between(-6, 6)) * 0.25, 0.25, 99.75);
        m_row.incidenzaManodopera = share;

        m_row.sommaManodopera = std::nullopt;
        if (m_row.prezzoLordo && share) {
            // In whole cents and quarter points, so that a half cent rounds up as on paper
            // (binary fractions would turn 18.615 into 18.6149999...).
            const qint64 cents = std::llround(*m_row.prezzoLordo * 100.0);
            const qint64 quarters = std::llround(*share * 4.0);
            m_row.sommaManodopera = double((cents * quarters + 200) / 400) / 100.0;
        }
    }

    QString chapterText(const Topic& topic, int round)
    {
        QString text = fromUtf8(topic.title) + QStringLiteral(". ") + capitalized(fromUtf8(topic.scope));
        if (round > 0) {
            const auto settings = chapterSettings();
            text += QStringLiteral(", ") + fromUtf8(settings[size_t(round - 1) % settings.size()]);
        }
        text += u'.';
        return m_rng.percent(30) ? text.toUpper() : text;
    }

    QString articleText(const Topic& topic, std::string_view work)
    {
        const KindPhrases& phrases = kindPhrases(topic.kind);
        std::string text(work);
        const auto add = [&text](std::string_view separator, std::string_view piece) {
            if (text.size() + separator.size() + piece.size() < kMaxDescriptionBytes) {
                text += separator;
                text += piece;
            }
        };
        if (m_rng.percent(40))
            add(" ", m_rng.pick(phrases.qualifiers));
        add(", ", m_rng.pick(phrases.execution));
        if (m_rng.percent(70))
            add(", ", m_rng.pick(phrases.inclusion));
        add(", ", m_rng.pick(phrases.closing));
        text += '.';
        return fromUtf8(text);
    }

    QString subarticleText(const Topic& topic, std::string_view step)
    {
        const auto details = kindPhrases(topic.kind).details;
        std::string text(step);
        size_t next = m_rng.below(details.size());
        const size_t wanted = m_rng.percent(50) ? 2 : 1;
        for (size_t added = 0; added < details.size(); ++added, ++next) {
            const std::string_view detail = details[next % details.size()];
            if (text.size() + detail.size() + 2 >= kMaxDescriptionBytes)
                break;
            text += ", ";
            text += detail;
            if (added + 1 >= wanted && utf8Length(text) >= kMinDescription)
                break;
        }
        text += '.';
        return capitalized(fromUtf8(text));
    }

    const DemoOptions& m_options;
    Random m_rng;
    const std::function<void(const PriceRow&)>& m_sink;
    PriceRow m_row;
    qint64 m_sequenza = 0;
    qint64 m_seqCapitolo = 0;
    int m_sectionCount = 0;
};

} // namespace

void generateRows(const DemoOptions& options, const std::function<void(const PriceRow&)>& sink)
{
    Generator(options, sink).run();
}

void writeReferenceTexts(PriceListWriter& writer)
{
    const auto optionalText = [](const std::optional<std::string_view>& text) -> std::optional<QString> {
        if (!text)
            return std::nullopt;
        return fromUtf8(*text);
    };
    writer.setYear(kDemoYear);
    for (const PremessaText& row : premesseTexts())
        writer.addPremessa(fromUtf8(row.key), optionalText(row.premessa), optionalText(row.premessa2),
                           optionalText(row.premessa3));
    for (const ManualTopic& topic : manualTopics())
        writer.addManualTopic(fromUtf8(topic.title), fromUtf8(topic.text));
}

} // namespace builder::demo
