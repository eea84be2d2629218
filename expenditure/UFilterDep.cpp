#include "expenditure/UFilterDep.h"

#include "controls/Gradient.h"
#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"
#include "ui/ListRecordPattern.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);

int FiscalYearNumber()
{
    return FiscalYear.trimmed().toInt();
}

} // namespace

// ---------------------------------------------------------------------------
// Criteria and their condition

TExpenseFilter TExpenseFilter::Reset()
{
    TExpenseFilter f;
    f.dateFrom = QDate(FiscalYearNumber(), 1, 1);
    f.dateTo = QDate(FiscalYearNumber(), 12, 31);
    return f;
}

void TSqlCondition::BindTo(db::Query& query) const
{
    for (const auto& p : params)
        query.setParam(p.first, p.second);
}

TSqlCondition BuildExpenseCondition(const TExpenseFilter& f, const QString& prefix)
{
    TSqlCondition c;
    QStringList pieces;
    auto column = [&](const char* name) { return prefix + QLatin1String(name); };
    if (f.kindIndex > 0) {
        pieces << QStringLiteral("(%1=:TYPE_DEPENSE)").arg(column("TYPE_DEPENSE"));
        c.params.append({QStringLiteral("TYPE_DEPENSE"), db::Value(qint64(f.kindIndex - 1))});
    }
    if (f.imput && f.idFnm != -1) {
        pieces << QStringLiteral("(%1=:ID_FNM)").arg(column("ID_FNM"));
        c.params.append({QStringLiteral("ID_FNM"), db::Value(f.idFnm)});
    }
    if (f.num && !f.numFrom.isEmpty()) {
        // Numbers compare as text.
        pieces << QStringLiteral("(%1>=:NUM_D) AND (%1<=:NUM_F)").arg(column("NO_DEPENSE"));
        c.params.append({QStringLiteral("NUM_D"), db::Value(f.numFrom)});
        c.params.append({QStringLiteral("NUM_F"), db::Value(f.numTo)});
    }
    if (f.date) {
        pieces << QStringLiteral("(%1>=:DATE_D) AND (%1<=:DATE_F)").arg(column("DATE_DEPENSE"));
        c.params.append({QStringLiteral("DATE_D"), db::Value(f.dateFrom)});
        c.params.append({QStringLiteral("DATE_F"), db::Value(f.dateTo)});
    }
    if (f.mt) {
        pieces << QStringLiteral("(%1>=:MT_MIN) AND (%1<=:MT_MAX)").arg(column("MONTANT"));
        c.params.append({QStringLiteral("MT_MIN"), db::Value(f.mtMin)});
        c.params.append({QStringLiteral("MT_MAX"), db::Value(f.mtMax)});
    }
    if (f.ben && f.idBen != -1) {
        pieces << QStringLiteral("(%1=:ID_BEN)").arg(column("ID_BEN"));
        c.params.append({QStringLiteral("ID_BEN"), db::Value(f.idBen)});
    }
    c.sql = pieces.join(QStringLiteral(" AND "));
    return c;
}

// ---------------------------------------------------------------------------
// The dialog

TfrmFilterDep::TfrmFilterDep(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFilterDep"));
    setWindowTitle(QStringLiteral("Filtre dépenses"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

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

    // A criterion: its clickable header, then its controls.
    auto header = [&](const char* labelName, const char* gradName, const QString& caption, QLabel*& label,
                      TGradient*& gradient) {
        gradient = new TGradient(this);
        gradient->setObjectName(QString::fromLatin1(gradName));
        gradient->SetStyle(gsLinearH);
        gradient->setFixedHeight(20);
        gradient->setCursor(Qt::PointingHandCursor);
        label = new QLabel(caption, gradient);
        label->setObjectName(QString::fromLatin1(labelName));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
        label->move(6, 2);
        label->adjustSize();
        label->installEventFilter(this);
        layout->addWidget(gradient);
    };
    auto rowOf = [&] {
        auto* w = new QWidget(this);
        auto* h = new QHBoxLayout(w);
        h->setContentsMargins(12, 0, 0, 0);
        layout->addWidget(w);
        return h;
    };
    auto caption = [this](const QString& text) { return new QLabel(text, this); };

    // Numbers.
    header("lblNum", "gradNum", QStringLiteral("N° Dépense"), lblNum, gradNum);
    QHBoxLayout* nums = rowOf();
    auto numEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(100);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        e->installEventFilter(this);
        return e;
    };
    QLabel* lNumD = caption(QStringLiteral("Du N° : "));
    edNumD = numEdit("edNumD");
    QLabel* lNumF = caption(QStringLiteral("Au N° : "));
    edNumF = numEdit("edNumF");
    nums->addWidget(lNumD);
    nums->addWidget(edNumD);
    nums->addWidget(lNumF);
    nums->addWidget(edNumF);
    nums->addStretch();

    // Dates.
    header("lblDate", "gradDate", QStringLiteral("Date"), lblDate, gradDate);
    QHBoxLayout* dates = rowOf();
    auto dateEdit = [this](const char* name) {
        auto* e = new QDateEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        e->setCalendarPopup(true);
        return e;
    };
    QLabel* lDateD = caption(QStringLiteral("Du : "));
    DateD = dateEdit("DateD");
    QLabel* lDateF = caption(QStringLiteral("Au : "));
    DateF = dateEdit("DateF");
    dates->addWidget(lDateD);
    dates->addWidget(DateD);
    dates->addWidget(lDateF);
    dates->addWidget(DateF);
    dates->addStretch();

    // Budget line.
    header("lblImput", "gradImput", QStringLiteral("Imputation"), lblImput, gradImput);
    QHBoxLayout* imput = rowOf();
    auto keyEdit = [this](const char* name, int width) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setFixedWidth(width);
        e->setAlignment(Qt::AlignCenter);
        return e;
    };
    edChap = keyEdit("edChap", 60);
    edArt = keyEdit("edArt", 36);
    edPar = keyEdit("edPar", 36);
    btnGetImput = MakeButton(this, "btnGetImput", QStringLiteral("..."), QStringLiteral("Choisir l'imputation"));
    btnGetImput->setFixedWidth(28);
    imput->addWidget(edChap);
    imput->addWidget(edArt);
    imput->addWidget(edPar);
    imput->addWidget(btnGetImput);
    imput->addStretch();
    lInt = new QLabel(this);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    lInt->setContentsMargins(12, 0, 0, 0);
    layout->addWidget(lInt);

    // Amounts.
    header("lblMt", "gradMt", QStringLiteral("Montant"), lblMt, gradMt);
    QHBoxLayout* amounts = rowOf();
    auto amount = [this](const char* name) {
        auto* e = new TNumEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->SetDecimals(2);
        e->SetNumberFormat(TNumEdit::Thousands);
        e->setFixedWidth(130);
        e->installEventFilter(this);
        return e;
    };
    QLabel* lMtMin = caption(QStringLiteral("Mt Min : "));
    edMtMin = amount("edMtMin");
    QLabel* lMtMax = caption(QStringLiteral("Mt Max : "));
    edMtMax = amount("edMtMax");
    amounts->addWidget(lMtMin);
    amounts->addWidget(edMtMin);
    amounts->addWidget(lMtMax);
    amounts->addWidget(edMtMax);
    amounts->addStretch();

    // Beneficiary.
    header("lblBen", "gradBen", QStringLiteral("Bénéficiaire"), lblBen, gradBen);
    QHBoxLayout* ben = rowOf();
    lNomBen = new QLabel(this);
    lNomBen->setObjectName(QStringLiteral("lNomBen"));
    lNomBen->setMinimumWidth(260);
    lNomBen->setFrameShape(QFrame::StyledPanel);
    btnGetBen = MakeButton(this, "btnGetBen", QStringLiteral("..."), QStringLiteral("Choisir le bénéficiaire"));
    btnGetBen->setFixedWidth(28);
    ben->addWidget(lNomBen, 1);
    ben->addWidget(btnGetBen);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("Appliquer"));
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    m_groups = {
        Group{&FilterNum, lblNum, gradNum, {lNumD, edNumD, lNumF, edNumF}},
        Group{&FilterDate, lblDate, gradDate, {lDateD, DateD, lDateF, DateF}},
        Group{&FilterImput, lblImput, gradImput, {btnGetImput}},
        Group{&FilterMt, lblMt, gradMt, {lMtMin, edMtMin, lMtMax, edMtMax}},
        Group{&FilterBen, lblBen, gradBen, {btnGetBen}},
    };
    for (int i = 0; i < m_groups.size(); ++i)
        connect(m_groups[i].gradient, &TGradient::clicked, this,
                Guarded([this, i] { ToggleCriterion(Criterion(i)); }));

    connect(btnGetImput, &QPushButton::clicked, this, Guarded([this] { btnGetImputClick(); }));
    connect(btnGetBen, &QPushButton::clicked, this, Guarded([this] { btnGetBenClick(); }));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The upper bounds follow the lower ones while they are typed.
    connect(edNumD, &QLineEdit::textEdited, this, [this] {
        if (m_numFirstKey) {
            m_numFirstKey = false;
            m_numFollows = edNumF->text().isEmpty();
        }
        if (m_numFollows)
            edNumF->setText(edNumD->text());
    });
    connect(edMtMin, &QLineEdit::textEdited, this, [this] {
        if (m_mtFirstKey) {
            m_mtFirstKey = false;
            const std::optional<Currency> max = edMtMax->TryAsCurrency();
            m_mtFollows = !max || max->isZero();
        }
        if (m_mtFollows)
            edMtMax->setText(edMtMin->text());
    });

    const TExpenseFilter reset = TExpenseFilter::Reset();
    DateD->setDate(reset.dateFrom);
    DateF->setDate(reset.dateTo);
    setFixedWidth(420);
}

void TfrmFilterDep::SetCriteria(const TExpenseFilter& f)
{
    TypeDepIndex = f.kindIndex;
    FilterNum = f.num;
    FilterDate = f.date;
    FilterImput = f.imput;
    FilterMt = f.mt;
    FilterBen = f.ben;
    edNumD->setText(f.numFrom);
    edNumF->setText(f.numTo);
    DateD->setDate(f.dateFrom);
    DateF->setDate(f.dateTo);
    edMtMin->SetAsCurrency(f.mtMin);
    edMtMax->SetAsCurrency(f.mtMax);
    IdFnm = f.idFnm;
    edChap->setText(f.chap);
    edArt->setText(f.art);
    edPar->setText(f.par);
    m_intitule = f.intitule;
    lInt->setText(f.intitule);
    IdBen = f.idBen;
    lNomBen->setText(f.benName);
}

TExpenseFilter TfrmFilterDep::Criteria() const
{
    TExpenseFilter f;
    f.kindIndex = cmbTypeDep->currentIndex() < 0 ? 0 : cmbTypeDep->currentIndex();
    f.num = FilterNum;
    f.date = FilterDate;
    f.imput = FilterImput;
    f.mt = FilterMt;
    f.ben = FilterBen;
    f.numFrom = edNumD->text();
    f.numTo = edNumF->text();
    f.dateFrom = DateD->date();
    f.dateTo = DateF->date();
    f.mtMin = edMtMin->TryAsCurrency().value_or(Currency());
    f.mtMax = edMtMax->TryAsCurrency().value_or(Currency());
    f.idFnm = IdFnm;
    f.chap = edChap->text();
    f.art = edArt->text();
    f.par = edPar->text();
    f.intitule = m_intitule;
    f.idBen = IdBen;
    f.benName = lNomBen->text();
    return f;
}

TfrmFilterDep::Group& TfrmFilterDep::GroupOf(Criterion criterion)
{
    return m_groups[int(criterion)];
}

void TfrmFilterDep::ShowCriterion(Criterion criterion)
{
    Group& g = GroupOf(criterion);
    for (QWidget* w : g.controls)
        w->setEnabled(*g.on);
    g.gradient->BeginUpdate();
    g.gradient->SetColorBegin(kGreen);
    g.gradient->SetColorEnd(*g.on ? kLime : QColor(Qt::black));
    g.gradient->EndUpdate();
}

void TfrmFilterDep::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    for (int i = 0; i < m_groups.size(); ++i)
        ShowCriterion(Criterion(i));
    const bool anyKind = TypeDep == -1;
    cmbTypeDep->setEnabled(anyKind);
    lTypeDep->setEnabled(anyKind);
    cmbTypeDep->setCurrentIndex(anyKind ? TypeDepIndex : TypeDep + 1);
}

void TfrmFilterDep::ToggleCriterion(Criterion criterion)
{
    Group& g = GroupOf(criterion);
    *g.on = !*g.on;
    // Switching the beneficiary off forgets it; the budget line is kept.
    if (criterion == crBen && !*g.on) {
        IdBen = -1;
        lNomBen->clear();
    }
    ShowCriterion(criterion);
}

void TfrmFilterDep::btnGetImputClick()
{
    TfrmListFNM list(this);
    list.SelectMode = true;
    if (list.exec() != QDialog::Accepted || list.IdFnm == -1)
        return;
    IdFnm = list.IdFnm;
    edChap->setText(list.Chap);
    edArt->setText(list.Art);
    edPar->setText(list.Par);
    m_intitule = list.Intitule;
    lInt->setText(list.Intitule);
}

void TfrmFilterDep::btnGetBenClick()
{
    TfrmListBenef list(this);
    list.SelectMode = true;
    list.TypeBen = -1;
    if (list.exec() != QDialog::Accepted || list.IdBen <= 0)
        return;
    IdBen = list.IdBen;
    lNomBen->setText(list.NomBen);
}

bool TfrmFilterDep::eventFilter(QObject* watched, QEvent* event)
{
    // A header's caption passes its clicks on to the header.
    if (event->type() == QEvent::MouseButtonRelease)
        for (int i = 0; i < m_groups.size(); ++i)
            if (watched == m_groups[i].label) {
                RunGuarded([this, i] { ToggleCriterion(Criterion(i)); });
                return true;
            }
    if (event->type() == QEvent::MouseButtonPress)
        for (const Group& g : m_groups)
            if (watched == g.label)
                return true;
    if (event->type() == QEvent::FocusIn) {
        if (watched == edNumD)
            m_numFirstKey = true;
        if (watched == edMtMin)
            m_mtFirstKey = true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == edNumD)
            m_numFollows = false;
        if (watched == edMtMin)
            m_mtFollows = false;
    }
    // Enter in a number moves on to the next control.
    if (event->type() == QEvent::KeyPress && (watched == edNumD || watched == edNumF)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmFilterDep::done(int result)
{
    // The ranges are checked whichever way the dialog closes.
    edNumD->setText(edNumD->text().trimmed());
    edNumF->setText(edNumF->text().trimmed());
    if (QString::compare(edNumD->text(), edNumF->text()) > 0) {
        ShowInfo(QStringLiteral("Le numéro de fin doit être supérieur ou égal au N° de début !"));
        edNumD->setFocus();
        return;
    }
    if (DateF->date() < DateD->date()) {
        ShowInfo(QStringLiteral("Le Date de fin doit être supérieure ou égale à la date de début !"));
        DateD->setFocus();
        return;
    }
    if (edNumD->text().isEmpty())
        edNumD->setText(QStringLiteral("-1"));
    if (edNumF->text().isEmpty())
        edNumF->setText(QStringLiteral("-1"));
    QDialog::done(result);
}
