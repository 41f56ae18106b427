#include "ResultRows.h"

#include "Field.h"
#include "ReportList.h"

namespace search::rows {

namespace {

// One row gathered at a time; kept, so that its memory serves every row of a fill.
ui::ReportRow& scratch()
{
    static ui::ReportRow row;
    row.clear();
    return row;
}

void appendNumber(ui::ReportRow& row, const core::Field& number, QByteArrayView suffix = {})
{
    if (number.IsNull()) {
        row.emptyCell();
        return;
    }
    static QByteArray text;
    text.resize(0); // keeps the memory, unlike clear()
    number.appendTextUtf8(text);
    text += suffix;
    row.cellUtf8(text);
}

} // namespace

void CellText::appendTo(ui::ReportRow& row) const
{
    if (m_string)
        row.cell(*m_string);
    else
        row.cellUtf8(m_utf8);
}

void addChapter(ui::ReportList& list, const QString& key, CellText code, CellText sezione, CellText capitolo,
                CellText noteCapitolo)
{
    ui::ReportRow& row = scratch();
    for (const CellText& text : {code, sezione, capitolo, noteCapitolo})
        text.appendTo(row);
    list.Add(key, row);
}

void addArticle(ui::ReportList& list, const QString& key, CellText code, CellText sezione, CellText capitolo,
                CellText articolo, CellText noteArticolo)
{
    ui::ReportRow& row = scratch();
    for (const CellText& text : {code, sezione, capitolo, articolo, noteArticolo})
        text.appendTo(row);
    list.Add(key, row);
}

void addSubarticle(ui::ReportList& list, const QString& key, CellText codiceTotale, CellText subarticolo,
                   CellText simbolo, const core::Field& prezzoLordo, const core::Field& incidenzaManodopera,
                   const core::Field& sommaManodopera)
{
    ui::ReportRow& row = scratch();
    for (const CellText& text : {codiceTotale, subarticolo, simbolo})
        text.appendTo(row);
    appendNumber(row, prezzoLordo);
    appendNumber(row, incidenzaManodopera, " %");
    appendNumber(row, sommaManodopera);
    list.Add(key, row);
}

double position(const core::Field& field)
{
    return field.toDouble();
}

bool hasApostrophe(const QString& text)
{
    return text.contains(u'\'');
}

} // namespace search::rows
