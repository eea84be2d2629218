#include "budget/TransferLines.h"

TTransferLinesModel::TTransferLinesModel(int rows, QObject* parent)
    : TLinesModel(BudgetLineTitles() << QString(), parent), m_rows(rows)
{
}

const TTransferEntry* TTransferLinesModel::LineAt(int row) const
{
    return row >= 0 && row < m_lines.size() ? &m_lines[row] : nullptr;
}

void TTransferLinesModel::Append(TTransferEntry line)
{
    const int row = int(m_lines.size());
    line.gridRow = row;
    m_lines.append(std::move(line));
    emit dataChanged(index(row, 0), index(row, IdColumn));
}

void TTransferLinesModel::RemoveAt(int row)
{
    if (!LineAt(row))
        return;
    m_lines.removeAt(row);
    Renumber();
    ClearTyped();
    emit dataChanged(index(row, 0), index(m_rows - 1, IdColumn));
}

void TTransferLinesModel::SetTyped(int row, std::optional<Currency> amount)
{
    m_typedRow = row;
    m_typedAmount = amount;
}

void TTransferLinesModel::ClearTyped()
{
    m_typedRow = -1;
    m_typedAmount.reset();
}

std::optional<Currency> TTransferLinesModel::AmountAt(int row) const
{
    if (row == m_typedRow)
        return m_typedAmount;
    const TTransferEntry* line = LineAt(row);
    return line ? line->amount : std::nullopt;
}

Currency TTransferLinesModel::Total() const
{
    Currency total;
    for (int r = 0; r < m_lines.size(); ++r)
        if (m_lines[r].idFnm > 0)
            if (const std::optional<Currency> amount = AmountAt(r))
                total += *amount;
    return total;
}

int TTransferLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant TTransferLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return column == blNo ? QVariant(int(Qt::AlignCenter)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (column == blNo)
        return QString::number(row + 1);
    const TTransferEntry* line = LineAt(row);
    if (!line)
        return QString();
    if (column == blMontant)
        return line->amount ? line->amount->formatMask() : QString();
    if (column == IdColumn)
        return QString::number(line->idFnm);
    return BudgetLineText(*line, column);
}

bool TTransferLinesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != blMontant || !LineAt(index.row()))
        return false;
    m_lines[index.row()].amount = TransferAmount(value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TTransferLinesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == blMontant)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void TTransferLinesModel::LinesReset()
{
    Renumber();
    ClearTyped();
}

void TTransferLinesModel::Renumber()
{
    for (int r = 0; r < m_lines.size(); ++r)
        m_lines[r].gridRow = r;
}
