#pragma once
// The phonebook editor on Bookmark.ini in a fresh folder, with a recording main
// window, driven as the user drives it. The editor's fault tests build on it.
#include "phonebook/BookmarkDlg.h"
#include "phonebook/IniFile.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/RecordingMessageTarget.h"
#include "tests/support/TempDir.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// The default answer of the last message box shown: what Enter or Space would pick.
class CDefaultAnswer : public QObject {
public:
    CDefaultAnswer() { qApp->installEventFilter(this); }
    QMessageBox::StandardButton last = QMessageBox::NoButton;

private:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (auto *box = qobject_cast<QMessageBox *>(object); box && event->type() == QEvent::Show)
            last = box->standardButton(box->defaultButton());
        return false;
    }
};

class EditorTest : public testing::Test {
protected:
    EditorTest() { m_ini.SetPathName(Path().c_str()); }

    std::string Path() const { return m_dir.path().toStdString() + "/Bookmark.ini"; }
    void WriteFile(const char *text) { vocamo::test::TempDir::Write(Path(), text); }
    QByteArray FileText() const { return vocamo::test::TempDir::Read(Path()).c_str(); }
    std::string Value(const char *s, const char *k) { return m_ini.GetString(s, k, "<missing>"); }

    // A new dialog, shown as the main window shows it.
    vocamo::CBookmarkDlg &Shown()
    {
        m_dlg =
            std::make_unique<vocamo::CBookmarkDlg>(nullptr, &m_main, m_dir.path().toStdString());
        m_dlg->ShowBeside(QPoint(200, 100));
        return *m_dlg;
    }
    vocamo::CBookmarkDlg &Shown(const char *file)
    {
        WriteFile(file);
        return Shown();
    }
    QListWidget *List() { return m_dlg->findChild<QListWidget *>(QStringLiteral("names")); }
    QLineEdit *Box(const char *name) { return m_dlg->findChild<QLineEdit *>(QLatin1String(name)); }
    QStringList ListTexts()
    {
        QStringList texts;
        for (int i = 0; i < List()->count(); ++i)
            texts << List()->item(i)->text();
        return texts;
    }
    QStringList Boxes()
    {
        return {Box("name")->text(), Box("home")->text(), Box("office")->text(),
                Box("mobile")->text()};
    }

    void Type(const char *box, const QString &text)
    {
        Box(box)->selectAll();
        QTest::keyClicks(Box(box), text);
    }
    // A button answers at once; the message boxes it asks run and are answered inside.
    void Click(const char *button)
    {
        QTest::mouseClick(m_dlg->findChild<QAbstractButton *>(QLatin1String(button)),
                          Qt::LeftButton);
    }
    // The list answers a click once the click is done: queued.
    void ClickName(const QString &name)
    {
        const auto found = List()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(found.first()).center());
        QCoreApplication::sendPostedEvents();
    }
    // Reloads of the phonebook asked of the main window, all the editor asks of it.
    size_t Notices() const { return m_main.Count(); }

    QTemporaryDir m_dir;
    vocamo::CRecordingMessageTarget m_main;
    CMessageBoxAnswerer m_boxes;
    CDefaultAnswer m_default;
    vocamo::CIniFile m_ini;
    std::unique_ptr<vocamo::CBookmarkDlg> m_dlg;
};
