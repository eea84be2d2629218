#pragma once
// The main menu's openers of the reference-data windows: each creates its
// window, sets the public fields the menu sets, runs it modally and frees it.

#include <QString>

class QWidget;

void OpenBenefList(QWidget* parent);                      // "Bénéficiaires"
void OpenBanqueList(QWidget* parent);                     // "Banques"
void OpenFNMList(QWidget* parent);                        // "Nomenclature Budgétaire"
void OpenPJFile(QWidget* parent);                         // "Pièces jointes"
void OpenObs(QWidget* parent);                            // "Observations de service"
// "Grades", "Agences bancaires", "Retenues", "Wilayas": the code-table list.
void OpenCodeTable(QWidget* parent, const QString& objectName, const QString& codeTable, const QString& keyField,
                   const QString& formCaption);
