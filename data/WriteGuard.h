#pragma once
// The write guard: every user operation that writes runs inside one.
//
//     TWriteGuard write;          // opens the write transaction
//     ... statements ...          // reads inside see the operation's own rows
//     write.Commit();             // once, at the end of the operation
//
// Commit() ends the operation through the data module's CommitWork: when the
// engine refuses the commit, everything is rolled back, the user is told
// "Les informations n'ont pas été enregistrées ! Elles ont été restaurées.",
// and Commit() throws the silent abort (EAbort). The handler is abandoned
// there, so nothing after it can report success or leave the entry: a window
// keeps what the user typed, in its mode, to be retried. A caller that must
// answer "not saved" instead (a delete returning false) catches EAbort.
//
// A guard destroyed without Commit() (an error thrown by a statement, an early
// return) rolls the whole operation back.
//
// The outermost guard made while an edit's save is armed (data/ShownRow.h)
// first locks the edited row and refuses, before any statement, when another
// user changed it since it was shown.
//
// Guards nest: a guard made while another is alive joins it. Its Commit()
// only marks its part done; the outermost guard commits, once, at its end. An
// inner guard left without Commit() spoils the whole operation: the outermost
// Commit() then rolls back, tells the user and aborts as for a refused commit,
// so that no half of an operation is ever stored.

class TDM;

class [[nodiscard]] TWriteGuard {
public:
    [[nodiscard]] TWriteGuard();
    ~TWriteGuard();
    TWriteGuard(const TWriteGuard&) = delete;
    TWriteGuard& operator=(const TWriteGuard&) = delete;

    // Ends this guard's part of the operation; see above. Throws EAbort when
    // the operation could not be stored.
    void Commit();

    // Whether this guard is the outermost one, the one that commits.
    bool Outermost() const { return m_outermost; }

private:
    TDM* m_dm;
    bool m_outermost;
    bool m_done = false;
};
