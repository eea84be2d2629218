#include "budget/SheetWindow.h"

#include <QLineEdit>
#include <QMenu>
#include <QWidget>

TSheetWindow::TSheetWindow(const char* name, const QString& title, const QString& writeRightItem, QWidget* parent)
    : TDocumentWindow(Shape{.name = name,
                            .title = title,
                            .writeRightItem = writeRightItem,
                            .closeRule = CloseRule::Discard,
                            .navigatorWhileEditing = true},
                      parent)
{
}

TSheetWindow::~TSheetWindow() = default;

QMenu* TSheetWindow::BeginSheetMenu()
{
    PopMnEng = BeginPopupMenu("PopMnEng");
    return PopMnEng;
}

void TSheetWindow::BrowseSheets(std::function<void()> show)
{
    BrowseDocuments(std::move(show));
    for (QLineEdit* e : m_header.Edits())
        AddEnterToNext(e);
    new TFocusColour(this, m_header.Edits(), [this] { RecolourEntryPanel(); });
}

void TSheetWindow::ModeChanged()
{
    pnlObs->setEnabled(Mode() != emBrowse);
    edNoFiche->setEnabled(Mode() == emEdit);
    RecolourEntryPanel();
}
