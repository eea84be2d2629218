#pragma once
// The base of the transfer documents (bank and postal transfer orders, mission
// transfer advices): the parameter IdMdt, the order's lines read once per run
// (TransferData.h), the records the detail band prints (one per beneficiary,
// per line or per row of the document's own), and the design put back before
// each run. Everything a band prints is derived from the record being
// printed, never counted in the band's events, so a band moved to the next
// page or a second run from the preview gives the same pages.

#include "reports/ReportForm.h"
#include "reports/engine/DesignSnapshot.h"
#include "reports/engine/RowSource.h"
#include "reports/transfer/TransferData.h"

class TRptTransferForm : public TReportForm {
public:
    ~TRptTransferForm() override;

    int IdMdt = -1;         // in: the order's ID_MDT

protected:
    TRptTransferForm(const QString& reportName, const QString& title);

    rpt::Band& Detail() const { return *m_detail; }
    rpt::Band* AddDetail(int height);
    void SetText(const QString& control, const QString& text) const;
    void SetAmount(const QString& control, Currency amount) const;
    void Enable(const QString& control, bool enabled) const;

    // The invoice rows lNo, lNoF, lDu, lDate 1 to `rows`: the first invoices
    // of the beneficiary, its number and date, the rows past them hidden.
    void ShowInvoiceRows(const TTransferBeneficiary& ben, int rows) const;

    // Start of every run: the design as built, the order's lines read.
    void StartRun();
    // Start of every record: its texts in the design's fonts, so that a
    // text shrunk to fit one record does not stay small for the next.
    void StartRecord() const;
    // The detail band prints `count` records.
    void WalkRecords(int count);
    // The record being printed (from 0) and the number of records.
    int Record() const { return m_rows.row(); }
    int RecordCount() const { return m_count; }

    TTransferData m_data;

private:
    rpt::Band* m_detail = nullptr;
    rpt::DesignSnapshot m_design;
    rpt::TableRows m_rows;
    int m_count = 0;
};
