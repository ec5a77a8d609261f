#include "workspace/platform/qt_platform.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace linoveta::platform {
namespace {

// Every message box of the program: the application's title (an empty one would let the
// desktop show the executable's name), no icon, the text and the given buttons.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const QString &text,
                                            QMessageBox::StandardButtons buttons)
{
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, ApplicationTitle, text, buttons, parent);
}

class QtMessages final : public MessageService {
public:
    void message(QWidget *parent, const QString &text) override
    {
        makeMessageBox(parent, text, QMessageBox::Ok)->exec();
    }
    Answer question(QWidget *parent, const QString &text) override
    {
        const auto box = makeMessageBox(parent, text, QMessageBox::Yes | QMessageBox::No);
        return box->exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
};

class QtFiles final : public FileDialogs {
public:
    std::optional<QString> openFile(QWidget *parent, const FileRequest &r) override
    {
        return run(parent, r, QFileDialog::AcceptOpen);
    }
    std::optional<QString> saveFile(QWidget *parent, const FileRequest &r) override
    {
        return run(parent, r, QFileDialog::AcceptSave);
    }

private:
    static std::optional<QString> run(QWidget *parent, const FileRequest &r,
                                      QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent);
        configureFileDialog(dialog, r, mode);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = dialog.selectedFiles().constFirst();
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }
};

class QtColors final : public ColorDialog {
public:
    RgbValue chooseColor(QWidget *parent, RgbValue initial) override
    {
        const QColor chosen = QColorDialog::getColor(colourFromRgbValue(initial), parent);
        return chosen.isValid() ? rgbValueFromColour(chosen) : initial;
    }
};

// The desktop's opener when there is one: it starts at once, but finds out only afterwards that
// no browser is set up, so its exit status is watched. Without it, Qt's own search.
class QtWeb final : public WebBrowser {
public:
    // An opener still running when the program ends is stopped; its end is no failure to report
    // to a window that is going.
    ~QtWeb() override
    {
        for (QProcess *process : m_processes.findChildren<QProcess *>())
            process->disconnect();
    }

    void openAddress(const QString &address, std::function<void()> failed) override
    {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty()) {
            if (!QDesktopServices::openUrl(QUrl(address)))
                failed();
            return;
        }
        // Owned by this service, so the report never outlives the window that asked.
        auto *process = new QProcess(&m_processes);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int code, QProcess::ExitStatus status) {
                             process->deleteLater();
                             if (status != QProcess::NormalExit || code != 0)
                                 failed();
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [process, failed](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart)
                                 return;
                             process->deleteLater();
                             failed();
                         });
        process->start(opener, {address});
    }

private:
    QObject m_processes;
};

// One help window for the run; Help Topics brings it back on its contents page.
class QtHelp final : public HelpViewer {
public:
    void showContents(QWidget *parent) override
    {
        if (!window_) {
            window_ = new QDialog(parent, Qt::Window);
            window_->setAttribute(Qt::WA_DeleteOnClose);
            window_->setWindowTitle(QStringLiteral("Linoveta Help"));
            window_->resize(640, 560);
            auto *layout = new QVBoxLayout(window_);
            layout->setContentsMargins(0, 0, 0, 0);
            browser_ = new QTextBrowser(window_);
            browser_->setOpenExternalLinks(true);
            layout->addWidget(browser_);
        }
        browser_->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
        window_->show();
        window_->raise();
        window_->activateWindow();
    }

private:
    QPointer<QDialog> window_;
    QPointer<QTextBrowser> browser_;
};

class QtSplash final : public SplashRunner {
public:
    void run(QDialog &splash, int delayMs) override
    {
        QTimer::singleShot(delayMs, &splash, &QDialog::accept);
        splash.exec();
    }
};

class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

} // namespace

void configureFileDialog(QFileDialog &dialog, const FileRequest &r, QFileDialog::AcceptMode mode)
{
    // Qt's own dialog adds the default extension before it asks about overwriting; a native
    // one may ask about the name as typed and then save under another.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(r.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    // The caption already names the extension; the pattern Qt reads from the last
    // parentheses would show it a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(r.filter);
    dialog.setDirectory(r.directory);
    dialog.setDefaultSuffix(r.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
}

Platform makeQtPlatform()
{
    Platform p;
    p.messages = std::make_unique<QtMessages>();
    p.files = std::make_unique<QtFiles>();
    p.colors = std::make_unique<QtColors>();
    p.web = std::make_unique<QtWeb>();
    p.help = std::make_unique<QtHelp>();
    p.splash = std::make_unique<QtSplash>();
    p.clock = std::make_unique<SystemClock>();
    return p;
}

} // namespace linoveta::platform
