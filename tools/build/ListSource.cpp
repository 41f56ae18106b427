#include "tools/build/ListSource.h"

#include "tools/build/PriceColumns.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "tools/build/Builder.h"
#include "tools/build/FieldRules.h"
#include "tools/build/readers/InputLimits.h"
#include "tools/build/writer/PriceListWriter.h"
#include "tools/build/readers/SheetReader.h"
#include "tools/build/readers/TableReader.h"
#include "tools/build/readers/Workbook.h"

#include <unordered_map>

namespace builder {

namespace {


constexpr std::string_view kYearColumns[] = {"ANNO_PREZZARIO"};
constexpr std::string_view kPremesseColumns[] = {"codice_sezione", "premessa", "premessa2", "premessa3"};
constexpr std::string_view kManualColumns[] = {"titolo", "Descrizione"};

constexpr qint64 kProgressEvery = 1024;

// The tables, the two required ones first.
constexpr ListSource::Table kTables[] = {ListSource::Table::Prices, ListSource::Table::Year,
                                         ListSource::Table::Premesse, ListSource::Table::Manual};

const char* baseName(ListSource::Table table)
{
    switch (table) {
    case ListSource::Table::Prices:
        return "prezzario";
    case ListSource::Table::Year:
        return "anno_prezzario";
    case ListSource::Table::Premesse:
        return "premesse";
    case ListSource::Table::Manual:
        return "manuale";
    }
    return "";
}

// Runs the checks of one row: a refused field is recorded and the row marked, the next field is checked
// all the same, so that one run names every problem of the row.
class RowChecks
{
public:
    explicit RowChecks(ErrorList& errors) : m_errors(errors) {}

    template <typename Check> auto operator()(Check&& check) -> decltype(check())
    {
        try {
            return check();
        } catch (const FieldError& error) {
            m_errors.add(error.text());
            m_failed = true;
            return {};
        }
    }

    bool failed() const { return m_failed; }

private:
    ErrorList& m_errors;
    bool m_failed = false;
};

// Moves to the next row; a row that cannot be read at all (its field count) is reported and skipped.
bool nextRow(TableReader& reader, ErrorList& errors)
{
    for (;;) {
        try {
            return reader.next();
        } catch (const FieldError& error) {
            errors.add(error.text());
        }
    }
}

// sequenza and seq_capitolo are positions in the list: the program orders and compares by them.
qint64 listPosition(const TableReader& reader, int column)
{
    const qint64 value = rules::integer(reader, column);
    if (value < 1)
        reader.fail(column, QStringLiteral("deve essere un numero intero maggiore di zero, trovato %1").arg(value));
    return value;
}

// Keys of premesse and manuale: one row per key, as the viewers look rows up by it.
QString uniqueKey(const TableReader& reader, int column, QHash<QString, qint64>& seen)
{
    const QString key = rules::requiredText(reader, column);
    if (key.isEmpty())
        reader.fail(column, QStringLiteral("manca la chiave della riga"));
    const auto found = seen.constFind(key);
    if (found != seen.constEnd())
        reader.fail(
            column,
            QStringLiteral("chiave %1 già presente alla riga %2").arg(shownValue(key), QString::number(*found)));
    seen.insert(key, reader.line());
    return key;
}

// The fields every row of a section, chapter or article repeats must be the same on all of them: the
// windows show the first row's. The first row of each code is kept to compare the others with.
class LevelFields
{
public:
    struct Value
    {
        int column;
        QString text; // a Null note counts as empty: the windows show both alike
    };

    LevelFields(const char* level, bool mustAgree) : m_level(QString::fromUtf8(level)), m_mustAgree(mustAgree) {}

    void check(const TableReader& reader, const QString& code, std::initializer_list<Value> values, ErrorList& errors)
    {
        const auto found = m_first.constFind(code);
        if (found == m_first.constEnd()) {
            First first{reader.line(), {}};
            for (const Value& value : values)
                first.texts << value.text;
            m_first.insert(code, first);
            return;
        }
        if (!m_mustAgree)
            return;
        qsizetype i = 0;
        for (const Value& value : values) {
            const QString& expected = found->texts[i++];
            if (value.text != expected)
                errors.add(reader.where(value.column) + QStringLiteral(": %1 %2 ha qui %3, ma alla riga %4 %5")
                                                            .arg(m_level, code, shownValue(value.text),
                                                                 QString::number(found->line), shownValue(expected)));
        }
    }

    qint64 count() const { return m_first.size(); }

private:
    struct First
    {
        qint64 line;
        QStringList texts;
    };
    QString m_level;
    bool m_mustAgree;
    QHash<QString, First> m_first;
};

QString noteText(const std::optional<QString>& note)
{
    return note.value_or(QString());
}

} // namespace

void ErrorList::add(const QString& message)
{
    // A damaged workbook fails the same way for each of its tables: said once.
    if (message == m_last)
        return;
    m_last = message;
    if (m_shown.size() < kShown)
        m_shown << message;
    if (++m_count == kCounted)
        throw Full{};
}

QString ErrorList::text() const
{
    QString text = m_shown.join(u'\n');
    if (m_count > m_shown.size())
        text += QStringLiteral("\ne altri %1 errori").arg(m_count - m_shown.size());
    if (m_count >= kCounted)
        text += QStringLiteral(": il controllo si è fermato qui, correggere questi e ripetere");
    return text;
}

QStringList ListSource::csvFiles(const QString& dir)
{
    QStringList files;
    for (const Table table : kTables)
        files << QDir(dir).filePath(QString::fromLatin1(baseName(table)) + QStringLiteral(".csv"));
    return files;
}

ListSource ListSource::workbook(const QString& path)
{
    if (QFileInfo(path).isDir())
        throw BuildError(QStringLiteral("«%1» è una cartella, non un file: --from-xlsx vuole un file .xlsx o .ods "
                                        "(per una cartella di file CSV: --from-csv)")
                             .arg(path));
    ListSource source;
    source.m_path = path;
    source.m_workbook = std::make_shared<const Workbook>(Workbook::open(path));
    return source;
}

ListSource ListSource::readers(const QString& path, OpenTable open)
{
    ListSource source;
    source.m_path = path;
    source.m_readers = std::move(open);
    return source;
}

ListSource ListSource::csvFolder(const QString& dir, const CsvOptions& options)
{
    const QFileInfo info(dir);
    if (!info.exists())
        throw BuildError(QStringLiteral("Cartella inesistente: «%1»").arg(dir));
    if (!info.isDir())
        throw BuildError(QStringLiteral("«%1» è un file, non una cartella: --from-csv vuole la cartella che contiene "
                                        "prezzario.csv e anno_prezzario.csv (per un foglio di calcolo: --from-xlsx)")
                             .arg(dir));
    ListSource source;
    source.m_dir = dir;
    source.m_csv = options;
    const QStringList files = csvFiles(dir);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        const QFileInfo file(path);
        const bool required = i < 2;
        if (!file.exists() && required)
            throw BuildError(QStringLiteral("File mancante: «%1»").arg(path));
        // A device or a pipe never ends, or blocks: only a regular file is read.
        if (file.exists() && !file.isFile())
            throw BuildError(QStringLiteral("«%1» non è un file normale (%2)")
                                 .arg(path, file.isDir() ? QStringLiteral("è una cartella")
                                                         : QStringLiteral("è un dispositivo, una pipe o un socket")));
    }
    return source;
}

QString ListSource::tableName(Table table) const
{
    const QString name = QString::fromLatin1(baseName(table));
    if (m_readers)
        return QStringLiteral("«%1», tabella %2").arg(QFileInfo(m_path).fileName(), name);
    return m_workbook ? QStringLiteral("foglio «%1»").arg(name) : name + QStringLiteral(".csv");
}

std::unique_ptr<TableReader> ListSource::open(Table table) const
{
    std::unique_ptr<TableReader> reader;
    if (m_readers) {
        reader = m_readers(table);
        if (!reader && (table == Table::Prices || table == Table::Year))
            throw BuildError(QStringLiteral("«%1»: manca la tabella %2").arg(m_path, QString::fromLatin1(baseName(table))));
    } else if (m_workbook) {
        const QString name = QString::fromLatin1(baseName(table));
        if (std::unique_ptr<SheetRows> rows = m_workbook->rows(name))
            reader = std::make_unique<SheetReader>(std::move(rows));
        else if (table == Table::Prices || table == Table::Year)
            throw BuildError(QStringLiteral("«%1»: manca il foglio «%2»").arg(m_path, name));
    } else {
        const QString path = QDir(m_dir).filePath(tableName(table));
        if (QFileInfo::exists(path))
            reader = std::make_unique<CsvReader>(path, m_csv);
    }
    if (reader)
        reader->setControlCharactersAllowed(!m_strict);
    return reader;
}

BuildSummary ListSource::load(PriceListWriter* writer, const std::function<void(qint64 done, qint64 total)>& progress,
                              ErrorList& errors) const
{
    BuildSummary summary;
    // Rows go to the database only while nothing is wrong: after the first problem the rest is only checked.
    const auto writing = [&] { return writer && errors.isEmpty(); };
    const auto table = [&](Table which, std::span<const std::string_view> columns,
                           const std::function<void(TableReader&)>& read) {
        try {
            std::unique_ptr<TableReader> reader = open(which);
            if (!reader) {
                summary.missingTables << tableName(which);
                return;
            }
            reader->readHeader(columns);
            read(*reader);
        } catch (const BuildError& error) {
            errors.add(error.text());
        }
    };

    table(Table::Year, kYearColumns, [&](TableReader& reader) {
        if (!nextRow(reader, errors)) {
            errors.add(QStringLiteral("%1: manca la riga con l'anno del prezzario").arg(reader.table()));
            return;
        }
        RowChecks check(errors);
        const qint64 year = check([&] { return rules::integer(reader, 0); });
        if (!check.failed() && year < 1)
            errors.add(reader.where(0) + QStringLiteral(": anno non valido %1").arg(year));
        if (nextRow(reader, errors))
            errors.add(reader.row() +
                       QStringLiteral(": la tabella deve contenere una sola riga di dati (l'anno del prezzario)"));
        summary.year = year;
        if (writing())
            writer->setYear(year);
    });
    table(Table::Premesse, kPremesseColumns, [&](TableReader& reader) {
        QHash<QString, qint64> seen;
        while (nextRow(reader, errors)) {
            RowChecks check(errors);
            const QString key = check([&] { return uniqueKey(reader, 0, seen); });
            const auto premessa = check([&] { return rules::optionalText(reader, 1); });
            const auto premessa2 = check([&] { return rules::optionalText(reader, 2); });
            const auto premessa3 = check([&] { return rules::optionalText(reader, 3); });
            if (!check.failed() && writing())
                writer->addPremessa(key, premessa, premessa2, premessa3);
        }
    });
    table(Table::Manual, kManualColumns, [&](TableReader& reader) {
        QHash<QString, qint64> seen;
        while (nextRow(reader, errors)) {
            RowChecks check(errors);
            const QString title = check([&] { return uniqueKey(reader, 0, seen); });
            const auto text = check([&] { return rules::optionalText(reader, 1); });
            if (!check.failed() && writing())
                writer->addManualTopic(title, text);
        }
    });
    table(Table::Prices, kPriceColumns, [&](TableReader& reader) {
        std::unordered_map<qint64, qint64> sequenceLines;
        QHash<QString, qint64> codeLines;
        LevelFields sections("la sezione", m_strict);
        LevelFields chapters("il capitolo", m_strict);
        LevelFields articles("l'articolo", m_strict);
        PriceRow row;
        while (nextRow(reader, errors)) {
            RowChecks check(errors);
            row.sequenza = check([&] { return listPosition(reader, Sequenza); });
            row.codiceTotale = check([&] { return rules::requiredText(reader, CodiceTotale); });
            row.codiceSezione = check([&] { return rules::code(reader, CodiceSezione, 2); });
            row.sezione = check([&] { return rules::requiredText(reader, Sezione); });
            row.noteSezione = check([&] { return rules::optionalText(reader, NoteSezione); });
            row.codiceCapitolo = check([&] { return rules::code(reader, CodiceCapitolo, 3); });
            row.codiceArticolo = check([&] { return rules::code(reader, CodiceArticolo, 3); });
            row.capitolo = check([&] { return rules::requiredText(reader, Capitolo); });
            row.noteCapitolo = check([&] { return rules::optionalText(reader, NoteCapitolo); });
            row.seqCapitolo = check([&] { return listPosition(reader, SeqCapitolo); });
            row.codiceSubarticolo = check([&] { return rules::code(reader, CodiceSubarticolo, 3); });
            row.articolo = check([&] { return rules::requiredText(reader, Articolo); });
            row.noteArticolo = check([&] { return rules::optionalText(reader, NoteArticolo); });
            row.noteSubarticolo = check([&] { return rules::optionalText(reader, NoteSubarticolo); });
            row.subarticolo = check([&] { return rules::requiredText(reader, Subarticolo); });
            row.simbolo = check([&] { return rules::requiredText(reader, Simbolo); });
            row.prezzoLordo = check([&] { return rules::price(reader, PrezzoLordo); });
            row.incidenzaManodopera = check([&] { return rules::share(reader, IncidenzaManodopera); });
            row.sommaManodopera = check([&] { return rules::price(reader, SommaManodopera); });
            if (++summary.rows % kProgressEvery == 0 && progress)
                progress(reader.done(), reader.size());
            if (check.failed())
                continue;

            // The program selects chapters and articles by prefixes of codice_totale.
            const QString section = row.codiceSezione;
            const QString chapter = section + u'.' + row.codiceCapitolo;
            const QString article = chapter + u'.' + row.codiceArticolo;
            const QString joined = article + u'.' + row.codiceSubarticolo;
            if (row.codiceTotale != joined)
                errors.add(reader.where(CodiceTotale) +
                           QStringLiteral(": %1 non corrisponde ai codici di sezione, capitolo, articolo e "
                                          "subarticolo della riga (\"%2\")")
                               .arg(shownValue(row.codiceTotale), joined));
            const auto [sequence, newSequence] = sequenceLines.emplace(row.sequenza, reader.line());
            if (!newSequence)
                errors.add(reader.where(Sequenza) +
                           QStringLiteral(": il valore %1 è già usato alla riga %2")
                               .arg(QString::number(row.sequenza), QString::number(sequence->second)));
            const auto knownCode = codeLines.constFind(row.codiceTotale);
            if (knownCode != codeLines.constEnd())
                errors.add(reader.where(CodiceTotale) +
                           QStringLiteral(": il codice %1 è già presente alla riga %2")
                               .arg(shownValue(row.codiceTotale), QString::number(*knownCode)));
            else
                codeLines.insert(row.codiceTotale, reader.line());
            sections.check(reader, section, {{Sezione, row.sezione}, {NoteSezione, noteText(row.noteSezione)}}, errors);
            chapters.check(reader, chapter,
                           {{Capitolo, row.capitolo},
                            {NoteCapitolo, noteText(row.noteCapitolo)},
                            {SeqCapitolo, QString::number(row.seqCapitolo)}},
                           errors);
            articles.check(reader, article, {{Articolo, row.articolo}, {NoteArticolo, noteText(row.noteArticolo)}},
                           errors);
            if (writing())
                writer->addRow(row);
        }
        // The program lists its sections from this table and cannot start without a row.
        if (summary.rows == 0)
            errors.add(QStringLiteral("%1: nessuna riga di dati dopo l'intestazione").arg(reader.table()));
        summary.sections = sections.count();
        summary.chapters = chapters.count();
        summary.articles = articles.count();
        if (progress)
            progress(reader.done(), reader.size());
    });

    if (!errors.isEmpty())
        throw BuildError(errors.text());
    return summary;
}

BuildSummary ListSource::load(PriceListWriter* writer,
                              const std::function<void(qint64 done, qint64 total)>& progress) const
{
    ErrorList errors;
    try {
        return load(writer, progress, errors);
    } catch (const ErrorList::Full&) {
        throw BuildError(errors.text());
    }
}

} // namespace builder
