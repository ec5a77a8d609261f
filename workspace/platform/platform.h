#pragma once
// The small services the main window and its dialogs need from the desktop. Each is an
// interface with a Qt implementation (qt_platform.h) and a scripted one for tests
// (scripted_platform.h), so no test ever waits on a modal dialog.

#include "typeset/surface.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QDialog;

namespace linoveta::platform {

enum class Answer { Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    // A fixed text with an OK button and the application's default title.
    virtual void message(QWidget *parent, const QString &text) = 0;
    // A Yes/No question; anything but Yes counts as No.
    virtual Answer question(QWidget *parent, const QString &text) = 0;
};

struct FileRequest {
    QString title;
    QString directory;   // start folder
    QString fileName;    // start name
    QString filter;      // Qt name filter, e.g. "Graph Data (*.wqz)"
    QString defaultSuffix;          // added to a typed name that has no extension
    bool confirmOverwrite = false;  // ask before an existing file is chosen for saving
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<QString> openFile(QWidget *parent, const FileRequest &request) = 0;
    virtual std::optional<QString> saveFile(QWidget *parent, const FileRequest &request) = 0;
};

class ColorDialog {
public:
    virtual ~ColorDialog() = default;
    // Colours are the old form: red in the low byte. A cancelled dialog returns `initial`.
    virtual RgbValue chooseColor(QWidget *parent, RgbValue initial) = 0;
};

class WebBrowser {
public:
    virtual ~WebBrowser() = default;
    // Shows `address` in the desktop's browser. `failed` runs, possibly later, when no browser
    // could be started for it; the service keeps it no longer than itself.
    virtual void openAddress(const QString &address, std::function<void()> failed) = 0;
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the program's own help on its contents page.
    virtual void showContents(QWidget *parent) = 0;
};

class SplashRunner {
public:
    virtual ~SplashRunner() = default;
    // Shows `splash` modally; it closes itself after `delayMs` (the scripted runner uses none).
    virtual void run(QDialog &splash, int delayMs) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

// The application's default title, which message boxes carry.
inline const QString ApplicationTitle = QStringLiteral("Linoveta");

// The addresses of the maker's pages that the Help menu opens.
inline const QString ProductPageAddress = QStringLiteral("https://www.example.com/linoveta/");
inline const QString HomePageAddress = QStringLiteral("https://www.example.com/");
inline const QString SupportPageAddress = QStringLiteral("https://www.example.com/support/");

// Every service the window is given; tests build one from scripted parts.
struct Platform {
    std::unique_ptr<MessageService> messages;
    std::unique_ptr<FileDialogs> files;
    std::unique_ptr<ColorDialog> colors;
    std::unique_ptr<WebBrowser> web;
    std::unique_ptr<HelpViewer> help;
    std::unique_ptr<SplashRunner> splash;
    std::unique_ptr<Clock> clock;
};

} // namespace linoveta::platform
