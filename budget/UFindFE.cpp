#include "budget/UFindFE.h"

#include "budget/SheetStore.h"
#include "budget/UFindImput.h"
#include "ui/ListRecordPattern.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TfrmFindFE::TfrmFindFE(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindFE"));
    setWindowTitle(QStringLiteral("Chercher une FE"));

    auto* layout = new QVBoxLayout(this);
    auto* imput = new QGroupBox(QStringLiteral("Imputation"), this);
    auto* grid = new QGridLayout(imput);
    const TImputationEdits edits = AddImputationEdits(imput, grid);
    edChap = edits.chap;
    edArt = edits.art;
    edPar = edits.par;
    layout->addWidget(imput);

    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(QStringLiteral("No F.E"), this));
    edNoFE = new QLineEdit(this);
    edNoFE->setObjectName(QStringLiteral("edNoFE"));
    edNoFE->setMaxLength(4);
    edNoFE->setFixedWidth(60);
    edNoFE->setAlignment(Qt::AlignCenter);
    number->addWidget(edNoFE);
    number->addStretch();
    layout->addLayout(number);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    btnOk->setDefault(true);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    edChap->installEventFilter(this);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edChap->setFocus();
}

bool TfrmFindFE::eventFilter(QObject* watched, QEvent* event)
{
    // A chapter "nn-nn" is typed without leaving the keyboard: a character
    // typed once the chapter holds four goes into it, then the article follows.
    if (watched == edChap && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && edChap->text().trimmed().size() >= 4)
            QTimer::singleShot(0, edArt, [art = edArt] { art->setFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmFindFE::done(int result)
{
    FoundNoFE.clear();
    FoundChap.clear();
    FoundArt.clear();
    FoundPar.clear();
    if (result == QDialog::Accepted) {
        FoundNoFE = TSheetStore::PadNumber(edNoFE->text());
        FoundChap = edChap->text().trimmed();
        FoundArt = edArt->text().trimmed();
        FoundPar = edPar->text().trimmed();
    }
    QDialog::done(result);
}
