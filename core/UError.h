#pragma once
// The program's message box window: one modal French box per message, sized to
// its text, with its buttons centred on a gradient band; it fades out when it
// closes.

#include "core/MessageBox.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class TGradient;

class QTimer;

class TfrmError : public QDialog {
    Q_OBJECT
public:
    explicit TfrmError(QWidget* parent = nullptr);
    ~TfrmError() override;

    // Builds the box for one message, shows it modally and returns the modal
    // result (closing by the title bar returns mrCancel).
    static int Execute(const QString& text, int type, MsgButtons buttons);
    // Builds the box for one message without showing it.
    static std::unique_ptr<TfrmError> Build(const QString& text, int type, MsgButtons buttons);

    QWidget* shpUpper = nullptr;       // rounded frame of the upper area
    TGradient* Gradient4 = nullptr;  // band behind the buttons
    QLabel* lError = nullptr;        // the message
    QLabel* Image = nullptr;         // the type's icon; none for the custom type

    // The window's height, title bar and borders included, as the box is sized.
    int WindowHeight() const { return m_windowHeight; }
    // The button of one kind (named "Yes", "No", "OK"...), or null.
    QPushButton* Button(MsgButton kind) const;
    // The button Enter answers (OK, else Yes, else Retry) and the one Esc
    // answers (Cancel, else No, else OK); null when the set has none.
    QPushButton* DefaultButton() const { return m_defaultButton; }
    QPushButton* EscapeButton() const { return m_escapeButton; }

    // The canvas font (Verdana 13 px) and the message font (Arial bold 13 px).
    static QFont CanvasFont();
    static QFont MessageFont();
    // Height of the title bar and borders counted in WindowHeight.
    static constexpr int NonClientHeight = 28;
    static constexpr int ClientWidth = 523;

    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetWindowHeight(int height);
    // The box fades from 180 down to 12 (of 255), one step of 8 every 10 ms
    // on a timer, then closes with `result`; at once when pauses are off.
    void FadeOutThenClose(int result);
    void FadeStep();

    int m_windowHeight = 0;
    QPushButton* m_defaultButton = nullptr;
    QPushButton* m_escapeButton = nullptr;
    bool m_closing = false;
    QTimer* m_fade = nullptr;
    int m_fadeAlpha = 0;
    int m_fadeResult = 0;
};
