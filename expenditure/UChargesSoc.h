#pragma once
// TfrmChargesSoc ("Charges Sociales"): the employer's social charges on the
// pay of a period, opened from the missions window. "Afficher" lists every
// base of the period's payment orders with its three contributions, and the
// totals; the user may then adjust a contribution total and "Total à 25%"
// follows. The window reads the database and writes nothing.

#include "expenditure/SocialCharges.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class TChargesModel;
class TNumEdit;

class TfrmChargesSoc : public QDialog {
    Q_OBJECT
public:
    explicit TfrmChargesSoc(QWidget* parent = nullptr);
    ~TfrmChargesSoc() override;

    QLineEdit* edDateD = nullptr;
    QLineEdit* edDateF = nullptr;
    QToolButton* btnGetDateD = nullptr;
    QToolButton* btnGetDateF = nullptr;
    QPushButton* btnAffiche = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnclose = nullptr;
    QTableView* grdCharges = nullptr;
    TNumEdit* edTotGEn = nullptr;
    TNumEdit* edMtTot = nullptr;
    TNumEdit* edMtRegGen = nullptr;
    TNumEdit* edMtAssChom = nullptr;
    TNumEdit* edMtRetAnt = nullptr;

    // The bases the grid shows, in its order.
    const QList<charges::TChargeBase>& Bases() const;

    // Computes the charges of the period typed.
    void btnAfficheClick();

private:
    void ContributionChanged();

    TChargesModel* m_model = nullptr;
    // Off until a computation has run: "Total à 25%" then follows the three
    // contribution totals as they are changed.
    bool m_recompute = false;
};
