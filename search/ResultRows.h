#pragma once

#include <QString>

namespace core {
class Field;
class ReportList;
} // namespace core

namespace search::rows {

// The row layouts shared by the searches and the drill-down. Optional columns that are Null leave
// their cell empty.
void addChapter(core::ReportList& list, const QString& key, const QString& code, const QString& sezione,
                const QString& capitolo, const core::Field& noteCapitolo);
void addArticle(core::ReportList& list, const QString& key, const QString& code, const QString& sezione,
                const QString& capitolo, const QString& articolo, const core::Field& noteArticolo);
void addSubarticle(core::ReportList& list, const QString& key, const QString& codiceTotale, const QString& subarticolo,
                   const QString& simbolo, const core::Field& prezzoLordo, const core::Field& incidenzaManodopera,
                   const core::Field& sommaManodopera);

// A position in the price-list order as a double; 0 (not found) for Null.
double position(const core::Field& field);

bool hasApostrophe(const QString& text);

} // namespace search::rows
