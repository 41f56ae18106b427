#include "core/PriceList.h"

#include "core/Error.h"
#include "core/EscapeQuotes.h"
#include "core/Recordset.h"
#include "core/RowValues.h"

#include <QDir>

namespace core {

PriceList PriceList::open(const QString& path)
{
    PriceList list(Database::OpenDatabase(path, QStringLiteral(";pwd=") + kDbPassword));

    QStringList missing;
    for (const char* table : {"prezzario", "anno_prezzario", "premesse", "manuale"}) {
        const QString name = QString::fromLatin1(table);
        const Recordset rs = list.m_db.OpenRecordset(
            QStringLiteral("select name from sqlite_master where type in ('table', 'view') and name = ") +
            SqlString(name));
        if (rs.Eof())
            missing << name;
    }
    if (!missing.isEmpty())
        throw DbError(QStringLiteral("Il database «%1» non è un database del Prezzario: mancano le tabelle %2.")
                          .arg(QDir::toNativeSeparators(path), missing.join(QStringLiteral(", "))));
    return list;
}

bool hasLevelTables(const Database& db)
{
    const Recordset rs = db.OpenRecordset(QStringLiteral(
        "select (select count(*) from sqlite_master where type = 'view' and name = 'prezzario') + (select count(*) "
        "from sqlite_master where type = 'table' and name in ('sezioni', 'capitoli', 'articoli', 'subarticoli'))"));
    return rs.Fields(0).toDouble() == 5;
}

QString PriceList::year() const
{
    try {
        const Recordset rs = m_db.OpenRecordset(QStringLiteral("select * from anno_prezzario"));
        if (rs.Eof())
            throw DbError(QStringLiteral("la tabella anno_prezzario non contiene alcuna riga."));
        const Field year = rs.Fields(QStringLiteral("ANNO_PREZZARIO"));
        if (year.IsNull())
            throw DbError(QStringLiteral("l'anno del prezzario (tabella anno_prezzario) è vuoto."));
        return year.Text();
    } catch (const DbError& error) {
        throw DbError(QStringLiteral("Impossibile leggere l'anno del prezzario dal database «%1»: %2")
                          .arg(QDir::toNativeSeparators(path()), error.text()));
    }
}

QList<Section> PriceList::sections() const
{
    QList<Section> sections;
    for (Recordset rs = m_db.OpenRecordset(
             QStringLiteral("select distinct(codice_sezione),sezione from prezzario order by codice_sezione"));
         !rs.Eof(); rs.MoveNext())
        sections.append({rs.Fields(0).Text(), textAt(rs, 1)});
    return sections;
}

SectionChapters PriceList::chapters(const QString& section) const
{
    SectionChapters result;
    Recordset rs = m_db.OpenRecordset(
        QStringLiteral("select distinct codice_capitolo, capitolo,seq_capitolo,note_sezione from prezzario where "
                       "codice_sezione =") +
        SqlString(section) + QStringLiteral(" order by seq_capitolo"));
    if (!rs.Eof())
        result.sectionNote = textAt(rs, 3);
    for (; !rs.Eof(); rs.MoveNext())
        result.chapters.append({rs.Fields(0).Text(), textAt(rs, 1)});
    return result;
}

ChapterArticles PriceList::articles(const QString& chapterCode) const
{
    ChapterArticles result;
    Recordset rs = m_db.OpenRecordset(
        QStringLiteral("select codice_articolo,articolo,note_capitolo from prezzario where mid(codice_totale,1,6) =") +
        SqlString(chapterCode) + QStringLiteral(" order by codice_articolo"));
    if (!rs.Eof())
        result.chapterNote = textAt(rs, 2);
    // One row comes back for each subarticle: an article is listed at the first row of each run of its code.
    QString previous;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString code = rs.Fields(0).Text();
        if (code != previous)
            result.articles.append({code, textAt(rs, 1)});
        previous = code;
    }
    return result;
}

ArticleSubarticles PriceList::subarticles(const QString& articleCode, SubarticleOrder order) const
{
    ArticleSubarticles result;
    Recordset rs = m_db.OpenRecordset(
        QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,somma_manodopera,"
                       "note_articolo from prezzario where mid(codice_totale,1,10) =") +
        SqlString(articleCode) +
        (order == SubarticleOrder::ByCode ? QStringLiteral(" order by codice_subarticolo")
                                          : QStringLiteral(" order by sequenza")));
    if (!rs.Eof())
        result.articleNote = textAt(rs, 6);
    for (; !rs.Eof(); rs.MoveNext())
        result.subarticles.append(subarticleAt(rs, 0));
    return result;
}

namespace {

const QString kRowColumns = QStringLiteral(
    "select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,somma_manodopera,codice_sezione,"
    "sezione,capitolo,articolo,note_sezione,note_capitolo,note_articolo from prezzario where ");

PriceList::Row rowAt(const Recordset& rs)
{
    PriceList::Row row;
    row.subarticle = subarticleAt(rs, 0);
    row.code = row.subarticle.code;
    row.codiceSezione = rs.Fields(6).Text();
    row.sezione = textAt(rs, 7);
    row.capitolo = textAt(rs, 8);
    row.articolo = textAt(rs, 9);
    row.noteSezione = textAt(rs, 10);
    row.noteCapitolo = textAt(rs, 11);
    row.noteArticolo = textAt(rs, 12);
    return row;
}

} // namespace

std::optional<PriceList::Row> PriceList::row(const QString& code) const
{
    const Recordset rs = m_db.OpenRecordset(kRowColumns + QStringLiteral("codice_totale = ") + SqlString(code));
    if (rs.Eof())
        return std::nullopt;
    return rowAt(rs);
}

QHash<QString, PriceList::Row> PriceList::rows(const QStringList& codes) const
{
    // Short enough for any SQL text, long enough that the statement is prepared a few times only.
    constexpr qsizetype kCodesAQuery = 500;
    QHash<QString, Row> found;
    found.reserve(codes.size());
    for (qsizetype from = 0; from < codes.size(); from += kCodesAQuery) {
        QStringList quoted;
        for (const QString& code : codes.mid(from, kCodesAQuery))
            quoted << SqlString(code);
        const QString sql = kRowColumns + QStringLiteral("codice_totale in (") + quoted.join(u',') + u')';
        for (Recordset rs = m_db.OpenRecordset(sql); !rs.Eof(); rs.MoveNext()) {
            // As row() would: the first row of a code, should an older file hold it twice.
            const QString code = rs.Fields(0).Text();
            if (!found.contains(code))
                found.insert(code, rowAt(rs));
        }
    }
    return found;
}

QList<PriceList::Row> PriceList::rowsUnder(const QString& code, Level level) const
{
    const QString where = level == Level::Chapter   ? QStringLiteral("mid(codice_totale,1,6) = ")
                          : level == Level::Article ? QStringLiteral("mid(codice_totale,1,10) = ")
                                                    : QStringLiteral("codice_totale = ");
    QList<Row> rows;
    for (Recordset rs = m_db.OpenRecordset(kRowColumns + where + SqlString(code) + QStringLiteral(" order by sequenza"));
         !rs.Eof(); rs.MoveNext())
        rows.append(rowAt(rs));
    return rows;
}

std::optional<Text> PriceList::sectionNote(const QString& section) const
{
    const Recordset rs = m_db.OpenRecordset(QStringLiteral("select note_sezione from prezzario where codice_sezione=") +
                                            SqlString(section) + QStringLiteral(" order by sequenza"));
    if (rs.Eof())
        return std::nullopt;
    return textAt(rs, 0);
}

Text PriceList::preface(const QString& key, PrefaceColumn column) const
{
    static const QString kColumns[] = {QStringLiteral("premessa"), QStringLiteral("premessa2"),
                                       QStringLiteral("premessa3")};
    const QString& name = kColumns[static_cast<int>(column)];
    const Recordset rs = m_db.OpenRecordset(QStringLiteral("select ") + name +
                                            QStringLiteral(" from premesse where codice_sezione =") + SqlString(key));
    return rs.Eof() ? Text() : textAt(rs, 0);
}

Text PriceList::manualTopic(const QString& title) const
{
    const Recordset rs =
        m_db.OpenRecordset(QStringLiteral("select Descrizione from manuale where titolo =") + SqlString(title));
    return rs.Eof() ? Text() : textAt(rs, 0);
}

} // namespace core
