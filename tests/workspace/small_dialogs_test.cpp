#include "workspace/dialogs/frm_about.h"
#include "workspace/dialogs/frm_line_width.h"
#include "workspace/dialogs/frm_logo.h"
#include "workspace/system_info.h"

#include "workspace/platform/scripted_platform.h"
#include "frame_contents.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

using namespace linoveta;

namespace {

// The main window's hidden line-width slider, counting the redraws its change would cause.
struct MainSlider
{
    MainSlider()
    {
        slider.setRange(1, 10);
        slider.setValue(3);
        QObject::connect(&slider, &QSlider::valueChanged, [this](int v) { redraws.push_back(v); });
    }
    QSlider slider;
    std::vector<int> redraws;
};

TEST(LineWidthTest, OkApplyAndCancelOverTheMainSlider)
{
    struct Row
    {
        const char *what;
        std::vector<QPushButton *frmLineWidth::*> presses;   // each after moving to the next width
        std::vector<int> widths;
        int finalWidth;
        bool closed;
    };
    const std::array<Row, 4> rows{{
        {"OK takes the width", {&frmLineWidth::Command2}, {7}, 7, true},
        {"Cancel changes nothing", {&frmLineWidth::Command1}, {7}, 3, true},
        {"Cancel keeps an earlier Apply", {&frmLineWidth::Command3, &frmLineWidth::Command1},
         {5, 9}, 5, true},
        {"Apply twice keeps the dialog open", {&frmLineWidth::Command3, &frmLineWidth::Command3},
         {2, 10}, 10, false},
    }};
    for (const auto &row : rows) {
        MainSlider main;
        frmLineWidth dialog(main.slider);
        dialog.show();
        EXPECT_EQ(dialog.Slider1->value(), 3) << row.what;
        for (std::size_t i = 0; i < row.presses.size(); ++i) {
            dialog.Slider1->setValue(row.widths[i]);
            QTest::mouseClick(dialog.*(row.presses[i]), Qt::LeftButton);
        }
        EXPECT_EQ(main.slider.value(), row.finalWidth) << row.what;
        EXPECT_EQ(!dialog.isVisible(), row.closed) << row.what;
        if (row.finalWidth != 3) {
            EXPECT_EQ(main.redraws.back(), row.finalWidth) << row.what;
        } else {
            EXPECT_TRUE(main.redraws.empty()) << row.what;
        }
    }
}

TEST(LineWidthTest, LayoutAndSlider)
{
    MainSlider main;
    frmLineWidth dialog(main.slider);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Line Width"));
    EXPECT_EQ(dialog.size(), QSize(281, 144));
    EXPECT_EQ(dialog.Slider1->minimum(), 1);
    EXPECT_EQ(dialog.Slider1->maximum(), 10);
    EXPECT_EQ(dialog.Slider1->pageStep(), 2);
    EXPECT_EQ(dialog.Slider1->toolTip(), QStringLiteral("Slide to adjust drawing width."));
}

// The two captions above the slider line up, and the slider has a tick for every width.
TEST(LineWidthTest, CaptionsShareOneLineAndEveryWidthHasATick)
{
    MainSlider main;
    frmLineWidth dialog(main.slider);
    dialog.show();
    EXPECT_EQ(dialog.Label2->alignment() & Qt::AlignVertical_Mask,
              dialog.Label1->alignment() & Qt::AlignVertical_Mask);
    EXPECT_EQ(dialog.Label2->y(), dialog.Label1->y());
    EXPECT_EQ(dialog.Slider1->tickInterval(), 1);
}

// A registry with the values a test puts in.
class FakeRegistry : public RegistryReader
{
public:
    std::map<std::pair<QString, QString>, Value> values;
    std::optional<Value> query(std::uint32_t root, const QString &key,
                               const QString &name) const override
    {
        if (root != HKEY_LOCAL_MACHINE_ROOT)
            return std::nullopt;
        const auto found = values.find({key, name});
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }
};

const QString kToolsKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

RegistryReader::Value text(const char *s)
{
    return {RegistryReader::String, QByteArray(s) + '\0'};
}

TEST(SystemInfoTest, EachPathOfTheLauncher)
{
    struct Row
    {
        const char *what;
        const char *pathValue;       // nullptr: absent
        const char *locationValue;   // nullptr: absent
        std::vector<QString> existingFiles;
        std::vector<QString> onPath;   // commands found on PATH
        bool startSucceeds;
        const char *started;   // nullptr: nothing started
        bool ok;
    };
    const std::array<Row, 8> rows{{
        {"registered path started without a file check", "C:\\msinfo32.exe", nullptr, {}, {},
         true, "C:\\msinfo32.exe", true},
        {"registered path that fails to start", "C:\\msinfo32.exe", nullptr, {}, {}, false,
         "C:\\msinfo32.exe", false},
        {"location with the program present", nullptr, "C:\\Tools",
         {QStringLiteral("C:\\Tools\\MSINFO32.EXE")}, {}, true, "C:\\Tools\\MSINFO32.EXE", true},
        {"location without the program", nullptr, "C:\\Tools", {}, {QStringLiteral("hardinfo")},
         true, nullptr, false},
        {"no registry value, a known command on PATH", nullptr, nullptr, {},
         {QStringLiteral("hardinfo")}, true, "/usr/bin/hardinfo", true},
        {"the first known command wins", nullptr, nullptr, {},
         {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")}, true,
         "/usr/bin/kinfocenter", true},
        {"a found command that cannot start", nullptr, nullptr, {},
         {QStringLiteral("hardinfo")}, false, "/usr/bin/hardinfo", false},
        {"nothing anywhere", nullptr, nullptr, {}, {}, true, nullptr, false},
    }};
    for (const auto &row : rows) {
        FakeRegistry registry;
        if (row.pathValue)
            registry.values[{kToolsKey, QStringLiteral("PATH")}] = text(row.pathValue);
        if (row.locationValue)
            registry.values[{kLocationKey, QStringLiteral("MSINFO")}] = text(row.locationValue);
        std::vector<QString> started;
        SystemInfoServices services;
        services.registry = &registry;
        services.fileExists = [&row](const QString &path) {
            return std::find(row.existingFiles.begin(), row.existingFiles.end(), path)
                   != row.existingFiles.end();
        };
        services.findOnPath = [&row](const QString &command) {
            const bool found = std::find(row.onPath.begin(), row.onPath.end(), command)
                               != row.onPath.end();
            return found ? QStringLiteral("/usr/bin/") + command : QString();
        };
        services.start = [&](const QString &program) {
            started.push_back(program);
            return row.startSucceeds;
        };
        EXPECT_EQ(StartSysInfo(services), row.ok) << row.what;
        if (row.started) {
            ASSERT_EQ(started.size(), 1u) << row.what;
            EXPECT_EQ(started[0], QString::fromLatin1(row.started)) << row.what;
        } else {
            EXPECT_TRUE(started.empty()) << row.what;
        }
    }
}

TEST(SystemInfoTest, GetKeyValueReadsStringsAndNumbers)
{
    FakeRegistry registry;
    registry.values[{QStringLiteral("k"), QStringLiteral("s")}] = text("C:\\Path");
    registry.values[{QStringLiteral("k"), QStringLiteral("raw")}] = {RegistryReader::String,
                                                                     QByteArray("abc")};
    registry.values[{QStringLiteral("k"), QStringLiteral("n")}] = {
        RegistryReader::Number, QByteArray("\x01\x02\x00\x00", 4)};
    registry.values[{QStringLiteral("k"), QStringLiteral("other")}] = {3, QByteArray("x")};

    QString value = QStringLiteral("before");
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("k"),
                            QStringLiteral("s"), value));
    EXPECT_EQ(value, QStringLiteral("C:\\Path"));
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("k"),
                            QStringLiteral("raw"), value));
    EXPECT_EQ(value, QStringLiteral("abc"));
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("k"),
                            QStringLiteral("n"), value));
    EXPECT_EQ(value, QStringLiteral("513"));   // 0x0201, each byte with both digits
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("k"),
                            QStringLiteral("other"), value));
    EXPECT_EQ(value, QStringLiteral("513"));
    EXPECT_FALSE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("k"),
                             QStringLiteral("missing"), value));
    EXPECT_TRUE(value.isEmpty());
    EXPECT_FALSE(GetKeyValue(NoRegistry(), HKEY_LOCAL_MACHINE_ROOT, kToolsKey,
                             QStringLiteral("PATH"), value));
}

TEST(AboutTest, SystemInfoReportsWhenNothingCanStart)
{
    platform::Script script;
    auto services = platform::makeScriptedPlatform(script);
    SystemInfoServices none;
    none.registry = nullptr;
    none.findOnPath = [](const QString &) { return QString(); };
    none.start = [](const QString &) { return true; };
    frmAbout about(none, *services.messages);
    about.show();
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0], QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_TRUE(about.isVisible());   // the About box stays open

    SystemInfoServices found = none;
    int starts = 0;
    found.findOnPath = [](const QString &c) { return QStringLiteral("/usr/bin/") + c; };
    found.start = [&starts](const QString &) { return ++starts > 0; };
    frmAbout second(found, *services.messages);
    QTest::mouseClick(second.cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(script.messages.size(), 1u);

    QTest::mouseClick(about.Command1, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Linoveta"));
    EXPECT_EQ(about.size(), QSize(277, 281));
    EXPECT_EQ(about.cmdSysInfo->text(), QStringLiteral("System Info..."));
    ASSERT_FALSE(about.Image1->pixmap().isNull());
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(261, 110));
}

TEST(AboutTest, NoticeSitsInsideItsFrame)
{
    platform::Script script;
    auto services = platform::makeScriptedPlatform(script);
    frmAbout about(SystemInfoServices(), *services.messages);
    about.show();
    EXPECT_EQ(ControlsOutsideFrame(*about.Frame3), "");
    EXPECT_EQ(about.Frame3->title(), QStringLiteral("Warning:"));
    EXPECT_EQ(about.Frame4->title(), frmAbout::kRights);
    // The notice's lines all fit in its label.
    const QRect needed = about.Label1->fontMetrics().boundingRect(
        about.Label1->contentsRect(), Qt::TextWordWrap, about.Label1->text());
    EXPECT_LE(needed.height(), about.Label1->contentsRect().height());
}

TEST(SplashTest, TimerStartsOnShowingAndClosesTheSplashOnItsFirstTick)
{
    frmLogo logo;
    EXPECT_EQ(logo.logotime->interval(), 3000);
    EXPECT_FALSE(logo.logotime->isActive());
    EXPECT_TRUE(logo.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(logo.size(), QSize(542, 240));
    logo.show();
    EXPECT_TRUE(logo.logotime->isActive());
    logo.logotime_Timer();
    EXPECT_FALSE(logo.logotime->isActive());
    EXPECT_FALSE(logo.isVisible());

    // The same through the event loop, with a short interval.
    frmLogo quick;
    quick.logotime->setInterval(5);
    quick.show();
    EXPECT_TRUE(QTest::qWaitFor([&quick] { return !quick.isVisible(); }, 2000));
    EXPECT_EQ(quick.result(), QDialog::Accepted);
}

} // namespace
