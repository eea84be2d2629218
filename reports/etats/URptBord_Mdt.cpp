#include "reports/etats/URptBord_Mdt.h"

#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "data/Codes.h"
#include "data/UDM.h"
#include "db/Database.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <set>

namespace {

int Px(double mm)
{
    return int(rpt::MmToPx(mm) + 0.5);
}

// The column edges of the slip's table, in millimetres from the left margin.
const double Edges[] = {0, 12.4, 36.2, 65.6, 78.1, 86.3, 94.7, 116.7, 164.8, 195};

struct SlipColumn {
    const char* field;
    const char* heading;
    Qt::Alignment align;
};
const SlipColumn Columns[] = {
    {"NO_MDT", "No Mdt", Qt::AlignHCenter}, {"DATE_MDT", "Date", Qt::AlignHCenter},
    {"MONTANT", "Montant", Qt::AlignRight}, {"CHAP", "CHAP", Qt::AlignHCenter},
    {"ART", "ART", Qt::AlignHCenter},       {"PAR", "PAR", Qt::AlignHCenter},
    {"BANQUE", "Banque", Qt::AlignLeft},    {"NOM", "Nom/R.Sociale", Qt::AlignLeft},
    {"OBS", "Observations", Qt::AlignLeft},
};

qint64 KeyOrNone(const db::Query& q, const QString& column)
{
    return q.isNull(column) ? -1 : q.asInt(column);
}

// Runs `sql`, whose "%1" stands for a list of keys, over `keys` a few hundred
// at a time, each key a parameter; `row` reads each row. `codes`: the codes
// the statement names, bound as they are to every run.
template <class F>
void ForKeys(const std::vector<qint64>& keys, const QString& sql, F row,
             const QList<QPair<QString, db::Value>>& codes = {})
{
    constexpr size_t Chunk = 500;
    for (size_t from = 0; from < keys.size(); from += Chunk) {
        const size_t to = std::min(keys.size(), from + Chunk);
        QStringList names;
        for (size_t i = from; i < to; ++i)
            names << QStringLiteral(":K%1").arg(i - from);
        db::Query q(DM->LURDO, sql.arg(names.join(QLatin1Char(','))));
        for (size_t i = from; i < to; ++i)
            q.setParam(QStringLiteral("K%1").arg(i - from), keys[i]);
        for (const auto& [name, value] : codes)
            q.setParam(name, value);
        q.open();
        for (q.first(); !q.eof(); q.next())
            row(q);
    }
}

QString Prefix(PaymentType rembours)
{
    return rembours != PaymentType::Reimbursement ? QStringLiteral("PMT ") : QStringLiteral("RMB ");
}

} // namespace

TSlipLine SlipLineOf(const TSlipOrder& order, const TSlipLookups& lookups)
{
    TSlipLine out;
    qint64 idFnm = -1;
    if (order.lines.size() == 1) {
        const TSlipExpense& e = order.lines.front();
        // A missing expense reads as its NULL columns: an invoice refunded.
        const ExpenseKind kind = e.kind.value_or(ExpenseKind::Invoice);
        idFnm = e.idFnm;
        if (kind == ExpenseKind::Invoice) {
            out.observation = Prefix(e.rembours) + QStringLiteral("FACT. N° ") + e.noDepense + QStringLiteral("  DU  ")
                              + (e.dateDepense.isValid() ? e.dateDepense.toString(QStringLiteral("dd/MM/yyyy")) : QString());
        } else if (kind == ExpenseKind::Mission) {
            out.observation = Prefix(e.rembours) + QStringLiteral("FRAIS MISSION");
        } else {
            out.observation = QStringLiteral("SAL. DU PERSONNEL");
            idFnm = order.salaryFnm;
        }
        if (!lookups.beneficiary(e.idBen, out.nom, out.bank))
            out.nom.clear(), out.bank.clear();
    } else {
        out.nom = QStringLiteral("DIVERS");
        out.bank = QStringLiteral("DIVERS");
        const TSlipExpense first = order.lines.empty() ? TSlipExpense() : order.lines.front();
        const ExpenseKind kind = first.kind.value_or(ExpenseKind::Invoice);
        if (kind == ExpenseKind::Invoice)
            out.observation = Prefix(first.rembours) + QStringLiteral("DIV .FACT.");
        else if (kind == ExpenseKind::Mission)
            out.observation = Prefix(first.rembours) + QStringLiteral("DIV. MISSION");
        else
            out.observation = QStringLiteral("DIV. PAIEMENTS");
        if (!order.lines.empty()) {
            const auto sameFnm = [&](const TSlipExpense& e) { return e.idFnm == first.idFnm; };
            const auto sameBen = [&](const TSlipExpense& e) { return e.idBen == first.idBen; };
            if (std::all_of(order.lines.begin(), order.lines.end(), sameFnm))
                idFnm = first.idFnm;
            QString nom, bank;
            if (std::all_of(order.lines.begin(), order.lines.end(), sameBen)
                && lookups.beneficiary(first.idBen, nom, bank)) {
                out.nom = nom;
                out.bank = bank;
            }
        }
    }
    if (const TSlipBudgetLine* line = idFnm == -1 ? nullptr : lookups.budgetLine(idFnm)) {
        out.chap = line->chap;
        out.art = line->art;
        out.par = line->par;
    }
    return out;
}

TfrmRptBord_Mdt::TfrmRptBord_Mdt()
    : TReportForm(QStringLiteral("RptBord_Mdt"), QStringLiteral("Bordereau d'envoi des Mandats"))
{
    Param(QStringLiteral("Orders"), Orders);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 0, 10, 5}));
    r.setFont(QFont(QStringLiteral("Verdana"), 10));
    r.setPrintIfEmpty(true);
    r.setFirstPageHeader(true);
    r.setLastPageFooter(true);
    r.onBeforePrint = [this] { BordBeforePrint(); };

    const int width = Px(195);
    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), Px(67.7));
    rpt::Label* ministry = header->addLabel(
        QStringLiteral("lMinistere"), {0, 0, Px(100), 32},
        QStringLiteral("MINISTERE DE L'ENSEIGNEMENT SUPERIEUR ET DE LA RECHERCHE SCIENTIFIQUE"));
    ministry->setWordWrap(true);
    ministry->setFontSize(8);
    ministry->setBold(true);
    rpt::Label* univ = header->addLabel(QStringLiteral("lUniv"), {0, 34, Px(100), 32});
    univ->setWordWrap(true);
    univ->setFontSize(8);
    univ->setBold(true);
    // The faculty wraps over the room down to the slip's number.
    rpt::Label* fac = header->addLabel(QStringLiteral("lFac"), {0, 66, Px(100), 92 - 66 - 1});
    fac->setWordWrap(true);
    fac->setFontSize(8);
    header->addLabel(QStringLiteral("lNumero"), {0, 92, 36, 16}, QStringLiteral("N° : "));
    header->addLabel(QStringLiteral("lNoBord"), {36, 92, 260, 16})->setBold(true);
    rpt::Label* title = header->addLabel(QStringLiteral("lTitre"), {Px(30), Px(33), Px(135), Px(9)},
                                         QStringLiteral("BORDEREAU D'ENVOI DES MANDATS DE PAIEMENT"));
    title->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    title->setAlignment(Qt::AlignHCenter);
    title->frame().setAll(true);
    title->shrinkToFit(rpt::MinFontPoints);
    rpt::RoundRect* bar = header->addRoundRect(QStringLiteral("rrTitres"), {0, Px(58), width, Px(9)});
    bar->shape().SetBrush(QBrush(QColor(242, 242, 242)));

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), Px(6.1));
    detail->frame().bottom = true;
    for (size_t i = 0; i < std::size(Columns); ++i) {
        const int left = Px(Edges[i]);
        const int right = Px(Edges[i + 1]);
        const SlipColumn& c = Columns[i];
        rpt::Label* heading = header->addLabel(QStringLiteral("lh") + QString::fromLatin1(c.field),
                                               {left + 2, Px(58) + 8, right - left - 4, 18},
                                               QString::fromLatin1(c.heading));
        heading->setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
        heading->setAlignment(Qt::AlignHCenter);
        heading->shrinkToFit(rpt::MinFontPoints);
        if (i > 0) {
            header->addShape(QStringLiteral("shTitre%1").arg(i), {left - 1, Px(58), 2, Px(9)},
                             rpt::Shape::Form::VertLine);
        }
        rpt::Shape* rule = detail->addShape(QStringLiteral("shRegle%1").arg(i), {left - 1, 0, 2, Px(6.1)},
                                            rpt::Shape::Form::VertLine);
        rule->setStretchWithBand(true);
        const bool amount = qstrcmp(c.field, "MONTANT") == 0;
        rpt::DataText* cell = detail->addDataText(QStringLiteral("db") + QString::fromLatin1(c.field),
                                                  {left + 2, 3, right - left - 4, Px(6.1) - 5},
                                                  QString::fromLatin1(c.field), amount ? rpt::MoneyMask : QString());
        cell->setFont(QFont(QStringLiteral("Arial"), qstrcmp(c.field, "OBS") == 0 ? 8 : 9));
        cell->setAlignment(c.align);
        cell->setBold(amount);
        cell->setWordWrap(!amount);
        cell->setAutoStretch(!amount);
        cell->setShrinkWithColumn(rpt::MinFontPoints);
    }
    rpt::Shape* last = detail->addShape(QStringLiteral("shRegleFin"), {width - 1, 0, 2, Px(6.1)},
                                        rpt::Shape::Form::VertLine);
    last->setStretchWithBand(true);
    rpt::Shape* first = detail->addShape(QStringLiteral("shRegleDebut"), {-1, 0, 2, Px(6.1)}, rpt::Shape::Form::VertLine);
    first->setStretchWithBand(true);

    r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), Px(9.5));

    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdFin"), Px(42.3));
    rpt::Label* place = summary->addLabel(QStringLiteral("lLieuDate"), {width - 330, 24, 320, 18});
    place->setBold(true);
    place->setAlignment(Qt::AlignHCenter);
    rpt::Label* signatory = summary->addLabel(QStringLiteral("lOrdonnateur"), {width - 330, 46, 320, 18},
                                              QStringLiteral("L'ORDONNATEUR"));
    signatory->setBold(true);
    signatory->setAlignment(Qt::AlignHCenter);
    summary->addLabel(QStringLiteral("lComptable"), {10, 46, 320, 18}, QStringLiteral("L'AGENT COMPTABLE"))
        ->setBold(true);
    r.setRows(&m_rows);
}

std::vector<qint64> TfrmRptBord_Mdt::OrderIds() const
{
    std::vector<qint64> ids;
    std::set<qint64> seen;
    for (const QString& part : Orders.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 id = part.toLongLong(&ok);
        if (ok && seen.insert(id).second)
            ids.push_back(id);
    }
    return ids;
}

void TfrmRptBord_Mdt::BordBeforePrint()
{
    rpt::Report& r = report();
    const QString suffix = IniReadString(IniPath, QStringLiteral("PARAM"), QStringLiteral("SUFFIXE"), QString());
    const auto heading = [&](const char* name, const QString& text) {
        rpt::Label* label = r.label(QString::fromLatin1(name));
        label->setFontSize(8);
        label->setCaption(text);
        label->shrinkToFit(rpt::MinFontPoints);
    };
    heading("lUniv", UniversityName.toUpper() + QStringLiteral(", ") + City.toUpper());
    heading("lFac", FacultyName);
    r.label(QStringLiteral("lNoBord"))->setCaption(QStringLiteral("____/") + suffix + QStringLiteral("/") + FiscalYear);
    r.label(QStringLiteral("lLieuDate"))
        ->setCaption(City + QStringLiteral(", le ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));

    // The orders, their lines, their salary details, budget lines and beneficiaries.
    const std::vector<qint64> ids = OrderIds();
    std::vector<TSlipOrder> orders;
    std::map<qint64, size_t> index;
    ForKeys(ids, QStringLiteral("SELECT ID_MDT, NO_MDT, DATE_MDT, MONTANT FROM ENT_MDT WHERE ID_MDT IN (%1)"),
            [&](const db::Query& q) {
                TSlipOrder o;
                o.idMdt = q.asInt(QStringLiteral("ID_MDT"));
                o.noMdt = q.asString(QStringLiteral("NO_MDT")).trimmed();
                o.dateMdt = q.asDate(QStringLiteral("DATE_MDT"));
                o.montant = q.asCurrency(QStringLiteral("MONTANT"));
                if (!index.count(o.idMdt)) {
                    index.emplace(o.idMdt, orders.size());
                    orders.push_back(o);
                }
            });
    std::set<qint64> fnms, bens;
    ForKeys(ids,
            QStringLiteral("SELECT A.ID_MDT, B.ID_DEPENSE, B.TYPE_DEPENSE, B.REMBOURS, B.NO_DEPENSE, B.DATE_DEPENSE, "
                           "B.ID_BEN, B.ID_FNM FROM DET_MDT A LEFT JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                           "WHERE A.ID_MDT IN (%1) ORDER BY A.ID_MDT, A.NOLINE"),
            [&](const db::Query& q) {
                const auto it = index.find(q.asInt(QStringLiteral("ID_MDT")));
                if (it == index.end())
                    return;
                TSlipExpense e;
                if (!q.isNull(QStringLiteral("ID_DEPENSE")))
                    e.kind = fromDb<ExpenseKind>(q.asInt(QStringLiteral("TYPE_DEPENSE")));
                e.rembours = fromDb<PaymentType>(q.asInt(QStringLiteral("REMBOURS")));
                e.noDepense = q.asString(QStringLiteral("NO_DEPENSE")).trimmed();
                e.dateDepense = q.asDate(QStringLiteral("DATE_DEPENSE"));
                e.idBen = KeyOrNone(q, QStringLiteral("ID_BEN"));
                e.idFnm = KeyOrNone(q, QStringLiteral("ID_FNM"));
                fnms.insert(e.idFnm);
                bens.insert(e.idBen);
                orders[it->second].lines.push_back(e);
            });
    ForKeys(ids,
            QStringLiteral("SELECT A.ID_MDT, S.ID_DETAIL FROM DET_MDT A JOIN DET_SALAIRE S ON S.ID_DEPENSE=A.ID_DETAIL "
                           "WHERE S.TYPE_DET=:IMPUTATION AND A.ID_MDT IN (%1) ORDER BY A.ID_MDT, A.NOLINE, S.NO_ORD"),
            [&](const db::Query& q) {
                const auto it = index.find(q.asInt(QStringLiteral("ID_MDT")));
                if (it == index.end() || orders[it->second].salaryFnm != -1)
                    return;
                orders[it->second].salaryFnm = q.asInt(QStringLiteral("ID_DETAIL"));
                fnms.insert(orders[it->second].salaryFnm);
            },
            {{QStringLiteral("IMPUTATION"), toDbValue(SalaryLineType::Imputation)}});
    fnms.erase(-1);
    bens.erase(-1);
    std::map<qint64, TSlipBudgetLine> budget;
    ForKeys(std::vector<qint64>(fnms.begin(), fnms.end()),
            QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR FROM FNM WHERE ID_FNM IN (%1)"), [&](const db::Query& q) {
                budget.emplace(q.asInt(QStringLiteral("ID_FNM")),
                               TSlipBudgetLine{q.asString(QStringLiteral("CHAP")).trimmed(),
                                               q.asString(QStringLiteral("ART")).trimmed(),
                                               q.asString(QStringLiteral("PAR")).trimmed()});
            });
    std::map<qint64, QString> banks;
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT ID_BANQUE, RS FROM BANQUE"));
        q.open();
        for (q.first(); !q.eof(); q.next())
            banks.emplace(q.asInt(QStringLiteral("ID_BANQUE")), q.asString(QStringLiteral("RS")).trimmed());
    }
    std::map<qint64, std::pair<QString, QString>> people;
    ForKeys(std::vector<qint64>(bens.begin(), bens.end()),
            QStringLiteral("SELECT ID_BEN, NOM, ID_BANQUE FROM BENEF WHERE ID_BEN IN (%1)"), [&](const db::Query& q) {
                const auto bank = banks.find(KeyOrNone(q, QStringLiteral("ID_BANQUE")));
                people.emplace(q.asInt(QStringLiteral("ID_BEN")),
                               std::make_pair(q.asString(QStringLiteral("NOM")).trimmed(),
                                              bank == banks.end() ? QString() : bank->second));
            });
    const TSlipLookups lookups{
        [&](qint64 idFnm) -> const TSlipBudgetLine* {
            const auto it = budget.find(idFnm);
            return it == budget.end() ? nullptr : &it->second;
        },
        [&](qint64 idBen, QString& nom, QString& bank) {
            const auto it = people.find(idBen);
            if (it == people.end())
                return false;
            nom = it->second.first;
            bank = it->second.second;
            return true;
        }};

    std::stable_sort(orders.begin(), orders.end(), [](const TSlipOrder& a, const TSlipOrder& b) {
        if (a.noMdt != b.noMdt)
            return a.noMdt < b.noMdt;
        return a.dateMdt < b.dateMdt;
    });
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(orders.size());
    for (const TSlipOrder& o : orders) {
        const TSlipLine line = SlipLineOf(o, lookups);
        rows.push_back({o.noMdt, o.dateMdt.isValid() ? db::Value(o.dateMdt) : db::Value(), o.montant, line.chap,
                        line.art, line.par, line.bank, line.nom, line.observation});
    }
    QStringList fields;
    for (const SlipColumn& c : Columns)
        fields << QString::fromLatin1(c.field);
    m_rows.setRows(fields, std::move(rows));
}
