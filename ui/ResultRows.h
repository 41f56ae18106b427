#pragma once

#include "core/Search.h"

#include <QString>

namespace ui {
class ReportList;
} // namespace ui

namespace ui::rows {

// The row layouts of the result lists of Ricerca and of Consultazione's subarticles; Null texts and numbers
// leave their cell empty.
void addChapter(ui::ReportList& list, const QString& key, const core::ChapterResult& chapter);
void addArticle(ui::ReportList& list, const QString& key, const core::ArticleResult& article);
void addSubarticle(ui::ReportList& list, const QString& key, const core::Subarticle& subarticle);
// The columns addSubarticle fills: code, description, unit, price, labour share, labour amount, with each
// window's headings and widths.
enum class SubarticleColumns { Consultazione, Ricerca, Trova };
void setSubarticleColumns(ui::ReportList& list, SubarticleColumns layout);
// A code and a name: Consultazione's chapters and articles.
void addCodeAndName(ui::ReportList& list, const QString& key, const QString& code, const core::Text& name);

} // namespace ui::rows
