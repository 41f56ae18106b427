#pragma once

#include "core/PriceList.h"
#include "core/Text.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace core {

// An item in one edition of the list.
struct EditionPrice
{
    QString year;
    QString path;
    QString code; // the item's code in this edition; empty when the edition does not hold the item
    Text unit;
    std::optional<double> price;
    // The code the item had in the next older edition, when it was re-coded since: the same pairing as
    // compareEditions makes.
    QString formerCode;

    bool holdsItem() const { return !code.isEmpty(); }
    bool recoded() const { return !formerCode.isEmpty(); }
};

struct PriceHistory
{
    // One entry per edition, the newest year first, the open edition among them. The item is followed from
    // the open edition outwards, one edition to the next in year order; past an edition that does not hold it
    // the trail is lost, and the editions beyond hold it no more either.
    QList<EditionPrice> editions;
    // The files left out, each with why: not a price list, or of a year another file already gives.
    QStringList notes;
};

// The price of the item of 'code' of the open list in each edition of 'files' (the files as the user opened
// them, the most recent first: of two files of one year the first is kept, and the open list before all).
// Each file is opened here, so this may run on a thread of its own with the open list opened there too.
// 'progress' gets the share done (0 to 1) now and then and returns false to stop: the result is then empty.
// Failures of the open list (and a code it does not hold) throw DbError; the other files are only noted.
std::optional<PriceHistory> priceHistory(const PriceList& open, const QString& code, const QStringList& files,
                                         const std::function<bool(double)>& progress = {});

} // namespace core
