#include "shell/USplashEx.h"

#include "core/GlobalState.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

TfrmSplashEx::TfrmSplashEx(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmSplashEx"));
    setWindowTitle(QStringLiteral("A propos ..."));
    setFixedSize(380, 210);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, QColor(0x1F, 0x3F, 0x5F));
    setPalette(pal);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/images/about.jpg")));
    image->setGeometry(10, 10, 360, 150);

    lVersion = new QLabel(this);
    lVersion->setObjectName(QStringLiteral("lVersion"));
    lVersion->setFont(QFont(QStringLiteral("Verdana"), 9));
    lVersion->setAlignment(Qt::AlignCenter);
    lVersion->setGeometry(10, 172, 360, 22);
}

void TfrmSplashEx::showEvent(QShowEvent* event)
{
    lVersion->setText(VersionLabel);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}
