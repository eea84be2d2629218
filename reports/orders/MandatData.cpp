#include "reports/orders/MandatData.h"

#include "data/UDM.h"
#include "db/Database.h"

namespace {

const QString Placeholder = QStringLiteral("***********");
const QString NamePlaceholder = QStringLiteral("*************");
const QString Various = QStringLiteral("DIVERS");

qint64 KeyOrNone(const db::Query& q, const QString& column)
{
    return q.isNull(column) ? -1 : q.asInt(column);
}

} // namespace

void TMandatData::Load(qint64 idMdt)
{
    lines.clear();
    budgetLines.clear();
    beneficiaries.clear();

    // qDep: the order's lines with their expense.
    db::Query qDep(DM->LURDO,
                   QStringLiteral("SELECT A.MONTANT, B.NO_DEPENSE, B.DATE_DEPENSE, B.TYPE_DEPENSE, B.ID_BEN, B.ID_FNM, "
                                  "B.REMBOURS, B.REGIME_GEN, B.ASS_CHOMAGE, B.RETRAITE_ANT "
                                  "FROM DET_MDT A LEFT JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                                  "WHERE A.ID_MDT=:ID_MDT ORDER BY A.NOLINE"));
    qDep.setParam(QStringLiteral("ID_MDT"), idMdt);
    qDep.open();
    for (qDep.first(); !qDep.eof(); qDep.next()) {
        TMandatLine line;
        line.amount = qDep.asCurrency(QStringLiteral("MONTANT"));
        if (!qDep.isNull(QStringLiteral("TYPE_DEPENSE")))
            line.kind = fromDb<ExpenseKind>(qDep.asInt(QStringLiteral("TYPE_DEPENSE")));
        line.rembours = fromDb<PaymentType>(qDep.asInt(QStringLiteral("REMBOURS")));
        line.idBen = KeyOrNone(qDep, QStringLiteral("ID_BEN"));
        line.idFnm = KeyOrNone(qDep, QStringLiteral("ID_FNM"));
        line.noDepense = qDep.asString(QStringLiteral("NO_DEPENSE"));
        line.dateDepense = qDep.asDate(QStringLiteral("DATE_DEPENSE"));
        line.regimeGen = qDep.asCurrency(QStringLiteral("REGIME_GEN"));
        line.assChomage = qDep.asCurrency(QStringLiteral("ASS_CHOMAGE"));
        line.retraiteAnt = qDep.asCurrency(QStringLiteral("RETRAITE_ANT"));
        lines.push_back(line);
    }
    qDep.close();

    // qFNM: the distinct budget lines; their amounts are added up from the lines.
    db::Query qFNM(DM->LURDO,
                   QStringLiteral("SELECT DISTINCT B.ID_FNM, C.CHAP, C.ART, C.PAR, C.INTITULE, C.SECTION "
                                  "FROM DET_MDT A JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                                  "LEFT JOIN FNM C ON B.ID_FNM=C.ID_FNM "
                                  "WHERE A.ID_MDT=:ID_MDT ORDER BY C.CHAP, C.ART, C.PAR"));
    qFNM.setParam(QStringLiteral("ID_MDT"), idMdt);
    qFNM.open();
    for (qFNM.first(); !qFNM.eof(); qFNM.next()) {
        TMandatBudgetLine b;
        b.idFnm = KeyOrNone(qFNM, QStringLiteral("ID_FNM"));
        b.chap = qFNM.asString(QStringLiteral("CHAP"));
        b.art = qFNM.asString(QStringLiteral("ART"));
        b.par = qFNM.asString(QStringLiteral("PAR"));
        b.intitule = qFNM.asString(QStringLiteral("INTITULE"));
        b.section = qFNM.asString(QStringLiteral("SECTION"));
        // A line of the nomenclature stored twice under one key is named once.
        if (!BudgetLine(b.idFnm))
            budgetLines.push_back(b);
    }
    qFNM.close();
    for (TMandatBudgetLine& b : budgetLines) {
        for (const TMandatLine& line : lines) {
            if (!line.kind || line.idFnm != b.idFnm)   // no kind: the expense is missing
                continue;
            b.amount += line.amount;
            b.regimeGen += line.regimeGen;
            b.assChomage += line.assChomage;
            b.retraiteAnt += line.retraiteAnt;
        }
    }

    // qBen: the distinct beneficiaries.
    db::Query qBen(DM->LURDO,
                   QStringLiteral("SELECT DISTINCT B.ID_BEN, C.ID_BEN AS FOUND_BEN, C.NOM, C.ID_BANQUE, C.ID_AGENCE, "
                                  "C.COMPTE "
                                  "FROM DET_MDT A JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                                  "LEFT JOIN BENEF C ON B.ID_BEN=C.ID_BEN "
                                  "WHERE A.ID_MDT=:ID_MDT"));
    qBen.setParam(QStringLiteral("ID_MDT"), idMdt);
    qBen.open();
    for (qBen.first(); !qBen.eof(); qBen.next()) {
        TMandatBeneficiary ben;
        ben.idBen = KeyOrNone(qBen, QStringLiteral("ID_BEN"));
        ben.found = !qBen.isNull(QStringLiteral("FOUND_BEN"));
        ben.nom = qBen.asString(QStringLiteral("NOM"));
        ben.idBanque = KeyOrNone(qBen, QStringLiteral("ID_BANQUE"));
        ben.idAgence = KeyOrNone(qBen, QStringLiteral("ID_AGENCE"));
        ben.compte = qBen.asString(QStringLiteral("COMPTE"));
        beneficiaries.push_back(ben);
    }
    qBen.close();
}

void TMandatData::LoadSalary(qint64 idMdt)
{
    imputations.clear();
    deductions.clear();

    // qImput: the gross amounts by budget line.
    db::Query qImput(DM->LURDO,
                     QStringLiteral("SELECT C.CHAP, C.ART, C.PAR, C.INTITULE, B.MONTANT "
                                    "FROM DET_MDT A JOIN DET_SALAIRE B ON B.ID_DEPENSE=A.ID_DETAIL "
                                    "LEFT JOIN FNM C ON B.ID_DETAIL=C.ID_FNM "
                                    "WHERE A.ID_MDT=:ID_MDT AND B.TYPE_DET=:TYPE_DET "
                                    "ORDER BY C.CHAP, C.ART, C.PAR"));
    qImput.setParam(QStringLiteral("ID_MDT"), idMdt);
    qImput.setParam(QStringLiteral("TYPE_DET"), toDb(SalaryLineType::Imputation));
    qImput.open();
    for (qImput.first(); !qImput.eof(); qImput.next())
        imputations.push_back({qImput.asString(QStringLiteral("CHAP")), qImput.asString(QStringLiteral("ART")),
                               qImput.asString(QStringLiteral("PAR")), qImput.asString(QStringLiteral("INTITULE")),
                               qImput.asCurrency(QStringLiteral("MONTANT"))});
    qImput.close();

    // qRet: the deductions.
    db::Query qRet(DM->LURDO,
                   QStringLiteral("SELECT B.MONTANT, C.LIBELLE "
                                  "FROM DET_MDT A JOIN DET_SALAIRE B ON B.ID_DEPENSE=A.ID_DETAIL "
                                  "LEFT JOIN FRET C ON B.ID_DETAIL=C.ID_RETENUE "
                                  "WHERE A.ID_MDT=:ID_MDT AND B.TYPE_DET=:TYPE_DET "
                                  "ORDER BY B.NO_ORD"));
    qRet.setParam(QStringLiteral("ID_MDT"), idMdt);
    qRet.setParam(QStringLiteral("TYPE_DET"), toDb(SalaryLineType::Deduction));
    qRet.open();
    for (qRet.first(); !qRet.eof(); qRet.next())
        deductions.push_back({QString(), QString(), QString(), qRet.asString(QStringLiteral("LIBELLE")),
                              qRet.asCurrency(QStringLiteral("MONTANT"))});
    qRet.close();
}

Currency TMandatData::LinesTotal() const
{
    Currency total;
    for (const TMandatLine& line : lines)
        total += line.amount;
    return total;
}

Currency TMandatData::ContributionsTotal() const
{
    Currency total;
    for (const TMandatLine& line : lines)
        total += line.regimeGen + line.assChomage + line.retraiteAnt;
    return total;
}

bool TMandatData::ContributionsMakeTotal() const
{
    const Currency contributions = ContributionsTotal();
    return contributions != Currency() && contributions == LinesTotal();
}

bool OrderPaysContributions(qint64 idMdt)
{
    TMandatData data;
    data.Load(idMdt);
    return data.ContributionsMakeTotal();
}

Currency TMandatData::ImputationsTotal() const
{
    Currency total;
    for (const TMandatSalaryRow& row : imputations)
        total += row.amount;
    return total;
}

Currency TMandatData::DeductionsTotal() const
{
    Currency total;
    for (const TMandatSalaryRow& row : deductions)
        total += row.amount;
    return total;
}

const TMandatBudgetLine* TMandatData::BudgetLine(qint64 idFnm) const
{
    for (const TMandatBudgetLine& b : budgetLines)
        if (b.idFnm == idFnm)
            return &b;
    return nullptr;
}

const TMandatBeneficiary* TMandatData::Beneficiary(qint64 idBen) const
{
    for (const TMandatBeneficiary& b : beneficiaries)
        if (b.idBen == idBen)
            return &b;
    return nullptr;
}

QString TMandatData::BankText(qint64 idBanque, qint64 idAgence)
{
    QStringList parts;
    db::Query qBnq(DM->LURDO, QStringLiteral("SELECT * FROM BANQUE WHERE ID_BANQUE=:ID_BANQUE"));
    qBnq.setParam(QStringLiteral("ID_BANQUE"), idBanque);
    qBnq.open();
    if (!qBnq.isEmpty())
        parts << qBnq.asString(QStringLiteral("RS"));
    qBnq.close();
    db::Query qAgence(DM->LURDO, QStringLiteral("SELECT * FROM AGENCE WHERE ID_AGENCE=:ID_AGENCE"));
    qAgence.setParam(QStringLiteral("ID_AGENCE"), idAgence);
    qAgence.open();
    if (!qAgence.isEmpty())
        parts << qAgence.asString(QStringLiteral("LIBELLE"));
    qAgence.close();
    return parts.join(QStringLiteral(" - "));
}

namespace {

void FillFoundBeneficiary(TMandatCreditor& c, const TMandatBeneficiary* ben)
{
    if (!ben || !ben->found)
        return;
    c.nom = ben->nom;
    c.bnq = TMandatData::BankText(ben->idBanque, ben->idAgence);
    c.compte = ben->compte;
}

// The creditor of one beneficiary: placeholders, then its name, bank and
// account when its row exists.
void FillFromBeneficiary(TMandatCreditor& c, const TMandatBeneficiary* ben)
{
    c.nom = NamePlaceholder;
    c.compte = NamePlaceholder;
    c.bnq = Placeholder;
    FillFoundBeneficiary(c, ben);
}

} // namespace

TMandatCreditor MandatCreditor(const TMandatData& data)
{
    TMandatCreditor c{Placeholder, Placeholder, Placeholder, Placeholder};
    if (data.lines.empty())
        return c;

    const TMandatLine& first = data.lines.front();
    if (data.lines.size() == 1) {
        const TMandatBudgetLine* b = data.BudgetLine(first.idFnm);
        const QString title = b ? b->intitule.toUpper() : QString();
        if (first.kind == ExpenseKind::Mission)
            c.objet = (first.rembours != PaymentType::Reimbursement ? QStringLiteral("PAIEMENT ")
                                                                    : QStringLiteral("REMBOURSEMENT ")) + title;
        else
            c.objet = QStringLiteral("PAIEMENT DE LA FACTURE N° ") + first.noDepense + QStringLiteral("  DU  ")
                    + first.dateDepense.toString(QStringLiteral("dd/MM/yyyy"));
        FillFromBeneficiary(c, data.Beneficiary(first.idBen));
        return c;
    }

    if (first.kind == ExpenseKind::Mission) {
        // Each budget line's title once, "Paiement " or "Remboursement " before the first.
        QString text;
        bool firstTitle = true;
        for (const TMandatLine& line : data.lines) {
            const TMandatBudgetLine* b = data.BudgetLine(line.idFnm);
            const QString title = b ? b->intitule : QString();
            if (title.isEmpty() || text.contains(title))
                continue;
            if (firstTitle)
                text += first.rembours != PaymentType::Reimbursement ? QStringLiteral("Paiement ")
                                                                     : QStringLiteral("Remboursement ");
            firstTitle = false;
            text += title + QStringLiteral(" et ");
        }
        c.objet = text.isEmpty() ? text : text.chopped(4);
    } else {
        c.objet = QStringLiteral("PAIEMENT DE DIVERSES FACTURES");
    }
    c.nom = c.bnq = c.compte = Various;
    if (data.beneficiaries.size() == 1) {
        FillFromBeneficiary(c, &data.beneficiaries.front());
    } else if (data.beneficiaries.size() > 1) {
        const TMandatBeneficiary& head = data.beneficiaries.front();
        bool sameBank = true;
        for (const TMandatBeneficiary& ben : data.beneficiaries)
            sameBank = sameBank && ben.idBanque == head.idBanque && ben.idAgence == head.idAgence;
        if (sameBank)
            c.bnq = TMandatData::BankText(head.idBanque, head.idAgence);
    }
    return c;
}

TMandatCreditor MandatSalaryCreditor(const TMandatData& data)
{
    const QString unknown = QStringLiteral("?????");
    TMandatCreditor c{unknown, unknown, unknown, QString()};
    if (data.lines.size() == 1)
        FillFoundBeneficiary(c, data.Beneficiary(data.lines.front().idBen));
    else if (data.lines.size() > 1)
        c.nom = c.bnq = c.compte = Various;
    return c;
}

bool MandatSalarySingleChapter(const TMandatData& data)
{
    QString chapter;
    for (const TMandatSalaryRow& row : data.imputations) {
        const QString chap = row.chap.trimmed();
        if (chap.isEmpty())
            continue;   // a row whose budget line is missing names no chapter
        if (chapter.isEmpty())
            chapter = chap;
        else if (chap != chapter)
            return false;
    }
    return true;
}

QString MandatImputationCode(const QString& art, const QString& par)
{
    QString code = art.trimmed();
    if (!par.trimmed().isEmpty())
        code += QLatin1Char('.') + par.trimmed();
    return code;
}

QString MandatSalaryImputationCode(const QString& chap, const QString& art, const QString& par)
{
    return chap.trimmed() + QLatin1Char('.') + MandatImputationCode(art, par);
}

QString MandatSectionText(const TMandatData& data)
{
    const bool first = !data.budgetLines.empty() && data.budgetLines.front().section.trimmed() == QLatin1String("1");
    return first ? QStringLiteral("S/SECTION  I") : QStringLiteral("S/SECTION  II");
}
