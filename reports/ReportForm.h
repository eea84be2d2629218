#pragma once
// TReportForm: the base of every document (TfrmRpt...). A document holds one
// report (reports/engine/Report.h explains how its design and events are
// written), its parameter fields, its queries and the handlers of its events.
//
// A caller prints a document in this order, and nothing prints without its
// preview:
//     TfrmRptMandat_FB form;                  // builds the design only
//     form.IdMdt = idMdt;                     // the parameter fields
//     form.Preview(this);                     // returns when the preview is closed
// The form (with its prepared pages) is freed when it goes out of scope.
//
// A document declares its parameter fields by name (the print tool sets them
// from its command line) and builds its design in its constructor:
//     class TfrmRptListEng : public TReportForm {
//     public:
//         TfrmRptListEng() : TReportForm("RptListEng", "Listing des Engagements")
//         {
//             Param("Chap", Chap);
//             report().setPage(...);  report().addBand(...);  ...
//             report().onBeforePrint = [this] { RptListEngBeforePrint(); };
//         }
//         QString Chap;
//     };
// and registers itself by unit name in RegisterProgramDocuments
// (DocumentRegistry.cpp).
//
// Preview prepares the first page, then opens the preview window modally to
// the caller, which goes on preparing the other pages while it shows the
// first; a document without any page opens no preview and the caller is told
// there is nothing to print, or why the document refused to print (a form
// too small for the rows it must carry, Report::refuse). The messages the document raised while its pages
// were prepared (report().warn) are shown once, when the preparation ends;
// printing from the preview runs the report again and never shows them again.
// The questions a document asks once per form (the paper format) go in
// FormCreate, which runs before the first preparation only.

#include "data/Codes.h"
#include "reports/engine/Report.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class QueryTableModel;
class TGridRows;

class TReportForm {
public:
    TReportForm(const QString& reportName, const QString& title);
    virtual ~TReportForm();
    TReportForm(const TReportForm&) = delete;
    TReportForm& operator=(const TReportForm&) = delete;

    rpt::Report& report() { return m_report; }
    const rpt::Report& report() const { return m_report; }

    // The parameter fields by name (the print tool sets them from its command line).
    QStringList ParameterNames() const;
    // False for an unknown name or a value that does not read as the field's type.
    bool SetParameter(const QString& name, const QString& value);

    // Prepares the document and shows it in the preview, modally to `caller`.
    void Preview(QWidget* caller = nullptr);
    // Prepares the document off screen (the form's questions first, once).
    std::unique_ptr<rpt::PreparedPages> Prepare();
    // A new run of the document for printing, after its preview: the same
    // pages and totals; its messages have been shown already.
    std::unique_ptr<rpt::PreparedPages> PrepareAgain();

    // The report walks the rows a grid shows, as filtered and sorted.
    void SetGridRows(const QueryTableModel& model);

    // The text shown when a document has no page.
    static QString NothingToPrintText();
    // What the user is told of a preparation without page: the document's
    // refusal when it refused, else that there is nothing to print.
    static QString WhyNothingPrints(const rpt::PreparedPages& pages);
    // Shows the messages of a preparation, each once.
    static void ShowWarnings(const QStringList& warnings);

protected:
    // The questions asked once per form, before its first preparation.
    virtual void FormCreate() {}

    // Declares a parameter field, read by SetParameter.
    void Param(const QString& name, int& field);
    void Param(const QString& name, qint64& field);
    void Param(const QString& name, QString& field);
    void Param(const QString& name, QDate& field);
    // An expense kind by its stored form; a negative number is none (every kind).
    void Param(const QString& name, std::optional<ExpenseKind>& field);

private:
    void EnsureCreated();

    rpt::Report m_report;
    struct Parameter {
        QString name;
        std::function<bool(const QString&)> set;
    };
    std::vector<Parameter> m_params;
    bool m_created = false;
    std::unique_ptr<TGridRows> m_gridRows;
};
