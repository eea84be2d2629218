#pragma once
// Backup and restore of the open fiscal year, "Sauvegarde/restaure": opened by
// "Sauvegarder" (only its backup button shown) or "Restaurer" (only its
// restore button shown). Both run the engine's backup tool (data/Backup.h) in
// local mode only; while it runs the buttons are disabled, the progress bar
// shown, and the dialog cannot be closed; the outcome is told at its end.
// Without the write right on its menu item, a restore and a backup over the
// day's earlier one are refused. The folder of the last backup written is
// kept in the settings file ([PARAM] BACKUP_DIR): the backup's folder picker
// and the restore's file dialog open there.

#include "data/Backup.h"

#include <QDialog>
#include <memory>

class QProgressBar;
class QPushButton;
class TStatusBar;

class TfrmSaveRestore : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Save, Restore };
    TfrmSaveRestore(Mode mode, QWidget* parent = nullptr);
    ~TfrmSaveRestore() override;

    static int Execute(QWidget* parent, Mode mode);

    QPushButton* btnSave = nullptr;
    QPushButton* btnRestore = nullptr;
    QPushButton* btnClose = nullptr;
    TStatusBar* stBar = nullptr;
    QProgressBar* pBar = nullptr;

    void btnSaveClick();
    void btnRestoreClick();
    // Whether a backup or a restore is running.
    bool Running() const { return bool(m_backup) || bool(m_restore); }
    // The outcome of the last run (tests read it).
    const TToolOutcome& LastOutcome() const { return m_outcome; }

signals:
    // A backup or a restore came to its end (the user has been told).
    void RunFinished();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void StartRun(int steps, int shownStep);
    void EndRun(const TToolOutcome& outcome);

    std::unique_ptr<TBackupJob> m_backup;
    std::unique_ptr<TRestoreJob> m_restore;
    TToolOutcome m_outcome;
    // The user's write right on the form's menu item, read once.
    bool m_canWrite = false;
};
