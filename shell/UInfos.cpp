#include "shell/UInfos.h"

#include "data/Progress.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include <memory>

namespace {
constexpr int kWidth = 470;
}

TfrmInfos::TfrmInfos(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmInfos"));
    setWindowTitle(QStringLiteral("Informations"));
    // Shown while an operation runs and freed by its caller: the keys of the
    // main window (Esc asking to quit) do not act through it, and Esc does not
    // close it.
    setProperty("handlesOwnKeys", true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFixedSize(kWidth, HeightWithBar);

    // Rounded frame around the icon and the message.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("shpFrame"));
    frame->setGeometry(6, 6, kWidth - 12, 104);
    frame->setStyleSheet(QStringLiteral(
        "QFrame#shpFrame { border: 1px solid #7F9DB9; border-radius: 10px; background: white; }"));

    auto* icon = new QLabel(frame);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setGeometry(12, 36, 32, 32);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));

    lInfos = new QLabel(frame);
    lInfos->setObjectName(QStringLiteral("lInfos"));
    lInfos->setWordWrap(true);
    lInfos->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lInfos->setGeometry(52, 34, 397, 35);

    pBar = new QProgressBar(this);
    pBar->setObjectName(QStringLiteral("pBar"));
    pBar->setTextVisible(false);
    pBar->setGeometry(6, HeightWithBar - 26, kWidth - 12, 18);
}

void TfrmInfos::showEvent(QShowEvent* event)
{
    // The screen cursor becomes the hourglass; the caller restores it.
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);

    pBar->setMinimum(0);
    pBar->setValue(0);
    setFixedHeight(pBar->isHidden() ? HeightWithoutBar : HeightWithBar);

    // Centred on the desktop.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

namespace {

// The information window and the hourglass for the life of one long
// operation of the data module.
class InfosProgressDisplay final : public ProgressDisplay {
public:
    ~InfosProgressDisplay() override
    {
        m_window.reset();
        if (m_hourglass)
            QApplication::restoreOverrideCursor();
    }
    void start(const QString& text, int maximum) override
    {
        if (!m_hourglass) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_hourglass = true;
        }
        m_window = std::make_unique<TfrmInfos>();
        m_window->lInfos->setText(text);
        if (maximum > 0)
            m_window->pBar->setMaximum(maximum);
        else
            m_window->pBar->hide();
        m_window->show();
        QCoreApplication::processEvents();
    }
    void step() override
    {
        if (!m_window)
            return;
        m_window->pBar->setValue(m_window->pBar->value() + 1);
        QCoreApplication::processEvents();
    }

private:
    std::unique_ptr<TfrmInfos> m_window;
    bool m_hourglass = false;
};

} // namespace

void InstallInfosProgressDisplay()
{
    SetProgressDisplayFactory([] { return std::make_unique<InfosProgressDisplay>(); });
}
