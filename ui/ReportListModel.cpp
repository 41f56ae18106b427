#include "ui/ReportListModel.h"

#include "ui/ReportList.h"

#include <algorithm>
#include <cstring>

namespace ui {

namespace {

constexpr qint64 kMaxNumberedKey = qint64(1) << 24;

Packed pack(const QByteArray& text, const QVarLengthArray<quint32, 16>& ends)
{
    const qsizetype count = ends.size();
    const qsizetype header = 1 + count * qsizetype(sizeof(quint32));
    Packed packed(header + text.size(), Qt::Uninitialized);
    packed[0] = static_cast<char>(count);
    std::memcpy(packed.data() + 1, ends.constData(), count * sizeof(quint32));
    std::memcpy(packed.data() + header, text.constData(), text.size());
    return packed;
}

qsizetype cellCount(const Packed& packed)
{
    return packed.isEmpty() ? 0 : static_cast<unsigned char>(packed[0]);
}

QByteArrayView cellUtf8(const Packed& packed, qsizetype n)
{
    const qsizetype count = cellCount(packed);
    if (n < 0 || n >= count)
        return {};
    const char* ends = packed.constData() + 1;
    quint32 begin = 0;
    quint32 end = 0;
    if (n > 0)
        std::memcpy(&begin, ends + (n - 1) * sizeof(quint32), sizeof(quint32));
    std::memcpy(&end, ends + n * sizeof(quint32), sizeof(quint32));
    const qsizetype header = 1 + count * qsizetype(sizeof(quint32));
    return QByteArrayView(packed.constData() + header + begin, end - begin);
}

QString cellText(const Packed& packed, qsizetype n)
{
    return QString::fromUtf8(cellUtf8(packed, n));
}

} // namespace

qint64 numberOf(QStringView key)
{
    if (key.size() < 2 || key.size() > 9 || key[0] != u'k' || (key[1] == u'0' && key.size() > 2))
        return -1;
    qint64 number = 0;
    for (const QChar c : key.mid(1)) {
        if (c < u'0' || c > u'9')
            return -1;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number < kMaxNumberedKey ? number : -1;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return text(index.row(), index.column());
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_headings[section];
    if (role == Qt::TextAlignmentRole)
        return alignment(section);
    return {};
}

QVariant ReportListModel::alignment(int column) const
{
    if (column < 0 || column >= m_numeric.size() || !m_numeric[column])
        return {};
    return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
}

void ReportListModel::setHeadings(const QStringList& headings, const QList<bool>& numeric)
{
    beginResetModel();
    m_headings = headings;
    m_numeric = numeric;
    m_columns = static_cast<int>(headings.size());
    endResetModel();
}

qsizetype ReportListModel::rowOf(const QString& key) const
{
    const qint64 number = numberOf(key);
    if (m_source)
        return number >= 0 && number < count() ? number : -1;
    if (number >= 0)
        return rowOfNumber(number);
    const auto it = m_named.constFind(key);
    return it == m_named.cend() ? -1 : it.value() - m_offset;
}

qsizetype ReportListModel::rowOfNumber(qint64 number) const
{
    if (number >= qint64(m_numbered.size()) || m_numbered[number] < 0)
        return -1;
    return m_numbered[number] - m_offset;
}

QString ReportListModel::keyOf(qsizetype visibleRow) const
{
    if (m_source)
        return ReportList::keyFor(visibleRow);
    const Row& row = m_rows[m_offset + visibleRow];
    return row.number >= 0 ? ReportList::keyFor(row.number) : row.name;
}

QString ReportListModel::text(qsizetype visibleRow, int n) const
{
    return m_source ? m_source->cell(visibleRow, n) : cellText(m_rows[m_offset + visibleRow].cells, n);
}

QString ReportListModel::copiedText(qsizetype visibleRow, int n) const
{
    return m_source ? m_source->copiedCell(visibleRow, n) : text(visibleRow, n);
}

void ReportListModel::setSource(std::shared_ptr<const ReportRowSource> source)
{
    beginBatch();
    m_rows.clear();
    m_numbered.clear();
    m_named.clear();
    m_offset = 0;
    m_source = std::move(source);
}

void ReportListModel::add(const QString& key, const ReportRow& cells)
{
    if (m_source)
        setSource(nullptr);
    if (rowOf(key) >= 0)
        throw ListError(QStringLiteral("La chiave «%1» è già presente nell'elenco.").arg(key));
    beginBatch();
    Row row;
    row.number = numberOf(key);
    if (row.number < 0)
        row.name = key;
    row.cells = pack(cells.m_text, cells.m_ends);
    track(row, m_rows.size());
    m_rows.append(std::move(row));
}

void ReportListModel::setSubItem(const QString& key, int n, const QString& text)
{
    const qsizetype visible = requireRow(key);
    if (n < 1 || n >= m_columns)
        throw ListError(QStringLiteral("Sottovoce %1 inesistente nell'elenco.").arg(n));
    Packed& packed = m_rows[m_offset + visible].cells;
    ReportRow cells;
    for (qsizetype i = 0; i < qMax<qsizetype>(cellCount(packed), n + 1); ++i)
        cells.cellUtf8(i == n ? QByteArrayView(text.toUtf8()) : cellUtf8(packed, i));
    packed = pack(cells.m_text, cells.m_ends);
    if (!m_batching)
        emit dataChanged(index(static_cast<int>(visible), n), index(static_cast<int>(visible), n));
}

void ReportListModel::removeNumber(qint64 number)
{
    const qsizetype visible = rowOfNumber(number);
    if (visible < 0)
        throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(ReportList::keyFor(number)));
    removeRow(visible);
}

void ReportListModel::beginBatch()
{
    if (m_batching)
        return;
    if (m_onBatchStart)
        m_onBatchStart();
    beginResetModel();
    m_batching = true;
}

bool ReportListModel::endBatch()
{
    if (!m_batching)
        return false;
    m_batching = false;
    if (m_offset > 0 && m_offset * 2 > m_rows.size()) {
        m_rows.remove(0, m_offset);
        m_offset = 0;
        reindexFrom(0);
    }
    endResetModel();
    return true;
}

void ReportListModel::track(const Row& row, qsizetype absolute)
{
    if (row.number < 0) {
        m_named.insert(row.name, absolute);
        return;
    }
    if (row.number >= qint64(m_numbered.size()))
        m_numbered.resize(std::max<size_t>(row.number + 1, m_numbered.size() * 2), -1);
    m_numbered[row.number] = absolute;
}

void ReportListModel::untrack(const Row& row)
{
    if (row.number < 0)
        m_named.remove(row.name);
    else
        m_numbered[row.number] = -1;
}

void ReportListModel::reindexFrom(qsizetype absolute)
{
    for (qsizetype i = absolute; i < m_rows.size(); ++i)
        track(m_rows[i], i);
}

void ReportListModel::removeRow(qsizetype visible)
{
    beginBatch();
    const qsizetype absolute = m_offset + visible;
    untrack(m_rows[absolute]);
    if (visible == 0) {
        m_rows[absolute].cells = Packed(); // the memory goes now, not when the vector is compacted
        ++m_offset;
    } else {
        m_rows.remove(absolute);
        reindexFrom(absolute);
    }
    if (count() == 0) {
        m_rows.clear();
        m_numbered.clear();
        m_named.clear();
        m_offset = 0;
    }
}

qsizetype ReportListModel::requireRow(const QString& key) const
{
    if (m_source)
        throw ListError(QStringLiteral("Le righe di questo elenco non si modificano una per una."));
    const qsizetype visible = rowOf(key);
    if (visible < 0)
        throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(key));
    return visible;
}

} // namespace ui
