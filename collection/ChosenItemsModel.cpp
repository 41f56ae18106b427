#include "collection/ChosenItemsModel.h"

#include "core/Find.h"
#include "core/Numbers.h"

#include <QColor>
#include <QMimeData>

namespace collection {

namespace {

QString money(const std::optional<double>& value)
{
    return value ? core::moneyText(*value) : QString();
}

} // namespace

void ChosenItemsModel::setItems(QList<core::ExportItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
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

QVariant ChosenItemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const core::ExportItem& item = m_items[index.row()];
    if (role == Qt::TextAlignmentRole && numeric(index.column()))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    if (role == Qt::ForegroundRole && !item.presente)
        return QVariant::fromValue(QColor(0x80, 0x80, 0x80));
    // Edited with a comma and no grouping, which the parser reads back whatever the display locale.
    if (role == Qt::EditRole && index.column() == Quantita)
        return item.quantita ? core::plainNumber(*item.quantita, u',') : QString();
    if (role == kCopiedRole && index.column() == Descrizione)
        return core::wholeDescription(item.articolo.toString(), item.subarticolo.toString());
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
    case Nota: {
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
    }
    return {};
}

Qt::ItemFlags ChosenItemsModel::flags(const QModelIndex& index) const
{
    // Rows dropped on a row go before it; dropped below the last, to the end.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    const Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return index.column() == Quantita ? flags | Qt::ItemIsEditable : flags;
}

QMimeData* ChosenItemsModel::mimeData(const QModelIndexList& indexes) const
{
    QStringList rows;
    for (const QModelIndex& index : indexes) {
        const QString row = QString::number(index.row());
        if (!rows.contains(row))
            rows << row;
    }
    auto* data = new QMimeData;
    data->setData(kRowsType, rows.join(u',').toLatin1());
    return data;
}

bool ChosenItemsModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int, const QModelIndex& parent)
{
    if (!data->hasFormat(kRowsType) || !m_moved)
        return false;
    QList<int> rows;
    for (const QByteArray& each : data->data(kRowsType).split(','))
        rows << each.toInt();
    const int target = row >= 0 ? row : parent.isValid() ? parent.row() : rowCount();
    m_moved(rows, target);
    // Moved here, in one step: told of a move, the view would then remove the dragged rows itself.
    return false;
}

bool ChosenItemsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != Quantita || role != Qt::EditRole)
        return false;
    std::optional<double> quantity;
    if (!core::parseTypedNumber(value.toString(), quantity)) {
        if (m_refused)
            m_refused(value.toString());
        return false;
    }
    m_items[index.row()].quantita = quantity;
    emit dataChanged(this->index(index.row(), Quantita), this->index(index.row(), Importo));
    if (m_changed)
        m_changed(index.row(), quantity);
    return true;
}

} // namespace collection
