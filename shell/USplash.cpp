#include "shell/USplash.h"

#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

TfrmSplash::TfrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Vorel - Gestion des Finances"));
    // The main window's keys (Esc asking to quit) do not act while the program starts.
    setProperty("handlesOwnKeys", true);
    setFixedSize(425, 168);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, 0, 425, 168);
    panel->setFrameShape(QFrame::Box);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, QColor(0x1F, 0x3F, 0x5F));
    panel->setPalette(pal);

    auto* image = new QLabel(panel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/images/splash.jpg")));
    image->setGeometry(8, 9, 130, 150);

    auto* title = new QLabel(QStringLiteral("Vorel"), panel);
    title->setObjectName(QStringLiteral("lTitre"));
    QFont big(QStringLiteral("Times New Roman"), 28, QFont::Bold);
    title->setFont(big);
    title->setGeometry(150, 14, 265, 46);

    auto* subtitle = new QLabel(QStringLiteral("Gestion des Finances"), panel);
    subtitle->setObjectName(QStringLiteral("lSousTitre"));
    subtitle->setFont(QFont(QStringLiteral("Verdana"), 11));
    subtitle->setGeometry(152, 58, 265, 22);

    lVersion = new QLabel(panel);
    lVersion->setObjectName(QStringLiteral("lVersion"));
    lVersion->setFont(QFont(QStringLiteral("Verdana"), 8));
    lVersion->setGeometry(152, 84, 265, 18);

    lChargement = new QLabel(QStringLiteral("Chargement en cours..."), panel);
    lChargement->setObjectName(QStringLiteral("lChargement"));
    lChargement->setFont(QFont(QStringLiteral("Verdana"), 8));
    lChargement->setGeometry(152, 118, 265, 16);

    pBar = new QProgressBar(panel);
    pBar->setObjectName(QStringLiteral("pBar"));
    pBar->setTextVisible(false);
    pBar->setRange(0, 5);
    pBar->setValue(0);
    pBar->setGeometry(152, 138, 262, 14);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}
