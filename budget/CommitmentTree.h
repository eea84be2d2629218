#pragma once
// The year's commitment sheets as a tree, read once: each budget line, its
// sheets in number order, each sheet's lines. Two reads build it whatever the
// number of sheets (the sheets with their budget lines, then every sheet line
// with the name of its expense's beneficiary), and the tree model shows it
// without asking the database again.

#include "core/Currency.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

struct TTreeBudgetLine {
    std::optional<qint64> idFnm;    // none: the sheet has no budget line
    QString chap, art, par, intitule;
    int firstSheet = 0, sheetCount = 0;
};

struct TTreeSheet {
    qint64 idEng = -1;
    QString number;                  // NO_ENG, trimmed
    QDate date, dateVisa;
    Currency amount;
    QString noVisa;
    QString objet;                   // OBJET as stored ("" when none)
    QString origin;                  // ORIGINE, trimmed
    int budgetLine = 0;
    int firstLine = 0, lineCount = 0;
};

struct TTreeSheetLine {
    qint64 idDetail = -1;
    Currency amount;
    QString name;                    // the beneficiary of the expense ID_DETAIL, when any
    int sheet = 0;
};

struct TCommitmentTreeData {
    QList<TTreeBudgetLine> budgetLines;
    QList<TTreeSheet> sheets;        // in tree order
    QList<TTreeSheetLine> lines;     // in tree order

    // Every sheet of the year: by chapter, article, paragraph and budget line,
    // then by number.
    static TCommitmentTreeData Read();

    // The texts of the nodes.
    QString BudgetLineText(int index) const;
    QString SheetText(int index) const;
    QString LineText(int index) const;

    // The first sheet, in tree order, whose number is `typed`, padded with "0"
    // to four digits as sheet numbers are typed everywhere; -1 when none.
    int FindSheet(const QString& typed) const;
};

// The tree of budget lines, sheets and sheet lines, with the fonts, colours
// and pictures of each level.
class TCommitmentTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TCommitmentTreeModel(QObject* parent = nullptr);

    void SetData(TCommitmentTreeData data);
    const TCommitmentTreeData& Data() const { return m_data; }

    // The node of sheet `index` (in tree order).
    QModelIndex SheetIndex(int index) const;
    // 0 budget line, 1 sheet, 2 sheet line.
    static int Level(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    TCommitmentTreeData m_data;
};
