#pragma once

#include "tools/build/SixSource.h"
#include "tools/build/readers/XmlGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <deque>
#include <optional>
#include <vector>

// A SIX file read as a stream of products (SixReader.cpp), and what its first pass keeps for the tables
// SixSource.cpp makes of it.
namespace builder {

struct SixHeading
{
    QString text;
    std::optional<QString> note;
    qint64 line = 0;
    bool used = false;
};

struct SixPriceList
{
    QString id;
    QString code; // lqtId, the list's own name for itself
    QString description;
    QString year;
    qint64 line = 0;
};

// The price lists a refusal names; it says how many more there are.
inline constexpr qsizetype kShownLists = 100;

struct SixSource::State
{
    QString path;
    SixOptions options;

    bool scanned = false;
    std::optional<BuildError> failure;
    qint64 size = 0;
    QHash<QString, QString> units;
    std::vector<SixPriceList> shownLists; // the first kShownLists
    qint64 listCount = 0;
    QSet<QString> listIds;
    QString listYear; // of the first chosen list that gives one
    qint64 listYearLine = 0;
    QString fileYear;
    qint64 fileYearLine = 0;
    QString fileYearWhere;
    QHash<QString, SixHeading> headings;
    std::deque<QString> problems; // found by the first pass, handed on by the prices table
    qint64 products = 0;
    qint64 keptText = 0; // characters of the texts the first pass keeps

    qint64 rows = 0;
    std::vector<LeftOutProduct> leftOut;

    QString fileName() const { return QFileInfo(path).fileName(); }
    bool chosenList(QStringView id) const { return options.quotation.isEmpty() || id == options.quotation; }
    void scan();
    void keep(qsizetype characters, qint64 line);
};

namespace six {

// A product as the file describes it, in the chosen language and price list.
struct Product
{
    QString code;
    qint64 line = 0;
    qint64 column = 0;
    std::optional<QString> unit; // unitaDiMisuraId
    bool described = false;      // a description in the chosen language (or one with no language)
    bool exactLanguage = false;
    QString brief;
    QString extended;
    QStringList languages;
    bool priced = false;
    QString price;
    QStringList priceLists; // the lists its prices name
    std::optional<QString> labour;
};

// The file as a stream of products, with the few other elements the first pass keeps.
class SixReader
{
public:
    SixReader(SixSource::State& state, bool collect);

    qint64 bytesRead() const { return m_guard.bytesRead(); }

    // The next product; false at the end of the file. Throws BuildError for XML that cannot be read on.
    bool next(Product& product);

private:
    void checkRoot();
    [[noreturn]] void failXml();
    QString attribute(QLatin1StringView name) const { return value(m_xml.attributes(), name); }
    // An attribute the reader keeps, refused past the length of a field.
    QString value(const QXmlStreamAttributes& attributes, QLatin1StringView name) const;
    void collect(QStringView name);
    void readProduct(Product& product);
    void readPart(Product& product);

    SixSource::State& m_state;
    bool m_collect;
    QFile m_file;
    XmlGuard m_guard;
    QXmlStreamReader m_xml;
    bool m_rootSeen = false;
};

} // namespace six
} // namespace builder
