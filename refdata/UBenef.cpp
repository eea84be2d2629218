#include "refdata/UBenef.h"

#include "refdata/RefDataStore.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "refdata/UListBanque.h"
#include "refdata/UListBenef.h"
#include "refdata/UListTable.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The type box lists the types at their stored number.
int TypeIndex(BeneficiaryType type)
{
    return toDb(type);
}

} // namespace

qint64 ComboKey(const QComboBox* box)
{
    if (box->currentIndex() < 0)
        return -1;
    const QVariant v = box->currentData();
    return v.isValid() ? v.toLongLong() : -1;
}

void SetComboKey(QComboBox* box, qint64 key)
{
    box->setCurrentIndex(box->findData(QVariant(key)));
}

TfrmBenef::TfrmBenef(QWidget* parent)
    : TRefRecordForm(Options{.hasDelete = true,
                             .hasNavigator = true,
                             .popupIsContextMenu = false,
                             .closeQuestion = cqSaveAndStay,
                             .navigatorInEditModes = true},
                     parent)
{
    setObjectName(QStringLiteral("frmBenef"));
    setWindowTitle(QStringLiteral("Fiche Bénéficiaire"));
    resize(760, 430);

    QWidget* p = pnlMain;
    auto* g = new QGridLayout(p);
    g->setContentsMargins(12, 12, 12, 12);
    g->setHorizontalSpacing(8);
    auto label = [p](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, p);
        l->setBuddy(buddy);
        return l;
    };

    mmNom = new QPlainTextEdit(p);
    mmNom->setObjectName(QStringLiteral("mmNom"));
    mmNom->setTabChangesFocus(true);
    mmNom->setFixedHeight(mmNom->fontMetrics().lineSpacing() * 2 + 12);
    LimitPlainText(mmNom, 150);
    cmbTypeBen = MakeCombo(p, "cmbTypeBen");
    cmbTypeBen->addItems({QStringLiteral("FOURNISSEUR"), QStringLiteral("EMPLOYE"), QStringLiteral("AUTRE")});
    cmbService = MakeCombo(p, "cmbService");
    cmbService->addItems({QStringLiteral("PRESTATION"), QStringLiteral("FOURNITURE"), QStringLiteral("AUTRE")});
    cmbGrade = MakeCombo(p, "cmbGrade");
    lServiceGrade = new QLabel(QStringLiteral("Type service : "), p);
    lServiceGrade->setObjectName(QStringLiteral("lServiceGrade"));
    edAdr = MakeEdit(p, "edAdr", 150);
    edVille = MakeEdit(p, "edVille", 30);
    cmbWil = MakeCombo(p, "cmbWil");
    btnGetWil = MakeButton(p, "btnGetWil", QStringLiteral("..."), QStringLiteral("Wilayas"));
    edTel = MakeEdit(p, "edTel", 40);
    edFax = MakeEdit(p, "edFax", 40);
    cmbBnq = MakeCombo(p, "cmbBnq");
    btnBnq = MakeButton(p, "btnBnq", QStringLiteral("..."), QStringLiteral("Banques"));
    cmbAgence = MakeCombo(p, "cmbAgence");
    btnAgence = MakeButton(p, "btnAgence", QStringLiteral("..."), QStringLiteral("Agences bancaires"));
    edCpt = MakeEdit(p, "edCpt", 60);
    edRC = MakeEdit(p, "edRC", 40);
    edMF = MakeEdit(p, "edMF", 40);
    edAI = MakeEdit(p, "edAI", 30);
    for (QPushButton* b : {btnGetWil, btnBnq, btnAgence})
        b->setFixedWidth(32);

    int row = 0;
    g->addWidget(label(QStringLiteral("Nom/R.Soc.: "), mmNom), row, 0);
    g->addWidget(mmNom, row++, 1, 1, 5);
    g->addWidget(label(QStringLiteral("Type Bénéf.: "), cmbTypeBen), row, 0);
    g->addWidget(cmbTypeBen, row++, 1);
    // The service and grade boxes share one place, under the type box.
    g->addWidget(lServiceGrade, row, 0);
    g->addWidget(cmbService, row, 1);
    g->addWidget(cmbGrade, row++, 1);
    g->addWidget(label(QStringLiteral("Adresse : "), edAdr), row, 0);
    g->addWidget(edAdr, row++, 1, 1, 5);
    g->addWidget(label(QStringLiteral("Ville : "), edVille), row, 0);
    g->addWidget(edVille, row, 1);
    g->addWidget(label(QStringLiteral("Wilaya : "), cmbWil), row, 2);
    g->addWidget(cmbWil, row, 3, 1, 2);
    g->addWidget(btnGetWil, row++, 5);
    g->addWidget(label(QStringLiteral("Tél : "), edTel), row, 0);
    g->addWidget(edTel, row, 1);
    g->addWidget(label(QStringLiteral("Fax : "), edFax), row, 2);
    g->addWidget(edFax, row++, 3, 1, 2);
    g->addWidget(label(QStringLiteral("Banque : "), cmbBnq), row, 0);
    g->addWidget(cmbBnq, row, 1, 1, 4);
    g->addWidget(btnBnq, row++, 5);
    g->addWidget(label(QStringLiteral("Agence : "), cmbAgence), row, 0);
    g->addWidget(cmbAgence, row, 1, 1, 4);
    g->addWidget(btnAgence, row++, 5);
    g->addWidget(label(QStringLiteral("R.I.B : "), edCpt), row, 0);
    g->addWidget(edCpt, row++, 1, 1, 5);
    g->addWidget(label(QStringLiteral("R.C : "), edRC), row, 0);
    g->addWidget(edRC, row, 1);
    g->addWidget(label(QStringLiteral("M.F : "), edMF), row, 2);
    g->addWidget(edMF, row, 3);
    g->addWidget(label(QStringLiteral("A.I : "), edAI), row, 4);
    g->addWidget(edAI, row++, 5);
    g->setColumnStretch(1, 2);
    g->setColumnStretch(3, 1);
    g->setRowStretch(row, 1);
    cmbGrade->hide();

    SetOwnRows([this] { return m_store.ReadAll(); }, QStringLiteral("ID_BEN"));
    SetRowTable(QStringLiteral("BENEF"));

    connect(cmbTypeBen, &QComboBox::activated, this, Guarded([this] { cmbTypeBenCloseUp(); }));
    connect(btnBnq, &QPushButton::clicked, this, Guarded([this] { btnBnqClick(); }));
    connect(btnAgence, &QPushButton::clicked, this, Guarded([this] { btnAgenceClick(); }));
    connect(btnGetWil, &QPushButton::clicked, this, Guarded([this] { btnGetWilClick(); }));
}

TfrmBenef::~TfrmBenef() = default;

void TfrmBenef::FillChoices(QComboBox* box, const QList<TChoice>& choices)
{
    const qint64 chosen = ComboKey(box);
    box->clear();
    for (const TChoice& c : choices)
        box->addItem(c.second, QVariant(c.first));
    SetComboKey(box, chosen);
}

void TfrmBenef::OpenRows()
{
    FillChoices(cmbGrade, m_store.Grades());
    FillChoices(cmbWil, m_store.Wilayas());
    FillChoices(cmbBnq, m_store.Banks());
    FillChoices(cmbAgence, m_store.Agencies());
    ReadOwnRows(IdBen);
}

void TfrmBenef::ShowGradeBox(bool employee)
{
    cmbGrade->setVisible(employee);
    cmbService->setVisible(!employee);
    lServiceGrade->setText(employee ? QStringLiteral("Grade : ") : QStringLiteral("Type service : "));
}

void TfrmBenef::cmbTypeBenCloseUp()
{
    ShowGradeBox(cmbTypeBen->currentIndex() == TypeIndex(BeneficiaryType::Employee));
}

void TfrmBenef::ShowCurrent()
{
    if (RowsEmpty()) {
        IdBen = -1;
        cmbTypeBen->setCurrentIndex(-1);
        cmbService->setCurrentIndex(-1);
        ShowGradeBox(false);
        SetComboKey(cmbBnq, -1);
        SetComboKey(cmbAgence, -1);
        SetComboKey(cmbWil, -1);
        for (QLineEdit* e : {edAdr, edVille, edTel, edFax, edCpt, edRC, edMF, edAI})
            e->clear();
        mmNom->clear();
        return;
    }
    const TBeneficiary b = TBeneficiaryStore::BeneficiaryOf(Rows()->current());
    IdBen = b.id;
    const int type = TypeIndex(b.type);
    cmbTypeBen->setCurrentIndex(type >= 0 && type < cmbTypeBen->count() ? type : -1);
    const qint64 serviceGrade = b.serviceGrade;
    if (b.type == BeneficiaryType::Employee) {
        SetComboKey(cmbGrade, serviceGrade);
        ShowGradeBox(true);
    } else {
        cmbService->setCurrentIndex(serviceGrade >= 0 && serviceGrade < cmbService->count() ? int(serviceGrade) : -1);
        ShowGradeBox(false);
    }
    mmNom->setPlainText(b.nom);
    edAdr->setText(b.adr);
    edVille->setText(b.ville);
    SetComboKey(cmbWil, b.idWil);
    edTel->setText(b.tel);
    edFax->setText(b.fax);
    SetComboKey(cmbBnq, b.idBanque);
    SetComboKey(cmbAgence, b.idAgence);
    edCpt->setText(b.compte);
    edRC->setText(b.rc);
    edMF->setText(b.mf);
    edAI->setText(b.ai);
}

void TfrmBenef::ClearForInsert()
{
    // Type, grade, city, telephone and fax keep the values shown.
    mmNom->clear();
    cmbService->setCurrentIndex(-1);
    SetComboKey(cmbBnq, -1);
    SetComboKey(cmbAgence, -1);
    SetComboKey(cmbWil, -1);
    for (QLineEdit* e : {edCpt, edAdr, edRC, edMF, edAI})
        e->clear();
    mmNom->setFocus();
}

void TfrmBenef::FocusForEdit()
{
    edAdr->setFocus();
}

void TfrmBenef::btnBnqClick()
{
    TfrmListBanque f(this);
    f.SelectMode = false;
    f.exec();
    FillChoices(cmbBnq, m_store.Banks());
}

void TfrmBenef::btnAgenceClick()
{
    TfrmListTable f(this);
    f.CodeTable = QStringLiteral("AGENCE");
    f.KeyField = QStringLiteral("ID_AGENCE");
    f.FormCaption = QStringLiteral("Agences bancaires");
    f.SelectMode = false;
    f.exec();
    FillChoices(cmbAgence, m_store.Agencies());
}

void TfrmBenef::btnGetWilClick()
{
    TfrmListTable f(this);
    f.CodeTable = QStringLiteral("FWIL");
    f.KeyField = QStringLiteral("ID_WIL");
    f.FormCaption = QStringLiteral("Wilayas");
    f.SelectMode = false;
    f.exec();
    FillChoices(cmbWil, m_store.Wilayas());
}

void TfrmBenef::SaveRecord()
{
    const QString nom = mmNom->toPlainText().toUpper().trimmed();
    mmNom->setPlainText(nom);
    if (nom.isEmpty()) {
        ShowMessageBox(QStringLiteral("Le nom du bénéficiaire est manquant !"), mtWarning, MsgButton::OK);
        mmNom->setFocus();
        Abort();
    }
    const int type = cmbTypeBen->currentIndex();
    if (type < 0) {
        ShowInfo(QStringLiteral("Le type de Bénéficiaire est manquant !"));
        cmbTypeBen->setFocus();
        Abort();
    }
    qint64 serviceGrade = -1;
    if (type == TypeIndex(BeneficiaryType::Employee)) {
        serviceGrade = ComboKey(cmbGrade);
        if (serviceGrade < 0) {
            serviceGrade = -1;
            if (ShowMessageBox(QStringLiteral("Le grade du Bénéficiaire est manquant !\rContinuer ?"), mtWarning,
                               MsgButton::No | MsgButton::OK) == mrNo) {
                cmbGrade->setFocus();
                Abort();
            }
        }
    } else {
        serviceGrade = cmbService->currentIndex();
        if (serviceGrade < 0) {
            serviceGrade = -1;
            if (ShowMessageBox(QStringLiteral("Le type de service du Bénéficiaire est manquant !\rContinuer ?"),
                               mtWarning, MsgButton::No | MsgButton::OK) == mrNo) {
                cmbService->setFocus();
                Abort();
            }
        }
    }
    const qint64 bank = ComboKey(cmbBnq);
    if (bank < 0) {
        ShowInfo(QStringLiteral("La Banque du bénéficiaire est manquante !"));
        cmbBnq->setFocus();
        Abort();
    }
    const QString compte = edCpt->text().toUpper().trimmed();
    edCpt->setText(compte);
    if (compte.isEmpty()) {
        ShowInfo(QStringLiteral("Le N° de compte du bénéficiaire est manquante !"));
        edCpt->setFocus();
        Abort();
    }

    const bool inserting = Mode() == emInsert;
    qint64 key = inserting ? 0 : IdBen;
    if (!inserting && (RowsEmpty() || key < 0))
        return;
    TWaitCursor wait;
    TBeneficiary b;
    b.id = key;
    b.nom = nom;
    b.type = fromDb<BeneficiaryType>(type);
    b.serviceGrade = serviceGrade;
    b.adr = edAdr->text().trimmed();
    b.ville = edVille->text().trimmed();
    b.idWil = ComboKey(cmbWil);
    b.tel = edTel->text().trimmed();
    b.fax = edFax->text().trimmed();
    b.idBanque = bank;
    b.idAgence = ComboKey(cmbAgence);
    b.compte = compte;
    b.rc = edRC->text().trimmed();
    b.mf = edMF->text().trimmed();
    b.ai = edAI->text().trimmed();
    {
        TWriteGuard write;
        if (inserting)
            key = m_store.Insert(b);
        else
            m_store.Update(b);
        write.Commit();
    }
    // The saved row (the new one after an insert) is the current row from now on.
    ReadOwnRows(key);
    IdBen = CurrentKey();
}

void TfrmBenef::DeleteRecord()
{
    const qint64 key = CurrentKey();
    if (key >= 0 && DeleteBeneficiary(key)) {
        ReadOwnRows(key);
        LoadCurrent();
    }
}
