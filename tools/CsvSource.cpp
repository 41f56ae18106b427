#include "CsvSource.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "Builder.h"
#include "CsvReader.h"
#include "PriceListWriter.h"

#include <unordered_map>

namespace builder {

namespace {

constexpr std::string_view kPriceColumns[] = {
    "sequenza",      "codice_totale",        "codice_sezione",     "sezione",
    "note_sezione",  "codice_capitolo",      "codice_articolo",    "capitolo",
    "note_capitolo", "seq_capitolo",         "codice_subarticolo", "articolo",
    "note_articolo", "note_subarticolo",     "subarticolo",        "simbolo",
    "prezzo_lordo",  "incidenza_manodopera", "somma_manodopera",
};

enum PriceColumn {
    Sequenza,
    CodiceTotale,
    CodiceSezione,
    Sezione,
    NoteSezione,
    CodiceCapitolo,
    CodiceArticolo,
    Capitolo,
    NoteCapitolo,
    SeqCapitolo,
    CodiceSubarticolo,
    Articolo,
    NoteArticolo,
    NoteSubarticolo,
    Subarticolo,
    Simbolo,
    PrezzoLordo,
    IncidenzaManodopera,
    SommaManodopera,
};

constexpr std::string_view kYearColumns[] = {"ANNO_PREZZARIO"};
constexpr std::string_view kPremesseColumns[] = {"codice_sezione", "premessa", "premessa2", "premessa3"};
constexpr std::string_view kManualColumns[] = {"titolo", "Descrizione"};

constexpr qint64 kProgressEvery = 1024;

// sequenza and seq_capitolo are positions in the list: the program orders and compares by them.
qint64 listPosition(const CsvReader& reader, int column)
{
    const qint64 value = reader.integer(column);
    if (value < 1)
        reader.fail(column, QStringLiteral("deve essere un numero intero maggiore di zero, trovato %1").arg(value));
    return value;
}

// How a character is named in a message: itself where it can be seen, and always its code point.
QString describeCharacter(char32_t c)
{
    const QString number = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(c) || QChar::isSpace(c))
        return number;
    return QStringLiteral("«%1» (%2)").arg(QString::fromUcs4(&c, 1), number);
}

// The codes are typed in the code searches, upper-cased there, and cut by position into chapter and
// article keys: only capital letters without accents and digits can be found that way.
QString code(const CsvReader& reader, int column, int length)
{
    const QString value = reader.requiredText(column);
    for (const char32_t c : value.toUcs4()) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            continue;
        const QString hint = (c >= 'a' && c <= 'z') ? QStringLiteral(" (scriverlo in maiuscolo)") : QString();
        reader.fail(column, QStringLiteral("il codice \"%1\" contiene il carattere %2%3: un codice è fatto solo di "
                                           "lettere maiuscole senza accento e di cifre (A-Z, 0-9)")
                                .arg(QString(value).replace(QChar(0), QChar::ReplacementCharacter),
                                     describeCharacter(c), hint));
    }
    if (value.size() != length)
        reader.fail(
            column,
            QStringLiteral("il codice deve avere %1 caratteri, trovato \"%2\"").arg(QString::number(length), value));
    return value;
}

// Keys of premesse and manuale: one row per key, as the viewers look rows up by it.
QString uniqueKey(const CsvReader& reader, int column, QHash<QString, qint64>& seen)
{
    const QString key = reader.requiredText(column);
    const auto found = seen.constFind(key);
    if (found != seen.constEnd())
        reader.fail(column,
                    QStringLiteral("chiave \"%1\" già presente alla riga %2").arg(key, QString::number(*found)));
    seen.insert(key, reader.line());
    return key;
}

} // namespace

CsvSource::CsvSource(const QString& dir) : m_dir(dir)
{
    if (!QFileInfo(dir).isDir())
        throw BuildError(QStringLiteral("Cartella inesistente: «%1»").arg(dir));
    for (const char* required : {kPrices, kYear})
        if (!QFileInfo::exists(path(required)))
            throw BuildError(QStringLiteral("File mancante: «%1»").arg(path(required)));
}

QString CsvSource::path(const char* fileName) const
{
    return QDir(m_dir).filePath(QString::fromLatin1(fileName));
}

qint64 CsvSource::priceBytes() const
{
    return QFileInfo(path(kPrices)).size();
}

void CsvSource::load(PriceListWriter& writer, const std::function<void(qint64)>& progress) const
{
    loadYear(writer);
    loadPremesse(writer);
    loadManual(writer);
    loadPrices(writer, progress);
}

void CsvSource::loadPrices(PriceListWriter& writer, const std::function<void(qint64)>& progress) const
{
    CsvReader reader(path(kPrices));
    reader.readHeader(kPriceColumns);

    std::unordered_map<qint64, qint64> sequenceLines;
    QHash<QString, qint64> codeLines;
    PriceRow row;
    qint64 count = 0;
    while (reader.next()) {
        row.sequenza = listPosition(reader, Sequenza);
        row.codiceTotale = reader.requiredText(CodiceTotale);
        row.codiceSezione = code(reader, CodiceSezione, 2);
        row.sezione = reader.requiredText(Sezione);
        row.noteSezione = reader.optionalText(NoteSezione);
        row.codiceCapitolo = code(reader, CodiceCapitolo, 3);
        row.codiceArticolo = code(reader, CodiceArticolo, 3);
        row.capitolo = reader.requiredText(Capitolo);
        row.noteCapitolo = reader.optionalText(NoteCapitolo);
        row.seqCapitolo = listPosition(reader, SeqCapitolo);
        row.codiceSubarticolo = code(reader, CodiceSubarticolo, 3);
        row.articolo = reader.requiredText(Articolo);
        row.noteArticolo = reader.optionalText(NoteArticolo);
        row.noteSubarticolo = reader.optionalText(NoteSubarticolo);
        row.subarticolo = reader.requiredText(Subarticolo);
        row.simbolo = reader.requiredText(Simbolo);
        row.prezzoLordo = reader.optionalNumber(PrezzoLordo);
        row.incidenzaManodopera = reader.optionalNumber(IncidenzaManodopera);
        row.sommaManodopera = reader.optionalNumber(SommaManodopera);

        // The program selects chapters and articles by prefixes of codice_totale.
        const QString joined =
            row.codiceSezione + u'.' + row.codiceCapitolo + u'.' + row.codiceArticolo + u'.' + row.codiceSubarticolo;
        if (row.codiceTotale != joined)
            reader.fail(CodiceTotale, QStringLiteral("\"%1\" non corrisponde ai codici di sezione, capitolo, articolo "
                                                     "e subarticolo della riga (\"%2\")")
                                          .arg(row.codiceTotale, joined));

        const auto [sequence, newSequence] = sequenceLines.emplace(row.sequenza, reader.line());
        if (!newSequence)
            reader.fail(Sequenza, QStringLiteral("il valore %1 è già usato alla riga %2")
                                      .arg(QString::number(row.sequenza), QString::number(sequence->second)));
        const auto knownCode = codeLines.constFind(row.codiceTotale);
        if (knownCode != codeLines.constEnd())
            reader.fail(CodiceTotale, QStringLiteral("il codice \"%1\" è già presente alla riga %2")
                                          .arg(row.codiceTotale, QString::number(*knownCode)));
        codeLines.insert(row.codiceTotale, reader.line());

        writer.addRow(row);
        if (++count % kProgressEvery == 0 && progress)
            progress(reader.bytesRead());
    }
    // The program lists its sections from this table and cannot start without a row.
    if (count == 0)
        throw BuildError(QStringLiteral("%1: nessuna riga di dati dopo l'intestazione").arg(reader.fileName()));
    if (progress)
        progress(reader.bytesRead());
}

void CsvSource::loadYear(PriceListWriter& writer) const
{
    CsvReader reader(path(kYear));
    reader.readHeader(kYearColumns);
    if (!reader.next())
        throw BuildError(QStringLiteral("%1: manca la riga con l'anno del prezzario").arg(reader.fileName()));
    const qint64 year = reader.integer(0);
    if (year < 1)
        reader.fail(0, QStringLiteral("anno non valido %1").arg(year));
    if (reader.next())
        reader.failLine(reader.line(),
                        QStringLiteral("il file deve contenere una sola riga di dati (l'anno del prezzario)"));
    writer.setYear(year);
}

void CsvSource::loadPremesse(PriceListWriter& writer) const
{
    if (!QFileInfo::exists(path(kPremesse)))
        return;
    CsvReader reader(path(kPremesse));
    reader.readHeader(kPremesseColumns);
    QHash<QString, qint64> seen;
    while (reader.next()) {
        const QString key = uniqueKey(reader, 0, seen);
        writer.addPremessa(key, reader.optionalText(1), reader.optionalText(2), reader.optionalText(3));
    }
}

void CsvSource::loadManual(PriceListWriter& writer) const
{
    if (!QFileInfo::exists(path(kManual)))
        return;
    CsvReader reader(path(kManual));
    reader.readHeader(kManualColumns);
    QHash<QString, qint64> seen;
    while (reader.next()) {
        const QString title = uniqueKey(reader, 0, seen);
        writer.addManualTopic(title, reader.optionalText(1));
    }
}

} // namespace builder
