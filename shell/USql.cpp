#include "shell/USql.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "db/TextCodec.h"
#include "platform/FilePicker.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

namespace {

QPointer<TfrmSql>& console()
{
    static QPointer<TfrmSql> instance;
    return instance;
}

} // namespace

TfrmSql::TfrmSql(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSql"));
    setWindowTitle(QStringLiteral("SQL"));
    setModal(false);
    // Esc hides the console: it is no key of the main window's.
    setProperty("handlesOwnKeys", true);
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    resize(760, 520);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    Memo1->viewport()->installEventFilter(this);

    btnExec = MakeButton(this, "btnExec", QStringLiteral("Exec"));
    btnOpen = MakeButton(this, "btnOpen", QStringLiteral("Open"));
    btnSqlProc = MakeButton(this, "btnSqlProc", QStringLiteral("SqlProc"));
    btnPrior = MakeButton(this, "btnPrior", QStringLiteral("<"), QStringLiteral("Texte précédent"));
    btnNext = MakeButton(this, "btnNext", QStringLiteral(">"), QStringLiteral("Texte suivant"));

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {btnExec, btnOpen, btnSqlProc})
        buttons->addWidget(b);
    auto* history = new QHBoxLayout;
    history->addWidget(btnPrior);
    history->addWidget(btnNext);
    buttons->addLayout(history);
    buttons->addStretch();

    auto* top = new QWidget(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(Memo1, 1);
    topLayout->addLayout(buttons);

    grdSQL = new QTableView(this);
    grdSQL->setObjectName(QStringLiteral("grdSQL"));
    grdSQL->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSQL->setContextMenuPolicy(Qt::CustomContextMenu);
    grdSQL->verticalHeader()->setDefaultSectionSize(20);
    m_model = new TSqlResultModel(this);
    grdSQL->setModel(m_model);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(top);
    Splitter1->addWidget(grdSQL);
    Splitter1->setSizes({180, 320});

    stBar = new TStatusBar({60, 90, 90, 120}, this);

    auto* main = new QVBoxLayout(this);
    main->addWidget(Splitter1, 1);
    main->addWidget(stBar);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    mnOpen = MakeCommand(this, "mnOpen", QStringLiteral("Ouvrir"), [this] { btnOpenClick(); });
    mnExec = MakeCommand(this, "mnExec", QStringLiteral("Exécuter"), [this] { btnExecClick(); });
    mnProc = MakeCommand(this, "mnProc", QStringLiteral("Processor"), [this] { btnSqlProcClick(); });
    mnLoad = MakeCommand(this, "mnLoad", QStringLiteral("Charger un fichier"), [this] { LoadFile(); });
    for (QAction* a : {mnOpen, mnExec, mnProc})
        PopMenu->addAction(a);
    PopMenu->addSeparator();
    PopMenu->addAction(mnLoad);
    PopMenu->addAction(QStringLiteral("Sauvegarder"))->setObjectName(QStringLiteral("mnSauvegarder"));
    PopMenu->addAction(QStringLiteral("Update Titre Perc"))->setObjectName(QStringLiteral("mnUpdateTitrePerc"));
    for (QWidget* w : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(grdSQL)})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { PopMenu->popup(w->mapToGlobal(at)); });

    BindButton(btnExec, mnExec);
    BindButton(btnOpen, mnOpen);
    BindButton(btnSqlProc, mnProc);
    connect(btnPrior, &QPushButton::clicked, this, Guarded([this] { btnPriorClick(); }));
    connect(btnNext, &QPushButton::clicked, this, Guarded([this] { btnNextClick(); }));
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { UpdateStates(); });

    m_session = std::make_unique<TSqlSession>(m_model);
    connect(DM, &TDM::ConnectionClosing, this, [this] { ConnectionClosing(); });
    UpdateStates();
}

TfrmSql::~TfrmSql() = default;

TfrmSql* TfrmSql::ShowConsole(QWidget* parent)
{
    if (!console())
        console() = new TfrmSql(parent);
    console()->show();
    console()->raise();
    console()->activateWindow();
    return console();
}

TfrmSql* TfrmSql::Existing()
{
    return console();
}

bool TfrmSql::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        RunGuarded([this] { LoadFile(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSql::UpdateStates()
{
    const bool text = !Memo1->toPlainText().trimmed().isEmpty();
    for (QAction* run : {mnExec, mnOpen, mnProc})
        run->setEnabled(text);
    btnPrior->setEnabled(!m_history.isEmpty() && m_position > 0);
    btnNext->setEnabled(!m_history.isEmpty() && m_position < m_history.size() - 1);
}

void TfrmSql::ConnectionClosing()
{
    m_session->Close();
}

void TfrmSql::btnExecClick()
{
    Run(RunKind::Exec);
}

void TfrmSql::btnOpenClick()
{
    Run(RunKind::Open);
}

void TfrmSql::btnSqlProcClick()
{
    Run(RunKind::Script);
}

void TfrmSql::btnPriorClick()
{
    if (m_position <= 0 || m_history.isEmpty())
        return;
    --m_position;
    Memo1->setPlainText(m_history.at(std::min(m_position, int(m_history.size()) - 1)));
    UpdateStates();
}

void TfrmSql::btnNextClick()
{
    if (m_history.isEmpty() || m_position >= m_history.size() - 1)
        return;
    ++m_position;
    Memo1->setPlainText(m_history.at(m_position));
    UpdateStates();
}

void TfrmSql::Run(RunKind kind)
{
    const QString text = Memo1->toPlainText();
    if (text.trimmed().isEmpty())
        return;
    stBar->SetPanel(1, QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    stBar->SetPanel(2, QString());
    stBar->SetPanel(3, QString());
    TWaitCursor wait;
    if (kind != RunKind::Script) {
        m_history << text;
        ++m_position;
        UpdateStates();
    }
    QElapsedTimer clock;
    clock.start();
    // The end of the run is timed whether it succeeded or not.
    struct Timing {
        TfrmSql* console;
        QElapsedTimer& clock;
        ~Timing()
        {
            console->stBar->SetPanel(2, QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
            console->stBar->SetPanel(3, QTime(0, 0).addMSecs(int(clock.elapsed())).toString(QStringLiteral("hh:mm:ss.zzz")));
        }
    } timing{this, clock};

    // The grid lets the previous result go before anything runs.
    m_session->Close();
    switch (kind) {
    case RunKind::Exec:
        m_session->Exec(text);
        break;
    case RunKind::Open:
        m_session->Open(text, FirstRows);
        break;
    case RunKind::Script:
        m_session->RunScript(text);
        break;
    }
}

void TfrmSql::LoadFile()
{
    const std::optional<QString> path = platform::PickFileToOpen(
        this, QStringLiteral("Charger un fichier"), AppDir, QStringLiteral("Text files (*.txt);;All files (*)"));
    if (path)
        LoadFile(*path);
}

void TfrmSql::LoadFile(const QString& path)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (file.error() != QFile::NoError || bytes.contains('\0')) {
        ShowInfo(QStringLiteral("Mauvais format de fichier !"));
        return;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    Memo1->setPlainText(IsValidUtf8(bytes) ? QString::fromUtf8(bytes) : DecodeWindows1252(bytes));
    UpdateStates();
}
