#pragma once

#include <QByteArrayView>
#include <QString>

namespace core {
class Field;
} // namespace core

namespace ui {
class ReportList;
class ReportRow;
} // namespace ui

namespace search::rows {

// The text of a cell: a string, or UTF-8 straight from the engine (no string made for it).
class CellText
{
public:
    CellText(const QString& text) : m_string(&text) {}
    CellText(QByteArrayView utf8) : m_utf8(utf8) {}
    void appendTo(ui::ReportRow& row) const;

private:
    const QString* m_string = nullptr;
    QByteArrayView m_utf8;
};

// The row layouts shared by the searches and the drill-down. Notes and prices that are Null leave
// their cell empty (pass an empty note for Null).
void addChapter(ui::ReportList& list, const QString& key, CellText code, CellText sezione, CellText capitolo,
                CellText noteCapitolo);
void addArticle(ui::ReportList& list, const QString& key, CellText code, CellText sezione, CellText capitolo,
                CellText articolo, CellText noteArticolo);
void addSubarticle(ui::ReportList& list, const QString& key, CellText codiceTotale, CellText subarticolo,
                   CellText simbolo, const core::Field& prezzoLordo, const core::Field& incidenzaManodopera,
                   const core::Field& sommaManodopera);

// A position in the price-list order as a double; 0 (not found) for Null.
double position(const core::Field& field);

bool hasApostrophe(const QString& text);

} // namespace search::rows
