#include "core/Computo.h"

#include <algorithm>

namespace core {

ComputoTotals computoTotals(const ExportDocument& document)
{
    ComputoTotals totals;
    QList<ChapterTotals> named;
    for (const QString& chapter : document.chapters)
        named.append(ChapterTotals{chapter, {}, 0, 0});
    ChapterTotals none;
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const ExportItem& item = document.items[i];
        const qsizetype at = item.chapter.isEmpty() ? -1 : document.chapters.indexOf(item.chapter);
        ChapterTotals& chapter = at < 0 ? none : named[at];
        chapter.items.append(int(i));
        chapter.amount += item.importoCents().value_or(0);
        chapter.labour += item.labourCents().value_or(0);
    }
    if (!none.items.isEmpty())
        totals.chapters.append(none);
    totals.chapters.append(named);
    for (const ChapterTotals& chapter : totals.chapters) {
        totals.amount += chapter.amount;
        totals.labour += chapter.labour;
    }
    return totals;
}

QString labourSummary(const ComputoTotals& totals, const QLocale& locale)
{
    const std::optional<double> percent = totals.labourPercent();
    return QStringLiteral("Costo della manodopera: %1 (%2 %)")
        .arg(moneyText(totals.labour, locale), percentText(percent.value_or(0), locale));
}

void groupByChapter(Collection& collection)
{
    for (ChosenItem& item : collection.items) {
        if (!item.chapter.isEmpty() && !collection.chapters.contains(item.chapter))
            item.chapter.clear();
    }
    std::stable_sort(collection.items.begin(), collection.items.end(),
                     [&](const ChosenItem& a, const ChosenItem& b) {
                         return collection.chapters.indexOf(a.chapter) < collection.chapters.indexOf(b.chapter);
                     });
}

bool addChapter(Collection& collection, const QString& name)
{
    const QString chapter = name.trimmed();
    if (chapter.isEmpty() || collection.chapters.contains(chapter))
        return false;
    collection.chapters.append(chapter);
    return true;
}

bool renameChapter(Collection& collection, const QString& from, const QString& to)
{
    const QString chapter = to.trimmed();
    const qsizetype at = collection.chapters.indexOf(from);
    if (at < 0 || chapter.isEmpty() || (chapter != from && collection.chapters.contains(chapter)))
        return false;
    collection.chapters[at] = chapter;
    for (ChosenItem& item : collection.items) {
        if (item.chapter == from)
            item.chapter = chapter;
    }
    return true;
}

void removeChapter(Collection& collection, const QString& name)
{
    if (!collection.chapters.removeOne(name))
        return;
    for (ChosenItem& item : collection.items) {
        if (item.chapter == name)
            item.chapter.clear();
    }
    groupByChapter(collection);
}

bool moveToChapter(Collection& collection, QList<int> rows, const QString& chapter)
{
    if (!chapter.isEmpty() && !collection.chapters.contains(chapter))
        return false;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() || rows.front() < 0 || rows.back() >= collection.items.size())
        return false;
    QList<ChosenItem> moving;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        moving.prepend(collection.items.takeAt(*row));
    for (ChosenItem& item : moving)
        item.chapter = chapter;
    // After the chapter's last item, or where the chapter's items would begin.
    const qsizetype order = collection.chapters.indexOf(chapter);
    qsizetype at = 0;
    while (at < collection.items.size() && collection.chapters.indexOf(collection.items[at].chapter) <= order)
        ++at;
    for (qsizetype i = 0; i < moving.size(); ++i)
        collection.items.insert(at + i, moving[i]);
    return true;
}

} // namespace core
