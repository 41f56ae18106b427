#pragma once

#include <string_view>

namespace builder {

// The columns of the prices table (prezzario), in the order of its CSV header: what every kind of input gives
// a row of, and what ListSource checks.
enum PriceColumn {
    Sequenza,
    CodiceTotale,
    CodiceSezione,
    Sezione,
    NoteSezione,
    CodiceCapitolo,
    CodiceArticolo,
    Capitolo,
    NoteCapitolo,
    SeqCapitolo,
    CodiceSubarticolo,
    Articolo,
    NoteArticolo,
    NoteSubarticolo,
    Subarticolo,
    Simbolo,
    PrezzoLordo,
    IncidenzaManodopera,
    SommaManodopera,
    kPriceColumnCount
};

inline constexpr std::string_view kPriceColumns[kPriceColumnCount] = {
    "sequenza",      "codice_totale",        "codice_sezione",     "sezione",
    "note_sezione",  "codice_capitolo",      "codice_articolo",    "capitolo",
    "note_capitolo", "seq_capitolo",         "codice_subarticolo", "articolo",
    "note_articolo", "note_subarticolo",     "subarticolo",        "simbolo",
    "prezzo_lordo",  "incidenza_manodopera", "somma_manodopera",
};

} // namespace builder
