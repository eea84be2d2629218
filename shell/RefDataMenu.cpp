#include "shell/RefDataMenu.h"

#include "refdata/UListBanque.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"
#include "refdata/UListTable.h"
#include "refdata/UObs.h"
#include "refdata/UPJFile.h"

void OpenBenefList(QWidget* parent)
{
    TfrmListBenef f(parent);
    f.SelectMode = false;
    f.exec();
}

void OpenBanqueList(QWidget* parent)
{
    TfrmListBanque f(parent);
    f.SelectMode = false;
    f.exec();
}

void OpenFNMList(QWidget* parent)
{
    TfrmListFNM f(parent);
    f.SelectMode = false;
    f.exec();
}

void OpenPJFile(QWidget* parent)
{
    TfrmPJFile f(parent);
    f.exec();
}

void OpenObs(QWidget* parent)
{
    TfrmObs f(parent);
    f.exec();
}

void OpenCodeTable(QWidget* parent, const QString& objectName, const QString& codeTable, const QString& keyField,
                   const QString& formCaption)
{
    TfrmListTable f(parent);
    f.ObjectName = objectName;
    f.CodeTable = codeTable;
    f.KeyField = keyField;
    f.FormCaption = formCaption;
    f.SelectMode = false;
    f.exec();
}
