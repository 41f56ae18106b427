#include "tests/support/EditionPair.h"

namespace fixture {

namespace {

struct Item
{
    const char* code; // codice_totale
    const char* articolo;
    const char* subarticolo;
    const char* unit;
    std::optional<QString> price;
};

Tables edition(std::initializer_list<Item> items, const char* year)
{
    Tables tables;
    tables.anno = QStringLiteral("ANNO_PREZZARIO\n%1\n").arg(QLatin1String(year));
    qint64 sequenza = 0;
    QStringList chapters;
    for (const Item& item : items) {
        const QStringList parts = QString::fromUtf8(item.code).split(u'.');
        const QString chapter = parts[0] + u'.' + parts[1];
        if (!chapters.contains(chapter))
            chapters << chapter;
        Row r;
        r.sequenza = ++sequenza;
        r.sezione_codice = parts[0];
        r.sezione = QStringLiteral("Sezione ") + parts[0];
        r.capitolo_codice = parts[1];
        r.seq_capitolo = chapters.indexOf(chapter) + 1;
        r.capitolo = QStringLiteral("Capitolo ") + chapter;
        r.articolo_codice = parts[2];
        r.articolo = QString::fromUtf8(item.articolo);
        r.subarticolo_codice = parts[3];
        r.subarticolo = QString::fromUtf8(item.subarticolo);
        r.simbolo = QString::fromUtf8(item.unit);
        r.prezzo_lordo = item.price;
        r.incidenza_manodopera = QStringLiteral("30");
        r.somma_manodopera = std::nullopt;
        tables.rows << r;
    }
    return tables;
}

QString price(const char* value)
{
    return QString::fromLatin1(value);
}

} // namespace

// Each list in an order of its own, so that the comparison's code order is its own doing.
Tables olderEdition()
{
    return edition(
        {
            {"03.C01.A01.010", "Intonaco", "di calce", "m²", price("15")},
            {"01.A01.A01.020", "Scavo", "in terreno sciolto", "m³", price("20")},
            {"01.A01.A01.010", "Scavo", "in terreno vegetale", "m³", price("10")},
            {"01.A01.A01.030", "Scavo", "in terreno compatto", "m³", price("30")},
            {"01.A01.A01.040", "Scavo", "in terreno roccioso", "m³", std::nullopt},
            {"01.A01.A01.050", "Scavo", "in roccia compatta", "m³", price("50")},
            {"01.A01.A01.060", "Scavo", "in acqua", "m³", price("60")},
            {"01.A01.A02.010", "Demolizione", "di muratura in mattoni", "m³", price("100")},
            {"01.A01.A04.010", "Trasporto", "a discarica", "t", price("12")},
            {"01.A01.A04.020", "Trasporto", "a discarica", "t", price("13")},
            {"01.A01.A06.010", "Ponteggio", "metallico", "m²", price("7")},
            {"04.D01.A01.010", "Tinteggiatura", "a tempera", "m²", price("8")},
        },
        "2023");
}

Tables newerEdition()
{
    return edition(
        {
            {"04.D01.A01.010", "Tinteggiatura", "a tempera", "m²", price("10")},
            {"02.B01.A01.010", "Pavimento", "in gres", "m²", price("35")},
            {"01.A01.A01.010", "Scavo", "in terreno vegetale", "m³", price("10")},
            {"01.A01.A01.020", "Scavo", "in terreno sciolto", "m³", price("22")},
            {"01.A01.A01.030", "Scavo", "in terreno compatto", "m²", price("30")},
            {"01.A01.A01.040", "Scavo", "in terreno roccioso", "m³", price("40")},
            {"01.A01.A01.050", "Scavo", "In  roccia, compattà.", "m³", price("50")},
            {"01.A01.A01.060", "Scavo", "in acqua salata", "m³", price("66")},
            {"01.A01.A03.010", "Demolizione", "di muratura in mattoni", "m³", price("120")},
            {"01.A01.A05.010", "Trasporto", "a discarica", "t", price("14")},
            {"01.A01.A07.010", "Ponteggio", "metallico", "m", price("7")},
        },
        "2024");
}

} // namespace fixture
