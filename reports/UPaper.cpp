#include "reports/UPaper.h"

#include "core/Guard.h"
#include "ui/FormKit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::function<int()>& Responder()
{
    static std::function<int()> responder;
    return responder;
}

} // namespace

TfrmPaper::TfrmPaper(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPaper"));
    setWindowTitle(QStringLiteral("Format du papier"));

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Format du papier : "), this);
    cmbPaper = new QComboBox(this);
    cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
    cmbPaper->addItems({QStringLiteral("210×297 mm (A4)"), QStringLiteral("210×279 mm (Letter)"),
                        QStringLiteral("350x279 mm (Legal)")});
    cmbPaper->setCurrentIndex(0);
    label->setBuddy(cmbPaper);
    row->addWidget(label);
    row->addWidget(cmbPaper, 1);
    layout->addLayout(row);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"), QString(), QStyle::SP_DialogOkButton);
    btnOk->setAutoDefault(true);
    btnOk->setDefault(true);
    buttons->addWidget(btnOk);
    layout->addLayout(buttons);
    // A fixed-size dialog.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { accept(); }));
}

int TfrmPaper::PaperIndex() const
{
    return cmbPaper->currentIndex();
}

int TfrmPaper::Ask(QWidget* parent)
{
    if (Responder())
        return Responder()();
    TfrmPaper dialog(parent);
    dialog.exec();
    return dialog.PaperIndex();
}

void TfrmPaper::SetResponder(std::function<int()> responder)
{
    Responder() = std::move(responder);
}
