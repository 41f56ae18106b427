#pragma once

#include "Text.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace core {

// An item the user chose for a project, as it was when chosen: its texts and numbers are kept, so that a
// later edition can show what changed and an item gone from the list is never lost.
struct ChosenItem
{
    QString code; // codice_totale
    Text sezione, capitolo, articolo, subarticolo;
    Text simbolo;
    std::optional<double> prezzoLordo;
    std::optional<double> incidenzaManodopera; // a percentage: 27.5 for 27,5 %
    std::optional<double> quantita;            // none until the user gives one
    // The code the item had in the edition it was carried over from, when that edition re-coded it; else empty.
    QString previousCode;
};

// The items of one project, in the user's order, with the edition they were chosen on: the list's year and
// title, not its file, so that a list copied or moved elsewhere keeps its collections.
struct Collection
{
    QString id;   // the file name it is kept under, without extension
    QString name; // "Progetto scuola via Roma"
    QString editionYear;
    QString editionTitle;
    QDateTime changed;
    QList<ChosenItem> items;
};

// One line of an export: an item as the open list gives it, beside what it was when chosen.
struct ExportItem
{
    QString code;
    Text sezione, capitolo, articolo, subarticolo;
    Text simbolo;
    std::optional<double> prezzoLordo;      // the open list's; the chosen one when the item is gone from it
    std::optional<double> prezzoPrecedente; // the price when chosen, only when it differs from prezzoLordo
    std::optional<double> incidenzaManodopera;
    std::optional<double> quantita;
    bool presente = true; // false: "non presente in questa edizione"
    QString previousCode; // "già …": the code before a re-coding, as the collection keeps it

    // quantita × prezzoLordo, when both are known.
    std::optional<double> importo() const
    {
        if (!quantita || !prezzoLordo)
            return std::nullopt;
        return *quantita * *prezzoLordo;
    }
};

// What an export writes: the list's title and year, the collection's name (empty for a result list) and
// the items in order.
struct ExportDocument
{
    QString listTitle; // "Prezzario Regione Vallorsa"
    QString year;      // "2021"
    QString collectionName;
    QList<ExportItem> items;
};

} // namespace core
