#include "consultation/frmStoricoPrezzi.h"

#include "core/Error.h"
#include "core/Compare.h"
#include "core/Numbers.h"
#include "ui/ReportList.h"
#include "ui/WindowPlacement.h"

#include <QChart>
#include <QCategoryAxis>
#include <QChartView>
#include <QDir>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "ui_frmStoricoPrezzi.h"

namespace consultation {

// The buttons report clicked; Escape and the window's close button reach reject, which stops the reading.
frmStoricoPrezzi::frmStoricoPrezzi(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::frmStoricoPrezzi>())
{
    m_ui->setupUi(this);
    m_ui->lstStorico->setColumns({{QStringLiteral("Edizione"), 900},
                                  {QStringLiteral("Codice"), 1700},
                                  {QStringLiteral("U.M."), 700},
                                  {QStringLiteral("Prezzo"), 1100, true},
                                  {QStringLiteral("Variazione %"), 1300, true},
                                  {QStringLiteral("Nota"), 2600}});
    m_ui->chtStorico->setRenderHint(QPainter::Antialiasing);
    connect(m_ui->cmdAnnulla, &QPushButton::clicked, this, [this] {
        if (m_reading)
            m_reading->requestStop();
    });
    connect(m_ui->cmdChiudi, &QPushButton::clicked, this, &frmStoricoPrezzi::reject);
    resize(720, 560);
}

frmStoricoPrezzi::~frmStoricoPrezzi()
{
    stopReading();
}

void frmStoricoPrezzi::showHistory(const QString& listPath, const QString& code, const QString& description,
                                   const QStringList& files)
{
    stopReading();
    m_listPath = listPath;
    setWindowTitle(QStringLiteral("Storico prezzi – %1").arg(code));
    m_ui->lblVoce->setText(code + QStringLiteral(" – ") + description);
    m_ui->lstStorico->RemoveAll();
    replaceChart(new QChart);
    m_ui->lblNote->setText(QStringLiteral("Lettura delle edizioni…"));
    m_ui->lblNote->setFocusPolicy(Qt::ClickFocus);
    m_ui->prgStorico->setValue(0);
    m_ui->prgStorico->show();
    m_ui->cmdAnnulla->show();
    m_ui->cmdAnnulla->setEnabled(true);

    core::JobHandlers<std::optional<core::PriceHistory>> handlers;
    handlers.progress = [this](int percent) { m_ui->prgStorico->setValue(percent); };
    handlers.done = [this](std::optional<core::PriceHistory> history) {
        readingEnded();
        if (history)
            showResult(*history);
        else
            m_ui->lblNote->setText(QStringLiteral("Lettura interrotta: riaprire lo storico per leggere le edizioni."));
    };
    handlers.failed = [this](const QString& failure) {
        readingEnded();
        m_ui->lblNote->setText(failure);
    };
    // The work opens its own connection to every file: a connection belongs to the thread that opened it.
    m_reading = m_jobs.start<std::optional<core::PriceHistory>>(
        [listPath, code, files](core::JobControl& control) {
            const core::PriceList list = core::PriceList::open(listPath);
            return core::priceHistory(list, code, files, control.reporter());
        },
        std::move(handlers));
    const bool opening = !isVisible();
    show();
    // Once shown, when its frame is known: all of it on the screen.
    if (opening)
        ui::fitToScreen(this);
    raise();
    activateWindow();
    m_ui->lstStorico->setFocus(Qt::OtherFocusReason);
}

void frmStoricoPrezzi::reject()
{
    stopReading();
    QDialog::reject();
}

void frmStoricoPrezzi::stopReading()
{
    if (!m_reading)
        return;
    m_reading->cancel();
    readingEnded();
}

void frmStoricoPrezzi::readingEnded()
{
    m_reading.reset();
    m_ui->prgStorico->hide();
    m_ui->cmdAnnulla->hide();
}

void frmStoricoPrezzi::showResult(const core::PriceHistory& history)
{
    const QList<core::EditionPrice>& editions = history.editions;
    ui::ReportRow row;
    for (qsizetype i = 0; i < editions.size(); ++i) {
        const core::EditionPrice& edition = editions[i];
        row.clear();
        row.cell(edition.year).cell(edition.code).cell(edition.unit.toString());
        row.cell(edition.price ? core::moneyText(*edition.price) : QString());
        const core::EditionPrice* older = i + 1 < editions.size() ? &editions[i + 1] : nullptr;
        const std::optional<double> change = older ? core::changePercent(older->price, edition.price) : std::nullopt;
        if (change)
            row.cell(core::signedPercentText(*change));
        else
            row.emptyCell();
        QStringList notes;
        if (!edition.holdsItem())
            notes << QStringLiteral("voce assente");
        if (edition.recoded())
            notes << QStringLiteral("già ") + edition.formerCode;
        if (older && older->holdsItem() && edition.holdsItem() && !(older->unit == edition.unit))
            notes << QStringLiteral("già in %1").arg(older->unit.toString());
        if (edition.path == m_listPath)
            notes << QStringLiteral("edizione aperta");
        row.cell(notes.join(QStringLiteral("; ")));
        m_ui->lstStorico->Add(ui::ReportList::keyFor(i), row);
    }
    QStringList said;
    if (editions.size() < 2) {
        said << QStringLiteral(
            "Nessun'altra edizione aperta finora: il programma ricorda ogni file di prezzario con cui viene "
            "avviato; avviatelo una volta con ciascuna delle altre edizioni per seguirne qui i prezzi.");
    }
    said << history.notes;
    m_ui->lblNote->setText(said.join(u'\n'));
    // Without notes the label is nothing to select, nor to announce.
    if (said.isEmpty())
        m_ui->lblNote->setFocusPolicy(Qt::NoFocus);
    fillChart(history);
}

void frmStoricoPrezzi::fillChart(const core::PriceHistory& history)
{
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("Prezzo"));
    series->setPointsVisible(true);
    int first = 0, last = 0;
    double lowest = 0, highest = 0;
    for (const core::EditionPrice& edition : history.editions) {
        bool isNumber = false;
        const int year = edition.year.toInt(&isNumber);
        if (!isNumber || !edition.price)
            continue;
        if (series->count() == 0) {
            first = last = year;
            lowest = highest = *edition.price;
        }
        first = std::min(first, year);
        last = std::max(last, year);
        lowest = std::min(lowest, *edition.price);
        highest = std::max(highest, *edition.price);
        series->append(year, *edition.price);
    }
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setLocalizeNumbers(true);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->addSeries(series);
    // Each edition's year under its point, half a year of room on either side.
    auto* years = new QCategoryAxis;
    years->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QList<QPointF> points = series->points();
    std::sort(points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    for (const QPointF& point : points)
        years->append(QString::number(int(point.x())), point.x());
    years->setRange(first - 0.5, last + 0.5);
    years->setTitleText(QStringLiteral("Edizione"));
    auto* prices = new QValueAxis;
    const double room = highest > lowest ? (highest - lowest) / 10 : std::max(1.0, highest / 10);
    prices->setRange(std::max(0.0, lowest - room), highest + room);
    prices->setLabelFormat(QStringLiteral("%.2f"));
    prices->setTitleText(QStringLiteral("Prezzo (€)"));
    chart->addAxis(years, Qt::AlignBottom);
    chart->addAxis(prices, Qt::AlignLeft);
    series->attachAxis(years);
    series->attachAxis(prices);
    replaceChart(chart);
}

void frmStoricoPrezzi::replaceChart(QChart* chart)
{
    // The view lets go of its chart without deleting it.
    QChart* previous = m_ui->chtStorico->chart();
    m_ui->chtStorico->setChart(chart);
    delete previous;
}

} // namespace consultation
