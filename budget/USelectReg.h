#pragma once
// TfrmSelectReg ("Régularisation"): asks, for a regularisation sheet that has
// no budget line yet, which line and which kind of regularisation it is.
// The caller shows it modally and, after OK, reads IdFnm (-1 when no line was
// picked), Kind() and LineText().

#include "data/Codes.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmSelectReg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectReg(QWidget* parent = nullptr);

    qint64 IdFnm = -1;   // out
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QLabel* lInt = nullptr;
    QButtonGroup* rdRegul = nullptr;   // "Mandats", "Transfert", "Modificatif", "Désengagement"
    QPushButton* btnGetImp = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The kind of the radio item chosen.
    SheetOrigin Kind() const;
    // Chapter, article and paragraph joined by "." (chapter and article only
    // without paragraph), " - " and the title; empty without a line.
    QString LineText() const;
    // Takes a budget line as the picker gives it.
    void TakeLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par, const QString& title);

    void btnGetImpClick();
};
