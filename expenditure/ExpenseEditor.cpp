#include "expenditure/ExpenseEditor.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "db/Database.h"

#include <QLineEdit>

// ---------------------------------------------------------------------------
// TExpenseLookups

TExpenseLookups::TExpenseLookups(QString fnmSql, QString benSql)
    : m_fnmSql(std::move(fnmSql)), m_benSql(std::move(benSql))
{
}

void TExpenseLookups::Reload()
{
    Clear();
    db::Query qFNM(DM->LURDO, m_fnmSql);
    qFNM.open();
    for (qFNM.first(); !qFNM.eof(); qFNM.next())
        m_lines.insert(qFNM.asInt(QStringLiteral("ID_FNM")),
                       BudgetLine{qFNM.asString(QStringLiteral("CHAP")), qFNM.asString(QStringLiteral("ART")),
                                  qFNM.asString(QStringLiteral("PAR")), qFNM.asString(QStringLiteral("INTITULE"))});
    db::Query qBen(DM->LURDO, m_benSql);
    qBen.open();
    for (qBen.first(); !qBen.eof(); qBen.next())
        m_names.insert(qBen.asInt(QStringLiteral("ID_BEN")), qBen.asString(QStringLiteral("NOM")));
}

void TExpenseLookups::Clear()
{
    m_lines.clear();
    m_names.clear();
}

// ---------------------------------------------------------------------------
// TExpenseEditor

TExpenseEditor::TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel)
    : TEditorWindow(Options{.writeRightItem = std::move(writeItemName),
                            .statusWidths = statusWidths,
                            .modePanel = modePanel,
                            .closeRule = CloseRule::SaveAndStay,
                            .confirmCancel = true},
                    parent)
{
}

QString TExpenseEditor::PaymentOrderNumberOf(qint64 idDepense)
{
    // Joined from the expense's lines (indexed), not by a subquery per order
    // header, so that it stays fast on a full year; the first order by key.
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.NO_MDT FROM DET_MDT D JOIN ENT_MDT E ON E.ID_MDT=D.ID_MDT "
                                          "WHERE D.ID_DETAIL=:ID_DETAIL ORDER BY E.ID_MDT"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_MDT")).trimmed();
}

QString TExpenseEditor::CommitmentNumberOf(qint64 idDepense)
{
    // Any sheet holding the expense, cancelled or not; the first by key.
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.NO_ENG FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG "
                                          "WHERE D.ID_DETAIL=:ID_DETAIL AND D.OBJET=0 ORDER BY E.ID_ENG"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_ENG")).trimmed();
}

QDate TExpenseEditor::CheckDateField(QLineEdit* edit, const QString& missing, const QString& incorrect,
                                     const QString& otherYear, YearRule rule)
{
    const QString text = edit->text().trimmed();
    if (text.isEmpty())
        Refuse(missing, edit);
    const QDate date = ParseDate(text);
    if (!date.isValid())
        Refuse(incorrect, edit);
    if (QString::number(date.year()) != FiscalYear.trimmed()) {
        if (rule == YearRule::Refuse)
            Refuse(otherYear, edit);
        ConfirmOrRefuse(otherYear, edit);
    }
    return date;
}

void TExpenseEditor::RefuseByState(int state, const std::array<QString, 3>& texts)
{
    if (state >= 1 && state <= 3) {
        ShowInfo(texts[size_t(state - 1)]);
        Abort();
    }
}
