#pragma once

#include <QString>

#include <functional>

namespace builder {

class PriceListWriter;

// The four tables of a price list as CSV files in one folder: prezzario.csv and anno_prezzario.csv
// are required, premesse.csv and manuale.csv optional (their tables are then left empty). Every row
// is checked before it is written; the first problem throws BuildError naming file, line and column.
class CsvSource
{
public:
    static constexpr const char* kPrices = "prezzario.csv";
    static constexpr const char* kYear = "anno_prezzario.csv";
    static constexpr const char* kPremesse = "premesse.csv";
    static constexpr const char* kManual = "manuale.csv";

    // Checks that the folder and the required files exist.
    explicit CsvSource(const QString& dir);

    // Size of prezzario.csv, the unit of the progress reported by load().
    qint64 priceBytes() const;

    void load(PriceListWriter& writer, const std::function<void(qint64 bytesDone)>& progress = {}) const;

    QString path(const char* fileName) const;

private:
    void loadPrices(PriceListWriter& writer, const std::function<void(qint64)>& progress) const;
    void loadYear(PriceListWriter& writer) const;
    void loadPremesse(PriceListWriter& writer) const;
    void loadManual(PriceListWriter& writer) const;

    QString m_dir;
};

} // namespace builder
