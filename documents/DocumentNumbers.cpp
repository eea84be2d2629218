#include "documents/DocumentNumbers.h"

void TNumberSeries::Lock()
{
    if (m_locked)
        return;
    LockSeries();
    m_locked = true;
}

QString DrawNumber(TDrawnNumberSeries& series)
{
    series.Lock();
    return series.Next();
}

bool NumberFree(TNumberSeries& series, const QString& number, qint64 id)
{
    series.Lock();
    return !series.Taken(number, id);
}

TDocumentNumbering TakeNumber(TDrawnNumberSeries& series, const QString& number, qint64 id, bool newToSeries)
{
    TDocumentNumbering out;
    out.number = number;
    if (!number.isEmpty() && newToSeries)
        series.Lock();
    if (number.isEmpty() || series.Taken(number, id)) {
        if (!number.isEmpty())
            out.previousNumber = number;
        out.number = DrawNumber(series);
    }
    return out;
}
