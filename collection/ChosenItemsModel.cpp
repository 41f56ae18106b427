#include "collection/ChosenItemsModel.h"

#include "core/Find.h"
#include "core/Numbers.h"

#include <QColor>
#include <QFont>
#include <QMimeData>

#include <algorithm>
#include <cmath>
#include <functional>

namespace collection {

namespace {

QString money(const std::optional<double>& value)
{
    return value ? core::moneyText(*value) : QString();
}

} // namespace

void ChosenItemsModel::setDocument(core::ExportDocument document)
{
    beginResetModel();
    m_document = std::move(document);
    m_totals = core::computoTotals(m_document);
    m_rows.clear();
    m_headingRows.clear();
    m_rowOfItem = QList<int>(m_document.items.size(), -1);
    if (m_document.chapters.isEmpty()) {
        for (int item = 0; item < m_document.items.size(); ++item)
            m_rows.append(Row{item, -1});
    } else {
        for (int group = 0; group < m_totals.chapters.size(); ++group) {
            m_headingRows.append(int(m_rows.size()));
            m_rows.append(Row{-1, group});
            for (const int item : m_totals.chapters[group].items)
                m_rows.append(Row{item, group});
        }
    }
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].item >= 0)
            m_rowOfItem[m_rows[row].item] = row;
    }
    endResetModel();
}

void ChosenItemsModel::updateItem(int item, const core::ChosenItem& chosen)
{
    if (item < 0 || item >= m_document.items.size())
        return;
    core::ExportItem& shown = m_document.items[item];
    shown.misure = chosen.misure;
    shown.quantita = chosen.quantity();
    // Sums of rounded cents over the items already here: no list look-up.
    m_totals = core::computoTotals(m_document);
    const int row = rowOf(item);
    emit dataChanged(index(row, Quantita), index(row, Importo));
    const int group = m_rows[row].group;
    if (group >= 0) {
        const int heading = m_headingRows[group];
        emit dataChanged(index(heading, Descrizione), index(heading, Importo));
    }
}

int ChosenItemsModel::itemAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].item : -1;
}

std::optional<QString> ChosenItemsModel::headingAt(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].item >= 0)
        return std::nullopt;
    return m_totals.chapters[m_rows[row].group].name;
}

QString ChosenItemsModel::chapterAt(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].group < 0)
        return {};
    return m_totals.chapters[m_rows[row].group].name;
}

int ChosenItemsModel::rowOf(int item) const
{
    return m_rowOfItem.value(item, -1);
}

QList<int> ChosenItemsModel::itemsAt(QList<int> rows) const
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<int> items;
    for (const int row : rows) {
        if (itemAt(row) >= 0)
            items << itemAt(row);
    }
    return items;
}

ChosenItemsModel::Landing ChosenItemsModel::landingBefore(int row) const
{
    if (m_document.chapters.isEmpty())
        return Landing{row >= 0 && row < m_rows.size() ? m_rows[row].item : int(m_document.items.size()), {}};
    if (itemAt(row) >= 0)
        return Landing{itemAt(row), {}};
    if (row <= 0) {
        // Above the first heading: at the start of its chapter.
        const core::ChapterTotals& first = m_totals.chapters.front();
        if (first.items.isEmpty())
            return Landing{std::nullopt, first.name};
        return Landing{first.items.front(), {}};
    }
    // Above a heading, or below the last row: at the end of the chapter above.
    return Landing{std::nullopt, chapterAt(std::min(row, int(m_rows.size())) - 1)};
}

ChosenItemsModel::Landing ChosenItemsModel::landingOn(int row) const
{
    if (const std::optional<QString> heading = headingAt(row))
        return Landing{std::nullopt, *heading};
    // Rows dropped on a row go before it.
    return landingBefore(row);
}

QVariant ChosenItemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kHeadings[] = {"Codice",   "Descrizione", "Un. misura",      "Prezzo",
                                            "Quantità", "Importo",     "Inc. Manodopera", "Nota"};
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kHeadings[section]);
    if (role == Qt::TextAlignmentRole && numeric(section))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant ChosenItemsModel::headingData(const core::ChapterTotals& group, int column, int role) const
{
    const QString name = group.name.isEmpty() ? core::kNoChapter : group.name;
    if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole && numeric(column))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    if (role == Qt::ToolTipRole && column == Descrizione)
        return QStringLiteral("%1: %2 voci, importo %3")
            .arg(name)
            .arg(group.items.size())
            .arg(core::moneyText(group.amount));
    if (role != Qt::DisplayRole && role != kCopiedRole)
        return {};
    if (column == Descrizione)
        return name;
    if (column == Importo)
        return core::moneyText(group.amount);
    return {};
}

QVariant ChosenItemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row& row = m_rows[index.row()];
    if (row.item < 0)
        return headingData(m_totals.chapters[row.group], index.column(), role);
    const core::ExportItem& item = m_document.items[row.item];
    const bool measured = !item.misure.isEmpty();
    if (role == Qt::TextAlignmentRole && numeric(index.column()))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    if (role == Qt::ForegroundRole && !item.presente)
        return QVariant::fromValue(QColor(0x80, 0x80, 0x80));
    // Edited with a comma and no grouping, which the parser reads back whatever the display locale.
    if (role == Qt::EditRole && index.column() == Quantita)
        return item.quantita ? core::plainNumber(*item.quantita, u',') : QString();
    if (role == kCopiedRole && index.column() == Descrizione)
        return core::wholeDescription(item.articolo.toString(), item.subarticolo.toString());
    if (role == Qt::ToolTipRole && index.column() == Quantita && measured)
        return QStringLiteral("Somma delle righe di misura della voce: si cambia nelle righe qui sotto");
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != kCopiedRole)
        return {};
    switch (index.column()) {
    case Codice:
        return item.code;
    case Descrizione:
        return core::shortDescription(item.articolo.toString(), item.subarticolo.toString());
    case Unita:
        return item.simbolo.toString();
    case Prezzo:
        return money(item.prezzoLordo);
    case Quantita:
        return item.quantita ? core::quantityText(*item.quantita) : QString();
    case Importo:
        return item.importoCents() ? core::moneyText(*item.importoCents()) : QString();
    case Incidenza:
        return item.incidenzaManodopera ? core::percentText(*item.incidenzaManodopera) + QStringLiteral(" %")
                                        : QString();
    case Nota:
        return noteText(item);
    }
    return {};
}

QString ChosenItemsModel::noteText(const core::ExportItem& item)
{
    QStringList notes;
    if (item.fuoriPrezzario)
        notes << QStringLiteral("non nel prezzario");
    else if (!item.presente)
        notes << QStringLiteral("non presente in questa edizione");
    else if (item.prezzoPrecedente)
        notes << QStringLiteral("prezzo precedente: %1").arg(money(item.prezzoPrecedente));
    if (!item.previousCode.isEmpty())
        notes << QStringLiteral("già %1").arg(item.previousCode);
    return notes.join(QStringLiteral("; "));
}

QStringList ChosenItemsModel::widestTexts(int column) const
{
    // The longest texts of a column, by their length: with digits of one width, the widest.
    const auto longest = [this](const std::function<QString(const core::ExportItem&)>& textOf) {
        QStringList texts;
        qsizetype length = 0;
        for (const core::ExportItem& item : m_document.items) {
            const QString text = textOf(item);
            if (text.size() > length) {
                texts = {text};
                length = text.size();
            } else if (text.size() == length && texts.size() < 3) {
                texts << text;
            }
        }
        return texts;
    };
    // The widest figures are those of the most digits: the largest and the smallest (its sign).
    const auto extremes = [this](const std::function<std::optional<double>(const core::ExportItem&)>& valueOf) {
        std::optional<double> low, high;
        for (const core::ExportItem& item : m_document.items) {
            if (const std::optional<double> value = valueOf(item)) {
                low = std::min(low.value_or(*value), *value);
                high = std::max(high.value_or(*value), *value);
            }
        }
        return low ? QList<double>{*low, *high} : QList<double>{};
    };
    QStringList texts;
    switch (column) {
    case Codice:
        return longest([](const core::ExportItem& item) { return item.code; });
    case Unita:
        return longest([](const core::ExportItem& item) { return item.simbolo.toString(); });
    case Nota:
        return longest([](const core::ExportItem& item) { return noteText(item); });
    case Prezzo:
        for (const double value : extremes([](const core::ExportItem& item) { return item.prezzoLordo; }))
            texts << core::moneyText(value);
        return texts;
    case Quantita:
        // Up to three decimals, whatever the largest has.
        for (const double value : extremes([](const core::ExportItem& item) { return item.quantita; }))
            texts << core::quantityText(std::trunc(value) + (value < 0 ? -0.888 : 0.888));
        return texts;
    case Importo:
        for (const double value : extremes([](const core::ExportItem& item) { return item.importo(); }))
            texts << core::moneyText(value);
        for (const core::ChapterTotals& group : m_totals.chapters)
            texts << core::moneyText(group.amount);
        return texts;
    case Incidenza:
        for (const double value : extremes([](const core::ExportItem& item) { return item.incidenzaManodopera; }))
            texts << core::percentText(value) + QStringLiteral(" %");
        return texts;
    }
    return texts;
}

Qt::ItemFlags ChosenItemsModel::flags(const QModelIndex& index) const
{
    // Rows dropped on a row go before it, on a heading into its chapter; dropped below the last, to the end.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    const int item = itemAt(index.row());
    if (item < 0)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    const Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    // Measured by lines, the quantity is their sum.
    const bool typed = m_document.items[item].misure.isEmpty();
    return index.column() == Quantita && typed ? flags | Qt::ItemIsEditable : flags;
}

QMimeData* ChosenItemsModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        rows << index.row();
    QStringList items;
    for (const int item : itemsAt(rows))
        items << QString::number(item);
    auto* data = new QMimeData;
    data->setData(kItemsType, items.join(u',').toLatin1());
    return data;
}

bool ChosenItemsModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int, const QModelIndex& parent)
{
    if (!data->hasFormat(kItemsType) || !m_moved)
        return false;
    QList<int> items;
    for (const QByteArray& each : data->data(kItemsType).split(',')) {
        bool number = false;
        const int item = each.toInt(&number);
        if (number)
            items << item;
    }
    if (items.isEmpty())
        return false;
    const Landing landing = row >= 0           ? landingBefore(row)
                            : parent.isValid() ? landingOn(parent.row())
                                               : landingBefore(rowCount());
    m_moved(items, landing);
    // Moved here, in one step: told of a move, the view would then remove the dragged rows itself.
    return false;
}

bool ChosenItemsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int item = index.isValid() ? itemAt(index.row()) : -1;
    if (item < 0 || index.column() != Quantita || role != Qt::EditRole || !m_document.items[item].misure.isEmpty())
        return false;
    std::optional<double> quantity;
    if (!core::parseTypedNumber(value.toString(), quantity)) {
        if (m_refused)
            m_refused(value.toString());
        return false;
    }
    core::ChosenItem chosen;
    chosen.quantita = quantity;
    updateItem(item, chosen);
    if (m_changed)
        m_changed(item, quantity);
    return true;
}

} // namespace collection
