#pragma once

#include "core/Database.h"
#include "core/Text.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace core {

// Fixed facts of the delivered price list: its file name and the password of the file.
inline const QString kDatabaseFileName = QStringLiteral("Prezzario.mdb");
inline const QString kDbPassword = QStringLiteral("qzkw");
inline const QString kTemplateFileName = QStringLiteral("stampa.xls");

struct Section
{
    QString code; // codice_sezione, "01"
    Text name;    // sezione

    // The section as the section boxes list it: "01 - Opere edili".
    QString entry() const { return code + QStringLiteral(" - ") + name.toString(); }
};

// The section code of a section box's text, picked or typed: its first two characters ("01" of
// "01 - Opere edili").
inline QString sectionCodeOf(const QString& boxText)
{
    return boxText.left(2);
}

// What Consultazione lists: a section's chapters, a chapter's articles, an article's subarticles, each level
// with the note of the level above it.
struct ListedChapter
{
    QString code; // codice_capitolo, "A01"
    Text name;    // capitolo
};

struct SectionChapters
{
    Text sectionNote; // note_sezione of the first row
    QList<ListedChapter> chapters;
};

struct ListedArticle
{
    QString code; // codice_articolo, "A01"
    Text name;    // articolo
};

struct ChapterArticles
{
    Text chapterNote; // note_capitolo of the first row
    QList<ListedArticle> articles;
};

// A priced item: one row of the list.
struct Subarticle
{
    QString code; // codice_totale, "01.A01.A01.010"
    Text subarticolo;
    Text simbolo;
    std::optional<double> prezzoLordo;
    std::optional<double> incidenzaManodopera; // a percentage: 27.5 for 27,5 %
    std::optional<double> sommaManodopera;
};

struct ArticleSubarticles
{
    Text articleNote; // note_articolo of the first row
    QList<Subarticle> subarticles;
};

// The order of an article's subarticles: Consultazione lists them by their own code, the searches and
// the report in the list's order.
enum class SubarticleOrder {
    ByCode,
    ByListOrder,
};

// The texts of the preface window: the preface itself and two further notes are columns of the row of
// "Prefazione" or "Premessa"; a section's introduction is the "premessa" column of its row.
enum class PrefaceColumn {
    Premessa,
    Premessa2,
    Premessa3,
};

// Whether the file keeps each level in a table of its own, prezzario being the view that joins them, as the
// builder writes it; files of the older one-table layout hold every row in prezzario itself.
bool hasLevelTables(const Database& db);

// The price list of one file and the questions the program asks of it, each answered by one function.
// Engine failures throw DbError.
class PriceList
{
public:
    PriceList() = default;
    explicit PriceList(Database database) : m_db(std::move(database)) {}

    // Opens the file read-only with the program's password, checks that it holds the four relations of a
    // price list and reads its year. Throws DbError naming the file and the cause.
    static PriceList open(const QString& path);

    bool isOpen() const { return m_db.IsOpen(); }
    void close() { m_db.Close(); }
    const Database& database() const { return m_db; }
    const QString& path() const { return m_db.path(); }

    // The year of anno_prezzario; throws DbError when the table has no row or the year is Null.
    QString year() const;
    // Every section once, by code.
    QList<Section> sections() const;
    // The chapters of a section (its two-character code) in the list's order.
    SectionChapters chapters(const QString& section) const;
    // The articles of a chapter ("01.A01"), each once, by code.
    ChapterArticles articles(const QString& chapterCode) const;
    // The subarticles of an article ("01.A01.A01").
    ArticleSubarticles subarticles(const QString& articleCode, SubarticleOrder order) const;
    // The whole row of a subarticle's code, or nothing.
    struct Row
    {
        QString code;          // codice_totale
        QString codiceSezione; // "01"
        Text sezione, capitolo, articolo;
        Text noteSezione, noteCapitolo, noteArticolo;
        Subarticle subarticle;
    };
    std::optional<Row> row(const QString& code) const;
    // The whole rows of many codes, by code (a code the list lacks has none): a few queries for thousands of
    // codes, where row() makes one each.
    QHash<QString, Row> rows(const QStringList& codes) const;
    // The rows under a chapter ("01.A01"), an article ("01.A01.A01") or of a subarticle's code, in the list's
    // order.
    enum class Level {
        Chapter,
        Article,
        Subarticle,
    };
    QList<Row> rowsUnder(const QString& code, Level level) const;
    // The note of a section as its first row in the list's order holds it; nothing when the section has no row.
    std::optional<Text> sectionNote(const QString& section) const;
    // A text of the preface window: 'key' is "Prefazione", "Premessa" or a section's code. Null when the
    // row is missing or its text is Null.
    Text preface(const QString& key, PrefaceColumn column) const;
    // The text of a topic of the manual, by its title; Null when there is no such topic.
    Text manualTopic(const QString& title) const;

private:
    Database m_db;
};

} // namespace core
