#include "QueryCommand.h"

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

} // namespace

QueryCommand parseQueryCommand(const QStringList& arguments)
{
    // Help and version win over anything else on the line, as users expect of them.
    for (const QString& argument : arguments) {
        if (argument == u"--help" || argument == u"-h")
            return QueryCommand{QueryCommand::Action::Help, {}, {}, {}, {}};
        if (argument == u"--version")
            return QueryCommand{QueryCommand::Action::Version, {}, {}, {}, {}};
    }

    QueryCommand command;
    SearchArguments& search = command.search;
    bool commandGiven = false;
    QStringList seen;
    int kinds = 0;
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
            if (name == u"search" && !commandGiven && !inlineValue) {
                commandGiven = true;
                continue;
            }
            return refused(
                commandGiven ? QStringLiteral("argomento inatteso «%1».").arg(arguments[i])
                             : QStringLiteral("comando sconosciuto «%1»: l'unico comando è search.").arg(arguments[i]));
        }
        static const QStringList kOptions{QStringLiteral("--database"),   QStringLiteral("--format"),
                                          QStringLiteral("--text"),       QStringLiteral("--levels"),
                                          QStringLiteral("--section"),    QStringLiteral("--article"),
                                          QStringLiteral("--subarticle"), QStringLiteral("--range")};
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
            if (*given == u"csv")
                command.format = Format::Csv;
            else if (*given == u"tsv")
                command.format = Format::Tsv;
            else if (*given == u"json")
                command.format = Format::Json;
            else
                return refused(QStringLiteral("formato sconosciuto «%1»: csv, tsv o json.").arg(*given));
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
        }
    }

    if (!commandGiven)
        return refused(QStringLiteral("manca il comando search."));
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
                          "[--format csv|tsv|json]\n");
}

QString queryUsage()
{
    return queryUsageLine() +
           QStringLiteral(
               "Le ricerche della finestra Ricerche dalla riga di comando: capitoli, articoli e subarticoli\n"
               "trovati, nell'ordine della finestra, in CSV, TSV o JSON.\n"
               "\n"
               "Opzioni:\n"
               "  --database FILE        legge il prezzario FILE invece di Prezzario.mdb nella cartella\n"
               "                         del programma\n"
               "  --text TESTO           cerca TESTO nelle descrizioni dei livelli di --levels\n"
               "  --levels LIVELLI       capitoli, articoli, subarticoli, separati da virgole\n"
               "  --section SEZ          cerca nella sola sezione SEZ (predefinito: tutto il prezzario)\n"
               "  --article SEZ.CAP.ART  l'articolo del codice dato, per esempio 01.A01.A02\n"
               "  --subarticle SEZ.CAP.ART.SUB\n"
               "                         il subarticolo del codice dato, per esempio 01.A01.A02.010\n"
               "  --range DA A           gli elementi fra due codici di una sezione, di 2-4 parti\n"
               "                         ciascuno, per esempio --range 01.A01 01.A02\n"
               "  --format FORMATO       csv (predefinito), tsv oppure json\n"
               "  -h, --help             mostra questo aiuto ed esce\n"
               "  --version              mostra la versione ed esce\n"
               "\n"
               "Colonne: livello, codice, sezione, capitolo, articolo, subarticolo, unita, prezzo,\n"
               "incidenza_manodopera, manodopera.\n"
               "Stato di uscita: 0 risultati trovati, 1 nessun risultato, 2 dati della ricerca da correggere,\n"
               "uso errato o prezzario illeggibile.\n");
}

} // namespace query
