#include "main_window_fixture.h"

#include "workspace/regression_object.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolBar>

namespace linoveta {
namespace {

TEST_F(MainWindowTest, StartsWithOneRowTheStartMaskAndTheFocusInBoxZero)
{
    EXPECT_EQ(window->windowTitle(), "Talvoran - Linoveta");
    EXPECT_EQ(tables().KeyMask, 1983);
    // Every line, line 0 too, starts complete: an empty line never blocks graphing.
    for (int i = 0; i < kCompletenessLines; ++i)
        EXPECT_FALSE(tables().FormulaIncomplete[i]) << i;
    EXPECT_EQ(window->VisibleLines, 0);
    EXPECT_FALSE(window->Paper[0]->isHidden());
    for (int i = 1; i < 5; ++i) {
        EXPECT_TRUE(window->Paper[i]->isHidden()) << i;
        EXPECT_TRUE(window->Label1[i]->isHidden()) << i;
        EXPECT_TRUE(window->Picture1[i]->isHidden()) << i;
    }
    EXPECT_EQ(program.graph.XMin, -20);
    EXPECT_EQ(program.graph.XMax, 20);
    EXPECT_EQ(program.graph.YMin, -20);
    EXPECT_EQ(program.graph.YMax, 20);
    ASSERT_TRUE(window->m_Regression);
    EXPECT_EQ(window->m_Regression->Degree(), 1);
    EXPECT_EQ(window->Combo1->currentText(), "2");
    EXPECT_EQ(window->MSFlexGrid1->item(0, 0)->text(), "X");
    EXPECT_EQ(window->MSFlexGrid1->item(0, 1)->text(), "Y");
    EXPECT_EQ(window->Slider1->value(), 1);
    EXPECT_TRUE(window->Slider1->isHidden());
    EXPECT_FALSE(window->Check1->isChecked());
    EXPECT_TRUE(window->Frame1->isHidden());

    EXPECT_EQ(QApplication::focusWidget(), window->Paper[0]);
    EXPECT_EQ(tables().CurrentFunction, 0);
    EXPECT_EQ(window->Paper[0]->backColor(), 0x80FFFF);
    EXPECT_EQ(script.splashRuns, 1);
    EXPECT_EQ(script.splashDelays, std::vector<int>{0});
}

TEST_F(MainWindowTest, GraphEvaluateAndAreaStartDisabledEverywhere)
{
    for (int index : {1, 12, 13})
        EXPECT_FALSE(window->toolbarButtons[index].action->isEnabled()) << index;
    EXPECT_FALSE(window->mnuGraphIt->isEnabled());
    EXPECT_FALSE(window->mnuEvaluate->isEnabled());
    EXPECT_FALSE(window->mnuShade->isEnabled());
}

struct Placement {
    const char *name;
    std::function<QWidget *(frmGraphMain &)> widget;
    QRect pixels;
};

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThemInPixels)
{
    const Placement placements[] = {
        {"Toolbar1", [](frmGraphMain &w) { return (QWidget *)w.Toolbar1; }, QRect(0, 0, 760, 56)},
        {"Label1(0)", [](frmGraphMain &w) { return (QWidget *)w.Label1[0]; }, QRect(8, 72, 57, 25)},
        {"Paper(0)", [](frmGraphMain &w) { return (QWidget *)w.Paper[0]; }, QRect(56, 64, 289, 41)},
        {"Paper(4)", [](frmGraphMain &w) { return (QWidget *)w.Paper[4]; }, QRect(56, 288, 289, 41)},
        {"Picture1(2)", [](frmGraphMain &w) { return (QWidget *)w.Picture1[2]; }, QRect(8, 200, 41, 17)},
        {"Blinker", [](frmGraphMain &w) { return (QWidget *)w.Blinker; }, QRect(312, 113, 33, 33)},
        {"frmGraph", [](frmGraphMain &w) { return (QWidget *)w.frmGraph; }, QRect(352, 65, 400, 400)},
        {"Command2", [](frmGraphMain &w) { return (QWidget *)w.Command2; }, QRect(240, 416, 49, 49)},
        {"Command6", [](frmGraphMain &w) { return (QWidget *)w.Command6; }, QRect(296, 416, 49, 49)},
        {"Label2", [](frmGraphMain &w) { return (QWidget *)w.Label2; }, QRect(8, 446, 225, 20)},
    };
    EXPECT_EQ(window->centralWidget()->size(), QSize(760, 471));
    for (const Placement &p : placements)
        EXPECT_EQ(p.widget(*window)->geometry(), p.pixels) << p.name;
    EXPECT_EQ(window->Label2->text(), "x = 0    y = 0");
    EXPECT_EQ(window->Paper[0]->toolTip(), "Click in the box to enter data.");
    EXPECT_EQ(window->Picture1[0]->toolTip(), "Click here to change color.");
    EXPECT_EQ(window->Blinker->toolTip(), "Insert new function.");
    EXPECT_EQ(window->Command2->toolTip(), "Click to zoom in graph.");
    EXPECT_EQ(window->Command6->toolTip(), "Click to zoom out graph.");
    EXPECT_EQ(window->Slider1->toolTip(), "Slide to adjust drawing width.");
}

TEST_F(MainWindowTest, SwatchesStartInTheLineColours)
{
    const RgbValue expected[] = {255, 0xFF0000, 0xC000, 0xFF00FF, 0x80FF, 255, 0xFF0000};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window->Picture1[i]->backColor(), expected[i]) << i;
}

TEST_F(MainWindowTest, SavedProblemsIsMadeInTheDocumentsFolderOnce)
{
    const QString beside = QDir(folder.path()).filePath("Saved Problems");
    EXPECT_TRUE(QFileInfo(beside).isDir());
    EXPECT_EQ(window->savedProblemsFolder(), beside);

    // A second start finds the folder and leaves it as it was.
    QFile keep(beside + "/kept.txt");
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();
    platform::Script second;
    Program other;
    frmGraphMain again(other, platform::makeScriptedPlatform(second));
    again.setDocumentsFolder(folder.path());
    again.setSplashDelay(0);
    again.Form_Load();
    EXPECT_EQ(again.savedProblemsFolder(), beside);
    EXPECT_TRUE(QFile::exists(beside + "/kept.txt"));
}

// Left to itself the window puts "Saved Problems" in the user's documents folder, as the
// desktop names it, and never beside the program (a build tree or a folder on PATH).
TEST(MainWindowStartup, SavedProblemsGoesIntoTheUsersDocumentsFolder)
{
    registerApplicationFonts();
    // The test main gave this run a home of its own; the real one must not be touched.
    const QString home = QDir::homePath();
    ASSERT_TRUE(home.startsWith(QDir::tempPath())) << home.toStdString();
    const QString userDirs = qEnvironmentVariable("XDG_CONFIG_HOME") + "/user-dirs.dirs";
    ASSERT_TRUE(userDirs.startsWith(home));

    struct Case {
        const char *what;
        QByteArray userDirsLine;   // empty: no user-dirs file
        QString documents;
    };
    const Case cases[] = {
        {"no folder named by the desktop", {}, home + "/Documents"},
        {"a folder named by the desktop", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", home + "/Papers"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir().mkpath(QFileInfo(userDirs).path());
        QFile file(userDirs);
        if (c.userDirsLine.isEmpty()) {
            file.remove();
        } else {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.userDirsLine);
            file.close();
        }
        platform::Script script;
        Program program;
        frmGraphMain window(program, platform::makeScriptedPlatform(script));
        window.setSplashDelay(0);
        window.Form_Load();
        const QString expected = c.documents + "/Saved Problems";
        EXPECT_EQ(window.savedProblemsFolder().toStdString(), expected.toStdString());
        EXPECT_TRUE(QFileInfo(expected).isDir());
        EXPECT_FALSE(QFileInfo::exists(QCoreApplication::applicationDirPath() + "/Saved Problems"));
        QDir(c.documents).removeRecursively();
        QFile::remove(userDirs);
    }
}

TEST(MainWindowStartup, APlainFileNamedSavedProblemsFallsBackToTheDataFolder)
{
    registerApplicationFonts();
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir documents;
    QFile blocker(QDir(documents.path()).filePath("Saved Problems"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    platform::Script script;
    Program program;
    frmGraphMain window(program, platform::makeScriptedPlatform(script));
    window.setDocumentsFolder(documents.path());
    window.setSplashDelay(0);
    window.Form_Load();

    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_EQ(window.savedProblemsFolder(), QDir(data).filePath("Saved Problems"));
    EXPECT_TRUE(QFileInfo(window.savedProblemsFolder()).isDir());
    EXPECT_TRUE(QFileInfo(blocker.fileName()).isFile());
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(MainWindowTest, ACommandLineOfBlanksOpensNothing)
{
    platform::Script second;
    Program other;
    frmGraphMain again(other, platform::makeScriptedPlatform(second));
    again.setDocumentsFolder(folder.path());
    again.setSplashDelay(0);
    again.setCommandLine("   ");
    again.Form_Load();
    EXPECT_TRUE(other.CommandFile.isEmpty());
    EXPECT_TRUE(second.messages.empty());
    EXPECT_TRUE(second.fileRequests.empty());
}

TEST_F(MainWindowTest, ExitClosesTheWindowAndItsModelessWindows)
{
    auto *modeless = new QDialog(window.get(), Qt::Window);
    modeless->setAttribute(Qt::WA_DeleteOnClose);
    modeless->show();
    QPointer<QDialog> watch(modeless);
    window->mnuGraphExit->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(watch.isNull() || !watch->isVisible());
}

} // namespace
} // namespace linoveta
