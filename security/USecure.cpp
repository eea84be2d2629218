#include "security/USecure.h"

#include "security/AccountStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "ui/FormKit.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "security/UUsers.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kUserIdRole = Qt::UserRole;
constexpr int kUserTypeRole = Qt::UserRole + 1;

QString Cell(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

// Draws the rights grid: level-1 modules red on yellow, modules with sub-items
// navy on grey, the read and write answers bold in green (OUI) or red, centred.
class SecureGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* grid = static_cast<const QTableWidget*>(parent());
        const int row = index.row();
        const int column = index.column();
        QString text = index.data().toString();
        QFont font = option.font;
        QColor fg = option.palette.color(QPalette::Text);
        QColor bg = option.palette.color(QPalette::Base);
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;

        if (column == TfrmSecure::colModule) {
            const int level = Cell(grid, row, TfrmSecure::colLevel).toInt();
            const QString children = Cell(grid, row, TfrmSecure::colNbChild);
            if (level == 1) {
                font = QFont(QStringLiteral("Arial"), 12);
                font.setBold(true);
                font.setUnderline(true);
                fg = QColor(255, 0, 0);
                bg = QColor(253, 241, 159);
            } else if (children > QLatin1String("0")) {
                font = QFont(QStringLiteral("Arial"), 10);
                font.setBold(true);
                fg = QColor(0, 0, 128);
                bg = QColor(207, 207, 207);
            }
        } else if (column == TfrmSecure::colRead || column == TfrmSecure::colWrite) {
            font.setBold(true);
            text = text.trimmed();
            fg = text == QLatin1String("OUI") ? QColor(0, 128, 0) : QColor(255, 0, 0);
            align = Qt::AlignCenter;
        }
        if (option.state & QStyle::State_Selected) {
            bg = option.palette.color(QPalette::Highlight);
            fg = option.palette.color(QPalette::HighlightedText);
        }
        painter->save();
        painter->fillRect(option.rect, bg);
        painter->setFont(font);
        painter->setPen(fg);
        const QRect r = align & Qt::AlignLeft ? option.rect.adjusted(3, 0, 0, 0) : option.rect;
        painter->drawText(r, int(align), text);
        painter->restore();
    }
};

} // namespace

TfrmSecure::TfrmSecure(QMenuBar* mainMenu, QWidget* parent)
    : QDialog(parent), m_menu(mainMenu)
{
    setObjectName(QStringLiteral("frmSecure"));
    setWindowTitle(QStringLiteral("Gestion de la sécurité"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lUser = new QLabel(QStringLiteral("Utilisateur : "), this);
    cmbUser = new QComboBox(this);
    cmbUser->setObjectName(QStringLiteral("cmbUser"));
    cmbUser->setMinimumWidth(240);
    lUser->setBuddy(cmbUser);

    btnUsers = MakeButton(this, "btnUsers", QStringLiteral("Utilisateurs"), QStringLiteral("Mise à jour des  utilisateurs"));
    btnPost = MakeButton(this, "btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer les modifications"));
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"));
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Quitter cet écran"));

    auto* top = new QHBoxLayout;
    top->addWidget(lUser);
    top->addWidget(cmbUser, 1);
    top->addSpacing(10);
    top->addWidget(btnUsers);
    top->addWidget(btnPost);
    top->addWidget(btnCancel);
    top->addWidget(btnClose);

    grdSecure = new QTableWidget(0, colCount, this);
    grdSecure->setObjectName(QStringLiteral("grdSecure"));
    grdSecure->setItemDelegate(new SecureGridDelegate(grdSecure));
    grdSecure->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdSecure->setSelectionMode(QAbstractItemView::SingleSelection);
    grdSecure->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSecure->verticalHeader()->setVisible(false);
    grdSecure->verticalHeader()->setDefaultSectionSize(22);
    grdSecure->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdSecure->setContextMenuPolicy(Qt::CustomContextMenu);
    grdSecure->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdSecure->viewport()->installEventFilter(this);
    const char* titles[colCount] = {"N°", "ID_SECUR", "TV_LEVEL", "OBJECT_NAME", "Module", "Lecture", "Ecriture",
                                    "R", "W", "M", "NB_CHILD"};
    for (int c = 0; c < colCount; ++c) {
        auto* h = new QTableWidgetItem(QString::fromUtf8(titles[c]));
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        if (c == colNo)
            align = Qt::AlignRight | Qt::AlignVCenter;
        else if (c == colRead || c == colWrite)
            align = Qt::AlignCenter;
        h->setTextAlignment(align);
        grdSecure->setHorizontalHeaderItem(c, h);
    }
    for (int c : {colIdSecur, colLevel, colName, colReadFlag, colWriteFlag, colChanged, colNbChild})
        grdSecure->setColumnHidden(c, true);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    mnUsers = MakeCommand(this, "mnUsers", QStringLiteral("Mise à jour des  utilisateurs"), [this] { btnUsersClick(); });
    mnPost = MakeCommand(this, "mnPost", QStringLiteral("Enregistrer"), [this] { btnPostClick(); });
    mnCancel = MakeCommand(this, "mnCancel", QStringLiteral("Annuler"), [this] { btnCancelClick(); });
    PopMenu->addAction(mnUsers);
    PopMenu->addSeparator();
    PopMenu->addActions({mnPost, mnCancel});
    BindButton(btnUsers, mnUsers);
    BindButton(btnPost, mnPost);
    BindButton(btnCancel, mnCancel);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(grdSecure, 1);
    resize(600, 640);

    connect(cmbUser, &QComboBox::activated, this, Guarded([this] { cmbUserChange(); }));
    connect(grdSecure, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { RunGuarded([=, this] { grdSecureDblClick(row, column); }); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(grdSecure, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopMenu->popup(grdSecure->viewport()->mapToGlobal(pos)); });
}

TfrmSecure::~TfrmSecure()
{
    grdSecure->viewport()->removeEventFilter(this);
}

void TfrmSecure::Execute(QMenuBar* mainMenu, QWidget* parent)
{
    TfrmSecure dlg(mainMenu, parent);
    dlg.exec();
}

void TfrmSecure::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    LayoutColumns();
    if (!m_shown) {
        m_shown = true;
        RunGuarded([this] { FormShow(); });
    }
}

void TfrmSecure::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutColumns();
}

bool TfrmSecure::eventFilter(QObject* watched, QEvent* event)
{
    // The visible width changes with the window and with the vertical scroll bar.
    if (watched == grdSecure->viewport() && event->type() == QEvent::Resize)
        LayoutColumns();
    return QDialog::eventFilter(watched, event);
}

void TfrmSecure::LayoutColumns()
{
    // "Module" takes what the other columns leave of the visible width, so the
    // grid never scrolls sideways.
    grdSecure->setColumnWidth(colNo, 40);
    grdSecure->setColumnWidth(colRead, 60);
    grdSecure->setColumnWidth(colWrite, 60);
    grdSecure->setColumnWidth(colModule, qMax(100, grdSecure->viewport()->width() - 40 - 2 * 60));
}

void TfrmSecure::FillUsers(int selectId)
{
    const QList<TRightsUser> users = m_users.UsersForRights();
    const QSignalBlocker block(cmbUser);
    cmbUser->clear();
    for (const TRightsUser& user : users) {
        cmbUser->addItem(user.nomPrenom);
        const int i = cmbUser->count() - 1;
        cmbUser->setItemData(i, user.id, kUserIdRole);
        cmbUser->setItemData(i, user.type, kUserTypeRole);
    }
    cmbUser->setCurrentIndex(cmbUser->findData(selectId, kUserIdRole));
}

int TfrmSecure::ChosenUser() const
{
    return cmbUser->currentIndex() < 0 ? -1 : cmbUser->currentData(kUserIdRole).toInt();
}

int TfrmSecure::ChosenUserType() const
{
    return cmbUser->currentIndex() < 0 ? 0 : cmbUser->currentData(kUserTypeRole).toInt();
}

void TfrmSecure::SetSaveEnabled(bool enabled)
{
    mnPost->setEnabled(enabled && m_canWrite);
    mnCancel->setEnabled(enabled && m_canWrite);
}

void TfrmSecure::FormShow()
{
    m_canWrite = CanWrite(MenuItem::mnSecurite, CurrentUserId);
    mnUsers->setEnabled(m_canWrite);
    SetSaveEnabled(m_canWrite);
    FillUsers(IniReadInteger(IniPath, QStringLiteral("SEC"), QStringLiteral("ID_USER"), -1));
    // A remembered user who no longer exists leaves the editor empty: no rows
    // are ever made for a user who is not in T_USERS.
    if (ChosenUser() != -1)
        LoadUserRights(ChosenUser());
}

void TfrmSecure::cmbUserChange()
{
    const int id = ChosenUser();
    if (id != -1)
        LoadUserRights(id);
}

void TfrmSecure::SetRowAccess(int row, bool read, bool write)
{
    auto set = [this, row](int column, const QString& text) {
        QTableWidgetItem* item = grdSecure->item(row, column);
        if (item)
            item->setText(text);
    };
    set(colRead, read ? QStringLiteral("OUI") : QStringLiteral("NON"));
    set(colWrite, write ? QStringLiteral("OUI") : QStringLiteral("NON"));
    set(colReadFlag, read ? QStringLiteral("1") : QStringLiteral("0"));
    set(colWriteFlag, write ? QStringLiteral("1") : QStringLiteral("0"));
}

void TfrmSecure::LoadUserRights(int userId)
{
    const QList<UserRight> rights = SyncUserRights(m_menu, userId);
    m_loadedUser = userId;
    grdSecure->clearContents();
    grdSecure->setRowCount(int(rights.size()));
    for (int row = 0; row < rights.size(); ++row) {
        const UserRight& r = rights[row];
        const QString indent = r.item.level == 2 ? QString(4, QLatin1Char(' '))
                             : r.item.level == 3 ? QString(10, QLatin1Char(' ')) : QString();
        const QString texts[colCount] = {
            QString::number(row + 1),
            r.idSecur >= 0 ? QString::number(r.idSecur) : QString(),
            QString::number(r.item.level),
            r.item.key,
            indent + r.item.description,
            QString(), QString(), QString(), QString(),
            QStringLiteral("0"),
            QString::number(r.item.childCount)};
        for (int c = 0; c < colCount; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            const bool selectable = c == colModule || c == colRead || c == colWrite;
            item->setFlags(selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled);
            grdSecure->setItem(row, c, item);
        }
        SetRowAccess(row, r.typeAcces >= 1, r.typeAcces >= 2);
    }
    SetSaveEnabled(false);
}

void TfrmSecure::grdSecureDblClick(int row, int column)
{
    if (column != colRead && column != colWrite)
        return;
    if (!m_canWrite)
        DenyWriteAccess();
    if (row < 0 || row >= grdSecure->rowCount())
        return;
    const QString key = Cell(grdSecure, row, colName);
    if (key == RightsKey(MenuItem::mnSecurite) && ChosenUserType() == 0) {
        const QString warning =
            QStringLiteral("Vous êtes en train de retirer les droits de sécurité pour un utilisateur de type "
                           "\"MANAGER\" !\r\rSi vous continuer, cet utilisateur n'aura plus la possibilité de "
                           "contrôler les accés aux différents modules d'Tarvex !\r\rEtes-vous sûr de vouloir "
                           "continuer ?");
        if (ShowMessageBox(warning, mtWarning, MsgButton::Yes | MsgButton::No) != mrYes)
            return;
        if (ShowMessageBox(QStringLiteral("Confirmer la modification de l'accés au module de sécurité.\r\rConfirmer ?"),
                           mtConfirmation, MsgButton::Yes | MsgButton::No) != mrYes)
            return;
    }
    bool read = Cell(grdSecure, row, colReadFlag) == QLatin1String("1");
    bool write = Cell(grdSecure, row, colWriteFlag) == QLatin1String("1");
    if (column == colRead) {
        if (!read)
            read = true;
        else
            read = write = false;
    } else {
        write = !write;
    }
    // Items sharing a key share its right: every row of the key shows the change.
    for (int r = 0; r < grdSecure->rowCount(); ++r) {
        if (Cell(grdSecure, r, colName) != key)
            continue;
        SetRowAccess(r, read, write);
        grdSecure->item(r, colChanged)->setText(QStringLiteral("1"));
    }
    grdSecure->viewport()->update();
    SetSaveEnabled(true);
}

void TfrmSecure::btnPostClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    if (m_loadedUser == -1)
        return;
    TAccountStore users;
    {
        TWriteGuard write;
        QSet<QString> done;
        for (int row = 0; row < grdSecure->rowCount(); ++row) {
            if (Cell(grdSecure, row, colChanged) != QLatin1String("1"))
                continue;
            bool numeric = false;
            Cell(grdSecure, row, colIdSecur).toLongLong(&numeric);
            const QString key = Cell(grdSecure, row, colName);
            if (!numeric || done.contains(key))
                continue;
            done.insert(key);
            const bool read = Cell(grdSecure, row, colReadFlag) == QLatin1String("1");
            const bool write = Cell(grdSecure, row, colWriteFlag) == QLatin1String("1");
            // Write without read is no access.
            const int access = !read ? 0 : (write ? 2 : 1);
            users.SetAccess(m_loadedUser, key, access);
        }
        write.Commit();
    }
    for (int row = 0; row < grdSecure->rowCount(); ++row)
        grdSecure->item(row, colChanged)->setText(QStringLiteral("0"));
    SetSaveEnabled(false);
}

void TfrmSecure::btnCancelClick()
{
    const int id = ChosenUser();
    if (id != -1)
        LoadUserRights(id);
}

void TfrmSecure::btnUsersClick()
{
    {
        TfrmUsers form(this);
        form.IdUser = -1;
        form.exec();
    }
    FillUsers(ChosenUser());
    if (ChosenUser() == -1) {
        // The user shown was deleted in the user form.
        m_loadedUser = -1;
        grdSecure->setRowCount(0);
        SetSaveEnabled(false);
    }
}

void TfrmSecure::done(int result)
{
    const int chosen = ChosenUser();
    RunGuarded([chosen] { IniWriteInteger(IniPath, QStringLiteral("SEC"), QStringLiteral("ID_USER"), chosen); });
    QDialog::done(result);
}
