#include "Dialogs.h"

#include "Runtime.h"

#include <cstdio>

namespace dlg {

static MsgHook g_msgHook;
static MsgHook g_messageBoxes;

void SetMsgHook(MsgHook hook) { g_msgHook = std::move(hook); }
void SetMessageBoxes(MsgHook boxes) { g_messageBoxes = std::move(boxes); }

static int defaultAnswer(int flags)
{
    const int buttons = flags & 7;
    const bool second = (flags & vbDefaultButton2) != 0;
    if (buttons == vbYesNo || buttons == vbYesNoCancel)
        return second ? vbNo : vbYes;
    if (buttons == vbOKCancel)
        return second ? vbCancel : vbOK;
    return vbOK;
}

int AnswerWithoutWindow(const MsgCall& call)
{
    std::fprintf(stderr, "[%s] %s\n", qPrintable(call.title), qPrintable(call.prompt));
    return defaultAnswer(call.flags);
}

int MsgBox(const QString& prompt, int flags, const QString& title)
{
    MsgCall call{prompt, flags, title.isEmpty() ? rt::AppTitle() : title};
    if (g_msgHook)
        return g_msgHook(call);
    if (g_messageBoxes)
        return g_messageBoxes(call);
    return AnswerWithoutWindow(call);
}

} // namespace dlg
