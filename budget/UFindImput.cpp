#include "budget/UFindImput.h"

#include "core/Guard.h"
#include "ui/ListRecordPattern.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmFindImput::TfrmFindImput(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindImput"));
    setWindowTitle(QStringLiteral("Chercher une imputation"));

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Tapez l'imputation à chercher"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto* grid = new QGridLayout;
    const TImputationEdits edits = AddImputationEdits(this, grid);
    edChap = edits.chap;
    edArt = edits.art;
    edPar = edits.par;
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    btnOk->setEnabled(false);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(edChap, &QLineEdit::textChanged, this, Guarded([this] { edChapChange(); }));
    // Enter moves on through the fields; in the paragraph it closes with OK,
    // whether OK is enabled or not.
    connect(edChap, &QLineEdit::returnPressed, this, Guarded([this] { edArt->setFocus(); }));
    connect(edArt, &QLineEdit::returnPressed, this, Guarded([this] { edPar->setFocus(); }));
    connect(edPar, &QLineEdit::returnPressed, this, Guarded([this] { accept(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { reject(); }));
    edChap->setFocus();
}

void TfrmFindImput::edChapChange()
{
    btnOk->setEnabled(!edChap->text().trimmed().isEmpty());
    if (edChap->text().size() == 5)
        edArt->setFocus();
}

TImputationEdits AddImputationEdits(QWidget* parent, QGridLayout* grid)
{
    auto edit = [parent](const char* name, int maxLength, int width) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        e->setFixedWidth(width);
        e->setAlignment(Qt::AlignCenter);
        return e;
    };
    TImputationEdits edits{edit("edChap", 5, 70), edit("edArt", 2, 40), edit("edPar", 2, 40)};
    const char* captions[] = {"Chap.", "Art.", "Par."};
    QLineEdit* fields[] = {edits.chap, edits.art, edits.par};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(QString::fromLatin1(captions[i]), parent);
        l->setAlignment(Qt::AlignCenter);
        grid->addWidget(l, 0, i);
        grid->addWidget(fields[i], 1, i, Qt::AlignHCenter);
    }
    return edits;
}

bool SameImputationPart(const QString& stored, const QString& typed)
{
    QString s = stored;
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s == typed;
}

std::optional<TImputation> AskImputation(QWidget* parent)
{
    TfrmFindImput dlg(parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return TImputation{dlg.edChap->text(), dlg.edArt->text(), dlg.edPar->text()};
}

int FindImputationRow(const TImputation& typed, int rowCount,
                      const std::function<TImputation(int row)>& imputation)
{
    for (int r = 0; r < rowCount; ++r) {
        const TImputation stored = imputation(r);
        if (SameImputationPart(stored.chap, typed.chap) && SameImputationPart(stored.art, typed.art)
            && SameImputationPart(stored.par, typed.par))
            return r;
    }
    return -1;
}
