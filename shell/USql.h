#pragma once
// The SQL console "SQL", for the maintainer: a SQL text run on the program's
// connection as a statement that changes data ("Exec"), as a query whose rows
// fill the grid ("Open") or as a script of statements ("SqlProc"); a history
// of the texts run, a text file loaded into it, and each run timed in the
// status bar. Not modal: one instance lives from its first opening to the
// end of the program, and closing it (Esc) only hides it.
//
// Every run ends its writes: what it wrote is committed, or, when one of its
// statements fails, everything it wrote is rolled back and the user told, so
// a failed run is never committed by a later save. A long result is read as
// the grid scrolls. The grid lets its rows go when the connection closes
// (year switch, backup).

#include "shell/SqlSession.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableView;
class TStatusBar;

class TfrmSql : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSql(QWidget* parent = nullptr);
    ~TfrmSql() override;

    // The console of the process, made at its first opening (owned by
    // `parent`), shown and brought to the front.
    static TfrmSql* ShowConsole(QWidget* parent);
    // The console when it exists.
    static TfrmSql* Existing();

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnExec = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnSqlProc = nullptr;
    QPushButton* btnPrior = nullptr;
    QPushButton* btnNext = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTableView* grdSQL = nullptr;
    TStatusBar* stBar = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnOpen = nullptr;     // "Ouvrir"
    QAction* mnExec = nullptr;     // "Exécuter"
    QAction* mnProc = nullptr;     // "Processor"
    QAction* mnLoad = nullptr;     // "Charger un fichier"

    TSqlResultModel* Model() const { return m_model; }
    const QStringList& History() const { return m_history; }
    int HistoryPosition() const { return m_position; }

    void btnExecClick();
    void btnOpenClick();
    void btnSqlProcClick();
    void btnPriorClick();
    void btnNextClick();
    // Loads a text file (UTF-8, or the Windows code page when it is not UTF-8).
    void LoadFile();
    void LoadFile(const QString& path);

    // Rows the grid shows first; the rest is read as it scrolls.
    static constexpr int FirstRows = 200;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class RunKind { Exec, Open, Script };
    void Run(RunKind kind);
    void UpdateStates();
    void ConnectionClosing();

    TSqlResultModel* m_model = nullptr;
    std::unique_ptr<TSqlSession> m_session;
    QStringList m_history;
    int m_position = 0;
};
