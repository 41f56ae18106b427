#include "tools/build/writer/PriceListWriter.h"

#include <QFile>

#include "tools/build/readers/BuildError.h"
#include "core/Error.h"
#include "core/PriceList.h"

#include <sqlcipher/sqlite3.h>

namespace builder {

namespace {

// Each level is stored once: a section, chapter or article is one row of its own table, and a subarticle
// row names its article. A search of the chapters then reads the chapters, not a copy of them in every
// subarticle row, and a file holds a third of the bytes to decrypt. The program reads the view
// prezzario, one row per subarticle with the columns in the order "select * from prezzario" gives them.
// sequenza is the row id of subarticoli, so list order is the table's own order.
constexpr const char* kSchema = R"sql(
create table sezioni (
    id integer primary key,
    codice_sezione text not null,
    sezione text not null,
    note_sezione text
);
create table capitoli (
    id integer primary key,
    sezione integer not null references sezioni,
    codice_capitolo text not null,
    capitolo text not null,
    note_capitolo text,
    seq_capitolo integer not null
);
create table articoli (
    id integer primary key,
    capitolo integer not null references capitoli,
    codice_articolo text not null,
    articolo text not null,
    note_articolo text
);
create table subarticoli (
    sequenza integer primary key,
    articolo integer not null references articoli,
    codice_totale text not null,
    codice_subarticolo text not null,
    subarticolo text not null,
    note_subarticolo text,
    simbolo text not null,
    prezzo_lordo real,
    incidenza_manodopera real,
    somma_manodopera real
);
create view prezzario (
    sequenza, codice_totale, codice_sezione, sezione, note_sezione, codice_capitolo, codice_articolo, capitolo,
    note_capitolo, seq_capitolo, codice_subarticolo, articolo, note_articolo, note_subarticolo, subarticolo, simbolo,
    prezzo_lordo, incidenza_manodopera, somma_manodopera
) as select
    s.sequenza, s.codice_totale, z.codice_sezione, z.sezione, z.note_sezione, c.codice_capitolo, a.codice_articolo,
    c.capitolo, c.note_capitolo, c.seq_capitolo, s.codice_subarticolo, a.articolo, a.note_articolo,
    s.note_subarticolo, s.subarticolo, s.simbolo, s.prezzo_lordo, s.incidenza_manodopera, s.somma_manodopera
from subarticoli s
    join articoli a on a.id = s.articolo
    join capitoli c on c.id = a.capitolo
    join sezioni z on z.id = c.sezione;
create table anno_prezzario (ANNO_PREZZARIO integer);
create table premesse (codice_sezione text primary key, premessa text, premessa2 text, premessa3 text);
create table manuale (titolo text primary key, Descrizione text);
)sql";

// Built after the rows are in (much faster than maintaining them row by row). The expressions of the
// last two are written exactly as the program's queries write them, or SQLite would not use them.
constexpr const char* kIndexes[] = {
    "create unique index ix_subarticoli_codice_totale on subarticoli (codice_totale)",
    // From a level down to its rows: a chapter search walks chapters, then their articles and subarticles.
    "create index ix_subarticoli_articolo on subarticoli (articolo)",
    "create index ix_articoli_capitolo on articoli (capitolo)",
    "create index ix_capitoli_sezione on capitoli (sezione, seq_capitolo)",
    // The chapter search over the whole list orders by seq_capitolo: without it, a sort of every match.
    "create index ix_capitoli_seq_capitolo on capitoli (seq_capitolo)",
    "create index ix_sezioni_codice on sezioni (codice_sezione, sezione)",
    "create index ix_subarticoli_chiave_capitolo on subarticoli (mid(codice_totale,1,6))",
    "create index ix_subarticoli_chiave_articolo on subarticoli (mid(codice_totale,1,10))",
};
constexpr int kIndexCount = int(std::size(kIndexes));

} // namespace

PriceListWriter::PriceListWriter(const QString& outPath) : m_outPath(outPath), m_temporary(outPath)
{
    try {
        m_db = core::Database::OpenDatabase(m_temporary.path(), QStringLiteral(";pwd=") + core::kDbPassword,
                                            core::Database::Mode::CreateWrite);
        // The temporary file is thrown away on any failure, so it needs no crash safety of its own;
        // the rollback journal is kept in memory and the file stays in rollback-journal mode.
        exec("pragma journal_mode = memory");
        exec("pragma synchronous = off");
        exec("pragma cache_size = -65536");
        exec("begin");
        exec(kSchema);
        m_sections.insert = prepare("insert into sezioni values (?1,?2,?3,?4)");
        m_chapters.insert = prepare("insert into capitoli values (?1,?2,?3,?4,?5,?6)");
        m_articles.insert = prepare("insert into articoli values (?1,?2,?3,?4,?5)");
        m_insertRow = prepare("insert into subarticoli values (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)");
        m_insertPremessa = prepare("insert into premesse values (?1,?2,?3,?4)");
        m_insertTopic = prepare("insert into manuale values (?1,?2)");
    } catch (const core::DbError& e) {
        discard();
        throw BuildError(e.text());
    } catch (...) {
        discard();
        throw;
    }
}

PriceListWriter::~PriceListWriter()
{
    if (!m_committed)
        discard();
}

void PriceListWriter::finalizeStatements()
{
    for (sqlite3_stmt** stmt :
         {&m_insertRow, &m_sections.insert, &m_chapters.insert, &m_articles.insert, &m_insertPremessa, &m_insertTopic}) {
        sqlite3_finalize(*stmt);
        *stmt = nullptr;
    }
}

void PriceListWriter::discard()
{
    finalizeStatements();
    m_db.Close();
    m_temporary.discard();
}

void PriceListWriter::fail(const QString& what) const
{
    throw BuildError(QStringLiteral("Impossibile scrivere «%1»: %2").arg(m_temporary.path(), what));
}

// The engine's failure as the user reads it: the causes a user can meet (a full disk, no permission) in Italian.
QString PriceListWriter::engineFailure() const
{
    switch (sqlite3_errcode(m_db.handle())) {
    case SQLITE_FULL:
        return QStringLiteral("spazio esaurito sul disco");
    case SQLITE_IOERR:
        return QStringLiteral("errore di lettura o scrittura del disco");
    case SQLITE_NOMEM:
        return QStringLiteral("memoria insufficiente");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("non si hanno i permessi per scrivere il file");
    default:
        return QString::fromUtf8(sqlite3_errmsg(m_db.handle()));
    }
}

void PriceListWriter::exec(const char* sql)
{
    if (sqlite3_exec(m_db.handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(engineFailure());
}

sqlite3_stmt* PriceListWriter::prepare(const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db.handle(), sql, -1, &stmt, nullptr) != SQLITE_OK)
        fail(engineFailure());
    return stmt;
}

void PriceListWriter::step(sqlite3_stmt* stmt)
{
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc != SQLITE_DONE)
        fail(engineFailure());
}

namespace {

void bindText(sqlite3_stmt* stmt, int index, const QString& value)
{
    // A null pointer would bind Null: empty text must stay empty text.
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.isNull() ? "" : utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindText(sqlite3_stmt* stmt, int index, const std::optional<QString>& value)
{
    if (value)
        bindText(stmt, index, *value);
    else
        sqlite3_bind_null(stmt, index);
}

void bindReal(sqlite3_stmt* stmt, int index, const std::optional<double>& value)
{
    if (value)
        sqlite3_bind_double(stmt, index, *value);
    else
        sqlite3_bind_null(stmt, index);
}

// Each part ends where its text says: a number at its '/', a text after the length it starts with, a note
// at its 'N' (Null) or as a text after its 'T'. No text can then run into the next, and a Null note differs
// from an empty one.
void appendKey(QString& key, const PriceListWriter::LevelValue& value)
{
    if (const auto* number = std::get_if<qint64>(&value)) {
        key += QString::number(*number);
        key += u'/';
        return;
    }
    const QString* text = nullptr;
    if (const auto* note = std::get_if<const std::optional<QString>*>(&value)) {
        const std::optional<QString>& optional = **note;
        key += optional ? u'T' : u'N';
        text = optional ? &*optional : nullptr;
    } else {
        text = std::get<const QString*>(value);
    }
    if (text) {
        key += QString::number(text->size());
        key += u':';
        key += *text;
    }
}

void bindValue(sqlite3_stmt* stmt, int index, const PriceListWriter::LevelValue& value)
{
    if (const auto* number = std::get_if<qint64>(&value))
        sqlite3_bind_int64(stmt, index, *number);
    else if (const auto* note = std::get_if<const std::optional<QString>*>(&value))
        bindText(stmt, index, **note);
    else
        bindText(stmt, index, *std::get<const QString*>(value));
}

} // namespace

// A level's identity is all it stores, its parent included: rows that agree on every field share one row
// of the level's table, and rows that differ (a check the builder can be asked to skip) each keep their own.
qint64 PriceListWriter::levelId(Level& level, std::initializer_list<LevelValue> values)
{
    QString key;
    for (const LevelValue& value : values)
        appendKey(key, value);
    const auto found = level.ids.constFind(key);
    if (found != level.ids.constEnd())
        return *found;
    const qint64 id = level.ids.size() + 1;
    sqlite3_bind_int64(level.insert, 1, id);
    int column = 2;
    for (const LevelValue& value : values)
        bindValue(level.insert, column++, value);
    step(level.insert);
    level.ids.insert(key, id);
    return id;
}

void PriceListWriter::addRow(const PriceRow& row)
{
    const qint64 section = levelId(m_sections, {&row.codiceSezione, &row.sezione, &row.noteSezione});
    const qint64 chapter =
        levelId(m_chapters, {section, &row.codiceCapitolo, &row.capitolo, &row.noteCapitolo, row.seqCapitolo});
    const qint64 article = levelId(m_articles, {chapter, &row.codiceArticolo, &row.articolo, &row.noteArticolo});

    sqlite3_stmt* s = m_insertRow;
    sqlite3_bind_int64(s, 1, row.sequenza);
    sqlite3_bind_int64(s, 2, article);
    bindText(s, 3, row.codiceTotale);
    bindText(s, 4, row.codiceSubarticolo);
    bindText(s, 5, row.subarticolo);
    bindText(s, 6, row.noteSubarticolo);
    bindText(s, 7, row.simbolo);
    bindReal(s, 8, row.prezzoLordo);
    bindReal(s, 9, row.incidenzaManodopera);
    bindReal(s, 10, row.sommaManodopera);
    step(s);
}

void PriceListWriter::setYear(qint64 year)
{
    if (m_yearSet)
        exec("delete from anno_prezzario");
    sqlite3_stmt* stmt = prepare("insert into anno_prezzario values (?1)");
    sqlite3_bind_int64(stmt, 1, year);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        fail(engineFailure());
    m_yearSet = true;
}

void PriceListWriter::addPremessa(const QString& key, const std::optional<QString>& premessa,
                                  const std::optional<QString>& premessa2, const std::optional<QString>& premessa3)
{
    bindText(m_insertPremessa, 1, key);
    bindText(m_insertPremessa, 2, premessa);
    bindText(m_insertPremessa, 3, premessa2);
    bindText(m_insertPremessa, 4, premessa3);
    step(m_insertPremessa);
}

void PriceListWriter::addManualTopic(const QString& title, const std::optional<QString>& text)
{
    bindText(m_insertTopic, 1, title);
    bindText(m_insertTopic, 2, text);
    step(m_insertTopic);
}

int PriceListWriter::finishingSteps()
{
    return kIndexCount + 1;
}

void PriceListWriter::commit(const std::function<void(int done, int total)>& onStep)
{
    // The program reads the year from the first row without checking that there is one.
    if (!m_yearSet)
        fail(QStringLiteral("manca l'anno del prezzario"));
    const int total = finishingSteps();
    for (int i = 0; i < kIndexCount; ++i) {
        exec(kIndexes[i]);
        if (onStep)
            onStep(i + 1, total);
    }
    exec("analyze");
    exec("commit");
    exec("pragma journal_mode = delete");
    finalizeStatements();
    m_db.Close();
    m_temporary.commit();
    m_committed = true;
    if (onStep)
        onStep(total, total);
}

} // namespace builder
