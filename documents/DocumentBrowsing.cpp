#include "documents/DocumentBrowsing.h"

#include "ui/FormKit.h"
#include "ui/RecordNavigator.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace {

bool Before(const TDocumentKey& a, const TDocumentKey& b)
{
    const int c = QString::compare(a.number, b.number);
    return c < 0 || (c == 0 && a.id < b.id);
}

} // namespace

TDocumentKeyList::TDocumentKeyList(QObject* parent) : QueryTableModel(parent)
{
    setKeyFields({QStringLiteral("ID")});
}

void TDocumentKeyList::SetKeys(QList<TDocumentKey> keys)
{
    m_keys = std::move(keys);
    std::stable_sort(m_keys.begin(), m_keys.end(), Before);
    Publish(-1);
}

void TDocumentKeyList::Put(qint64 id, const QString& number)
{
    const auto old = std::find_if(m_keys.begin(), m_keys.end(), [id](const TDocumentKey& k) { return k.id == id; });
    if (old != m_keys.end())
        m_keys.erase(old);
    const TDocumentKey key{id, number};
    m_keys.insert(std::upper_bound(m_keys.begin(), m_keys.end(), key, Before), key);
    Publish(id);
}

void TDocumentKeyList::Remove(qint64 id)
{
    const auto it = std::find_if(m_keys.begin(), m_keys.end(), [id](const TDocumentKey& k) { return k.id == id; });
    if (it == m_keys.end())
        return;
    const qsizetype at = it - m_keys.begin();
    m_keys.erase(it);
    qint64 next = -1;
    if (!m_keys.isEmpty())
        next = m_keys[std::min<qsizetype>(at, m_keys.size() - 1)].id;
    Publish(next);
}

bool TDocumentKeyList::LocateId(qint64 id)
{
    return locate({db::Value(id)});
}

qint64 TDocumentKeyList::CurrentId() const
{
    return isEmpty() || currentRow() < 0 ? -1 : current().asInt(QStringLiteral("ID"));
}

bool TDocumentKeyList::Contains(qint64 id) const
{
    return std::any_of(m_keys.begin(), m_keys.end(), [id](const TDocumentKey& k) { return k.id == id; });
}

void TDocumentKeyList::Publish(qint64 current)
{
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(size_t(m_keys.size()));
    for (const TDocumentKey& k : m_keys)
        rows.push_back({db::Value(k.id), db::Value(k.number)});
    setRows({QStringLiteral("ID"), QStringLiteral("NO")}, std::move(rows));
    if (current >= 0)
        LocateId(current);
}

void ShowDocumentLines(TDocumentLineModel* model, const TDocumentLines& lines)
{
    model->setItems(lines);
}

TDocumentLineModel* MakeDocumentLineGrid(QWidget* window, QTableView** grid, bool withBudgetLine,
                                         std::initializer_list<int> widths)
{
    auto* view = new QTableView(window);
    view->setObjectName(QStringLiteral("grdDep"));
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(20);
    using Line = TDocumentLine;
    QList<TDocumentLineModel::ItemColumn> columns{
        {QStringLiteral("N°"), [](const Line& l) { return db::Value(qint64(l.noLine)); }, QueryTableModel::Integer},
        {QStringLiteral("N° Dépense"), [](const Line& l) { return db::Value(l.noDepense); }, QueryTableModel::Text},
        {QStringLiteral("Date "), [](const Line& l) { return db::Value(l.dateDepense); }, QueryTableModel::Date,
         Qt::AlignCenter}};
    if (withBudgetLine)
        columns.append({QStringLiteral("Imput."), [](const Line& l) { return db::Value(l.Imput()); },
                        QueryTableModel::Text, Qt::AlignCenter});
    columns.append({QStringLiteral("Bénéficiaire"), [](const Line& l) { return db::Value(l.benName); },
                    QueryTableModel::Text});
    columns.append({QStringLiteral("Montant"), [](const Line& l) { return db::Value(l.amount); }, QueryTableModel::Money});
    auto* model = new TDocumentLineModel(window, columns, [](const Line& l) { return db::Value(qint64(l.noLine)); });
    model->attachView(view);
    int column = 0;
    for (int width : widths)
        view->setColumnWidth(column++, width);
    view->horizontalHeader()->setStretchLastSection(true);
    *grid = view;
    return model;
}

TDocumentToolBar::TDocumentToolBar(QWidget* window, const char* name)
    : m_panel(new QFrame(window))
{
    m_panel->setObjectName(QString::fromLatin1(name));
    m_panel->setFrameShape(QFrame::StyledPanel);
    m_bar = new QHBoxLayout(m_panel);
    m_bar->setContentsMargins(4, 2, 4, 2);
    m_bar->setSpacing(2);
}

QToolButton* TDocumentToolBar::Button(const char* name, const QString& text, const QString& hint,
                                      QStyle::StandardPixmap icon, QAction* command)
{
    QToolButton* b = MakeToolButton(m_panel, name, text, hint, icon);
    if (command)
        BindButton(b, command);
    m_bar->addWidget(b);
    return b;
}

TRecordNavigator* TDocumentToolBar::Navigator()
{
    auto* navigator = new TRecordNavigator(m_panel);
    m_bar->addSpacing(8);
    m_bar->addWidget(navigator);
    m_bar->addSpacing(8);
    return navigator;
}

void TDocumentToolBar::Stretch()
{
    m_bar->addStretch(1);
}
