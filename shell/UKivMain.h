#pragma once
// The main window: the frame every other window of the program is opened from.
// Its client area only tiles the background picture; it carries the toolbar,
// the bottom panel with the faculty name and the fiscal year, the status bar
// and the main menu. Its creation fills the global state from the settings
// file (it never touches the database); its first showing runs the login and
// the menu rights; closing it asks for confirmation and saves the database
// location, the fiscal year and the last user.

#include <QMainWindow>
#include <QPixmap>

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QStatusBar;
class QToolButton;
class TGradient;

// The client area: tiles the background picture from the top-left corner at
// its natural size and carries the corner picture at its bottom-left.
class TClientArea : public QWidget {
    Q_OBJECT
public:
    explicit TClientArea(const QPixmap* picture, QWidget* parent = nullptr);
    QLabel* imgCorner = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const QPixmap* m_picture;
};

class TfrmKivMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmKivMain(QWidget* parent = nullptr);
    ~TfrmKivMain() override;

    // What a close writes to the settings file (database folder and path,
    // fiscal year, user); also run when the system asks the program to end.
    void FormClose();

    // Picture holder, never shown: the tiled background of the client area.
    QPixmap BackGround;

    TClientArea* ClientArea = nullptr;
    QWidget* pnlButton = nullptr;
    TGradient* gdButton = nullptr;
    QWidget* pnlBottom = nullptr;
    QLabel* lClient = nullptr;
    QLabel* lFiscalYear = nullptr;
    QStatusBar* stBar = nullptr;
    // The five status panels (widths 80, 40, 120, 50, 300).
    QLabel* StatusPanel(int index) const { return m_panels[index]; }

    // Toolbar (speed buttons).
    QToolButton* btnBudget = nullptr;
    QToolButton* btnTransfert = nullptr;
    QToolButton* btnFact = nullptr;
    QToolButton* btnEng = nullptr;
    QToolButton* btnMandat = nullptr;
    QToolButton* btnFour = nullptr;
    QToolButton* btnSave = nullptr;
    QToolButton* btnPPO_Regul = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnFermer = nullptr;

    // Main menu, built from its table (MainMenu.cpp). Every item is a QAction
    // whose object name is the item's component name; submenus are QMenus whose
    // menuAction() carries the submenu's name. The dynamic property "tag" is
    // positive for the items the access rights never manage, 0 for the others.
    QMenu* mnpFichier = nullptr;
    QAction* mnBenef = nullptr;
    QAction* mnGrades = nullptr;
    QAction* mnBanque = nullptr;
    QAction* mnAgence = nullptr;
    QAction* mnFNM = nullptr;
    QAction* mnRetenues = nullptr;
    QAction* mnPJ = nullptr;
    QAction* mnObs = nullptr;
    QAction* mnWilaya = nullptr;
    QAction* mnChangerImage = nullptr;
    QAction* mnRestaurerImage = nullptr;
    QAction* mnMEP = nullptr;
    QAction* itemPrint = nullptr;
    QAction* itemPrinterSetup = nullptr;
    QAction* mnQuitter0 = nullptr;

    QMenu* mnpBudget = nullptr;
    QAction* mnBudget = nullptr;
    QAction* mnTransfert = nullptr;
    QAction* mnListTrans = nullptr;
    QAction* mnEpurCrdRegie = nullptr;
    QAction* mnConsBud = nullptr;
    QAction* mnSF = nullptr;

    QMenu* mnpDpenses = nullptr;
    QAction* mnListingDep = nullptr;
    QAction* mnFactures = nullptr;
    QAction* itemInvoiceListing = nullptr;
    QAction* mnAutreDep = nullptr;
    QAction* itemOtherExpenseListing = nullptr;
    QAction* mnDepSalaire = nullptr;
    QAction* itemSalaryToPayListing = nullptr;
    QAction* itemSalaryToCommit = nullptr;
    QAction* itemSalaryToCommitListing = nullptr;

    QMenu* mnpEngagement = nullptr;
    QAction* mnEng_Dep = nullptr;
    QAction* mnEng_Eco = nullptr;
    QAction* mnEng_List = nullptr;
    QAction* mnEng_List_Tree = nullptr;
    QAction* mnEng_Reg = nullptr;

    QMenu* mnpMandat = nullptr;
    QAction* mnMandat = nullptr;
    QAction* mnListMdt = nullptr;
    QAction* itemOrderTree = nullptr;

    QMenu* mnOptions = nullptr;
    QAction* mnParam = nullptr;
    QAction* itemChangeYear = nullptr;
    QAction* mnSave = nullptr;
    QAction* mnRestore = nullptr;
    QAction* mnSQL = nullptr;
    QAction* mnConnection = nullptr;
    QAction* mnChangePassWord = nullptr;
    QAction* mnUsers = nullptr;
    QAction* mnSecurite = nullptr;
    QAction* mnConnect = nullptr;

    QAction* mnApropos0 = nullptr;

    // Status panel 4: the folder of DbPath (after a change of connection).
    void ShowDatabaseFolder();
    // The folder part of a database path, separator kept ("" when none).
    static QString DatabaseFolder(const QString& dbPath);

    // Background picture change: loads `fileName`, copies it into the program
    // folder under its own name and records it in [PARAMS] IMAGE.
    void ChangeBackgroundImage(const QString& fileName);
    void RestoreBackgroundImage();

    // The printer that "Configuration de l'imprimante" sets up, for the
    // documents printed afterwards.
    static QPrinter& SharedPrinter();

    // Keys handled for the whole application while no modal window is open:
    // Esc closes the main window, F5 is taken and does nothing, F6 opens the
    // calendar, left Shift + left Ctrl + S asks for the SQL console.
    // A window that handles those keys itself sets the dynamic property
    // "handlesOwnKeys" to true.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Left Shift + left Ctrl + S: asks for the SQL console, which opens like
    // mnSQL for the users that item is shown to.
    void SqlConsoleKey();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildForm();
    // Builds the menu from its table (MainMenu.cpp) and wires every item and
    // the tool-bar buttons that run one.
    void BuildMenu();
    void BuildToolbar();
    void BuildBottomPanel();
    void BuildStatusBar();

    void FormCreate();
    void LoadBackgroundPicture();
    // The first showing; false when the program must end without showing the window.
    bool FormShow();
    // The login dialog, shown modally at the first showing; false unless it
    // returned OK.
    bool RunLogin();
    // Sets the visibility of every menu item from the logged-in user's rights.
    void ApplyMenuRights();
    bool FormCloseQuery();
    void FormDestroy();

    void mnChangerImageClick();
    void mnRestaurerImageClick();
    void Configurationdelimprimante1Click();
    void mnConsBudClick();
    void mnApropos0Click();
    void OpenCalendar();

    QLabel* m_panels[5] = {};
    bool m_firstShowDone = false;
    bool m_leftShiftDown = false, m_rightShiftDown = false;
    bool m_leftCtrlDown = false, m_rightCtrlDown = false;
};

// The one instance, created at start-up.
extern TfrmKivMain* frmKivMain;
