#pragma once

#include "core/ExportFormat.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace query {

enum class Format {
    Csv,
    Tsv,
    Json,
};

// The search as the command line gives it, before the price list is read: the codes are still the typed text,
// split at their dots, so that the list's own section entry can stand in for the section segment.
struct SearchArguments
{
    enum class Kind {
        Text,
        Article,
        Subarticle,
        Range,
    };
    Kind kind = Kind::Text;
    QString text;
    bool capitoli = false;
    bool articoli = false;
    bool subarticoli = false;
    bool sectionGiven = false; // a text search without --section looks in the whole list
    QString section;
    QStringList code; // article and subarticle: section, chapter, article[, subarticle]
    QStringList from; // range: section, chapter[, article[, subarticle]]
    QStringList to;
};

// Trova from the command line: the typed words, and the filters beside its box.
struct FindArguments
{
    QString text;    // the words, joined by spaces
    QString section; // a section's code as typed; empty: every section
    std::optional<QString> unit;
    std::optional<double> minPrice;
    std::optional<double> maxPrice;
};

using core::ExportFormat;

// export: the items of a file of codes, written to a file in one of the export formats.
struct ExportArguments
{
    QString codes; // the file of codes, one a line
    QString out;
    ExportFormat format = ExportFormat::Pdf;
};

// compare: two editions of the list, item by item.
struct CompareArguments
{
    QString older;
    QString newer;
    QString out; // empty: the standard output
    bool xlsx = false; // a workbook at out instead of rows in command.format
};

// What the command line asks of the program.
struct QueryCommand
{
    enum class Action {
        Search,
        Find,
        Export,
        Compare,
        Help,
        Version,
        Refused, // print 'error' and the usage line, status 2
    };
    Action action = Action::Search;
    QString database; // empty: Prezzario.mdb beside the program
    Format format = Format::Csv;
    SearchArguments search;
    FindArguments find;
    ExportArguments exportTo;
    CompareArguments compare;
    QString error;
};

// Reads the arguments that follow the program's name.
QueryCommand parseQueryCommand(const QStringList& arguments);

// The text of --help, and the line printed after a refused command line.
QString queryUsage();
QString queryUsageLine();

} // namespace query
