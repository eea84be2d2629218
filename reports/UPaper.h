#pragma once
// TfrmPaper: the paper dialog "Format du papier". The documents that ask it
// read the index chosen: 0 is A4, any other index Letter (the third entry
// counts as Letter too). Closing it with the title bar returns the index shown.

#include <QDialog>

#include <functional>

class QComboBox;
class QPushButton;

class TfrmPaper : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPaper(QWidget* parent = nullptr);

    QComboBox* cmbPaper = nullptr;
    QPushButton* btnOk = nullptr;

    int PaperIndex() const;

    // Shows the dialog modally and returns the index chosen. A program that
    // prints off screen answers through the responder instead.
    static int Ask(QWidget* parent = nullptr);
    static void SetResponder(std::function<int()> responder);
};
