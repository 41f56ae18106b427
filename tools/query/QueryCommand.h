#pragma once

#include <QString>
#include <QStringList>

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

// What the command line asks of the program.
struct QueryCommand
{
    enum class Action {
        Search,
        Help,
        Version,
        Refused, // print 'error' and the usage line, status 2
    };
    Action action = Action::Search;
    QString database; // empty: Prezzario.mdb beside the program
    Format format = Format::Csv;
    SearchArguments search;
    QString error;
};

// Reads the arguments that follow the program's name.
QueryCommand parseQueryCommand(const QStringList& arguments);

// The text of --help, and the line printed after a refused command line.
QString queryUsage();
QString queryUsageLine();

} // namespace query
