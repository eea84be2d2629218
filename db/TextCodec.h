#pragma once
// Text in the Windows code page 1252, the encoding of the files the earlier
// Windows program wrote (its year databases and its settings file).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

QString DecodeWindows1252(QByteArrayView bytes);
// Characters the code page lacks become "?"; `lossless` (when given) says
// whether every character was kept.
QByteArray EncodeWindows1252(const QString& text, bool* lossless = nullptr);
// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(QByteArrayView bytes);
