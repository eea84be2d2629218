#pragma once
// A document of the developer tools: the listing of the year's budget lines,
// for the print tool, the preview and the benchmarks while the program's own
// documents are being written. Not part of the program.

#include "reports/ReportForm.h"

#include "db/Database.h"

#include <memory>

// "URptSampleFNM": the budget lines by chapter with their primitive and
// amending budgets, chapter totals and a grand total; parameter Chap (a
// chapter, empty for all).
class TfrmRptSampleFNM : public TReportForm {
public:
    TfrmRptSampleFNM();
    ~TfrmRptSampleFNM() override;

    QString Chap;   // in: one chapter, or empty for every chapter

private:
    void RptBeforePrint();
    void RptAfterPrint();

    std::unique_ptr<db::Query> qFNM;
    QString m_chapterTitle;
};

// Registers the tools' documents with the program's documents.
void RegisterSampleDocuments();
