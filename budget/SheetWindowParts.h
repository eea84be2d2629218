#pragma once
// Pieces shared by the windows of commitment sheets (the user's commitments
// and their cancellations): the header fields (number, date, visa number and
// date with their calendar buttons, the title of the sheet's kind), the
// observation memo, the balance footer, and the entry edit that has the focus
// standing out.

#include "budget/SheetRules.h"
#include "core/Currency.h"
#include "data/ShownRow.h"
#include "documents/DocumentBrowsing.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

class QGridLayout;
class QHBoxLayout;
class TDocumentKeyList;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QWidget;
struct TSheet;

struct TSheetHeaderFields {
    QLineEdit* edNoFiche = nullptr;
    QLineEdit* edDateE = nullptr;
    QLineEdit* edNoVisa = nullptr;
    QLineEdit* edDateVisa = nullptr;
    QToolButton* btnGetDateEng = nullptr;
    QToolButton* btnGetDateVisa = nullptr;
    QLabel* lObjet = nullptr;   // the title of the sheet's kind

    // The fields on the first two rows of `grid` (four columns), the title
    // (`kind`: "DEPENSE" or "ECONOMIE") in the fifth; the calendar buttons and
    // a double click put a date in their field.
    void Build(QWidget* panel, QGridLayout* grid, const QString& kind);
    void Clear();
    // The sheet's number, date, visa number and visa date.
    void Show(const TSheet& sheet);
    // The four edits, in their order on screen.
    QList<QLineEdit*> Edits() const { return {edNoFiche, edDateE, edNoVisa, edDateVisa}; }
};

// The header fields built on `grid` and handed to the window `w` (its members
// edNoFiche, edDateE, edNoVisa, edDateVisa, btnGetDateEng, btnGetDateVisa).
template <class Window>
void BuildSheetHeader(Window* w, TSheetHeaderFields& header, QWidget* panel, QGridLayout* grid, const QString& kind)
{
    header.Build(panel, grid, kind);
    w->edNoFiche = header.edNoFiche;
    w->edDateE = header.edDateE;
    w->edNoVisa = header.edNoVisa;
    w->edDateVisa = header.edDateVisa;
    w->btnGetDateEng = header.btnGetDateEng;
    w->btnGetDateVisa = header.btnGetDateVisa;
}

// "Imput.: " and the bold, wrapping label "lInt" of the sheet's budget line, on the third row of `grid`.
QLabel* AddBudgetLineRow(QWidget* panel, QGridLayout* grid);

// The framed bar "pnlDetail" above a sheet's lines: the buttons that add
// lines ("btnModifDet", `addText`) and remove one ("btnDelDet", `removeHint`),
// each showing its command, then a stretch; `row` receives the bar's layout.
QFrame* BuildLineButtons(QWidget* window, QToolButton** add, QToolButton** remove, const QString& addText,
                         QAction* addCommand, const QString& removeHint, QAction* removeCommand, QHBoxLayout** row);

// A grid column written in bold (the lines' amounts).
class TBoldColumn : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->font.setBold(true);
    }
};

// The number typed in `edNoFiche` when a sheet is changed: trimmed, checked
// (sheet::CheckNumber) and free on the sheet's budget line (`taken` answers
// whether another sheet of the line holds the padded number: "Ce N° de Fiche
// existe déjà !"); the edit then shows it padded to four digits.
TVerdict TakeTypedNumber(QLineEdit* edNoFiche, const std::function<bool(const QString& padded)>& taken);

// The stored row a sheet window shows: the sheet's ENT_ENG row, read afresh
// when shown (its version is read with it); none without a sheet.
TShownRow SheetShownRow(const std::optional<TSheet>& sheet);

// The sheet a sheet window shows first: `idEng` when it is listed (the first
// sheet when it is not), the last one when `idEng` is 0 or less.
void LocateFirstSheet(TDocumentKeyList* keys, qint64 idEng);

// The two questions before a sheet is deleted for good; true when both are answered Yes.
bool AskSheetDeletion();

// "Observations" over the memo (at most 512 characters), on a panel of its own.
QWidget* BuildObservationPanel(QWidget* parent, QPlainTextEdit** memo);

// The balances of the sheet shown: "Anc. Solde", "Montant", "Nouv. Solde".
struct TBalanceFooter {
    QLabel* lOldSolde = nullptr;
    QLabel* lMontant = nullptr;
    QLabel* lNewSolde = nullptr;

    QWidget* Build(QWidget* parent);
    void Show(Currency oldBalance, Currency amount, Currency newBalance);
    void ShowZero();
};

// The sheet windows' parts laid out one under the other without margins:
// `above`, then the sheet's lines grid taking the spare height (without a
// grid, the spare height itself), then `below`.
void StackSheetWindow(QWidget* window, const QList<QWidget*>& above, QWidget* grid, const QList<QWidget*>& below);

// The balance footer built for the window `w` and handed to its members
// lOldSolde, lMontant and lNewSolde.
template <class Window>
QWidget* BuildSheetFooter(Window* w, TBalanceFooter& balances)
{
    QWidget* footer = balances.Build(w);
    w->lOldSolde = balances.lOldSolde;
    w->lMontant = balances.lMontant;
    w->lNewSolde = balances.lNewSolde;
    return footer;
}

// The search of a sheet window: TfrmFindFE, then `find` (the key of the sheet
// of that budget line and number, -1 when none) located in `keys`; "Fiche
// d'engagement introuvable ! " when it is not there. True when located.
bool FindSheetThroughDialog(QWidget* parent, TDocumentKeyList* keys,
                            const std::function<qint64(const QString& chap, const QString& art, const QString& par,
                                                       const QString& number)>& find);

// The preview of a sheet on one of its documents (a report form with IdEng).
template <typename Form>
void PreviewSheet(QWidget* parent, qint64 idEng)
{
    Form form;
    form.IdEng = int(idEng);
    form.Preview(parent);
}

// The commands a sheet window's tool bar shows; `print` may be none (the
// window then gives the print button its own menu).
struct TSheetBarCommands {
    QAction* add = nullptr;
    QAction* modif = nullptr;
    QAction* post = nullptr;
    QAction* cancel = nullptr;
    QAction* del = nullptr;
    QAction* find = nullptr;
    QAction* print = nullptr;
    QAction* close = nullptr;
    QString addHint;
    QString printHint;
};

// The tool bar of a sheet window `w` (whose members btnAdd ... btnClose and
// MyNavigator it fills): New, Modify, Save, Cancel, Delete, the navigator,
// Find, Print, Menu, and Close at the right end.
template <class Window>
QFrame* BuildSheetToolBar(Window* w, const TSheetBarCommands& c)
{
    TDocumentToolBar bar(w, "pnlBtns");
    w->btnAdd = bar.Button("btnAdd", QStringLiteral("Nouveau"), c.addHint, QStyle::SP_FileIcon, c.add);
    w->btnModif = bar.Button("btnModif", QStringLiteral("Modifier"), QStringLiteral("Modifier l'engagement"),
                             QStyle::SP_FileDialogDetailedView, c.modif);
    w->btnPost = bar.Button("btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer"),
                            QStyle::SP_DialogSaveButton, c.post);
    w->btnCancel = bar.Button("btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler"),
                              QStyle::SP_DialogCancelButton, c.cancel);
    w->btnDelete = bar.Button("btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer l'engagement"),
                              QStyle::SP_TrashIcon, c.del);
    w->MyNavigator = bar.Navigator();
    w->btnFind = bar.Button("btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher un Engagement"),
                            QStyle::SP_FileDialogContentsView, c.find);
    w->btnPrint = bar.Button("btnPrint", QStringLiteral("Imprimer"), c.printHint, QStyle::SP_FileDialogListView,
                             c.print);
    w->btnMenu = bar.Button("btnMenu", QStringLiteral("&Menu..."), QStringLiteral("Menu"),
                            QStyle::SP_TitleBarUnshadeButton);
    bar.Stretch();
    w->btnClose = bar.Button("btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                             QStyle::SP_DialogCloseButton, c.close);
    return bar.Panel();
}

// The entry edits given take the focus colour while they have the focus; when
// one loses it, `recolour` gives the entry panel its colours back.
class TFocusColour : public QObject {
public:
    TFocusColour(QObject* parent, const QList<QLineEdit*>& edits, std::function<void()> recolour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_recolour;
};
