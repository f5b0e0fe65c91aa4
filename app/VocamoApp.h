#pragma once

#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "app/VocamoDlg.h"

#include <memory>

namespace vocamo {

// Starts the phone once per user and display; a later start hands its
// request (show the window, or dial) to the running one and ends.
class CVocamoApp {
public:
    explicit CVocamoApp(VocamoServices services = {});
    ~CVocamoApp();

    // Runs the window until it ends; returns the exit code. A later
    // instance returns once the running one has the request: 0, or 1 when
    // none took it or the lock could not be taken.
    int InitInstance(const CommandLine &request = {});

    CVocamoDlg *MainWindow() const { return m_dialog.get(); }

private:
    void OnRequest(const InstanceRequest &request);
    void Report(const QString &text);

    VocamoServices m_services;
    CSingleInstance m_instance;
    std::unique_ptr<CVocamoDlg> m_dialog;
};

} // namespace vocamo
