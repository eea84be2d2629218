#pragma once
// A year database for the expense editors: a beneficiary of each type, an
// ordinary budget line and a social-contribution line, documents that hold an
// expense, the pickers driven through their real windows, and a second
// connection that sees only what was committed.

#include "common/DocumentFixture.h"
#include "common/PickerDriver.h"
#include "refdata/UListBenef.h"

class ExpenseTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        TfrmListBenef::ResetTypeAhead();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"), BeneficiaryType::Supplier);
        employee = rows::Beneficiary(QStringLiteral("BENALI AMINE"), BeneficiaryType::Employee);
        body = rows::Beneficiary(QStringLiteral("CNAS"), BeneficiaryType::Other);
        line = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("02"), QString(),
                                QStringLiteral("Frais de mission"), rows::Money("900000"));
        social = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(),
                                  QStringLiteral("Charges sociales"), rows::Money("900000"));
    }

    // What holds an expense in the tables.
    enum class Holder { None, Sheet, CancelledSheet, Order, Both };

    // Puts the expense on a user sheet (cancelled when asked) and/or a payment order.
    void Hold(qint64 idDepense, Holder holder, Currency amount)
    {
        rows::Write([&] {
            if (holder == Holder::Sheet || holder == Holder::CancelledSheet || holder == Holder::Both) {
                const qint64 sheet = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
                const qint64 cancel = holder == Holder::CancelledSheet
                    ? DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID")) : 0;
                rows::Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, "
                                          "ORIGINE, ID_ORIGINE, STATUT) VALUES (:ID, '0002', :D, :F, :M, :OBJET, :ORIGINE, "
                                          ":ID_ORIGINE, :S)"),
                           {{"ID", sheet}, {"D", QDate(2024, 3, 2)}, {"F", line}, {"M", amount},
                            {"OBJET", toDbValue(SheetObject::Expense)}, {"ORIGINE", toDbValue(SheetOrigin::User)},
                            {"ID_ORIGINE", NoOriginRecord}, {"S", cancel ? cancel : SheetInForce}});
                rows::Exec(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                          "VALUES (:ID, 1, :OBJET, :D, :M)"),
                           {{"ID", sheet}, {"OBJET", toDbValue(LineObject::Expense)}, {"D", idDepense}, {"M", amount}});
                if (cancel)
                    rows::Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, "
                                              "ORIGINE, ID_ORIGINE, STATUT) VALUES (:ID, '0003', :D, :F, :M, :OBJET, "
                                              ":ORIGINE, :O, :S)"),
                               {{"ID", cancel}, {"D", QDate(2024, 3, 3)}, {"F", line}, {"M", amount},
                                {"OBJET", toDbValue(SheetObject::Economy)},
                                {"ORIGINE", toDbValue(SheetOrigin::Cancellation)}, {"O", sheet}, {"S", SheetInForce}});
            }
            if (holder == Holder::Order || holder == Holder::Both) {
                const qint64 order = DM->NextGeneratorValue(QStringLiteral("GEN_MDT"));
                rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                                          "VALUES (:ID, '0007', :D, :S, :M)"),
                           {{"ID", order}, {"D", QDate(2024, 3, 4)}, {"S", toDbValue(OrderStatus::Paid)}, {"M", amount}});
                rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                          "VALUES (:ID, 1, :D, :M)"),
                           {{"ID", order}, {"D", idDepense}, {"M", amount}});
            }
        });
    }

    // A count or key read from what was committed (-1 when nothing).
    qint64 CommittedScalar(const QString& sql, const QList<QPair<QString, db::Value>>& params = {})
    {
        db::Query q(Committed(), sql);
        for (const auto& p : params)
            q.setParam(p.first, p.second);
        q.open();
        return q.isEmpty() || db::isNull(q.at(0, 0)) ? -1 : db::toInt(q.at(0, 0));
    }

    // Picks the row whose `field` is `id` in the next list window and presses OK.
    static void ChooseInNextList(const QString& field, qint64 id)
    {
        OnNextModal([field, id](QDialog* d) {
            auto* list = qobject_cast<TRefListForm*>(d);
            ASSERT_TRUE(list);
            ChooseRow(list, field, id);
        });
    }

    qint64 supplier = 0, employee = 0, body = 0, line = 0, social = 0;
};
