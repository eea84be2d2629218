#include "ui/ListingWindow.h"

#include "core/Guard.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TListingWindow::TListingWindow(QWidget* parent, const char* gridName)
    : TListWindow(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    m_toolBar = new QHBoxLayout(pnlTop);
    m_toolBar->setContentsMargins(4, 4, 4, 4);
    m_toolBar->setSpacing(2);
    m_layout->addWidget(pnlTop);

    m_body = new QHBoxLayout;
    m_body->setContentsMargins(2, 2, 2, 2);
    m_layout->addLayout(m_body, 1);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QString::fromLatin1(gridName));
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->setWordWrap(false);
    m_model = new QueryTableModel(this);
    m_model->setSortingEnabled(true);
    m_model->attachView(m_grid);
    m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);   // the read order, until a click
    m_body->addWidget(m_grid, 1);

    PopMenu = PopupMenu();
    PopUpMenuOn(m_grid);
    SetFirstFocus(m_grid);

    connect(m_model, &QueryTableModel::currentRowChanged, this, [this] { RunGuarded([this] { UpdateCommands(); }); });
    connect(m_model, &QueryTableModel::rowsReread, this, [this] { RunGuarded([this] { UpdateCommands(); }); });
}

QAction* TListingWindow::AddCommand(const char* name, const QString& menuText, std::function<void()> handler,
                                    const QKeySequence& key, const Button& button, QPushButton** buttonOut)
{
    QPushButton* b = nullptr;
    if (button.name) {
        b = MakeButton(pnlTop, button.name, button.text, button.hint);
        if (button.icon != QStyle::SP_CustomBase)
            b->setIcon(style()->standardIcon(button.icon));
        b->setFocusPolicy(Qt::NoFocus);
        m_toolBar->addWidget(b);
        if (buttonOut)
            *buttonOut = b;
    }
    return TListWindow::AddCommand(name, menuText, std::move(handler), key, b);
}

void TListingWindow::AddMenuSeparator()
{
    PopMenu->addSeparator();
}

void TListingWindow::EndToolBar()
{
    btnMenu = MakeButton(pnlTop, "btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"), QStyle::SP_ArrowDown);
    btnMenu->setFocusPolicy(Qt::NoFocus);
    m_toolBar->addWidget(btnMenu);
    m_toolBar->addStretch();
    btnClose = MakeButton(pnlTop, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                          QStyle::SP_DialogCloseButton);
    btnClose->setFocusPolicy(Qt::NoFocus);
    m_toolBar->addWidget(btnClose);
    DropMenuFrom(btnMenu);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void TListingWindow::AddStatusBar(const QList<int>& widths)
{
    stBar = new TStatusBar(widths, this);
    m_layout->addWidget(stBar);
}

int TListingWindow::DateColumnWidth() const
{
    return m_grid->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) + 16;
}

int TListingWindow::DigitsColumnWidth(int digits) const
{
    return m_grid->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + 16;
}

void TListingWindow::AddColumn(const char* field, const char* title, QueryTableModel::Format format,
                               Qt::Alignment alignment, const TColumnStyle& style)
{
    QueryTableModel::Column c;
    c.field = QString::fromLatin1(field);
    c.title = QString::fromUtf8(title);
    c.format = format;
    c.alignment = alignment;
    c.background = style.background;
    c.bold = style.bold;
    c.sortable = style.sortable;
    c.fitText = style.fitText;
    m_model->addColumn(c);
}

void TListingWindow::FilterChosen(bool any)
{
    m_filterActive = any;
    ShowFiltered();
    m_model->setCurrentRow(0);
    UpdateCommands();
}

void TListingWindow::CancelFilter()
{
    m_filterActive = false;
    ShowFiltered();
    UpdateCommands();
}

void TListingWindow::ShowRows(TListingRows rows)
{
    const QList<db::Value> key = m_model->currentKey();
    m_model->setRows(rows.names, std::move(rows.rows));
    if (!key.isEmpty())
        m_model->locate(key);
}

void TListingWindow::FirstShow()
{
    RunGuarded([this] {
        TWaitCursor wait;
        FormShow();
    });
}
