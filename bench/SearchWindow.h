#pragma once

#include <QString>
#include <QWidget>

#include "AppState.h"
#include "frmCerca.h"

namespace benchdata {

// The search window as the menu shows it, over an encrypted list, at the size it has maximised on a
// 1366 x 768 screen. Never deleted by the benchmarks: their process ends right after them, and widgets
// must not outlive the application object.
struct SearchWindow
{
    explicit SearchWindow(const QString& list);

    template <typename T> T* control(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return found;
    }

    // What the user does before pressing "Esegui Ricerca": whole list, text mode, the word, the levels.
    void prepareTextSearch(const QString& word, bool capitoli, bool articoli, bool subarticoli);
    // The click on "Esegui Ricerca", until the lists show their rows.
    void runSearch();
    // The first warning the window showed, or an empty text.
    static QString takeWarning();

    core::AppState state;
    QWidget mainWindow;
    search::frmCerca* window = nullptr;
};

} // namespace benchdata
