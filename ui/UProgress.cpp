#include "ui/UProgress.h"

#include "controls/FxLabel.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

TfrmProgress::TfrmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Progression"));
    setWindowOpacity(230.0 / 255.0);
    setFixedSize(400, 80);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(0, 0, 400, 80);

    lProgress = MakeEffectLabel(panel, "lProgress", QString(), tsRecessed);
    lProgress->setAlignment(Qt::AlignCenter);
    lProgress->setGeometry(10, 10, 380, 24);

    myGauge = new QProgressBar(panel);
    myGauge->setObjectName(QStringLiteral("myGauge"));
    myGauge->setGeometry(10, 42, 380, 24);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}
