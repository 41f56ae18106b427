#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

namespace core {

// A run of characters of a text, in UTF-16 units.
struct TextRange
{
    qsizetype start = 0;
    qsizetype length = 0;

    bool operator==(const TextRange&) const = default;
};

// What marks the runs of a cell's text that a search found.
class TextMarker
{
public:
    virtual ~TextMarker() = default;
    // The marked runs of text, in order, none overlapping.
    virtual QList<TextRange> ranges(QStringView text) const = 0;
    // The most units of text one marked run can take: a cell showing the first n units of its text needs
    // only the first n + reach() looked at.
    virtual qsizetype reach() const = 0;
};

// Where the text typed in a text search shows in a cell. Case is folded as the search folds it (the
// search compares upper case with upper case, so "perché" marks "PERCHÉ" and "Perché", while "PERCHE" does
// not mark "PERCHÉ"). The search wraps the typed text in asterisks and hands it to the dialect's like, so
// its wildcards keep their meaning here: each piece between asterisks is marked wherever it occurs, with
// ? one character, # one digit, [..] and [!..] a class, a '[' without its ']' itself. A piece made of ?
// alone is left unmarked: it would mark every character.
class HighlightPattern : public TextMarker
{
public:
    HighlightPattern() = default;
    explicit HighlightPattern(QStringView searched);

    bool isEmpty() const { return m_pieces.empty(); }
    QList<TextRange> ranges(QStringView text) const override;
    qsizetype reach() const override { return m_reach; }

private:
    struct Token
    {
        enum Kind {
            Literal,
            AnyChar,
            Digit,
            Class,
        } kind = Literal;
        QString literal;                                    // upper case, for Literal
        std::vector<std::pair<char32_t, char32_t>> members; // upper case, for Class
        bool negated = false;
    };
    using Piece = std::vector<Token>;

    static qsizetype matchAt(const Piece& piece, QStringView text, qsizetype at);

    std::vector<Piece> m_pieces;
    qsizetype m_reach = 0;
};

// The runs of a cell's text marked for 'searched'.
QList<TextRange> highlightRanges(QStringView text, QStringView searched);

// How many units of 'text' a cell shows when it draws 'shown', the text cut to its width with an ellipsis.
qsizetype shownLength(QStringView text, QStringView shown);
// The part of 'ranges' (runs of 'text') that the cell shows when it draws 'shown': what falls in the
// cut-off part is left out.
QList<TextRange> shownRanges(const QList<TextRange>& ranges, QStringView text, QStringView shown);

} // namespace core
