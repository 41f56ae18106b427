#include "app/CommandLine.h"

#include "Version.h"

#include <array>

namespace app {

namespace {

struct QtOption
{
    const char* name;
    bool takesValue;
};

// The options QGuiApplication and QApplication read on Linux (with one dash or two).
constexpr std::array kQtOptions{
    QtOption{"platform", true},   QtOption{"platformpluginpath", true}, QtOption{"platformtheme", true},
    QtOption{"plugin", true},     QtOption{"qwindowgeometry", true},    QtOption{"geometry", true},
    QtOption{"qwindowicon", true}, QtOption{"qwindowtitle", true},      QtOption{"session", true},
    QtOption{"display", true},    QtOption{"name", true},               QtOption{"title", true},
    QtOption{"visual", true},     QtOption{"style", true},              QtOption{"stylesheet", true},
    QtOption{"reverse", false},   QtOption{"nograb", false},            QtOption{"dograb", false},
    QtOption{"sync", false},      QtOption{"widgetcount", false},
};

const QtOption* qtOption(const QString& argument)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    name = name.left(name.indexOf(u'='));
    for (const QtOption& option : kQtOptions) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

CommandLine refused(const QString& error)
{
    CommandLine line;
    line.action = CommandLine::Action::Refused;
    line.error = error + QStringLiteral("\nPer l'elenco delle opzioni: prezzario --help");
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool databaseGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // Help and version win over anything else on the line, as users expect of them.
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return CommandLine{CommandLine::Action::Help, {}, {}};
        if (argument == QLatin1String("--version"))
            return CommandLine{CommandLine::Action::Version, {}, {}};
        if (argument == QLatin1String("--database") || argument.startsWith(QLatin1String("--database="))) {
            QString file;
            if (argument.contains(u'=')) {
                file = argument.mid(argument.indexOf(u'=') + 1);
            } else if (i + 1 < arguments.size()) {
                file = arguments[++i];
            }
            if (file.isEmpty())
                return refused(QStringLiteral("prezzario: l'opzione --database vuole il percorso di un file."));
            if (databaseGiven)
                return refused(QStringLiteral("prezzario: l'opzione --database è data più di una volta."));
            databaseGiven = true;
            line.database = file;
            continue;
        }
        if (argument.startsWith(u'-') && argument.size() > 1) {
            if (const QtOption* option = qtOption(argument)) {
                if (option->takesValue && !argument.contains(u'='))
                    ++i;
                continue;
            }
            return refused(QStringLiteral("prezzario: opzione sconosciuta «%1».").arg(argument));
        }
        return refused(QStringLiteral("prezzario: argomento inatteso «%1».").arg(argument));
    }
    return line;
}

QString usage()
{
    return QStringLiteral("Uso: prezzario [--database FILE]\n"
                          "Consultazione del Prezzario Regione Vallorsa: sezioni, capitoli, articoli e subarticoli\n"
                          "con unità di misura, prezzo, incidenza e importo della manodopera.\n"
                          "\n"
                          "Opzioni:\n"
                          "  --database FILE  apre il prezzario FILE invece di Prezzario.mdb nella cartella\n"
                          "                   del programma\n"
                          "  -h, --help       mostra questo aiuto ed esce\n"
                          "  --version        mostra la versione ed esce\n"
                          "\n"
                          "Le opzioni di Qt (per esempio -platform offscreen) sono accettate.\n");
}

QString versionLine()
{
    return QStringLiteral("prezzario " PREZZARIO_VERSION "\n");
}

} // namespace app
