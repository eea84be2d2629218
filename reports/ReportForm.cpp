#include "reports/ReportForm.h"

#include "core/MessageBox.h"
#include "reports/GridRows.h"
#include "reports/UPreview.h"
#include "ui/FormKit.h"

#include <limits>

TReportForm::TReportForm(const QString& reportName, const QString& title)
    : m_report(reportName)
{
    m_report.setTitle(title);
}

TReportForm::~TReportForm() = default;

QStringList TReportForm::ParameterNames() const
{
    QStringList names;
    for (const Parameter& p : m_params)
        names << p.name;
    return names;
}

bool TReportForm::SetParameter(const QString& name, const QString& value)
{
    for (const Parameter& p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.set(value);
    return false;
}

namespace {

// Reads a whole number into `field`; false (and the field unchanged) for any other text.
template <class T>
bool ReadNumber(const QString& text, T& field)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max())
        return false;
    field = T(n);
    return true;
}

} // namespace

void TReportForm::Param(const QString& name, int& field)
{
    m_params.push_back({name, [&field](const QString& v) { return ReadNumber(v, field); }});
}

void TReportForm::Param(const QString& name, qint64& field)
{
    m_params.push_back({name, [&field](const QString& v) { return ReadNumber(v, field); }});
}

void TReportForm::Param(const QString& name, QString& field)
{
    m_params.push_back({name, [&field](const QString& v) {
                            field = v;
                            return true;
                        }});
}

void TReportForm::Param(const QString& name, QDate& field)
{
    m_params.push_back({name, [&field](const QString& v) {
                            const QDate d = QDate::fromString(v.trimmed(), QStringLiteral("dd/MM/yyyy"));
                            if (d.isValid())
                                field = d;
                            return d.isValid();
                        }});
}

void TReportForm::Param(const QString& name, std::optional<ExpenseKind>& field)
{
    m_params.push_back({name, [&field](const QString& v) {
                            int stored = 0;
                            if (!ReadNumber(v, stored))
                                return false;
                            field = stored < 0 ? std::nullopt : std::optional(fromDb<ExpenseKind>(stored));
                            return true;
                        }});
}

void TReportForm::SetGridRows(const QueryTableModel& model)
{
    m_gridRows = std::make_unique<TGridRows>(model);
    m_report.setRows(m_gridRows.get());
}

void TReportForm::EnsureCreated()
{
    if (m_created)
        return;
    m_created = true;
    FormCreate();
}

QString TReportForm::NothingToPrintText()
{
    return QStringLiteral("Il n'y a rien à imprimer !");
}

QString TReportForm::WhyNothingPrints(const rpt::PreparedPages& pages)
{
    return pages.refusal.isEmpty() ? NothingToPrintText() : pages.refusal;
}

void TReportForm::ShowWarnings(const QStringList& warnings)
{
    for (const QString& text : warnings)
        ShowInfo(text);
}

void TReportForm::Preview(QWidget* caller)
{
    EnsureCreated();
    auto run = std::make_unique<rpt::Run>(m_report);
    {
        TWaitCursor wait;
        run->runUntilPages(1);
    }
    if (run->finished() && run->pageCount() == 0) {
        const QStringList warnings = run->pages().warnings;
        const QString why = WhyNothingPrints(run->pages());
        run.reset();
        ShowWarnings(warnings);
        ShowInfo(why);
        return;
    }
    TfrmPreview preview(caller);
    preview.SourceReport = this;
    preview.Start(std::move(run));
    preview.exec();
}

std::unique_ptr<rpt::PreparedPages> TReportForm::Prepare()
{
    EnsureCreated();
    return m_report.prepare();
}

std::unique_ptr<rpt::PreparedPages> TReportForm::PrepareAgain()
{
    auto pages = m_report.prepare();
    pages->warnings.clear();
    return pages;
}
