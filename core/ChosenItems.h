#pragma once

#include "core/Measures.h"
#include "core/Numbers.h"
#include "core/Text.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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
    std::optional<double> quantita;            // none until the user gives one; lines, when any, replace it
    // The code the item had in the edition it was carried over from, when that edition re-coded it; else empty.
    QString previousCode;
    QList<MeasureLine> misure;
    QString chapter;             // the computo's chapter it belongs to; empty for none
    bool fuoriPrezzario = false; // a price the list does not have (a new price "NP.001" read from a computo)

    // What the computo measures: the sum of the lines, or the typed quantity when there are none.
    std::optional<double> quantity() const { return misure.isEmpty() ? quantita : linesQuantity(misure); }
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
    // The computo's chapters in their order ("Scavi", "Strutture"); the items are kept grouped by them, those
    // of no chapter first.
    QStringList chapters;
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
    std::optional<double> quantita; // the item's quantity: its lines' sum, or the one typed
    bool presente = true; // false: "non presente in questa edizione"
    bool fuoriPrezzario = false; // "non nel prezzario": a price of the computo, never of the list
    QString previousCode; // "già …": the code before a re-coding, as the collection keeps it
    QList<MeasureLine> misure;
    QString chapter;

    // quantita × prezzoLordo rounded half-up to the cent, when both are known: the amount the window, the
    // clipboard and every file show, and the one totals add up.
    std::optional<Cents> importoCents() const
    {
        if (!quantita || !prezzoLordo)
            return std::nullopt;
        return amountCents(*prezzoLordo, *quantita);
    }
    std::optional<double> importo() const
    {
        const std::optional<Cents> cents = importoCents();
        return cents ? std::optional<double>(fromCents(*cents)) : std::nullopt;
    }
    // The amount × the labour share, rounded half-up to the cent: the item's labour cost.
    std::optional<Cents> labourCents() const
    {
        const std::optional<Cents> amount = importoCents();
        if (!amount || !incidenzaManodopera)
            return std::nullopt;
        return toCents(fromCents(*amount) * *incidenzaManodopera / 100.0);
    }
};

// The sum of the items' amounts, each rounded to the cent first.
inline Cents totalCents(const QList<ExportItem>& items)
{
    Cents total = 0;
    for (const ExportItem& item : items)
        total += item.importoCents().value_or(0);
    return total;
}

// What an export writes: the list's title and year, the collection's name (empty for a result list) and
// the items in order.
struct ExportDocument
{
    QString listTitle; // "Prezzario Regione Vallorsa"
    QString year;      // "2021"
    QString collectionName;
    QList<ExportItem> items; // grouped by chapter, in the chapters' order, those of none first
    QStringList chapters;
};

} // namespace core
