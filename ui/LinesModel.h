#pragma once
// A grid's lines kept as typed values: a table model over a list of lines of
// one type, under fixed column titles. A window holding its lines this way
// reads amounts and keys from the values for its totals, checks and saves,
// never from the texts its cells show. Each model says what its cells show.

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

template <class Line>
class TLinesModel : public QAbstractTableModel {
public:
    TLinesModel(QStringList titles, QObject* parent) : QAbstractTableModel(parent), m_titles(std::move(titles)) {}

    const QList<Line>& Lines() const { return m_lines; }

    // Replaces every line.
    void SetLines(QList<Line> lines)
    {
        beginResetModel();
        m_lines = std::move(lines);
        LinesReset();
        endResetModel();
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_titles.size());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return section >= 0 && section < m_titles.size() ? QVariant(m_titles[section]) : QVariant();
    }

protected:
    // Runs inside SetLines' reset, once the lines are replaced: what a model
    // keeps beside its lines is dropped here.
    virtual void LinesReset() {}

    QList<Line> m_lines;

private:
    QStringList m_titles;
};

// The columns of a grid of budget lines with an amount each.
enum TBudgetLineColumn { blNo, blChap, blArt, blPar, blIntitule, blMontant };

// Their titles.
inline QStringList BudgetLineTitles()
{
    return {QStringLiteral("N°"),  QStringLiteral("Chap."),    QStringLiteral("Art"),
            QStringLiteral("Par"), QStringLiteral("Intitulé"), QStringLiteral("Montant")};
}

// What the budget-line cells (chapter, article, paragraph, title) of a line
// show; any line type with those four fields.
template <class Line>
QString BudgetLineText(const Line& line, int column)
{
    switch (column) {
    case blChap: return line.chap;
    case blArt: return line.art;
    case blPar: return line.par;
    case blIntitule: return line.intitule;
    default: return QString();
    }
}
