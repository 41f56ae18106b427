#pragma once

#include "Search.h"

#include <QString>

namespace ui {
class ReportList;
} // namespace ui

namespace search::rows {

// The row layouts of the three result lists; Null texts and numbers leave their cell empty.
void addChapter(ui::ReportList& list, const QString& key, const core::ChapterResult& chapter);
void addArticle(ui::ReportList& list, const QString& key, const core::ArticleResult& article);
void addSubarticle(ui::ReportList& list, const QString& key, const core::Subarticle& subarticle);

} // namespace search::rows
