#include "documents/FilterDialog.h"

#include "controls/FxLabel.h"
#include "controls/Gradient.h"
#include "controls/NumEdit.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "ui/FormKit.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);

void AddWidgets(QHBoxLayout* row, std::initializer_list<QWidget*> widgets)
{
    for (QWidget* w : widgets)
        row->addWidget(w);
    row->addStretch();
}

} // namespace

TFilterDialog::TFilterDialog(QWidget* parent, const Listing& listing, TFilterPickers pickers)
    : QDialog(parent), m_listing(listing), m_pickers(std::move(pickers))
{
    setObjectName(QString::fromLatin1(listing.name));
    setWindowTitle(listing.title);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    if (listing.expenses)
        AddExpenseKind(layout);
    AddNumberRange(layout, AddCriterion(layout, "lblNum", "gradNum", listing.numberCaption, &NumChecked, &lblNum,
                                        &gradNum));
    AddDateRange(layout, AddCriterion(layout, "lblDate", "gradDate", QStringLiteral("Date"), &DateChecked, &lblDate,
                                      &gradDate));
    AddBudgetLineRow(layout, AddCriterion(layout, "lblImput", "gradImput", QStringLiteral("Imputation"),
                                          &ImputChecked, &lblImput, &gradImput));
    if (listing.expenses) {
        lInt = new QLabel(this);
        lInt->setObjectName(QStringLiteral("lInt"));
        lInt->setWordWrap(true);
        lInt->setContentsMargins(12, 0, 0, 0);
        layout->addWidget(lInt);
    }
    const int mt = AddCriterion(layout, "lblMt", "gradMt", listing.amountCaption, &MtChecked, &lblMt, &gradMt);
    AddAmountRange(layout, mt, "edMtMin", "edMtMax", &edMtMin, &edMtMax);
    if (listing.expenses)
        AddBeneficiaryCriterion(layout);
    else
        AddBeneficiaryGroup(layout);
    AddApplyButtons(layout);

    connect(btnGetImput, &QPushButton::clicked, this, Guarded([this] { btnGetImputClick(); }));
    connect(btnGetBen, &QPushButton::clicked, this, Guarded([this] { btnGetBenClick(); }));
    if (btnClearBen)
        connect(btnClearBen, &QPushButton::clicked, this, Guarded([this] { btnClearBenClick(); }));
    setFixedWidth(listing.width);
}

// ---------------------------------------------------------------------------
// Building

int TFilterDialog::AddCriterion(QBoxLayout* layout, const char* labelName, const char* gradientName,
                                const QString& caption, bool* on, QLabel** labelOut, TGradient** gradientOut)
{
    auto* gradient = new TGradient(this);
    gradient->setObjectName(QString::fromLatin1(gradientName));
    gradient->SetStyle(gsLinearH);
    gradient->setFixedHeight(20);
    gradient->setCursor(Qt::PointingHandCursor);
    TFxLabel* label = MakeEffectLabel(gradient, labelName, caption, tsShadow, Qt::white);
    label->SetShadowDepth(1);
    label->move(6, 2);
    label->adjustSize();
    label->installEventFilter(this);
    layout->addWidget(gradient);

    const int index = int(m_switches.size());
    m_switches.append(Switch{on, label, gradient, {}});
    connect(gradient, &TGradient::clicked, this, Guarded([this, index] { ToggleCriterion(index); }));
    *labelOut = label;
    *gradientOut = gradient;
    return index;
}

QHBoxLayout* TFilterDialog::AddRow(QBoxLayout* layout)
{
    auto* w = new QWidget(this);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(12, 0, 0, 0);
    layout->addWidget(w);
    return h;
}

void TFilterDialog::AddExpenseKind(QBoxLayout* layout)
{
    auto* kind = new QHBoxLayout;
    lTypeDep = new QLabel(QStringLiteral("Type : "), this);
    cmbTypeDep = new QComboBox(this);
    cmbTypeDep->setObjectName(QStringLiteral("cmbTypeDep"));
    cmbTypeDep->addItems({QStringLiteral("Toutes les dépenses"), QStringLiteral("Factures"),
                          QStringLiteral("Missions et autres dépenses"), QStringLiteral("Charges salariales à mandater"),
                          QStringLiteral("Charges salariales à engager")});
    kind->addWidget(lTypeDep);
    kind->addWidget(cmbTypeDep, 1);
    layout->addLayout(kind);
}

void TFilterDialog::AddNumberRange(QBoxLayout* layout, int criterion)
{
    QHBoxLayout* row = AddRow(layout);
    auto* lFrom = new QLabel(QStringLiteral("Du N° : "), this);
    edNumD = MakeNumberEdit("edNumD");
    auto* lTo = new QLabel(QStringLiteral("Au N° : "), this);
    edNumF = MakeNumberEdit("edNumF");
    AddWidgets(row, {lFrom, edNumD, lTo, edNumF});
    m_switches[criterion].controls += {lFrom, edNumD, lTo, edNumF};
    FollowLeader(edNumD, edNumF, false);
}

void TFilterDialog::AddDateRange(QBoxLayout* layout, int criterion)
{
    QHBoxLayout* row = AddRow(layout);
    auto* lFrom = new QLabel(QStringLiteral("Du : "), this);
    DateD = MakeDateEdit("DateD", "btnGetDateD", &btnGetDateD);
    auto* lTo = new QLabel(QStringLiteral("Au : "), this);
    DateF = MakeDateEdit("DateF", "btnGetDateF", &btnGetDateF);
    AddWidgets(row, {lFrom, DateD, btnGetDateD, lTo, DateF, btnGetDateF});
    m_switches[criterion].controls += {lFrom, DateD, btnGetDateD, lTo, DateF, btnGetDateF};
    const TFilterCriteria reset = TFilterCriteria::Reset();
    DateD->setText(DateText(reset.dateFrom));
    DateF->setText(DateText(reset.dateTo));
}

void TFilterDialog::AddAmountRange(QBoxLayout* layout, int criterion, const char* minName, const char* maxName,
                                   TNumEdit** min, TNumEdit** max)
{
    QHBoxLayout* row = AddRow(layout);
    auto* lMin = new QLabel(QStringLiteral("Mt Min : "), this);
    *min = MakeRangeAmountEdit(minName);
    auto* lMax = new QLabel(QStringLiteral("Mt Max : "), this);
    *max = MakeRangeAmountEdit(maxName);
    AddWidgets(row, {lMin, *min, lMax, *max});
    m_switches[criterion].controls += {lMin, *min, lMax, *max};
    FollowLeader(*min, *max, true);
}

void TFilterDialog::AddBudgetLineRow(QBoxLayout* layout, int criterion)
{
    QHBoxLayout* row = AddRow(layout);
    edChap = MakeKeyEdit("edChap", 60);
    edArt = MakeKeyEdit("edArt", 36);
    edPar = MakeKeyEdit("edPar", 36);
    btnGetImput = MakeButton(this, "btnGetImput", QStringLiteral("..."), QStringLiteral("Choisir l'imputation"));
    btnGetImput->setFixedWidth(28);
    AddWidgets(row, {edChap, edArt, edPar, btnGetImput});
    m_switches[criterion].controls += btnGetImput;
}

void TFilterDialog::AddBeneficiaryCriterion(QBoxLayout* layout)
{
    const int ben = AddCriterion(layout, "lblBen", "gradBen", QStringLiteral("Bénéficiaire"), &BenChecked, &lblBen,
                                 &gradBen);
    QHBoxLayout* benRow = AddRow(layout);
    lNomBen = new QLabel(this);
    lNomBen->setObjectName(QStringLiteral("lNomBen"));
    lNomBen->setMinimumWidth(260);
    lNomBen->setFrameShape(QFrame::StyledPanel);
    btnGetBen = MakeButton(this, "btnGetBen", QStringLiteral("..."), QStringLiteral("Choisir le bénéficiaire"));
    btnGetBen->setFixedWidth(28);
    benRow->addWidget(lNomBen, 1);
    benRow->addWidget(btnGetBen);
    m_switches[ben].controls += btnGetBen;
}

void TFilterDialog::AddBeneficiaryGroup(QBoxLayout* layout)
{
    auto* box = new QGroupBox(QStringLiteral("Bénéficiaire"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(6, 4, 6, 6);
    auto* benRow = new QHBoxLayout;
    benRow->addWidget(new QLabel(QStringLiteral("Nom : "), box));
    edNomBen = MakeEdit(box, "edNomBen", 0, true);
    edNomBen->setFocusPolicy(Qt::NoFocus);
    btnGetBen = MakeButton(box, "btnGetBen", QStringLiteral("..."), QStringLiteral("Choisir le bénéficiaire"));
    btnGetBen->setFixedWidth(28);
    btnClearBen = MakeButton(box, "btnClearBen", QStringLiteral("X"), QStringLiteral("Aucun bénéficiaire"));
    btnClearBen->setFixedWidth(28);
    benRow->addWidget(edNomBen, 1);
    benRow->addWidget(btnGetBen);
    benRow->addWidget(btnClearBen);
    boxLayout->addLayout(benRow);
    const int mtBen = AddCriterion(boxLayout, "lblMtBen", "gradMtBen", QStringLiteral("Montant"), &MtBenChecked,
                                   &lblMtBen, &gradMtBen);
    AddAmountRange(boxLayout, mtBen, "edMtMinBen", "edMtMaxBen", &edMtMinBen, &edMtMaxBen);
    layout->addWidget(box);
}

void TFilterDialog::AddApplyButtons(QBoxLayout* layout)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("Appliquer"));
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TFilterDialog::MakeNumberEdit(const char* name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setFixedWidth(100);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    e->installEventFilter(this);
    m_enterMovesOn.append(e);
    return e;
}

QLineEdit* TFilterDialog::MakeDateEdit(const char* name, const char* buttonName, QToolButton** button)
{
    QLineEdit* e = MakeEdit(this, name, 10);
    e->setFixedWidth(90);
    e->setAlignment(Qt::AlignCenter);
    e->installEventFilter(this);
    m_enterMovesOn.append(e);
    *button = MakePickButton(this, buttonName, QStringLiteral("Calendrier"));
    AttachDateField(e, *button,
                    TDateFieldRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Calendar});
    return e;
}

TNumEdit* TFilterDialog::MakeRangeAmountEdit(const char* name)
{
    auto* e = new TNumEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->SetDecimals(2);
    e->SetNumberFormat(TNumEdit::Thousands);
    e->setFixedWidth(120);
    return e;
}

QLineEdit* TFilterDialog::MakeKeyEdit(const char* name, int width)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(width);
    e->setAlignment(Qt::AlignCenter);
    return e;
}

// ---------------------------------------------------------------------------
// The criteria in and out

void TFilterDialog::SetCriteria(const TFilterCriteria& f)
{
    NumChecked = f.num;
    DateChecked = f.date;
    ImputChecked = f.imput;
    MtChecked = f.mt;
    BenChecked = f.ben;
    MtBenChecked = f.mtBen;
    TypeDepIndex = f.kindIndex;
    edNumD->setText(f.numFrom);
    edNumF->setText(f.numTo);
    DateD->setText(DateText(f.dateFrom));
    DateF->setText(DateText(f.dateTo));
    edMtMin->SetAsCurrency(f.mtMin);
    edMtMax->SetAsCurrency(f.mtMax);
    if (edMtMinBen) {
        edMtMinBen->SetAsCurrency(f.mtMinBen);
        edMtMaxBen->SetAsCurrency(f.mtMaxBen);
    }
    ShowBudgetLine(f.idFnm, f.chap, f.art, f.par, f.intitule);
    IdBen = f.idBen;
    SetBeneficiaryName(f.benName);
    ShowCriteria();
}

TFilterCriteria TFilterDialog::Criteria() const
{
    TFilterCriteria f;
    f.num = NumChecked;
    f.date = DateChecked;
    f.imput = ImputChecked;
    f.mt = MtChecked;
    f.ben = BenChecked;
    f.mtBen = MtBenChecked;
    if (cmbTypeDep)
        f.kindIndex = cmbTypeDep->currentIndex() < 0 ? 0 : cmbTypeDep->currentIndex();
    f.numFrom = edNumD->text();
    f.numTo = edNumF->text();
    f.dateFrom = ParseDate(DateD->text());
    f.dateTo = ParseDate(DateF->text());
    f.mtMin = edMtMin->TryAsCurrency().value_or(Currency());
    f.mtMax = edMtMax->TryAsCurrency().value_or(Currency());
    if (edMtMinBen) {
        f.mtMinBen = edMtMinBen->TryAsCurrency().value_or(Currency());
        f.mtMaxBen = edMtMaxBen->TryAsCurrency().value_or(Currency());
    }
    f.idFnm = IdFnm;
    f.chap = edChap->text();
    f.art = edArt->text();
    f.par = edPar->text();
    f.intitule = m_intitule;
    f.idBen = IdBen;
    f.benName = BeneficiaryName();
    return f;
}

void TFilterDialog::ShowBudgetLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                                   const QString& intitule)
{
    IdFnm = idFnm;
    edChap->setText(chap);
    edArt->setText(art);
    edPar->setText(par);
    m_intitule = intitule;
    if (lInt)
        lInt->setText(intitule);
}

void TFilterDialog::SetBeneficiaryName(const QString& name)
{
    if (lNomBen)
        lNomBen->setText(name);
    else
        edNomBen->setText(name);
}

QString TFilterDialog::BeneficiaryName() const
{
    return lNomBen ? lNomBen->text() : edNomBen->text();
}

// ---------------------------------------------------------------------------
// The switches

void TFilterDialog::ShowCriterion(int criterion)
{
    Switch& c = m_switches[criterion];
    for (QWidget* w : c.controls)
        w->setEnabled(*c.on);
    c.gradient->BeginUpdate();
    c.gradient->SetColorBegin(kGreen);
    c.gradient->SetColorEnd(*c.on ? kLime : QColor(Qt::black));
    c.gradient->EndUpdate();
}

void TFilterDialog::ShowCriteria()
{
    for (int i = 0; i < m_switches.size(); ++i)
        ShowCriterion(i);
}

void TFilterDialog::ToggleCriterion(int criterion)
{
    if (criterion < 0 || criterion >= m_switches.size())
        return;
    bool* on = m_switches[criterion].on;
    *on = !*on;
    ShowCriterion(criterion);
    // Switching the expense listing's beneficiary off forgets it; the budget
    // line is kept.
    if (criterion == crBen && !*on && m_listing.expenses)
        btnClearBenClick();
}

void TFilterDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ShowCriteria();
    if (cmbTypeDep) {
        const bool anyKind = !TypeDep;
        cmbTypeDep->setEnabled(anyKind);
        lTypeDep->setEnabled(anyKind);
        cmbTypeDep->setCurrentIndex(anyKind ? TypeDepIndex : toDb(*TypeDep) + 1);
    }
}

// ---------------------------------------------------------------------------
// The choices

void TFilterDialog::btnGetImputClick()
{
    if (const std::optional<TPickedBudgetLine> line = m_pickers.budgetLine(this))
        ShowBudgetLine(line->idFnm, line->chap, line->art, line->par, line->intitule);
}

void TFilterDialog::btnGetBenClick()
{
    // A cancelled choice keeps the beneficiary shown, which is the one that filters.
    const std::optional<TPickedBeneficiary> ben = m_pickers.beneficiary(this);
    if (!ben)
        return;
    IdBen = ben->idBen;
    SetBeneficiaryName(ben->name);
}

void TFilterDialog::btnClearBenClick()
{
    IdBen = -1;
    SetBeneficiaryName(QString());
}

// ---------------------------------------------------------------------------
// Typing aids

void TFilterDialog::FollowLeader(QLineEdit* leader, QWidget* follower, bool amount)
{
    m_follows.append(Follow{leader, follower, amount});
    leader->installEventFilter(this);
    const int index = int(m_follows.size()) - 1;
    connect(leader, &QLineEdit::textEdited, this, [this, index] { Lead(m_follows[index]); });
}

void TFilterDialog::Lead(Follow& f)
{
    auto* leader = static_cast<QLineEdit*>(f.leader);
    if (f.firstKey) {
        f.firstKey = false;
        if (f.amount) {
            const std::optional<Currency> max = static_cast<TNumEdit*>(f.follower)->TryAsCurrency();
            f.follows = !max || max->isZero();
        } else {
            f.follows = static_cast<QLineEdit*>(f.follower)->text().isEmpty();
        }
    }
    if (f.follows)
        static_cast<QLineEdit*>(f.follower)->setText(leader->text());
}

bool TFilterDialog::eventFilter(QObject* watched, QEvent* event)
{
    // A header's caption passes its clicks on to the header.
    if (event->type() == QEvent::MouseButtonRelease)
        for (int i = 0; i < m_switches.size(); ++i)
            if (watched == m_switches[i].label) {
                RunGuarded([this, i] { ToggleCriterion(i); });
                return true;
            }
    if (event->type() == QEvent::MouseButtonPress)
        for (const Switch& c : m_switches)
            if (watched == c.label)
                return true;
    for (Follow& f : m_follows) {
        if (watched != f.leader)
            continue;
        if (event->type() == QEvent::FocusIn)
            f.firstKey = true;
        if (event->type() == QEvent::FocusOut)
            f.follows = false;
    }
    // Enter in a number or a date moves on to the next control.
    if (event->type() == QEvent::KeyPress && m_enterMovesOn.contains(qobject_cast<QLineEdit*>(watched))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Closing

void TFilterDialog::done(int result)
{
    // The ranges are checked whichever way the dialog closes.
    edNumD->setText(edNumD->text().trimmed());
    edNumF->setText(edNumF->text().trimmed());
    if (QString::compare(edNumD->text(), edNumF->text()) > 0) {
        ShowInfo(QStringLiteral("Le numéro de fin doit être supérieur ou égal au N° de début !"));
        edNumD->setFocus();
        return;
    }
    const QDate from = ParseDate(DateD->text());
    const QDate to = ParseDate(DateF->text());
    if (!from.isValid() || !to.isValid()) {
        QLineEdit* wrong = from.isValid() ? DateF : DateD;
        ShowInfo(from.isValid() ? QStringLiteral("La date de fin est incorrecte !")
                                : QStringLiteral("La date de début est incorrecte !"));
        wrong->setFocus();
        return;
    }
    if (to < from) {
        ShowInfo(QStringLiteral("Le Date de fin doit être supérieure ou égale à la date de début !"));
        DateD->setFocus();
        return;
    }
    DateD->setText(DateText(from));
    DateF->setText(DateText(to));
    if (edNumD->text().isEmpty())
        edNumD->setText(QStringLiteral("-1"));
    if (edNumF->text().isEmpty())
        edNumF->setText(QStringLiteral("-1"));
    QDialog::done(result);
}
