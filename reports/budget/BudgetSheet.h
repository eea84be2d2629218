#pragma once
// The commitment sheet of one budget line for a credit movement that is not
// an expense: the line's primitive budget, its amending budget or one row of
// a credit transfer. TfrmRptFEEco_Art (white paper) and
// TfrmRptFEEco_Art_PreImp (stationery, the positions the layout editor
// stored) are its two presentations; both print the page of the commitment
// sheet with a single row: the observation and the amount.
//
// The sheet is found by its origin, the record it comes from and the budget
// line of its line (and, for a transfer, the side the caller asks for); its
// DEPENSE or ECONOMIE is the sheet's own, so an amending sheet brought to
// zero or made negative prints as stored. No such sheet: nothing prints and
// the user is told.

#include "reports/ReportForm.h"
#include "reports/commitments/CommitmentSheet.h"
#include "reports/engine/DesignSnapshot.h"

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QString>

#include <optional>

// The sheet a budget or transfer movement printed.
struct TBudgetSheet {
    QString number;
    QDate date;
    Currency amount;
    SheetObject objet = SheetObject::Economy;
    QString obs;
};

namespace budgetsheet {

// The sheet of origin `origin` coming from `idOrigine` whose line is the
// budget line `idFnm`; for a transfer row, the sheet of the side `objet`
// (a giving row is a DEPENSE sheet). Empty when there is none.
std::optional<TBudgetSheet> ReadSheet(SheetOrigin origin, qint64 idOrigine, qint64 idFnm, SheetObject objet);

// The column of the service observations a sheet of that origin falls back on.
QString ObservationColumn(SheetOrigin origin);

// What the user is told when the sheet asked for does not exist.
QString NoSheetText();

} // namespace budgetsheet

class TBudgetSheetForm : public TReportForm {
public:
    ~TBudgetSheetForm() override;

    // In: the sheet's ENT_ENG.OBJET as the caller knows it (1 ECONOMIE,
    // 0 DEPENSE; it chooses the side of a transfer), its ORIGINE (2, 3 or 4),
    // ID_ORIGINE (the budget line, or the transfer) and the budget line.
    int Objet = 1;
    int Origine = 2;
    int IdOrigine = -1;
    int IdFnm = -1;

protected:
    TBudgetSheetForm(const QString& reportName, const QString& title, sheetdoc::Presentation presentation);

private:
    void RptBeforePrint();
    void bdDetailBeforePrint();

    sheetdoc::Presentation m_presentation;
    rpt::DesignSnapshot m_design;
    std::optional<TBudgetSheet> m_sheet;
};
