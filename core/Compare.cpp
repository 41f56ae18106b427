#include "Compare.h"

#include "EscapeQuotes.h"
#include "Find.h"
#include "Recordset.h"
#include "RowValues.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <vector>

namespace core {

namespace {

QString keptLettersAndDigits(const Text& text)
{
    QString kept;
    for (const QChar c : foldText(text.toString())) {
        if (c.isLetterOrNumber())
            kept += c;
    }
    return kept;
}

// A description is compared by a 64-bit FNV-1a hash of its folded letters and digits, not kept as text: two
// editions of a large list would otherwise hold every article's text once more per subarticle. The hash of
// the article's part is carried on through the subarticle's, so the split between them does not matter, as
// for the text. Two different descriptions share a hash about once in 10^9 comparisons of a 100,000-item list.
constexpr quint64 kFnvBasis = 14695981039346656037ULL;

quint64 hashedLettersAndDigits(const Text& text, quint64 hash)
{
    for (const QChar c : foldText(text.toString())) {
        if (c.isLetterOrNumber()) {
            hash = (hash ^ c.unicode()) * 1099511628211ULL;
        }
    }
    return hash;
}

// One edition as the comparison reads it: its items with their codes and descriptions, and the code order.
struct Edition
{
    std::shared_ptr<const FindIndex> index;
    QStringList codes;
    std::vector<quint64> descriptions;
    std::vector<std::int32_t> byCode;
    QHash<QString, std::int32_t> firstOfCode;

    bool read(const PriceList& list, const std::function<bool(double)>& progress)
    {
        index = FindIndex::build(list, progress);
        if (!index)
            return false;
        const qsizetype size = index->size();
        codes.reserve(size);
        descriptions.reserve(size);
        // An article's text is long and shared by its subarticles: folded once.
        QHash<const Text*, quint64> articles;
        for (std::int32_t item = 0; item < size; ++item) {
            codes << index->code(item);
            const Text& articolo = index->articolo(item);
            auto article = articles.constFind(&articolo);
            if (article == articles.cend())
                article = articles.insert(&articolo, hashedLettersAndDigits(articolo, kFnvBasis));
            descriptions.push_back(hashedLettersAndDigits(index->subarticle(item).subarticolo, *article));
        }
        // Backwards, so that a code held twice keeps its first item.
        for (std::int32_t item = std::int32_t(size) - 1; item >= 0; --item)
            firstOfCode.insert(codes[item], item);
        byCode.resize(size_t(size));
        std::iota(byCode.begin(), byCode.end(), 0);
        std::stable_sort(byCode.begin(), byCode.end(),
                         [this](std::int32_t a, std::int32_t b) { return codes[a] < codes[b]; });
        return true;
    }

    bool holds(const QString& code) const { return firstOfCode.contains(code); }
};

// A unit apart from any text, Null included, to key the items that may have been re-coded.
QString unitKey(const Text& unit)
{
    return unit.isNull() ? QStringLiteral("\x1d") : unit.toString();
}

// The key a gone or a new item is paired by: its description's hash and its unit.
using PairingKey = std::pair<quint64, QString>;

bool holdsCode(const PriceList& list, const QString& code)
{
    return !list.database()
                .OpenRecordset(QStringLiteral("select 1 from prezzario where codice_totale = ") + SqlString(code))
                .Eof();
}

// The codes of the items of 'list' that have 'key', in the list's order, a code held twice once per item.
// Only the rows of the key's unit have their description folded.
std::optional<QStringList> codesOfKey(const PriceList& list, const PairingKey& key, double from, double width,
                                      const std::function<bool(double)>& progress)
{
    const Database& db = list.database();
    double total = 1;
    if (progress) {
        const Recordset count = db.OpenRecordset(QStringLiteral("select count(*) from prezzario"));
        total = std::max(1.0, count.Fields(0).toDouble());
    }
    const QByteArray unit = key.second.toUtf8();
    const bool nullUnit = key.second == unitKey(Text());
    QHash<QByteArray, quint64> articles;
    QStringList codes;
    qint64 read = 0;
    for (Recordset rs =
             db.OpenRecordset(QStringLiteral("select codice_totale, articolo, subarticolo, simbolo from prezzario"));
         !rs.Eof(); rs.MoveNext()) {
        if (++read % 8192 == 0 && progress && !progress(from + width * std::min(1.0, double(read) / total)))
            return std::nullopt;
        if (nullUnit ? !rs.IsNull(3) : (rs.IsNull(3) || rs.Utf8(3) != unit))
            continue;
        // Null and empty fold alike.
        const QByteArray articolo = rs.Utf8(1).toByteArray();
        auto article = articles.constFind(articolo);
        if (article == articles.cend())
            article = articles.insert(articolo, hashedLettersAndDigits(textAt(rs, 1), kFnvBasis));
        if (hashedLettersAndDigits(textAt(rs, 2), *article) == key.first)
            codes << rs.Fields(0).Text();
    }
    return codes;
}

} // namespace

QString compareStateName(CompareState state)
{
    switch (state) {
    case CompareState::Invariata:
        return QStringLiteral("invariata");
    case CompareState::Variata:
        return QStringLiteral("variata");
    case CompareState::Nuova:
        return QStringLiteral("nuova");
    case CompareState::Eliminata:
        return QStringLiteral("eliminata");
    case CompareState::Ricodificata:
        return QStringLiteral("ricodificata");
    }
    return {};
}

std::optional<double> ComparedItem::changeEuro() const
{
    if (!oldPrice || !newPrice)
        return std::nullopt;
    return *newPrice - *oldPrice;
}

std::optional<double> ComparedItem::changePercent() const
{
    if (!oldPrice || !newPrice || *oldPrice == 0)
        return std::nullopt;
    return (*newPrice - *oldPrice) * 100 / *oldPrice;
}

ChangeFigures changeFigures(QList<double> percents)
{
    ChangeFigures figures;
    figures.count = int(percents.size());
    if (percents.isEmpty())
        return figures;
    std::sort(percents.begin(), percents.end());
    const qsizetype middle = percents.size() / 2;
    figures.median = percents.size() % 2 ? percents[middle] : (percents[middle - 1] + percents[middle]) / 2;
    figures.mean = std::accumulate(percents.cbegin(), percents.cend(), 0.0) / double(percents.size());
    return figures;
}

QString comparedDescription(const Text& articolo, const Text& subarticolo)
{
    return keptLettersAndDigits(articolo) + keptLettersAndDigits(subarticolo);
}

std::optional<Comparison> compareEditions(const PriceList& older, const PriceList& newer,
                                          const std::function<bool(double)>& progress)
{
    auto share = [&progress](double from, double width) -> std::function<bool(double)> {
        if (!progress)
            return {};
        return [&progress, from, width](double done) { return progress(from + done * width); };
    };
    Edition before, after;
    if (!before.read(older, share(0, 0.45)) || !after.read(newer, share(0.45, 0.45)))
        return std::nullopt;

    // A gone code and a new one are one item re-coded only when nothing else, on either side, could be it.
    struct Candidates
    {
        QList<std::int32_t> gone, added;
    };
    QHash<std::pair<quint64, QString>, Candidates> candidates;
    for (const std::int32_t item : before.byCode) {
        if (!after.holds(before.codes[item]))
            candidates[{before.descriptions[size_t(item)], unitKey(before.index->subarticle(item).simbolo)}].gone
                << item;
    }
    for (const std::int32_t item : after.byCode) {
        if (!before.holds(after.codes[item]))
            candidates[{after.descriptions[size_t(item)], unitKey(after.index->subarticle(item).simbolo)}].added
                << item;
    }
    QHash<std::int32_t, std::int32_t> recodedFrom; // newer item → older item
    QSet<std::int32_t> recoded;                    // older items
    for (const Candidates& pair : std::as_const(candidates)) {
        if (pair.gone.size() == 1 && pair.added.size() == 1) {
            recodedFrom.insert(pair.added.front(), pair.gone.front());
            recoded.insert(pair.gone.front());
        }
    }

    Comparison comparison;
    comparison.items.reserve(after.index->size() + before.index->size() - recoded.size());
    QList<double> percents;
    QMap<QString, QList<double>> sectionPercents;
    for (const std::int32_t item : after.byCode) {
        const Subarticle now = after.index->subarticle(item);
        ComparedItem compared;
        compared.newCode = now.code;
        compared.section = after.index->sectionCode(item);
        compared.articolo = after.index->articolo(item);
        compared.subarticolo = now.subarticolo;
        compared.newUnit = now.simbolo;
        compared.newPrice = now.prezzoLordo;
        std::optional<std::int32_t> was;
        if (before.holds(now.code)) {
            was = before.firstOfCode.value(now.code);
        } else if (const auto from = recodedFrom.constFind(item); from != recodedFrom.cend()) {
            was = *from;
        }
        if (!was) {
            compared.state = CompareState::Nuova;
            ++comparison.nuove;
        } else {
            const Subarticle then = before.index->subarticle(*was);
            compared.oldCode = then.code;
            compared.oldUnit = then.simbolo;
            compared.oldPrice = then.prezzoLordo;
            if (compared.oldCode != compared.newCode) {
                compared.state = CompareState::Ricodificata;
                ++comparison.ricodificate;
            } else if (compared.oldPrice == compared.newPrice && compared.oldUnit == compared.newUnit &&
                       before.descriptions[size_t(*was)] == after.descriptions[size_t(item)]) {
                compared.state = CompareState::Invariata;
                ++comparison.invariate;
            } else {
                compared.state = CompareState::Variata;
                ++comparison.variate;
            }
            if (const std::optional<double> percent = compared.changePercent()) {
                percents << *percent;
                sectionPercents[compared.section] << *percent;
            }
        }
        comparison.items << compared;
    }
    for (const std::int32_t item : before.byCode) {
        if (after.holds(before.codes[item]) || recoded.contains(item))
            continue;
        const Subarticle then = before.index->subarticle(item);
        ComparedItem compared;
        compared.state = CompareState::Eliminata;
        compared.oldCode = then.code;
        compared.section = before.index->sectionCode(item);
        compared.articolo = before.index->articolo(item);
        compared.subarticolo = then.subarticolo;
        compared.oldUnit = then.simbolo;
        compared.oldPrice = then.prezzoLordo;
        comparison.items << compared;
        ++comparison.eliminate;
    }
    comparison.figures = changeFigures(percents);
    for (auto section = sectionPercents.cbegin(); section != sectionPercents.cend(); ++section)
        comparison.sectionFigures.insert(section.key(), changeFigures(section.value()));
    if (progress && !progress(1.0))
        return std::nullopt;
    return comparison;
}

std::optional<QString> pairedCode(const PriceList& older, const PriceList& newer, const QString& code, EditionSide side,
                                  const std::function<bool(double)>& progress)
{
    const PriceList& own = side == EditionSide::Older ? older : newer;
    const PriceList& other = side == EditionSide::Older ? newer : older;
    auto done = [&progress](const QString& answer) -> std::optional<QString> {
        if (progress && !progress(1.0))
            return std::nullopt;
        return answer;
    };
    if (holdsCode(other, code))
        return done(code);
    // The item is its code's first in the list's order, as in compareEditions.
    const Recordset item = own.database().OpenRecordset(
        QStringLiteral("select articolo, subarticolo, simbolo from prezzario where codice_totale = ") +
        SqlString(code) + QStringLiteral(" order by sequenza"));
    if (item.Eof())
        return done(QString());
    const PairingKey key{hashedLettersAndDigits(textAt(item, 1), hashedLettersAndDigits(textAt(item, 0), kFnvBasis)),
                         unitKey(textAt(item, 2))};

    // Paired only when the item is the one gone item of its key, and one new item has the key.
    const std::optional<QStringList> others = codesOfKey(other, key, 0, 0.5, progress);
    if (!others)
        return std::nullopt;
    QStringList candidates;
    for (const QString& candidate : *others) {
        if (!holdsCode(own, candidate))
            candidates << candidate;
    }
    if (candidates.size() != 1)
        return done(QString());
    const std::optional<QStringList> owns = codesOfKey(own, key, 0.5, 0.5, progress);
    if (!owns)
        return std::nullopt;
    qsizetype rivals = 0;
    for (const QString& rival : *owns) {
        if (!holdsCode(other, rival))
            ++rivals;
    }
    return done(rivals == 1 ? candidates.front() : QString());
}

} // namespace core
