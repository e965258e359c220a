#pragma once
// Modal editors driven by script: each opening takes the next queued script
// (which fills the dialog and presses its buttons), and the dialog's result
// is kept. An editor still open when its script ends reports kStillOpen.

#include "Dialogs.h"
#include "WindowDialogs.h"

#include <QDialog>

#include <deque>
#include <functional>

constexpr int kStillOpen = 42;

struct ScriptedEditors {
    using Script = std::function<void(QDialog*)>;

    void installExecHook()
    {
        dlg::SetExecHook([this](QWidget* w) {
            auto* d = qobject_cast<QDialog*>(w);
            ++execs;
            if (!d || scripts.empty())
                return 0;
            d->setResult(kStillOpen);
            Script s = scripts.front();
            scripts.pop_front();
            s(d);
            lastResult = d->result();
            return lastResult;
        });
    }
    static void removeExecHook() { dlg::SetExecHook({}); }

    std::deque<Script> scripts;
    int execs = 0;
    int lastResult = 0;
};
