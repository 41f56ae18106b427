#include "core/Compare.h"

#include "core/Database.h"
#include "core/EscapeQuotes.h"
#include "core/Find.h"
#include "core/Recordset.h"
#include "core/RowValues.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdint>
#include <memory>
#include <numeric>
#include <string_view>
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

// A unit apart from any text, Null included, to key the items that may have been re-coded.
const QByteArray kNullUnitKey("\x1d");

// The hash of one folded UTF-16 unit, when it is a letter or a digit.
quint64 hashedUnit(char16_t unit, quint64 hash)
{
    const char16_t folded = foldedUnit(unit);
    if (folded && QChar(folded).isLetterOrNumber())
        hash = (hash ^ folded) * 1099511628211ULL;
    return hash;
}

// The hash of a text's folded letters and digits, read straight from the engine's UTF-8: no string is made per row.
// What QString::fromUtf8 would turn into a replacement character (a bad byte, an overlong form, a surrogate)
// and any character beyond the first plane is no letter for the comparison, as in the text's folded form.
quint64 hashedUtf8(QByteArrayView utf8, quint64 hash)
{
    const auto* byte = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = byte + utf8.size();
    while (byte < end) {
        const unsigned char lead = *byte;
        if (lead < 0x80) {
            // Most of a list's text: its folded form looked up in a table of its own.
            static const std::array<char16_t, 0x80> ascii = [] {
                std::array<char16_t, 0x80> kept{};
                for (char16_t c = 0; c < 0x80; ++c) {
                    const char16_t folded = foldedUnit(c);
                    kept[c] = folded && QChar(folded).isLetterOrNumber() ? folded : 0;
                }
                return kept;
            }();
            if (const char16_t folded = ascii[lead])
                hash = (hash ^ folded) * 1099511628211ULL;
            ++byte;
            continue;
        }
        int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (end - byte < length)
            length = 1;
        char32_t point = length == 2 ? lead & 0x1F : lead & 0x0F;
        bool valid = length == 2 || length == 3;
        for (int k = 1; k < length && valid; ++k) {
            valid = (byte[k] & 0xC0) == 0x80;
            point = (point << 6) | (byte[k] & 0x3F);
        }
        if (valid && (length == 2 ? point >= 0x80 : point >= 0x800 && (point < 0xD800 || point > 0xDFFF)))
            hash = hashedUnit(char16_t(point), hash);
        byte += length;
    }
    return hash;
}

// One edition as the comparison reads it, in one pass of the engine over its rows: texts are kept as the engine
// gives them (UTF-8), an article's text once for all its subarticles, a unit or a section code once for the list.
struct Edition
{
    struct Item
    {
        quint64 description = 0;
        double price = 0;
        std::int32_t article = 0;
        std::int32_t unit = -1; // -1: Null
        std::int32_t section = 0;
        bool priced = false;
        // Older items only: the newer item of the same code, or -1.
        std::int32_t counterpart = -1;
        std::int32_t named = -1; // its code and text in 'named', when kept
    };
    // Kept apart from the items, so that an older item whose code the newer holds costs no empty strings.
    struct Named
    {
        QString code;
        Text subarticolo;
    };
    struct Article
    {
        Text text;
        quint64 hash = 0;
    };
    std::vector<Item> items;
    std::vector<Named> named;
    std::vector<Article> articles;
    std::vector<Text> units;
    QStringList sections;
    std::vector<std::int32_t> byCode;      // the items by code; items of one code in the list's order
    std::vector<std::int32_t> firstOfCode; // for each item, the first item of its code

    // Reads every row; keepText says, from the code, whether an item's texts are wanted (the newer's always,
    // the older's only when its code is gone). False when progress asked to stop.
    bool read(const PriceList& list, const std::function<bool(double)>& progress,
              const std::function<bool(Item&, const QString& code)>& keepText)
    {
        const Database& db = list.database();
        double total = 1;
        if (progress) {
            const Recordset count = db.OpenRecordset(QStringLiteral("select count(*) from prezzario"));
            total = std::max(1.0, count.Fields(0).toDouble());
            items.reserve(size_t(total));
        }
        QHash<QByteArray, std::int32_t> unitOf, sectionOf;
        QByteArray lastArticle;
        bool lastArticleNull = false;
        qint64 read = 0;
        for (Recordset rs = db.OpenRecordset(
                 QStringLiteral("select codice_totale, codice_sezione, articolo, subarticolo, simbolo, prezzo_lordo "
                                "from prezzario order by sequenza"));
             !rs.Eof(); rs.MoveNext()) {
            Item item;
            QString code = QString::fromUtf8(rs.Utf8(0));
            const QByteArrayView section = rs.Utf8(1);
            auto knownSection = sectionOf.constFind(section.toByteArray());
            if (knownSection == sectionOf.cend()) {
                sections << QString::fromUtf8(section);
                knownSection = sectionOf.insert(section.toByteArray(), std::int32_t(sections.size() - 1));
            }
            item.section = *knownSection;
            // The rows of an article come together and repeat its text.
            const QByteArrayView article = rs.Utf8(2);
            const bool articleNull = rs.IsNull(2);
            if (articles.empty() || articleNull != lastArticleNull || article != lastArticle) {
                lastArticle = article.toByteArray();
                lastArticleNull = articleNull;
                articles.push_back({articleNull ? Text() : Text::fromUtf8(article), hashedUtf8(article, kFnvBasis)});
            }
            item.article = std::int32_t(articles.size() - 1);
            item.description = hashedUtf8(rs.Utf8(3), articles.back().hash);
            if (!rs.IsNull(4)) {
                const QByteArrayView unit = rs.Utf8(4);
                auto known = unitOf.constFind(unit.toByteArray());
                if (known == unitOf.cend()) {
                    units.push_back(Text::fromUtf8(unit));
                    known = unitOf.insert(unit.toByteArray(), std::int32_t(units.size() - 1));
                }
                item.unit = *known;
            }
            if (const std::optional<double> price = numberAt(rs, 5)) {
                item.price = *price;
                item.priced = true;
            }
            if (keepText(item, code)) {
                item.named = std::int32_t(named.size());
                named.push_back({std::move(code), textAt(rs, 3)});
            }
            items.push_back(item);
            if (++read % 8192 == 0 && progress && !progress(double(read) / total))
                return false;
        }
        return true;
    }

    // Codes in QString's order (of UTF-16 units), compared inline: short codes sorted by the million.
    static std::u16string_view codeView(const QString& code)
    {
        return {reinterpret_cast<const char16_t*>(code.constData()), size_t(code.size())};
    }

    // Sorts the items by code; the items of one code keep the list's order.
    void sortByCode()
    {
        byCode.resize(items.size());
        std::iota(byCode.begin(), byCode.end(), 0);
        std::stable_sort(byCode.begin(), byCode.end(), [this](std::int32_t a, std::int32_t b) {
            return codeView(code(items[size_t(a)])) < codeView(code(items[size_t(b)]));
        });
        firstOfCode.resize(items.size());
        for (size_t k = 0; k < byCode.size(); ++k) {
            const std::int32_t item = byCode[k];
            const bool repeated = k > 0 && code(items[size_t(byCode[k - 1])]) == code(items[size_t(item)]);
            firstOfCode[size_t(item)] = repeated ? firstOfCode[size_t(byCode[k - 1])] : item;
        }
    }

    // The first item of a code, or -1.
    std::int32_t find(const QString& wantedCode) const
    {
        const std::u16string_view wanted = codeView(wantedCode);
        const auto at =
            std::lower_bound(byCode.begin(), byCode.end(), wanted, [this](std::int32_t item, std::u16string_view c) {
                return codeView(code(items[size_t(item)])) < c;
            });
        return at != byCode.end() && codeView(code(items[size_t(*at)])) == wanted ? *at : -1;
    }

    // The code and the text of an item whose texts were kept; empty for the others.
    const QString& code(const Item& item) const
    {
        static const QString none;
        return item.named < 0 ? none : named[size_t(item.named)].code;
    }
    const Text& subarticolo(const Item& item) const
    {
        static const Text none;
        return item.named < 0 ? none : named[size_t(item.named)].subarticolo;
    }

    const Item& operator[](std::int32_t item) const { return items[size_t(item)]; }
    Text unit(const Item& item) const { return item.unit < 0 ? Text() : units[size_t(item.unit)]; }
    std::optional<double> price(const Item& item) const
    {
        return item.priced ? std::optional(item.price) : std::nullopt;
    }
    QByteArray unitKey(const Item& item) const
    {
        return item.unit < 0 ? kNullUnitKey : units[size_t(item.unit)].utf8().toByteArray();
    }
};

// The key a gone or a new item is paired by: its description's hash and its unit.
using PairingKey = std::pair<quint64, QByteArray>;

QByteArray unitKeyAt(const Recordset& rs, int i)
{
    return rs.IsNull(i) ? kNullUnitKey : rs.Utf8(i).toByteArray();
}

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
    const QByteArray& unit = key.second;
    const bool nullUnit = key.second == kNullUnitKey;
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
            article = articles.insert(articolo, hashedUtf8(rs.Utf8(1), kFnvBasis));
        if (hashedUtf8(rs.Utf8(2), *article) == key.first)
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

std::optional<double> changePercent(std::optional<double> older, std::optional<double> newer)
{
    if (!older || !newer || *older == 0)
        return std::nullopt;
    return (*newer - *older) * 100 / *older;
}

std::optional<double> ComparedItem::changePercent() const
{
    return core::changePercent(oldPrice, newPrice);
}

namespace {

// A step of the histogram with its sign, and a true minus: a hyphen is too short to be read beside the bars.
QString signedStep(int step)
{
    const QLocale locale;
    if (step > 0)
        return u'+' + locale.toString(step);
    if (step < 0)
        return QStringLiteral("−") + locale.toString(-step);
    return locale.toString(step);
}

} // namespace

int ChangeHistogram::barOf(double percent)
{
    // A change of exactly 2 % computed as 1.9999999999 still belongs to "+2 ÷ +4".
    const double rounded = std::round(percent * 1e6) / 1e6;
    if (rounded < -kReach)
        return 0;
    if (rounded >= kReach)
        return kBars - 1;
    return 1 + int(std::floor((rounded + kReach) / kStep));
}

QString ChangeHistogram::stepLabel(int bar)
{
    return signedStep(-kReach + (bar - 1) * kStep);
}

QString ChangeHistogram::label(int bar)
{
    if (bar <= 0)
        return QStringLiteral("< ") + signedStep(-kReach);
    if (bar >= kBars - 1)
        return QStringLiteral("≥ ") + signedStep(kReach);
    return stepLabel(bar) + QStringLiteral(" ÷ ") + stepLabel(bar + 1);
}

bool CompareFilter::accepts(const ComparedItem& item) const
{
    if (states == States::AllButUnchanged ? item.state == CompareState::Invariata
                                          : states == States::One && item.state != state)
        return false;
    if (!leastPercent)
        return true;
    const std::optional<double> percent = item.changePercent();
    return percent && std::abs(*percent) >= *leastPercent;
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
    // The newer first, so that of the older only the items whose code is gone keep their texts.
    Edition after, before;
    if (!after.read(newer, share(0, 0.45), [](Edition::Item&, const QString&) { return true; }))
        return std::nullopt;
    after.sortByCode();
    std::vector<std::int32_t> olderOf(after.items.size(), -1); // the first newer item of a code → its older item
    std::int32_t olderItem = 0;
    const bool read = before.read(older, share(0.45, 0.45), [&](Edition::Item& item, const QString& code) {
        item.counterpart = after.find(code);
        const std::int32_t index = olderItem++;
        if (item.counterpart < 0)
            return true;
        // A code the older holds twice is compared by its first item; the others are the same code, not gone.
        std::int32_t& first = olderOf[size_t(item.counterpart)];
        if (first < 0)
            first = index;
        return false;
    });
    if (!read)
        return std::nullopt;

    // A gone code and a new one are one item re-coded only when nothing else, on either side, could be it.
    struct Candidates
    {
        QList<std::int32_t> gone, added;
    };
    QHash<std::pair<quint64, QByteArray>, Candidates> candidates;
    std::vector<std::int32_t> goneByCode;
    for (std::int32_t item = 0; item < std::int32_t(before.items.size()); ++item) {
        if (before[item].counterpart < 0)
            goneByCode.push_back(item);
    }
    std::stable_sort(goneByCode.begin(), goneByCode.end(), [&before](std::int32_t a, std::int32_t b) {
        return Edition::codeView(before.code(before[a])) < Edition::codeView(before.code(before[b]));
    });
    for (const std::int32_t item : goneByCode)
        candidates[{before[item].description, before.unitKey(before[item])}].gone << item;
    // The newer items of a code the older lacks: the first of each code is the one looked up.
    const auto firstOfCode = [&after](std::int32_t item) { return after.firstOfCode[size_t(item)]; };
    for (const std::int32_t item : after.byCode) {
        if (olderOf[size_t(firstOfCode(item))] < 0)
            candidates[{after[item].description, after.unitKey(after[item])}].added << item;
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
    comparison.items.reserve(qsizetype(after.items.size() + goneByCode.size()) - recoded.size());
    QList<double> percents;
    QMap<QString, QList<double>> sectionPercents;
    for (const std::int32_t item : after.byCode) {
        const Edition::Item& now = after[item];
        ComparedItem compared;
        compared.newCode = after.code(now);
        compared.section = after.sections[now.section];
        compared.articolo = after.articles[size_t(now.article)].text;
        compared.subarticolo = after.subarticolo(now);
        compared.newUnit = after.unit(now);
        compared.newPrice = after.price(now);
        std::int32_t was = olderOf[size_t(firstOfCode(item))];
        if (was < 0)
            was = recodedFrom.value(item, -1);
        if (was < 0) {
            compared.state = CompareState::Nuova;
            ++comparison.nuove;
        } else {
            const Edition::Item& then = before[was];
            compared.oldCode = then.counterpart < 0 ? before.code(then) : compared.newCode;
            compared.oldUnit = before.unit(then);
            compared.oldPrice = before.price(then);
            if (then.counterpart < 0) {
                compared.state = CompareState::Ricodificata;
                ++comparison.ricodificate;
            } else if (compared.oldPrice == compared.newPrice && compared.oldUnit == compared.newUnit &&
                       then.description == now.description) {
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
    for (const std::int32_t item : goneByCode) {
        if (recoded.contains(item))
            continue;
        const Edition::Item& then = before[item];
        ComparedItem compared;
        compared.state = CompareState::Eliminata;
        compared.oldCode = before.code(then);
        compared.section = before.sections[then.section];
        compared.articolo = before.articles[size_t(then.article)].text;
        compared.subarticolo = before.subarticolo(then);
        compared.oldUnit = before.unit(then);
        compared.oldPrice = before.price(then);
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
    const PairingKey key{hashedUtf8(item.Utf8(1), hashedUtf8(item.Utf8(0), kFnvBasis)), unitKeyAt(item, 2)};

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
