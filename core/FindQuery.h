#pragma once

#include "core/Highlight.h"
#include "core/Text.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <string>
#include <vector>

namespace core {

// What Trova is asked: the typed words, folded as it compares them, and the filters beside the box; and the
// marker that shows in a cell the words it matched.

// A character as Trova compares it: lower case, without its accent. One UTF-16 unit for one, so that a
// position in a folded text is the same position in the text; 0 for a combining mark, which is skipped.
char16_t foldedUnit(char16_t unit);
// A text folded unit by unit, marks dropped.
QString foldText(QStringView text);

struct FindWords
{
    std::vector<std::string> words; // folded, UTF-8
    std::vector<std::string> codes; // folded, UTF-8

    bool isEmpty() const { return words.empty() && codes.empty(); }
};
FindWords parseFindText(QStringView typed);

// The filters beside the box; each left unset lets every item through.
struct FindFilter
{
    QString section; // codice_sezione
    std::optional<Text> unit;
    std::optional<double> minPrice;
    std::optional<double> maxPrice;

    bool isEmpty() const { return section.isEmpty() && !unit && !minPrice && !maxPrice; }
};

// Marks the words in a cell as the search matches them: the words at a word's start, the codes at the start
// of the cell or of a segment.
class FindMarker : public TextMarker
{
public:
    explicit FindMarker(const FindWords& words);
    QList<TextRange> ranges(QStringView text) const override;
    qsizetype reach() const override { return m_reach; }
    bool isEmpty() const { return m_words.isEmpty() && m_codes.isEmpty(); }

private:
    QStringList m_words; // folded
    QStringList m_codes; // folded
    qsizetype m_reach = 0;
};

} // namespace core
