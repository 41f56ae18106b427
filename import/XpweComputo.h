#pragma once

#include "core/ChosenItems.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace core {
class PriceList;
}

// Computi written by estimating programs in XPWE, read into a collection of chosen items.
namespace import {

struct XpweReading
{
    std::optional<core::Collection> collection; // none while any problem remains
    // Every problem found, each with its line and column ("riga 12, colonna 5: …"), in the file's order.
    QStringList problems;
};

// Reads the computo of an XPWE file against the open list: the items by their Tariffa with the file's prices,
// texts, units and labour shares; their measurement lines, recomputed by the program's own rules; the
// super-categories (and the categories below them, as "Super › Categoria") as chapters. An item whose code the
// list does not hold is kept with the file's data, marked as a price of no list. The collection is named 'name',
// or after the file's subject when 'name' is empty; it is made for the open list's edition and is not stored.
XpweReading readXpweComputo(const QString& path, const core::PriceList& list, const QString& name);

} // namespace import
