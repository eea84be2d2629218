#include "reports/transfer/TransferPrint.h"

#include "core/MessageBox.h"
#include "core/Routines.h"
#include "reports/orders/MandatData.h"
#include "reports/transfer/URptOrdVir.h"
#include "reports/transfer/URptOrdVirCCP.h"
#include "reports/transfer/URptOrdVirCCP_ACTEL.h"
#include "reports/transfer/URptOrdVirMis_FB.h"
#include "reports/transfer/URptOrdVirMission.h"
#include "reports/transfer/URptOrdVirMission_210208.h"
#include "reports/transfer/URptOrdVirMission_210501.h"

namespace {

std::unique_ptr<TRptMissionAdvice> MissionAdvice(TransferItem item, const TTransferOrderRef& order)
{
    std::unique_ptr<TRptMissionAdvice> advice;
    if (item == TransferItem::MissionSalary)
        advice = std::make_unique<TfrmRptOrdVirMission_210208>();
    else if (IsChapter05Article01(order.chap.trimmed(), order.art.trimmed()) && OrderPaysContributions(order.idMdt))
        advice = std::make_unique<TfrmRptOrdVirMission_210501>();
    else
        advice = std::make_unique<TfrmRptOrdVirMission>();
    advice->NoMdt = order.noMdt;
    advice->DateMdt = order.dateMdt;
    return advice;
}

} // namespace

QString PostalBackQuestionText()
{
    return QStringLiteral("Voulez-vous imprimer le verso de l'ordre de virement ?");
}

std::unique_ptr<TRptTransferForm> CreateTransferDocument(TransferItem item, const TTransferOrderRef& order)
{
    std::unique_ptr<TRptTransferForm> form;
    switch (item) {
    case TransferItem::Bank: form = std::make_unique<TfrmRptOrdVir>(); break;
    case TransferItem::Postal: form = std::make_unique<TfrmRptOrdVirCCP>(); break;
    case TransferItem::PostalPhone: form = std::make_unique<TfrmRptOrdVirCCP_Actel>(); break;
    case TransferItem::Mission:
    case TransferItem::MissionSalary: form = MissionAdvice(item, order); break;
    case TransferItem::MissionReduced: form = std::make_unique<TfrmRptOrdVirMis_FB>(); break;
    }
    form->IdMdt = order.idMdt;
    return form;
}

void PreviewTransferDocument(QWidget* caller, TransferItem item, const TTransferOrderRef& order)
{
    CreateTransferDocument(item, order)->Preview(caller);
    if (item != TransferItem::Postal && item != TransferItem::PostalPhone)
        return;
    if (ShowMessageBox(PostalBackQuestionText(), mtConfirmation, MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    TfrmRptOrdVirCCP_Verso back;
    back.IdMdt = order.idMdt;
    back.Preview(caller);
}
