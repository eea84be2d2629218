#pragma once
// Support of the reference-data window tests: a fresh year database with a
// plain (not built-in) user who may write, the message recorder, and small
// helpers to write and read rows, type into controls and act on the next modal
// window.

#include "core/GlobalState.h"
#include "ui/ListRecordPattern.h"
#include "data/UDM.h"
#include "refdata/UFNMSQL.h"
#include "refdata/UListBenef.h"
#include "common/CodeParams.h"
#include "common/MessageRecorder.h"
#include "common/ModalDriver.h"
#include "common/YearDb.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using Params = std::initializer_list<std::pair<const char*, db::Value>>;

class RefDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        year = std::make_unique<YearDb>();
        saved = {CurrentUserCode, CurrentUserId, IsBuiltInManager, IsBuiltInAdmin};
        CurrentUserCode = QStringLiteral("TESTEUR");
        CurrentUserId = 3;
        IsBuiltInManager = false;
        IsBuiltInAdmin = false;
        TfrmListBenef::ResetTypeAhead();
        TfrmFNMSQL::LastChapter.clear();
        TfrmFNMSQL::LastArticle.clear();
        messages = std::make_unique<MessageRecorder>();
    }

    void TearDown() override
    {
        EXPECT_TRUE(StopPendingModalWatches()) << "a window the test waited for never opened";
        messages.reset();
        year.reset();
        CurrentUserCode = saved.code;
        CurrentUserId = saved.id;
        IsBuiltInManager = saved.manager;
        IsBuiltInAdmin = saved.admin;
    }

    // Runs one statement, the codes it names bound (common/CodeParams.h), and commits.
    static void Exec(const QString& sql, Params params = {})
    {
        db::Query q(DM->LURDO, sql);
        for (const auto& [name, value] : params)
            q.setParam(QString::fromLatin1(name), value);
        rows::BindCodes(q);
        q.exec();
        DM->LURDO.commit();
    }

    // The rows of a select, each row's columns joined by "|".
    static QStringList Rows(const QString& sql, Params params = {})
    {
        db::Query q(DM->LURDO, sql);
        for (const auto& [name, value] : params)
            q.setParam(QString::fromLatin1(name), value);
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next()) {
            QStringList cols;
            for (const QString& c : q.columnNames())
                cols << q.asString(c);
            out << cols.join(QLatin1Char('|'));
        }
        return out;
    }

    static qint64 Int(const QString& sql, Params params = {})
    {
        db::Query q(DM->LURDO, sql);
        for (const auto& [name, value] : params)
            q.setParam(QString::fromLatin1(name), value);
        q.open();
        return q.isEmpty() ? -1 : q.asInt(q.columnNames().first());
    }

    // What a second look at the database sees: the open transaction is rolled
    // back first, so only committed rows remain.
    static QStringList CommittedRows(const QString& sql)
    {
        DM->LURDO.rollback();
        return Rows(sql);
    }

    // The current user may only read through `menuItem`.
    static void ReadOnlyRight(const QString& menuItem)
    {
        Exec(QStringLiteral("INSERT INTO T_SECUR (ID_SECUR, ID_USER, OBJECT_TYPE, OBJECT_NAME, OBJECT_DESC, TYPE_ACCES, "
                            "TV_LEVEL, NB_CHILD) VALUES (0, :U, 0, :N, 'X', 1, 2, 0)"),
             {{"U", qint64(CurrentUserId)}, {"N", menuItem.toUpper().left(20)}});
    }

    std::unique_ptr<YearDb> year;
    std::unique_ptr<MessageRecorder> messages;

private:
    struct {
        QString code;
        int id;
        bool manager, admin;
    } saved;
};

// Closes a record window whatever its state: an entry is cancelled first, so
// no question is asked; a window that still refuses is hidden, which ends its
// modal run.
inline void CloseRecord(QDialog* d)
{
    if (!d->isVisible())
        return;
    if (auto* rec = qobject_cast<TRefRecordForm*>(d); rec && rec->Mode() != emBrowse)
        rec->btnCancel->click();
    d->done(QDialog::Rejected);
    if (d->isVisible())
        d->hide();
}

// Opens the record window of class R from the list's "Ajouter/Modifier", runs
// `drive` on it, then closes it.
template <class R>
void WithRecordOf(TRefListForm& list, const std::function<void(R&)>& drive)
{
    OnNextModal([drive](QDialog* d) {
        auto* rec = qobject_cast<R*>(d);
        EXPECT_NE(rec, nullptr);
        if (rec)
            drive(*rec);
        CloseRecord(d);
    });
    list.btnModif->click();
}

// One key press and release sent to the widget.
inline void PressKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

// Types the text into the widget, one key per character.
inline void TypeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        int key = 0;
        if (c.isLetter() && c.unicode() < 128)
            key = Qt::Key_A + (c.toUpper().unicode() - 'A');
        else if (c.isDigit())
            key = Qt::Key_0 + (c.unicode() - '0');
        else if (c == QLatin1Char(' '))
            key = Qt::Key_Space;
        PressKey(w, key, Qt::NoModifier, QString(c));
    }
}
