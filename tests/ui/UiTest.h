#pragma once
// The fixture of the window tests: a temporary machine (program folder, Windows and System
// folders, registry stand-in), answering stand-ins for message boxes, the open dialog and the
// desktop, and helpers to reach the window's controls by name.

#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"
#include "ui/MainUnit.h"

#include <QListWidget>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Failed comparisons of texts show the texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace pestrel::test {

class AnsweringBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString title, text;
    };
    bool confirm(QWidget*, const QString& text) override {
        questions.push_back(text);
        return answer;
    }
    void inform(QWidget*, const QString& title, const QString& text) override {
        shown.push_back({title, text});
    }

    bool answer = true;
    QStringList questions;
    std::vector<Shown> shown;
};

class ScriptedOpenDialog final : public OpenDialog {
public:
    QString pickFile(QWidget*, const QStringList& offered) override {
        ++opened;
        filters = offered;
        return answer;
    }

    QString answer; // empty: the person cancels
    int opened = 0;
    QStringList filters;
};

class RecordingDesktop final : public DesktopOpener {
public:
    bool open(const QUrl& target) override {
        opened.push_back(target);
        return accepts;
    }
    std::vector<QUrl> opened;
    bool accepts = true; // false: the desktop has no program for the target
};

class UiTest : public ::testing::Test {
protected:
    TestMachine machine;
    // Every timed job runs at once unless a test asks for the program's waits.
    RunWaits waits{0, 0, 0, 0};
    // The platform the window is built on; the machine's own unless a test wraps it.
    Platform* platform = &machine.platform();

    TMainForm& createForm();
    TMainForm& showForm();

    // A file of the program folder as the system writes paths ('\\' between names on Windows).
    std::string appFile(std::string name) {
#ifdef _WIN32
        std::replace(name.begin(), name.end(), '/', '\\');
#endif
        return machine.context().AppPath + name;
    }
    template <typename Widget = QWidget> Widget* control(const char* name) {
        Widget* widget = form->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Clicks the tab of the page that holds `widget`, as a person switches pages.
    void showPageOf(QWidget* widget);
    // Brings the control's page to the front and clicks it with the mouse.
    void press(const char* name);
    QStringList rows(const char* listName);
    QString status() {
        return form->statusText();
    }
    void finishWorkers() {
        form->workers().waitUntilIdle();
    }

    AnsweringBoxes boxes;
    ScriptedOpenDialog openDialog;
    RecordingDesktop desktop;
    std::unique_ptr<TMainForm> form;
};

} // namespace pestrel::test
