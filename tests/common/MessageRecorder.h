#pragma once
// Records every message box and standard dialog of a test and answers them
// from a queue (default: the box's default answer, OK or Yes).

#include "core/MessageBox.h"

#include <QList>
#include <deque>

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    void answer(int result) { m_answers.push_back(result); }
    const QList<MessageCall>& calls() const { return m_calls; }
    QStringList texts() const;
    void clear() { m_calls.clear(); m_answers.clear(); }

private:
    QList<MessageCall> m_calls;
    std::deque<int> m_answers;
    MessageResponder m_previous;
};
