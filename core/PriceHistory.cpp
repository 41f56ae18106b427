#include "core/PriceHistory.h"

#include "core/Compare.h"
#include "core/Error.h"
#include "core/SafeFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace core {

namespace {

struct OpenEdition
{
    QString year;
    std::shared_ptr<PriceList> list; // null for the open list itself, which the caller keeps
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

std::optional<PriceHistory> priceHistory(const PriceList& open, const QString& code, const QStringList& files,
                                         const std::function<bool(double)>& progress)
{
    PriceHistory history;
    const QString openYear = open.year();
    const std::optional<PriceList::Row> openRow = open.row(code);
    if (!openRow)
        throw DbError(QStringLiteral("La voce %1 non è nel prezzario «%2».").arg(code, shown(open.path())));

    // Opening the files is quick next to following the item: a small share of the bar.
    constexpr double kOpening = 0.05;
    auto report = [&progress](double done) { return !progress || progress(std::min(done, 1.0)); };

    QList<OpenEdition> editions{{openYear, nullptr}};
    const QString openKey = sameFileKey(open.path());
    QStringList seen{openKey};
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        if (!report(kOpening * double(i) / double(files.size())))
            return std::nullopt;
        const QString key = sameFileKey(file);
        if (key == openKey || seen.contains(key))
            continue;
        seen << key;
        auto list = std::make_shared<PriceList>();
        QString year;
        try {
            *list = PriceList::open(file);
            year = list->year();
        } catch (const Error& error) {
            history.notes << error.text();
            continue;
        }
        const auto taken = std::find_if(editions.cbegin(), editions.cend(),
                                        [&year](const OpenEdition& edition) { return edition.year == year; });
        if (taken != editions.cend()) {
            const QString kept = taken->list ? taken->list->path() : open.path();
            history.notes
                << QStringLiteral("«%1» è anch'essa dell'anno %2: si usa «%3».").arg(shown(file), year, shown(kept));
            continue;
        }
        editions << OpenEdition{year, list};
    }
    // Years are numbers; one that is not goes by its text after them.
    std::stable_sort(editions.begin(), editions.end(), [](const OpenEdition& a, const OpenEdition& b) {
        bool aNumber = false, bNumber = false;
        const qlonglong aYear = a.year.toLongLong(&aNumber), bYear = b.year.toLongLong(&bNumber);
        if (aNumber != bNumber)
            return aNumber;
        return aNumber ? aYear > bYear : a.year > b.year;
    });
    const qsizetype openAt =
        std::find_if(editions.cbegin(), editions.cend(), [](const OpenEdition& e) { return !e.list; }) -
        editions.cbegin();
    auto listOf = [&open, &editions](qsizetype i) -> const PriceList& {
        return editions[i].list ? *editions[i].list : open;
    };

    QList<EditionPrice> prices(editions.size());
    for (qsizetype i = 0; i < editions.size(); ++i) {
        prices[i].year = editions[i].year;
        prices[i].path = listOf(i).path();
    }
    prices[openAt].code = code;
    prices[openAt].unit = openRow->subarticle.simbolo;
    prices[openAt].price = openRow->subarticle.prezzoLordo;

    const double steps = double(std::max<qsizetype>(1, editions.size() - 1));
    int step = 0;
    // From the open edition to the older ones (towards the end of the list), then to the newer ones.
    for (const int direction : {+1, -1}) {
        for (qsizetype from = openAt, to = openAt + direction; to >= 0 && to < editions.size();
             from = to, to += direction) {
            const QString& known = prices[from].code;
            if (known.isEmpty())
                break;
            const double start = kOpening + (1 - kOpening) * step / steps;
            auto share = [&report, start, steps](double done) { return report(start + (1 - kOpening) * done / steps); };
            ++step;
            const PriceList& older = listOf(std::max(from, to));
            const PriceList& newer = listOf(std::min(from, to));
            std::optional<QString> found;
            try {
                found = pairedCode(older, newer, known, direction > 0 ? EditionSide::Newer : EditionSide::Older, share);
            } catch (const Error& error) {
                history.notes << error.text();
                break;
            }
            if (!found)
                return std::nullopt;
            if (found->isEmpty())
                break;
            const std::optional<PriceList::Row> row = listOf(to).row(*found);
            if (!row)
                break;
            prices[to].code = *found;
            prices[to].unit = row->subarticle.simbolo;
            prices[to].price = row->subarticle.prezzoLordo;
        }
    }
    // A re-coded step is told on the newer side of it.
    for (qsizetype i = 0; i + 1 < prices.size(); ++i) {
        if (prices[i].holdsItem() && prices[i + 1].holdsItem() && prices[i].code != prices[i + 1].code)
            prices[i].formerCode = prices[i + 1].code;
    }
    if (!report(1.0))
        return std::nullopt;
    history.editions = prices;
    return history;
}

} // namespace core
