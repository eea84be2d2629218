#include "common/MessageRecorder.h"

MessageRecorder::MessageRecorder()
    : m_previous(CurrentMessageResponder())
{
    SetMessageResponder([this](const MessageCall& call) {
        m_calls.append(call);
        if (!m_answers.empty()) {
            const int r = m_answers.front();
            m_answers.pop_front();
            return r;
        }
        if (call.buttons.testFlag(MsgButton::OK))
            return int(mrOk);
        if (call.buttons.testFlag(MsgButton::Yes))
            return int(mrYes);
        return int(mrCancel);
    });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageResponder(m_previous);
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const auto& c : m_calls)
        out << c.text;
    return out;
}
