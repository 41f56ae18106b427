#include "report/modExcel97.h"

#include "report/AutomationError.h"
#include "report/OfficeSettings.h"
#include "report/calc/Protocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QUrl>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace report {

namespace protocol = calc::protocol;

namespace {

// Gathered rows go out at least this often, so that a long report shows its progress.
constexpr qint64 kFlushIntervalMs = 300;
// And at most this many cells at a time (some 2,000 rows, a fraction of a second of the office's work):
// a block waits for the one before it, so the report never runs far ahead of what the workbook holds,
// and its progress and a cancel follow the office.
constexpr std::size_t kMaxPendingCells = 16'000;
// How often SetCell looks whether the office has finished the rows sent.
constexpr qint64 kIdleCheckIntervalNs = 1'000'000;
// The longest a wait for the office blocks before the caller's whileWaiting runs.
constexpr qint64 kWaitSliceMs = 50;

const QString kPackage = QStringLiteral("libreoffice-calc");

void appendWord(std::string& line, const QString& word)
{
    const QByteArray bytes = word.toUtf8();
    protocol::appendWord(line, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString officeMissingText(const QString& what)
{
    return QStringLiteral("Per stampare serve LibreOffice Calc, che su questo computer non è installato (%1).\n"
                          "Installare il pacchetto Debian «%2» (sudo apt install %2) e ripetere la stampa.")
        .arg(what, kPackage);
}

void requireOffice()
{
    const QString soffice = OfficeSettings::current().soffice;
    if (!QFileInfo(soffice).isExecutable())
        throw OfficeError(OfficeError::Kind::OfficeMissing,
                          officeMissingText(QStringLiteral("manca «%1»").arg(soffice)));
}

void requireHelper()
{
    const QString helper = OfficeSettings::current().helperPath();
    if (!QFileInfo(helper).isExecutable())
        throw OfficeError(OfficeError::Kind::HelperMissing,
                          QStringLiteral("Manca il programma «%1», che collega Prezzario a LibreOffice: "
                                         "la stampa non è possibile. Reinstallare Prezzario.")
                              .arg(helper));
}

void requireTemplate(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw OfficeError(OfficeError::Kind::TemplateMissing,
                          QStringLiteral("Manca il modello di stampa «%1»: la stampa non è possibile.\n"
                                         "Reinstallare Prezzario (il modello si prepara con LibreOffice Calc, "
                                         "pacchetto Debian «%2»).")
                              .arg(path, kPackage));
}

bool blanksOnly(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

} // namespace

struct modExcel97::Pending
{
    struct Cell
    {
        QString value;
        protocol::Style style;
    };
    // By row, then column: the order the blocks are cut in.
    std::map<std::pair<int, int>, Cell> cells;
    int lastRow = 0;
    QElapsedTimer sinceFlush;
    QElapsedTimer sinceIdleCheck;
    // Blocks sent whose answer has not been read yet.
    std::size_t unanswered = 0;
};

modExcel97::modExcel97(std::function<void()> whileWaiting)
    : appExcel(std::make_unique<QProcess>()), m_pending(std::make_unique<Pending>()),
      m_whileWaiting(std::move(whileWaiting))
{
    const OfficeSettings& settings = OfficeSettings::current();
    requireOffice();
    requireHelper();
    const QString helper = settings.helperPath();
    appExcel->setProgram(helper);
    appExcel->start();
    if (!appExcel->waitForStarted(settings.answerTimeoutMs))
        throw OfficeError(OfficeError::Kind::HelperMissing,
                          QStringLiteral("Il programma «%1» non si avvia (%2): la stampa non è possibile.")
                              .arg(helper, appExcel->errorString()));

    // A pipe name of our own: an office already running opens it on request, next to any other.
    const QString pipe = QStringLiteral("prezzario-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate64(), 0, 16);
    QStringList words{QStringLiteral("start"), settings.soffice, pipe, QString::number(settings.startTimeoutMs)};
    words += settings.officeArguments;
    // The helper gives up on the office first, with a clearer message than our own timeout.
    const QStringList started = request(words, settings.startTimeoutMs + 15'000);
    const qint64 launcher = started.value(0).toLongLong();
    if (settings.officeLaunched && launcher > 0)
        settings.officeLaunched(launcher);
    m_pending->sinceFlush.start();
}

modExcel97::~modExcel97()
{
    emit onClose();
    if (m_broken.isEmpty()) {
        try {
            Flush();
        } catch (const core::Error&) {
            // Nothing can be told from a destructor; the report flushes on its own before it ends.
        }
    }
    if (appExcel->state() != QProcess::NotRunning) {
        // The helper ends when its input closes; the office and the document stay.
        appExcel->closeWriteChannel();
        if (!appExcel->waitForFinished(5'000)) {
            appExcel->kill();
            appExcel->waitForFinished(5'000);
        }
    }
}

void modExcel97::requireInstalled(const QString& nomeModello)
{
    requireOffice();
    requireHelper();
    requireTemplate(nomeModello);
}

void modExcel97::Apri_Modello(const QString& nomeModello)
{
    Flush();
    requireTemplate(nomeModello);
    const QFileInfo file(nomeModello);
    request({QStringLiteral("open"), QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)});
    request({QStringLiteral("sheet"), QStringLiteral("1")});
    foglioAperto = true;
    emit onOpen();
}

void modExcel97::Show()
{
    Flush();
    request({QStringLiteral("show")});
    emit onShow();
}

void modExcel97::writeCell(int column, int row, const QString& value, const CellLook& look)
{
    static const QString text = QStringLiteral("@");
    SetCell(column, row, value, look.edges, look.text ? text : QString(), look.bold);
}

void modExcel97::SetCell(int X, int Y, const QString& value, bool bordo, const QString& tipoFormato, bool Grassetto)
{
    if (!foglioAperto)
        throw AutomationError(kFoglioNonApertoNumber, kFoglioNonApertoSource, kFoglioNonApertoDescription);

    // A row is complete when the writes move on to another one. The office works on the rows sent while
    // the report prepares the next ones, which go out as soon as it is done, or at the latest after the
    // interval; the answers are read before the next block goes out.
    if (m_pending->lastRow != 0 && Y != m_pending->lastRow &&
        (m_pending->sinceFlush.elapsed() >= kFlushIntervalMs || m_pending->cells.size() >= kMaxPendingCells ||
         officeIdle())) {
        collectAnswers();
        sendPending();
    }
    m_pending->lastRow = Y;

    Pending::Cell& cell = m_pending->cells[{Y, X}];
    cell.value = value;
    // A second write to the same cell adds to the first: nothing is ever reset.
    protocol::Style& style = cell.style;
    if (!blanksOnly(tipoFormato))
        style.numberFormat = tipoFormato.toStdString();
    style.edges = style.edges || bordo;
    style.wrap = style.wrap || tipoFormato == u"@";
    style.bold = style.bold || Grassetto;
}

void modExcel97::Flush()
{
    sendPending();
    collectAnswers();
}

void modExcel97::sendPending()
{
    m_pending->sinceFlush.restart();
    if (m_pending->cells.empty())
        return;
    std::map<std::pair<int, int>, Pending::Cell> cells;
    cells.swap(m_pending->cells);

    // Runs of neighbouring cells in one row; consecutive rows with the same single run make one block.
    struct Segment
    {
        int row;
        int first;
        int last;
        bool alone;
    };
    std::vector<Segment> segments;
    for (const auto& [position, cell] : cells) {
        const auto [row, column] = position;
        if (!segments.empty() && segments.back().row == row && segments.back().last + 1 == column) {
            segments.back().last = column;
        } else {
            if (!segments.empty() && segments.back().row == row)
                segments.back().alone = false;
            segments.push_back({row, column, column, segments.empty() || segments.back().row != row});
        }
    }

    for (std::size_t i = 0; i < segments.size();) {
        std::size_t end = i + 1;
        while (end < segments.size() && segments[i].alone && segments[end].alone &&
               segments[end].row == segments[end - 1].row + 1 && segments[end].first == segments[i].first &&
               segments[end].last == segments[i].last)
            ++end;
        const int columns = segments[i].last - segments[i].first + 1;
        const int rows = static_cast<int>(end - i);

        std::vector<protocol::Style> styles;
        std::string body;
        for (std::size_t s = i; s < end; ++s) {
            for (int column = segments[s].first; column <= segments[s].last; ++column) {
                const Pending::Cell& cell = cells.at({segments[s].row, column});
                auto known = std::find(styles.begin(), styles.end(), cell.style);
                if (known == styles.end())
                    known = styles.insert(styles.end(), cell.style);
                body += '\t';
                appendWord(body, cell.value);
                body += '\t';
                body += std::to_string(known - styles.begin());
            }
        }
        std::string line = "cells\t" + std::to_string(segments[i].first) + '\t' + std::to_string(segments[i].row) +
                           '\t' + std::to_string(columns) + '\t' + std::to_string(rows) + '\t' +
                           std::to_string(styles.size());
        for (const protocol::Style& style : styles) {
            line += '\t';
            protocol::appendWord(line, protocol::encodeStyle(style));
        }
        line += body;
        line += '\n';
        send(line);
        ++m_pending->unanswered;
        i = end;
    }
    // Handed over now, not whenever Qt would next write: the helper is waiting for it.
    const int timeoutMs = OfficeSettings::current().answerTimeoutMs;
    const QDeadlineTimer deadline(timeoutMs);
    while (appExcel->bytesToWrite() > 0) {
        if (appExcel->state() == QProcess::NotRunning)
            helperGone();
        if (!appExcel->waitForBytesWritten(waitSlice(deadline)) && deadline.hasExpired())
            notResponding(timeoutMs);
        if (m_whileWaiting)
            m_whileWaiting();
    }
    m_pending->sinceFlush.restart();
}

bool modExcel97::officeIdle()
{
    if (m_pending->unanswered == 0)
        return true;
    // Looking costs a system call: not more than once in a while.
    if (!m_pending->sinceIdleCheck.isValid() || m_pending->sinceIdleCheck.nsecsElapsed() >= kIdleCheckIntervalNs) {
        m_pending->sinceIdleCheck.start();
        appExcel->waitForReadyRead(0);
    }
    // Each answer is one line; they are short.
    const QByteArray answers = appExcel->peek(appExcel->bytesAvailable());
    return static_cast<std::size_t>(answers.count('\n')) >= m_pending->unanswered;
}

void modExcel97::collectAnswers()
{
    // Every block is answered, in order; the first refusal is reported once all have come back.
    std::optional<OfficeError> first;
    for (; m_pending->unanswered > 0; --m_pending->unanswered) {
        try {
            answer(OfficeSettings::current().answerTimeoutMs);
        } catch (const OfficeError& error) {
            if (!m_broken.isEmpty()) {
                m_pending->unanswered = 0;
                throw;
            }
            if (!first)
                first = error;
        }
    }
    if (first)
        throw *first;
}

QStringList modExcel97::texts(int X, int Y, int columns, int rows)
{
    Flush();
    return request({QStringLiteral("texts"), QString::number(X), QString::number(Y), QString::number(columns),
                    QString::number(rows)});
}

QMap<QString, QString> modExcel97::inspect(int X, int Y)
{
    Flush();
    QMap<QString, QString> facts;
    for (const QString& fact : request({QStringLiteral("inspect"), QString::number(X), QString::number(Y)})) {
        const qsizetype equals = fact.indexOf(u'=');
        facts.insert(fact.left(equals), fact.mid(equals + 1));
    }
    return facts;
}

void modExcel97::closeDocument()
{
    Flush();
    request({QStringLiteral("closedoc")});
    foglioAperto = false;
}

QStringList modExcel97::request(const QStringList& words, int timeoutMs)
{
    collectAnswers();
    std::string line;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0)
            line += '\t';
        appendWord(line, words[i]);
    }
    line += '\n';
    send(line);
    return answer(timeoutMs < 0 ? OfficeSettings::current().answerTimeoutMs : timeoutMs);
}

void modExcel97::send(const std::string& line)
{
    if (!m_broken.isEmpty())
        throw OfficeError(OfficeError::Kind::Closed, m_broken);
    appExcel->write(line.data(), static_cast<qint64>(line.size()));
}

QStringList modExcel97::answer(int timeoutMs)
{
    if (!m_broken.isEmpty())
        throw OfficeError(OfficeError::Kind::Closed, m_broken);
    const QDeadlineTimer deadline(timeoutMs);
    while (!appExcel->canReadLine()) {
        if (appExcel->state() == QProcess::NotRunning)
            helperGone();
        if (!appExcel->waitForReadyRead(waitSlice(deadline)) && !appExcel->canReadLine()) {
            if (appExcel->state() == QProcess::NotRunning)
                helperGone();
            if (deadline.hasExpired())
                notResponding(timeoutMs);
        }
        if (m_whileWaiting)
            m_whileWaiting();
    }
    QByteArray line = appExcel->readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    const std::vector<std::string> words =
        protocol::decodeLine(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    QStringList result;
    for (std::size_t i = 1; i < words.size(); ++i)
        result.append(QString::fromStdString(words[i]));
    if (words.front() == protocol::kOk)
        return result;
    if (words.front() == protocol::kError)
        refused(result.value(0), result.value(1));
    m_broken = QStringLiteral("Il programma «prezzario-calc» ha dato una risposta incomprensibile: la stampa è stata "
                              "interrotta.");
    appExcel->kill();
    appExcel->waitForFinished(5'000);
    throw OfficeError(OfficeError::Kind::Closed, m_broken);
}

int modExcel97::waitSlice(const QDeadlineTimer& deadline) const
{
    const qint64 remaining = std::max<qint64>(deadline.remainingTime(), 0);
    return static_cast<int>(m_whileWaiting ? std::min(remaining, kWaitSliceMs) : remaining);
}

void modExcel97::notResponding(int timeoutMs)
{
    // A hung office would block the helper for ever. The helper is ours to end; the office may hold the
    // user's other documents, so it is left alone.
    m_broken = QStringLiteral("LibreOffice non risponde da %1 secondi: la stampa è stata interrotta.\n"
                              "LibreOffice è stato lasciato com'è; se resta bloccato, chiuderlo e ripetere la "
                              "stampa.")
                   .arg(timeoutMs / 1000);
    appExcel->kill();
    appExcel->waitForFinished(5'000);
    throw OfficeError(OfficeError::Kind::NotResponding, m_broken);
}

void modExcel97::helperGone()
{
    const QString errors = QString::fromLocal8Bit(appExcel->readAllStandardError()).trimmed();
    if (errors.contains(QStringLiteral("error while loading shared libraries"))) {
        m_broken = officeMissingText(QStringLiteral("«prezzario-calc» non trova le sue librerie: %1").arg(errors));
        throw OfficeError(OfficeError::Kind::OfficeMissing, m_broken);
    }
    m_broken = QStringLiteral("Il collegamento con LibreOffice si è interrotto (il programma «prezzario-calc» è "
                              "terminato con codice %1): la stampa è stata interrotta.")
                   .arg(appExcel->exitStatus() == QProcess::CrashExit ? QStringLiteral("di errore")
                                                                      : QString::number(appExcel->exitCode()));
    throw OfficeError(OfficeError::Kind::Closed, m_broken);
}

void modExcel97::refused(const QString& kind, const QString& detail)
{
    const std::string k = kind.toStdString();
    if (k == protocol::kOffice)
        throw OfficeError(OfficeError::Kind::OfficeMissing,
                          QStringLiteral("LibreOffice non si avvia (%1).\nVerificare che il pacchetto Debian «%2» sia "
                                         "installato e che LibreOffice si apra dal menu, poi ripetere la stampa.")
                              .arg(detail, kPackage));
    if (k == protocol::kCalc)
        throw OfficeError(OfficeError::Kind::OfficeMissing,
                          officeMissingText(QStringLiteral("LibreOffice c'è, ma senza il foglio elettronico Calc")));
    if (k == protocol::kTemplate)
        throw OfficeError(OfficeError::Kind::TemplateMissing,
                          QStringLiteral("LibreOffice non riesce ad aprire il modello di stampa (%1): la stampa non è "
                                         "possibile. Reinstallare Prezzario.")
                              .arg(detail));
    if (k == protocol::kClosed)
        throw OfficeError(OfficeError::Kind::Closed,
                          QStringLiteral("LibreOffice è stato chiuso, o si è interrotto, durante la stampa: la stampa "
                                         "è stata interrotta (%1).")
                              .arg(detail));
    if (k == protocol::kSheet)
        throw OfficeError(OfficeError::Kind::Refused,
                          QStringLiteral("Il foglio numero %1 non esiste nel documento.").arg(detail));
    if (k == protocol::kRange)
        throw OfficeError(OfficeError::Kind::Refused,
                          QStringLiteral("Una cella è fuori dal foglio di calcolo (%1).").arg(detail));
    if (k == protocol::kFormat)
        throw OfficeError(OfficeError::Kind::Refused,
                          QStringLiteral("LibreOffice non accetta il formato numerico «%1».").arg(detail));
    throw OfficeError(OfficeError::Kind::Refused, QStringLiteral("Errore di LibreOffice: %1").arg(detail));
}

} // namespace report
