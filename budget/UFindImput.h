#pragma once
// TfrmFindImput: the small dialog in which the user types a chapter, an article
// and a paragraph; the caller reads the three texts, as typed, once the dialog
// has closed with OK, and looks the budget line up in its own rows.

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

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

// The chapter, article and paragraph edits of a search dialog, centred under
// their captions "Chap.", "Art.", "Par." in the first two rows of `grid`.
struct TImputationEdits {
    QLineEdit* chap = nullptr;
    QLineEdit* art = nullptr;
    QLineEdit* par = nullptr;
};
TImputationEdits AddImputationEdits(QWidget* parent, QGridLayout* grid);

// Whether a stored chapter, article or paragraph (NULL read as empty, the blanks
// that pad a fixed-length column ignored) is the text typed, exactly and with
// case.
bool SameImputationPart(const QString& stored, const QString& typed);

// A chapter, an article and a paragraph as typed in the dialog.
struct TImputation {
    QString chap, art, par;
};

// Shows the dialog modally and frees it; the three texts on OK, nothing otherwise.
std::optional<TImputation> AskImputation(QWidget* parent);

// The first of `rowCount` rows whose chapter, article and paragraph
// (`imputation(row)`) are the typed ones (SameImputationPart); -1 when none.
int FindImputationRow(const TImputation& typed, int rowCount,
                      const std::function<TImputation(int row)>& imputation);
