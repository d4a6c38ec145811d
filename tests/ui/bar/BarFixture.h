#pragma once

#include "documents/ClipDocument.h"
#include "platform/QtClipboard.h"
#include "slots/AppState.h"
#include "storage/KeyStore.h"
#include "support/ScriptedDesktop.h"
#include "ui/bar/BarWindow.h"

#include <QClipboard>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The bar over a scripted desktop, with its settings file and documents in a folder of its own.
class BarFixture
{
protected:
    void makeBar()
    {
        m_state = std::make_unique<AppState>();
        m_registrations = 0;
        m_editorOpened = false;
        m_form =
            std::make_unique<BarWindow>(*m_state, *m_desktop, m_clipboard, m_keyStore, [this] { ++m_registrations; });
    }
    void freshStart(bool load)
    {
        QFile::remove(settingsPath());
        QDir(settingsPath()).removeRecursively();
        m_desktop = std::make_unique<ScriptedDesktop>();
        m_desktop->folder = m_folder.path();
        QGuiApplication::clipboard()->clear();
        makeBar();
        if (load) {
            m_form->startUp();
            m_form->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        }
    }
    void checkNothingUnexpected()
    {
        const QStringList failures = m_desktop->failures();
        m_form.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    template <typename T = QAction> T *child(const QString &name) const { return m_form->findChild<T *>(name); }
    QPushButton *button(const char *format, int k) const { return child<QPushButton>(QString(format).arg(k)); }
    QString settingsPath() const { return m_folder.filePath(QStringLiteral("velmor.ini")); }
    QString document(const QString &name) const { return m_folder.filePath(name + QStringLiteral(".vmd")); }
    void writeDocument(const QString &name, const ClipSlot &slot, int k = 1)
    {
        AppState::SlotSet slotSet;
        slotSet.at(k - 1) = slotSet.at(9) = slot;
        QString error;
        QVERIFY2(writeClipDocument(document(name), slotSet, error), qPrintable(error));
    }

    void capture(int k, const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        QTest::mouseClick(button("cmdp%1", k), Qt::LeftButton);
    }
    // Chooses the menu entry; an editor it opens the user closes at once (and m_editorOpened tells).
    void choose(const QString &entry)
    {
        QTimer::singleShot(0, m_form.get(), [this] {
            if (QWidget *editor = QApplication::activeModalWidget()) {
                m_editorOpened = editor->objectName() == QLatin1String("SlotEditor");
                editor->close();
            }
        });
        child(entry)->trigger();
        QCoreApplication::processEvents();
    }
    void answerSavePrompt(int answer)
    {
        m_desktop->expectMessage(QStringLiteral("Do you want to save the changes ?"),
                                 Desktop::YesNoCancel | Desktop::Exclamation, "Velmora", answer);
    }
    void expectNotFound()
    {
        m_desktop->expectMessage(QStringLiteral("Cannot find this file."),
                                 Desktop::OkOnly | Desktop::Exclamation | Desktop::DefaultButton2, "Velmora",
                                 Desktop::Ok);
    }
    void expectCannotUse(const QString &name)
    {
        m_desktop->expectMessage(QStringLiteral("The document \"%1\" cannot *").arg(document(name)),
                                 Desktop::OkOnly | Desktop::Exclamation, "Velmora", Desktop::Ok);
    }
    void saveDialogGives(const QString &name) { m_desktop->expectSave(6, name.isEmpty() ? name : document(name)); }
    void openDocument(const QString &name)
    {
        m_desktop->expectOpen(4, document(name));
        choose(QStringLiteral("mnuopen"));
    }

    QTemporaryDir m_folder;
    KeyStore m_keyStore{m_folder.filePath(QStringLiteral("keys.json"))};
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ScriptedDesktop> m_desktop;
    QtClipboard m_clipboard;
    std::unique_ptr<BarWindow> m_form;
    int m_registrations = 0;
    bool m_editorOpened = false;
};
