#include "refdata/UFNMSQL.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "refdata/UListFNM.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString ChapterFormMessage = QStringLiteral("Le chapitre doit être sous la forme ") + QStringLiteral(" nn-nn ! Ex. 22-14");

bool IsIntegerText(const QString& s)
{
    bool ok = false;
    s.toInt(&ok);
    return ok;
}

QString WithoutTrailingBlanks(const QString& s)
{
    int n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return s.left(n);
}

} // namespace

TfrmFNMSQL::TfrmFNMSQL(QWidget* parent)
    : TRefRecordForm(Options{.hasDelete = true,
                             .hasNavigator = true,
                             .popupIsContextMenu = false,
                             .closeQuestion = cqSaveAndStay,
                             .editDeleteAlways = true},
                     parent)
{
    setObjectName(QStringLiteral("frmFNMSQL"));
    setWindowTitle(QStringLiteral("Fiche imputation"));
    resize(700, 300);

    QWidget* p = pnlMain;
    auto* g = new QGridLayout(p);
    g->setContentsMargins(12, 12, 12, 12);
    auto makeEdit = [p](const char* name, int maxLength) {
        QLineEdit* e = MakeEdit(p, name, maxLength);
        e->setMaximumWidth(80);
        return e;
    };
    edChap = makeEdit("edChap", 5);
    edArt = makeEdit("edArt", 2);
    edPar = makeEdit("edPar", 2);
    mmLib = new QPlainTextEdit(p);
    mmLib->setObjectName(QStringLiteral("mmLib"));
    mmLib->setTabChangesFocus(true);
    LimitPlainText(mmLib, 250);
    cmbSection = new QComboBox(p);
    cmbSection->setObjectName(QStringLiteral("cmbSection"));
    cmbSection->addItems({QStringLiteral("1"), QStringLiteral("2")});
    cmbSection->setMaximumWidth(80);
    chkSoumis = new QCheckBox(QStringLiteral("Soumis aux charges sociales"), p);
    chkSoumis->setObjectName(QStringLiteral("chkSoumis"));

    g->addWidget(new QLabel(QStringLiteral("Chap."), p), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Art."), p), 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Par."), p), 0, 3);
    g->addWidget(new QLabel(QStringLiteral("Imputation : "), p), 1, 0);
    g->addWidget(edChap, 1, 1);
    g->addWidget(edArt, 1, 2);
    g->addWidget(edPar, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("Intitulé : "), p), 2, 0, Qt::AlignTop);
    g->addWidget(mmLib, 2, 1, 1, 5);
    g->addWidget(new QLabel(QStringLiteral("Section : "), p), 3, 0);
    g->addWidget(cmbSection, 3, 1);
    g->addWidget(chkSoumis, 3, 2, 1, 3);
    g->setColumnStretch(5, 1);

    // Enter in the imputation edits moves to the next control.
    for (QLineEdit* e : {edChap, edArt, edPar})
        AddEnterToNext(e);

    SetOwnRows([this] { return m_store.ReadAll(); }, QStringLiteral("ID_FNM"));
    SetRowTable(QStringLiteral("FNM"));
}

TfrmFNMSQL::~TfrmFNMSQL() = default;

void TfrmFNMSQL::ShowCurrent()
{
    if (RowsEmpty()) {
        for (QLineEdit* e : {edChap, edArt, edPar})
            e->clear();
        chkSoumis->setChecked(false);
        mmLib->clear();
        cmbSection->setCurrentIndex(-1);
        return;
    }
    const TBudgetLineEntry line = TNomenclatureStore::LineOf(Rows()->current());
    edChap->setText(WithoutTrailingBlanks(line.chap));
    edArt->setText(line.art);
    edPar->setText(line.par);
    chkSoumis->setChecked(line.soumis);
    mmLib->setPlainText(line.intitule);
    const int section = line.section;
    cmbSection->setCurrentIndex(section >= 1 && section <= 2 ? int(section - 1) : -1);
}

void TfrmFNMSQL::ClearForInsert()
{
    // The section keeps the value shown.
    edPar->clear();
    chkSoumis->setChecked(false);
    mmLib->clear();
    edChap->setText(LastChapter);
    edArt->setText(LastArticle);
    if (!LastChapter.isEmpty())
        edArt->setFocus();
    else
        edChap->setFocus();
}

void TfrmFNMSQL::FocusForEdit()
{
    mmLib->setFocus();
}

void TfrmFNMSQL::SaveRecord()
{
    auto refuse = [](const QString& message, QWidget* focus) {
        ShowInfo(message);
        focus->setFocus();
        Abort();
    };
    const QString chap = edChap->text().trimmed();
    const QString art = edArt->text().trimmed();
    const QString par = edPar->text().trimmed();
    edChap->setText(chap);
    edArt->setText(art);
    edPar->setText(par);
    if (chap.isEmpty())
        refuse(QStringLiteral("Le Chapitre est manquant !"), edChap);
    if (chap.size() != 5)
        refuse(ChapterFormMessage, edChap);
    if (!IsIntegerText(chap.mid(0, 2)) || !IsIntegerText(chap.mid(3, 2)))
        refuse(ChapterFormMessage, edChap);
    if (chap.at(2) != QLatin1Char('-'))
        refuse(QStringLiteral("Le séparateur du chapitre doit être : '-' !"), edChap);
    const bool inserting = Mode() == emInsert;
    if (inserting) {
        const bool exists = m_store.Exists(chap, art, par);
        if (exists)
            refuse(QStringLiteral("Cette imputation a déjà été saisie !"), edChap);
    }
    const QString lib = mmLib->toPlainText().trimmed();
    mmLib->setPlainText(lib);
    if (lib.isEmpty())
        refuse(QStringLiteral("L'Intitulé  est manquant !"), mmLib);
    const int section = cmbSection->currentIndex();
    if (section < 0)
        refuse(QStringLiteral("La section  est manquante !"), cmbSection);
    if (chkSoumis->isChecked() && section == 1)
        refuse(QStringLiteral("Seules les imputations de la section 1 sont soumises aux charges sociales !"), chkSoumis);

    qint64 key = inserting ? 0 : CurrentKey();
    TWaitCursor wait;
    auto afterSave = [&] {
        LastChapter = edChap->text();
        LastArticle = edArt->text();
        SetMode(emBrowse);
    };
    if (!inserting && key < 0) {
        afterSave();
        return;
    }
    try {
        TBudgetLineEntry line;
        line.id = key;
        line.chap = chap;
        line.art = art;
        line.par = par;
        line.soumis = chkSoumis->isChecked();
        line.intitule = lib;
        line.section = section + 1;
        {
            TWriteGuard write;
            if (inserting)
                key = m_store.Insert(line);
            else
                m_store.Update(line);
            write.Commit();
        }
    } catch (const EAbort&) {
        // A refused commit: the entry stays, in its mode, to be saved again.
        throw;
    } catch (...) {
        // A failed statement leaves the line unchanged; the window still goes
        // back to browse mode, then the error is shown.
        afterSave();
        throw;
    }
    afterSave();
    // The saved line (the new one after an insert) is the current row from now on.
    ReadOwnRows(key);
    IdFnm = CurrentKey();
    SetMode(emBrowse);
}

void TfrmFNMSQL::DeleteRecord()
{
    const qint64 key = CurrentKey();
    if (key >= 0 && DeleteBudgetLine(key)) {
        ReadOwnRows(key);
        LoadCurrent();
    }
}
