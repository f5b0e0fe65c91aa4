#include "app/VocamoApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace vocamo {

namespace {

InstanceRequest RequestOf(const CommandLine &line)
{
    InstanceRequest request;
    if (line.line == CommandLine::Line::Modem)
        request.verb = InstanceRequest::Verb::Dial;
    else if (line.line == CommandLine::Line::Skype)
        request.verb = InstanceRequest::Verb::DialSkype;
    request.argument = line.target;
    return request;
}

} // namespace

CVocamoApp::CVocamoApp(VocamoServices services) : m_services(std::move(services)) {}

CVocamoApp::~CVocamoApp() = default;

void CVocamoApp::Report(const QString &text)
{
    std::fprintf(stderr, "vocamo: %s\n", qPrintable(text));
    if (m_services.messageBox)
        m_services.messageBox(text);
    else
        QMessageBox::critical(nullptr, QStringLiteral("Vocamo"), text);
}

int CVocamoApp::InitInstance(const CommandLine &line)
{
    const InstanceRequest request = RequestOf(line);
    switch (m_instance.Acquire()) {
    case CSingleInstance::Outcome::Running:
        if (m_instance.Send(request))
            return 0;
        Report(QStringLiteral("Vocamo is running but does not answer on %1")
                   .arg(m_instance.ServerName()));
        return 1;
    case CSingleInstance::Outcome::Failed:
        Report(m_instance.ErrorText());
        return 1;
    case CSingleInstance::Outcome::Acquired:
        if (!m_instance.ListenError().isEmpty())
            std::fprintf(stderr, "vocamo: %s\n", qPrintable(m_instance.ListenError()));
        break;
    }
    // The window hides itself during calls; only F5 or a close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    m_dialog = std::make_unique<CVocamoDlg>(m_services);
    m_instance.SetOnRequest([this](const InstanceRequest &r) { OnRequest(r); });
    m_dialog->show();
    if (request.verb != InstanceRequest::Verb::Show)
        QTimer::singleShot(0, m_dialog.get(), [this, request] { OnRequest(request); });
    const int code = QApplication::exec();
    m_dialog.reset();
    return code;
}

void CVocamoApp::OnRequest(const InstanceRequest &request)
{
    switch (request.verb) {
    case InstanceRequest::Verb::Show:
        // As ever: the running instance is woken, whatever its state.
        m_dialog->PostMessage(WM_RESTORE_MAIN, 0, 0);
        break;
    case InstanceRequest::Verb::Dial:
        m_dialog->DialRequest(LINE_MODEM, request.argument);
        break;
    case InstanceRequest::Verb::DialSkype:
        m_dialog->DialRequest(LINE_SKYPE, request.argument);
        break;
    }
}

} // namespace vocamo
