#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QStringList>

#include "tools/query/CodesFile.h"
#include "core/Collections.h"
#include "core/Compare.h"
#include "report/export/ComparisonExport.h"
#include "core/Error.h"
#include "tools/query/ExportWriter.h"
#include "core/Find.h"
#include "core/PriceList.h"
#include "tools/query/QueryCommand.h"
#include "tools/query/ResultWriter.h"
#include "core/SafeFiles.h"
#include "core/Numbers.h"
#include "core/Search.h"
#include "Version.h"

#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace {

// As grep: rows found, none found, and anything that stopped the search.
constexpr int kExitFound = 0;
constexpr int kExitNothing = 1;
constexpr int kExitTrouble = 2;

// The whole text, whatever it holds: printf would stop at a NUL.
void printError(const QString& text)
{
    const QByteArray bytes = QStringLiteral("prezzario-query: ").toUtf8() + text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// The entry of the search window's section box for a typed code: picking "01 - Opere edili" is what a user of
// the window does, letter case aside. A code the list lacks stays typed text, as the window takes it too.
QString sectionEntry(const QList<core::Section>& sections, const QString& code)
{
    for (const core::Section& section : sections) {
        if (section.code.compare(code, Qt::CaseInsensitive) == 0)
            return section.code + QStringLiteral(" - ") + section.name.toString();
    }
    return code;
}

core::CodeParts codeParts(const QStringList& segments)
{
    return core::CodeParts{segments.value(1), segments.value(2), segments.value(3)};
}

// The request the search window would build from its controls for the same search.
core::SearchRequest makeRequest(const core::PriceList& list, const query::SearchArguments& search)
{
    using Kind = query::SearchArguments::Kind;
    const QList<core::Section> sections = list.sections();
    core::SearchRequest request;
    if (search.kind == Kind::Text) {
        request.mode = core::SearchMode::Text;
        request.text = search.text;
        request.levels = core::SearchLevels{search.capitoli, search.articoli, search.subarticoli};
        if (search.sectionGiven) {
            request.sectionText = sectionEntry(sections, search.section);
        } else {
            // The first entry of the section box.
            request.sectionText = QStringLiteral("Tutto il prezzario");
            request.wholeList = true;
        }
        return request;
    }
    const QStringList& first = search.kind == Kind::Range ? search.from : search.code;
    request.sectionText = first.first().isEmpty() ? QString() : sectionEntry(sections, first.first());
    request.codePrefix = request.sectionText.left(2) + u'.';
    switch (search.kind) {
    case Kind::Article:
        request.mode = core::SearchMode::Article;
        request.code = codeParts(search.code);
        break;
    case Kind::Subarticle:
        request.mode = core::SearchMode::Subarticle;
        request.code = codeParts(search.code);
        break;
    case Kind::Range:
        request.mode = core::SearchMode::Range;
        request.from = codeParts(search.from);
        request.to = codeParts(search.to);
        break;
    case Kind::Text:
        break;
    }
    return request;
}

// The list the program itself opens: Prezzario.mdb in the folder of the executable, which the link on the PATH
// leads to. Null after printing why it could not be opened.
std::optional<core::PriceList> openList(const query::QueryCommand& command)
{
    const QString path = command.database.isEmpty()
                             ? QDir(QCoreApplication::applicationDirPath()).filePath(core::kDatabaseFileName)
                             : QFileInfo(command.database).absoluteFilePath();
    try {
        return core::PriceList::open(path);
    } catch (const core::Error& error) {
        printError(error.text());
        return std::nullopt;
    }
}

// Writes what was found; the status of the run.
template <typename... Found> int writeResults(const query::QueryCommand& command, bool empty, const Found&... found)
{
    query::ResultWriter writer(command.format, stdout);
    writer.writeAll(found...);
    if (!writer.finish()) {
        printError(QStringLiteral("impossibile scrivere i risultati sull'uscita standard."));
        return kExitTrouble;
    }
    if (empty) {
        printError(core::kNoResults);
        return kExitNothing;
    }
    return kExitFound;
}

int search(const query::QueryCommand& command)
{
    const std::optional<core::PriceList> list = openList(command);
    if (!list)
        return kExitTrouble;
    const core::SearchOutcome outcome = core::runSearch(*list, makeRequest(*list, command.search));
    if (outcome.problem) {
        printError(outcome.problem->message);
        return kExitTrouble;
    }
    return writeResults(command, outcome.results.isEmpty(), outcome.results);
}

// The filters as Trova's boxes give them; a section is picked from the list's own, letter case aside.
core::FindFilter findFilter(const core::PriceList& list, const query::FindArguments& find)
{
    core::FindFilter filter;
    filter.section = find.section;
    if (!find.section.isEmpty()) {
        for (const core::Section& section : list.sections()) {
            if (section.code.compare(find.section, Qt::CaseInsensitive) == 0)
                filter.section = section.code;
        }
    }
    if (find.unit)
        filter.unit = core::Text::fromString(*find.unit);
    filter.minPrice = find.minPrice;
    filter.maxPrice = find.maxPrice;
    return filter;
}

int find(const query::QueryCommand& command)
{
    const std::optional<core::PriceList> list = openList(command);
    if (!list)
        return kExitTrouble;
    const std::shared_ptr<const core::FindIndex> index = core::FindIndex::build(*list);
    const std::optional<std::vector<std::int32_t>> items =
        index->find(core::parseFindText(command.find.text), findFilter(*list, command.find));
    return writeResults(command, items->empty(), *index, *items);
}

// The items of the codes file, checked whole against the list before anything is written.
int exportCodes(const query::QueryCommand& command)
{
    const query::ExportArguments& exportTo = command.exportTo;
    const QString database = command.database.isEmpty()
                                 ? QDir(QCoreApplication::applicationDirPath()).filePath(core::kDatabaseFileName)
                                 : command.database;
    if (core::sameFile(exportTo.out, exportTo.codes) || core::sameFile(exportTo.out, database)) {
        printError(QStringLiteral("--out «%1» è un file da leggere: indicare un altro file.").arg(exportTo.out));
        return kExitTrouble;
    }
    const query::CodesFile codes = query::readCodesFile(exportTo.codes);
    const std::optional<core::PriceList> list = openList(command);
    if (!list)
        return kExitTrouble;
    QStringList problems;
    const core::Collection collection = query::collectCodes(*list, codes, problems);
    if (problems.isEmpty() && collection.items.isEmpty())
        problems << QStringLiteral("«%1» non contiene alcun codice.").arg(QDir::toNativeSeparators(exportTo.codes));
    if (!problems.isEmpty()) {
        for (const QString& problem : query::shownProblems(problems))
            printError(problem);
        printError(QStringLiteral("nessun file scritto."));
        return kExitTrouble;
    }
    if (const std::optional<QString> failure =
            query::writeExport(core::exportDocument(*list, collection), exportTo.out, exportTo.format)) {
        printError(*failure);
        return kExitTrouble;
    }
    return kExitFound;
}

// Two editions, item by item. Comparing a file with itself would list every item as the same: refused.
int compare(const query::QueryCommand& command)
{
    const query::CompareArguments& files = command.compare;
    if (core::sameFile(files.older, files.newer)) {
        printError(QStringLiteral("«%1» e «%2» sono lo stesso file: indicare due edizioni diverse del prezzario.")
                       .arg(QDir::toNativeSeparators(files.older), QDir::toNativeSeparators(files.newer)));
        return kExitTrouble;
    }
    if (!files.out.isEmpty() && (core::sameFile(files.out, files.older) || core::sameFile(files.out, files.newer))) {
        printError(QStringLiteral("--out «%1» è un file da leggere: indicare un altro file.").arg(files.out));
        return kExitTrouble;
    }
    std::optional<core::PriceList> lists[2];
    for (int i = 0; i < 2; ++i) {
        try {
            lists[i] = core::PriceList::open(QFileInfo(i == 0 ? files.older : files.newer).absoluteFilePath());
        } catch (const core::Error& error) {
            printError(error.text());
            return kExitTrouble;
        }
    }
    const core::Comparison comparison = core::compareEditions(*lists[0], *lists[1]).value();
    if (files.xlsx) {
        try {
            report::exportComparison(comparison.items,
                                     QStringLiteral("Confronto %1 – %2").arg(lists[0]->year(), lists[1]->year()),
                                     report::ComparisonHeadings::Fields, files.out, report::ExportFormat::Xlsx);
        } catch (const core::Error& error) {
            printError(error.text());
            return kExitTrouble;
        }
        return kExitFound;
    }
    if (files.out.isEmpty()) {
        query::ResultWriter writer(command.format, stdout);
        writer.writeAll(comparison);
        if (!writer.finish()) {
            printError(QStringLiteral("impossibile scrivere i risultati sull'uscita standard."));
            return kExitTrouble;
        }
        return kExitFound;
    }
    try {
        core::writeFileSafely(files.out, [&](QIODevice& out) {
            query::ResultWriter writer(command.format, out);
            writer.writeAll(comparison);
            if (!writer.finish())
                throw core::WriteError(files.out, out.errorString());
        });
    } catch (const core::Error& error) {
        printError(error.text());
        return kExitTrouble;
    }
    return kExitFound;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const query::QueryCommand command = query::parseQueryCommand(arguments);
    switch (command.action) {
    case query::QueryCommand::Action::Help:
        std::fputs(qUtf8Printable(query::queryUsage()), stdout);
        return 0;
    case query::QueryCommand::Action::Version:
        std::fputs("prezzario-query " PREZZARIO_VERSION "\n", stdout);
        return 0;
    case query::QueryCommand::Action::Refused:
        printError(command.error);
        std::fputs(qUtf8Printable(query::queryUsageLine()), stderr);
        return kExitTrouble;
    case query::QueryCommand::Action::Search:
    case query::QueryCommand::Action::Find:
    case query::QueryCommand::Action::Export:
    case query::QueryCommand::Action::Compare:
        break;
    }

    const bool exporting = command.action == query::QueryCommand::Action::Export;
    std::unique_ptr<QCoreApplication> application;
    // PDF pages are drawn with Qt Gui, which wants a platform even with no screen; only export pays for it.
    if (exporting) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    if (!application)
        application = std::make_unique<QCoreApplication>(argc, argv);
    core::useNeutralNumericLocale();
    // Numbers in the windows' plain form, with a dot and no grouping whatever the user's locale. An export is
    // written for people, in the user's locale, as the windows show numbers.
    if (!exporting)
        QLocale::setDefault(QLocale::c());
    try {
        if (exporting)
            return exportCodes(command);
        if (command.action == query::QueryCommand::Action::Compare)
            return compare(command);
        return command.action == query::QueryCommand::Action::Find ? find(command) : search(command);
    } catch (const core::Error& error) {
        printError(QStringLiteral("la ricerca si è interrotta: %1").arg(error.text()));
    } catch (const std::bad_alloc&) {
        printError(QStringLiteral("memoria insufficiente per la ricerca."));
    } catch (const std::exception& error) {
        printError(QStringLiteral("errore imprevisto (%1).").arg(QString::fromLocal8Bit(error.what())));
    }
    return kExitTrouble;
}
