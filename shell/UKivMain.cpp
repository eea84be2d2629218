#include "shell/UKivMain.h"

#include "controls/FxLabel.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "shell/Startup.h"
#include "ui/UCalendar.h"
#include "security/Rights.h"
#include "security/UPassWord.h"
#include "shell/USplashEx.h"
#include "controls/Gradient.h"
#include "reports/budget/DecisionTemplate.h"
#include "reports/engine/PagePainter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmKivMain* frmKivMain = nullptr;

namespace {

const QString kBuiltInBackground = QStringLiteral(":/images/background.bmp");
const QString kImageWarning = QStringLiteral("Format d'image incorrect !");
const QString kImageNextStart = QStringLiteral("L'image sera active au prochain démarrage du programme");

// Scan codes of the right-hand Shift and Ctrl keys on X11 and Wayland; every
// other code (the left keys, or none on platforms that give none) counts as left.
constexpr quint32 kRightShiftScanCode = 62;
constexpr quint32 kRightCtrlScanCode = 105;

constexpr int kButtonBarHeight = 36;
constexpr int kBottomPanelHeight = 26;

}  // namespace

// ---------------------------------------------------------------------------
// Client area

TClientArea::TClientArea(const QPixmap* picture, QWidget* parent)
    : QWidget(parent), m_picture(picture)
{
    setObjectName(QStringLiteral("ClientArea"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    imgCorner = new QLabel(this);
    imgCorner->setObjectName(QStringLiteral("Image1"));
    const QPixmap corner(QStringLiteral(":/images/corner.png"));
    imgCorner->setPixmap(corner);
    imgCorner->resize(corner.size());
}

void TClientArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture->isNull() || m_picture->width() <= 0 || m_picture->height() <= 0) {
        painter.fillRect(rect(), palette().color(QPalette::Dark));
        return;
    }
    // Rows from the top and columns from the left at the picture's own size.
    const int rows = height() / m_picture->height() + 1;
    const int cols = width() / m_picture->width() + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            painter.drawPixmap(c * m_picture->width(), r * m_picture->height(), *m_picture);
}

void TClientArea::resizeEvent(QResizeEvent* event)
{
    imgCorner->move(0, height() - imgCorner->height());
    update();
    QWidget::resizeEvent(event);
}

// ---------------------------------------------------------------------------
// Creation

TfrmKivMain::TfrmKivMain(QWidget* parent)
    : QMainWindow(parent)
{
    frmKivMain = this;
    InitProgramResources();
    BuildForm();
    qApp->installEventFilter(this);
    RunGuarded([this] { FormCreate(); });
}

TfrmKivMain::~TfrmKivMain()
{
    qApp->removeEventFilter(this);
    RunGuarded([this] { FormDestroy(); });
    if (frmKivMain == this)
        frmKivMain = nullptr;
}

void TfrmKivMain::BuildForm()
{
    setObjectName(QStringLiteral("frmKivMain"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setWindowIcon(QIcon(QStringLiteral(":/images/vorel.png")));
    resize(800, 560);

    BackGround.load(kBuiltInBackground);

    auto* frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("MainFrame"));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    BuildToolbar();
    layout->addWidget(pnlButton);

    ClientArea = new TClientArea(&BackGround, frame);
    layout->addWidget(ClientArea, 1);

    BuildBottomPanel();
    layout->addWidget(pnlBottom);

    setCentralWidget(frame);
    BuildStatusBar();
    BuildMenu();
}

void TfrmKivMain::BuildToolbar()
{
    // The button bar: a reflected gradient from white along the middle to
    // silver at the edges, the speed buttons over it.
    pnlButton = new QWidget;
    pnlButton->setObjectName(QStringLiteral("pnlButton"));
    pnlButton->setFixedHeight(kButtonBarHeight);

    gdButton = new TGradient(pnlButton);
    gdButton->setObjectName(QStringLiteral("Gradient1"));
    gdButton->BeginUpdate();
    gdButton->SetStyle(gsReflectedH);
    gdButton->SetColorBegin(Qt::white);
    gdButton->SetColorEnd(QColor(0xC0, 0xC0, 0xC0));
    gdButton->EndUpdate();

    auto button = [this](const char* name, const char* glyph, const QString& hint) {
        auto* b = new QToolButton(pnlButton);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoRaise(true);
        b->setIcon(QIcon(QStringLiteral(":/images/glyphs/%1.png").arg(QLatin1String(glyph))));
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(32, 32);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    btnBudget = button("btnBudget", "budget", QStringLiteral("Mise à jour des budgets"));
    btnTransfert = button("btnTransfert", "transfert", QStringLiteral("Transferts"));
    btnFact = button("btnFact", "fact", QStringLiteral("Saisie des Factures"));
    btnEng = button("btnEng", "eng", QStringLiteral("Engagements dépense"));
    btnMandat = button("btnMandat", "mandat", QStringLiteral("Mandats de paiement"));
    btnFour = button("btnFour", "four", QStringLiteral("Bénéficiaires"));
    btnSave = button("btnSave", "save", QStringLiteral("Sauvegarder"));
    btnPPO_Regul = button("btnPPO_Regul", "ppo_regul", QStringLiteral("PPO - Régularisation"));
    btnPrint = button("btnPrint", "print", QStringLiteral("Imprimer"));
    btnFermer = button("btnFermer", "fermer", QStringLiteral("Quitter l'application"));
    btnPPO_Regul->hide();
    btnPrint->hide();

    // Left to right with a gap between the groups; btnFermer keeps to the right edge.
    int x = 4;
    for (QToolButton* b : {btnBudget, btnTransfert, btnFact, btnEng, btnMandat, btnFour}) {
        b->move(x, 2);
        x += 34;
    }
    x += 10;
    btnSave->move(x, 2);
    btnPPO_Regul->move(x + 34, 2);
    btnPrint->move(x + 68, 2);

    class Anchor : public QObject {
    public:
        Anchor(TfrmKivMain* w) : QObject(w->pnlButton), m_w(w) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Resize) {
                m_w->gdButton->setGeometry(m_w->pnlButton->rect());
                m_w->btnFermer->move(m_w->pnlButton->width() - m_w->btnFermer->width() - 4, 2);
            }
            return false;
        }
        TfrmKivMain* m_w;
    };
    pnlButton->installEventFilter(new Anchor(this));
}

void TfrmKivMain::BuildBottomPanel()
{
    // Two gradients side by side under the faculty name and the fiscal year.
    pnlBottom = new QWidget;
    pnlBottom->setObjectName(QStringLiteral("Panel1"));
    pnlBottom->setFixedHeight(kBottomPanelHeight);

    auto* left = new TGradient(pnlBottom);
    left->setObjectName(QStringLiteral("Gradient2"));
    auto* right = new TGradient(pnlBottom);
    right->setObjectName(QStringLiteral("Gradient3"));
    for (TGradient* g : {left, right}) {
        g->BeginUpdate();
        g->SetStyle(gsReflectedV);
        g->SetColorBegin(Qt::white);
        g->SetColorEnd(QColor(0xC0, 0xC0, 0xC0));
        g->EndUpdate();
    }

    QFont bold(QStringLiteral("Verdana"), 9, QFont::Bold);
    lFiscalYear = MakeEffectLabel(pnlBottom, "lExer1", QString(), tsRecessed, QColor(0x80, 0, 0));
    lFiscalYear->setFont(bold);
    lFiscalYear->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lClient = MakeEffectLabel(pnlBottom, "lClient", QString(), tsRecessed, QColor(0, 0, 0x80));
    lClient->setFont(bold);
    lClient->setAlignment(Qt::AlignCenter);

    class Layout : public QObject {
    public:
        Layout(QWidget* panel, TGradient* l, TGradient* r, QLabel* exer, QLabel* client)
            : QObject(panel), m_panel(panel), m_l(l), m_r(r), m_exer(exer), m_client(client) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Resize) {
                const int w = m_panel->width(), h = m_panel->height();
                m_l->setGeometry(0, 0, w / 2, h);
                m_r->setGeometry(w / 2, 0, w - w / 2, h);
                m_exer->setGeometry(8, 0, 160, h);
                m_client->setGeometry(0, 0, w, h);
                m_exer->raise();
            }
            return false;
        }
        QWidget* m_panel;
        TGradient* m_l;
        TGradient* m_r;
        QLabel* m_exer;
        QLabel* m_client;
    };
    pnlBottom->installEventFilter(new Layout(pnlBottom, left, right, lFiscalYear, lClient));
}

void TfrmKivMain::BuildStatusBar()
{
    stBar = new QStatusBar(this);
    stBar->setObjectName(QStringLiteral("stBar"));
    stBar->setSizeGripEnabled(true);
    static constexpr int widths[5] = {80, 40, 120, 50, 300};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(stBar);
        panel->setObjectName(QStringLiteral("stBarPanel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment((i < 3 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        stBar->addWidget(panel);
        m_panels[i] = panel;
    }
    setStatusBar(stBar);
}

void TfrmKivMain::FormCreate()
{
    // Program folder, settings file, temporary folder.
    SetProgramFolders();

    // The temporary folder must exist; otherwise the rest of the creation is skipped.
    if (!EnsureTempDir()) {
        ShowMessageBox(QStringLiteral("Impossible de créer le répertoire : ") + TempDir + QStringLiteral("\r"),
                       mtError, MsgButton::OK);
        Abort();
    }

    // Regional settings of the current user.
    WriteRegionalSettings();

    // Installation values.
    SetInstallationValues();

    // Credit-shortage policies and colours.
    SetDefaultPolicies();
    ProcessMessages();
    SetEditColours();

    // Background picture.
    LoadBackgroundPicture();

    // "Firebird.conf" and the settings file.
    WriteFirebirdConf();
    if (const QString unreadable = ReadSettings(); !unreadable.isEmpty())
        ShowMessageBox(unreadable, mtWarning, MsgButton::OK);
    // The transfer decision's template, when the program folder has none.
    InstallDefaultDecisionTemplate(AppDir);

    // Texts of the title, the bottom panel and the status panels.
    m_panels[3]->setText(QStringLiteral("NT"));
    lFiscalYear->setText(QStringLiteral("Exercice : ") + FiscalYear);
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    lClient->setText(FacultyName);
    m_panels[0]->setText(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    m_panels[1]->setText(FiscalYear);
    m_panels[2]->setText(VersionLabel);
    ShowDatabaseFolder();

    // The most lines of one document, the window maximised, no hourglass left.
    ProcessMessages();
    MaxDocLines = 25;
    setWindowState(windowState() | Qt::WindowMaximized);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TfrmKivMain::LoadBackgroundPicture()
{
    const QString name = IniReadString(IniPath, QStringLiteral("PARAMS"), QStringLiteral("IMAGE")).trimmed();
    if (name.isEmpty())
        return;
    QImage picture;
    if (!picture.load(AppDir + name)) {
        ShowMessageBox(kImageWarning, mtWarning, MsgButton::OK);
        return;
    }
    BackGround = QPixmap::fromImage(picture);
}

QString TfrmKivMain::DatabaseFolder(const QString& dbPath)
{
    const int cut = std::max({dbPath.lastIndexOf(QLatin1Char('/')), dbPath.lastIndexOf(QLatin1Char('\\')),
                              dbPath.lastIndexOf(QLatin1Char(':'))});
    return cut < 0 ? QString() : dbPath.left(cut + 1);
}

void TfrmKivMain::ShowDatabaseFolder()
{
    m_panels[4]->setText(DatabaseFolder(DbPath));
}

// ---------------------------------------------------------------------------
// First showing

void TfrmKivMain::setVisible(bool visible)
{
    if (visible && !m_firstShowDone) {
        m_firstShowDone = true;
        bool proceed = false;
        RunGuarded([&] { proceed = FormShow(); });
        if (!proceed) {
            // Refused login: the program ends without showing the window.
            QCoreApplication::exit(0);
            return;
        }
    }
    QMainWindow::setVisible(visible);
}

bool TfrmKivMain::FormShow()
{
    // Login; a refused login ends the start-up.
    if (!RunLogin())
        return false;
    // The client area paints the background itself (TClientArea); the menu
    // items follow the user's rights.
    ProcessMessages();
    ApplyMenuRights();
    ProcessMessages();
    return true;
}

bool TfrmKivMain::RunLogin()
{
    // The login dialog runs here, modally; any result but OK ends the program.
    return TfrmPassWord::Execute() == mrOk;
}

void TfrmKivMain::ApplyMenuRights()
{
    // The visibility of every menu item is set here from the user's rights.
    ::ApplyMenuRights(menuBar());
}

// ---------------------------------------------------------------------------
// Closing

void TfrmKivMain::closeEvent(QCloseEvent* event)
{
    bool canClose = false;
    RunGuarded([&] { canClose = FormCloseQuery(); });
    if (!canClose) {
        event->ignore();
        return;
    }
    RunGuarded([this] { FormClose(); });
    event->accept();
    // Closing the main window ends the program, whatever other window is open.
    QCoreApplication::quit();
}

bool TfrmKivMain::FormCloseQuery()
{
    return ShowMessageBox(QStringLiteral("Voulez-vous, réellement, quitter l'application ?"), mtConfirmation,
                          MsgButton::Yes | MsgButton::No)
           == mrYes;
}

void TfrmKivMain::FormClose()
{
    const QString param = QStringLiteral("PARAM");
    IniWriteString(IniPath, param, QStringLiteral("DB_WORKDIR"), DbWorkDir);
    IniWriteString(IniPath, param, QStringLiteral("DB_PATH"), DbPath);
    IniWriteString(IniPath, param, QStringLiteral("EXER"), FiscalYear);
    IniWriteString(IniPath, param, QStringLiteral("USERID"), CurrentUserCode);
}

void TfrmKivMain::FormDestroy()
{
    if (IniPath.isEmpty())
        return;
    const QString param = QStringLiteral("PARAM");
    IniWriteString(IniPath, param, QStringLiteral("DB_PATH"), DbPath);
    IniWriteString(IniPath, param, QStringLiteral("EXER"), FiscalYear);
    IniWriteString(IniPath, param, QStringLiteral("USERID"), CurrentUserCode);
}

// ---------------------------------------------------------------------------
// Keys

bool TfrmKivMain::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);

    // Which Shift and Ctrl keys are held.
    const bool press = type == QEvent::KeyPress;
    if (key->key() == Qt::Key_Shift) {
        (key->nativeScanCode() == kRightShiftScanCode ? m_rightShiftDown : m_leftShiftDown) = press;
        return false;
    }
    if (key->key() == Qt::Key_Control) {
        (key->nativeScanCode() == kRightCtrlScanCode ? m_rightCtrlDown : m_leftCtrlDown) = press;
        return false;
    }
    // Keys of a modal window, or of an open menu or list popup, are theirs.
    if (!press || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window()->property("handlesOwnKeys").toBool())
        return false;

    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    switch (key->key()) {
    case Qt::Key_Escape:
        if (mods != Qt::NoModifier)
            return false;
        RunGuarded([this] { close(); });
        return true;
    case Qt::Key_F5:
        return mods == Qt::NoModifier;
    case Qt::Key_F6:
        if (mods != Qt::NoModifier)
            return false;
        RunGuarded([this] { OpenCalendar(); });
        return true;
    case Qt::Key_S: {
        if (mods != (Qt::ShiftModifier | Qt::ControlModifier))
            return false;
        // Only the left-hand keys; a Shift or Ctrl known to be the right-hand
        // one alone does not count.
        const bool leftShift = m_leftShiftDown || !m_rightShiftDown;
        const bool leftCtrl = m_leftCtrlDown || !m_rightCtrlDown;
        if (!leftShift || !leftCtrl)
            return false;
        emit SqlConsoleKey();
        return true;
    }
    default:
        return false;
    }
}

void TfrmKivMain::OpenCalendar()
{
    // Not modal, one at a time; it lives until the user closes it.
    if (TfrmCalendar::Existing())
        return;
    auto* calendar = new TfrmCalendar(this);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    calendar->setModal(false);
    calendar->show();
}

// ---------------------------------------------------------------------------
// Menu handlers

void TfrmKivMain::mnChangerImageClick()
{
    const QString fileName = QFileDialog::getOpenFileName(
        this, QStringLiteral("Changer l'image d'accueil"), AppDir,
        QStringLiteral("Images (*.bmp *.jpg *.jpeg *.png *.gif);;Tous les fichiers (*)"));
    if (fileName.isEmpty())
        return;
    ChangeBackgroundImage(fileName);
}

void TfrmKivMain::ChangeBackgroundImage(const QString& fileName)
{
    const QPixmap previous = BackGround;
    bool done = false;
    try {
        QFile source(fileName);
        if (source.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = source.readAll();
            source.close();
            QImage picture;
            if (picture.loadFromData(bytes)) {
                BackGround = QPixmap::fromImage(picture);
                // A copy in the program folder under the chosen file's name.
                const QString name = QFileInfo(fileName).fileName();
                QSaveFile copy(AppDir + name);
                if (copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size() && copy.commit()) {
                    IniWriteString(IniPath, QStringLiteral("PARAMS"), QStringLiteral("IMAGE"), name);
                    done = true;
                }
            }
        }
    } catch (const std::exception&) {
        done = false;
    }
    if (!done) {
        BackGround = previous;
        ShowMessageBox(kImageWarning, mtWarning, MsgButton::OK);
        return;
    }
    ShowInfo(kImageNextStart);
}

void TfrmKivMain::mnRestaurerImageClick()
{
    RestoreBackgroundImage();
}

void TfrmKivMain::RestoreBackgroundImage()
{
    IniWriteString(IniPath, QStringLiteral("PARAMS"), QStringLiteral("IMAGE"), QString());
    ShowInfo(kImageNextStart);
}

QPrinter& TfrmKivMain::SharedPrinter()
{
    return rpt::SystemPrinter();
}

void TfrmKivMain::Configurationdelimprimante1Click()
{
    QPrintDialog dialog(&SharedPrinter(), this);
    dialog.setWindowTitle(QStringLiteral("Configuration de l'imprimante"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    // A setup, not a printing: the dialog's accept button says so.
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    dialog.exec();
}

void TfrmKivMain::mnConsBudClick()
{
    ShowInfo(QStringLiteral("Module en construction !"));
    Abort();
}

void TfrmKivMain::mnApropos0Click()
{
    TfrmSplashEx about(this);
    about.exec();
}
