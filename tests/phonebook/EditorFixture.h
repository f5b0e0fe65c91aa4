#pragma once

#include "tests/support/RecordingMessageTarget.h"
#include "phonebook/BookmarkDlg.h"
#include "phonebook/IniFile.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A dialog on Bookmark.ini in a fresh folder, with a recording main window.
class EditorTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    void WriteFile(const char *text)
    {
        QFile file(QString::fromStdString(Path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray FileText() const
    {
        QFile file(QString::fromStdString(Path()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::string Path() const { return m_dir.path().toStdString() + "/Bookmark.ini"; }

    std::vector<std::string> Sections()
    {
        std::vector<std::string> names;
        Ini().GetSectionNames(names);
        return names;
    }

    std::string Value(const char *section, const char *key)
    {
        return Ini().GetString(section, key, "<missing>");
    }

    vocamo::CBookmarkDlg &Dlg(vocamo::CMessageTarget *target)
    {
        m_dlg = std::make_unique<vocamo::CBookmarkDlg>(nullptr, target,
                                                       m_dir.path().toStdString());
        return *m_dlg;
    }
    vocamo::CBookmarkDlg &Dlg() { return Dlg(&m_main); }

    // Shown as the main window shows it.
    vocamo::CBookmarkDlg &Shown()
    {
        vocamo::CBookmarkDlg &dlg = Dlg();
        dlg.ShowBeside(QPoint(200, 100));
        return dlg;
    }

    QListWidget *List() { return m_dlg->findChild<QListWidget *>(QStringLiteral("names")); }
    QLineEdit *Box(const char *name)
    {
        return m_dlg->findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    QAbstractButton *Button(const char *name)
    {
        return m_dlg->findChild<QAbstractButton *>(QString::fromLatin1(name));
    }

    QStringList ListTexts()
    {
        QStringList texts;
        for (int i = 0; i < List()->count(); ++i)
            texts << List()->item(i)->text();
        return texts;
    }
    QString Selected()
    {
        const auto items = List()->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text();
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
    // Lets queued handlers and the answered boxes run.
    static void Settle() { QTest::qWait(20); }
    void Click(const char *button)
    {
        QTest::mouseClick(Button(button), Qt::LeftButton);
        Settle();
    }
    // Clicks the list item of that text, as the user would.
    void ClickName(const QString &name)
    {
        QListWidget *list = List();
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
        Settle();
    }

    size_t Notices() const
    {
        size_t count = 0;
        for (const auto &m : m_main.Messages())
            count += m == vocamo::PostedMessage{vocamo::WM_APP_EVENT, 3, 33};
        return count;
    }

    vocamo::CIniFile &Ini()
    {
        m_ini.SetPathName(Path().c_str());
        return m_ini;
    }

    QTemporaryDir m_dir;
    vocamo::CRecordingMessageTarget m_main;
    CMessageBoxAnswerer m_boxes;
    vocamo::CIniFile m_ini;
    std::unique_ptr<vocamo::CBookmarkDlg> m_dlg;
};
