#pragma once

#include "core/Database.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace fixture {

// One subarticle row; the codes make codice_totale. Unset optional columns are Null.
struct Row
{
    qint64 sequenza = 1;
    QString sezione_codice = QStringLiteral("01");
    QString capitolo_codice = QStringLiteral("A01");
    QString articolo_codice = QStringLiteral("A01");
    QString subarticolo_codice = QStringLiteral("010");
    QString sezione = QStringLiteral("Opere edili");
    std::optional<QString> note_sezione;
    QString capitolo = QStringLiteral("Scavi");
    std::optional<QString> note_capitolo;
    qint64 seq_capitolo = 1;
    QString articolo = QStringLiteral("Scavo a sezione obbligata");
    std::optional<QString> note_articolo;
    QString subarticolo = QStringLiteral("in terreno di qualsiasi natura");
    QString simbolo = QStringLiteral("m³");
    std::optional<QString> prezzo_lordo = QStringLiteral("12.5");
    std::optional<QString> incidenza_manodopera = QStringLiteral("27.5");
    std::optional<QString> somma_manodopera = QStringLiteral("3.44");

    QString codiceTotale() const;
};

struct Tables
{
    QList<Row> rows;
    // CSV text of the small tables, header included; empty means "use the default".
    QString anno = QStringLiteral("ANNO_PREZZARIO\n2021\n");
    QString premesse = {};
    QString manuale = {};
};

// A folder holding a freshly built Prezzario.mdb made from the given tables.
class PriceListFolder
{
public:
    explicit PriceListFolder(const Tables& tables);
    QString folder() const { return m_dir.path(); }
    QString database() const;
    core::Database open() const;

private:
    QTemporaryDir m_dir;
};

// CSV text of a field: quoted, with inner quotes doubled; std::nullopt gives an empty unquoted field (Null).
QString csvField(const std::optional<QString>& value);

} // namespace fixture
