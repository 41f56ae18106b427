#include "core/SearchInput.h"

#include "core/SearchMessages.h"
#include "core/SearchQueries.h"

namespace core {

namespace {

bool hasApostrophe(const QString& text)
{
    return text.contains(u'\'');
}

bool badOptionalPart(const QString& part)
{
    return !part.isEmpty() && (part.size() != 3 || hasApostrophe(part));
}

QString rangeCode(const QString& prefix, const CodeParts& parts)
{
    QString code = prefix + parts.chapter;
    if (!parts.article.isEmpty())
        code += u'.' + parts.article;
    if (!parts.subarticle.isEmpty())
        code += u'.' + parts.subarticle;
    return code;
}

// The last checks of both code searches, in their order: no quote in the article or chapter code, and a
// single section chosen (the whole list has no codes to look up).
std::optional<SearchProblem> codeUsable(const SearchRequest& request, const QString& wholeListWarning)
{
    if (hasApostrophe(request.code.article))
        return problem(SearchField::Article, msg::kCodiceArticolo);
    if (hasApostrophe(request.code.chapter))
        return problem(SearchField::Chapter, msg::kCodiceCapitolo);
    if (request.wholeList)
        return problem(SearchField::Section, wholeListWarning);
    return std::nullopt;
}

std::optional<SearchProblem> validateText(const SearchRequest& request)
{
    if (request.sectionText.isEmpty())
        return problem(SearchField::Section,
                       QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca elemento"));
    if (request.text.size() < 2)
        return problem(SearchField::Text,
                       QStringLiteral("Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca"));
    if (!request.levels.capitoli && !request.levels.articoli && !request.levels.subarticoli)
        return problem(SearchField::Levels, QStringLiteral("Selezionare almeno una scelta fra "
                                                           "Capitoli/Articoli/Subarticoli prima di procedere con la "
                                                           "ricerca"));
    return std::nullopt;
}

std::optional<SearchProblem> validateArticle(const SearchRequest& request)
{
    const CodeParts& code = request.code;
    if (request.sectionText.isEmpty())
        return problem(SearchField::Section, msg::kSezioneArticolo);
    if (code.article.size() != 3 || code.chapter.size() != 3)
        return problem(code.chapter.size() != 3 ? SearchField::Chapter : SearchField::Article,
                       msg::kCodiciCapitoloArticolo);
    return codeUsable(request, msg::kSezionePerArticolo);
}

std::optional<SearchProblem> validateSubarticle(const SearchRequest& request)
{
    const CodeParts& code = request.code;
    if (request.sectionText.isEmpty())
        return problem(SearchField::Section, msg::kSezioneSubarticolo);
    if (code.article.size() != 3 || code.chapter.size() != 3)
        return problem(code.chapter.size() != 3 ? SearchField::Chapter : SearchField::Article,
                       msg::kCodiciCapitoloArticolo);
    if (code.subarticle.size() != 3)
        return problem(SearchField::Subarticle,
                       QStringLiteral("Il Codice Subarticolo devono avere una lunghezza di 3 caratteri."));
    if (hasApostrophe(code.subarticle))
        return problem(SearchField::Subarticle, QStringLiteral("Il Codice Subarticolo deve avere una lunghezza di 3 "
                                                               "caratteri ed essere composto da tre numeri. Es. : "
                                                               "'010'"));
    return codeUsable(request, msg::kSezionePerSubarticolo);
}

// Each code of a range on its own; the comparison of the two comes after.
std::optional<SearchProblem> validateRangeParts(const SearchRequest& request)
{
    const CodeParts& from = request.from;
    const CodeParts& to = request.to;
    if (request.sectionText.isEmpty() || request.wholeList)
        return problem(SearchField::Section, msg::kSezioneDaA);
    if (from.chapter.size() != 3 || to.chapter.size() != 3)
        return problem(from.chapter.size() != 3 ? SearchField::FromChapter : SearchField::ToChapter,
                       QStringLiteral("I Codici Capitolo devono essere valorizzati, avere una lunghezza di 3 "
                                      "caratteri ed essere composti da una lettera e due numeri. Es. : 'A01'"));
    for (qsizetype i = 0; i < from.chapter.size(); ++i) {
        if (from.chapter[i] == u'\'' || to.chapter[i] == u'\'')
            return problem(from.chapter[i] == u'\'' ? SearchField::FromChapter : SearchField::ToChapter,
                           QStringLiteral("I Codici Capitolo devono avere una lunghezza di 3 caratteri ed essere "
                                          "composti da una lettera e due numeri. Es. : 'A01'"));
    }
    if (badOptionalPart(from.article) || badOptionalPart(to.article))
        return problem(badOptionalPart(from.article) ? SearchField::FromArticle : SearchField::ToArticle,
                       QStringLiteral("I Codici Articolo, se sono valorizzati, devono avere una lunghezza di 3 "
                                      "caratteri ed essere composti da una lettera e due numeri. Es. : 'A01'"));
    if ((!from.subarticle.isEmpty() && from.article.isEmpty()) || (!to.subarticle.isEmpty() && to.article.isEmpty()))
        return problem(from.article.isEmpty() && !from.subarticle.isEmpty() ? SearchField::FromArticle
                                                                            : SearchField::ToArticle,
                       QStringLiteral("Impossibile cercare il Codice Subarticolo senza il Codice Articolo"));
    if (badOptionalPart(from.subarticle) || badOptionalPart(to.subarticle))
        return problem(badOptionalPart(from.subarticle) ? SearchField::FromSubarticle : SearchField::ToSubarticle,
                       QStringLiteral("Il Codice Subarticolo, se presente, deve avere una lunghezza di 3 caratteri ed "
                                      "essere composto da tre numeri. Es. : '010'"));
    return std::nullopt;
}

std::optional<SearchProblem> validateRange(const SearchRequest& request)
{
    if (std::optional<SearchProblem> problem = validateRangeParts(request))
        return problem;
    const CodeParts& from = request.from;
    const CodeParts& to = request.to;
    if (request.rangeFromCode().size() != request.rangeToCode().size()) {
        // The empty box of the code that stops a level short of the other.
        SearchField field = from.subarticle.isEmpty() ? SearchField::FromSubarticle : SearchField::ToSubarticle;
        if (from.article.isEmpty() != to.article.isEmpty())
            field = from.article.isEmpty() ? SearchField::FromArticle : SearchField::ToArticle;
        return problem(field,
                       QStringLiteral("Ricerca possibile solo fra elementi dello stesso tipo (Capitolo-Capitolo, "
                                      "Articolo-Articolo, Subarticolo-Subarticolo)"),
                       QStringLiteral("Prezzario"));
    }
    return std::nullopt;
}

} // namespace

ReportKind reportKindOf(const SearchLevels& levels)
{
    struct Kind
    {
        bool capitoli;
        bool articoli;
        bool subarticoli;
        ReportKind kind;
    };
    static constexpr Kind kKinds[] = {
        {true, true, true, ReportKind::CapInd_ArtInd_SubInd},
        {true, true, false, ReportKind::CapInd_ArtInd_SubDip},
        {false, true, true, ReportKind::ArtInd_SubInd},
        {true, false, true, ReportKind::CapInd_SubInd},
        {false, false, true, ReportKind::SubInd},
        {true, false, false, ReportKind::CapInd},
        {false, true, false, ReportKind::ArtInd},
    };
    for (const Kind& kind : kKinds) {
        if (kind.capitoli == levels.capitoli && kind.articoli == levels.articoli &&
            kind.subarticoli == levels.subarticoli)
            return kind.kind;
    }
    return ReportKind::None;
}

QString SearchRequest::rangeFromCode() const
{
    return rangeCode(codePrefix, from);
}

QString SearchRequest::rangeToCode() const
{
    return rangeCode(codePrefix, to);
}

bool rangeCodesWellFormed(const SearchRequest& request)
{
    return request.mode == SearchMode::Range && !validateRangeParts(request);
}

std::optional<SearchProblem> validate(const SearchRequest& request)
{
    switch (request.mode) {
    case SearchMode::None:
        return problem(SearchField::Mode, QStringLiteral("Selezionare un tipo di ricerca prima di procedere "));
    case SearchMode::Text:
        return validateText(request);
    case SearchMode::Article:
        return validateArticle(request);
    case SearchMode::Subarticle:
        return validateSubarticle(request);
    case SearchMode::Range:
        return validateRange(request);
    }
    return std::nullopt;
}

} // namespace core
