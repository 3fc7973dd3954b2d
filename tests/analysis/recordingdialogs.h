#pragma once
// A dialogs double that keeps every message box with its icon and title.
#include "ui/dialogs.h"

#include <vector>

struct ShownMessage {
    QString text;
    quillon::MsgIcon icon;
    QString title;
};

class RecordingDialogs : public quillon::Dialogs {
public:
    std::vector<ShownMessage> shown;

    quillon::MsgAnswer messageBox(const QString& text, quillon::MsgButtons, quillon::MsgIcon icon,
                                  const QString& title) override
    {
        shown.push_back({text, icon, title});
        return quillon::MsgAnswer::OK;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
};
