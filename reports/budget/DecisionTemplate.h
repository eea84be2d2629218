#pragma once
// The template of the credit-transfer decision, "DECVIR.RTF" in the program
// folder: a rich-text document the users write and keep, edited by the
// template window and filled by the decision document. The program knows
// only its placeholders.

#include "core/Currency.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class QTextDocument;

// AppDir + "DECVIR.RTF".
QString DecisionTemplatePath();

// Writes the program's own template into `folder` when the folder holds
// none; an existing template, whatever it holds, is never replaced. False
// when one was missing and could not be written.
bool InstallDefaultDecisionTemplate(const QString& folder);

// What the template file at `path` holds now, to tell whether another user
// saved it since it was read: the digest of its bytes, nothing when there is
// no file to read.
using TTemplateVersion = std::optional<QByteArray>;
TTemplateVersion DecisionTemplateVersion(const QString& path);

// Writes `document` as the template at `path`: the previous file is kept
// as `path` + ".bak", then the new one is written to a temporary file renamed
// into place, so the template is never left half written. On failure returns
// the message to show; the template on disk is then the previous one.
[[nodiscard]] std::optional<QString> SaveDecisionTemplate(const QString& path, const QTextDocument& document);

// A placeholder of the template and its value.
using TPlaceholder = QPair<QString, QString>;

// The four placeholders of the decision and their values: "[UNIV]" the
// university's name in capitals, "[MONTANT]" the amount in words and
// figures, "[EXER]" the fiscal year, "[DATE]" `date` as dd/MM/yyyy.
QList<TPlaceholder> DecisionPlaceholders(const QString& university, Currency amount, const QString& fiscalYear,
                                         const QDate& date);

// Replaces, in the placeholders' order, every occurrence of each one in
// `document`, found as a whole word without regard to case, even when its
// letters carry different formats; the value takes the format of the
// placeholder's first letter inside its brackets. The search goes on after
// the value put in, so a value that holds a placeholder is left as it is.
void FillPlaceholders(QTextDocument& document, const QList<TPlaceholder>& values);
