#include "tools/query/QueryCommand.h"

#include "core/Find.h"
#include "core/Numbers.h"

#include <QFileInfo>

#include <optional>

namespace query {

namespace {

// The search window's boxes drop control characters as they are typed; a value given here is read the same way.
QString typedText(const QString& value)
{
    QString kept;
    kept.reserve(value.size());
    for (const QChar c : value) {
        if (c.category() != QChar::Other_Control)
            kept += c;
    }
    return kept;
}

QueryCommand refused(const QString& error)
{
    QueryCommand command;
    command.action = QueryCommand::Action::Refused;
    command.error = error;
    return command;
}

// The formats of the commands that print rows: search, find and compare.
std::optional<Format> rowFormat(const QString& name)
{
    if (name == u"csv")
        return Format::Csv;
    if (name == u"tsv")
        return Format::Tsv;
    if (name == u"json")
        return Format::Json;
    return std::nullopt;
}

// Reads the levels of a text search: "capitoli,articoli,subarticoli" or any of them.
std::optional<QString> readLevels(const QString& value, SearchArguments& search)
{
    for (const QString& item : value.split(u',', Qt::SkipEmptyParts)) {
        const QString level = item.trimmed().toLower();
        if (level == u"capitoli")
            search.capitoli = true;
        else if (level == u"articoli")
            search.articoli = true;
        else if (level == u"subarticoli")
            search.subarticoli = true;
        else
            return QStringLiteral("livello sconosciuto «%1» in --levels: capitoli, articoli o subarticoli.").arg(item);
    }
    return std::nullopt;
}

// The options of search have no meaning for find; without a word, only a filter keeps find from listing the
// whole price list.
QueryCommand checkFind(QueryCommand command, const QStringList& words, const QStringList& seen)
{
    for (const char* option : {"--text", "--levels", "--article", "--subarticle", "--range"}) {
        if (seen.contains(QLatin1String(option)))
            return refused(QStringLiteral("l'opzione %1 vale solo con search.").arg(QLatin1String(option)));
    }
    FindArguments& find = command.find;
    find.text = words.join(u' ');
    const bool filtered = !find.section.isEmpty() || find.unit || find.minPrice || find.maxPrice;
    if (core::parseFindText(find.text).isEmpty() && !filtered)
        return refused(QStringLiteral("indicare le parole da cercare, oppure un filtro: --section, --unit, --min "
                                      "o --max."));
    return command;
}

// The options of the searches have no meaning for export; without --format the extension of --out says it.
QueryCommand checkExport(QueryCommand command, const std::optional<QString>& format, const QStringList& seen)
{
    for (const QString& option : seen) {
        if (option != u"--database" && option != u"--format" && option != u"--codes" && option != u"--out")
            return refused(QStringLiteral("l'opzione %1 non vale con export.").arg(option));
    }
    ExportArguments& exportTo = command.exportTo;
    if (exportTo.codes.isEmpty() || exportTo.out.isEmpty())
        return refused(QStringLiteral("export vuole --codes FILE e --out FILE."));
    const std::optional<ExportFormat> named =
        core::exportFormatNamed(format ? QStringView(*format) : QStringView(QFileInfo(exportTo.out).suffix()));
    if (named)
        exportTo.format = *named;
    else if (format)
        return refused(QStringLiteral("formato sconosciuto «%1»: pdf, xlsx, csv o xpwe.").arg(*format));
    else
        return refused(QStringLiteral("indicare il formato con --format: pdf, xlsx, csv o xpwe."));
    return command;
}

// compare reads the two files it is given and writes its rows where --out says; the searches' options have no
// meaning for it.
QueryCommand checkCompare(QueryCommand command, const std::optional<QString>& format, const QStringList& seen,
                          const QStringList& files)
{
    for (const QString& option : seen) {
        if (option != u"--format" && option != u"--out")
            return refused(QStringLiteral("l'opzione %1 non vale con compare.").arg(option));
    }
    if (files.size() != 2)
        return refused(QStringLiteral("compare vuole due prezzari: il più vecchio, poi il più nuovo."));
    command.compare.older = files[0];
    command.compare.newer = files[1];
    command.compare.out = command.exportTo.out;
    // A workbook is asked for by name, or by the extension of --out when no format is named.
    const bool workbookOut = QFileInfo(command.compare.out).suffix().compare(u"xlsx", Qt::CaseInsensitive) == 0;
    if (format ? format->compare(u"xlsx", Qt::CaseInsensitive) == 0 : workbookOut) {
        if (command.compare.out.isEmpty())
            return refused(QStringLiteral("il formato xlsx va scritto in un file: indicarlo con --out."));
        command.compare.xlsx = true;
    } else if (format) {
        const std::optional<Format> rows = rowFormat(*format);
        if (!rows)
            return refused(QStringLiteral("formato sconosciuto «%1»: csv, tsv, json o xlsx.").arg(*format));
        command.format = *rows;
    }
    return command;
}

} // namespace

QueryCommand parseQueryCommand(const QStringList& arguments)
{
    // Help and version win over anything else on the line, as users expect of them.
    for (const QString& argument : arguments) {
        if (argument == u"--help" || argument == u"-h")
            return QueryCommand{QueryCommand::Action::Help, {}, {}, {}, {}, {}, {}, {}};
        if (argument == u"--version")
            return QueryCommand{QueryCommand::Action::Version, {}, {}, {}, {}, {}, {}, {}};
    }

    QueryCommand command;
    SearchArguments& search = command.search;
    FindArguments& find = command.find;
    bool commandGiven = false;
    QStringList words; // find's, joined once the line is read
    QStringList files; // compare's
    QStringList seen;
    int kinds = 0;
    std::optional<QString> format; // read once the command is known: export has formats of its own
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        std::optional<QString> inlineValue;
        if (name.startsWith(u"--") && name.contains(u'=')) {
            inlineValue = name.mid(name.indexOf(u'=') + 1);
            name = name.left(name.indexOf(u'='));
        }
        // The next argument, whatever it looks like: a searched text may start with a dash.
        auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (!name.startsWith(u'-') || name.size() == 1) {
            if (!commandGiven && !inlineValue &&
                (name == u"search" || name == u"find" || name == u"export" || name == u"compare")) {
                commandGiven = true;
                command.action = name == u"find"      ? QueryCommand::Action::Find
                                 : name == u"export"  ? QueryCommand::Action::Export
                                 : name == u"compare" ? QueryCommand::Action::Compare
                                                      : QueryCommand::Action::Search;
                continue;
            }
            if (commandGiven && command.action == QueryCommand::Action::Compare && files.size() < 2) {
                files << arguments[i];
                continue;
            }
            if (commandGiven && command.action == QueryCommand::Action::Find) {
                words << typedText(arguments[i]);
                continue;
            }
            return refused(
                commandGiven
                    ? QStringLiteral("argomento inatteso «%1».").arg(arguments[i])
                    : QStringLiteral("comando sconosciuto «%1»: i comandi sono search, find, export e compare.")
                          .arg(arguments[i]));
        }
        static const QStringList kOptions{
            QStringLiteral("--database"),   QStringLiteral("--format"),  QStringLiteral("--text"),
            QStringLiteral("--levels"),     QStringLiteral("--section"), QStringLiteral("--article"),
            QStringLiteral("--subarticle"), QStringLiteral("--range"),   QStringLiteral("--unit"),
            QStringLiteral("--min"),        QStringLiteral("--max"),     QStringLiteral("--codes"),
            QStringLiteral("--out")};
        if (!kOptions.contains(name))
            return refused(QStringLiteral("opzione sconosciuta «%1».").arg(arguments[i]));
        if (seen.contains(name))
            return refused(QStringLiteral("l'opzione %1 è data più di una volta.").arg(name));
        seen << name;

        if (name == u"--range") {
            if (inlineValue || i + 2 >= arguments.size())
                return refused(QStringLiteral("l'opzione --range vuole due codici: --range DA A."));
            search.from = typedText(arguments[++i]).split(u'.');
            search.to = typedText(arguments[++i]).split(u'.');
            search.kind = SearchArguments::Kind::Range;
            ++kinds;
            continue;
        }
        const std::optional<QString> given = value();
        if (!given)
            return refused(QStringLiteral("l'opzione %1 vuole un valore.").arg(name));
        if (name == u"--database") {
            if (given->isEmpty())
                return refused(QStringLiteral("l'opzione --database vuole il percorso di un file."));
            command.database = *given;
        } else if (name == u"--format") {
            format = *given;
        } else if (name == u"--codes" || name == u"--out") {
            if (given->isEmpty())
                return refused(QStringLiteral("l'opzione %1 vuole il percorso di un file.").arg(name));
            (name == u"--codes" ? command.exportTo.codes : command.exportTo.out) = *given;
        } else if (name == u"--text") {
            search.kind = SearchArguments::Kind::Text;
            search.text = typedText(*given);
            ++kinds;
        } else if (name == u"--levels") {
            if (const std::optional<QString> problem = readLevels(*given, search))
                return refused(*problem);
        } else if (name == u"--section") {
            search.sectionGiven = true;
            search.section = typedText(*given);
            find.section = search.section.trimmed();
        } else if (name == u"--article") {
            search.kind = SearchArguments::Kind::Article;
            search.code = typedText(*given).split(u'.');
            if (search.code.size() != 3)
                return refused(
                    QStringLiteral("l'opzione --article vuole un codice SEZ.CAP.ART, non «%1».").arg(*given));
            ++kinds;
        } else if (name == u"--subarticle") {
            search.kind = SearchArguments::Kind::Subarticle;
            search.code = typedText(*given).split(u'.');
            if (search.code.size() != 4)
                return refused(
                    QStringLiteral("l'opzione --subarticle vuole un codice SEZ.CAP.ART.SUB, non «%1».").arg(*given));
            ++kinds;
        } else if (name == u"--unit") {
            find.unit = typedText(*given);
        } else if (name == u"--min" || name == u"--max") {
            std::optional<double>& bound = name == u"--min" ? find.minPrice : find.maxPrice;
            if (!core::parseTypedNumber(typedText(*given), bound))
                return refused(QStringLiteral("l'opzione %1 vuole un prezzo, non «%2»: %3.")
                                   .arg(name, *given, core::kTypedNumberHint));
        }
    }

    if (!commandGiven)
        return refused(QStringLiteral("manca il comando: search, find, export oppure compare."));
    if (command.action == QueryCommand::Action::Export)
        return checkExport(command, format, seen);
    if (command.action == QueryCommand::Action::Compare)
        return checkCompare(command, format, seen, files);
    for (const char* option : {"--codes", "--out"}) {
        if (seen.contains(QLatin1String(option)))
            return refused(QStringLiteral("l'opzione %1 vale solo con export.").arg(QLatin1String(option)));
    }
    if (format) {
        const std::optional<Format> rows = rowFormat(*format);
        if (!rows)
            return refused(QStringLiteral("formato sconosciuto «%1»: csv, tsv o json.").arg(*format));
        command.format = *rows;
    }
    if (command.action == QueryCommand::Action::Find)
        return checkFind(command, words, seen);
    for (const char* option : {"--unit", "--min", "--max"}) {
        if (seen.contains(QLatin1String(option)))
            return refused(QStringLiteral("l'opzione %1 vale solo con find.").arg(QLatin1String(option)));
    }
    if (kinds != 1)
        return refused(QStringLiteral("indicare una ricerca: --text, --article, --subarticle oppure --range."));
    if (search.kind != SearchArguments::Kind::Text &&
        (seen.contains(QStringLiteral("--levels")) || search.sectionGiven))
        return refused(QStringLiteral("--levels e --section valgono solo con --text: la sezione di un codice è la sua "
                                      "prima parte."));
    if (search.kind == SearchArguments::Kind::Range) {
        for (const QStringList* code : {&search.from, &search.to}) {
            if (code->size() < 2 || code->size() > 4)
                return refused(QStringLiteral("i codici di --range hanno da due a quattro parti "
                                              "(SEZ.CAP[.ART[.SUB]]), non «%1».")
                                   .arg(code->join(u'.')));
        }
        if (search.from.first().toUpper() != search.to.first().toUpper())
            return refused(QStringLiteral("i due codici di --range devono essere della stessa sezione (%1 e %2).")
                               .arg(search.from.first(), search.to.first()));
    }
    return command;
}

QString queryUsageLine()
{
    return QStringLiteral("Uso: prezzario-query [--database FILE] search (--text TESTO [--levels LIVELLI] "
                          "[--section SEZ] | --article SEZ.CAP.ART | --subarticle SEZ.CAP.ART.SUB | --range DA A) "
                          "[--format csv|tsv|json]\n"
                          "     prezzario-query [--database FILE] find PAROLE... [--section SEZ] [--unit UM] "
                          "[--min PREZZO] [--max PREZZO] [--format csv|tsv|json]\n"
                          "     prezzario-query [--database FILE] export --codes FILE [--format pdf|xlsx|csv|xpwe] "
                          "--out FILE\n"
                          "     prezzario-query compare VECCHIO NUOVO [--format csv|tsv|json|xlsx] [--out FILE]\n");
}

QString queryUsage()
{
    return queryUsageLine() +
           QStringLiteral(
               "Le ricerche della finestra Ricerche dalla riga di comando: capitoli, articoli e subarticoli\n"
               "trovati, nell'ordine della finestra, in CSV, TSV o JSON.\n"
               "find elenca, come la finestra Trova, i subarticoli in cui si trovano tutte le PAROLE, in\n"
               "qualunque ordine, all'inizio di una parola di sezione, capitolo, articolo, subarticolo o codice\n"
               "(un codice come 01.A03 all'inizio di una sua parte), senza badare a maiuscole e accenti.\n"
               "\n"
               "Opzioni di search:\n"
               "  --text TESTO           cerca TESTO nelle descrizioni dei livelli di --levels\n"
               "  --levels LIVELLI       capitoli, articoli, subarticoli, separati da virgole\n"
               "  --section SEZ          cerca nella sola sezione SEZ (predefinito: tutto il prezzario)\n"
               "  --article SEZ.CAP.ART  l'articolo del codice dato, per esempio 01.A01.A02\n"
               "  --subarticle SEZ.CAP.ART.SUB\n"
               "                         il subarticolo del codice dato, per esempio 01.A01.A02.010\n"
               "  --range DA A           gli elementi fra due codici di una sezione, di 2-4 parti\n"
               "                         ciascuno, per esempio --range 01.A01 01.A02\n"
               "\n"
               "Opzioni di find (senza PAROLE basta un filtro):\n"
               "  --section SEZ          i soli subarticoli della sezione SEZ\n"
               "  --unit UM              i soli subarticoli con unità di misura UM, scritta per intero\n"
               "  --min PREZZO           i soli subarticoli con prezzo almeno PREZZO (12,50 o 12.50)\n"
               "  --max PREZZO           i soli subarticoli con prezzo al più PREZZO\n"
               "\n"
               "Opzioni di export:\n"
               "  --codes FILE           le voci da scrivere: un codice di subarticolo per riga, seguito se\n"
               "                         si vuole da un tab o da ; e una quantità (12,5 o 12.5)\n"
               "  --out FILE             il file da scrivere\n"
               "  --format FORMATO       pdf, xlsx, csv oppure xpwe (predefinito: l'estensione di --out)\n"
               "\n"
               "compare confronta due edizioni del prezzario, VECCHIO e NUOVO, voce per voce: una riga per\n"
               "voce con stato (invariata, variata, nuova, eliminata, ricodificata), codice_vecchio,\n"
               "codice_nuovo, descrizione, unita, prezzo_vecchio, prezzo_nuovo, variazione_percentuale\n"
               "(arrotondata al centesimo). Le voci del NUOVO in ordine di codice, poi le eliminate.\n"
               "Una voce è ricodificata quando il suo codice non c'è più e una sola voce di codice nuovo ha la\n"
               "stessa descrizione (maiuscole, accenti, spazi e punteggiatura a parte) e la stessa unità.\n"
               "  --out FILE             scrive le righe in FILE invece che sull'uscita standard\n"
               "  --format xlsx          scrive una cartella di lavoro in --out (anche con --out *.xlsx)\n"
               "\n"
               "Opzioni comuni:\n"
               "  --database FILE        legge il prezzario FILE invece di Prezzario.mdb nella cartella\n"
               "                         del programma\n"
               "  --format FORMATO       csv (predefinito), tsv oppure json (search, find e compare)\n"
               "  -h, --help             mostra questo aiuto ed esce\n"
               "  --version              mostra la versione ed esce\n"
               "\n"
               "Colonne: livello, codice, sezione, capitolo, articolo, subarticolo, unita, prezzo,\n"
               "incidenza_manodopera, manodopera (le righe di find sono subarticoli con sezione, capitolo e\n"
               "articolo).\n"
               "Stato di uscita: 0 risultati trovati, 1 nessun risultato, 2 dati della ricerca da correggere,\n"
               "uso errato o prezzario illeggibile. export: 0 file scritto, 2 altrimenti (codici sconosciuti e\n"
               "quantità errate sono elencati con la loro riga, e nulla è scritto). compare: 0 confronto\n"
               "scritto, 2 altrimenti (un file che non è un prezzario, lo stesso file due volte).\n");
}

} // namespace query
