#include "core/Find.h"

#include "core/FindFolding.h"
#include "core/Numbers.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace core {

namespace {

// Marks the entries of 'bytes' that hold 'needle'. A word's needle starts with its space; a code's is accepted
// at the start of the entry or of a segment.
void scan(std::string_view bytes, const std::vector<std::uint32_t>& starts, std::string_view needle, bool code,
          std::vector<std::uint8_t>& hits)
{
    hits.assign(starts.size() - 1, 0);
    const char* base = bytes.data();
    size_t pos = 0;
    auto entry = starts.begin();
    while (pos < bytes.size()) {
        const void* found = memmem(base + pos, bytes.size() - pos, needle.data(), needle.size());
        if (!found)
            break;
        const size_t at = size_t(static_cast<const char*>(found) - base);
        if (code && at > 0 && base[at - 1] != '\n' && base[at - 1] != '.') {
            pos = at + 1;
            continue;
        }
        entry = std::upper_bound(entry, starts.end(), std::uint32_t(at)) - 1;
        const size_t e = size_t(entry - starts.begin());
        hits[e] = 1;
        pos = starts[e + 1]; // one hit is enough for an entry
    }
}

bool stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

QString moneyCell(bool present, double value)
{
    return present ? moneyText(value) : QString();
}

} // namespace

std::optional<std::vector<std::int32_t>> FindIndex::find(const FindWords& words, const FindFilter& filter,
                                                         const std::atomic<bool>* stop) const
{
    // Nothing asked, nothing found: an empty box lists no item rather than the whole list.
    if (words.isEmpty() && filter.isEmpty())
        return std::vector<std::int32_t>();
    const size_t n = m_items.size();
    std::vector<std::uint8_t> alive(n, 1);

    // The filters first: they cost a pass over the items, the words a pass over the texts.
    if (!filter.isEmpty()) {
        std::int32_t unit = -2; // no such unit: nothing passes
        if (filter.unit) {
            for (size_t u = 0; u < m_units.size(); ++u) {
                if (m_units[u] == *filter.unit)
                    unit = std::int32_t(u);
            }
        }
        std::vector<std::uint8_t> inSection;
        if (!filter.section.isEmpty()) {
            const QByteArray section = filter.section.toUtf8();
            inSection.resize(m_levels[0].size());
            for (size_t s = 0; s < m_levels[0].size(); ++s)
                inSection[s] = m_levels[0][s].code == section;
        }
        for (size_t i = 0; i < n; ++i) {
            const Item& item = m_items[i];
            bool keep = inSection.empty() || inSection[size_t(item.section)];
            keep = keep && (!filter.unit || item.unit == unit);
            if (filter.minPrice || filter.maxPrice) {
                keep = keep && (item.present & 1) && (!filter.minPrice || item.prezzo >= *filter.minPrice) &&
                       (!filter.maxPrice || item.prezzo <= *filter.maxPrice);
            }
            alive[i] = keep;
        }
    }

    const FindWords asked = resolved(words);
    std::vector<std::uint8_t> hits[3];
    std::vector<std::uint8_t> itemHits;
    std::string needle;
    for (const std::string& word : asked.words) {
        needle = ' ' + word;
        for (int level = 0; level < 3; ++level) {
            scan(m_levelWords[level].bytes, m_levelWords[level].starts, needle, false, hits[level]);
            if (stopped(stop))
                return std::nullopt;
        }
        scan(m_itemWords.bytes, m_itemWords.starts, needle, false, itemHits);
        if (stopped(stop))
            return std::nullopt;
        for (size_t i = 0; i < n; ++i) {
            const Item& item = m_items[i];
            alive[i] &= itemHits[i] | hits[2][size_t(item.article)] | hits[1][size_t(item.chapter)] |
                        hits[0][size_t(item.section)];
        }
    }
    for (const std::string& code : asked.codes) {
        scan(m_codes, m_codeStarts, code, true, itemHits);
        if (stopped(stop))
            return std::nullopt;
        for (size_t i = 0; i < n; ++i)
            alive[i] &= itemHits[i];
    }

    std::vector<std::int32_t> found;
    found.reserve(size_t(std::count(alive.begin(), alive.end(), std::uint8_t(1))));
    for (size_t i = 0; i < n; ++i) {
        if (alive[i])
            found.push_back(std::int32_t(i));
    }
    return found;
}

FindWords FindIndex::resolved(const FindWords& words) const
{
    FindWords result;
    result.words = words.words;
    std::vector<std::uint8_t> hits;
    for (const std::string& code : words.codes) {
        scan(m_codes, m_codeStarts, code, true, hits);
        const bool number =
            std::all_of(code.begin(), code.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
        if (!number || std::find(hits.begin(), hits.end(), std::uint8_t(1)) != hits.end()) {
            addOnce(result.codes, code);
            continue;
        }
        addWords(result.words, QString::fromUtf8(code));
    }
    return result;
}

QList<Text> FindIndex::units() const
{
    QList<Text> units;
    for (const Text& unit : m_units) {
        if (!unit.isEmpty())
            units.append(unit);
    }
    std::sort(units.begin(), units.end(), [](const Text& a, const Text& b) {
        const int folded = QString::compare(foldText(a.toString()), foldText(b.toString()));
        return folded != 0 ? folded < 0 : a.utf8() < b.utf8();
    });
    return units;
}

QString FindIndex::code(std::int32_t item) const
{
    const Item& x = m_items[size_t(item)];
    return QString::fromUtf8(m_originalCodes.constData() + x.codeStart, x.codeEnd - x.codeStart);
}

Subarticle FindIndex::subarticle(std::int32_t item) const
{
    const Item& x = m_items[size_t(item)];
    Subarticle s;
    s.code = code(item);
    if (!(x.present & kNullText))
        s.subarticolo = Text::fromUtf8(QByteArrayView(m_texts.constData() + x.textStart, x.textEnd - x.textStart));
    if (x.unit >= 0)
        s.simbolo = m_units[size_t(x.unit)];
    if (x.present & 1)
        s.prezzoLordo = x.prezzo;
    if (x.present & 2)
        s.incidenzaManodopera = x.incidenza;
    if (x.present & 4)
        s.sommaManodopera = x.somma;
    return s;
}

QString FindIndex::cell(std::int32_t item, FindColumn column) const
{
    const Item& x = m_items[size_t(item)];
    switch (column) {
    case FindColumn::Code:
        return code(item);
    case FindColumn::Description:
        return shortDescription(articolo(item).toString(),
                                QString::fromUtf8(m_texts.constData() + x.textStart, x.textEnd - x.textStart));
    case FindColumn::Unit:
        return x.unit >= 0 ? m_units[size_t(x.unit)].toString() : QString();
    case FindColumn::Price:
        return moneyCell(x.present & 1, x.prezzo);
    case FindColumn::LabourShare:
        return x.present & 2 ? percentText(x.incidenza) + QStringLiteral(" %") : QString();
    case FindColumn::LabourAmount:
        return moneyCell(x.present & 4, x.somma);
    }
    return {};
}

QString FindIndex::copiedCell(std::int32_t item, FindColumn column) const
{
    if (column != FindColumn::Description)
        return cell(item, column);
    const Item& x = m_items[size_t(item)];
    return wholeDescription(articolo(item).toString(),
                            QString::fromUtf8(m_texts.constData() + x.textStart, x.textEnd - x.textStart));
}

QString FindIndex::sectionCode(std::int32_t item) const
{
    return QString::fromUtf8(m_levels[0][size_t(m_items[size_t(item)].section)].code);
}

const Text& FindIndex::sezione(std::int32_t item) const
{
    return m_levels[0][size_t(m_items[size_t(item)].section)].text;
}

const Text& FindIndex::capitolo(std::int32_t item) const
{
    return m_levels[1][size_t(m_items[size_t(item)].chapter)].text;
}

const Text& FindIndex::articolo(std::int32_t item) const
{
    return m_levels[2][size_t(m_items[size_t(item)].article)].text;
}

QString wholeDescription(const QString& articolo, const QString& subarticolo)
{
    const QString article = articolo.trimmed();
    const QString own = subarticolo.trimmed();
    if (article.isEmpty() || own.isEmpty())
        return article + own;
    return article + u' ' + own;
}

QString shortDescription(const QString& articolo, const QString& subarticolo)
{
    const QString opening = FindIndex::articleOpening(articolo);
    if (opening.isEmpty() || subarticolo.isEmpty())
        return opening + subarticolo;
    return opening + QStringLiteral(" – ") + subarticolo;
}

QString FindIndex::articleOpening(const QString& articolo)
{
    constexpr qsizetype kLongest = 80;
    qsizetype end = 0;
    while (end < articolo.size() && articolo[end] != u'\n' && articolo[end] != u'\r')
        ++end;
    QString opening = articolo.left(end).simplified();
    // Its first sentence, when that is short enough to say what the article is.
    const qsizetype sentenceEnd = opening.indexOf(QLatin1String(". "));
    if (sentenceEnd > 0 && sentenceEnd < kLongest)
        return opening.left(sentenceEnd);
    if (opening.size() <= kLongest)
        return opening;
    qsizetype cut = opening.lastIndexOf(u' ', kLongest);
    if (cut < kLongest / 2)
        cut = kLongest;
    return opening.left(cut).trimmed() + QChar(0x2026);
}

} // namespace core
