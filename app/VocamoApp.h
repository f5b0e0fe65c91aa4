#pragma once

#include "app/SingleInstance.h"
#include "app/VocamoDlg.h"

#include <memory>

namespace vocamo {

// Starts the phone once per user and display; a second start wakes the
// running one (which ends any call and shows its window) and ends.
class CVocamoApp {
public:
    explicit CVocamoApp(VocamoServices services = {});
    ~CVocamoApp();

    // Runs the window until it ends; returns the exit code. A second
    // instance returns 0 at once.
    int InitInstance();

    CVocamoDlg *MainWindow() const { return m_dialog.get(); }

private:
    VocamoServices m_services;
    CSingleInstance m_instance;
    std::unique_ptr<CVocamoDlg> m_dialog;
};

} // namespace vocamo
