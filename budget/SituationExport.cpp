#include "budget/SituationExport.h"

#include "core/Routines.h"

#include <QDateTime>
#include <QFile>

#include <xlsxwriter.h>

namespace {

// The headers of row 1, columns A to J, as the workbook has always had them.
const char* const kHeaders[] = {"CHAP", "ART", "PAR", "Intitulé", "CRD Alloués", "CRD Révisés",
                                "Engagements", "Paiemsnts", "Solde", "Tx Cons."};

QByteArray Utf8(const QString& s)
{
    return s.toUtf8();
}

} // namespace

QString SituationWorkbookPath(const QString& folder, const QDateTime& moment)
{
    const QString stem = folder + QStringLiteral("Situation_financiere_") + moment.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = stem + QStringLiteral(".xlsx");
    for (int n = 2; QFile::exists(path); ++n)
        path = stem + QStringLiteral("_%1.xlsx").arg(n);
    return path;
}

QString WriteSituationWorkbook(const QString& path, const std::vector<TSituationRow>& rows)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    if (!book)
        return QStringLiteral("le classeur ne peut pas être créé");
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Feuil1");

    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);
    format_set_align(header, LXW_ALIGN_CENTER);
    format_set_align(header, LXW_ALIGN_VERTICAL_CENTER);
    format_set_bg_color(header, 0xDCE6F1);
    format_set_top(header, LXW_BORDER_THIN);
    format_set_bottom(header, LXW_BORDER_MEDIUM);

    // Text and number cells, plain and bold (chapter rows).
    auto cellFormat = [book](bool bold, bool number) {
        lxw_format* f = workbook_add_format(book);
        if (bold)
            format_set_bold(f);
        format_set_align(f, LXW_ALIGN_LEFT);
        format_set_align(f, LXW_ALIGN_VERTICAL_BOTTOM);
        if (number)
            format_set_num_format(f, "#,##0.00");
        return f;
    };
    lxw_format* text = cellFormat(false, false);
    lxw_format* textBold = cellFormat(true, false);
    lxw_format* number = cellFormat(false, true);
    lxw_format* numberBold = cellFormat(true, true);

    worksheet_set_column(sheet, 0, 0, 8, nullptr);
    worksheet_set_column(sheet, 1, 2, 5, nullptr);
    worksheet_set_column(sheet, 3, 3, 60, nullptr);
    worksheet_set_column(sheet, 4, 9, 18, nullptr);

    lxw_error error = LXW_NO_ERROR;
    auto keep = [&error](lxw_error e) {
        if (error == LXW_NO_ERROR)
            error = e;
    };
    for (int c = 0; c < 10; ++c)
        keep(worksheet_write_string(sheet, 0, lxw_col_t(c), kHeaders[c], header));
    keep(worksheet_write_blank(sheet, 0, 10, header));

    lxw_row_t r = 2;
    for (const TSituationRow& row : rows) {
        const bool bold = row.IsChapter();
        lxw_format* t = bold ? textBold : text;
        lxw_format* n = bold ? numberBold : number;
        keep(worksheet_write_string(sheet, r, 0, Utf8(row.chap).constData(), t));
        keep(worksheet_write_string(sheet, r, 1, Utf8(QStringLiteral(" ") + PadLeft(row.art, QStringLiteral("0"), 2)).constData(), t));
        keep(worksheet_write_string(sheet, r, 2, Utf8(row.par).constData(), t));
        keep(worksheet_write_string(sheet, r, 3, Utf8(row.intitule).constData(), t));
        const Currency amounts[] = {row.crAl, row.crRv, row.eng, row.pmt, row.sld, row.taux};
        for (int c = 0; c < 6; ++c)
            keep(worksheet_write_number(sheet, r, lxw_col_t(4 + c), double(amounts[c].toScaled(2)) / 100.0, n));
        ++r;
    }

    const lxw_error closed = workbook_close(book);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR) {
        QFile::remove(path);
        return QString::fromUtf8(lxw_strerror(error));
    }
    return QString();
}
