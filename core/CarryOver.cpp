#include "core/CarryOver.h"

#include "core/Collections.h"

#include <QHash>
#include <QRegularExpression>

namespace core {

CarriedCollection carryOver(const Collection& older, const Comparison& comparison, const PriceList& open)
{
    QHash<QString, const ComparedItem*> byOldCode;
    for (const ComparedItem& compared : comparison.items) {
        if (!compared.oldCode.isEmpty())
            byOldCode.insert(compared.oldCode, &compared);
    }

    CarriedCollection carried;
    Collection& collection = carried.collection;
    collection.editionYear = open.year();
    collection.editionTitle = kListTitle;
    // A collection carried before is named after its edition: the year is replaced, not added once more.
    QString name = older.name;
    name.remove(QRegularExpression(QStringLiteral(" \\(%1\\)$").arg(QRegularExpression::escape(older.editionYear))));
    collection.name = QStringLiteral("%1 (%2)").arg(name, collection.editionYear);
    collection.chapters = older.chapters;

    for (const ChosenItem& item : older.items) {
        const ComparedItem* compared = byOldCode.value(item.code);
        const bool recoded = compared && compared->state == CompareState::Ricodificata;
        std::optional<ChosenItem> now;
        // An item the older edition lacked too (carried before as gone) may be back in the open one.
        if (item.fuoriPrezzario)
            now.reset(); // the computo's own price goes with it as it is
        else if (!compared)
            now = chosenItem(open, item.code);
        else if (!compared->newCode.isEmpty())
            now = chosenItem(open, compared->newCode);
        if (!now) {
            collection.items << item;
            carried.nonPresenti += item.fuoriPrezzario ? 0 : 1;
        } else {
            now->quantita = item.quantita;
            now->misure = item.misure;
            now->chapter = item.chapter;
            now->previousCode = recoded ? item.code : item.previousCode;
            collection.items << *now;
            carried.ricodificate += recoded ? 1 : 0;
        }
        ++carried.riportate;
    }
    return carried;
}

} // namespace core
