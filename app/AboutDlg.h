#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QLabel;

namespace vocamo {

// The small modal box that names the program and shows its version.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // recordPath: where the version record is read; the program's own by default.
    explicit CAboutDlg(QWidget *parent = nullptr,
                       const QString &recordPath = QStringLiteral(":/version/record"));

    // "2,1,0,7" -> "V2.1.0.7"; an empty version -> "V.".
    static std::string VersionText(const std::string &productVersion);

    QString GetVersionFieldText() const;
    // Says where the phonebook is read and saved.
    void ShowPhonebookPath(const QString &path);
    QString GetPhonebookText() const;

private:
    QLabel *m_version = nullptr;   // the version field
    QLabel *m_phonebook = nullptr; // where the phonebook lives, once shown
};

} // namespace vocamo
