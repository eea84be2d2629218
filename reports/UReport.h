#pragma once
// TfrmReport ("Mise en page"): the layout editor of the documents printed on
// pre-printed stationery. The user chooses a document; the editor creates it
// (a document builds its design without the database) and shows a copy of
// its bands and of their labels, shapes and images, on a 10 mm grid, at the
// positions stored for it in REPORT (or at its design positions with "Charger
// l'Original"). A control is selected and moved with the mouse, resized by
// its four handles, moved (Ctrl + arrow) and resized (Shift + arrow) 2 pixels
// at a time, or placed by typing millimetres in the four position fields.
// "Enregistrer" replaces the report's stored rows by the copy's positions in
// one write operation; the documents apply them when they print
// (LoadReportLayout). Positions are report pixels (96 per inch) relative to
// the band.

#include "reports/engine/Report.h"

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPair>
#include <QPen>
#include <QPointer>
#include <QRect>
#include <QString>

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;

// A band of the copy: its colour, the 10 mm grid and a lowered bevel.
class TLayoutBand : public QWidget {
    Q_OBJECT
public:
    explicit TLayoutBand(QWidget* parent = nullptr);
    QColor color = Qt::white;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A control of the copy, named as the document's control; its geometry is
// the control's rectangle in its band.
class TLayoutControl : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Label, Shape, Image };
    TLayoutControl(Kind kind, QWidget* band);

    Kind kind() const { return m_kind; }
    QWidget* band() const { return parentWidget(); }

    // Labels: what they show, in the design's font and alignment.
    QString caption;
    QFont reportFont;   // the document's font (points)
    QFont font;         // the same drawn at 96 pixels per inch
    Qt::Alignment alignment = Qt::AlignLeft;
    // Shapes.
    rpt::Shape::Form form = rpt::Shape::Form::Rectangle;
    QPen pen;
    QBrush brush;
    // Images.
    QImage picture;
    bool stretch = true;
    // A selected label is framed in red.
    bool framed = false;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind m_kind;
};

class TfrmReport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmReport(QWidget* parent = nullptr);
    ~TfrmReport() override;

    // The documents offered, in the order of the list: the text shown and the
    // document's unit.
    static const QList<QPair<QString, QString>>& ReportList();

    // Controls.
    QFrame* pnlTools = nullptr;
    QComboBox* cmbReport = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnLoadOriginal = nullptr;
    QLineEdit* edPTop = nullptr;
    QLineEdit* edPLeft = nullptr;
    QLineEdit* edHeight = nullptr;
    QLineEdit* edWidth = nullptr;
    QScrollArea* scrReport = nullptr;
    QWidget* pnlReport = nullptr;   // the copy; null before a report is chosen
    QWidget* sqShape = nullptr;     // the selection outline
    QList<QWidget*> Handles;        // _sqH, _sqB, _sqG, _sqD, then the corners _sqHG, _sqHD, _sqBG, _sqBD
    QMenu* PopMenuCtl = nullptr;
    QAction* mnLoadOriginal = nullptr;
    QAction* mnSave = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnToFront = nullptr;
    QAction* mnToBack = nullptr;
    QAction* mnClose = nullptr;

    // State.
    const QString& ReportName() const { return m_reportName; }   // in capitals
    bool Loaded() const { return m_loaded; }
    bool Modified() const { return m_modified; }
    TLayoutControl* Selected() const { return m_selected; }
    const QList<TLayoutBand*>& Bands() const { return m_bands; }
    QList<TLayoutControl*> Controls() const { return m_controls; }
    TLayoutControl* FindControl(const QString& name) const;
    // The message listing the bands of the copy and their controls.
    QString CopyDescription() const;

    // Handlers.
    void cmbReportChange();         // an entry chosen in the list
    void btnSaveClick();
    void btnCancelClick();
    void btnLoadOriginalClick();
    void SelectControl(TLayoutControl* control);
    void BringToFront();
    void SendToBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildForm();
    // Asks whether to save a modified layout; false when the user cancels or
    // the save fails (the layout then stays as it is, modified).
    bool ConfirmLeave();
    void LoadReport(int index, bool original);
    void BuildCopy(const rpt::Report& report, bool original);
    void ClearCopy();
    void Save();

    void SetModified(bool modified);
    void UpdateControls();
    void ShowPosition(const QRect& rect);
    void PlaceHandles();
    void HideHandles();
    void ApplyField(QLineEdit* field);
    bool KeyPressed(int key, Qt::KeyboardModifiers modifiers);

    bool ControlMouse(TLayoutControl* control, QEvent* event);
    bool HandleMouse(QWidget* handle, QEvent* event);
    void DropShadow();

    QString m_reportName;
    bool m_loaded = false;
    bool m_modified = false;
    int m_loadedIndex = -1;
    TLayoutControl* m_selected = nullptr;
    QList<TLayoutBand*> m_bands;
    QList<TLayoutControl*> m_controls;
    struct Margins {
        int top = 0, left = 0, right = 0, bottom = 0;
    } m_margins;
    // The page of the report loaded, in millimetres: what a typed position or
    // size may reach.
    Currency m_pageWidthMm, m_pageLengthMm;

    // Moving with the mouse: the shadow and where the press started.
    QPointer<QFrame> m_shadow;
    QPoint m_pressGlobal;
    QPoint m_pressPos;
    // Resizing: the side a handle moves ('H', 'B', 'G', 'D'), 0 when none.
    char m_side = 0;
};
