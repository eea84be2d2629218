#include "budget/CommitmentTree.h"

#include "budget/SheetStore.h"
#include "core/Routines.h"
#include "data/Codes.h"
#include "data/UDM.h"
#include "db/Database.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QPalette>
#include <QStyle>

namespace {

// An amount as the tree shows it: the money text right-aligned on 12 characters.
QString TreeAmount(Currency amount)
{
    return PadLeft(amount.formatMoney(), QStringLiteral(" "), 12);
}

QString TrimmedText(const db::Value& v)
{
    return db::toText(v).trimmed();
}

// What the nodes' internal ids carry: the level in the top bits, the index in
// the level's list below.
constexpr int LevelShift = 60;
constexpr quintptr IndexMask = (quintptr(1) << LevelShift) - 1;

quintptr NodeId(int level, int index)
{
    return (quintptr(level) << LevelShift) | quintptr(index);
}

int NodeIndex(const QModelIndex& index)
{
    return int(index.internalId() & IndexMask);
}

} // namespace

TCommitmentTreeData TCommitmentTreeData::Read()
{
    TCommitmentTreeData data;
    // Two budget lines may share their chapter, article and paragraph: the
    // line's key keeps each one's sheets together under one node.
    db::Query q(DM->LURDO, QStringLiteral("SELECT A.ID_FNM, A.ID_ENG, A.NO_ENG, A.DATE_ENG, A.MONTANT, A.NO_VISA, "
                                          "A.DATE_VISA, A.OBJET, A.ORIGINE, B.CHAP, B.ART, B.PAR, B.INTITULE "
                                          "FROM ENT_ENG A LEFT JOIN FNM B ON A.ID_FNM=B.ID_FNM "
                                          "ORDER BY B.CHAP, B.ART, B.PAR, A.ID_FNM, A.NO_ENG, A.ID_ENG"));
    q.open();
    data.sheets.reserve(q.rowCount());
    QHash<qint64, int> sheetOf;
    sheetOf.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r) {
        const db::Value& idFnm = q.at(r, 0);
        const std::optional<qint64> key = db::isNull(idFnm) ? std::nullopt : std::optional<qint64>(db::toInt(idFnm));
        if (data.budgetLines.isEmpty() || data.budgetLines.back().idFnm != key) {
            TTreeBudgetLine line;
            line.idFnm = key;
            line.chap = TrimmedText(q.at(r, 9));
            line.art = TrimmedText(q.at(r, 10));
            line.par = TrimmedText(q.at(r, 11));
            line.intitule = TrimmedText(q.at(r, 12));
            line.firstSheet = int(data.sheets.size());
            data.budgetLines.append(line);
        }
        ++data.budgetLines.back().sheetCount;
        TTreeSheet s;
        s.idEng = db::toInt(q.at(r, 1));
        s.number = TrimmedText(q.at(r, 2));
        s.date = db::toDate(q.at(r, 3));
        s.amount = db::toCurrency(q.at(r, 4));
        s.noVisa = TrimmedText(q.at(r, 5));
        s.dateVisa = db::toDate(q.at(r, 6));
        s.objet = db::toText(q.at(r, 7));
        s.origin = TrimmedText(q.at(r, 8));
        s.budgetLine = int(data.budgetLines.size()) - 1;
        sheetOf.insert(s.idEng, int(data.sheets.size()));
        data.sheets.append(s);
    }

    // Every sheet line, grouped under its sheet in the sheets' order.
    db::Query l(DM->LURDO, QStringLiteral("SELECT D.ID_ENG, D.ID_DETAIL, D.MONTANT, B.NOM FROM DET_ENG D "
                                          "LEFT JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL "
                                          "LEFT JOIN BENEF B ON B.ID_BEN=E.ID_BEN ORDER BY D.ID_ENG, D.NOLINE"));
    l.open();
    QList<int> owner(l.rowCount(), -1);
    for (int r = 0; r < l.rowCount(); ++r) {
        const auto found = sheetOf.constFind(db::toInt(l.at(r, 0)));
        if (found == sheetOf.constEnd())
            continue;
        owner[r] = *found;
        ++data.sheets[*found].lineCount;
    }
    int next = 0;
    for (TTreeSheet& s : data.sheets) {
        s.firstLine = next;
        next += s.lineCount;
    }
    data.lines.resize(next);
    QList<int> filled(data.sheets.size(), 0);
    for (int r = 0; r < l.rowCount(); ++r) {
        const int sheet = owner[r];
        if (sheet < 0)
            continue;
        TTreeSheetLine& line = data.lines[data.sheets[sheet].firstLine + filled[sheet]++];
        line.sheet = sheet;
        line.idDetail = db::toInt(l.at(r, 1));
        line.amount = db::toCurrency(l.at(r, 2));
        line.name = db::toText(l.at(r, 3));
    }
    return data;
}

QString TCommitmentTreeData::BudgetLineText(int index) const
{
    const TTreeBudgetLine& b = budgetLines[index];
    return b.chap + QStringLiteral(".") + b.art + QStringLiteral(" ") + b.par + QStringLiteral("-") + b.intitule
        + QStringLiteral(" - [") + (b.idFnm ? QString::number(*b.idFnm) : QString()) + QStringLiteral("]");
}

QString TCommitmentTreeData::SheetText(int index) const
{
    const TTreeSheet& s = sheets[index];
    return s.number + QStringLiteral(" - ") + DateText(s.date) + QStringLiteral(" - ") + TreeAmount(s.amount)
        + QStringLiteral(" - ") + s.noVisa + QStringLiteral("-") + DateText(s.dateVisa) + QStringLiteral("   [")
        + s.objet + QString::number(s.idEng) + QStringLiteral("]");
}

QString TCommitmentTreeData::LineText(int index) const
{
    const TTreeSheetLine& line = lines[index];
    const TTreeSheet& s = sheets[line.sheet];
    QString label;
    switch (fromDb<SheetOrigin>(s.origin)) {
    case SheetOrigin::Cancellation: label = QStringLiteral("DESENGAGEMENT"); break;
    case SheetOrigin::PrimitiveBudget: label = QStringLiteral("BUDGET PRIMITIF"); break;
    case SheetOrigin::AmendingBudget: label = QStringLiteral("BUDGET MODIFICATIF"); break;
    case SheetOrigin::Transfer: label = QStringLiteral("TRANSFERT"); break;
    case SheetOrigin::User:
        label = line.name.isEmpty() ? QString() : PadRight(line.name, QStringLiteral("."), 30);
        break;
    default: break;
    }
    const int k = index - s.firstLine + 1;
    return PadLeft(QString::number(k), QStringLiteral(" "), 2) + QStringLiteral(". ") + label + QStringLiteral(" - ")
        + TreeAmount(line.amount) + QStringLiteral(" - [") + QString::number(line.idDetail) + QStringLiteral("]");
}

int TCommitmentTreeData::FindSheet(const QString& typed) const
{
    const QString number = TSheetStore::PadNumber(typed);
    for (int i = 0; i < sheets.size(); ++i)
        if (sheets[i].number == number)
            return i;
    return -1;
}

// ---------------------------------------------------------------------------

TCommitmentTreeModel::TCommitmentTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

void TCommitmentTreeModel::SetData(TCommitmentTreeData data)
{
    beginResetModel();
    m_data = std::move(data);
    endResetModel();
}

int TCommitmentTreeModel::Level(const QModelIndex& index)
{
    return index.isValid() ? int(index.internalId() >> LevelShift) : -1;
}

QModelIndex TCommitmentTreeModel::SheetIndex(int index) const
{
    if (index < 0 || index >= m_data.sheets.size())
        return {};
    const TTreeSheet& s = m_data.sheets[index];
    return createIndex(index - m_data.budgetLines[s.budgetLine].firstSheet, 0, NodeId(1, index));
}

QModelIndex TCommitmentTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    switch (Level(parent)) {
    case -1: return createIndex(row, 0, NodeId(0, row));
    case 0: return createIndex(row, 0, NodeId(1, m_data.budgetLines[NodeIndex(parent)].firstSheet + row));
    case 1: return createIndex(row, 0, NodeId(2, m_data.sheets[NodeIndex(parent)].firstLine + row));
    default: return {};
    }
}

QModelIndex TCommitmentTreeModel::parent(const QModelIndex& child) const
{
    switch (Level(child)) {
    case 1: {
        const int line = m_data.sheets[NodeIndex(child)].budgetLine;
        return createIndex(line, 0, NodeId(0, line));
    }
    case 2: return SheetIndex(m_data.lines[NodeIndex(child)].sheet);
    default: return {};
    }
}

int TCommitmentTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    switch (Level(parent)) {
    case -1: return int(m_data.budgetLines.size());
    case 0: return m_data.budgetLines[NodeIndex(parent)].sheetCount;
    case 1: return m_data.sheets[NodeIndex(parent)].lineCount;
    default: return 0;
    }
}

int TCommitmentTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant TCommitmentTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int level = Level(index);
    const int i = NodeIndex(index);
    switch (role) {
    case Qt::DisplayRole:
        return level == 0 ? m_data.BudgetLineText(i) : level == 1 ? m_data.SheetText(i) : m_data.LineText(i);
    case Qt::FontRole: {
        // Budget lines in Arial 10, sheets in Verdana 8, sheet lines in Courier New 8.
        static const QFont fonts[] = {QFont(QStringLiteral("Arial"), 10), QFont(QStringLiteral("Verdana"), 8),
                                      QFont(QStringLiteral("Courier New"), 8)};
        return fonts[level];
    }
    case Qt::ForegroundRole:
        if (level == 1)
            return QApplication::palette().color(QPalette::Highlight);
        if (level == 2)
            return QColor(Qt::red);
        return {};
    case Qt::BackgroundRole:
        return level == 1 ? QVariant(QColor(0xF5, 0xF5, 0xF5)) : QVariant();
    case Qt::DecorationRole: {
        static const QStyle::StandardPixmap pictures[] = {QStyle::SP_DirIcon, QStyle::SP_FileIcon,
                                                          QStyle::SP_ArrowRight};
        return QApplication::style()->standardIcon(pictures[level]);
    }
    default: return {};
    }
}
