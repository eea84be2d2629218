#include "budget/UTotChap.h"

#include "budget/BudgetStore.h"

#include "core/Guard.h"
#include "ui/ListRecordPattern.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmTotChap::TfrmTotChap(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTotChap"));
    setWindowTitle(QStringLiteral("Total Chapitre"));

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Total du chapitre"), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    lChap = new QLabel(this);
    lChap->setObjectName(QStringLiteral("lChap"));
    lChap->setAlignment(Qt::AlignCenter);
    lChap->setFont(f);
    layout->addWidget(lChap);

    // The total, large, in a frame with curved corners.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("shpTotChap"));
    frame->setStyleSheet(QStringLiteral("#shpTotChap { border: 2px solid #404080; border-radius: 12px; background: white; }"));
    auto* frameLayout = new QHBoxLayout(frame);
    lTotChap = new QLabel(frame);
    lTotChap->setObjectName(QStringLiteral("lTotChap"));
    QFont big = lTotChap->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.8);
    lTotChap->setFont(big);
    lTotChap->setAlignment(Qt::AlignCenter);
    lTotChap->setMinimumWidth(280);
    frameLayout->addWidget(lTotChap);
    layout->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    buttons->addWidget(btnOk);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { accept(); }));
}

void TfrmTotChap::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    RunGuarded([this] { FormShow(); });
    btnOk->setFocus();
}

void TfrmTotChap::FormShow()
{
    lChap->setText(Chap);
    lTotChap->setText(TBudgetStore().ChapterPrimitiveTotal(Chap).formatMoney());
}
