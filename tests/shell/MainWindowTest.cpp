// The main window: its menu tree (the names the access rights walk), its
// toolbar and status bar, its keys and its closing.
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "core/Pause.h"
#include "ui/UCalendar.h"
#include "shell/UInfos.h"
#include "shell/UKivMain.h"
#include "shell/USplash.h"
#include "common/MessageRecorder.h"
#include "common/ModalDriver.h"
#include "common/ProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct MenuRow {
    const char* menu;      // the submenu's name, "" for a top-level item
    const char* name;
    const char* caption;   // "-" for a separator
    const char* shortcut;
    bool visible;
    int tag;
};

// The whole menu, in order.
const MenuRow kMenu[] = {
    {"", "mnpFichier", "Fichier", "", true, 0},
    {"mnpFichier", "mnBenef", "Bénéficiaires", "", true, 0},
    {"mnpFichier", "N1", "-", "", true, 0},
    {"mnpFichier", "mnGrades", "Grades", "", true, 0},
    {"mnpFichier", "mnBanque", "Banques", "", true, 0},
    {"mnpFichier", "mnAgence", "Agences bancaires", "", true, 0},
    {"mnpFichier", "N2", "-", "", true, 0},
    {"mnpFichier", "mnFNM", "Nomenclature Budgétaire", "", true, 0},
    {"mnpFichier", "N3", "-", "", true, 0},
    {"mnpFichier", "mnRetenues", "Retenues", "", true, 0},
    {"mnpFichier", "N4", "-", "", true, 0},
    {"mnpFichier", "mnPJ", "Pièces jointes", "", false, 0},
    {"mnpFichier", "N5", "-", "", false, 0},
    {"mnpFichier", "mnObs", "Observations de service", "", true, 0},
    {"mnpFichier", "mnWilaya", "Wilayas", "", true, 0},
    {"mnpFichier", "N6", "-", "", true, 0},
    {"mnpFichier", "mnChangerImage", "Changer l'image d'accueil", "", true, 1},
    {"mnpFichier", "mnRestaurerImage", "Restaurer l'image d'accueil", "", true, 1},
    {"mnpFichier", "N7", "-", "", true, 0},
    {"mnpFichier", "mnMEP", "Mise en page", "", true, 0},
    {"mnpFichier", "Imprimer1", "Imprimer", "", false, 1},
    {"mnpFichier", "Configurationdelimprimante1", "Configuration de l'imprimante", "", true, 0},
    {"mnpFichier", "N8", "-", "", true, 0},
    {"mnpFichier", "mnQuitter0", "Quitter", "Alt+F4", true, 1},
    {"", "mnpBudget", "Budget", "", true, 0},
    {"mnpBudget", "mnBudget", "Budget", "", true, 0},
    {"mnpBudget", "N9", "-", "", true, 0},
    {"mnpBudget", "mnTransfert", "Transfert", "", true, 0},
    {"mnpBudget", "mnListTrans", "Listing des transferts", "", true, 0},
    {"mnpBudget", "N10", "-", "", true, 0},
    {"mnpBudget", "mnEpurCrdRegie", "Epuration des crédits de la régie", "", false, 0},
    {"mnpBudget", "mnConsBud", "Consultation", "", false, 0},
    {"mnpBudget", "N11", "-", "", true, 0},
    {"mnpBudget", "mnSF", "Situation financière", "", true, 0},
    {"", "mnpDpenses", "Dépense", "", true, 0},
    {"mnpDpenses", "mnListingDep", "Listing des Dépenses (toutes)", "", true, 0},
    {"mnpDpenses", "N12", "-", "", true, 0},
    {"mnpDpenses", "mnFactures", "Factures", "", true, 0},
    {"mnpDpenses", "Listingdeschargesfactures1", "Listing des charges factures", "", true, 0},
    {"mnpDpenses", "N13", "-", "", true, 0},
    {"mnpDpenses", "mnAutreDep", "Autres dépenses", "", true, 0},
    {"mnpDpenses", "Listingdeschargesautresdpenses1", "Listing des charges autres dépenses", "", true, 0},
    {"mnpDpenses", "N14", "-", "", true, 0},
    {"mnpDpenses", "mnDepSalaire", "Charges salariales à mandater", "", true, 0},
    {"mnpDpenses", "Listingdeschargessalarialesmandater1", "Listing des charges salariales à mandater", "", true, 0},
    {"mnpDpenses", "N15", "-", "", true, 0},
    {"mnpDpenses", "Chargessalarialesengager1", "Charges salariales à engager", "", true, 0},
    {"mnpDpenses", "Listingdeschargessalarialesengager1", "Listing des charges salariales à engager", "", true, 0},
    {"", "mnpEngagement", "Engagement", "", true, 0},
    {"mnpEngagement", "mnEng_Dep", "Engagement dépense", "", true, 0},
    {"mnpEngagement", "mnEng_Eco", "Désengagement", "", true, 0},
    {"mnpEngagement", "N16", "-", "", true, 0},
    {"mnpEngagement", "mnEng_List", "Listing des engagements", "", true, 0},
    {"mnpEngagement", "mnEng_List_Tree", "Listing en Arborescence", "", true, 0},
    {"mnpEngagement", "N17", "-", "", true, 0},
    {"mnpEngagement", "mnEng_Reg", "Régularisation", "", true, 0},
    {"", "mnpMandat", "Mandat", "", true, 0},
    {"mnpMandat", "mnMandat", "Mandats", "", true, 0},
    {"mnpMandat", "N18", "-", "", true, 0},
    {"mnpMandat", "mnListMdt", "Listing des Mandats", "", true, 0},
    {"mnpMandat", "Arborescence1", "Listing en Arborescence", "", true, 0},
    {"", "mnOptions", "Outils", "", true, 0},
    {"mnOptions", "mnParam", "&Paramètres", "", true, 1},
    {"mnOptions", "N23", "-", "", true, 0},
    {"mnOptions", "ChangerExercice1", "Changer Exercice", "F7", true, 0},
    {"mnOptions", "N19", "-", "", true, 0},
    {"mnOptions", "mnSave", "Sauvegarder", "", true, 0},
    {"mnOptions", "mnRestore", "Restaurer", "", true, 0},
    {"mnOptions", "N20", "-", "", true, 0},
    {"mnOptions", "mnSQL", "SQL", "", true, 1},
    {"mnOptions", "mnConnection", "Paramétres de connection", "", true, 1},
    {"mnOptions", "N21", "-", "", true, 0},
    {"mnOptions", "mnChangePassWord", "Changement du mot de passe", "", true, 0},
    {"mnOptions", "mnUsers", "Gestion des utilisateurs", "", true, 0},
    {"mnOptions", "mnSecurite", "Gestion de la sécurité", "", true, 0},
    {"mnOptions", "N22", "-", "", true, 0},
    {"mnOptions", "mnConnect", "Connection", "", true, 0},
    {"", "mnApropos0", "A propos ...", "", true, 1},
};

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, quint32 scanCode = 0)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, scanCode, 0, 0);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, scanCode, 0, 0);
    QApplication::sendEvent(target, &release);
}

void pressKey(QWidget* target, int key, Qt::KeyboardModifiers mods, quint32 scanCode)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, scanCode, 0, 0);
    QApplication::sendEvent(target, &press);
}

const QString kQuitQuestion = QStringLiteral("Voulez-vous, réellement, quitter l'application ?");

}  // namespace

TEST(MainWindow, MenuTreeHasEveryItemWithItsNameCaptionShortcutVisibilityAndTag)
{
    ProgramFolder folder;
    TfrmKivMain w;

    // Walk the tree as the access rights do: top-level items, then their items.
    int total = 0;
    for (QAction* top : w.menuBar()->actions())
        total += 1 + (top->menu() ? int(top->menu()->actions().size()) : 0);
    ASSERT_EQ(total, int(std::size(kMenu)));

    int row = 0;
    for (QAction* top : w.menuBar()->actions()) {
        QList<QAction*> level{top};
        if (QMenu* sub = top->menu())
            level += sub->actions();
        for (QAction* a : level) {
            const MenuRow& expected = kMenu[row++];
            SCOPED_TRACE(expected.name);
            EXPECT_EQ(a->objectName(), QString::fromLatin1(expected.name));
            const QString parentName = a == top ? QString() : top->objectName();
            EXPECT_EQ(parentName, QString::fromLatin1(expected.menu));
            if (QString::fromUtf8(expected.caption) == QStringLiteral("-"))
                EXPECT_TRUE(a->isSeparator());
            else
                EXPECT_EQ(a->text(), QString::fromUtf8(expected.caption));
            EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(expected.shortcut)));
            EXPECT_EQ(a->isVisible(), expected.visible);
            EXPECT_EQ(a->property("tag").toInt(), expected.tag);
            // Found by name, as the access rights look items up.
            EXPECT_EQ(w.findChildren<QAction*>(QString::fromLatin1(expected.name)).size(), 1);
        }
    }
    EXPECT_FALSE(w.itemOrderTree->isEnabled());
    EXPECT_EQ(w.mnpFichier->objectName(), QStringLiteral("mnpFichier"));
}

TEST(MainWindow, ToolbarAndStatusBar)
{
    ProgramFolder folder;
    TfrmKivMain w;

    const struct {
        QToolButton* button;
        const char* name;
        const char* hint;
        bool visible;
        QAction* action;
    } buttons[] = {
        {w.btnBudget, "btnBudget", "Mise à jour des budgets", true, w.mnBudget},
        {w.btnTransfert, "btnTransfert", "Transferts", true, w.mnListTrans},
        {w.btnFact, "btnFact", "Saisie des Factures", true, w.mnFactures},
        {w.btnEng, "btnEng", "Engagements dépense", true, w.mnEng_Dep},
        {w.btnMandat, "btnMandat", "Mandats de paiement", true, w.mnMandat},
        {w.btnFour, "btnFour", "Bénéficiaires", true, w.mnBenef},
        {w.btnSave, "btnSave", "Sauvegarder", true, nullptr},
        {w.btnPPO_Regul, "btnPPO_Regul", "PPO - Régularisation", false, nullptr},
        {w.btnPrint, "btnPrint", "Imprimer", false, nullptr},
        {w.btnFermer, "btnFermer", "Quitter l'application", true, nullptr},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(b.button->objectName(), QString::fromLatin1(b.name));
        EXPECT_EQ(b.button->toolTip(), QString::fromUtf8(b.hint));
        EXPECT_EQ(b.button->isVisibleTo(w.pnlButton), b.visible);
        EXPECT_FALSE(b.button->icon().isNull());
        if (b.action) {
            // Buttons are not filtered by rights: a hidden item still runs.
            // The item's own window is not opened here: only the link is checked.
            QObject::disconnect(b.action, &QAction::triggered, nullptr, nullptr);
            b.action->setVisible(false);
            int triggered = 0;
            auto c = QObject::connect(b.action, &QAction::triggered, [&] { ++triggered; });
            b.button->click();
            EXPECT_EQ(triggered, 1);
            QObject::disconnect(c);
        }
    }

    const int widths[5] = {80, 40, 120, 50, 300};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w.StatusPanel(i)->width(), widths[i]) << i;
        EXPECT_EQ(w.StatusPanel(i)->alignment() & Qt::AlignHorizontal_Mask,
                  i < 3 ? Qt::AlignHCenter : Qt::AlignLeft) << i;
    }
}

TEST(MainWindow, DatabaseFolderOfAPath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/data/vorel/KIV_DB_2024.FDB", "/data/vorel/"},
        {"192.0.2.7:/srv/KIV_DB_2024.FDB", "192.0.2.7:/srv/"},
        {"C:\\Vorel\\KIV_DB_2024.FDB", "C:\\Vorel\\"},
        {"KIV_DB_2024.FDB", ""},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(TfrmKivMain::DatabaseFolder(QString::fromLatin1(path)), QString::fromLatin1(folder)) << path;
}

TEST(MainWindow, ClosingAsksAndWritesTheFourKeysThenDestructionWritesThree)
{
    ProgramFolder folder;
    MessageRecorder messages;
    auto w = std::make_unique<TfrmKivMain>();
    DbWorkDir = QStringLiteral("/base/");
    DbPath = QStringLiteral("/base/KIV_DB_2031.FDB");
    FiscalYear = QStringLiteral("2031");
    CurrentUserCode = QStringLiteral("SAMIA");
    const QString param = QStringLiteral("PARAM");
    auto key = [&](const char* k) { return IniReadString(folder.iniPath(), param, QString::fromLatin1(k)); };

    // Esc asks; No keeps the window open and writes nothing.
    messages.answer(mrNo);
    sendKey(w.get(), Qt::Key_Escape);
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_EQ(messages.calls()[0].text, kQuitQuestion);
    EXPECT_EQ(messages.calls()[0].type, mtConfirmation);
    EXPECT_EQ(messages.calls()[0].buttons, MsgButton::Yes | MsgButton::No);
    EXPECT_TRUE(key("DB_WORKDIR").isEmpty());

    // Yes closes and writes the four keys.
    messages.answer(mrYes);
    w->mnQuitter0->trigger();
    EXPECT_EQ(messages.calls().size(), 2);
    EXPECT_EQ(key("DB_WORKDIR"), QStringLiteral("/base/"));
    EXPECT_EQ(key("DB_PATH"), QStringLiteral("/base/KIV_DB_2031.FDB"));
    EXPECT_EQ(key("EXER"), QStringLiteral("2031"));
    EXPECT_EQ(key("USERID"), QStringLiteral("SAMIA"));

    // The destruction writes the path, the year and the user again, not the folder.
    DbWorkDir = QStringLiteral("/other/");
    DbPath = QStringLiteral("/other/KIV_DB_2032.FDB");
    FiscalYear = QStringLiteral("2032");
    CurrentUserCode = QStringLiteral("KARIM");
    w.reset();
    EXPECT_EQ(key("DB_WORKDIR"), QStringLiteral("/base/"));
    EXPECT_EQ(key("DB_PATH"), QStringLiteral("/other/KIV_DB_2032.FDB"));
    EXPECT_EQ(key("EXER"), QStringLiteral("2032"));
    EXPECT_EQ(key("USERID"), QStringLiteral("KARIM"));
    EXPECT_EQ(messages.calls().size(), 2);
}

TEST(MainWindow, ApplicationKeys)
{
    ProgramFolder folder;
    MessageRecorder messages;
    TfrmKivMain w;
    int sqlRequests = 0;
    QObject::connect(&w, &TfrmKivMain::SqlConsoleKey, [&] { ++sqlRequests; });

    // F5 is taken and does nothing.
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(w.lClient, &f5);
    EXPECT_TRUE(messages.calls().isEmpty());

    // Left Shift + left Ctrl + S asks for the SQL console; the right-hand keys do not.
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    sendKey(&w, Qt::Key_S, shiftCtrl);
    EXPECT_EQ(sqlRequests, 1);
    pressKey(&w, Qt::Key_Shift, Qt::ShiftModifier, 62);
    pressKey(&w, Qt::Key_Control, shiftCtrl, 105);
    sendKey(&w, Qt::Key_S, shiftCtrl);
    EXPECT_EQ(sqlRequests, 1);
    pressKey(&w, Qt::Key_Shift, shiftCtrl, 50);
    pressKey(&w, Qt::Key_Control, shiftCtrl, 37);
    sendKey(&w, Qt::Key_S, shiftCtrl);
    EXPECT_EQ(sqlRequests, 2);
    sendKey(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(sqlRequests, 2);

    // Esc from another window that has no key handling of its own asks to quit.
    messages.answer(mrNo);
    QWidget other;
    sendKey(&other, Qt::Key_Escape);
    EXPECT_EQ(messages.texts(), QStringList{kQuitQuestion});

    // A window that handles its keys itself keeps Esc.
    messages.clear();
    QWidget console;
    console.setProperty("handlesOwnKeys", true);
    sendKey(&console, Qt::Key_Escape);
    EXPECT_TRUE(messages.calls().isEmpty());

    // Nor do the splash and the information window, shown while the program
    // starts or a database is made: Esc there neither asks to quit nor closes them.
    TfrmSplash splash;
    TfrmInfos infos;
    infos.show();
    sendKey(&splash, Qt::Key_Escape);
    sendKey(infos.lInfos, Qt::Key_Escape);
    EXPECT_TRUE(messages.calls().isEmpty());
    EXPECT_TRUE(infos.isVisible());
    infos.hide();

    // Esc in an open menu closes the menu, not the program.
    w.mnpFichier->popup(QPoint(10, 10));
    ASSERT_EQ(QApplication::activePopupWidget(), w.mnpFichier);
    sendKey(w.mnpFichier, Qt::Key_Escape);
    EXPECT_TRUE(messages.calls().isEmpty());
    w.mnpFichier->hide();

    // While a modal window is open the keys are not the main window's.
    QDialog modal;
    modal.setModal(true);
    modal.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &modal);
    sendKey(&w, Qt::Key_Escape);
    sendKey(&w, Qt::Key_S, shiftCtrl);
    EXPECT_TRUE(messages.calls().isEmpty());
    EXPECT_EQ(sqlRequests, 2);
    modal.hide();
}

TEST(MainWindow, F6OpensOneCalendarThatIsNotModal)
{
    ProgramFolder folder;
    MessageRecorder messages;
    TfrmKivMain w;
    auto calendars = [] {
        int n = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            n += qobject_cast<TfrmCalendar*>(top) && top->isVisible();
        return n;
    };
    ASSERT_EQ(calendars(), 0);
    sendKey(&w, Qt::Key_F6);
    sendKey(w.lClient, Qt::Key_F6);
    EXPECT_EQ(calendars(), 1);
    TfrmCalendar* calendar = TfrmCalendar::Existing();
    ASSERT_NE(calendar, nullptr);
    EXPECT_FALSE(calendar->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Esc in that calendar asks whether to quit the application.
    messages.answer(mrNo);
    sendKey(calendar, Qt::Key_Escape);
    EXPECT_EQ(messages.texts(), QStringList{kQuitQuestion});
    EXPECT_TRUE(calendar->isVisible());

    // Once closed, F6 opens a new one.
    calendar->close();
    ProcessMessages();
    EXPECT_EQ(calendars(), 0);
    sendKey(&w, Qt::Key_F6);
    EXPECT_EQ(calendars(), 1);
}

TEST(MainWindow, ConsultationIsUnderConstruction)
{
    ProgramFolder folder;
    MessageRecorder messages;
    TfrmKivMain w;
    w.mnConsBud->trigger();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Module en construction !")});
}

TEST(MainWindow, MiseEnPageOpensTheLayoutEditor)
{
    ProgramFolder folder;
    MessageRecorder messages;
    TfrmKivMain w;
    QString opened;
    OnNextModal([&](QDialog* d) {
        opened = d->objectName() + QLatin1Char(' ') + d->windowTitle();
        d->reject();
    });
    w.mnMEP->trigger();
    EXPECT_EQ(opened, QStringLiteral("frmReport Mise en page"));
    EXPECT_TRUE(StopPendingModalWatches());
}

TEST(InformationWindow, HeightFollowsTheProgressBarAndTheBarStartsAtZero)
{
    for (bool barShown : {true, false}) {
        TfrmInfos infos;
        infos.pBar->setMaximum(10);
        infos.pBar->setValue(7);
        infos.pBar->setVisible(barShown);
        infos.lInfos->setText(QStringLiteral("Création de la base de données..."));
        infos.show();
        EXPECT_EQ(infos.pBar->value(), 0);
        EXPECT_EQ(infos.pBar->minimum(), 0);
        if (barShown)
            EXPECT_GT(infos.height(), TfrmInfos::HeightWithoutBar);
        else
            EXPECT_EQ(infos.height(), TfrmInfos::HeightWithoutBar);
        EXPECT_EQ(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
                  Qt::WaitCursor);
        infos.hide();
        QApplication::restoreOverrideCursor();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}
