#include "workspace/platform/scripted_platform.h"

#include <QDialog>
#include <QFileInfo>

namespace linoveta::platform {
namespace {

Answer takeAnswer(std::deque<Answer> &queue)
{
    if (queue.empty())
        return Answer::No;
    const Answer value = queue.front();
    queue.pop_front();
    return value;
}

std::optional<QString> takePath(std::deque<std::optional<QString>> &queue)
{
    std::optional<QString> value;
    if (!queue.empty()) {
        value.swap(queue.front());
        queue.pop_front();
    }
    return value;
}

std::optional<RgbValue> takeColour(std::deque<std::optional<RgbValue>> &queue)
{
    if (queue.empty())
        return std::nullopt;
    const std::optional<RgbValue> value = queue.front();
    queue.pop_front();
    return value;
}

class ScriptedMessages final : public MessageService {
public:
    explicit ScriptedMessages(Script &s) : s_(s) {}
    void message(QWidget *, const QString &text) override { s_.messages.push_back(text); }
    Answer question(QWidget *, const QString &text) override
    {
        s_.questions.push_back(text);
        return takeAnswer(s_.answers);
    }

private:
    Script &s_;
};

class ScriptedFiles final : public FileDialogs {
public:
    explicit ScriptedFiles(Script &s) : s_(s) {}
    std::optional<QString> openFile(QWidget *parent, const FileRequest &r) override
    {
        s_.fileRequests.push_back(r);
        s_.fileParents.push_back(parent);
        return takePath(s_.openPaths);
    }
    // Like the real dialog: the default extension is added to a typed name without one, and
    // only then is an existing file met with the overwrite question ("No" cancels here).
    std::optional<QString> saveFile(QWidget *parent, const FileRequest &r) override
    {
        s_.fileRequests.push_back(r);
        s_.fileParents.push_back(parent);
        std::optional<QString> path = takePath(s_.savePaths);
        if (!path || path->isEmpty())
            return path;
        if (!r.defaultSuffix.isEmpty() && QFileInfo(*path).suffix().isEmpty())
            *path += QLatin1Char('.') + r.defaultSuffix;
        if (r.confirmOverwrite && QFileInfo::exists(*path)) {
            s_.overwriteQuestions.push_back(*path);
            if (takeAnswer(s_.answers) != Answer::Yes)
                return std::nullopt;
        }
        return path;
    }

private:
    Script &s_;
};

class ScriptedColors final : public ColorDialog {
public:
    explicit ScriptedColors(Script &s) : s_(s) {}
    RgbValue chooseColor(QWidget *, RgbValue initial) override
    {
        s_.colorRequests.push_back(initial);
        return takeColour(s_.colors).value_or(initial);
    }

private:
    Script &s_;
};

class ScriptedWeb final : public WebBrowser {
public:
    explicit ScriptedWeb(Script &s) : s_(s) {}
    void openAddress(const QString &address, std::function<void()> failed) override
    {
        s_.addresses.push_back(address);
        if (s_.browserFails)
            failed();
    }

private:
    Script &s_;
};

class ScriptedHelp final : public HelpViewer {
public:
    explicit ScriptedHelp(Script &s) : s_(s) {}
    void showContents(QWidget *) override { ++s_.helpShown; }

private:
    Script &s_;
};

// The splash is never shown modally: it is counted and closed at once.
class ScriptedSplash final : public SplashRunner {
public:
    explicit ScriptedSplash(Script &s) : s_(s) {}
    void run(QDialog &splash, int delayMs) override
    {
        ++s_.splashRuns;
        s_.splashDelays.push_back(delayMs);
        splash.done(QDialog::Accepted);
    }

private:
    Script &s_;
};

class ScriptedClock final : public Clock {
public:
    explicit ScriptedClock(Script &s) : s_(s) {}
    QDate today() const override { return s_.today; }

private:
    Script &s_;
};

} // namespace

Platform makeScriptedPlatform(Script &script)
{
    Platform p;
    p.messages = std::make_unique<ScriptedMessages>(script);
    p.files = std::make_unique<ScriptedFiles>(script);
    p.colors = std::make_unique<ScriptedColors>(script);
    p.web = std::make_unique<ScriptedWeb>(script);
    p.help = std::make_unique<ScriptedHelp>(script);
    p.splash = std::make_unique<ScriptedSplash>(script);
    p.clock = std::make_unique<ScriptedClock>(script);
    return p;
}

} // namespace linoveta::platform
