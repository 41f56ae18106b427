#pragma once

#include "core/ExportFormat.h"
#include "core/Jobs.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QMainWindow;

namespace ui {

// What a window offers to export: the name proposed in the home folder, the file types of the save dialog in
// its order (the first is chosen at first), and what to say of a name whose extension is none of them (%1 is
// the file).
struct ExportChoice
{
    struct FileType
    {
        QString filter; // "Foglio di calcolo (*.xlsx)"
        core::ExportFormat format;
        core::ExportDocumentKind kind = core::ExportDocumentKind::Elenco;
    };
    QString fileName;
    QList<FileType> types;
    QString unsuitableName;
};

// A window's "Esporta": asks where to save, then writes the file in the background, the window busy meanwhile;
// the status bar says where it went, a message box why it did not. A name typed without an extension takes the
// one of the type chosen. A child of the window, which may have several.
class Exporter : public QObject
{
public:
    using Write = std::function<void(const QString& path, const ExportChoice::FileType& type)>;

    explicit Exporter(QMainWindow* window);
    ~Exporter() override;

    // `write` runs on another thread: it must own what it writes (captured by value) and throw core::Error.
    void exportWithDialog(const ExportChoice& choice, Write write);
    bool busy() const { return m_jobs.pending() > 0; }

private:
    void finished(const QString& message);

    QMainWindow* m_window;
    core::Jobs m_jobs{this};
};

} // namespace ui
