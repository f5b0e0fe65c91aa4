#include "app/VocamoApp.h"

#include <QApplication>

namespace vocamo {

CVocamoApp::CVocamoApp(VocamoServices services) : m_services(std::move(services)) {}

CVocamoApp::~CVocamoApp() = default;

int CVocamoApp::InitInstance()
{
    if (!m_instance.Acquire()) {
        // The running instance is always woken, whatever its state.
        m_instance.WakeRunningInstance();
        return 0;
    }
    // The window hides itself during calls; only F5 or a close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    m_dialog = std::make_unique<CVocamoDlg>(m_services);
    m_instance.SetOnRestore([this] { m_dialog->PostMessage(WM_RESTORE_MAIN, 0, 0); });
    m_dialog->show();
    const int code = QApplication::exec();
    m_dialog.reset();
    return code;
}

} // namespace vocamo
