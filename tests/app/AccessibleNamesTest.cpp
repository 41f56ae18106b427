// What a screen reader announces: every control the focus can reach, in every window of the program, has a
// name. The progress window of a print has only its Annulla button, named by its caption.
#include "AppState.h"
#include "Application.h"
#include "EditionPair.h"
#include "MDIForm1.h"
#include "frmCerca.h"
#include "frmConfronta.h"
#include "frmInfo.h"
#include "frmPremesse.h"
#include "frmPrincipale.h"
#include "frmStoricoPrezzi.h"
#include "frmTrova.h"
#include "frmVociScelte.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The focusable controls of 'window' that have no accessible name, as "objectName (class)".
QStringList unnamed(QWidget& window)
{
    QStringList found;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&window))
            continue;
        // A view's viewport hands its focus to the view.
        const auto* view = qobject_cast<QAbstractScrollArea*>(control->parentWidget());
        if (view && view->viewport() == control && control->focusProxy() == view)
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            found << QStringLiteral("%1 (%2)").arg(control->objectName(),
                                                   QString::fromLatin1(control->metaObject()->className()));
    }
    return found;
}

} // namespace

TEST(AccessibleNames, everyFocusableControlOfEveryWindowHasAName)
{
    const fixture::PriceListFolder older(fixture::olderEdition());
    const fixture::PriceListFolder newer(fixture::newerEdition());
    core::AppState state;
    app::Application prezzario(state);
    ASSERT_TRUE(prezzario.startUp(newer.folder()));

    const std::vector<std::pair<const char*, std::function<QWidget&()>>> windows = {
        {"Prezzario", [&]() -> QWidget& { return prezzario.mainWindow(); }},
        {"Consultazione", [&]() -> QWidget& { return prezzario.consultazione(); }},
        {"Ricerca", [&]() -> QWidget& { return prezzario.ricerca(); }},
        {"Trova", [&]() -> QWidget& { return prezzario.trova(); }},
        {"Voci scelte", [&]() -> QWidget& { return prezzario.vociScelte(); }},
        {"Confronta edizioni",
         [&]() -> QWidget& {
             compare::frmConfronta& window = prezzario.confronto();
             EXPECT_TRUE(window.open(older.database()));
             EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isBusy(); }, 10000));
             return window;
         }},
        {"Storico prezzi",
         [&]() -> QWidget& {
             auto* window = new consultation::frmStoricoPrezzi(&prezzario.consultazione());
             window->showHistory(newer.database(), QStringLiteral("01.A01.A03.010"), QStringLiteral("Demolizione"),
                                 {newer.database(), older.database()});
             EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isReading(); }, 10000));
             return *window;
         }},
        {"Prefazione e Premesse", [&]() -> QWidget& { return prezzario.premesse(); }},
        {"Manuale", [&]() -> QWidget& { return prezzario.manuale(); }},
    };
    for (const auto& [title, open] : windows) {
        QWidget& window = open();
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(unnamed(window).join(QStringLiteral(", ")).toStdString(), "") << title;
        window.close();
    }
}
