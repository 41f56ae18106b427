#pragma once

#include "core/ChosenItems.h"

#include <QList>
#include <QString>

#include <optional>

// The computo metrico of a collection: its chapters with their subtotals, the total and the labour costs.
// Every sum adds amounts already rounded to the cent, so that a page, a sheet and the window agree to the cent.
namespace core {

// The heading of the items of no chapter, when the collection has chapters.
inline const QString kNoChapter = QStringLiteral("Senza capitolo");

struct ChapterTotals
{
    QString name;      // empty: the items of no chapter
    QList<int> items;  // indexes into the document's items, in order
    Cents amount = 0;  // the sum of the items' amounts
    Cents labour = 0;  // the sum of the items' labour costs
};

struct ComputoTotals
{
    QList<ChapterTotals> chapters; // only those holding items, plus every named chapter, in order
    Cents amount = 0;
    Cents labour = 0;
    // labour ÷ amount in percent; none for a total of 0.
    std::optional<double> labourPercent() const
    {
        return amount == 0 ? std::nullopt : std::optional<double>(double(labour) * 100.0 / double(amount));
    }
};

// The document's items by chapter: the items of no chapter first (a group only when it holds any), then each
// named chapter, empty ones included.
ComputoTotals computoTotals(const ExportDocument& document);

// "Costo della manodopera: 4.611,48 (9,44 %)", in 'locale'.
QString labourSummary(const ComputoTotals& totals, const QLocale& locale = QLocale());

// Chapters of a collection. Items stay grouped by chapter in the chapters' order, those of none first; every
// change below keeps them so. Names are trimmed; an empty or repeated name is refused (false, unchanged).
bool addChapter(Collection& collection, const QString& name);
bool renameChapter(Collection& collection, const QString& from, const QString& to);
// The chapter's items go to no chapter.
void removeChapter(Collection& collection, const QString& name);
// Moves the items at 'rows' into 'chapter' (empty: none), after the items it holds; false, unchanged, for a
// row out of range or a chapter the collection lacks.
bool moveToChapter(Collection& collection, QList<int> rows, const QString& chapter);
// Puts the items in their chapters' order (stable), items of an unknown chapter going to none: for a
// collection read from a file.
void groupByChapter(Collection& collection);

} // namespace core
