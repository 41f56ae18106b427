#pragma once

#include "core/FindQuery.h"
#include "core/PriceList.h"
#include "core/Text.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace core {

// The columns of Trova's list and of prezzario-query find.
enum class FindColumn {
    Code,
    Description, // the article's opening and the subarticle's text
    Unit,
    Price,
    LabourShare,
    LabourAmount,
};
inline constexpr int kFindColumns = 6;

// An item told from its siblings in one line: the opening of its article's text, then its own text.
QString shortDescription(const QString& articolo, const QString& subarticolo);
// The item's whole description, as files and the clipboard carry it: the article's text, then its own.
QString wholeDescription(const QString& articolo, const QString& subarticolo);

// Every priced item of one list with its folded words, read once; searched many times, from any thread.
class FindIndex
{
public:
    // Reads the list in its order. 'progress' gets the share done (0 to 1) now and then and returns false to
    // stop: build then returns null. Engine failures throw DbError.
    static std::shared_ptr<const FindIndex> build(const PriceList& list,
                                                  const std::function<bool(double)>& progress = {});

    qsizetype size() const { return qsizetype(m_items.size()); }

    // The matching items, as positions in the list's order; none when neither words nor filters are given.
    // Null when 'stop' turned true meanwhile.
    std::optional<std::vector<std::int32_t>> find(const FindWords& words, const FindFilter& filter,
                                                  const std::atomic<bool>* stop = nullptr) const;

    // The words as find takes them: a code of digits that no item's code holds is taken as its words, so
    // that a number with a decimal dot ("2.5") finds the texts that hold it.
    FindWords resolved(const FindWords& words) const;

    // Every unit of measure of the list, once, in alphabetical order.
    QList<Text> units() const;

    QString code(std::int32_t item) const;
    Subarticle subarticle(std::int32_t item) const;
    // What a cell of Trova's list shows: the description shortened, prices and amounts with two decimals.
    QString cell(std::int32_t item, FindColumn column) const;
    // What a copy of the cell carries: the whole description; the rest as shown.
    QString copiedCell(std::int32_t item, FindColumn column) const;
    // The texts of the item's levels: section code and text, chapter, article.
    QString sectionCode(std::int32_t item) const;
    const Text& sezione(std::int32_t item) const;
    const Text& capitolo(std::int32_t item) const;
    const Text& articolo(std::int32_t item) const;

    // The opening of an article's text that tells an item from other articles' ones: its first sentence
    // when shorter than 80 characters, else its first line cut at a word before 80.
    static QString articleOpening(const QString& articolo);

private:
    struct Level
    {
        QByteArray code; // section "01"; chapter and article codes as the list holds them
        Text text;
        std::int32_t parent = -1;
    };
    // Folded words of many entries, one after the other; each entry starts with a space before every word.
    struct Words
    {
        std::string bytes;
        std::vector<std::uint32_t> starts{0}; // entry e is bytes[starts[e], starts[e + 1])
        qsizetype count() const { return qsizetype(starts.size()) - 1; }
    };
    struct Item
    {
        std::int32_t article = 0;
        std::int32_t chapter = 0;
        std::int32_t section = 0;
        std::int32_t unit = -1;
        std::uint32_t codeStart = 0, codeEnd = 0;
        std::uint32_t textStart = 0, textEnd = 0; // subarticolo in m_texts
        double prezzo = 0, incidenza = 0, somma = 0;
        std::uint8_t present = 0; // bits 1, 2, 4: prezzo, incidenza, somma are not Null; kNullText
    };
    static constexpr std::uint8_t kNullText = 8;
    class Builder;

    std::vector<Level> m_levels[3]; // sections, chapters, articles
    Words m_levelWords[3];
    std::vector<Item> m_items;
    Words m_itemWords;   // subarticolo and the code's segments
    std::string m_codes; // each code folded and preceded by a line feed, in m_codeStarts
    std::vector<std::uint32_t> m_codeStarts{0};
    QByteArray m_originalCodes;
    QByteArray m_texts;
    std::vector<Text> m_units;
};

} // namespace core
