// The main menu: one table declares every submenu, item and separator in menu
// order, with its object name, caption, shortcut, what it opens and the
// tool-bar button that does the same; BuildMenu builds and wires the menu from
// it. Giving an item its window is one handler in its row.
#include "shell/UKivMain.h"

#include "budget/UEngagement.h"
#include "budget/UEng_Regul.h"
#include "budget/UEngagement_Annul.h"
#include "budget/UListBudget.h"
#include "budget/UListEng.h"
#include "budget/UListTree_Eng.h"
#include "budget/UListVir.h"
#include "budget/USF.h"
#include "budget/UVirement.h"
#include "core/Guard.h"
#include "data/MenuItems.h"
#include "expenditure/ExpenseEditor.h"
#include "expenditure/UFact.h"
#include "expenditure/UListDep.h"
#include "expenditure/UListMdt.h"
#include "expenditure/UMandat.h"
#include "reports/UReport.h"
#include "security/UChangePassWord.h"
#include "security/UListUsers.h"
#include "security/USecure.h"
#include "shell/RefDataMenu.h"
#include "shell/ToolsMenu.h"

#include <QAction>
#include <QKeyCombination>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

using W = TfrmKivMain;

// One row of the menu table.
struct MenuRow {
    enum Kind { Submenu, Item, Separator, BarItem };
    using Handler = void (*)(W&);

    Kind kind = Item;
    QLatin1String name;
    const char* caption = "";             // UTF-8; none for a separator
    Handler handler = nullptr;            // none: the item does nothing
    QMenu* W::*menu = nullptr;            // the window's member for a submenu
    QAction* W::*action = nullptr;        // the window's member for an item, when it keeps one
    QToolButton* W::*button = nullptr;    // the tool-bar button that does what the item does
    QKeyCombination shortcut = Qt::Key_unknown;
    int tag = 0;                          // positive: never managed by the access rights
    bool hidden = false;                  // hidden until the rights filtering sets it again
    bool disabled = false;

    MenuRow Key(QKeyCombination key) const { MenuRow r = *this; r.shortcut = key; return r; }
    MenuRow Tag(int value) const { MenuRow r = *this; r.tag = value; return r; }
    MenuRow Hidden() const { MenuRow r = *this; r.hidden = true; return r; }
    MenuRow Disabled() const { MenuRow r = *this; r.disabled = true; return r; }
    MenuRow Button(QToolButton* W::*b) const { MenuRow r = *this; r.button = b; return r; }
};

MenuRow Row(MenuRow::Kind kind, QLatin1String name, const char* caption = "", MenuRow::Handler handler = nullptr)
{
    MenuRow r;
    r.kind = kind;
    r.name = name;
    r.caption = caption;
    r.handler = handler;
    return r;
}

// A submenu of the bar; the rows after it fill it.
MenuRow Submenu(QMenu* W::*member, QLatin1String name, const char* caption)
{
    MenuRow r = Row(MenuRow::Submenu, name, caption);
    r.menu = member;
    return r;
}

MenuRow Item(QAction* W::*member, QLatin1String name, const char* caption, MenuRow::Handler handler = nullptr)
{
    MenuRow r = Row(MenuRow::Item, name, caption, handler);
    r.action = member;
    return r;
}

MenuRow Separator(QLatin1String name)
{
    return Row(MenuRow::Separator, name);
}

// An item on the bar itself.
MenuRow BarItem(QAction* W::*member, QLatin1String name, const char* caption, MenuRow::Handler handler)
{
    MenuRow r = Row(MenuRow::BarItem, name, caption, handler);
    r.action = member;
    return r;
}

// The expense listing of every kind (none) or of one kind.
void OpenExpenseListing(QWidget* parent, std::optional<ExpenseKind> kind)
{
    TfrmListDep frm(parent);
    frm.SelectMode = false;
    frm.TypeDep = kind;
    frm.OpenSheet = OpenExpenseSheet;
    frm.exec();
}

} // namespace

void TfrmKivMain::BuildMenu()
{
    // clang-format off
    static const MenuRow kMenu[] = {
        Submenu(&W::mnpFichier, "mnpFichier"_L1, "Fichier"),
        Item(&W::mnBenef, MenuItem::mnBenef, "Bénéficiaires", [](W& w) { OpenBenefList(&w); }).Button(&W::btnFour),
        Separator("N1"_L1),
        Item(&W::mnGrades, MenuItem::mnGrades, "Grades",
             [](W& w) { OpenCodeTable(&w, MenuItem::mnGrades, "GRADE", "ID_GRADE", "Grades"); }),
        Item(&W::mnBanque, MenuItem::mnBanque, "Banques", [](W& w) { OpenBanqueList(&w); }),
        Item(&W::mnAgence, MenuItem::mnAgence, "Agences bancaires",
             [](W& w) { OpenCodeTable(&w, MenuItem::mnAgence, "AGENCE", "ID_AGENCE", "Agences bancaires"); }),
        Separator("N2"_L1),
        Item(&W::mnFNM, MenuItem::mnFNM, "Nomenclature Budgétaire", [](W& w) { OpenFNMList(&w); }),
        Separator("N3"_L1),
        Item(&W::mnRetenues, MenuItem::mnRetenues, "Retenues",
             [](W& w) { OpenCodeTable(&w, MenuItem::mnRetenues, "FRET", "ID_RETENUE", "Retenues"); }),
        Separator("N4"_L1),
        Item(&W::mnPJ, "mnPJ"_L1, "Pièces jointes", [](W& w) { OpenPJFile(&w); }).Hidden(),
        Separator("N5"_L1).Hidden(),
        Item(&W::mnObs, "mnObs"_L1, "Observations de service", [](W& w) { OpenObs(&w); }),
        Item(&W::mnWilaya, MenuItem::mnWilaya, "Wilayas",
             [](W& w) { OpenCodeTable(&w, MenuItem::mnWilaya, "FWIL", "ID_WIL", "Wilayas"); }),
        Separator("N6"_L1),
        Item(&W::mnChangerImage, "mnChangerImage"_L1, "Changer l'image d'accueil",
             [](W& w) { w.mnChangerImageClick(); }).Tag(1),
        Item(&W::mnRestaurerImage, "mnRestaurerImage"_L1, "Restaurer l'image d'accueil",
             [](W& w) { w.mnRestaurerImageClick(); }).Tag(1),
        Separator("N7"_L1),
        Item(&W::mnMEP, "mnMEP"_L1, "Mise en page", [](W& w) { TfrmReport(&w).exec(); }),
        Item(&W::itemPrint, "Imprimer1"_L1, "Imprimer").Tag(1).Hidden(),
        Item(&W::itemPrinterSetup, "Configurationdelimprimante1"_L1, "Configuration de l'imprimante",
             [](W& w) { w.Configurationdelimprimante1Click(); }),
        Separator("N8"_L1),
        Item(&W::mnQuitter0, "mnQuitter0"_L1, "Quitter", [](W& w) { w.close(); })
            .Key(Qt::ALT | Qt::Key_F4).Tag(1).Button(&W::btnFermer),

        Submenu(&W::mnpBudget, "mnpBudget"_L1, "Budget"),
        Item(&W::mnBudget, MenuItem::mnBudget, "Budget", [](W& w) { TfrmListBudget(&w).exec(); })
            .Button(&W::btnBudget),
        Separator("N9"_L1),
        Item(&W::mnTransfert, MenuItem::mnTransfert, "Transfert", [](W& w) {
            TfrmVirement frm(&w);
            frm.IdVir = -1;
            frm.exec();
        }),
        Item(&W::mnListTrans, "mnListTrans"_L1, "Listing des transferts", [](W& w) { TfrmListVir(&w).exec(); })
            .Button(&W::btnTransfert),
        Separator("N10"_L1),
        Item(&W::mnEpurCrdRegie, "mnEpurCrdRegie"_L1, "Epuration des crédits de la régie").Hidden(),
        Item(&W::mnConsBud, "mnConsBud"_L1, "Consultation", [](W& w) { w.mnConsBudClick(); }).Hidden(),
        Separator("N11"_L1),
        Item(&W::mnSF, "mnSF"_L1, "Situation financière", [](W& w) { TfrmSF(&w).exec(); }),

        Submenu(&W::mnpDpenses, "mnpDpenses"_L1, "Dépense"),
        Item(&W::mnListingDep, "mnListingDep"_L1, "Listing des Dépenses (toutes)",
             [](W& w) { OpenExpenseListing(&w, std::nullopt); }),
        Separator("N12"_L1),
        Item(&W::mnFactures, MenuItem::mnFactures, "Factures", [](W& w) {
            TfrmFact frm(&w);
            frm.IdDepense = -1;
            frm.exec();
        }).Button(&W::btnFact),
        Item(&W::itemInvoiceListing, "Listingdeschargesfactures1"_L1, "Listing des charges factures",
             [](W& w) { OpenExpenseListing(&w, ExpenseKind::Invoice); }),
        Separator("N13"_L1),
        Item(&W::mnAutreDep, MenuItem::mnAutreDep, "Autres dépenses",
             [](W& w) { OpenExpenseEditor(&w, ExpenseKind::Mission, -1); }),
        Item(&W::itemOtherExpenseListing, "Listingdeschargesautresdpenses1"_L1, "Listing des charges autres dépenses",
             [](W& w) { OpenExpenseListing(&w, ExpenseKind::Mission); }),
        Separator("N14"_L1),
        Item(&W::mnDepSalaire, MenuItem::mnDepSalaire, "Charges salariales à mandater",
             [](W& w) { OpenExpenseEditor(&w, ExpenseKind::SalaryToPay, -1); }),
        Item(&W::itemSalaryToPayListing, "Listingdeschargessalarialesmandater1"_L1,
             "Listing des charges salariales à mandater",
             [](W& w) { OpenExpenseListing(&w, ExpenseKind::SalaryToPay); }),
        Separator("N15"_L1),
        Item(&W::itemSalaryToCommit, "Chargessalarialesengager1"_L1, "Charges salariales à engager",
             [](W& w) { OpenExpenseEditor(&w, ExpenseKind::SalaryToCommit, -1); }),
        Item(&W::itemSalaryToCommitListing, "Listingdeschargessalarialesengager1"_L1,
             "Listing des charges salariales à engager",
             [](W& w) { OpenExpenseListing(&w, ExpenseKind::SalaryToCommit); }),

        Submenu(&W::mnpEngagement, "mnpEngagement"_L1, "Engagement"),
        Item(&W::mnEng_Dep, MenuItem::mnEng_Dep, "Engagement dépense", [](W& w) {
            TfrmEngagement frm(&w);
            frm.ObjetEng = SheetObject::Expense;
            frm.IdEng = -1;
            frm.exec();
        }).Button(&W::btnEng),
        Item(&W::mnEng_Eco, MenuItem::mnEng_Eco, "Désengagement", [](W& w) {
            TfrmEngagement_Annul frm(&w);
            frm.IdEng = 0;
            frm.exec();
        }),
        Separator("N16"_L1),
        Item(&W::mnEng_List, MenuItem::mnEng_List, "Listing des engagements", [](W& w) { TfrmListEng(&w).exec(); }),
        Item(&W::mnEng_List_Tree, "mnEng_List_Tree"_L1, "Listing en Arborescence",
             [](W& w) { TfrmListTree_Eng(&w).exec(); }),
        Separator("N17"_L1),
        Item(&W::mnEng_Reg, "mnEng_Reg"_L1, "Régularisation", [](W& w) {
            TfrmEng_Regul frm(&w);
            frm.IdEng = -1;
            frm.exec();
        }),

        Submenu(&W::mnpMandat, "mnpMandat"_L1, "Mandat"),
        Item(&W::mnMandat, MenuItem::mnMandat, "Mandats", [](W& w) {
            TfrmMandat frm(&w);
            frm.IdMdt = -1;
            frm.exec();
        }).Button(&W::btnMandat),
        Separator("N18"_L1),
        Item(&W::mnListMdt, MenuItem::mnListMdt, "Listing des Mandats", [](W& w) { TfrmListMdt(&w).exec(); }),
        Item(&W::itemOrderTree, "Arborescence1"_L1, "Listing en Arborescence").Disabled(),

        Submenu(&W::mnOptions, "mnOptions"_L1, "Outils"),
        Item(&W::mnParam, "mnParam"_L1, "&Paramètres", [](W& w) { OpenOptions(w); }).Tag(1),
        Separator("N23"_L1),
        Item(&W::itemChangeYear, MenuItem::ChangerExercice1, "Changer Exercice", [](W& w) { OpenChangeYear(w); })
            .Key(Qt::Key_F7),
        Separator("N19"_L1),
        Item(&W::mnSave, MenuItem::mnSave, "Sauvegarder", [](W& w) { OpenBackup(&w); }),
        Item(&W::mnRestore, MenuItem::mnRestore, "Restaurer", [](W& w) { OpenRestore(&w); }),
        Separator("N20"_L1),
        Item(&W::mnSQL, MenuItem::mnSQL, "SQL", [](W& w) { OpenSqlConsole(w); }).Tag(1),
        Item(&W::mnConnection, MenuItem::mnConnection, "Paramétres de connection",
             [](W& w) { OpenConnectionSettings(w); }).Tag(1),
        Separator("N21"_L1),
        Item(&W::mnChangePassWord, "mnChangePassWord"_L1, "Changement du mot de passe",
             [](W& w) { TfrmChangePassWord::Execute(&w); }),
        Item(&W::mnUsers, MenuItem::mnUsers, "Gestion des utilisateurs", [](W& w) { TfrmListUsers::Execute(&w); }),
        Item(&W::mnSecurite, MenuItem::mnSecurite, "Gestion de la sécurité",
             [](W& w) { TfrmSecure::Execute(w.menuBar(), &w); }),
        Separator("N22"_L1),
        Item(&W::mnConnect, "mnConnect"_L1, "Connection", [](W& w) { OpenConnect(w); }),

        BarItem(&W::mnApropos0, "mnApropos0"_L1, "A propos ...", [](W& w) { w.mnApropos0Click(); }).Tag(1),
    };
    // clang-format on

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    QMenu* current = nullptr;
    for (const MenuRow& row : kMenu) {
        QAction* a = nullptr;
        switch (row.kind) {
        case MenuRow::Submenu:
            current = bar->addMenu(QString::fromUtf8(row.caption));
            current->setObjectName(row.name);
            this->*row.menu = current;
            a = current->menuAction();
            break;
        case MenuRow::Item:
            a = current->addAction(QString::fromUtf8(row.caption));
            break;
        case MenuRow::Separator:
            a = current->addSeparator();
            break;
        case MenuRow::BarItem:
            a = bar->addAction(QString::fromUtf8(row.caption));
            break;
        }
        a->setObjectName(row.name);
        a->setProperty("tag", row.tag);
        if (row.shortcut.key() != Qt::Key_unknown)
            a->setShortcut(QKeySequence(row.shortcut));
        // Hidden in the design; the rights filtering at the first showing sets
        // every item's visibility again.
        if (row.hidden)
            a->setVisible(false);
        if (row.disabled)
            a->setEnabled(false);
        if (row.action)
            this->*row.action = a;
        if (row.handler)
            connect(a, &QAction::triggered, this, Guarded([this, run = row.handler] { run(*this); }));
        // Tool-bar buttons are not filtered by rights: a button runs its item
        // whatever the item's visibility.
        if (row.button)
            connect(this->*row.button, &QToolButton::clicked, a, &QAction::trigger);
    }
    // Left Shift + left Ctrl + S opens the SQL console for the users its item
    // is shown to.
    connect(this, &W::SqlConsoleKey, this, Guarded([this] { OpenSqlConsoleByKey(*this); }));
}
