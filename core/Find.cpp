#include "core/Find.h"

#include "core/Error.h"
#include "core/Field.h"
#include "core/Numbers.h"
#include "core/Recordset.h"
#include "core/RowValues.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <string_view>

namespace core {

namespace {

// Folding and word characters for every UTF-16 unit, worked out once: the index folds every text of the
// list, and QChar's decomposition makes a string each time it is asked.
struct FoldTable
{
    std::array<char16_t, 65536> folded{};
    std::bitset<65536> word;

    FoldTable()
    {
        for (unsigned u = 0; u < 65536; ++u) {
            QChar c(static_cast<char16_t>(u));
            if (c.isSurrogate()) {
                folded[u] = char16_t(u);
                continue;
            }
            if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_Enclosing) {
                folded[u] = 0;
                continue;
            }
            // "é" is "e" and an accent; "³" and "ｍ" are other forms of "3" and "m".
            for (int depth = 0; depth < 4 && c.decompositionTag() != QChar::NoDecomposition; ++depth) {
                const QString parts = c.decomposition();
                if (parts.isEmpty() || (c.decompositionTag() != QChar::Canonical && parts.size() != 1))
                    break;
                c = parts[0];
            }
            folded[u] = c.toCaseFolded().unicode();
            word[u] = QChar(folded[u]).isLetterOrNumber();
        }
    }
};

const FoldTable& table()
{
    static const FoldTable t;
    return t;
}

bool isWordUnit(char16_t folded)
{
    return folded != 0 && table().word[folded];
}

void appendUtf8(char16_t unit, std::string& out)
{
    if (unit < 0x80) {
        out += char(unit);
    } else if (unit < 0x800) {
        out += char(0xC0 | (unit >> 6));
        out += char(0x80 | (unit & 0x3F));
    } else {
        out += char(0xE0 | (unit >> 12));
        out += char(0x80 | ((unit >> 6) & 0x3F));
        out += char(0x80 | (unit & 0x3F));
    }
}

// Appends the words of 'text', folded, each after one space.
void appendWords(QStringView text, std::string& out)
{
    const FoldTable& t = table();
    bool inWord = false;
    for (const QChar c : text) {
        const char16_t f = t.folded[c.unicode()];
        if (f == 0)
            continue; // a mark belongs to the letter before it
        if (!t.word[f]) {
            inWord = false;
            continue;
        }
        if (!inWord)
            out += ' ';
        inWord = true;
        appendUtf8(f, out);
    }
}

void appendWords(QByteArrayView utf8, std::string& out)
{
    appendWords(QString::fromUtf8(utf8), out);
}

std::string foldedUtf8(QStringView text)
{
    std::string out;
    for (const QChar c : text) {
        if (const char16_t f = table().folded[c.unicode()])
            appendUtf8(f, out);
    }
    return out;
}

void addOnce(std::vector<std::string>& list, std::string value)
{
    if (!value.empty() && std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(std::move(value));
}

// Adds each word of 'text', folded, that the list lacks.
void addWords(std::vector<std::string>& list, QStringView text)
{
    std::string words;
    appendWords(text, words);
    for (size_t at = 0; at < words.size();) {
        const size_t next = std::min(words.find(' ', at + 1), words.size());
        addOnce(list, words.substr(at + 1, next - at - 1));
        at = next;
    }
}

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

char16_t foldedUnit(char16_t unit)
{
    return table().folded[unit];
}

QString foldText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (const char16_t f = foldedUnit(c.unicode()))
            out += QChar(f);
    }
    return out;
}

FindWords parseFindText(QStringView typed)
{
    FindWords result;
    qsizetype i = 0;
    while (i < typed.size()) {
        while (i < typed.size() && typed[i].isSpace())
            ++i;
        qsizetype end = i;
        while (end < typed.size() && !typed[end].isSpace())
            ++end;
        QStringView token = typed.mid(i, end - i);
        i = end;
        // Punctuation around a token is not part of it: "(23.P01)" is a code, "calcestruzzo," a word.
        while (!token.isEmpty() && !isWordUnit(foldedUnit(token.front().unicode())))
            token = token.sliced(1);
        while (!token.isEmpty() && !isWordUnit(foldedUnit(token.back().unicode())))
            token.chop(1);
        bool code = false;
        for (qsizetype k = 1; k + 1 < token.size() && !code; ++k) {
            code = token[k] == u'.' && isWordUnit(foldedUnit(token[k - 1].unicode())) &&
                   isWordUnit(foldedUnit(token[k + 1].unicode()));
        }
        if (code) {
            addOnce(result.codes, foldedUtf8(token));
            continue;
        }
        addWords(result.words, token);
    }
    return result;
}

// The marker.

FindMarker::FindMarker(const FindWords& words)
{
    for (const std::string& word : words.words)
        m_words << QString::fromUtf8(word);
    for (const std::string& code : words.codes)
        m_codes << QString::fromUtf8(code);
    for (const QStringList* list : {&m_words, &m_codes}) {
        for (const QString& word : *list)
            m_reach = std::max(m_reach, 2 * word.size());
    }
}

QList<TextRange> FindMarker::ranges(QStringView text) const
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(foldedUnit(text[i].unicode()));
    std::vector<std::pair<qsizetype, qsizetype>> found; // start, end

    // Folded units compared, marks passed over; the end of the match, or -1.
    const auto matchAt = [&](qsizetype at, const QString& word) -> qsizetype {
        qsizetype k = 0;
        for (; at < folded.size() && k < word.size(); ++at) {
            if (folded[at].unicode() == 0)
                continue;
            if (folded[at] != word[k])
                return -1;
            ++k;
        }
        return k == word.size() ? at : -1;
    };
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const char16_t before = i > 0 ? folded[i - 1].unicode() : u' ';
        if (!m_codes.isEmpty() && (i == 0 || before == u'.')) {
            for (const QString& code : m_codes) {
                const qsizetype end = matchAt(i, code);
                if (end > 0)
                    found.emplace_back(i, end);
            }
        }
        if (isWordUnit(folded[i].unicode()) && (i == 0 || (!isWordUnit(before) && before != 0))) {
            for (const QString& word : m_words) {
                const qsizetype end = matchAt(i, word);
                if (end > 0)
                    found.emplace_back(i, end);
            }
        }
    }
    std::sort(found.begin(), found.end());
    QList<TextRange> ranges;
    for (const auto& [start, end] : found) {
        if (!ranges.isEmpty() && start <= ranges.back().start + ranges.back().length) {
            TextRange& last = ranges.back();
            last.length = std::max(last.length, end - last.start);
        } else {
            ranges.append({start, end - start});
        }
    }
    return ranges;
}

// Building the index.

class FindIndex::Builder
{
public:
    Builder(FindIndex& index, const std::function<bool(double)>& progress) : m_index(index), m_progress(progress) {}

    bool build(const PriceList& list)
    {
        const Database& db = list.database();
        return hasLevelTables(db) ? fromLevelTables(db) : fromView(db);
    }

private:
    // The builder's layout: each level read once from its table.
    bool fromLevelTables(const Database& db)
    {
        QHash<qint64, std::int32_t> sections, chapters, articles;
        for (Recordset rs = db.OpenRecordset(QStringLiteral("select id, codice_sezione, sezione from sezioni"));
             !rs.Eof(); rs.MoveNext())
            sections.insert(id(rs, 0), addLevel(0, rs.Utf8(1), textAt(rs, 2), -1));
        for (Recordset rs = db.OpenRecordset(
                 QStringLiteral("select id, sezione, codice_capitolo, capitolo from capitoli"));
             !rs.Eof(); rs.MoveNext()) {
            const auto section = sections.constFind(id(rs, 1));
            if (section != sections.cend())
                chapters.insert(id(rs, 0), addLevel(1, rs.Utf8(2), textAt(rs, 3), *section));
        }
        for (Recordset rs = db.OpenRecordset(
                 QStringLiteral("select id, capitolo, codice_articolo, articolo from articoli"));
             !rs.Eof(); rs.MoveNext()) {
            const auto chapter = chapters.constFind(id(rs, 1));
            if (chapter != chapters.cend())
                articles.insert(id(rs, 0), addLevel(2, rs.Utf8(2), textAt(rs, 3), *chapter));
        }
        const double total = double(std::max<qint64>(1, maximum(db, "select max(sequenza) from subarticoli")));
        reserve(qint64(total));
        qint64 read = 0;
        for (Recordset rs = db.OpenRecordset(
                 QStringLiteral("select articolo, codice_totale, subarticolo, simbolo, prezzo_lordo, "
                                "incidenza_manodopera, somma_manodopera from subarticoli order by sequenza"));
             !rs.Eof(); rs.MoveNext()) {
            // As the view: a subarticle without its article is not in the list.
            const auto article = articles.constFind(id(rs, 0));
            if (article != articles.cend())
                addItem(rs, 1, *article);
            if (++read % 8192 == 0 && !report(double(read) / total))
                return false;
        }
        return true;
    }

    // The earlier one-table layout: the levels are told apart by code and text as the rows come.
    bool fromView(const Database& db)
    {
        const double total = double(std::max<qint64>(1, maximum(db, "select count(*) from prezzario")));
        reserve(qint64(total));
        QHash<QByteArray, std::int32_t> known[3];
        QByteArray key;
        qint64 read = 0;
        for (Recordset rs = db.OpenRecordset(
                 QStringLiteral("select codice_sezione, sezione, codice_capitolo, capitolo, codice_articolo, articolo, "
                                "codice_totale, subarticolo, simbolo, prezzo_lordo, incidenza_manodopera, "
                                "somma_manodopera from prezzario order by sequenza"));
             !rs.Eof(); rs.MoveNext()) {
            std::int32_t parent = -1;
            key.clear();
            for (int level = 0; level < 3; ++level) {
                // A level is the same one when its code and its text are, under the same parent.
                key += rs.Utf8(2 * level);
                key += '\x1f';
                key += rs.IsNull(2 * level + 1) ? QByteArrayView("\x1e") : rs.Utf8(2 * level + 1);
                key += '\x1f';
                const auto found = known[level].constFind(key);
                parent = found != known[level].cend()
                             ? *found
                             : *known[level].insert(key, addLevel(level, rs.Utf8(2 * level), textAt(rs, 2 * level + 1),
                                                                  parent));
            }
            addItem(rs, 6, parent);
            if (++read % 8192 == 0 && !report(double(read) / total))
                return false;
        }
        return true;
    }

    static qint64 id(const Recordset& rs, int i) { return static_cast<qint64>(rs.Fields(i).toDouble()); }

    static qint64 maximum(const Database& db, const char* sql)
    {
        const Recordset rs = db.OpenRecordset(QString::fromLatin1(sql));
        return rs.Eof() ? 0 : static_cast<qint64>(rs.Fields(0).toDouble());
    }

    bool report(double done) const { return !m_progress || m_progress(std::min(done, 1.0)); }

    void reserve(qint64 items)
    {
        m_index.m_items.reserve(size_t(items));
        m_index.m_itemWords.starts.reserve(size_t(items) + 1);
        m_index.m_codeStarts.reserve(size_t(items) + 1);
    }

    std::int32_t addLevel(int level, QByteArrayView code, Text text, std::int32_t parent)
    {
        std::vector<Level>& levels = m_index.m_levels[level];
        levels.push_back({code.toByteArray(), std::move(text), parent});
        Words& words = m_index.m_levelWords[level];
        appendWords(levels.back().text.utf8(), words.bytes);
        words.starts.push_back(std::uint32_t(words.bytes.size()));
        return std::int32_t(levels.size() - 1);
    }

    // Six columns from 'first': codice_totale, subarticolo, simbolo, prezzo_lordo, incidenza_manodopera,
    // somma_manodopera.
    void addItem(const Recordset& rs, int first, std::int32_t article)
    {
        FindIndex& x = m_index;
        Item item;
        item.article = article;
        item.chapter = x.m_levels[2][size_t(article)].parent;
        item.section = x.m_levels[1][size_t(item.chapter)].parent;

        const QByteArrayView code = rs.Utf8(first);
        item.codeStart = std::uint32_t(x.m_originalCodes.size());
        x.m_originalCodes += code;
        item.codeEnd = std::uint32_t(x.m_originalCodes.size());
        x.m_codes += '\n';
        x.m_codes += foldedUtf8(QString::fromUtf8(code));
        x.m_codeStarts.push_back(std::uint32_t(x.m_codes.size()));

        item.textStart = std::uint32_t(x.m_texts.size());
        if (rs.IsNull(first + 1))
            item.present |= kNullText;
        else
            x.m_texts += rs.Utf8(first + 1);
        item.textEnd = std::uint32_t(x.m_texts.size());
        appendWords(rs.Utf8(first + 1), x.m_itemWords.bytes);
        appendWords(QString::fromUtf8(code), x.m_itemWords.bytes);
        x.m_itemWords.starts.push_back(std::uint32_t(x.m_itemWords.bytes.size()));

        if (!rs.IsNull(first + 2)) {
            const QByteArrayView unit = rs.Utf8(first + 2);
            auto found = m_units.constFind(unit.toByteArray());
            if (found == m_units.cend()) {
                x.m_units.push_back(Text::fromUtf8(unit));
                found = m_units.insert(unit.toByteArray(), std::int32_t(x.m_units.size() - 1));
            }
            item.unit = *found;
        }
        double* numbers[] = {&item.prezzo, &item.incidenza, &item.somma};
        for (int k = 0; k < 3; ++k) {
            if (const std::optional<double> value = numberAt(rs, first + 3 + k)) {
                *numbers[k] = *value;
                item.present |= std::uint8_t(1 << k);
            }
        }
        x.m_items.push_back(item);
    }

    FindIndex& m_index;
    const std::function<bool(double)>& m_progress;
    QHash<QByteArray, std::int32_t> m_units;
};

std::shared_ptr<const FindIndex> FindIndex::build(const PriceList& list, const std::function<bool(double)>& progress)
{
    auto index = std::make_shared<FindIndex>();
    Builder builder(*index, progress);
    if (!builder.build(list))
        return nullptr;
    // The buffers grew by doubling: what they did not fill goes back.
    for (Words* words : {&index->m_itemWords, &index->m_levelWords[0], &index->m_levelWords[1], &index->m_levelWords[2]}) {
        words->bytes.shrink_to_fit();
        words->starts.shrink_to_fit();
    }
    index->m_codes.shrink_to_fit();
    index->m_codeStarts.shrink_to_fit();
    index->m_originalCodes.squeeze();
    index->m_texts.squeeze();
    if (index->m_codes.size() > UINT32_MAX || index->m_itemWords.bytes.size() > UINT32_MAX ||
        index->m_texts.size() > qsizetype(UINT32_MAX))
        throw DbError(QStringLiteral("Il prezzario è troppo grande per la ricerca rapida."));
    return index;
}

// Searching.

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
        const bool number = std::all_of(code.begin(), code.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
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
