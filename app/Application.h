#pragma once

#include <QString>

#include <memory>

namespace core {
class MDIForm1;
struct AppState;
} // namespace core

namespace app {

// Opens the price list of the application folder and builds the main window with its menu commands
// wired. When the database cannot be used, tells the user why and returns nullptr.
std::unique_ptr<core::MDIForm1> startUp(core::AppState& state, const QString& applicationFolder);

} // namespace app
