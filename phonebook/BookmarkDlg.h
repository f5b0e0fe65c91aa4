#pragma once

#include "core/MessageTarget.h"
#include "phonebook/IniFile.h"

#include <QDialog>
#include <QImage>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <string>
#include <system_error>

class QLineEdit;
class QListWidget;

namespace vocamo {

class CPictureButton;

// The phonebook editor: the names of Bookmark.ini in a sorted list, the four
// fields of the selected entry, and New, Delete, Apply, OK, Cancel and Close.
// Modeless and captionless, cut out of its background by the key colour;
// created hidden once and shown and hidden many times.
class CBookmarkDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr QRgb kKeyColour = 0xFFFF00FF; // magenta
    static constexpr int kFieldLimit = 22;         // characters per box

    // parent: the main window (or null). target: where each save and delete
    // tells the main window to reload the phonebook; null sends nothing. exeDir: the
    // folder that holds Bookmark.ini, without a trailing slash.
    CBookmarkDlg(QWidget *parent, CMessageTarget *target, const std::string &exeDir);
    ~CBookmarkDlg() override;

    // Moves the dialog, without resizing, so that its top left is 50 pixels
    // left of and 50 below the main window's top left, as far as it stays
    // whole on the screen, and shows it.
    void ShowBeside(const QPoint &mainTopLeft);

    const std::string &GetPathName() const { return m_file.GetPathName(); }
    const QImage &GetBackground() const { return m_background; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void CreateControls();

    void OnSelChange();
    void OnNew();
    void OnDelete();
    void OnApply();
    void OnOK();

    void ReloadNameList();
    void SelectRow(int row);
    int SelectedRow() const;
    void LoadFields();
    bool IsModified() const;
    bool SaveEntry(); // false: not saved, and the user told why
    void NotifyMainWindow();

    bool Ask(const QString &question, QMessageBox::StandardButton defaultAnswer);
    void Tell(const QString &message, QMessageBox::Icon icon = QMessageBox::NoIcon);
    void TellFailure(const QString &what, const std::error_code &error);

    CIniFile m_file;
    CMessageTarget *m_target;

    QListWidget *m_list = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_home = nullptr;
    QLineEdit *m_office = nullptr;
    QLineEdit *m_mobile = nullptr;

    // The entry last loaded into or saved from the boxes.
    std::string m_keptName;
    std::string m_keptHome;
    std::string m_keptOffice;
    std::string m_keptMobile;

    QImage m_background;
    QImage m_icon;

    bool m_selecting = false;   // the list is being changed by the dialog itself
    bool m_inSelChange = false; // a selection change is being answered
    bool m_draggingByHand = false;
    QPoint m_dragOffset; // cursor minus the window's top left
};

} // namespace vocamo
