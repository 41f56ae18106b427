#pragma once

#include "core/Database.h"
#include "tools/build/writer/OutputFile.h"

#include <QHash>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

struct sqlite3_stmt;

namespace builder {

// One subarticle row of the relation prezzario, fields in its column order.
struct PriceRow
{
    qint64 sequenza = 0;
    QString codiceTotale;
    QString codiceSezione;
    QString sezione;
    std::optional<QString> noteSezione;
    QString codiceCapitolo;
    QString codiceArticolo;
    QString capitolo;
    std::optional<QString> noteCapitolo;
    qint64 seqCapitolo = 0;
    QString codiceSubarticolo;
    QString articolo;
    std::optional<QString> noteArticolo;
    std::optional<QString> noteSubarticolo;
    QString subarticolo;
    QString simbolo;
    std::optional<double> prezzoLordo;
    std::optional<double> incidenzaManodopera;
    std::optional<double> sommaManodopera;
};

// Writes one encrypted price-list database. Everything goes into a temporary file beside outPath
// (TemporaryOutput), inside a single transaction; commit() builds the indexes and moves the file over outPath. A writer
// destroyed without commit() deletes its temporary file, so a failed build leaves nothing half-written. Every failure
// throws BuildError.
class PriceListWriter
{
public:
    explicit PriceListWriter(const QString& outPath);
    ~PriceListWriter();
    PriceListWriter(const PriceListWriter&) = delete;
    PriceListWriter& operator=(const PriceListWriter&) = delete;

    void addRow(const PriceRow& row);
    void setYear(qint64 year);
    void addPremessa(const QString& key, const std::optional<QString>& premessa,
                     const std::optional<QString>& premessa2 = std::nullopt,
                     const std::optional<QString>& premessa3 = std::nullopt);
    void addManualTopic(const QString& title, const std::optional<QString>& text);

    // Number of steps commit() reports: one per index, one for the statistics.
    static int finishingSteps();
    // Builds the indexes, gathers the statistics, closes the file and renames it to outPath.
    void commit(const std::function<void(int done, int total)>& onStep = {});

    const QString& outPath() const { return m_outPath; }

    // One field of a section, chapter or article row: its parent's id, a text or a note that may be Null.
    using LevelValue = std::variant<qint64, const QString*, const std::optional<QString>*>;

private:
    void exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    void step(sqlite3_stmt* stmt);
    [[noreturn]] void fail(const QString& what) const;
    QString engineFailure() const;
    void finalizeStatements();
    void discard();

    // One level above the subarticles: its insert statement and the ids of the rows written so far.
    struct Level
    {
        sqlite3_stmt* insert = nullptr;
        QHash<QString, qint64> ids;
    };
    qint64 levelId(Level& level, std::initializer_list<LevelValue> values);

    QString m_outPath;
    TemporaryOutput m_temporary;
    core::Database m_db;
    Level m_sections;
    Level m_chapters;
    Level m_articles;
    sqlite3_stmt* m_insertRow = nullptr;
    sqlite3_stmt* m_insertPremessa = nullptr;
    sqlite3_stmt* m_insertTopic = nullptr;
    bool m_yearSet = false;
    bool m_committed = false;
};

} // namespace builder
