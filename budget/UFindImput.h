#pragma once
// TfrmFindImput: the small dialog in which the user types a chapter, an article
// and a paragraph; the caller reads the three texts, as typed, once the dialog
// has closed with OK, and looks the budget line up in its own rows.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TfrmFindImput : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFindImput(QWidget* parent = nullptr);

    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // Typing in the chapter: OK only with a chapter; five characters ("21-05")
    // move on to the article.
    void edChapChange();
};

// Whether a stored chapter, article or paragraph (NULL read as empty, the blanks
// that pad a fixed-length column ignored) is the text typed, exactly and with
// case.
bool SameImputationPart(const QString& stored, const QString& typed);
