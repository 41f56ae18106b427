#include "report/ReportProgress.h"

#include "ui/AccessibleNames.h"
#include "report/OfficeSettings.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace report {

namespace {

// How often the windows are updated while the report writes or waits for the office.
constexpr qint64 kUpdateIntervalMs = 50;
// A report done sooner than this never shows the progress window.
constexpr int kShowAfterMs = 500;

QString number(qint64 value)
{
    // Grouped as the user reads large counts ("3.400"), whatever the locale the program runs in.
    return QLocale(QLocale::Italian, QLocale::Italy).toString(value);
}

QString duration(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, u'0'));
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

ReportCancelled::ReportCancelled()
    : ReportError(QStringLiteral("Stampa annullata: il foglio contiene le righe scritte fino all'annullamento."))
{
}

// Sees every event of the program first. Pumping with ExcludeUserInputEvents would only defer the
// input until the print ends, and would keep the progress window's own button from being clicked.
class ReportProgress::InputGuard : public QObject
{
public:
    explicit InputGuard(const ReportProgress& progress) : m_progress(progress)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputGuard() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (isUserInput(event->type()))
            return !inProgressWindow(watched);
        // The window manager's close button of the search or the main window would pull the lists away
        // from under the report.
        if (event->type() == QEvent::Close && event->spontaneous() && !inProgressWindow(watched)) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    bool inProgressWindow(QObject* object) const
    {
        const QProgressDialog* dialog = m_progress.m_dialog.get();
        if (!dialog)
            return false;
        if (object->isWindowType())
            return object == dialog->windowHandle();
        // Its widgets, and the shortcut that cancels with Esc.
        for (; object; object = object->parent()) {
            if (object == dialog)
                return true;
        }
        return false;
    }

    const ReportProgress& m_progress;
};

ReportProgress::ReportProgress(QWidget& over) : m_over(over), m_guard(std::make_unique<InputGuard>(*this))
{
    m_clock.start();
    m_sinceUpdate.start();
}

ReportProgress::~ReportProgress()
{
    finish();
}

void ReportProgress::expectRows(qint64 rows)
{
    m_total = rows;
    m_items.clear();
    openDialog(rows);
}

void ReportProgress::expectItems(const QString& items, qint64 count)
{
    m_total = count;
    m_items = items;
    openDialog(count);
}

void ReportProgress::itemDone()
{
    ++m_itemsDone;
}

void ReportProgress::rowWritten(int sheetRow)
{
    ++m_rows;
    m_lastRow = sheetRow;
    update();
    if (const auto& afterRow = OfficeSettings::current().afterRow)
        afterRow(*this);
    if (m_cancelled)
        throw ReportCancelled();
}

void ReportProgress::waiting()
{
    update();
}

void ReportProgress::finish()
{
    if (!m_guard)
        return;
    if (m_dialog)
        m_dialog->hide();
    // Input that came since the last update goes now, while the guard still throws it away.
    QCoreApplication::processEvents();
    m_dialog.reset();
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
    m_busyCursor = false;
    m_guard.reset();
}

QString ReportProgress::labelText() const
{
    return label(m_itemsDone, m_rows, m_clock.elapsed());
}

QString ReportProgress::label(qint64 itemsDone, qint64 rows, qint64 elapsedMs) const
{
    const QString elapsed = QStringLiteral(" — tempo trascorso ") + duration(elapsedMs);
    if (m_items.isEmpty())
        return QStringLiteral("Righe scritte: %1 di %2").arg(number(rows), number(m_total)) + elapsed;
    return QStringLiteral("%1 stampati: %2 di %3 — righe scritte: %4")
               .arg(m_items, number(itemsDone), number(m_total), number(rows)) +
           elapsed;
}

void ReportProgress::openDialog(qint64 maximum)
{
    if (m_dialog || !m_guard)
        return;
    auto dialog = std::make_unique<QProgressDialog>(&m_over);
    dialog->setWindowTitle(QStringLiteral("Stampa"));
    // The window comes to the front while the user may still be typing: a stray space or Enter must not
    // cancel the print, only a click on Annulla or Esc.
    auto* annulla = new QPushButton(QStringLiteral("Annulla"));
    annulla->setFocusPolicy(Qt::NoFocus);
    annulla->setAutoDefault(false);
    dialog->setCancelButton(annulla);
    dialog->setWindowModality(Qt::ApplicationModal);
    // Hidden only when the report ends, whatever the bar shows.
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setRange(0, static_cast<int>(std::clamp<qint64>(maximum, 0, std::numeric_limits<int>::max())));
    // Wide enough from the start for the counts it will reach, so that it does not grow as they do.
    // (Items bring some rows each; ten is a guess that only sets the width.)
    const QString widest = label(maximum, m_items.isEmpty() ? maximum : maximum * 10, 600'000);
    dialog->setMinimumWidth(dialog->fontMetrics().horizontalAdvance(widest) + 48);
    showLabel(*dialog);
    QObject::connect(dialog.get(), &QProgressDialog::canceled, dialog.get(), [this] { m_cancelled = true; });
    m_dialog = std::move(dialog);
    // Starts the clock of minimumDuration: the window shows once the writing has lasted that long, or
    // as soon as the rows written so far let it foresee that it will.
    m_dialog->setMinimumDuration(kShowAfterMs);
    m_dialog->setValue(0);
}

void ReportProgress::showLabel(QProgressDialog& dialog) const
{
    const QString text = labelText();
    dialog.setLabelText(text);
    // A screen reader follows the bar during a print: it carries the counts, not only the fraction done.
    if (auto* bar = dialog.findChild<QProgressBar*>())
        ui::describeState(bar, text);
}

void ReportProgress::update()
{
    if (!m_guard || m_sinceUpdate.elapsed() < kUpdateIntervalMs)
        return;
    m_sinceUpdate.restart();
    if (m_dialog) {
        showLabel(*m_dialog);
        const qint64 done = m_items.isEmpty() ? m_rows : m_itemsDone;
        m_dialog->setValue(static_cast<int>(std::min(done, static_cast<qint64>(m_dialog->maximum()))));
        if (!m_busyCursor && m_dialog->isVisible()) {
            // The hourglass would tell the user that the Annulla button cannot be pressed either.
            QApplication::setOverrideCursor(Qt::BusyCursor);
            m_busyCursor = true;
        }
    }
    QCoreApplication::processEvents();
}

} // namespace report
