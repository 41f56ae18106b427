#pragma once

#include "core/Jobs.h"
#include "core/PriceHistory.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class QChart;

namespace Ui {
class frmStoricoPrezzi;
}

namespace consultation {

// An item's price in each edition of the list the user has opened: a line chart by year and a table, the
// newest edition first. The editions are read on a thread of its own, behind a progress bar that can stop it.
class frmStoricoPrezzi : public QDialog
{
    Q_OBJECT

public:
    explicit frmStoricoPrezzi(QWidget* parent);
    ~frmStoricoPrezzi() override;

    // Shows the history of the item of 'code' of the list file 'listPath' over the editions of 'files'
    // (core::priceHistory's order); a history still being read for another item is stopped.
    void showHistory(const QString& listPath, const QString& code, const QString& description,
                     const QStringList& files);
    bool isReading() const { return m_reading != nullptr; }

protected:
    void reject() override;

private:
    void stopReading();
    void readingEnded();
    void showResult(const core::PriceHistory& history);
    void fillChart(const core::PriceHistory& history);
    void replaceChart(QChart* chart);

    std::unique_ptr<Ui::frmStoricoPrezzi> m_ui;
    std::shared_ptr<core::Jobs::Job> m_reading;
    QString m_listPath;
    core::Jobs m_jobs{this};
};

} // namespace consultation
