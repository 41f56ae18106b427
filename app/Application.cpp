#include "Application.h"

#include "AppState.h"
#include "Error.h"
#include "MDIForm1.h"
#include "MessageBox.h"

namespace app {

namespace {

void notYetAvailable(core::MDIForm1* main, const QString& caption)
{
    core::MessageBox::warning(main, QStringLiteral("La funzione «%1» non è disponibile in questa versione del programma.")
                                        .arg(caption));
}

} // namespace

std::unique_ptr<core::MDIForm1> startUp(core::AppState& state, const QString& applicationFolder)
{
    auto main = std::make_unique<core::MDIForm1>(state);
    try {
        main->MDIForm_Load(applicationFolder);
    } catch (const core::Error& error) {
        core::MessageBox::warning(nullptr, error.text());
        return nullptr;
    }

    core::MDIForm1* window = main.get();
    QObject::connect(window, &core::MDIForm1::premesseRequested, window,
                     [window] { notYetAvailable(window, QStringLiteral("Prefazione e Premesse")); });
    QObject::connect(window, &core::MDIForm1::alberoRequested, window,
                     [window] { notYetAvailable(window, QStringLiteral("Consultazione")); });
    QObject::connect(window, &core::MDIForm1::ricercheRequested, window,
                     [window] { notYetAvailable(window, QStringLiteral("Ricerca")); });
    QObject::connect(window, &core::MDIForm1::manualeRequested, window,
                     [window] { notYetAvailable(window, QStringLiteral("Manuale Utente")); });
    return main;
}

} // namespace app
