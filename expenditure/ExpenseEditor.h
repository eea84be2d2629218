#pragma once
// What the expense editors share (invoices, missions and other expenses, salary
// expenses) on top of the editor base: the key of the expense shown, the
// document numbers of an expense, the budget-line and beneficiary lookups of
// the browsed rows, the refusals of the date fields and of a deletion.

#include "db/Currency.h"
#include "ui/EditorWindow.h"
#include "ui/ListRecordPattern.h"

#include <QHash>
#include <QString>
#include <array>

class QLineEdit;

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

class TExpenseEditor : public TEditorWindow {
    Q_OBJECT
public:
    // The expense to show first (-1: the last in date order); while the window
    // runs it holds the key of the expense shown.
    int IdDepense = -1;

    // The first payment order and the first commitment sheet holding an expense
    // (empty when none).
    static QString PaymentOrderNumberOf(qint64 idDepense);
    static QString CommitmentNumberOf(qint64 idDepense);

    // Largest amount a DECIMAL(15,2) column holds.
    static constexpr Currency MaxAmount = Currency::fromRaw(999999999999999LL * 100);

protected:
    // `statusWidths`: the widths of the status panels; `modePanel` shows the
    // mode. The cancel command asks before dropping the entry; leaving with
    // unsaved changes asks the unsaved-changes question.
    TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel);

    enum class YearRule { Ask, Refuse };
    // A required date field: empty, not a date, or (by the rule) outside the
    // fiscal year is refused with its message.
    static QDate CheckDateField(QLineEdit* edit, const QString& missing, const QString& incorrect,
                                const QString& otherYear, YearRule rule);
    // Refuses to delete an expense whose state is not 0 with the message of the
    // state (committed, mandated, both).
    static void RefuseByState(int state, const std::array<QString, 3>& texts);
};
