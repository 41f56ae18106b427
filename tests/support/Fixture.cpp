#include "tests/support/Fixture.h"

#include "tools/build/Builder.h"
#include "tools/build/ListSource.h"
#include "core/PriceList.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

namespace fixture {

QString Row::codiceTotale() const
{
    return sezione_codice + u'.' + capitolo_codice + u'.' + articolo_codice + u'.' + subarticolo_codice;
}

QString csvField(const std::optional<QString>& value)
{
    if (!value)
        return {};
    QString quoted = *value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

namespace {

void writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write fixture file");
    file.write(text.toUtf8());
}

QString prezzarioCsv(const QList<Row>& rows)
{
    QString csv = QStringLiteral(
        "sequenza,codice_totale,codice_sezione,sezione,note_sezione,codice_capitolo,codice_articolo,capitolo,"
        "note_capitolo,seq_capitolo,codice_subarticolo,articolo,note_articolo,note_subarticolo,subarticolo,simbolo,"
        "prezzo_lordo,incidenza_manodopera,somma_manodopera\n");
    for (const Row& r : rows) {
        const QStringList fields{QString::number(r.sequenza),
                                 csvField(r.codiceTotale()),
                                 csvField(r.sezione_codice),
                                 csvField(r.sezione),
                                 csvField(r.note_sezione),
                                 csvField(r.capitolo_codice),
                                 csvField(r.articolo_codice),
                                 csvField(r.capitolo),
                                 csvField(r.note_capitolo),
                                 QString::number(r.seq_capitolo),
                                 csvField(r.subarticolo_codice),
                                 csvField(r.articolo),
                                 csvField(r.note_articolo),
                                 QString(),
                                 csvField(r.subarticolo),
                                 csvField(r.simbolo),
                                 r.prezzo_lordo.value_or(QString()),
                                 r.incidenza_manodopera.value_or(QString()),
                                 r.somma_manodopera.value_or(QString())};
        csv += fields.join(u',') + u'\n';
    }
    return csv;
}

} // namespace

PriceListFolder::PriceListFolder(const Tables& tables)
{
    QTemporaryDir source;
    const QDir dir(source.path());
    writeFile(dir.filePath(QStringLiteral("prezzario.csv")), prezzarioCsv(tables.rows));
    writeFile(dir.filePath(QStringLiteral("anno_prezzario.csv")), tables.anno);
    writeFile(dir.filePath(QStringLiteral("premesse.csv")),
              tables.premesse.isEmpty() ? QStringLiteral("codice_sezione,premessa,premessa2,premessa3\n")
                                        : tables.premesse);
    writeFile(dir.filePath(QStringLiteral("manuale.csv")),
              tables.manuale.isEmpty() ? QStringLiteral("titolo,Descrizione\n") : tables.manuale);
    // Written as another tool might: rows of one chapter may disagree and texts hold control characters, as
    // some tests need.
    builder::ListSource list = builder::ListSource::csvFolder(source.path());
    list.setStrict(false);
    builder::buildFrom(list, database());
}

QString PriceListFolder::database() const
{
    return QDir(m_dir.path()).filePath(core::kDatabaseFileName);
}

core::Database PriceListFolder::open() const
{
    return core::Database::OpenDatabase(database(), QStringLiteral(";pwd=") + core::kDbPassword);
}

} // namespace fixture
