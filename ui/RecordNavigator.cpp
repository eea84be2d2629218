#include "ui/RecordNavigator.h"

#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

TRecordNavigator::TRecordNavigator(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MyNavigator"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto make = [this, layout](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
        QToolButton* b = MakeIconButton(this, name, hint, icon);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        return b;
    };
    btnFirst = make("btnFirst", QStyle::SP_MediaSkipBackward, QStringLiteral("Premier"));
    btnPrior = make("btnPrior", QStyle::SP_MediaSeekBackward, QStringLiteral("Précédent"));
    btnNext = make("btnNext", QStyle::SP_MediaSeekForward, QStringLiteral("Suivant"));
    btnLast = make("btnLast", QStyle::SP_MediaSkipForward, QStringLiteral("Dernier"));
    connect(btnFirst, &QToolButton::clicked, this, [this] { MoveTo(0); });
    connect(btnPrior, &QToolButton::clicked, this, [this] { MoveTo(Current() - 1); });
    connect(btnNext, &QToolButton::clicked, this, [this] { MoveTo(Current() + 1); });
    connect(btnLast, &QToolButton::clicked, this, [this] { MoveTo(Count() - 1); });
    UpdateButtons();
}

void TRecordNavigator::SetModel(QueryTableModel* model)
{
    m_model = model;
    UpdateButtons();
}

int TRecordNavigator::Count() const
{
    return m_model ? m_model->rowCount() : 0;
}

int TRecordNavigator::Current() const
{
    return m_model ? m_model->currentRow() : 0;
}

void TRecordNavigator::MoveTo(int row)
{
    const int count = Count();
    if (count == 0)
        return;
    row = qBound(0, row, count - 1);
    if (row == Current())
        return;
    m_model->setCurrentRow(row);
    UpdateButtons();
    emit moved();
}

void TRecordNavigator::UpdateButtons()
{
    const int count = Count();
    const int row = Current();
    const bool atFirst = count == 0 || row <= 0;
    const bool atLast = count == 0 || row >= count - 1;
    btnFirst->setEnabled(!atFirst);
    btnPrior->setEnabled(!atFirst);
    btnNext->setEnabled(!atLast);
    btnLast->setEnabled(!atLast);
}

void TRecordNavigator::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        UpdateButtons();
    QWidget::changeEvent(event);
}
