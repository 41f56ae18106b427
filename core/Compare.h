#pragma once

#include "core/PriceList.h"
#include "core/Text.h"

#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>

namespace core {

// What became of an item between an older and a newer edition of the list.
enum class CompareState {
    Invariata,    // same code, price, unit and description
    Variata,      // same code, another price, unit or description
    Nuova,        // only in the newer
    Eliminata,    // only in the older
    Ricodificata, // its code is gone, and one item of a new code has its description and unit
};

// The word of a state as lists and files write it: "invariata", "variata", ...
QString compareStateName(CompareState state);

// The change from an older price to a newer one, in percent; none when either is missing or the older is 0.
std::optional<double> changePercent(std::optional<double> older, std::optional<double> newer);

// An item of either edition, or of both. The texts are the newer's, the older's for an item that is gone.
struct ComparedItem
{
    CompareState state = CompareState::Invariata;
    QString oldCode; // empty when only the newer has the item
    QString newCode; // empty when only the older has it
    QString section; // the newer's section code, else the older's
    Text articolo;
    Text subarticolo;
    Text oldUnit, newUnit;
    std::optional<double> oldPrice, newPrice;

    const Text& unit() const { return newCode.isEmpty() ? oldUnit : newUnit; }
    // Newer less older price, when both are set.
    std::optional<double> changeEuro() const;
    // The change as a percentage of the older price, when both are set and the older is not zero.
    std::optional<double> changePercent() const;
};

// Which items of a comparison a list shows: every state, every one but the unchanged, or one; with a threshold,
// only those whose price changed by at least that many per cent, up or down.
struct CompareFilter
{
    enum class States { All, AllButUnchanged, One };
    States states = States::All;
    CompareState state = CompareState::Invariata; // with States::One
    std::optional<double> leastPercent;

    bool accepts(const ComparedItem& item) const;
};

// The bars of the histogram of price changes: 2-point steps from -20 % to +20 %, and one bar each for what
// lies below and above. A change on a step belongs to the bar above it (0 % in "0 ÷ 2").
struct ChangeHistogram
{
    static constexpr int kStep = 2;
    static constexpr int kReach = 20;
    static constexpr int kBars = 2 * kReach / kStep + 2;

    static int barOf(double percent);
    // What a bar holds: "< -20", "-20 ÷ -18", ..., "≥ +20".
    static QString label(int bar);
    // The step at the left edge of a bar other than the first: "-20" for bar 1.
    static QString stepLabel(int bar);
};

// Percentage changes summed up; count is how many changes there are.
struct ChangeFigures
{
    int count = 0;
    std::optional<double> median;
    std::optional<double> mean;
};
ChangeFigures changeFigures(QList<double> percents);

struct Comparison
{
    // The newer's items in code order, then the items gone from the older in its code order.
    QList<ComparedItem> items;
    int invariate = 0, variate = 0, nuove = 0, eliminate = 0;
    int ricodificate = 0; // the pairs of a gone code and a new one
    // The price changes of the items in both editions, over the whole list and by section code.
    ChangeFigures figures;
    QMap<QString, ChangeFigures> sectionFigures;
};

// The description as two editions are compared by it: the article's and the subarticle's texts, in lower case,
// without accents, with only letters and digits kept, so that retyped spacing or punctuation is no change.
QString comparedDescription(const Text& articolo, const Text& subarticolo);

// Compares two editions item by item. 'progress' gets the share done (0 to 1) now and then and returns false to
// stop: the result is then empty. A code the list holds twice is compared by its first item. Whether the two
// are one file is for the caller to check. Engine failures throw DbError.
std::optional<Comparison> compareEditions(const PriceList& older, const PriceList& newer,
                                          const std::function<bool(double)>& progress = {});

// Which of two editions holds a code.
enum class EditionSide {
    Older,
    Newer,
};

// The code in the other edition of the item of 'code' of 'side', paired as compareEditions pairs it: the same
// code when the other edition holds it, the code it was re-coded to (or from), else an empty text (an item gone,
// or new). Reads only the codes, descriptions and units of the two editions, for one item's question in a
// fraction of a whole comparison's time. 'progress' as for compareEditions: stopped, the result is empty.
std::optional<QString> pairedCode(const PriceList& older, const PriceList& newer, const QString& code, EditionSide side,
                                  const std::function<bool(double)>& progress = {});

} // namespace core
