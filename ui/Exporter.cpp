#include "ui/Exporter.h"

#include "core/Error.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QRegularExpression>
#include <QStatusBar>

namespace ui {

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The extension a filter offers: "csv" for "CSV (*.csv)".
QString extensionOf(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

} // namespace

Exporter::Exporter(QMainWindow* window) : QObject(window), m_window(window)
{
}

// An export under way is finished before the window goes: its file is written whole or not at all.
Exporter::~Exporter() = default;

void Exporter::exportWithDialog(const ExportChoice& choice, Write write)
{
    if (busy())
        return;
    QStringList filters;
    for (const ExportChoice::FileType& type : choice.types)
        filters << type.filter;
    QString chosenFilter = filters.value(0);
    QString path = QFileDialog::getSaveFileName(m_window, QStringLiteral("Esporta elenco"),
                                                QDir::home().filePath(choice.fileName),
                                                filters.join(QStringLiteral(";;")), &chosenFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty() && !extensionOf(chosenFilter).isEmpty())
        path += QLatin1Char('.') + extensionOf(chosenFilter);
    const QString suffix = QFileInfo(path).suffix().toLower();
    // The type chosen, when the name's extension is its own (two documents may share one: a computo and a price
    // list both in PDF); else the first type of that extension.
    auto type = std::find_if(choice.types.begin(), choice.types.end(), [&](const ExportChoice::FileType& t) {
        return t.filter == chosenFilter && extensionOf(t.filter).toLower() == suffix;
    });
    if (type == choice.types.end()) {
        type = std::find_if(choice.types.begin(), choice.types.end(), [&](const ExportChoice::FileType& t) {
            return extensionOf(t.filter).toLower() == suffix;
        });
    }
    if (type == choice.types.end()) {
        MessageBox::warning(m_window, choice.unsuitableName.arg(native(path)));
        return;
    }
    const ExportChoice::FileType chosen = *type;
    m_window->setCursor(Qt::BusyCursor);
    m_window->statusBar()->showMessage(QStringLiteral("Esportazione in «%1»…").arg(native(path)));
    core::JobHandlers<bool> handlers;
    handlers.done = [this, path](bool) {
        finished(QString());
        m_window->statusBar()->showMessage(QStringLiteral("Esportato in «%1».").arg(native(path)), 8000);
    };
    handlers.failed = [this](const QString& failure) { finished(failure); };
    m_jobs.start<bool>(
        [path, chosen, write = std::move(write)](core::JobControl&) {
            write(path, chosen);
            return true;
        },
        std::move(handlers));
}

void Exporter::finished(const QString& failure)
{
    m_window->unsetCursor();
    m_window->statusBar()->clearMessage();
    if (!failure.isEmpty())
        MessageBox::warning(m_window, failure);
}

} // namespace ui
