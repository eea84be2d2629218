#pragma once
// The three-mode editor shared by the expense windows (invoices, missions and
// other expenses, salary expenses): browse ("Affichage"), insert ("Insertion")
// and edit ("Edition"); the button table that follows the mode; the entry panel
// recoloured with the mode; the unsaved-changes question on closing; Esc, Enter
// to the next field, the date fields with their calendar; the refusal helpers
// of the save checks; one transaction per save; the document numbers of an
// expense and the lookups of the browsed rows.

#include "ui/ListRecordPattern.h"
#include "db/Currency.h"

#include <QAbstractButton>
#include <QDate>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QToolButton;

namespace db { class Query; }

// The record navigator (first, prior, next, last) over the fetched rows of a
// query. Moving emits moved(); the buttons follow the cursor's position.
class TRecordNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TRecordNavigator(QWidget* parent = nullptr);
    void SetQuery(db::Query* query);
    // Re-reads the position of the cursor (after a refresh or a locate).
    void UpdateButtons();

    QToolButton* btnFirst;
    QToolButton* btnPrior;
    QToolButton* btnNext;
    QToolButton* btnLast;

signals:
    void moved();

protected:
    void changeEvent(QEvent* event) override;

private:
    void MoveTo(int row);
    db::Query* m_query = nullptr;
};

// The budget-line and beneficiary lookups of the browsed expense rows, read in
// one query each and held until the next reload.
class TExpenseLookups {
public:
    struct BudgetLine {
        QString chap, art, par, intitule;
    };
    explicit TExpenseLookups(QString fnmSql = QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE FROM FNM "),
                             QString benSql = QStringLiteral("SELECT ID_BEN, TYPE_BEN, NOM FROM BENEF"));
    void Reload();
    void Clear();
    BudgetLine Line(qint64 idFnm) const { return m_lines.value(idFnm); }
    QString BenName(qint64 idBen) const { return m_names.value(idBen); }

private:
    QString m_fnmSql, m_benSql;
    QHash<qint64, BudgetLine> m_lines;
    QHash<qint64, QString> m_names;
};

class TExpenseEditor : public QDialog {
    Q_OBJECT
public:
    // The expense to show first (-1: the last in date order); while the window
    // runs it holds the key of the expense shown.
    int IdDepense = -1;

    TEditMode Mode() const { return m_mode; }
    static QString ModeText(TEditMode mode);
    bool WriteRight() const { return m_writeRight; }

    // The status bar; one of its panels shows the mode.
    TStatusBar* stBar = nullptr;

    // Where a control sits in the button table.
    enum class Role {
        Browse,        // enabled in browse mode (search, navigator)
        BrowseWrite,   // enabled in browse mode with the write right (new)
        RowWrite,      // enabled in browse mode on a row with the write right (modify, delete)
        Editing,       // enabled in insert and edit modes (save, cancel, entry panel, pickers)
    };

    // The question asked when leaving with unsaved changes.
    static const QString UnsavedQuestion;
    // The question of the date fields' double click.
    static QString ReplaceQuestion(const QString& oldText, const QString& newText);

    // Reads a date typed "dd/MM/yyyy" (one-digit day and month accepted).
    static QDate ParseDate(const QString& text);
    static QString DateText(const QDate& date);

    // The first payment order and the first commitment sheet holding an expense
    // (empty when none).
    static QString PaymentOrderNumberOf(qint64 idDepense);
    static QString CommitmentNumberOf(qint64 idDepense);

    // Largest amount a DECIMAL(15,2) column holds.
    static constexpr Currency MaxAmount = Currency::fromRaw(999999999999999LL * 100);

protected:
    // `statusWidths`: the widths of the status panels; `modePanel` shows the mode.
    TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel);
    ~TExpenseEditor() override;

    // --- building -----------------------------------------------------------
    void AddControl(Role role, QObject* control);   // a QWidget or a QAction
    void SetEntryPanel(QWidget* panel) { m_entryPanel = panel; }
    QWidget* EntryPanel() const { return m_entryPanel; }
    void SetNavigator(TRecordNavigator* navigator) { m_navigator = navigator; }
    // The cancel button: Esc runs btnCancelClick while it is enabled.
    void SetCancelButton(QAbstractButton* button) { m_cancelButton = button; }
    // The popup menu: the window's context menu, dropped below `menuButton` at
    // PopupPoint, its shortcuts active on the whole window.
    void AttachPopupMenu(QMenu* menu, QAbstractButton* menuButton);
    // Enter in these controls moves the focus to the next control.
    void AddEnterToNext(QWidget* control);
    // A date field: the button opens the calendar on today and sets the field
    // on OK; a double click opens it too and asks before replacing another
    // text. `afterPick` runs after a date was taken.
    void AttachDateField(QLineEdit* edit, QAbstractButton* button, std::function<void()> afterPick = {});

    // --- mode -----------------------------------------------------------------
    // Sets the mode, applies the button table, recolours the entry panel and
    // writes the mode into its status panel.
    void SetMode(TEditMode mode);
    // Re-applies the entry colours after a control of the panel changed state.
    void RecolourEntryPanel();
    virtual bool HasRows() const = 0;

    // --- write right ----------------------------------------------------------
    void TakeWriteRight();
    void RequireWriteRight() const;   // DenyWriteAccess without the right

    // --- refusals (information, focus, silent abort) --------------------------
    [[noreturn]] static void Refuse(const QString& text, QWidget* focus);
    // Yes/No confirmation; No puts the focus on `focus` and aborts.
    static void ConfirmOrRefuse(const QString& text, QWidget* focus);
    static bool Confirm(const QString& text);
    enum class YearRule { Ask, Refuse };
    // A required date field: empty, not a date, or (by the rule) outside the
    // fiscal year is refused with its message.
    static QDate CheckDateField(QLineEdit* edit, const QString& missing, const QString& incorrect,
                                const QString& otherYear, YearRule rule);
    // Refuses to delete an expense whose state is not 0 with the message of the
    // state (committed, mandated, both).
    static void RefuseByState(int state, const std::array<QString, 3>& texts);

    // --- handlers the pattern runs --------------------------------------------
    virtual void FormShow() = 0;
    virtual void FormClose() {}
    virtual void btnPostClick() = 0;
    virtual void btnCancelClick() = 0;
    bool FormCloseQuery();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    void reject() override;

private:
    void ApplyButtonTable();
    void PickDate(QLineEdit* edit, bool askReplace, const std::function<void()>& afterPick);

    QString m_writeItemName;
    bool m_writeRight = false;
    int m_modePanel;
    TEditMode m_mode = emBrowse;
    QList<QPair<Role, QPointer<QObject>>> m_controls;
    QPointer<QWidget> m_entryPanel;
    QPointer<TRecordNavigator> m_navigator;
    QPointer<QAbstractButton> m_cancelButton;
    QList<QWidget*> m_enterToNext;
    QHash<QObject*, std::function<void()>> m_dateDoubleClick;
    bool m_closing = false;
};
