#pragma once
// The mission transfer advices ("Avis de virements Missions"): each pays one
// amount from the treasury account (the postal account for a beneficiary of
// the postal cheque centre) into a beneficiary's account. Three print onto
// the advice stationery, 345 mm wide and 140 mm long, one advice (with its
// stub on the right) per sheet, at the positions of their stored layouts:
//   TfrmRptOrdVirMission         one advice per line of the order, in
//                                beneficiary-name order, for the line's amount
//   TfrmRptOrdVirMission_210501  three advices, one per social contribution,
//                                each the order's total of that contribution
//   TfrmRptOrdVirMission_210208  one advice per salary detail row of the
//                                order's first line, for the row's amount
// The reduced card on white paper is URptOrdVirMis_FB.h.

#include "reports/transfer/TransferForm.h"

// The stationery advice.
class TRptMissionAdvice : public TRptTransferForm {
public:
    QString NoMdt;      // in: the order's number, as printed
    QString DateMdt;    // in: the order's date, as printed

    // The stationery: 345 mm wide, 140 mm long.
    static constexpr double PaperWidth = 345;
    static constexpr double PaperLength = 140;

protected:
    enum class Variant { Lines, Contributions, SalaryDetail };
    TRptMissionAdvice(const QString& reportName, Variant variant);

    // Start of every run: the design, the stored layout, the lines; the
    // number of advices is the variant's.
    virtual int Advices() = 0;
    virtual void FillAdvice(int advice) = 0;
    // The beneficiary and the amount of an advice.
    void FillBeneficiary(const TTransferBeneficiary* ben);
    void FillAmount(Currency amount);

private:
    void BuildDesign(Variant variant);
    void RptBeforePrint();
};

class TfrmRptOrdVirMission : public TRptMissionAdvice {
public:
    TfrmRptOrdVirMission();

protected:
    int Advices() override;
    void FillAdvice(int advice) override;

private:
    std::vector<std::pair<const TTransferBeneficiary*, const TTransferLine*>> m_advices;
};
