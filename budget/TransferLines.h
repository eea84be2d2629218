#pragma once
// The lines of one grid of the transfer window: the budget lines given (or
// received), in grid order from the first row, each with the amount typed for
// it, over a fixed number of rows (the rows after the lines stay empty). The
// totals, the checks and the save read these values; the cells only show them.

#include "budget/TransferRules.h"
#include "ui/LinesModel.h"

#include <optional>

class TTransferLinesModel : public TLinesModel<TTransferEntry> {
public:
    // The budget-line columns, then the line's key (a hidden column).
    static constexpr int IdColumn = blMontant + 1;

    TTransferLinesModel(int rows, QObject* parent);

    // The line of a grid row; null on a row without one.
    const TTransferEntry* LineAt(int row) const;
    // Adds a line after the others; the caller makes sure a row is free.
    void Append(TTransferEntry line);
    // Removes a row's line: the lines below move up one row.
    void RemoveAt(int row);

    // The amount read from the text being typed in a row's amount cell (nothing
    // when it reads as none): counted in place of the row's own until ClearTyped.
    void SetTyped(int row, std::optional<Currency> amount);
    void ClearTyped();
    // The amount a line counts: the one being typed, or its own.
    std::optional<Currency> AmountAt(int row) const;
    // The sum of the amounts the lines count.
    Currency Total() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // An amount cell of a line takes the text typed: the amount it reads
    // (TransferAmount) becomes the line's, shown in the money format; a text
    // that reads as none empties it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    void LinesReset() override;

private:
    void Renumber();

    int m_rows;
    int m_typedRow = -1;
    std::optional<Currency> m_typedAmount;
};
