#include "ResultRows.h"

#include "Field.h"
#include "ReportList.h"

namespace search::rows {

void addChapter(core::ReportList& list, const QString& key, const QString& code, const QString& sezione,
                const QString& capitolo, const core::Field& noteCapitolo)
{
    list.Add(key, code);
    list.SetSubItem(key, 1, sezione);
    list.SetSubItem(key, 2, capitolo);
    if (!noteCapitolo.IsNull())
        list.SetSubItem(key, 3, noteCapitolo.Text());
}

void addArticle(core::ReportList& list, const QString& key, const QString& code, const QString& sezione,
                const QString& capitolo, const QString& articolo, const core::Field& noteArticolo)
{
    list.Add(key, code);
    list.SetSubItem(key, 1, sezione);
    list.SetSubItem(key, 2, capitolo);
    list.SetSubItem(key, 3, articolo);
    if (!noteArticolo.IsNull())
        list.SetSubItem(key, 4, noteArticolo.Text());
}

void addSubarticle(core::ReportList& list, const QString& key, const QString& codiceTotale, const QString& subarticolo,
                   const QString& simbolo, const core::Field& prezzoLordo, const core::Field& incidenzaManodopera,
                   const core::Field& sommaManodopera)
{
    list.Add(key, codiceTotale);
    list.SetSubItem(key, 1, subarticolo);
    list.SetSubItem(key, 2, simbolo);
    if (!prezzoLordo.IsNull())
        list.SetSubItem(key, 3, prezzoLordo.Text());
    if (!incidenzaManodopera.IsNull())
        list.SetSubItem(key, 4, incidenzaManodopera.Text() + QStringLiteral(" %"));
    if (!sommaManodopera.IsNull())
        list.SetSubItem(key, 5, sommaManodopera.Text());
}

double position(const core::Field& field)
{
    return field.IsNull() ? 0.0 : field.Value().toDouble();
}

bool hasApostrophe(const QString& text)
{
    return text.contains(u'\'');
}

} // namespace search::rows
