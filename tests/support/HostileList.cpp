#include "tests/support/HostileList.h"

#include "core/Database.h"
#include "core/PriceList.h"
#include "ui/ReportList.h"

#include <gtest/gtest.h>

namespace hostile {

namespace {

const QString kLongText = QStringLiteral("Muratura ") + QString(10000 - 18, u'x') + QStringLiteral(" fine testo");
const QChar kNul(0);

fixture::Row row(qint64 sequenza, const char* section, const char* chapter, qint64 seq, const char* article,
                 const char* sub)
{
    fixture::Row r;
    r.sequenza = sequenza;
    r.sezione_codice = QString::fromLatin1(section);
    r.capitolo_codice = QString::fromLatin1(chapter);
    r.seq_capitolo = seq;
    r.articolo_codice = QString::fromLatin1(article);
    r.subarticolo_codice = QString::fromLatin1(sub);
    return r;
}

void section01(fixture::Row& r)
{
    r.sezione = QStringLiteral("Opere d'arte '-- e \"virgolette\"");
    r.note_sezione = QStringLiteral("'; drop table prezzario; --");
}

void section02(fixture::Row& r)
{
    r.sezione = QStringLiteral("עבודות שיקום — \u200Frestauro\u200F 🏛️");
}

void chapterA01(fixture::Row& r)
{
    section01(r);
    r.capitolo = QStringLiteral("Scavi 'a' sezione ' or '1'='1");
    r.note_capitolo = QStringLiteral("riga uno\nriga due\r\nriga tre\tcon tab");
}

void chapterB02(fixture::Row& r)
{
    section01(r);
    r.capitolo = QStringLiteral("Demolizioni \\ barra %_ e <b>html</b> &amp;");
    r.note_capitolo = kLongText;
}

} // namespace

fixture::Tables tables()
{
    QList<fixture::Row> rows;

    fixture::Row r = row(1, "01", "A01", 1, "A01", "010");
    chapterA01(r);
    r.articolo = QStringLiteral("Scavo dell'opera '-- con ''doppi'' apici");
    r.note_articolo =
        QStringLiteral("Nota con caratteri di controllo \x01\x02\x1F e un NUL ") + kNul + QStringLiteral(" qui");
    r.subarticolo = QStringLiteral("in terreno \"sciolto\" 🏗️ 👷‍♀️");
    r.simbolo = QStringLiteral("m²'");
    r.prezzo_lordo = QStringLiteral("19.01");
    r.incidenza_manodopera = QStringLiteral("27.5");
    r.somma_manodopera = QStringLiteral("5.23");
    rows << r;

    fixture::Row nulls = r;
    nulls.sequenza = 2;
    nulls.subarticolo_codice = QStringLiteral("020");
    nulls.subarticolo = QStringLiteral("in roccia ') union select * from premesse --");
    nulls.simbolo = QStringLiteral("\"");
    nulls.prezzo_lordo.reset();
    nulls.incidenza_manodopera.reset();
    nulls.somma_manodopera.reset();
    rows << nulls;

    r = row(3, "01", "A01", 1, "A02", "010");
    chapterA01(r);
    r.articolo = QStringLiteral("Rinterro e\u0301 cafe\u0301 (accenti combinati) *?#[!x]");
    r.subarticolo = QStringLiteral("con mezzi ") + kNul + QStringLiteral(" meccanici\tal m³");
    r.simbolo = QStringLiteral("€/m³");
    r.prezzo_lordo = QStringLiteral("1234567.891");
    r.incidenza_manodopera = QStringLiteral("0.5");
    r.somma_manodopera = QStringLiteral("6172.84");
    rows << r;

    r = row(4, "01", "B02", 2, "A01", "010");
    chapterB02(r);
    r.articolo = kLongText;
    r.note_articolo = QStringLiteral("ترميم ‮evil‬ نص");
    r.subarticolo = kLongText;
    r.simbolo = QStringLiteral("cad");
    r.prezzo_lordo = QStringLiteral("0.01");
    r.incidenza_manodopera = QStringLiteral("100");
    r.somma_manodopera = QStringLiteral("0.01");
    rows << r;

    r.sequenza = 5;
    r.subarticolo_codice = QStringLiteral("020");
    r.subarticolo = QStringLiteral("\\'; --\\");
    rows << r;

    r = row(6, "02", "A01", 3, "A01", "010");
    section02(r);
    r.capitolo = QStringLiteral("ترميم الجدران \u202Eevil\u202C e\u0301");
    r.note_capitolo = QStringLiteral("👷‍♀️🏗️");
    r.articolo = QStringLiteral("Consolidamento 🧱 con resina");
    r.subarticolo = QStringLiteral("iniezioni ' '' ''' di malta");
    r.simbolo = QStringLiteral("kg");
    r.prezzo_lordo = QStringLiteral("42");
    r.incidenza_manodopera = QStringLiteral("33.3");
    r.somma_manodopera = QStringLiteral("13.99");
    rows << r;

    fixture::Tables tables;
    tables.rows = rows;
    tables.premesse = QStringLiteral("codice_sezione,premessa,premessa2,premessa3\n") +
                      fixture::csvField(QStringLiteral("01")) + u',' +
                      fixture::csvField(QStringLiteral("Premessa con '--, \"virgolette\" e 🏗️\nsu due righe")) +
                      QStringLiteral(",,\n") + fixture::csvField(QStringLiteral("02")) + u',' +
                      fixture::csvField(QStringLiteral("מבוא ‮evil‬")) + QStringLiteral(",,\n");
    return tables;
}

QStringList needles()
{
    return {QStringLiteral("'--"),       QStringLiteral("dell'opera"),     QStringLiteral("' or '"),
            QStringLiteral("🏗️"),   QStringLiteral("ترميم"),          QStringLiteral("%_"),
            QStringLiteral("\\'"),       QStringLiteral("\"sciolto"),      QStringLiteral("e\u0301"),
            QStringLiteral("''doppi''"), QStringLiteral("xxxxxxxxxx fine")};
}

void quoteCodes(const QString& database)
{
    core::Database db = core::Database::OpenDatabase(database, QStringLiteral(";pwd=") + core::kDbPassword,
                                                     core::Database::Mode::CreateWrite);
    // Codes the builder refuses, written into the level tables behind prezzario.
    db.Execute(QStringLiteral("update capitoli set codice_capitolo = 'A''1' where codice_capitolo = 'A01' and sezione "
                              "in (select id from sezioni where codice_sezione = '01')"));
    db.Execute(QStringLiteral("update subarticoli set codice_totale = '01.A''1' || substr(codice_totale, 7) "
                              "where substr(codice_totale, 1, 7) = '01.A01.'"));
    db.Execute(QStringLiteral("update articoli set codice_articolo = '''--' where codice_articolo = 'A02' and capitolo "
                              "in (select c.id from capitoli c join sezioni z on z.id = c.sezione "
                              "where z.codice_sezione = '01' and c.codice_capitolo = 'A''1')"));
    db.Execute(QStringLiteral("update subarticoli set codice_totale = substr(codice_totale, 1, 7) || '''--' || "
                              "substr(codice_totale, 11) where substr(codice_totale, 1, 11) = '01.A''1.A02.'"));
}

fixture::Tables quotedTables()
{
    fixture::Tables quoted = tables();
    for (fixture::Row& r : quoted.rows) {
        if (r.sezione_codice != u"01" || r.capitolo_codice != u"A01")
            continue;
        r.capitolo_codice = QStringLiteral("A'1");
        if (r.articolo_codice == u"A02")
            r.articolo_codice = QStringLiteral("'--");
    }
    return quoted;
}

QStringList expectedCells(const QString& listName, const QString& code, const fixture::Tables& tables)
{
    for (const fixture::Row& r : tables.rows) {
        if (!r.codiceTotale().startsWith(code + (code.size() == 14 ? QString() : QStringLiteral("."))))
            continue;
        auto number = [](const std::optional<QString>& value, const QString& suffix = {}) {
            return value ? QString(*value).replace(u'.', u',') + suffix : QString();
        };
        const QString note =
            listName == u"lstCapitoli" ? r.note_capitolo.value_or(QString()) : r.note_articolo.value_or(QString());
        if (listName == u"lst_Capitoli")
            return {code, r.capitolo};
        if (listName == u"lst_Articoli")
            return {code, r.articolo};
        if (listName == u"lstCapitoli")
            return {code, r.sezione, r.capitolo, note};
        if (listName == u"lstArticoli")
            return {code, r.sezione, r.capitolo, r.articolo, note};
        return {code,
                r.subarticolo,
                r.simbolo,
                number(r.prezzo_lordo),
                number(r.incidenza_manodopera, QStringLiteral(" %")),
                number(r.somma_manodopera)};
    }
    return {QStringLiteral("(no such code in the fixture)")};
}

void expectRowsAsStored(const ui::ReportList* list, const fixture::Tables& tables)
{
    const QString name = list->objectName();
    for (qsizetype i = 0; i < list->Count(); ++i) {
        const QString key = list->Key(i);
        EXPECT_EQ(key, ui::ReportList::keyFor(i));
        const QStringList expected = expectedCells(name, list->Text(key), tables);
        QStringList shown;
        for (int n = 0; n < expected.size(); ++n)
            shown << list->SubItem(key, n);
        EXPECT_EQ(shown, expected) << name.toStdString() << " row " << i;
    }
}

} // namespace hostile
