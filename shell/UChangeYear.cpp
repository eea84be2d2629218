#include "shell/UChangeYear.h"

#include "controls/FxLabel.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Pause.h"
#include "data/AccessRights.h"
#include "data/YearSwitch.h"
#include "shell/UInfos.h"
#include "ui/FormKit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

TfrmChangeYear::TfrmChangeYear(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChangeYear"));
    setWindowTitle(QStringLiteral("Changer l'Exercice"));

    auto* year = MakeEffectLabel(this, "lYear", QString(), tsShadow, QColor(0, 0, 0x80));
    year->SetShadowColor(QColor(0xC0, 0xC0, 0xC0));
    year->SetShadowDepth(3);
    lYear = year;
    QFont big(QStringLiteral("Verdana"), 36, QFont::Bold);
    lYear->setFont(big);
    lYear->setAlignment(Qt::AlignCenter);
    lYear->setToolTip(QStringLiteral("Cliquer sur les flèches pour changer l'exercice"));
    lYear->setCursor(Qt::PointingHandCursor);

    UpDown1 = new QSpinBox(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(1900, 3000);
    UpDown1->setFocusPolicy(Qt::NoFocus);
    UpDown1->setToolTip(QStringLiteral("Cliquer sur les flèches pour changer l'exercice"));
    UpDown1->setFixedWidth(70);

    QHBoxLayout* buttons = MakeOkCancelRow(this, &btnOk, &btnCancel);
    stBar = new TStatusBar({80, 60}, this);

    auto* yearRow = new QHBoxLayout;
    yearRow->addStretch();
    yearRow->addWidget(lYear);
    yearRow->addWidget(UpDown1);
    yearRow->addStretch();
    auto* hint = new QLabel(QStringLiteral("Cliquer sur les flèches pour changer l'exercice"), this);
    hint->setAlignment(Qt::AlignCenter);
    auto* main = new QVBoxLayout(this);
    main->addLayout(yearRow);
    main->addWidget(hint);
    main->addLayout(buttons);
    main->addWidget(stBar);
    setFixedWidth(320);

    m_canWrite = CanWrite(MenuItem::ChangerExercice1, CurrentUserId);
    UpDown1->setValue(FiscalYear.toInt());
    lYear->setText(QString::number(UpDown1->value()));
    ShowStatus();

    connect(UpDown1, &QSpinBox::valueChanged, this, [this](int year) { lYear->setText(QString::number(year)); });
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // The arrow keys change the year wherever the focus is; a click on the
    // year changes it too.
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(btnOk), static_cast<QWidget*>(btnCancel)})
        w->installEventFilter(this);
    lYear->installEventFilter(this);
}

TfrmChangeYear::~TfrmChangeYear() = default;

int TfrmChangeYear::Year() const
{
    return UpDown1->value();
}

void TfrmChangeYear::StepYear(int delta)
{
    UpDown1->setValue(UpDown1->value() + delta);
}

void TfrmChangeYear::ShowStatus()
{
    stBar->SetPanel(0, DbUser);
    stBar->SetPanel(1, FiscalYear);
}

bool TfrmChangeYear::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Down) {
            StepYear(-1);
            return true;
        }
        if (key == Qt::Key_Right || key == Qt::Key_Up) {
            StepYear(+1);
            return true;
        }
    }
    if (watched == lYear && event->type() == QEvent::MouseButtonPress) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::LeftButton)
            StepYear(+1);
        else if (button == Qt::RightButton)
            StepYear(-1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmChangeYear::btnOkClick()
{
    const QString year = QString::number(Year());
    // Making a year is a write: a user with read access only moves between
    // the years that exist.
    if (!m_canWrite && YearNeedsCreation(year))
        DenyWriteAccess();
    TWaitCursor wait;
    const bool switched = SwitchFiscalYear(year, m_canWrite);
    ShowStatus();
    if (!switched)
        return;
    // The new year is told for a moment, the dialog staying usable.
    auto* infos = new TfrmInfos(this);
    infos->lInfos->setText(QStringLiteral("Vous êtes sur l'exercice ") + year);
    infos->pBar->hide();
    infos->show();
    QTimer::singleShot(int(ShownYearMilliseconds * PauseScale()), infos, &QObject::deleteLater);
}
