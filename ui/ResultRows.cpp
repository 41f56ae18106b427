#include "ui/ResultRows.h"

#include "core/Field.h"
#include "ui/ReportList.h"

namespace ui::rows {

namespace {

// One row gathered at a time; kept, so that its memory serves every row of a fill.
ui::ReportRow& scratch()
{
    static ui::ReportRow row;
    row.clear();
    return row;
}

void appendText(ui::ReportRow& row, const core::Text& text)
{
    row.cellUtf8(text.utf8());
}

void appendNumber(ui::ReportRow& row, const std::optional<double>& number, QByteArrayView suffix = {})
{
    if (!number) {
        row.emptyCell();
        return;
    }
    static QByteArray text;
    text.resize(0); // keeps the memory, unlike clear()
    core::appendNumberUtf8(*number, text);
    text += suffix;
    row.cellUtf8(text);
}

} // namespace

void addChapter(ui::ReportList& list, const QString& key, const core::ChapterResult& chapter)
{
    ui::ReportRow& row = scratch();
    row.cell(chapter.code);
    for (const core::Text* text : {&chapter.sezione, &chapter.capitolo, &chapter.note})
        appendText(row, *text);
    list.Add(key, row);
}

void addArticle(ui::ReportList& list, const QString& key, const core::ArticleResult& article)
{
    ui::ReportRow& row = scratch();
    row.cell(article.code);
    for (const core::Text* text : {&article.sezione, &article.capitolo, &article.articolo, &article.note})
        appendText(row, *text);
    list.Add(key, row);
}

void addSubarticle(ui::ReportList& list, const QString& key, const core::Subarticle& subarticle)
{
    ui::ReportRow& row = scratch();
    row.cell(subarticle.code);
    appendText(row, subarticle.subarticolo);
    appendText(row, subarticle.simbolo);
    appendNumber(row, subarticle.prezzoLordo);
    appendNumber(row, subarticle.incidenzaManodopera, " %");
    appendNumber(row, subarticle.sommaManodopera);
    list.Add(key, row);
}

void setSubarticleColumns(ui::ReportList& list, SubarticleColumns layout)
{
    struct Layout
    {
        const char* code;
        int codeWidth;
        const char* description;
        int descriptionWidth;
        int labourWidth;
    };
    static constexpr Layout kConsultazione{"Codice completo", 1400, "Descrizione", 8500, 1800};
    static constexpr Layout kRicerca{"Codice Subarticolo", 1600, "Subarticolo", 8100, 1700};
    static constexpr Layout kTrova{"Codice", 1600, "Descrizione", 8100, 1700};
    const Layout& chosen = layout == SubarticleColumns::Consultazione ? kConsultazione
                           : layout == SubarticleColumns::Ricerca     ? kRicerca
                                                                      : kTrova;
    list.setColumns({{QString::fromUtf8(chosen.code), chosen.codeWidth},
                     {QString::fromUtf8(chosen.description), chosen.descriptionWidth},
                     {QStringLiteral("Un. misura"), 1000},
                     {QStringLiteral("Prezzo"), 800, true},
                     {QStringLiteral("Inc. Manodopera"), 1500, true},
                     {QStringLiteral("Manodopera Lorda"), chosen.labourWidth, true}});
}

void addCodeAndName(ui::ReportList& list, const QString& key, const QString& code, const core::Text& name)
{
    ui::ReportRow& row = scratch();
    row.cell(code);
    appendText(row, name);
    list.Add(key, row);
}

} // namespace ui::rows
