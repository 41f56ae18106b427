#pragma once

#include "tools/build/ListSource.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace builder {

struct SixOptions
{
    QString language = QStringLiteral("it"); // prdDescrizione/@lingua
    QString quotation;                       // listaQuotazioneId; empty: the file's only one
    std::optional<qint64> year;              // --anno: wins over the year the file gives
};

// A product of the file that became no row of the price list, and why: the user is told of each one.
struct LeftOutProduct
{
    QString code;
    qint64 line = 0;
    QString reason;
};

// A price list written in the SIX format (root Documento): its products become the rows of the prezzario table,
// those without a price the headings of the levels their codes name. The file is read twice, streaming: first
// for what is small (units, price lists, headings, the year), then for the priced products, a row at a time.
class SixSource
{
public:
    SixSource(const QString& path, const SixOptions& options);

    ListSource source() const;

    // After a load: the products of the file, the rows they made, the headings used, and those left out.
    qint64 products() const;
    qint64 rows() const;
    qint64 headings() const;
    const std::vector<LeftOutProduct>& leftOut() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace builder
