// The command line: what each form asks, and a missing --database file named at start-up.
#include "core/AppState.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "tests/support/Fixture.h"
#include "ui/MessageBox.h"

#include <QDir>

#include <gtest/gtest.h>

using app::CommandLine;
using Action = app::CommandLine::Action;

TEST(CommandLine, eachFormAsksWhatAUserExpects)
{
    const struct
    {
        QStringList arguments;
        Action action;
        QString database;
        QString error; // a part of the message
    } cases[] = {
        {{}, Action::Run, {}, {}},
        {{QStringLiteral("--database"), QStringLiteral("/dati/listino.mdb")}, Action::Run,
         QStringLiteral("/dati/listino.mdb"), {}},
        {{QStringLiteral("--database=listino 2.mdb")}, Action::Run, QStringLiteral("listino 2.mdb"), {}},
        // Qt's own options pass through to QApplication, with their values.
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--style=fusion"),
          QStringLiteral("-reverse")},
         Action::Run, {}, {}},
        // A value given with '=' is the option's own: the next argument is the program's.
        {{QStringLiteral("--style=fusion"), QStringLiteral("--database"), QStringLiteral("a.mdb")}, Action::Run,
         QStringLiteral("a.mdb"), {}},
        {{QStringLiteral("--version"), QStringLiteral("--colore")}, Action::Version, {}, {}},
        {{QStringLiteral("-h")}, Action::Help, {}, {}},
        {{QStringLiteral("--database"), QStringLiteral("a.mdb"), QStringLiteral("--help")}, Action::Help, {}, {}},
        {{QStringLiteral("--colore")}, Action::Refused, {}, QStringLiteral("opzione sconosciuta «--colore»")},
        {{QStringLiteral("listino.mdb")}, Action::Refused, {}, QStringLiteral("argomento inatteso «listino.mdb»")},
        {{QStringLiteral("--database")}, Action::Refused, {}, QStringLiteral("--database vuole il percorso")},
        {{QStringLiteral("--database=")}, Action::Refused, {}, QStringLiteral("--database vuole il percorso")},
        {{QStringLiteral("--database"), QStringLiteral("a"), QStringLiteral("--database"), QStringLiteral("b")},
         Action::Refused, {}, QStringLiteral("più di una volta")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandLine line = app::parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.database, c.database);
        EXPECT_EQ(line.error.contains(c.error), true) << line.error.toStdString();
        EXPECT_EQ(line.error.isEmpty(), c.error.isEmpty());
    }
}

TEST(CommandLine, aMissingDatabaseFileIsNamedAndTheProgramDoesNotStart)
{
    const fixture::PriceListFolder folder{fixture::Tables{{fixture::Row{}}}};
    const QString missing = QDir(folder.folder()).filePath(QStringLiteral("altro/Listino 2022.mdb"));
    ui::MessageBox::clearRecorded();
    core::AppState state;
    app::Application prezzario(state);
    EXPECT_FALSE(prezzario.startUp(folder.folder(), missing));
    ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
    EXPECT_TRUE(ui::MessageBox::recorded().front().text.contains(QStringLiteral("«") + missing + QStringLiteral("»")))
        << ui::MessageBox::recorded().front().text.toStdString();

    // The same option on a good file opens it instead of the one beside the program.
    core::AppState other;
    app::Application second(other);
    EXPECT_TRUE(second.startUp(QDir::tempPath(), folder.database()));
}
