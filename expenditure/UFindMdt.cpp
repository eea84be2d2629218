#include "expenditure/UFindMdt.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "ui/ListRecordPattern.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

const QColor kGrey(192, 192, 192);

// A whole number the key column holds (digits only).
bool IsWholeNumber(const QString& text, qint64* value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return false;
    *value = text.toLongLong();
    return true;
}

} // namespace

TfrmFindMdt::TfrmFindMdt(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindMdt"));
    setWindowTitle(QStringLiteral("Chercher un mandat"));

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    lIdMdt = new QLabel(QStringLiteral("No d'ordre : "), this);
    edIdMdt = new QLineEdit(this);
    edIdMdt->setObjectName(QStringLiteral("edIdMdt"));
    lNoMdt = new QLabel(QStringLiteral("No du mandat : "), this);
    edNoMdt = new QLineEdit(this);
    edNoMdt->setObjectName(QStringLiteral("edNoMdt"));
    edNoMdt->setMaxLength(4);
    for (QLineEdit* e : {edIdMdt, edNoMdt}) {
        e->setFixedWidth(90);
        e->setAlignment(Qt::AlignCenter);
    }
    grid->addWidget(lIdMdt, 0, 0, Qt::AlignRight);
    grid->addWidget(edIdMdt, 0, 1);
    grid->addWidget(lNoMdt, 1, 0, Qt::AlignRight);
    grid->addWidget(edNoMdt, 1, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    btnOk->setDefault(true);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(edIdMdt, &QLineEdit::textChanged, this, [this] { EditChanged(edIdMdt, edNoMdt, lNoMdt); });
    connect(edNoMdt, &QLineEdit::textChanged, this, [this] { EditChanged(edNoMdt, edIdMdt, lIdMdt); });
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmFindMdt::EditChanged(QLineEdit* typed, QLineEdit* other, QLabel* otherLabel)
{
    const bool used = !typed->text().trimmed().isEmpty();
    other->setEnabled(!used);
    otherLabel->setEnabled(!used);
    QPalette p = other->palette();
    const QColor base = used ? kGrey : palette().color(QPalette::Active, QPalette::Base);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, base);
    other->setPalette(p);
}

void TfrmFindMdt::btnOkClick()
{
    edIdMdt->setText(edIdMdt->text().trimmed());
    qint64 value = 0;
    if (!edIdMdt->text().isEmpty() && !IsWholeNumber(edIdMdt->text(), &value)) {
        ShowInfo(QStringLiteral("Le N° d'ordre du mandat doit être numérique !"));
        edIdMdt->setFocus();
        Abort();
    }
    accept();
}

void TfrmFindMdt::done(int result)
{
    FoundIdMdt = -1;
    FoundNoMdt.clear();
    if (result == QDialog::Accepted) {
        qint64 value = 0;
        if (IsWholeNumber(edIdMdt->text().trimmed(), &value))
            FoundIdMdt = value;
        FoundNoMdt = edNoMdt->text().trimmed();
    }
    QDialog::done(result);
}
