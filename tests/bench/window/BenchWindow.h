#pragma once

#include "app/VocamoDlg.h"

#include <QString>
#include <chrono>
#include <functional>

namespace vocamo::bench {

// The window's services for a benchmark: the phonebook and history.sqlite in
// dir, Skype through skype, no sound, no system watchers, no message boxes.
VocamoServices QuietServices(const QString &dir, CSkypeTransport &skype);

// Handles the window thread's events until done holds; false after timeout.
// It looks again as soon as the events are handled, so a measured wait ends
// with what it waits for.
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);

} // namespace vocamo::bench
