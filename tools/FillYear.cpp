#include "tools/FillYear.h"

#include "data/Codes.h"

#include <QDate>
#include <QStringList>

#include <ibase.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

namespace fill {

namespace {

// ---------------------------------------------------------------------------
// Texts

const char* const Wilayas[] = {
    "Adrar", "Chlef", "Laghouat", "Oum El Bouaghi", "Batna", "Béjaïa", "Biskra", "Béchar",
    "Blida", "Bouira", "Tamanrasset", "Tébessa", "Tlemcen", "Tiaret", "Tizi Ouzou", "Alger",
    "Djelfa", "Jijel", "Sétif", "Saïda", "Skikda", "Sidi Bel Abbès", "Annaba", "Guelma",
    "Constantine", "Médéa", "Mostaganem", "M'Sila", "Mascara", "Ouargla", "Oran", "El Bayadh",
    "Illizi", "Bordj Bou Arréridj", "Boumerdès", "El Tarf", "Tindouf", "Tissemsilt", "El Oued",
    "Khenchela", "Souk Ahras", "Tipaza", "Mila", "Aïn Defla", "Naâma", "Aïn Témouchent",
    "Ghardaïa", "Relizane"};

struct BankText { const char* name; const char* shortName; };
const BankText Banks[] = {
    {"BANQUE NATIONALE D'ALGÉRIE", "BNA"},
    {"BANQUE EXTÉRIEURE D'ALGÉRIE", "BEA"},
    {"CRÉDIT POPULAIRE D'ALGÉRIE", "CPA"},
    {"BANQUE DE L'AGRICULTURE ET DU DÉV. RURAL", "BADR"},
    {"BANQUE DE DÉVELOPPEMENT LOCAL", "BDL"},
    {"CAISSE NATIONALE D'ÉPARGNE", "CNEP"},
    {"ALGÉRIE POSTE - CCP", "CCP"},
    {"TRÉSOR PUBLIC", "TRESOR"}};

const char* const Grades[] = {
    "Professeur", "Maître de conférences A", "Maître de conférences B", "Maître assistant A",
    "Maître assistant B", "Assistant", "Administrateur principal", "Administrateur",
    "Attaché d'administration", "Secrétaire de direction", "Ingénieur d'État",
    "Technicien supérieur", "Agent de bureau", "Ouvrier professionnel", "Chauffeur"};

const char* const Deductions[] = {
    "IRG", "Sécurité sociale", "Mutuelle", "Retraite complémentaire", "Cotisation syndicale",
    "Prêt social", "Avance sur salaire", "Pension alimentaire"};

const char* const AttachmentLabels[] = {
    "Facture", "Bon de commande", "Procès-verbal de réception", "Mémoire", "Ordre de mission",
    "État des sommes dues", "Relevé d'identité bancaire", "Attestation de service fait"};

const char* const Section1Chapters[] = {
    "Rémunérations principales du personnel enseignant",
    "Indemnités et primes du personnel enseignant",
    "Rémunérations du personnel administratif et technique",
    "Indemnités et primes du personnel administratif",
    "Charges sociales",
    "Personnel contractuel et vacataire",
    "Heures supplémentaires d'enseignement",
    "Prestations à caractère familial",
    "Pensions et allocations",
    "Œuvres sociales",
    "Formation et perfectionnement du personnel",
    "Rémunération des personnels associés",
    "Indemnités de stage",
    "Bourses et présalaires",
    "Rappels sur rémunérations",
    "Indemnités de départ à la retraite",
    "Accidents du travail",
    "Médecine du travail",
    "Frais de recrutement",
    "Rémunération des enseignants invités",
    "Indemnités d'encadrement",
    "Primes de rendement",
    "Indemnités de documentation",
    "Indemnités de nuisance",
    "Dépenses diverses de personnel"};

const char* const Section2Chapters[] = {
    "Remboursement de frais",
    "Matériel et mobilier",
    "Fournitures",
    "Documentation",
    "Charges annexes",
    "Habillement",
    "Parc automobile",
    "Travaux d'entretien",
    "Frais de fonctionnement liés à l'enseignement",
    "Activités culturelles et sportives",
    "Manifestations scientifiques",
    "Stages et sorties pédagogiques",
    "Matériel informatique et logiciels",
    "Télécommunications",
    "Énergie et eau",
    "Loyers et charges locatives",
    "Frais postaux",
    "Assurances",
    "Frais de justice et contentieux",
    "Études et recherche",
    "Impression et édition",
    "Frais de réception",
    "Hygiène et sécurité",
    "Équipements de laboratoire",
    "Dépenses diverses de fonctionnement"};

const char* const Section1Articles[] = {
    "Traitements de base", "Indemnité d'expérience professionnelle", "Prime de rendement",
    "Indemnité de documentation pédagogique", "Indemnité de qualification",
    "Indemnité de zone", "Allocations familiales", "Salaire unique", "Sécurité sociale",
    "Mutuelle", "Retraite", "Indemnité de responsabilité", "Indemnité de sujétion",
    "Rappels", "Indemnité de nuisance", "Indemnité de panier", "Indemnité de transport",
    "Heures complémentaires", "Prime d'encadrement", "Indemnité de fonction"};

const char* const Section2Articles[] = {
    "Frais de mission et de déplacement", "Frais de séjour", "Mobilier de bureau",
    "Fournitures de bureau", "Produits d'entretien", "Consommables informatiques",
    "Ouvrages et revues", "Abonnements", "Électricité et gaz", "Eau", "Téléphone et internet",
    "Carburants et lubrifiants", "Pièces de rechange", "Entretien des bâtiments",
    "Réparation du matériel", "Produits chimiques", "Verrerie de laboratoire", "Impression",
    "Réception et restauration", "Tenues de travail", "Matériel pédagogique",
    "Logiciels et licences", "Frais d'inscription", "Transport du personnel"};

const char* const Paragraphs[] = {
    "Personnel enseignant", "Personnel administratif", "Personnel technique",
    "Département de mathématiques", "Département de physique", "Département de chimie",
    "Département d'informatique", "Bibliothèque", "Laboratoires", "Services communs"};

const char* const LastNames[] = {
    "BENALI", "BOUDIAF", "HADDAD", "MEBARKI", "SAIDI", "KHELIFI", "BELKACEM", "CHERIF",
    "AMRANI", "ZERROUKI", "BOUZID", "MANSOURI", "TOUATI", "BENSAÏD", "LAOUFI", "HAMIDI",
    "REZIG", "GHERBI", "DJEBBAR", "OULD ALI", "BOUMEDIENE", "FERHAT", "KACI", "MEZIANE",
    "BENYAHIA", "TALEB", "LAHMAR", "SLIMANI", "BOUCHAREB", "AÏT AHMED"};

const char* const FirstNames[] = {
    "MOHAMED", "AHMED", "FATIMA", "KHADIDJA", "YACINE", "AMINA", "KARIM", "NADIA", "SAMIR",
    "LEÏLA", "RACHID", "SOUAD", "MOURAD", "NAÏMA", "FARID", "HOURIA", "DJAMEL", "MALIKA",
    "NOUREDDINE", "SAMIA", "HAKIM", "ZOHRA", "ABDELKADER", "WAHIBA", "SALIM", "LYNDA",
    "YOUCEF", "MERIEM", "TAREK", "ASMA"};

const char* const CompanyForms[] = {"SARL", "EURL", "ETS", "SPA", "SNC", "ENTREPRISE"};

const char* const Activities[] = {
    "INFORMATIQUE", "FOURNITURES", "BÂTIMENT", "PAPETERIE", "ÉQUIPEMENTS", "TRAVAUX",
    "NETTOYAGE", "RESTAURATION", "IMPRIMERIE", "LABO SERVICES", "ÉLECTRICITÉ", "TRANSPORT",
    "CLIMATISATION", "MOBILIER", "LIBRAIRIE"};

const char* const Bodies[] = {
    "CAISSE NATIONALE DES ASSURANCES SOCIALES", "CASNOS", "CAISSE NATIONALE DES RETRAITES",
    "MUTUELLE GÉNÉRALE DE L'ÉDUCATION NATIONALE", "TRÉSORERIE DE LA WILAYA",
    "DIRECTION DES IMPÔTS DE LA WILAYA", "SONELGAZ DISTRIBUTION", "ALGÉRIE TÉLÉCOM",
    "ALGÉRIE POSTE", "ALGÉRIENNE DES EAUX", "NAFTAL", "COMMISSION DES ŒUVRES SOCIALES",
    "SOCIÉTÉ NATIONALE D'ASSURANCE", "CAAR", "CAAT", "OFFICE DES PUBLICATIONS UNIVERSITAIRES",
    "CENTRE DE RECHERCHE SUR L'INFORMATION", "AGENCE THÉMATIQUE DE RECHERCHE",
    "RECTORAT DE L'UNIVERSITÉ", "ŒUVRES UNIVERSITAIRES", "CAISSE DE RETRAITE ANTICIPÉE",
    "CAISSE NATIONALE D'ASSURANCE CHÔMAGE", "SYNDICAT DES ENSEIGNANTS",
    "SYNDICAT DU PERSONNEL ADMINISTRATIF", "ASSOCIATION SPORTIVE UNIVERSITAIRE",
    "CENTRE HOSPITALO-UNIVERSITAIRE", "INSTITUT NATIONAL DE LA FORMATION",
    "DIRECTION DE L'ÉNERGIE", "BIBLIOTHÈQUE NATIONALE", "AGENCE NATIONALE DES DÉCHETS"};

const char* const Streets[] = {
    "rue Larbi Ben M'hidi", "rue Didouche Mourad", "boulevard Emir Abdelkader",
    "avenue du 1er Novembre", "rue Hassiba Ben Bouali", "cité des Frères Bouadou",
    "rue Ahmed Zabana", "boulevard Mohamed Khemisti", "cité 500 logements", "zone industrielle"};

const char* const InvoiceObjects[] = {
    "Acquisition de fournitures de bureau", "Achat de consommables informatiques",
    "Acquisition de matériel informatique", "Travaux d'entretien des locaux",
    "Réparation de matériel", "Achat de produits d'entretien",
    "Abonnement à des revues scientifiques", "Acquisition d'ouvrages pour la bibliothèque",
    "Achat de produits chimiques", "Fourniture de verrerie de laboratoire",
    "Impression de documents pédagogiques", "Prestation de restauration", "Achat de carburant",
    "Entretien du parc automobile", "Fourniture de mobilier de bureau"};

const char* const MissionPurposes[] = {
    "séminaire", "jury de soutenance", "colloque", "réunion pédagogique", "stage de formation",
    "conférence régionale des universités"};

const char* const RefundKinds[] = {"transport", "séjour", "inscription", "restauration"};

const char* const Months[] = {
    "janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre",
    "octobre", "novembre", "décembre"};

const char* const StaffGroups[] = {
    "personnel enseignant", "personnel administratif", "personnel technique",
    "personnel contractuel", "vacataires"};

const char* const Users[] = {"MANAGER", "BUDGET", "COMPTA"};

template <typename T, std::size_t N>
constexpr int count(const T (&)[N]) { return int(N); }

QString text(const char* s) { return QString::fromUtf8(s); }

// ---------------------------------------------------------------------------
// Random choices (deterministic for a seed)

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_gen(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_gen); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_gen); }
    bool chance(double p) { return real(0.0, 1.0) < p; }
    template <typename T, std::size_t N>
    QString pick(const T (&items)[N]) { return text(items[between(0, int(N) - 1)]); }
    // An amount in cents between two whole-dinar bounds, spread evenly on a log scale.
    qint64 amount(qint64 loDinars, qint64 hiDinars) {
        const double x = std::exp(real(std::log(double(loDinars)), std::log(double(hiDinars))));
        const qint64 dinars = std::max<qint64>(loDinars, std::llround(x));
        return dinars * 100 + (chance(0.4) ? 0 : between(0, 99));
    }
    std::mt19937_64& engine() { return m_gen; }

private:
    std::mt19937_64 m_gen;
};

Currency money(qint64 cents) { return Currency::fromRaw(cents * 100); }
qint64 roundThousand(qint64 cents) { return (cents + 50000) / 100000 * 100000; }
QString pad4(int n) { return QString::number(n).rightJustified(4, QLatin1Char('0')); }

// ---------------------------------------------------------------------------
// The year being built

struct BudgetLine {
    int id = 0;
    int chapter = 0;        // index into the chapter list
    QString chap, art, par, title;
    int section = 1;
    bool heading = false;
    bool soumis = false;
    bool socialCharges = false;   // expenses carry the three employer contributions
    double kindWeight[4] = {0, 0, 0, 0};   // by the kind's code
    bool hasBp = false;
    qint64 bp = 0, regie = 0, bs = 0;
    QDate dateBp, dateBs, dateEngBp, dateEngBs;
    QString noDecBp, noDecBs;
    qint64 spent = 0;       // expenses charged to the line
    qint64 slack = 0;       // credit left for transfers
};

struct Chapter { QString chap, title; int section; };

struct Beneficiary { int id; BeneficiaryType type; int serviceGrade; QString name; };

struct Expense {
    int id = 0;
    ExpenseKind kind = ExpenseKind::Invoice;
    QDate date;
    int line = -1;          // budget line index, -1 for a salary expense to pay
    int ben = 0;            // beneficiary index
    qint64 amount = 0;
    QString number, object;
    QDate missionStart, missionEnd;
    std::optional<PaymentType> rembours;   // none: NULL
    qint64 regimeGen = 0, assChomage = 0, retraiteAnt = 0;
    bool contributions = false;
    int sheet = -1;         // the active commitment sheet holding it
    int order = -1;         // the payment order holding it
};

struct SalaryLine { int id; int expense; int detail; int noOrd; SalaryLineType type; qint64 amount; };

struct Sheet {
    int seq = 0;            // creation order, breaks ties of dates
    SheetOrigin origin = SheetOrigin::User;
    QDate date;
    int line = 0;
    SheetObject objet = SheetObject::Expense;
    qint64 amount = 0;
    std::vector<int> expenses;   // user commitments
    int cancels = -1;       // sheet index cancelled by a cancellation
    int cancelledBy = -1;   // cancellation sheet index
    int transfer = -1;      // transfer index of a transfer row
    QString noVisa;
    QDate dateVisa;
    int id = 0;
    QString number;
    QString obs;
};

struct TransferRowData { int line; bool giving; qint64 amount; };
struct Transfer { QDate date; std::vector<TransferRowData> rows; int id = 0; };

struct Order {
    int seq = 0;
    QDate date;
    std::vector<int> expenses;
    int id = 0;
    OrderStatus statut = OrderStatus::Paid;
};

// A regularisation sheet recording payment orders issued on one budget line.
struct Regularisation {
    int line = 0;
    QDate date;
    std::vector<int> orders;
    qint64 amount = 0;
    int id = 0;
    QString number;
};

QDate clampToYear(QDate d, int year)
{
    const QDate last(year, 12, 31);
    return d > last ? last : d;
}

class YearBuilder {
public:
    YearBuilder(db::Connection& conn, const Options& o) : m_conn(conn), m_o(o), m_rng(o.seed) {}

    Counts run()
    {
        checkOptions();
        buildNomenclature();
        buildBeneficiaries();
        buildExpenses();
        buildSalaryLines();
        buildAllocations();
        buildTransfers();
        buildSheets();
        buildOrders();
        buildRegularisations();
        write();
        return m_counts;
    }

private:
    db::Connection& m_conn;
    Options m_o;
    Rng m_rng;
    Counts m_counts;

    std::vector<Chapter> m_chapters;
    std::vector<BudgetLine> m_lines;
    std::vector<Beneficiary> m_bens;
    std::vector<int> m_bensByType[3];
    std::vector<Expense> m_exp;
    std::vector<SalaryLine> m_sal;
    std::vector<Transfer> m_transfers;
    std::vector<Sheet> m_sheets;
    std::vector<Order> m_orders;
    std::vector<Regularisation> m_regs;
    int m_agencies = 0;

    QDate day(int month, int dayOfMonth) const { return QDate(m_o.year, month, dayOfMonth); }
    QDate dayOfYear(int n) const { return QDate(m_o.year, 1, 1).addDays(n); }
    QDate randomDate(QDate from, QDate to)
    {
        return from.addDays(m_rng.between(0, int(from.daysTo(to))));
    }
    QString user() { return m_rng.pick(Users); }
    // One beneficiary of the type, drawn at random.
    int randomBeneficiary(BeneficiaryType type)
    {
        const std::vector<int>& bens = m_bensByType[toDb(type)];
        return bens[size_t(m_rng.between(0, int(bens.size()) - 1))];
    }

    void checkOptions() const
    {
        if (m_o.year < 1900 || m_o.year > 9999)
            throw std::runtime_error("fiscal year out of range");
        if (m_o.paymentOrders > 9999)
            throw std::runtime_error("payment-order numbers have four digits: at most 9999 orders");
        if (m_o.expenses > 32000 || m_o.budgetRows > 32000)
            throw std::runtime_error("expense and budget-line keys are small integers");
        if (m_o.chapters < 2 || m_o.budgetRows < 2 * m_o.chapters)
            throw std::runtime_error("at least two chapters and one line per chapter");
    }

    // -----------------------------------------------------------------------
    // Budget nomenclature: chapter headings ("nn-nn", empty article and
    // paragraph), then articles, some split into paragraphs; section 1
    // (chapters 21-xx) holds the personnel lines, section 2 (22-xx) the rest.

    void buildNomenclature()
    {
        const int perSection[2] = {(m_o.chapters + 1) / 2, m_o.chapters / 2};
        for (int s = 0; s < 2; ++s) {
            for (int k = 0; k < perSection[s]; ++k) {
                const int n1 = count(Section1Chapters), n2 = count(Section2Chapters);
                QString title = s == 0 ? text(Section1Chapters[k % n1]) : text(Section2Chapters[k % n2]);
                if (k >= (s == 0 ? n1 : n2))
                    title += QStringLiteral(" (suite)");
                m_chapters.push_back({QStringLiteral("%1-%2").arg(21 + s).arg(k + 1, 2, 10, QLatin1Char('0')),
                                      title, s + 1});
            }
        }
        // Lines per chapter: a random share of the rows, at least one each.
        const int chapters = int(m_chapters.size());
        const int lineRows = m_o.budgetRows - chapters;
        std::vector<double> w(static_cast<size_t>(chapters));
        for (double& x : w) x = m_rng.real(0.4, 1.6);
        const double sum = std::accumulate(w.begin(), w.end(), 0.0);
        std::vector<int> n(static_cast<size_t>(chapters));
        int given = 0;
        for (int c = 0; c < chapters; ++c) {
            n[size_t(c)] = 1 + int(std::floor((lineRows - chapters) * w[size_t(c)] / sum));
            given += n[size_t(c)];
        }
        for (int c = 0; given < lineRows; c = (c + 1) % chapters, ++given) ++n[size_t(c)];

        for (int c = 0; c < chapters; ++c) {
            const Chapter& ch = m_chapters[size_t(c)];
            BudgetLine head;
            head.chapter = c;
            head.chap = ch.chap;
            head.title = ch.title;
            head.section = ch.section;
            head.heading = true;
            m_lines.push_back(head);

            int left = n[size_t(c)];
            for (int art = 1; left > 0 && art <= 99; ++art) {
                int size = std::min(left, m_rng.chance(0.45) ? 1 : m_rng.between(2, 6));
                if (art == 99) size = std::min(left, 99);
                const QString artTitle = ch.section == 1 ? m_rng.pick(Section1Articles) : m_rng.pick(Section2Articles);
                for (int p = 0; p < size; ++p) {
                    BudgetLine l;
                    l.chapter = c;
                    l.chap = ch.chap;
                    l.art = QStringLiteral("%1").arg(art, 2, 10, QLatin1Char('0'));
                    l.par = size == 1 ? QString() : QStringLiteral("%1").arg(p + 1, 2, 10, QLatin1Char('0'));
                    l.title = size == 1 ? artTitle : artTitle + QStringLiteral(" - ") + text(Paragraphs[p % count(Paragraphs)]);
                    l.section = ch.section;
                    classify(l);
                    m_lines.push_back(l);
                }
                left -= size;
            }
        }
        for (size_t i = 0; i < m_lines.size(); ++i)
            m_lines[i].id = int(i) + 1;   // the key trigger numbers rows in insert order
    }

    // Which kinds of expense a line receives, and how busy it is.
    void classify(BudgetLine& l)
    {
        const bool active = m_rng.chance(0.9);
        const double busy = active ? std::exp(m_rng.real(0.0, 3.0)) : 0.0;
        const int number = l.chap.mid(3, 2).toInt();
        if (l.section == 1) {
            l.socialCharges = number == 5 && l.art == QLatin1String("01");
            l.soumis = number <= 4 || number == 6 || number == 7;
            if (l.socialCharges) {
                l.kindWeight[toDb(ExpenseKind::Mission)] = busy;
            } else if (l.soumis) {
                l.kindWeight[toDb(ExpenseKind::SalaryToCommit)] = busy;
                l.kindWeight[toDb(ExpenseKind::SalaryToPay)] = busy;
            } else {
                l.kindWeight[toDb(ExpenseKind::SalaryToCommit)] = busy * 0.6;
                l.kindWeight[toDb(ExpenseKind::Mission)] = busy * 0.4;
            }
        } else if (number == 1) {
            l.kindWeight[toDb(ExpenseKind::Mission)] = busy;
        } else {
            l.kindWeight[toDb(ExpenseKind::Invoice)] = busy;
            if (m_rng.chance(0.2)) l.kindWeight[toDb(ExpenseKind::Mission)] = busy * 0.3;
        }
        l.hasBp = active || m_rng.chance(0.5);
    }

    // -----------------------------------------------------------------------
    // Beneficiaries: suppliers, employees and other bodies.

    void buildBeneficiaries()
    {
        const int others = std::max(1, m_o.beneficiaries / 10);
        const int employees = std::max(1, m_o.beneficiaries * 37 / 100);
        const int suppliers = std::max(1, m_o.beneficiaries - others - employees);
        for (int i = 0; i < suppliers + employees + others; ++i) {
            Beneficiary b;
            b.id = i + 1;
            if (i < suppliers) {
                b.type = BeneficiaryType::Supplier;
                b.serviceGrade = m_rng.between(0, 2);
                b.name = m_rng.pick(CompanyForms) + QLatin1Char(' ') + m_rng.pick(Activities) + QLatin1Char(' ') + m_rng.pick(LastNames);
            } else if (i < suppliers + employees) {
                b.type = BeneficiaryType::Employee;
                b.serviceGrade = m_rng.between(1, count(Grades));
                b.name = m_rng.pick(LastNames) + QLatin1Char(' ') + m_rng.pick(FirstNames);
            } else {
                b.type = BeneficiaryType::Other;
                b.serviceGrade = toDb(ServiceKind::Other);
                const int k = i - suppliers - employees;
                b.name = text(Bodies[k % count(Bodies)]);
                if (k >= count(Bodies))
                    b.name += QStringLiteral(" - ANTENNE %1").arg(k / count(Bodies) + 1);
            }
            m_bensByType[toDb(b.type)].push_back(int(m_bens.size()));
            m_bens.push_back(b);
        }
    }

    // -----------------------------------------------------------------------
    // Expenses of the four kinds, numbered in date order.

    int pickLine(ExpenseKind kind)
    {
        std::vector<double> w(m_lines.size());
        for (size_t i = 0; i < m_lines.size(); ++i)
            w[i] = m_lines[i].hasBp ? m_lines[i].kindWeight[toDb(kind)] : 0.0;
        std::discrete_distribution<int> d(w.begin(), w.end());
        return d(m_rng.engine());
    }

    void buildExpenses()
    {
        // Salary expenses to pay are few: their detail lines are ordered by a
        // small-integer number that grows by 10 across the whole table.
        const int salaryToPay = std::min(std::max(1, m_o.expenses / 60), 500);
        const int salaryToCommit = m_o.expenses * 15 / 100;
        const int missions = m_o.expenses / 3;
        const int invoices = m_o.expenses - salaryToPay - salaryToCommit - missions;
        const int counts[4] = {invoices, missions, salaryToPay, salaryToCommit};

        std::discrete_distribution<int> lineOf[4];
        for (int k = 0; k < 4; ++k) {
            std::vector<double> w(m_lines.size());
            for (size_t i = 0; i < m_lines.size(); ++i)
                w[i] = m_lines[i].hasBp && !m_lines[i].heading ? m_lines[i].kindWeight[k] : 0.0;
            if (std::accumulate(w.begin(), w.end(), 0.0) <= 0.0)
                throw std::runtime_error("the nomenclature has no line for an expense kind");
            lineOf[k] = std::discrete_distribution<int>(w.begin(), w.end());
        }

        const QDate first = day(1, 15), last = day(12, 20);
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < counts[k]; ++i) {
                Expense e;
                e.kind = fromDb<ExpenseKind>(k);
                e.date = randomDate(first, last);
                const int month = e.date.month() - 1;
                switch (e.kind) {
                case ExpenseKind::Invoice: {
                    e.line = lineOf[k](m_rng.engine());
                    e.ben = randomBeneficiary(BeneficiaryType::Supplier);
                    e.amount = m_rng.amount(5000, 2000000);
                    e.number = QStringLiteral("%1/%2").arg(m_rng.between(1, 999), 3, 10, QLatin1Char('0')).arg(m_o.year);
                    e.object = m_rng.pick(InvoiceObjects);
                    e.rembours = PaymentType::Reimbursement;
                    break;
                }
                case ExpenseKind::Mission: {
                    e.line = lineOf[k](m_rng.engine());
                    e.ben = randomBeneficiary(BeneficiaryType::Employee);
                    e.rembours = fromDb<PaymentType>(m_rng.between(0, 1));
                    if (m_lines[size_t(e.line)].socialCharges) {
                        const qint64 base = m_rng.amount(100000, 5000000);
                        e.contributions = true;
                        e.regimeGen = (base * 2375 + 5000) / 10000;
                        e.assChomage = (base * 100 + 5000) / 10000;
                        e.retraiteAnt = (base * 25 + 5000) / 10000;
                        e.amount = e.regimeGen + e.assChomage + e.retraiteAnt;
                        e.object = QStringLiteral("Charges sociales du mois de %1 %2").arg(text(Months[month])).arg(m_o.year);
                    } else if (m_rng.chance(0.6)) {
                        e.amount = m_rng.amount(2000, 150000);
                        e.missionEnd = e.date.addDays(-m_rng.between(0, 10));
                        e.missionStart = e.missionEnd.addDays(-m_rng.between(0, 5));
                        e.object = QStringLiteral("Mission à %1 - %2").arg(m_rng.pick(Wilayas), m_rng.pick(MissionPurposes));
                    } else {
                        e.amount = m_rng.amount(1000, 80000);
                        e.object = QStringLiteral("Remboursement de frais de %1").arg(m_rng.pick(RefundKinds));
                    }
                    break;
                }
                case ExpenseKind::SalaryToPay: {
                    e.ben = randomBeneficiary(BeneficiaryType::Other);
                    e.rembours = PaymentType::Payment;
                    e.object = QStringLiteral("Salaires de %1 %2 - versement %3")
                                   .arg(text(Months[month])).arg(m_o.year).arg(m_bens[size_t(e.ben)].name).left(150);
                    break;
                }
                case ExpenseKind::SalaryToCommit: {
                    e.line = lineOf[k](m_rng.engine());
                    e.ben = randomBeneficiary(BeneficiaryType::Other);
                    e.amount = m_rng.amount(200000, 5000000);
                    e.object = QStringLiteral("Salaires du mois de %1 %2 - %3")
                                   .arg(text(Months[month])).arg(m_o.year).arg(m_rng.pick(StaffGroups));
                    break;
                }
                }
                m_exp.push_back(e);
            }
        }
        std::shuffle(m_exp.begin(), m_exp.end(), m_rng.engine());
        std::stable_sort(m_exp.begin(), m_exp.end(), [](const Expense& a, const Expense& b) { return a.date < b.date; });
        for (size_t i = 0; i < m_exp.size(); ++i) {
            Expense& e = m_exp[i];
            e.id = int(i) + 1;
            if (e.kind != ExpenseKind::Invoice)
                e.number = QString::number(e.id);   // the key as text
            if (e.line >= 0)
                m_lines[size_t(e.line)].spent += e.amount;
        }
    }

    // Salary expenses to pay: charges on section-1 lines and deductions; the
    // expense's amount is the total of its charges.
    void buildSalaryLines()
    {
        std::vector<int> lines;
        for (size_t i = 0; i < m_lines.size(); ++i)
            if (m_lines[i].kindWeight[toDb(ExpenseKind::SalaryToPay)] > 0 && m_lines[i].hasBp && !m_lines[i].heading)
                lines.push_back(int(i));
        int nextOrd[2] = {10, 10};
        for (Expense& e : m_exp) {
            if (e.kind != ExpenseKind::SalaryToPay)
                continue;
            std::shuffle(lines.begin(), lines.end(), m_rng.engine());
            const int charges = std::min(int(lines.size()), m_rng.between(3, 6));
            qint64 gross = 0;
            for (int c = 0; c < charges; ++c) {
                const qint64 a = m_rng.amount(100000, 3000000);
                m_sal.push_back({int(m_sal.size()) + 1, e.id, m_lines[size_t(lines[size_t(c)])].id, nextOrd[0],
                                 SalaryLineType::Imputation, a});
                nextOrd[0] += 10;
                m_lines[size_t(lines[size_t(c)])].spent += a;
                gross += a;
            }
            std::vector<int> kinds(size_t(count(Deductions)));
            std::iota(kinds.begin(), kinds.end(), 1);
            std::shuffle(kinds.begin(), kinds.end(), m_rng.engine());
            const int deductions = m_rng.between(2, 5);
            for (int d = 0; d < deductions; ++d) {
                const qint64 a = gross * m_rng.between(5, 90) / 1000;
                m_sal.push_back({int(m_sal.size()) + 1, e.id, kinds[size_t(d)], nextOrd[1], SalaryLineType::Deduction, a});
                nextOrd[1] += 10;
            }
            e.amount = gross;
            if (std::max(nextOrd[0], nextOrd[1]) > 32767)
                throw std::runtime_error("too many salary detail lines for their order numbers");
        }
    }

    // -----------------------------------------------------------------------
    // Allocations: a primitive budget comfortably above what the line spends,
    // sometimes an imprest part and an amending budget.

    void buildAllocations()
    {
        int decision = 0;
        for (BudgetLine& l : m_lines) {
            if (l.heading || !l.hasBp)
                continue;
            l.bp = roundThousand(qint64(double(l.spent) * m_rng.real(1.1, 1.5))) + qint64(m_rng.between(50, 500)) * 100000;
            if (m_rng.chance(0.15))
                l.regie = roundThousand(qint64(double(l.bp) * m_rng.real(0.02, 0.08)));
            l.dateBp = day(1, m_rng.between(2, 10));
            l.dateEngBp = l.dateBp.addDays(m_rng.between(0, 3));
            l.noDecBp = QStringLiteral("%1/BP/%2").arg(++decision, 3, 10, QLatin1Char('0')).arg(m_o.year);
            l.slack = l.bp - l.regie - l.spent;
            if (m_rng.chance(0.3)) {
                const qint64 cut = roundThousand(qint64(double(l.slack) * m_rng.real(0.05, 0.2)));
                if (m_rng.chance(0.3) && cut >= 100000)
                    l.bs = -cut;
                else
                    l.bs = roundThousand(qint64(double(l.bp) * m_rng.real(0.05, 0.3)));
                l.dateBs = randomDate(day(6, 1), day(9, 30));
                l.dateEngBs = l.dateBs.addDays(m_rng.between(0, 3));
                l.noDecBs = QStringLiteral("%1/BS/%2").arg(++decision, 3, 10, QLatin1Char('0')).arg(m_o.year);
                l.slack += l.bs;
            }
        }
    }

    // Transfers: one or two giving lines with credit to spare, one to three
    // receiving lines; both sides add up to the same total.
    void buildTransfers()
    {
        std::vector<int> articles;
        for (size_t i = 0; i < m_lines.size(); ++i)
            if (!m_lines[i].heading)
                articles.push_back(int(i));
        for (int t = 0; t < m_o.transfers; ++t) {
            Transfer tr;
            tr.date = randomDate(day(2, 1), day(11, 30));
            std::vector<int> used;
            qint64 total = 0;
            const int giving = m_rng.chance(0.8) ? 1 : 2;
            for (int g = 0, tries = 0; g < giving && tries < 200; ++tries) {
                const int li = articles[size_t(m_rng.between(0, int(articles.size()) - 1))];
                BudgetLine& l = m_lines[size_t(li)];
                if (!l.hasBp || l.slack < 10000000 || std::find(used.begin(), used.end(), li) != used.end())
                    continue;
                const qint64 a = roundThousand(qint64(double(l.slack) * m_rng.real(0.05, 0.25)));
                l.slack -= a;
                total += a;
                used.push_back(li);
                tr.rows.push_back({li, true, a});
                ++g;
            }
            if (tr.rows.empty())
                continue;
            int receiving = m_rng.between(1, 3);
            if (total < qint64(receiving) * 100000) receiving = 1;
            qint64 left = total;
            for (int r = 0, tries = 0; r < receiving && tries < 200; ++tries) {
                const int li = articles[size_t(m_rng.between(0, int(articles.size()) - 1))];
                if (std::find(used.begin(), used.end(), li) != used.end())
                    continue;
                const bool lastRow = r == receiving - 1;
                const qint64 a = lastRow ? left : std::max<qint64>(100000, roundThousand(left / (receiving - r) * m_rng.between(5, 15) / 10));
                if (!lastRow && a >= left) { receiving = r + 1; continue; }
                left -= a;
                used.push_back(li);
                m_lines[size_t(li)].slack += a;
                tr.rows.push_back({li, false, a});
                ++r;
            }
            if (left != 0) {   // no receiving line found: give the credit back
                for (const TransferRowData& row : tr.rows)
                    m_lines[size_t(row.line)].slack += row.giving ? row.amount : -row.amount;
                continue;
            }
            m_transfers.push_back(tr);
        }
        std::stable_sort(m_transfers.begin(), m_transfers.end(), [](const Transfer& a, const Transfer& b) { return a.date < b.date; });
        for (size_t i = 0; i < m_transfers.size(); ++i)
            m_transfers[i].id = int(i) + 1;
    }

    // -----------------------------------------------------------------------
    // Commitment sheets of every origin, numbered per budget line in date order.

    int addSheet(Sheet s)
    {
        s.seq = int(m_sheets.size());
        m_sheets.push_back(std::move(s));
        return int(m_sheets.size()) - 1;
    }

    QDate sheetDate(const std::vector<int>& expenses)
    {
        QDate d;
        for (int e : expenses)
            d = std::max(d, m_exp[size_t(e)].date);
        return clampToYear(d.addDays(m_rng.between(0, 10)), m_o.year);
    }

    void buildSheets()
    {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            const BudgetLine& l = m_lines[i];
            if (l.hasBp && !l.heading) {
                Sheet s;
                s.origin = SheetOrigin::PrimitiveBudget;
                s.date = l.dateEngBp;
                s.line = int(i);
                s.objet = SheetObject::Economy;
                s.amount = l.bp;
                s.dateVisa = l.dateBp;
                addSheet(s);
            }
            if (l.bs != 0) {
                Sheet s;
                s.origin = SheetOrigin::AmendingBudget;
                s.date = l.dateEngBs;
                s.line = int(i);
                s.objet = l.bs > 0 ? SheetObject::Economy : SheetObject::Expense;
                s.amount = l.bs;
                s.dateVisa = l.dateBs;
                addSheet(s);
            }
        }
        for (size_t t = 0; t < m_transfers.size(); ++t) {
            for (const TransferRowData& row : m_transfers[t].rows) {
                Sheet s;
                s.origin = SheetOrigin::Transfer;
                s.date = m_transfers[t].date;
                s.line = row.line;
                s.objet = row.giving ? SheetObject::Expense : SheetObject::Economy;
                s.amount = row.amount;
                s.transfer = int(t);
                addSheet(s);
            }
        }

        // User commitments: the expenses of one line and one kind, in date
        // order, most alone on their sheet, some by two to four.
        std::map<std::pair<int, int>, std::vector<int>> groups;
        for (size_t i = 0; i < m_exp.size(); ++i) {
            const Expense& e = m_exp[i];
            if (e.kind != ExpenseKind::SalaryToPay && m_rng.chance(0.93))
                groups[{e.line, toDb(e.kind)}].push_back(int(i));
        }
        for (auto& [key, list] : groups) {
            for (size_t i = 0; i < list.size();) {
                const size_t n = std::min(list.size() - i, size_t(m_rng.chance(0.93) ? 1 : m_rng.between(2, 4)));
                Sheet s;
                s.origin = SheetOrigin::User;
                s.line = key.first;
                s.expenses.assign(list.begin() + long(i), list.begin() + long(i + n));
                s.date = sheetDate(s.expenses);
                const int index = addSheet(s);
                for (int e : m_sheets[size_t(index)].expenses)
                    m_exp[size_t(e)].sheet = index;
                i += n;
            }
        }

        // Cancellations; half of the freed expenses are committed again later.
        const int userSheets = int(m_sheets.size());
        for (int i = 0; i < userSheets; ++i) {
            if (m_sheets[size_t(i)].origin != SheetOrigin::User || !m_rng.chance(0.08))
                continue;
            const QDate date = m_sheets[size_t(i)].date;
            if (date > day(11, 30))
                continue;
            Sheet c;
            c.origin = SheetOrigin::Cancellation;
            c.line = m_sheets[size_t(i)].line;
            c.objet = SheetObject::Economy;
            c.date = clampToYear(date.addDays(m_rng.between(3, 30)), m_o.year);
            c.cancels = i;
            const int ci = addSheet(c);
            m_sheets[size_t(i)].cancelledBy = ci;
            const std::vector<int> freed = m_sheets[size_t(i)].expenses;
            for (int e : freed)
                m_exp[size_t(e)].sheet = -1;
            if (m_sheets[size_t(ci)].date <= day(12, 20) && m_rng.chance(0.5)) {
                Sheet again;
                again.origin = SheetOrigin::User;
                again.line = c.line;
                again.expenses = freed;
                again.date = m_sheets[size_t(ci)].date.addDays(m_rng.between(1, 10));
                const int ai = addSheet(again);
                for (int e : freed)
                    m_exp[size_t(e)].sheet = ai;
            }
        }

        // Keys in creation (date) order, numbers per line in the same order.
        std::vector<int> order(m_sheets.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            const Sheet& x = m_sheets[size_t(a)];
            const Sheet& y = m_sheets[size_t(b)];
            return x.date != y.date ? x.date < y.date : x.seq < y.seq;
        });
        if (order.size() > 32767)
            throw std::runtime_error("too many commitment sheets for their small-integer keys");
        std::vector<int> lastNumber(m_lines.size(), 0);
        int visa = 0;
        for (size_t k = 0; k < order.size(); ++k) {
            Sheet& s = m_sheets[size_t(order[k])];
            s.id = int(k) + 1;
            s.number = pad4(++lastNumber[size_t(s.line)]);
            if (s.origin == SheetOrigin::User || s.origin == SheetOrigin::Cancellation) {
                if (m_rng.chance(s.origin == SheetOrigin::User ? 0.85 : 0.6)) {
                    s.noVisa = QStringLiteral("%1/%2").arg(++visa).arg(m_o.year);
                    s.dateVisa = clampToYear(s.date.addDays(m_rng.between(1, 7)), m_o.year);
                }
            }
            if (s.origin == SheetOrigin::User) {
                s.amount = 0;
                for (int e : s.expenses) s.amount += m_exp[size_t(e)].amount;
            }
        }
        for (Sheet& s : m_sheets) {
            if (s.origin == SheetOrigin::Cancellation)
                s.amount = m_sheets[size_t(s.cancels)].amount;
        }
        for (Sheet& s : m_sheets)
            s.obs = observation(s);
    }

    // The user commitment's lines in beneficiary-name order (their NOLINE order).
    std::vector<int> linesByName(const std::vector<int>& expenses) const
    {
        std::vector<int> v = expenses;
        std::stable_sort(v.begin(), v.end(), [this](int a, int b) {
            return m_bens[size_t(m_exp[size_t(a)].ben)].name < m_bens[size_t(m_exp[size_t(b)].ben)].name;
        });
        return v;
    }

    QString serviceObservation(const QString& column, const BudgetLine& l) const
    {
        return obsText(column, m_chapters[size_t(l.chapter)]);
    }

    QString obsText(const QString& column, const Chapter& ch) const
    {
        const QString y = QString::number(m_o.year);
        if (column == QLatin1String("OBS_BP")) return QStringLiteral("Mise en place du budget primitif de l'exercice %1 - chapitre %2").arg(y, ch.chap);
        if (column == QLatin1String("OBS_BS")) return QStringLiteral("Crédits supplémentaires alloués au titre du budget modificatif %1").arg(y);
        if (column == QLatin1String("OBS_BS_N")) return QStringLiteral("Réduction de crédits au titre du budget modificatif %1").arg(y);
        if (column == QLatin1String("OBS_VIR_D")) return QStringLiteral("Transfert de crédits : diminution du chapitre %1").arg(ch.chap);
        return QStringLiteral("Transfert de crédits : augmentation du chapitre %1").arg(ch.chap);
    }

    QString observation(const Sheet& s) const
    {
        const BudgetLine& l = m_lines[size_t(s.line)];
        switch (s.origin) {
        case SheetOrigin::PrimitiveBudget: return serviceObservation(QStringLiteral("OBS_BP"), l);
        case SheetOrigin::AmendingBudget:
            return serviceObservation(s.amount > 0 ? QStringLiteral("OBS_BS") : QStringLiteral("OBS_BS_N"), l);
        case SheetOrigin::Transfer:
            return serviceObservation(
                s.objet == SheetObject::Expense ? QStringLiteral("OBS_VIR_D") : QStringLiteral("OBS_VIR_E"), l);
        case SheetOrigin::Cancellation: {
            const Sheet& c = m_sheets[size_t(s.cancels)];
            return QStringLiteral("DESENGAGEMENT DE LA FICHE D'ENGAGEMENT No ") + c.number + QStringLiteral(" DU  ")
                   + c.date.toString(QStringLiteral("dd/MM/yyyy"));
        }
        default: break;
        }
        const std::vector<int> lines = linesByName(s.expenses);
        const Expense& first = m_exp[size_t(lines.front())];
        bool oneBen = true;
        for (int e : lines) oneBen = oneBen && m_exp[size_t(e)].ben == first.ben;
        const QString name = m_bens[size_t(first.ben)].name;
        if (first.kind == ExpenseKind::Mission) {
            const QString t = QStringLiteral("ENGAGEMENT ") + m_lines[size_t(first.line)].title.toUpper();
            return oneBen ? t + QStringLiteral(" DE : ") + name : t;
        }
        if (first.kind == ExpenseKind::SalaryToCommit)
            return first.object;
        if (lines.size() == 1)
            return QStringLiteral("ENGAGEMENT DE LA FACTURE NO ") + first.number + QStringLiteral("  DU  ")
                   + first.date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" DU FOURNISSEUR ") + name;
        if (oneBen)
            return QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR ") + name;
        return QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DE DIVERS FOURNISSEURS");
    }

    // -----------------------------------------------------------------------
    // Payment orders: most committed invoices and missions, grouped by line
    // and kind, and every salary expense to pay alone on its order.

    void buildOrders()
    {
        std::vector<std::vector<int>> chunks;
        std::vector<std::vector<int>> salary;
        std::map<std::pair<int, int>, std::vector<int>> groups;
        for (size_t i = 0; i < m_exp.size(); ++i) {
            const Expense& e = m_exp[i];
            if (e.kind == ExpenseKind::SalaryToPay)
                salary.push_back({int(i)});
            else if (e.kind != ExpenseKind::SalaryToCommit && e.sheet >= 0 && m_rng.chance(0.8))
                groups[{e.line, toDb(e.kind)}].push_back(int(i));
        }
        for (auto& [key, list] : groups) {
            for (size_t i = 0; i < list.size();) {
                const size_t n = std::min(list.size() - i, size_t(m_rng.chance(0.6) ? 1 : m_rng.between(2, 5)));
                chunks.emplace_back(list.begin() + long(i), list.begin() + long(i + n));
                i += n;
            }
        }
        if (int(salary.size()) > m_o.paymentOrders)
            salary.resize(size_t(m_o.paymentOrders));
        const size_t wanted = size_t(m_o.paymentOrders) - salary.size();
        std::shuffle(chunks.begin(), chunks.end(), m_rng.engine());
        while (chunks.size() > wanted)
            chunks.pop_back();
        for (size_t i = 0; chunks.size() < wanted && i < chunks.size();) {
            if (chunks[i].size() > 1) {
                chunks.push_back({chunks[i].back()});
                chunks[i].pop_back();
            } else {
                ++i;
            }
        }
        chunks.insert(chunks.end(), salary.begin(), salary.end());

        for (const std::vector<int>& c : chunks) {
            Order o;
            o.seq = int(m_orders.size());
            QDate d;
            for (int e : c) {
                const Expense& x = m_exp[size_t(e)];
                d = std::max(d, x.sheet >= 0 ? m_sheets[size_t(x.sheet)].date : x.date);
            }
            o.date = clampToYear(d.addDays(m_rng.between(1, 20)), m_o.year);
            o.expenses = c;
            o.statut = o.date < day(12, 1) || m_rng.chance(0.7) ? OrderStatus::Paid : OrderStatus::Pending;
            m_orders.push_back(o);
        }
        std::stable_sort(m_orders.begin(), m_orders.end(), [](const Order& a, const Order& b) {
            return a.date != b.date ? a.date < b.date : a.seq < b.seq;
        });
        for (size_t i = 0; i < m_orders.size(); ++i) {
            m_orders[i].id = int(i) + 1;
            for (int e : m_orders[i].expenses)
                m_exp[size_t(e)].order = int(i);
        }
    }

    // -----------------------------------------------------------------------
    // Regularisation sheets: on one budget line in five that has payment
    // orders of invoices or missions, the orders of each quarter recorded on
    // one sheet, numbered per line in date order. Their keys follow the
    // commitment sheets' (the two series share their generator).

    void buildRegularisations()
    {
        std::map<int, std::vector<int>> ordersByLine;
        for (size_t i = 0; i < m_orders.size(); ++i) {
            const int line = m_exp[size_t(m_orders[i].expenses.front())].line;
            if (line >= 0)
                ordersByLine[line].push_back(int(i));
        }
        for (const auto& [line, orders] : ordersByLine) {
            if (!m_rng.chance(0.2))
                continue;
            std::map<int, Regularisation> quarters;
            for (int o : orders) {
                const Order& order = m_orders[size_t(o)];
                Regularisation& r = quarters[(order.date.month() - 1) / 3];
                r.line = line;
                r.date = std::max(r.date, order.date);
                r.orders.push_back(o);
                for (int e : order.expenses)
                    r.amount += m_exp[size_t(e)].amount;
            }
            int number = 0;
            for (auto& [quarter, r] : quarters) {
                r.number = pad4(++number);
                r.id = int(m_sheets.size() + m_regs.size()) + 1;
                m_regs.push_back(std::move(r));
            }
        }
    }

    // -----------------------------------------------------------------------
    // Writing, with one prepared statement per table, in one transaction.

    void counted(const char* table, int n = 1) { m_counts[QString::fromLatin1(table)] += n; }

    void write()
    {
        writeReferenceTables();
        writeNomenclature();
        writeBeneficiaries();
        writeExpenses();
        writeTransfers();
        writeSheets();
        writeOrders();
        writeRegularisations();
        // The program draws the next keys from these generators.
        m_conn.execute(QStringLiteral("SET GENERATOR GEN_DEPENSE_ID TO %1").arg(m_exp.size()));
        m_conn.execute(QStringLiteral("SET GENERATOR GEN_DET_SAL_ID TO %1").arg(m_sal.size()));
        m_conn.execute(QStringLiteral("SET GENERATOR GEN_ENGAGEMENT_ID TO %1").arg(m_sheets.size() + m_regs.size()));
        m_conn.execute(QStringLiteral("SET GENERATOR GEN_MDT TO %1").arg(m_orders.size()));
        m_conn.execute(QStringLiteral("SET GENERATOR GEN_VIR TO %1").arg(m_transfers.size()));
        m_conn.commit();
    }

    void writeReferenceTables()
    {
        const QDate created = day(1, 2);
        db::Query wil(m_conn, QStringLiteral("INSERT INTO FWIL (ID_WIL, LIBELLE) VALUES (0, :LIBELLE)"));
        for (const char* w : Wilayas) {
            wil.setParam(QStringLiteral("LIBELLE"), text(w));
            wil.exec();
            counted("FWIL");
        }
        db::Query bank(m_conn, QStringLiteral("INSERT INTO BANQUE (RS, DIMINUTIF, ID_USER, DATEC, DATEM) "
                                              "VALUES (:RS, :DIMINUTIF, :ID_USER, :DATEC, :DATEM)"));
        for (const BankText& b : Banks) {
            bank.setParam(QStringLiteral("RS"), text(b.name));
            bank.setParam(QStringLiteral("DIMINUTIF"), text(b.shortName));
            bank.setParam(QStringLiteral("ID_USER"), QStringLiteral("MANAGER"));
            bank.setParam(QStringLiteral("DATEC"), created);
            bank.setParam(QStringLiteral("DATEM"), created);
            bank.exec();
            counted("BANQUE");
        }
        db::Query agency(m_conn, QStringLiteral("INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (0, :LIBELLE)"));
        for (const BankText& b : Banks) {
            const int n = m_rng.between(6, 9);
            for (int i = 0; i < n; ++i) {
                agency.setParam(QStringLiteral("LIBELLE"),
                                QStringLiteral("%1 %2 %3").arg(text(b.shortName), m_rng.pick(Wilayas)).arg(m_rng.between(100, 999)));
                agency.exec();
                ++m_agencies;
                counted("AGENCE");
            }
        }
        db::Query grade(m_conn, QStringLiteral("INSERT INTO GRADE (ID_GRADE, LIBELLE) VALUES (0, :LIBELLE)"));
        for (const char* g : Grades) {
            grade.setParam(QStringLiteral("LIBELLE"), text(g));
            grade.exec();
            counted("GRADE");
        }
        db::Query ret(m_conn, QStringLiteral("INSERT INTO FRET (ID_RETENUE, LIBELLE) VALUES (0, :LIBELLE)"));
        for (const char* d : Deductions) {
            ret.setParam(QStringLiteral("LIBELLE"), text(d));
            ret.exec();
            counted("FRET");
        }
        db::Query pj(m_conn, QStringLiteral("INSERT INTO PJ (NUM, LIBELLE) VALUES (:NUM, :LIBELLE)"));
        for (int i = 0; i < count(AttachmentLabels); ++i) {
            pj.setParam(QStringLiteral("NUM"), i + 1);
            pj.setParam(QStringLiteral("LIBELLE"), text(AttachmentLabels[i]));
            pj.exec();
            counted("PJ");
        }
        db::Query obs(m_conn, QStringLiteral("INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_D, OBS_VIR_E) "
                                             "VALUES (:CHAP, :OBS_BP, :OBS_BS, :OBS_BS_N, :OBS_VIR_D, :OBS_VIR_E)"));
        for (const Chapter& ch : m_chapters) {
            obs.setParam(QStringLiteral("CHAP"), ch.chap);
            for (const char* col : {"OBS_BP", "OBS_BS", "OBS_BS_N", "OBS_VIR_D", "OBS_VIR_E"})
                obs.setParam(QString::fromLatin1(col), obsText(QString::fromLatin1(col), ch));
            obs.exec();
            counted("OBS_SERVICE");
        }
    }

    void writeNomenclature()
    {
        db::Query q(m_conn, QStringLiteral(
            "INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, "
            "MT_BP, MT_REGIE, NO_DEC_BP, DATE_BP, MT_BS, NO_DEC_BS, DATE_BS, RESTE, "
            "ID_USER, DATEC, DATEM, SOUMIS_CHARGE) "
            "VALUES (0, :CHAP, :ART, :PAR, :INTITULE, -1, :SECTION, "
            ":MT_BP, :MT_REGIE, :NO_DEC_BP, :DATE_BP, :MT_BS, :NO_DEC_BS, :DATE_BS, 0, "
            ":ID_USER, :DATEC, :DATEM, :SOUMIS_CHARGE)"));
        for (const BudgetLine& l : m_lines) {
            q.setParam(QStringLiteral("CHAP"), l.chap);
            q.setParam(QStringLiteral("ART"), l.art);
            q.setParam(QStringLiteral("PAR"), l.par);
            q.setParam(QStringLiteral("INTITULE"), l.title);
            q.setParam(QStringLiteral("SECTION"), l.section);
            q.setParam(QStringLiteral("MT_BP"), money(l.bp));
            q.setParam(QStringLiteral("MT_REGIE"), money(l.regie));
            q.setParam(QStringLiteral("NO_DEC_BP"), l.noDecBp);
            q.setParam(QStringLiteral("DATE_BP"), l.dateBp);
            q.setParam(QStringLiteral("MT_BS"), money(l.bs));
            q.setParam(QStringLiteral("NO_DEC_BS"), l.noDecBs);
            q.setParam(QStringLiteral("DATE_BS"), l.dateBs);
            q.setParam(QStringLiteral("ID_USER"), QStringLiteral("MANAGER"));
            q.setParam(QStringLiteral("DATEC"), day(1, 2));
            q.setParam(QStringLiteral("DATEM"), std::max({day(1, 2), l.dateBp, l.dateBs}));
            q.setParam(QStringLiteral("SOUMIS_CHARGE"), l.soumis && l.section == 1 ? 1 : 0);
            q.exec();
            counted("FNM");
        }
    }

    void writeBeneficiaries()
    {
        db::Query q(m_conn, QStringLiteral(
            "INSERT INTO BENEF (ID_BEN, NOM, TYPE_BEN, SERVICE_GRADE, ADR, VILLE, ID_WIL, TEL, FAX, "
            "ID_BANQUE, ID_AGENCE, COMPTE, RC, MF, AI, ID_USER, DATEC, DATEM) "
            "VALUES (0, :NOM, :TYPE_BEN, :SERVICE_GRADE, :ADR, :VILLE, :ID_WIL, :TEL, :FAX, "
            ":ID_BANQUE, :ID_AGENCE, :COMPTE, :RC, :MF, :AI, :ID_USER, :DATEC, :DATEM)"));
        for (const Beneficiary& b : m_bens) {
            const int wil = m_rng.between(1, count(Wilayas));
            q.setParam(QStringLiteral("NOM"), b.name);
            q.setParam(QStringLiteral("TYPE_BEN"), toDb(b.type));
            q.setParam(QStringLiteral("SERVICE_GRADE"), b.serviceGrade);
            q.setParam(QStringLiteral("ADR"), QStringLiteral("%1, %2").arg(m_rng.between(1, 120)).arg(m_rng.pick(Streets)));
            q.setParam(QStringLiteral("VILLE"), text(Wilayas[wil - 1]));
            q.setParam(QStringLiteral("ID_WIL"), wil);
            q.setParam(QStringLiteral("TEL"), QStringLiteral("0%1 %2 %3 %4").arg(m_rng.between(21, 49)).arg(m_rng.between(10, 99)).arg(m_rng.between(10, 99)).arg(m_rng.between(10, 99)));
            q.setParam(QStringLiteral("FAX"), b.type == BeneficiaryType::Supplier ? QStringLiteral("0%1 %2 %3 %4").arg(m_rng.between(21, 49)).arg(m_rng.between(10, 99)).arg(m_rng.between(10, 99)).arg(m_rng.between(10, 99)) : QString());
            const int bank = m_rng.between(1, count(Banks));
            q.setParam(QStringLiteral("ID_BANQUE"), bank);
            q.setParam(QStringLiteral("ID_AGENCE"), m_rng.between(1, m_agencies));
            q.setParam(QStringLiteral("COMPTE"), QStringLiteral("%1%2%3").arg(bank, 3, 10, QLatin1Char('0'))
                                                     .arg(m_rng.between(10000, 99999)).arg(qint64(m_rng.between(0, 999999)) * 1000 + m_rng.between(0, 999), 12, 10, QLatin1Char('0')));
            const bool company = b.type == BeneficiaryType::Supplier;
            q.setParam(QStringLiteral("RC"), company ? QStringLiteral("%1 B %2").arg(m_rng.between(10, 99)).arg(m_rng.between(1000000, 9999999)) : QString());
            q.setParam(QStringLiteral("MF"), company ? QStringLiteral("%1").arg(qint64(m_rng.between(10000000, 99999999)) * 10000000 + m_rng.between(0, 9999999)) : QString());
            q.setParam(QStringLiteral("AI"), company ? QStringLiteral("%1").arg(m_rng.between(10000000, 99999999)) : QString());
            q.setParam(QStringLiteral("ID_USER"), user());
            q.setParam(QStringLiteral("DATEC"), day(1, 2));
            q.setParam(QStringLiteral("DATEM"), day(1, 2));
            q.exec();
            counted("BENEF");
        }
    }

    void writeExpenses()
    {
        db::Query q(m_conn, QStringLiteral(
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, DATED_MISSION, DATEF_MISSION, REMBOURS, "
            "NO_DEPENSE, DATE_DEPENSE, ID_FNM, ID_BEN, MONTANT, OBJET, ID_USER, DATEC, DATEM, "
            "REGIME_GEN, ASS_CHOMAGE, RETRAITE_ANT) "
            "VALUES (:ID_DEPENSE, :TYPE_DEPENSE, :DATED_MISSION, :DATEF_MISSION, :REMBOURS, "
            ":NO_DEPENSE, :DATE_DEPENSE, :ID_FNM, :ID_BEN, :MONTANT, :OBJET, :ID_USER, :DATEC, :DATEM, "
            ":REGIME_GEN, :ASS_CHOMAGE, :RETRAITE_ANT)"));
        for (const Expense& e : m_exp) {
            q.setParam(QStringLiteral("ID_DEPENSE"), e.id);
            q.setParam(QStringLiteral("TYPE_DEPENSE"), toDb(e.kind));
            q.setParam(QStringLiteral("DATED_MISSION"), e.missionStart);
            q.setParam(QStringLiteral("DATEF_MISSION"), e.missionEnd);
            if (!e.rembours) q.setNull(QStringLiteral("REMBOURS"));
            else q.setParam(QStringLiteral("REMBOURS"), toDb(*e.rembours));
            q.setParam(QStringLiteral("NO_DEPENSE"), e.number);
            q.setParam(QStringLiteral("DATE_DEPENSE"), e.date);
            if (e.line < 0) q.setNull(QStringLiteral("ID_FNM"));
            else q.setParam(QStringLiteral("ID_FNM"), m_lines[size_t(e.line)].id);
            q.setParam(QStringLiteral("ID_BEN"), m_bens[size_t(e.ben)].id);
            q.setParam(QStringLiteral("MONTANT"), money(e.amount));
            q.setParam(QStringLiteral("OBJET"), e.object);
            q.setParam(QStringLiteral("ID_USER"), user());
            q.setParam(QStringLiteral("DATEC"), e.date);
            q.setParam(QStringLiteral("DATEM"), e.date);
            // Only the mission editor writes the contributions (zero unless the
            // line bears them); the other editors leave them NULL.
            const std::pair<const char*, qint64> contributions[] = {
                {"REGIME_GEN", e.regimeGen}, {"ASS_CHOMAGE", e.assChomage}, {"RETRAITE_ANT", e.retraiteAnt}};
            for (const auto& [name, value] : contributions) {
                if (e.kind == ExpenseKind::Mission) q.setParam(QString::fromLatin1(name), money(value));
                else q.setNull(QString::fromLatin1(name));
            }
            q.exec();
            counted("DEPENSE");
        }
        db::Query s(m_conn, QStringLiteral(
            "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) "
            "VALUES (:ID_DET_SAL, :ID_DEPENSE, :ID_DETAIL, :NO_ORD, :TYPE_DET, :MONTANT)"));
        for (const SalaryLine& l : m_sal) {
            s.setParam(QStringLiteral("ID_DET_SAL"), l.id);
            s.setParam(QStringLiteral("ID_DEPENSE"), l.expense);
            s.setParam(QStringLiteral("ID_DETAIL"), l.detail);
            s.setParam(QStringLiteral("NO_ORD"), l.noOrd);
            s.setParam(QStringLiteral("TYPE_DET"), toDb(l.type));
            s.setParam(QStringLiteral("MONTANT"), money(l.amount));
            s.exec();
            counted("DET_SALAIRE");
        }
    }

    void writeTransfers()
    {
        db::Query q(m_conn, QStringLiteral(
            "INSERT INTO VIREMENT (ID_VIR, NOLINE, DATE_VIR, SENS, MONTANT, ID_FNM, ID_USER, DATEC, DATEM) "
            "VALUES (:ID_VIR, :NOLINE, :DATE_VIR, :SENS, :MONTANT, :ID_FNM, :ID_USER, :DATEC, :DATEM)"));
        for (const Transfer& t : m_transfers) {
            int line = 0;
            for (bool giving : {true, false}) {
                for (const TransferRowData& r : t.rows) {
                    if (r.giving != giving)
                        continue;
                    q.setParam(QStringLiteral("ID_VIR"), t.id);
                    q.setParam(QStringLiteral("NOLINE"), ++line);
                    q.setParam(QStringLiteral("DATE_VIR"), t.date);
                    q.setParam(QStringLiteral("SENS"), toDb(giving ? TransferSide::Giving : TransferSide::Receiving));
                    q.setParam(QStringLiteral("MONTANT"), money(r.amount));
                    q.setParam(QStringLiteral("ID_FNM"), m_lines[size_t(r.line)].id);
                    q.setParam(QStringLiteral("ID_USER"), QStringLiteral("SYSDBA"));   // the database user
                    q.setParam(QStringLiteral("DATEC"), t.date);
                    q.setParam(QStringLiteral("DATEM"), t.date);
                    q.exec();
                    counted("VIREMENT");
                }
            }
        }
    }

    void writeRegularisations()
    {
        db::Query h(m_conn, QStringLiteral(
            "INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE, "
            "STATUT, ID_USER, DATEC, DATEM) "
            "VALUES (:ID_ENG, :NO_ENG, :DATE_ENG, :ID_FNM, :MONTANT, :OBJET, :ORIGINE, :ID_ORIGINE, :STATUT, :ID_USER, "
            ":DATEC, :DATEM)"));
        h.setParam(QStringLiteral("OBJET"), toDb(SheetObject::Expense));
        h.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::PaymentOrders));
        h.setParam(QStringLiteral("ID_ORIGINE"), NoOriginRecord);
        h.setParam(QStringLiteral("STATUT"), SheetInForce);
        db::Query d(m_conn, QStringLiteral(
            "INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
            "VALUES (:ID_ENG, :NOLINE, :OBJET, :ID_DETAIL, :MONTANT)"));
        d.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
        for (const Regularisation& r : m_regs) {
            h.setParam(QStringLiteral("ID_ENG"), r.id);
            h.setParam(QStringLiteral("NO_ENG"), r.number);
            h.setParam(QStringLiteral("DATE_ENG"), r.date);
            h.setParam(QStringLiteral("ID_FNM"), m_lines[size_t(r.line)].id);
            h.setParam(QStringLiteral("MONTANT"), money(r.amount));
            h.setParam(QStringLiteral("ID_USER"), QStringLiteral("SYSDBA"));
            h.setParam(QStringLiteral("DATEC"), r.date);
            h.setParam(QStringLiteral("DATEM"), r.date);
            h.exec();
            counted("ENT_ENG_REG");
            int noLine = 0;
            for (int o : r.orders) {
                qint64 amount = 0;
                for (int e : m_orders[size_t(o)].expenses)
                    amount += m_exp[size_t(e)].amount;
                d.setParam(QStringLiteral("ID_ENG"), r.id);
                d.setParam(QStringLiteral("NOLINE"), ++noLine);
                d.setParam(QStringLiteral("ID_DETAIL"), m_orders[size_t(o)].id);
                d.setParam(QStringLiteral("MONTANT"), money(amount));
                d.exec();
                counted("DET_ENG_REG");
            }
        }
    }

    void writeSheets()
    {
        db::Query h(m_conn, QStringLiteral(
            "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE, "
            "OBS, NO_VISA, DATE_VISA, STATUT, ID_USER, DATEC, DATEM) "
            "VALUES (:ID_ENG, :NO_ENG, :DATE_ENG, :ID_FNM, :MONTANT, :OBJET, :ORIGINE, :ID_ORIGINE, "
            ":OBS, :NO_VISA, :DATE_VISA, :STATUT, :ID_USER, :DATEC, :DATEM)"));
        db::Query d(m_conn, QStringLiteral(
            "INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
            "VALUES (:ID_ENG, :NOLINE, :OBJET, :ID_DETAIL, :MONTANT)"));
        auto line = [&](int sheetId, int noLine, LineObject objet, int detail, qint64 amount) {
            d.setParam(QStringLiteral("ID_ENG"), sheetId);
            d.setParam(QStringLiteral("NOLINE"), noLine);
            d.setParam(QStringLiteral("OBJET"), toDb(objet));
            d.setParam(QStringLiteral("ID_DETAIL"), detail);
            d.setParam(QStringLiteral("MONTANT"), money(amount));
            d.exec();
            counted("DET_ENG");
        };
        for (const Sheet& s : m_sheets) {
            const int fnm = m_lines[size_t(s.line)].id;
            qint64 idOrigin = NoOriginRecord;
            switch (s.origin) {
            case SheetOrigin::Cancellation: idOrigin = m_sheets[size_t(s.cancels)].id; break;
            case SheetOrigin::PrimitiveBudget: idOrigin = fnm; break;
            case SheetOrigin::AmendingBudget: idOrigin = fnm; break;
            case SheetOrigin::Transfer: idOrigin = m_transfers[size_t(s.transfer)].id; break;
            default: break;
            }
            h.setParam(QStringLiteral("ID_ENG"), s.id);
            h.setParam(QStringLiteral("NO_ENG"), s.number);
            h.setParam(QStringLiteral("DATE_ENG"), s.date);
            h.setParam(QStringLiteral("ID_FNM"), fnm);
            h.setParam(QStringLiteral("MONTANT"), money(s.amount));
            h.setParam(QStringLiteral("OBJET"), toDb(s.objet));
            h.setParam(QStringLiteral("ORIGINE"), toDb(s.origin));
            h.setParam(QStringLiteral("ID_ORIGINE"), idOrigin);
            h.setParam(QStringLiteral("OBS"), s.obs);
            h.setParam(QStringLiteral("NO_VISA"), s.noVisa);
            h.setParam(QStringLiteral("DATE_VISA"), s.dateVisa);
            h.setParam(QStringLiteral("STATUT"),
                       s.cancelledBy >= 0 ? m_sheets[size_t(s.cancelledBy)].id : SheetInForce);
            h.setParam(QStringLiteral("ID_USER"), user());
            h.setParam(QStringLiteral("DATEC"), s.date);
            h.setParam(QStringLiteral("DATEM"), s.dateVisa.isValid() ? std::max(s.date, s.dateVisa) : s.date);
            h.exec();
            counted("ENT_ENG");
            switch (s.origin) {
            case SheetOrigin::User: {
                int n = 0;
                for (int e : linesByName(s.expenses))
                    line(s.id, ++n, LineObject::Expense, m_exp[size_t(e)].id, m_exp[size_t(e)].amount);
                break;
            }
            case SheetOrigin::Cancellation:
                line(s.id, 1, LineObject::Cancellation, m_sheets[size_t(s.cancels)].id, s.amount);
                break;
            case SheetOrigin::PrimitiveBudget: line(s.id, 1, LineObject::PrimitiveBudget, fnm, s.amount); break;
            case SheetOrigin::AmendingBudget: line(s.id, 1, LineObject::AmendingBudget, fnm, s.amount); break;
            case SheetOrigin::Transfer: line(s.id, 1, LineObject::Transfer, fnm, s.amount); break;
            default: break;
            }
        }
    }

    void writeOrders()
    {
        db::Query h(m_conn, QStringLiteral(
            "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, NATURE, STATUT, MONTANT, "
            "PJ1, PJ2, PJ3, PJ4, PJ5, PJ6, ID_USER, DATEC, DATEM) "
            "VALUES (:ID_MDT, :NO_MDT, :DATE_MDT, :NATURE, :STATUT, :MONTANT, "
            ":PJ1, :PJ2, :PJ3, :PJ4, :PJ5, :PJ6, :ID_USER, :DATEC, :DATEM)"));
        db::Query d(m_conn, QStringLiteral(
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (:ID_MDT, :NOLINE, :ID_DETAIL, :MONTANT)"));
        for (const Order& o : m_orders) {
            const std::vector<int> lines = linesByName(o.expenses);
            const Expense& first = m_exp[size_t(lines.front())];
            qint64 total = 0;
            for (int e : lines) total += m_exp[size_t(e)].amount;
            QString nature;
            QStringList pj;
            switch (first.kind) {
            case ExpenseKind::Invoice:
                nature = QStringLiteral("Paiement facture(s) ") + m_bens[size_t(first.ben)].name;
                pj = {QStringLiteral("Facture(s)"), QStringLiteral("Bon de commande"), QStringLiteral("Procès-verbal de réception")};
                break;
            case ExpenseKind::Mission:
                nature = first.missionStart.isValid() ? QStringLiteral("Frais de mission") : QStringLiteral("Remboursement de frais");
                pj = {QStringLiteral("Ordre de mission"), QStringLiteral("État des frais")};
                break;
            default:
                nature = QStringLiteral("Versement ") + first.object;
                pj = {QStringLiteral("État des salaires"), QStringLiteral("Bordereau de versement")};
                break;
            }
            h.setParam(QStringLiteral("ID_MDT"), o.id);
            h.setParam(QStringLiteral("NO_MDT"), pad4(o.id));
            h.setParam(QStringLiteral("DATE_MDT"), o.date);
            h.setParam(QStringLiteral("NATURE"), nature.left(60));
            h.setParam(QStringLiteral("STATUT"), toDb(o.statut));
            h.setParam(QStringLiteral("MONTANT"), money(total));
            for (int i = 0; i < 6; ++i)
                h.setParam(QStringLiteral("PJ%1").arg(i + 1), i < pj.size() ? pj[i] : QString());
            h.setParam(QStringLiteral("ID_USER"), user());
            h.setParam(QStringLiteral("DATEC"), o.date);
            h.setParam(QStringLiteral("DATEM"), o.date);
            h.exec();
            counted("ENT_MDT");
            int n = 0;
            for (int e : lines) {
                d.setParam(QStringLiteral("ID_MDT"), o.id);
                d.setParam(QStringLiteral("NOLINE"), ++n);
                d.setParam(QStringLiteral("ID_DETAIL"), m_exp[size_t(e)].id);
                d.setParam(QStringLiteral("MONTANT"), money(m_exp[size_t(e)].amount));
                d.exec();
                counted("DET_MDT");
            }
        }
    }
};

void runScript(const db::ConnectParams& params, const QString& schemaScript)
{
    db::Connection conn;
    conn.open(params);
    conn.executeScript(schemaScript);
    conn.commit();
    conn.close();
}

} // namespace

void CreateYearDatabase(const db::ConnectParams& params, const QString& schemaScript)
{
    db::Connection::create(params);
    runScript(params, schemaScript);
}

Counts CreateFilledYear(const db::ConnectParams& params, const QString& schemaScript, const Options& options)
{
    db::Connection::create(params);
    db::Connection::setForcedWrites(params, false);
    runScript(params, schemaScript);
    db::Connection conn;
    conn.open(params);
    const Counts counts = FillYear(conn, options);
    conn.close();
    db::Connection::setForcedWrites(params, true);
    return counts;
}

Counts FillYear(db::Connection& conn, const Options& options)
{
    try {
        YearBuilder builder(conn, options);
        return builder.run();
    } catch (...) {
        conn.rollback();
        throw;
    }
}

} // namespace fill
