#include "ui/FilterDialog.h"

#include "controls/Gradient.h"
#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "ui/FormKit.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);

} // namespace

void TRangeCriteria::ResetDates()
{
    const int year = FiscalYear.trimmed().toInt();
    dateFrom = QDate(year, 1, 1);
    dateTo = QDate(year, 12, 31);
}

TFilterDialog::TFilterDialog(QWidget* parent)
    : QDialog(parent)
{
}

int TFilterDialog::AddCriterion(QBoxLayout* layout, const char* labelName, const char* gradientName,
                                const QString& caption, bool* on, QLabel** labelOut, TGradient** gradientOut)
{
    auto* gradient = new TGradient(this);
    gradient->setObjectName(QString::fromLatin1(gradientName));
    gradient->SetStyle(gsLinearH);
    gradient->setFixedHeight(20);
    gradient->setCursor(Qt::PointingHandCursor);
    auto* label = new QLabel(caption, gradient);
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

    const int index = int(m_criteria.size());
    m_criteria.append(Criterion{on, label, gradient, {}});
    connect(gradient, &TGradient::clicked, this, Guarded([this, index] { ToggleCriterion(index); }));
    if (labelOut)
        *labelOut = label;
    if (gradientOut)
        *gradientOut = gradient;
    return index;
}

void TFilterDialog::AddCriterionControls(int criterion, const QList<QWidget*>& controls)
{
    m_criteria[criterion].controls += controls;
}

QHBoxLayout* TFilterDialog::AddRow(QBoxLayout* layout)
{
    auto* w = new QWidget(this);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(12, 0, 0, 0);
    layout->addWidget(w);
    return h;
}

void TFilterDialog::AddNumberRange(QBoxLayout* layout, int criterion, QLineEdit** from, QLineEdit** to)
{
    QHBoxLayout* row = AddRow(layout);
    auto* lFrom = new QLabel(QStringLiteral("Du N° : "), this);
    *from = MakeNumberEdit("edNumD");
    auto* lTo = new QLabel(QStringLiteral("Au N° : "), this);
    *to = MakeNumberEdit("edNumF");
    for (QWidget* w : {static_cast<QWidget*>(lFrom), static_cast<QWidget*>(*from), static_cast<QWidget*>(lTo),
                       static_cast<QWidget*>(*to)})
        row->addWidget(w);
    row->addStretch();
    AddCriterionControls(criterion, {lFrom, *from, lTo, *to});
    FollowNumbers(*from, *to);
    m_numOn = m_criteria[criterion].on;
    m_numFrom = *from;
    m_numTo = *to;
}

void TFilterDialog::AddDateRange(QBoxLayout* layout, int criterion, QDateEdit** from, QDateEdit** to)
{
    QHBoxLayout* row = AddRow(layout);
    auto* lFrom = new QLabel(QStringLiteral("Du : "), this);
    *from = MakeDateEdit("DateD");
    auto* lTo = new QLabel(QStringLiteral("Au : "), this);
    *to = MakeDateEdit("DateF");
    for (QWidget* w : {static_cast<QWidget*>(lFrom), static_cast<QWidget*>(*from), static_cast<QWidget*>(lTo),
                       static_cast<QWidget*>(*to)})
        row->addWidget(w);
    row->addStretch();
    AddCriterionControls(criterion, {lFrom, *from, lTo, *to});
    TRangeCriteria reset;
    reset.ResetDates();
    (*from)->setDate(reset.dateFrom);
    (*to)->setDate(reset.dateTo);
    m_dateOn = m_criteria[criterion].on;
    m_dateFrom = *from;
    m_dateTo = *to;
}

void TFilterDialog::AddAmountRange(QBoxLayout* layout, int criterion, const char* minName, const char* maxName,
                                   TNumEdit** min, TNumEdit** max)
{
    QHBoxLayout* row = AddRow(layout);
    auto* lMin = new QLabel(QStringLiteral("Mt Min : "), this);
    *min = MakeRangeAmountEdit(minName);
    auto* lMax = new QLabel(QStringLiteral("Mt Max : "), this);
    *max = MakeRangeAmountEdit(maxName);
    for (QWidget* w : {static_cast<QWidget*>(lMin), static_cast<QWidget*>(*min), static_cast<QWidget*>(lMax),
                       static_cast<QWidget*>(*max)})
        row->addWidget(w);
    row->addStretch();
    AddCriterionControls(criterion, {lMin, *min, lMax, *max});
    FollowAmounts(*min, *max);
    // The first amounts are the document's own.
    if (!m_mtMin) {
        m_mtOn = m_criteria[criterion].on;
        m_mtMin = *min;
        m_mtMax = *max;
    }
}

void TFilterDialog::AddBudgetLineRow(QBoxLayout* layout, int criterion, QLineEdit** chap, QLineEdit** art,
                                     QLineEdit** par, QPushButton** pick)
{
    QHBoxLayout* row = AddRow(layout);
    *chap = MakeKeyEdit("edChap", 60);
    *art = MakeKeyEdit("edArt", 36);
    *par = MakeKeyEdit("edPar", 36);
    *pick = MakeButton(this, "btnGetImput", QStringLiteral("..."), QStringLiteral("Choisir l'imputation"));
    (*pick)->setFixedWidth(28);
    for (QWidget* w : {static_cast<QWidget*>(*chap), static_cast<QWidget*>(*art), static_cast<QWidget*>(*par),
                       static_cast<QWidget*>(*pick)})
        row->addWidget(w);
    row->addStretch();
    AddCriterionControls(criterion, {*pick});
    m_imputOn = m_criteria[criterion].on;
    m_chap = *chap;
    m_art = *art;
    m_par = *par;
}

void TFilterDialog::SetChoiceFields(qint64* idFnm, qint64* idBen)
{
    m_idFnm = idFnm;
    m_idBen = idBen;
}

void TFilterDialog::ShowBudgetLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                                   const QString& intitule)
{
    *m_idFnm = idFnm;
    m_chap->setText(chap);
    m_art->setText(art);
    m_par->setText(par);
    m_intitule = intitule;
    ShowBudgetLineTitle(intitule);
}

void TFilterDialog::PutRanges(const TRangeCriteria& f)
{
    *m_numOn = f.num;
    *m_dateOn = f.date;
    *m_imputOn = f.imput;
    *m_mtOn = f.mt;
    m_numFrom->setText(f.numFrom);
    m_numTo->setText(f.numTo);
    m_dateFrom->setDate(f.dateFrom);
    m_dateTo->setDate(f.dateTo);
    m_mtMin->SetAsCurrency(f.mtMin);
    m_mtMax->SetAsCurrency(f.mtMax);
    ShowBudgetLine(f.idFnm, f.chap, f.art, f.par, f.intitule);
    *m_idBen = f.idBen;
    SetBeneficiaryName(f.benName);
    ShowCriteria();
}

void TFilterDialog::TakeRanges(TRangeCriteria& f) const
{
    f.num = *m_numOn;
    f.date = *m_dateOn;
    f.imput = *m_imputOn;
    f.mt = *m_mtOn;
    f.numFrom = m_numFrom->text();
    f.numTo = m_numTo->text();
    f.dateFrom = m_dateFrom->date();
    f.dateTo = m_dateTo->date();
    f.mtMin = m_mtMin->TryAsCurrency().value_or(Currency());
    f.mtMax = m_mtMax->TryAsCurrency().value_or(Currency());
    f.idFnm = *m_idFnm;
    f.chap = m_chap->text();
    f.art = m_art->text();
    f.par = m_par->text();
    f.intitule = m_intitule;
    f.idBen = *m_idBen;
    f.benName = BeneficiaryName();
}

void TFilterDialog::AddApplyButtons(QBoxLayout* layout, QPushButton** ok, QPushButton** cancel)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    *ok = MakeButton(this, "btnOk", QStringLiteral("Appliquer"));
    *cancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    buttons->addWidget(*ok);
    buttons->addWidget(*cancel);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    connect(*ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(*cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFilterDialog::ShowCriterion(int criterion)
{
    Criterion& c = m_criteria[criterion];
    for (QWidget* w : c.controls)
        w->setEnabled(*c.on);
    c.gradient->BeginUpdate();
    c.gradient->SetColorBegin(kGreen);
    c.gradient->SetColorEnd(*c.on ? kLime : QColor(Qt::black));
    c.gradient->EndUpdate();
}

void TFilterDialog::ShowCriteria()
{
    for (int i = 0; i < m_criteria.size(); ++i)
        ShowCriterion(i);
}

void TFilterDialog::ToggleCriterion(int criterion)
{
    if (criterion < 0 || criterion >= m_criteria.size())
        return;
    bool* on = m_criteria[criterion].on;
    *on = !*on;
    ShowCriterion(criterion);
    CriterionToggled(criterion, *on);
}

QLineEdit* TFilterDialog::MakeNumberEdit(const char* name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setFixedWidth(100);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    e->installEventFilter(this);
    m_numberEdits.append(e);
    return e;
}

QDateEdit* TFilterDialog::MakeDateEdit(const char* name)
{
    auto* e = new QDateEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    e->setCalendarPopup(true);
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

void TFilterDialog::FollowNumbers(QLineEdit* from, QLineEdit* to)
{
    m_follows.append(Follow{from, to, false});
    from->installEventFilter(this);
    const int index = int(m_follows.size()) - 1;
    connect(from, &QLineEdit::textEdited, this, [this, index] { Lead(m_follows[index]); });
}

void TFilterDialog::FollowAmounts(TNumEdit* min, TNumEdit* max)
{
    m_follows.append(Follow{min, max, true});
    min->installEventFilter(this);
    const int index = int(m_follows.size()) - 1;
    connect(min, &QLineEdit::textEdited, this, [this, index] { Lead(m_follows[index]); });
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

void TFilterDialog::SetRanges(QLineEdit* numFrom, QLineEdit* numTo, QDateEdit* dateFrom, QDateEdit* dateTo)
{
    m_numFrom = numFrom;
    m_numTo = numTo;
    m_dateFrom = dateFrom;
    m_dateTo = dateTo;
}

void TFilterDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ShowCriteria();
}

bool TFilterDialog::eventFilter(QObject* watched, QEvent* event)
{
    // A header's caption passes its clicks on to the header.
    if (event->type() == QEvent::MouseButtonRelease)
        for (int i = 0; i < m_criteria.size(); ++i)
            if (watched == m_criteria[i].label) {
                RunGuarded([this, i] { ToggleCriterion(i); });
                return true;
            }
    if (event->type() == QEvent::MouseButtonPress)
        for (const Criterion& c : m_criteria)
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
    // Enter in a number moves on to the next control.
    if (event->type() == QEvent::KeyPress && m_numberEdits.contains(qobject_cast<QLineEdit*>(watched))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFilterDialog::done(int result)
{
    // The ranges are checked whichever way the dialog closes.
    if (m_numFrom && m_numTo) {
        m_numFrom->setText(m_numFrom->text().trimmed());
        m_numTo->setText(m_numTo->text().trimmed());
        if (QString::compare(m_numFrom->text(), m_numTo->text()) > 0) {
            ShowInfo(QStringLiteral("Le numéro de fin doit être supérieur ou égal au N° de début !"));
            m_numFrom->setFocus();
            return;
        }
    }
    if (m_dateFrom && m_dateTo && m_dateTo->date() < m_dateFrom->date()) {
        ShowInfo(QStringLiteral("Le Date de fin doit être supérieure ou égale à la date de début !"));
        m_dateFrom->setFocus();
        return;
    }
    if (m_numFrom && m_numTo) {
        if (m_numFrom->text().isEmpty())
            m_numFrom->setText(QStringLiteral("-1"));
        if (m_numTo->text().isEmpty())
            m_numTo->setText(QStringLiteral("-1"));
    }
    QDialog::done(result);
}
