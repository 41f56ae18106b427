#pragma once

#include "tools/build/Builder.h"
#include "tools/build/readers/CsvReader.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace builder {

class PriceListWriter;
class TableReader;
class Workbook;

// The problems of a build: the first hundred are shown, then how many more there are. Past kCounted the reading
// stops (add() throws Full): a file wrong on every row would otherwise take minutes to say so a million times.
class ErrorList
{
public:
    static constexpr qsizetype kShown = 100;
    static constexpr qsizetype kCounted = 10'000;
    struct Full
    {
    };

    void add(const QString& message);
    bool isEmpty() const { return m_count == 0; }
    qsizetype count() const { return m_count; }
    // One problem per line.
    QString text() const;

private:
    QStringList m_shown;
    QString m_last;
    qsizetype m_count = 0;
};

// The four tables of a price list: prezzario and anno_prezzario required, premesse and manuale optional.
// They are CSV files in a folder (prezzario.csv, …) or sheets of one workbook (.xlsx or .ods) with the
// same names, the same headers and the same rules.
class ListSource
{
public:
    enum class Table {
        Prices,
        Year,
        Premesse,
        Manual,
    };

    static ListSource csvFolder(const QString& dir, const CsvOptions& options = {});
    static ListSource workbook(const QString& path);
    // Tables made by readers of another kind of file (a price list written as XML): 'open' gives a table's
    // reader, or null for an optional table the file lacks; 'path' is the file messages name.
    using OpenTable = std::function<std::unique_ptr<TableReader>(Table table)>;
    static ListSource readers(const QString& path, OpenTable open);
    // The files a CSV folder's tables are read from: the two required ones first, then the optional ones.
    static QStringList csvFiles(const QString& dir);

    // Strict, as by default: rows of one section, chapter or article agree on that level's fields, and texts
    // hold no control characters. The tests turn it off to build the lists other tools write, whose rows
    // disagree (the windows show the first) and whose texts hold any character.
    void setStrict(bool strict) { m_strict = strict; }

    // Reads and checks every row of every table; writes them when `writer` is given and nothing is wrong.
    // Throws BuildError listing every problem found (ErrorList, up to its kCounted), so that nothing is committed.
    BuildSummary load(PriceListWriter* writer, const std::function<void(qint64 done, qint64 total)>& progress) const;

    // The name of a table in messages: "prezzario.csv" or "foglio «prezzario»".
    QString tableName(Table table) const;

private:
    ListSource() = default;
    BuildSummary load(PriceListWriter* writer, const std::function<void(qint64 done, qint64 total)>& progress,
                      ErrorList& errors) const;
    // The reader of a table, or null for an optional table the source lacks (a sheet: BuildError for a required
    // one; a CSV folder is checked for its required files when it is made).
    std::unique_ptr<TableReader> open(Table table) const;

    QString m_dir;
    CsvOptions m_csv;
    QString m_path; // the workbook's
    std::shared_ptr<const Workbook> m_workbook;
    OpenTable m_readers; // with m_path, the file they read
    bool m_strict = true;
};

} // namespace builder
