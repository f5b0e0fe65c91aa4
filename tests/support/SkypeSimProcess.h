#pragma once

#include "core/QtMessageTarget.h"
#include "tests/support/RecordingMessageTarget.h"
#include "tools/vocamo-skype-sim/SkypeSimProcess.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace vocamo {

class CSkypeBridge;

// Runs the window thread's event loop until `done` holds or time runs out.
bool PumpUntil(const std::function<bool()> &done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Stands in for the main window: records every message in arrival order and
// hands Skype requests (wParam 2) to the bridge, as the window does.
class CTestWindow : public QObject {
public:
    CSkypeBridge *bridge = nullptr;
    std::vector<PostedMessage> got;
    CQtMessageTarget target{this};

    int Count(const PostedMessage &m) const;
    bool event(QEvent *e) override;
};

} // namespace vocamo
