#include "budget/SheetWindowParts.h"

#include "budget/SheetStore.h"
#include "budget/UFindFE.h"
#include "core/MessageBox.h"
#include "documents/DocumentBrowsing.h"
#include "ui/FormKit.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kFocusColor(193, 230, 249);   // $F9E6C1

} // namespace

void TSheetHeaderFields::Build(QWidget* panel, QGridLayout* grid, const QString& kind)
{
    edNoFiche = MakeEdit(panel, "edNoFiche", 4);
    edNoFiche->setFixedWidth(70);
    edNoFiche->setAlignment(Qt::AlignCenter);
    edDateE = MakeEdit(panel, "edDateE", 10);
    edDateE->setFixedWidth(90);
    btnGetDateEng = MakePickButton(panel, "btnGetDateEng", QStringLiteral("Calendrier"));
    edNoVisa = MakeEdit(panel, "edNoVisa", 20);
    edNoVisa->setFixedWidth(130);
    edDateVisa = MakeEdit(panel, "edDateVisa", 10);
    edDateVisa->setFixedWidth(90);
    btnGetDateVisa = MakePickButton(panel, "btnGetDateVisa", QStringLiteral("Calendrier"));
    auto* title = new QLabel(kind, panel);
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    title->setFont(big);
    grid->addWidget(MakeCaption(panel, QStringLiteral("N° Fiche : ")), 0, 0);
    grid->addLayout(MakeFieldRow({edNoFiche}), 0, 1);
    grid->addWidget(MakeCaption(panel, QStringLiteral("Date : ")), 0, 2);
    grid->addLayout(MakeFieldRow({edDateE, btnGetDateEng}), 0, 3);
    grid->addWidget(title, 0, 4, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    lObjet = title;
    lObjet->setObjectName(QStringLiteral("lObjet"));
    grid->addWidget(MakeCaption(panel, QStringLiteral("N° Visa : ")), 1, 0);
    grid->addLayout(MakeFieldRow({edNoVisa}), 1, 1);
    grid->addWidget(MakeCaption(panel, QStringLiteral("Date : ")), 1, 2);
    grid->addLayout(MakeFieldRow({edDateVisa, btnGetDateVisa}), 1, 3);
    grid->setColumnStretch(3, 1);
    const TDateFieldRules dateRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Today};
    AttachDateField(edDateE, btnGetDateEng, dateRules);
    AttachDateField(edDateVisa, btnGetDateVisa, dateRules);
}

void TSheetHeaderFields::Clear()
{
    for (QLineEdit* e : {edNoFiche, edDateE, edNoVisa, edDateVisa})
        e->clear();
}

void TSheetHeaderFields::Show(const TSheet& sheet)
{
    edNoFiche->setText(sheet.number);
    edDateE->setText(DateText(sheet.date));
    edNoVisa->setText(sheet.visaNumber);
    edDateVisa->setText(DateText(sheet.visaDate));
}

QLabel* AddBudgetLineRow(QWidget* panel, QGridLayout* grid)
{
    auto* lInt = new QLabel(panel);
    lInt->setObjectName(QStringLiteral("lInt"));
    QFont bold = lInt->font();
    bold.setBold(true);
    lInt->setFont(bold);
    lInt->setWordWrap(true);
    grid->addWidget(MakeCaption(panel, QStringLiteral("Imput.: ")), 2, 0);
    grid->addWidget(lInt, 2, 1, 1, 4);
    return lInt;
}

QFrame* BuildLineButtons(QWidget* window, QToolButton** add, QToolButton** remove, const QString& addText,
                         QAction* addCommand, const QString& removeHint, QAction* removeCommand, QHBoxLayout** row)
{
    auto* panel = new QFrame(window);
    panel->setObjectName(QStringLiteral("pnlDetail"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    auto* detail = new QHBoxLayout(panel);
    detail->setContentsMargins(4, 2, 4, 2);
    *add = MakeToolButton(panel, "btnModifDet", addText, QStringLiteral("Modifier les détails de l'engagement"),
                          QStyle::SP_FileDialogNewFolder);
    (*add)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BindButton(*add, addCommand);
    *remove = MakeToolButton(panel, "btnDelDet", QStringLiteral("Retirer"), removeHint, QStyle::SP_DialogDiscardButton);
    (*remove)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BindButton(*remove, removeCommand);
    detail->addWidget(*add);
    detail->addWidget(*remove);
    detail->addStretch(1);
    *row = detail;
    return panel;
}

TVerdict TakeTypedNumber(QLineEdit* edNoFiche, const std::function<bool(const QString&)>& taken)
{
    edNoFiche->setText(edNoFiche->text().trimmed());
    QString padded;
    if (TVerdict v = sheet::CheckNumber(edNoFiche->text(), &padded))
        return v;
    if (taken(padded))
        return TRefusal{sheet::NumberTakenRefusal, sheet::Number};
    edNoFiche->setText(padded);
    return std::nullopt;
}

TShownRow SheetShownRow(const std::optional<TSheet>& sheet)
{
    if (!sheet)
        return {};
    return TShownRow{QStringLiteral("ENT_ENG"), QStringLiteral("ID_ENG"), sheet->id};
}

void LocateFirstSheet(TDocumentKeyList* keys, qint64 idEng)
{
    if (idEng > 0) {
        if (!keys->LocateId(idEng))
            keys->setCurrentRow(0);
    } else {
        keys->setCurrentRow(keys->rowCount() - 1);
    }
}

bool AskSheetDeletion()
{
    return AskDeletionTwice(QStringLiteral("Etes-vous sûr de vouloir supprimer cette fiche ?"),
                            QStringLiteral("Confirmez la suppression définitive de cette fiche ?"));
}

QWidget* BuildObservationPanel(QWidget* parent, QPlainTextEdit** memo)
{
    auto* pnlObs = new QFrame(parent);
    pnlObs->setObjectName(QStringLiteral("pnlObs"));
    auto* obs = new QVBoxLayout(pnlObs);
    obs->setContentsMargins(10, 0, 10, 0);
    obs->setSpacing(2);
    obs->addWidget(new QLabel(QStringLiteral("Observations"), pnlObs));
    *memo = new QPlainTextEdit(pnlObs);
    (*memo)->setObjectName(QStringLiteral("mmObs"));
    (*memo)->setFixedHeight(52);
    // Tab goes to the next field, as in every entry; it types no tab into the observation.
    (*memo)->setTabChangesFocus(true);
    LimitPlainText(*memo, 512);
    obs->addWidget(*memo);
    return pnlObs;
}

QWidget* TBalanceFooter::Build(QWidget* parent)
{
    auto* footer = new QWidget(parent);
    auto* foot = new QHBoxLayout(footer);
    foot->setContentsMargins(8, 2, 8, 2);
    auto balance = [&](const char* name, const QString& caption) {
        foot->addWidget(MakeCaption(footer, caption));
        QLabel* l = MakeValueLabel(footer, name);
        l->setMinimumWidth(140);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        foot->addWidget(l);
        foot->addSpacing(10);
        return l;
    };
    lOldSolde = balance("lOldSolde", QStringLiteral("Anc. Solde : "));
    lMontant = balance("lMontant", QStringLiteral("Montant : "));
    lNewSolde = balance("lNewSolde", QStringLiteral("Nouv. Solde : "));
    foot->addStretch(1);
    return footer;
}

void TBalanceFooter::Show(Currency oldBalance, Currency amount, Currency newBalance)
{
    lOldSolde->setText(oldBalance.formatMoney());
    lMontant->setText(amount.formatMoney());
    lNewSolde->setText(newBalance.formatMoney());
}

void TBalanceFooter::ShowZero()
{
    Show(Currency(), Currency(), Currency());
}

bool FindSheetThroughDialog(QWidget* parent, TDocumentKeyList* keys,
                            const std::function<qint64(const QString&, const QString&, const QString&,
                                                       const QString&)>& find)
{
    TfrmFindFE dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const qint64 id = find(dialog.FoundChap, dialog.FoundArt, dialog.FoundPar, dialog.FoundNoFE);
    if (id < 0 || !keys->LocateId(id)) {
        ShowInfo(QStringLiteral("Fiche d'engagement introuvable ! "));
        return false;
    }
    return true;
}

TFocusColour::TFocusColour(QObject* parent, const QList<QLineEdit*>& edits, std::function<void()> recolour)
    : QObject(parent), m_recolour(std::move(recolour))
{
    for (QLineEdit* e : edits)
        e->installEventFilter(this);
}

bool TFocusColour::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        auto* edit = static_cast<QWidget*>(watched);
        QPalette p = edit->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive})
            p.setColor(group, QPalette::Base, kFocusColor);
        edit->setPalette(p);
    } else if (event->type() == QEvent::FocusOut && m_recolour) {
        m_recolour();
    }
    return false;
}

void StackSheetWindow(QWidget* window, const QList<QWidget*>& above, QWidget* grid, const QList<QWidget*>& below)
{
    auto* main = new QVBoxLayout(window);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(4);
    for (QWidget* part : above)
        main->addWidget(part);
    if (grid)
        main->addWidget(grid, 1);
    else
        main->addStretch(1);
    for (QWidget* part : below)
        main->addWidget(part);
}
