#include "tests/support/Fixture.h"

namespace fixture {

namespace {

struct Chapter
{
    QString section;
    QString sectionName;
    QString code;
    qint64 seq;
    QString name;
    std::optional<QString> note;
};

Row row(qint64 sequenza, const Chapter& chapter, const QString& article, const QString& articleName,
                 const QString& sub, const QString& subName)
{
    Row r;
    r.sequenza = sequenza;
    r.sezione_codice = chapter.section;
    r.sezione = chapter.sectionName;
    r.capitolo_codice = chapter.code;
    r.seq_capitolo = chapter.seq;
    r.capitolo = chapter.name;
    r.note_capitolo = chapter.note;
    r.articolo_codice = article;
    r.articolo = articleName;
    r.subarticolo_codice = sub;
    r.subarticolo = subName;
    return r;
}

} // namespace

Tables searchTables()
{
    const QString edili = QStringLiteral("Opere edili");
    const QString restauro = QStringLiteral("Restauro");
    const Chapter b01{QStringLiteral("01"),
                      edili,
                      QStringLiteral("B01"),
                      1,
                      QStringLiteral("Conglomerati cementizi"),
                      QStringLiteral("Nota del capitolo B01")};
    const Chapter a01{
        QStringLiteral("01"), edili, QStringLiteral("A01"), 2, QStringLiteral("Scavi e movimenti di terra"),
        std::nullopt};
    const Chapter a03{QStringLiteral("01"), edili, QStringLiteral("A03"), 3, QStringLiteral("Murature"), std::nullopt};
    const Chapter s02a01{QStringLiteral("02"),
                         restauro,
                         QStringLiteral("A01"),
                         5,
                         QStringLiteral("Scavi archeologici"),
                         QStringLiteral("Nota degli scavi archeologici")};
    const Chapter s02c01{QStringLiteral("02"), restauro, QStringLiteral("C01"), 4, QStringLiteral("Consolidamenti"),
                         std::nullopt};

    QList<Row> rows;
    Row r = row(1, b01, QStringLiteral("A01"), QStringLiteral("Calcestruzzo per fondazioni"),
                         QStringLiteral("010"), QStringLiteral("Classe C25/30 perché è così"));
    r.prezzo_lordo = QStringLiteral("120.5");
    r.incidenza_manodopera = QStringLiteral("12");
    r.somma_manodopera = QStringLiteral("14.46");
    rows << r;
    r = row(2, b01, QStringLiteral("A01"), QStringLiteral("Calcestruzzo per fondazioni"), QStringLiteral("020"),
            QStringLiteral("Classe C30/37 con aggiunta al 50% di inerti"));
    r.prezzo_lordo.reset();
    r.incidenza_manodopera.reset();
    r.somma_manodopera.reset();
    rows << r;
    rows << row(3, b01, QStringLiteral("A02"), QStringLiteral("Magrone di sottofondazione"), QStringLiteral("010"),
                QStringLiteral("Spessore 100*200 mm"));
    r = row(4, a01, QStringLiteral("A01"), QStringLiteral("Scavo a sezione obbligata"), QStringLiteral("010"),
            QStringLiteral("In terreno di qualsiasi natura"));
    r.note_articolo = QStringLiteral("Nota dello scavo a sezione obbligata");
    rows << r;
    r = row(5, a01, QStringLiteral("A01"), QStringLiteral("Scavo a sezione obbligata"), QStringLiteral("020"),
            QStringLiteral("In roccia dura con rete a[b] elettrosaldata"));
    r.note_articolo = QStringLiteral("Nota dello scavo a sezione obbligata");
    rows << r;
    rows << row(6, a01, QStringLiteral("A02"), QStringLiteral("Scavo di sbancamento dell'opera"), QStringLiteral("010"),
                QStringLiteral("Con mezzi meccanici"));
    rows << row(7, a03, QStringLiteral("A05"), QStringLiteral("Muratura portante in laterizio"), QStringLiteral("010"),
                QStringLiteral("Spessore 25 cm"));
    rows << row(8, a03, QStringLiteral("A05"), QStringLiteral("Muratura portante in laterizio"), QStringLiteral("020"),
                QStringLiteral("Spessore 30 cm"));
    rows << row(9, a03, QStringLiteral("A06"), QStringLiteral("Tramezzatura in laterizio"), QStringLiteral("010"),
                QStringLiteral("Spessore 8 cm"));
    rows << row(10, a03, QStringLiteral("A05"), QStringLiteral("Muratura portante in laterizio"), QStringLiteral("030"),
                QStringLiteral("Spessore 38 cm"));
    rows << row(11, s02a01, QStringLiteral("A01"), QStringLiteral("Scavo stratigrafico"), QStringLiteral("010"),
                QStringLiteral("A mano con setacciatura"));
    rows << row(12, s02c01, QStringLiteral("A01"), QStringLiteral("Iniezioni di malta"), QStringLiteral("010"),
                QStringLiteral("Malta di calce idraulica"));
    Tables tables;
    tables.rows = rows;
    return tables;
}

} // namespace fixture
