#pragma once

#include "PriceHistory.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class QChart;
class QThread;

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
    bool isReading() const { return m_thread != nullptr; }

protected:
    void reject() override;

private:
    struct Job;

    void stopReading();
    void jobFinished(const std::shared_ptr<Job>& job);
    void showResult(const core::PriceHistory& history);
    void fillChart(const core::PriceHistory& history);
    void replaceChart(QChart* chart);

    std::unique_ptr<Ui::frmStoricoPrezzi> m_ui;
    QThread* m_thread = nullptr;
    std::shared_ptr<Job> m_job;
    QString m_listPath;
};

} // namespace consultation
