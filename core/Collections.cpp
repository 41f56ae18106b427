#include "core/Collections.h"

#include "core/Computo.h"
#include "core/Error.h"
#include "core/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace core {

namespace {

// The version of the file layout; a file of a later one is left alone, for the program that wrote it.
// 2 added the measurement lines, the chapters and the prices of no list; a file of 1 reads as one of 2 without them.
constexpr int kFormat = 2;
const QString kSuffix = QStringLiteral(".json");
const QString kLastUsedFile = QStringLiteral("ultima-raccolta");
// Far above any real collection; a larger file is not read into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

QJsonValue textValue(const Text& text)
{
    return text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text.toString());
}

QJsonValue numberValue(const std::optional<double>& number, const QString& path)
{
    if (!number)
        return QJsonValue(QJsonValue::Null);
    // JSON has no infinity or NaN: writing one would lose it on the next reading.
    if (!std::isfinite(*number))
        throw Error(QStringLiteral("Impossibile salvare «%1»: un numero non è valido.").arg(path));
    return QJsonValue(*number);
}

// The structure of one file is checked field by field; the first fault found is the one reported.
struct Reader
{
    QString fault;

    bool text(const QJsonObject& object, const char* key, Text& out)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            out = Text();
        else if (value.isString())
            out = Text::fromString(value.toString());
        else
            return failed(key);
        return true;
    }

    bool string(const QJsonObject& object, const char* key, QString& out)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString())
            return failed(key);
        out = value.toString();
        return true;
    }

    bool optionalString(const QJsonObject& object, const char* key, QString& out)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            out.clear();
        else if (value.isString())
            out = value.toString();
        else
            return failed(key);
        return true;
    }

    bool number(const QJsonObject& object, const char* key, std::optional<double>& out)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            out.reset();
        else if (value.isDouble())
            out = value.toDouble();
        else
            return failed(key);
        return true;
    }

    bool failed(const char* key)
    {
        fault = QStringLiteral("il campo «%1» manca o non è del tipo atteso").arg(QLatin1String(key));
        return false;
    }
};

const QString kFactorKeys[kFactors] = {QStringLiteral("parti_uguali"), QStringLiteral("lunghezza"),
                                       QStringLiteral("larghezza"), QStringLiteral("h_peso")};

// The lines of an item; each factor must read as the window would take it.
bool readLines(const QJsonObject& object, Reader& reader, QList<MeasureLine>& lines)
{
    const QJsonValue value = object.value(QStringLiteral("misure"));
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isArray())
        return reader.failed("misure");
    for (const QJsonValue& entry : value.toArray()) {
        if (!entry.isObject())
            return reader.failed("misure");
        const QJsonObject fields = entry.toObject();
        MeasureLine line;
        if (!reader.optionalString(fields, "descrizione", line.descrizione))
            return false;
        for (int f = 0; f < kFactors; ++f) {
            const QJsonValue factor = fields.value(kFactorKeys[f]);
            if (factor.isString())
                line.factors[std::size_t(f)] = factor.toString();
            else if (!factor.isUndefined() && !factor.isNull())
                return reader.failed("misure");
        }
        lines.append(line);
    }
    const QString fault = measureFault(lines);
    if (!fault.isEmpty()) {
        reader.fault = QStringLiteral("una misura non si può leggere (%1)").arg(fault);
        return false;
    }
    return true;
}

QJsonObject toJson(const Collection& collection, const QString& path)
{
    QJsonArray items;
    for (const ChosenItem& item : collection.items) {
        QJsonObject object{
            {QStringLiteral("codice"), item.code},
            {QStringLiteral("sezione"), textValue(item.sezione)},
            {QStringLiteral("capitolo"), textValue(item.capitolo)},
            {QStringLiteral("articolo"), textValue(item.articolo)},
            {QStringLiteral("subarticolo"), textValue(item.subarticolo)},
            {QStringLiteral("simbolo"), textValue(item.simbolo)},
            {QStringLiteral("prezzo_lordo"), numberValue(item.prezzoLordo, path)},
            {QStringLiteral("incidenza_manodopera"), numberValue(item.incidenzaManodopera, path)},
            {QStringLiteral("quantita"), numberValue(item.quantita, path)},
        };
        // Written only when there is one, so that a collection never carried over is written as before.
        if (!item.previousCode.isEmpty())
            object.insert(QStringLiteral("codice_precedente"), item.previousCode);
        if (!item.chapter.isEmpty())
            object.insert(QStringLiteral("capitolo_computo"), item.chapter);
        if (item.fuoriPrezzario)
            object.insert(QStringLiteral("fuori_prezzario"), true);
        if (!item.misure.isEmpty()) {
            QJsonArray lines;
            for (const MeasureLine& line : item.misure) {
                QJsonObject written{{QStringLiteral("descrizione"), line.descrizione}};
                for (int f = 0; f < kFactors; ++f) {
                    if (!line.factors[std::size_t(f)].isEmpty())
                        written.insert(kFactorKeys[f], line.factors[std::size_t(f)]);
                }
                lines.append(written);
            }
            object.insert(QStringLiteral("misure"), lines);
        }
        items.append(object);
    }
    return QJsonObject{
        {QStringLiteral("formato"), kFormat},
        {QStringLiteral("nome"), collection.name},
        {QStringLiteral("anno"), collection.editionYear},
        {QStringLiteral("edizione"), collection.editionTitle},
        {QStringLiteral("modificata"), collection.changed.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("voci"), items},
        {QStringLiteral("capitoli"), QJsonArray::fromStringList(collection.chapters)},
    };
}

std::optional<Collection> fromJson(const QJsonObject& root, Reader& reader)
{
    Collection collection;
    QString changed;
    if (!reader.string(root, "nome", collection.name) || !reader.string(root, "anno", collection.editionYear) ||
        !reader.string(root, "edizione", collection.editionTitle) || !reader.string(root, "modificata", changed))
        return std::nullopt;
    collection.changed = QDateTime::fromString(changed, Qt::ISODateWithMs);
    if (!collection.changed.isValid()) {
        reader.fault = QStringLiteral("la data «%1» non è valida").arg(changed);
        return std::nullopt;
    }
    const QJsonValue items = root.value(QStringLiteral("voci"));
    if (!items.isArray()) {
        reader.failed("voci");
        return std::nullopt;
    }
    for (const QJsonValue& value : items.toArray()) {
        if (!value.isObject()) {
            reader.failed("voci");
            return std::nullopt;
        }
        const QJsonObject object = value.toObject();
        ChosenItem item;
        if (!reader.string(object, "codice", item.code) || !reader.text(object, "sezione", item.sezione) ||
            !reader.text(object, "capitolo", item.capitolo) || !reader.text(object, "articolo", item.articolo) ||
            !reader.text(object, "subarticolo", item.subarticolo) || !reader.text(object, "simbolo", item.simbolo) ||
            !reader.number(object, "prezzo_lordo", item.prezzoLordo) ||
            !reader.number(object, "incidenza_manodopera", item.incidenzaManodopera) ||
            !reader.number(object, "quantita", item.quantita) ||
            !reader.optionalString(object, "codice_precedente", item.previousCode) ||
            !reader.optionalString(object, "capitolo_computo", item.chapter) || !readLines(object, reader, item.misure))
            return std::nullopt;
        const QJsonValue outside = object.value(QStringLiteral("fuori_prezzario"));
        if (!outside.isUndefined() && !outside.isBool()) {
            reader.failed("fuori_prezzario");
            return std::nullopt;
        }
        item.fuoriPrezzario = outside.toBool();
        collection.items << item;
    }
    const QJsonValue chapters = root.value(QStringLiteral("capitoli"));
    if (!chapters.isUndefined()) {
        if (!chapters.isArray()) {
            reader.failed("capitoli");
            return std::nullopt;
        }
        for (const QJsonValue& chapter : chapters.toArray()) {
            if (!chapter.isString() || !addChapter(collection, chapter.toString())) {
                reader.failed("capitoli");
                return std::nullopt;
            }
        }
    }
    groupByChapter(collection);
    return collection;
}

// Ids are made here; one from elsewhere must still name a file of the folder and nothing else.
bool plainId(const QString& id)
{
    return !id.isEmpty() && std::all_of(id.begin(), id.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-';
    });
}

// A link planted in the folder is replaced, never written through.
void writeWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        writeFileSafely(
            path, [&](QIODevice& out) { out.write(bytes); }, Links::Replace);
    } catch (const WriteError& error) {
        throw Error(
            QStringLiteral("Impossibile salvare «%1»: %2.").arg(QDir::toNativeSeparators(path), error.reason()));
    }
}

} // namespace

ChosenItem chosenItemFrom(const PriceList::Row& row)
{
    ChosenItem item;
    item.code = row.code;
    item.sezione = row.sezione;
    item.capitolo = row.capitolo;
    item.articolo = row.articolo;
    item.subarticolo = row.subarticle.subarticolo;
    item.simbolo = row.subarticle.simbolo;
    item.prezzoLordo = row.subarticle.prezzoLordo;
    item.incidenzaManodopera = row.subarticle.incidenzaManodopera;
    return item;
}

std::optional<ChosenItem> chosenItem(const PriceList& list, const QString& code)
{
    const std::optional<PriceList::Row> row = list.row(code);
    if (!row)
        return std::nullopt;
    return chosenItemFrom(*row);
}

bool addItem(Collection& collection, const ChosenItem& item)
{
    const bool there = std::any_of(collection.items.cbegin(), collection.items.cend(),
                                   [&](const ChosenItem& held) { return held.code == item.code; });
    if (there)
        return false;
    collection.items << item;
    return true;
}

std::optional<int> moveItems(Collection& collection, QList<int> rows, int target)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() || rows.front() < 0 || rows.back() >= collection.items.size())
        return std::nullopt;
    QList<ChosenItem> moving;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        moving.prepend(collection.items.takeAt(*row));
        if (*row < target)
            --target;
    }
    target = std::clamp<int>(target, 0, int(collection.items.size()));
    // In a computo with chapters the items join the chapter of the place they are put in.
    if (!collection.chapters.isEmpty()) {
        const qsizetype next = target;
        const QString chapter = next < collection.items.size() ? collection.items[next].chapter
                                : next > 0                     ? collection.items[next - 1].chapter
                                                               : moving.front().chapter;
        for (ChosenItem& item : moving)
            item.chapter = chapter;
    }
    for (qsizetype i = 0; i < moving.size(); ++i)
        collection.items.insert(target + i, moving[i]);
    return target;
}

ExportDocument exportDocument(const PriceList& list, const Collection& collection)
{
    ExportDocument document;
    document.listTitle = kListTitle;
    document.year = list.year();
    document.collectionName = collection.name;
    document.chapters = collection.chapters;
    QStringList codes;
    for (const ChosenItem& chosen : collection.items) {
        if (!chosen.fuoriPrezzario)
            codes << chosen.code;
    }
    const QHash<QString, PriceList::Row> rows = list.rows(codes);
    for (const ChosenItem& chosen : collection.items) {
        ExportItem item;
        item.code = chosen.code;
        item.quantita = chosen.quantity();
        item.previousCode = chosen.previousCode;
        item.misure = chosen.misure;
        item.chapter = chosen.chapter;
        item.fuoriPrezzario = chosen.fuoriPrezzario;
        // A price of no list is the computo's own, even where a list has its code.
        const auto row = chosen.fuoriPrezzario ? rows.constEnd() : rows.constFind(chosen.code);
        if (row != rows.constEnd()) {
            item.sezione = row->sezione;
            item.capitolo = row->capitolo;
            item.articolo = row->articolo;
            item.subarticolo = row->subarticle.subarticolo;
            item.simbolo = row->subarticle.simbolo;
            item.prezzoLordo = row->subarticle.prezzoLordo;
            item.incidenzaManodopera = row->subarticle.incidenzaManodopera;
            if (chosen.prezzoLordo != item.prezzoLordo)
                item.prezzoPrecedente = chosen.prezzoLordo;
        } else {
            item.presente = false;
            item.sezione = chosen.sezione;
            item.capitolo = chosen.capitolo;
            item.articolo = chosen.articolo;
            item.subarticolo = chosen.subarticolo;
            item.simbolo = chosen.simbolo;
            item.prezzoLordo = chosen.prezzoLordo;
            item.incidenzaManodopera = chosen.incidenzaManodopera;
        }
        document.items << item;
    }
    return document;
}

ExportDocument exportDocument(const PriceList& list, const QStringList& codes)
{
    Collection results;
    for (const QString& code : codes) {
        if (const std::optional<ChosenItem> item = chosenItem(list, code))
            results.items << *item;
    }
    return exportDocument(list, results);
}

CollectionStore::CollectionStore(const QString& folder) : m_folder(folder) {}

QString CollectionStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/voci-scelte");
}

CollectionStore CollectionStore::open()
{
    return CollectionStore(defaultFolder());
}

QString CollectionStore::pathOf(const QString& id) const
{
    if (!plainId(id))
        throw Error(QStringLiteral("Raccolta di voci scelte sconosciuta: «%1».").arg(id));
    return QDir(m_folder).filePath(id + kSuffix);
}

std::optional<Collection> CollectionStore::read(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QString fault;
    const QByteArray bytes = readUserFile(path, kMaxFileSize, fault);

    std::optional<Collection> collection;
    if (fault.isEmpty()) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError) {
            fault = QStringLiteral("JSON non valido alla posizione %1 (%2)").arg(error.offset).arg(error.errorString());
        } else if (!document.isObject()) {
            fault = QStringLiteral("il contenuto non è una raccolta");
        } else {
            const QJsonObject root = document.object();
            const QJsonValue format = root.value(QStringLiteral("formato"));
            if (format.isDouble() && format.toDouble() > kFormat) {
                m_setAside << QStringLiteral("La raccolta di voci scelte «%1» è stata scritta da una versione più "
                                             "recente del programma: non è elencata, e il file resta com'è.")
                                  .arg(shown);
                return std::nullopt;
            }
            Reader reader;
            if (format.toDouble() != 1 && format.toDouble() != kFormat)
                reader.failed("formato");
            else
                collection = fromJson(root, reader);
            fault = reader.fault;
        }
    }
    if (collection) {
        collection->id = QFileInfo(path).completeBaseName();
        return collection;
    }

    // Kept under another name, so that the next save of a new collection can never write over it.
    const QString aside = path + QStringLiteral(".illeggibile-") +
                          QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (QFile::rename(path, aside)) {
        m_setAside << QStringLiteral("La raccolta di voci scelte «%1» non si può leggere (%2): è stata messa da parte "
                                     "come «%3» e non è elencata.")
                          .arg(shown, fault, QFileInfo(aside).fileName());
    } else {
        m_setAside << QStringLiteral("La raccolta di voci scelte «%1» non si può leggere (%2) e non è elencata.")
                          .arg(shown, fault);
    }
    return std::nullopt;
}

QList<Collection> CollectionStore::collections()
{
    m_setAside.clear();
    QList<Collection> found;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name)) {
        if (!plainId(QFileInfo(name).completeBaseName()))
            continue;
        if (std::optional<Collection> collection = read(dir.filePath(name)))
            found << *collection;
    }
    std::stable_sort(found.begin(), found.end(), [](const Collection& a, const Collection& b) {
        const int order = a.name.localeAwareCompare(b.name);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    return found;
}

std::optional<Collection> CollectionStore::load(const QString& id)
{
    m_setAside.clear();
    const QString path = pathOf(id);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return read(path);
}

Collection CollectionStore::make(const QString& name, const QString& editionYear, const QString& editionTitle)
{
    Collection collection;
    collection.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    collection.name = name;
    collection.editionYear = editionYear;
    collection.editionTitle = editionTitle;
    collection.changed = QDateTime::currentDateTimeUtc();
    return collection;
}

Collection CollectionStore::create(const QString& name, const QString& editionYear, const QString& editionTitle)
{
    Collection collection = make(name, editionYear, editionTitle);
    save(collection);
    return collection;
}

void CollectionStore::save(Collection& collection)
{
    const QString path = pathOf(collection.id);
    Collection stamped = collection;
    stamped.changed = QDateTime::currentDateTimeUtc();
    writeWhole(path, QJsonDocument(toJson(stamped, QDir::toNativeSeparators(path))).toJson(QJsonDocument::Indented));
    collection.changed = stamped.changed;
}

void CollectionStore::rename(Collection& collection, const QString& name)
{
    Collection renamed = collection;
    renamed.name = name;
    save(renamed);
    collection = renamed;
}

void CollectionStore::remove(const QString& id)
{
    const QString path = pathOf(id);
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw Error(
            QStringLiteral("Impossibile eliminare «%1»: %2.").arg(QDir::toNativeSeparators(path), systemReason(errno)));
}

QString CollectionStore::lastUsed() const
{
    QString fault;
    const QString id = QString::fromUtf8(readUserFile(QDir(m_folder).filePath(kLastUsedFile), 256, fault)).trimmed();
    if (!plainId(id) || !QFileInfo::exists(pathOf(id)))
        return {};
    return id;
}

void CollectionStore::setLastUsed(const QString& id)
{
    pathOf(id); // refuses an id that is not one of ours
    writeWhole(QDir(m_folder).filePath(kLastUsedFile), id.toUtf8() + '\n');
}

} // namespace core
