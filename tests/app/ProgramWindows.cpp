#include "tests/app/ProgramWindows.h"

#include "ui/MDIForm1.h"
#include "search/frmCerca.h"
#include "compare/frmConfronta.h"
#include "texts/frmInfo.h"
#include "texts/frmPremesse.h"
#include "consultation/frmPrincipale.h"
#include "consultation/frmStoricoPrezzi.h"
#include "search/frmTrova.h"
#include "collection/frmVociScelte.h"

#include <QAbstractScrollArea>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace fixture {

ProgramWindows::ProgramWindows() : m_older(olderEdition()), m_newer(newerEdition()), m_application(m_state)
{
    m_started = m_application.startUp(m_newer.folder());
    app::Application& prezzario = m_application;
    const QString older = m_older.database();
    const QString newer = m_newer.database();
    m_windows = {
        {QStringLiteral("Consultazione"), [&prezzario]() -> QWidget& { return prezzario.consultazione(); }},
        {QStringLiteral("Ricerca"), [&prezzario]() -> QWidget& { return prezzario.ricerca(); }},
        {QStringLiteral("Trova"),
         [&prezzario]() -> QWidget& {
             search::frmTrova& window = prezzario.trova();
             window.showFromMenu();
             EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isBusy(); }, 10000)) << "Trova's index";
             return window;
         }},
        {QStringLiteral("Voci scelte"),
         [&prezzario]() -> QWidget& {
             prezzario.vociScelte().showFromMenu();
             return prezzario.vociScelte();
         }},
        {QStringLiteral("Confronta edizioni"),
         [&prezzario, older]() -> QWidget& {
             compare::frmConfronta& window = prezzario.confronto();
             if (window.comparison() == nullptr && window.open(older)) {
                 EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isBusy(); }, 10000)) << "comparison";
             }
             return window;
         }},
        {QStringLiteral("Storico prezzi"),
         [&prezzario, older, newer]() -> QWidget& {
             auto* window = prezzario.consultazione().findChild<consultation::frmStoricoPrezzi*>();
             if (!window) {
                 window = new consultation::frmStoricoPrezzi(&prezzario.consultazione());
                 window->showHistory(newer, QStringLiteral("01.A01.A03.010"), QStringLiteral("Demolizione"),
                                     {newer, older});
                 EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isReading(); }, 10000)) << "price history";
             }
             return *window;
         }},
        {QStringLiteral("Prefazione e Premesse"),
         [&prezzario]() -> QWidget& {
             prezzario.premesse().showFromMenu();
             return prezzario.premesse();
         }},
        // Modal when the user opens it; here everything but the wait.
        {QStringLiteral("Manuale"),
         [&prezzario]() -> QWidget& {
             prezzario.manuale().prepare(texts::frmInfo::Topics::All);
             return prezzario.manuale();
         }},
        // Last: closing it closes the program's other windows.
        {QStringLiteral("Prezzario"), [&prezzario]() -> QWidget& { return prezzario.mainWindow(); }},
    };
}

std::vector<QWidget*> focusableControls(QWidget& window)
{
    std::vector<QWidget*> found;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&window))
            continue;
        const auto* view = qobject_cast<QAbstractScrollArea*>(control->parentWidget());
        if (view && view->viewport() == control && control->focusProxy() == view)
            continue;
        // Another window's controls (a child window) are that window's.
        if (control->window() != &window)
            continue;
        found.push_back(control);
    }
    return found;
}

QString describe(const QWidget* control)
{
    return QStringLiteral("%1 (%2)").arg(control->objectName(),
                                         QString::fromLatin1(control->metaObject()->className()));
}

QString accessibleText(QObject* object, QAccessible::Text what)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible ? accessible->text(what).trimmed() : QString();
}

} // namespace fixture
