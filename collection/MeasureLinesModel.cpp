#include "collection/MeasureLinesModel.h"

#include "core/Numbers.h"

#include <QColor>

#include <algorithm>

namespace collection {

namespace {

core::Factor factorOf(int column)
{
    return core::Factor(column - MeasureLinesModel::PartiUguali);
}

} // namespace

QString MeasureLinesModel::refusal(const QString& typed, const QString& fault)
{
    return QStringLiteral("\"%1\" non è una misura: %2. Scrivere numeri con la virgola per i decimali e le "
                          "operazioni + - * / con le parentesi.")
        .arg(typed, fault);
}

void MeasureLinesModel::setLines(QList<core::MeasureLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void MeasureLinesModel::insertLine(int row)
{
    row = std::clamp(row, 0, int(m_lines.size()));
    beginInsertRows({}, row, row);
    m_lines.insert(row, core::MeasureLine{});
    endInsertRows();
    changed();
}

void MeasureLinesModel::removeLines(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (const int row : rows) {
        if (row < 0 || row >= m_lines.size())
            continue;
        beginRemoveRows({}, row, row);
        m_lines.removeAt(row);
        endRemoveRows();
        removed = true;
    }
    if (removed)
        changed();
}

QVariant MeasureLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (section == Descrizione)
            return QStringLiteral("Descrizione");
        if (section == Quantita)
            return QStringLiteral("Quantità");
        return core::factorHeading(factorOf(section));
    }
    if (role == Qt::TextAlignmentRole && section != Descrizione)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant MeasureLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const core::MeasureLine& line = m_lines[index.row()];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole && column != Descrizione)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    if (column == Quantita) {
        // A note measures nothing and says so by an empty cell; a deduction shows in red, with its sign.
        const std::optional<double> quantity = core::lineQuantity(line);
        if (role == Qt::DisplayRole)
            return quantity && !core::isNote(line) ? core::quantityText(*quantity) : QString();
        if (role == Qt::ForegroundRole && quantity && *quantity < 0)
            return QVariant::fromValue(QColor(0xc0, 0x00, 0x00));
        if (role == Qt::ToolTipRole) {
            if (core::isNote(line))
                return QStringLiteral("Riga di nota: non misura nulla");
            if (!quantity)
                return core::measureFault({line}).section(QStringLiteral(", "), 1, -1);
            if (*quantity < 0)
                return QStringLiteral("Deduzione");
        }
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return column == Descrizione ? line.descrizione : line.factor(factorOf(column));
    // An expression shows its value on demand.
    if (role == Qt::ToolTipRole && isFactor(column)) {
        const QString& typed = line.factor(factorOf(column));
        std::optional<double> value;
        QString fault;
        if (!core::evaluateFactor(typed, value, fault))
            return fault;
        if (value && core::quantityText(*value) != typed.trimmed())
            return QStringLiteral("%1 = %2").arg(typed.trimmed(), core::quantityText(*value));
    }
    return {};
}

Qt::ItemFlags MeasureLinesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == Quantita ? flags : flags | Qt::ItemIsEditable;
}

bool MeasureLinesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() == Quantita || index.row() >= m_lines.size())
        return false;
    core::MeasureLine& line = m_lines[index.row()];
    const QString typed = value.toString().trimmed();
    if (index.column() == Descrizione) {
        if (line.descrizione == typed)
            return true;
        line.descrizione = typed;
    } else {
        std::optional<double> factor;
        QString fault;
        if (!core::evaluateFactor(typed, factor, fault)) {
            if (m_refused)
                m_refused(refusal(typed, fault));
            return false;
        }
        QString& kept = line.factor(factorOf(index.column()));
        if (kept == typed)
            return true;
        kept = typed;
    }
    emit dataChanged(this->index(index.row(), index.column()), this->index(index.row(), Quantita));
    changed();
    return true;
}

void MeasureLinesModel::changed()
{
    if (m_changed)
        m_changed(m_lines);
}

} // namespace collection
