#include "core/FindIndex.h"

#include "core/Error.h"
#include "core/Field.h"
#include "core/FindFolding.h"
#include "core/Recordset.h"
#include "core/RowValues.h"

#include <QHash>

#include <algorithm>

namespace core {

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
        for (Recordset rs =
                 db.OpenRecordset(QStringLiteral("select id, sezione, codice_capitolo, capitolo from capitoli"));
             !rs.Eof(); rs.MoveNext()) {
            const auto section = sections.constFind(id(rs, 1));
            if (section != sections.cend())
                chapters.insert(id(rs, 0), addLevel(1, rs.Utf8(2), textAt(rs, 3), *section));
        }
        for (Recordset rs =
                 db.OpenRecordset(QStringLiteral("select id, capitolo, codice_articolo, articolo from articoli"));
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
                             : *known[level].insert(
                                   key, addLevel(level, rs.Utf8(2 * level), textAt(rs, 2 * level + 1), parent));
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
    for (Words* words :
         {&index->m_itemWords, &index->m_levelWords[0], &index->m_levelWords[1], &index->m_levelWords[2]}) {
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

} // namespace core
