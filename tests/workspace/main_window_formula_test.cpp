#include "main_window_fixture.h"

#include "engine/key_handler.h"
#include "support/load_symbols.h"

#include "typeset/formula_typesetter.h"

#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace linoveta {
namespace {

TEST_F(MainWindowTest, TypingIntoABoxReachesTheEngineAndRepaintsEveryBox)
{
    QTest::keyClicks(window->Paper[0], "x+1");
    EXPECT_EQ(line(0), "x+1");
    const int firstInk = inkPixels(*window->Paper[0]);
    EXPECT_GT(firstInk, 0);

    // Typing in a second box repaints the first one too: its formula stays drawn.
    window->Blinker_Click();
    ASSERT_EQ(QApplication::focusWidget(), window->Paper[1]);
    QTest::keyClicks(window->Paper[1], "2x");
    EXPECT_EQ(line(1), "2x");
    EXPECT_EQ(line(0), "x+1");
    EXPECT_GT(inkPixels(*window->Paper[0]), firstInk / 2);
    EXPECT_GT(inkPixels(*window->Paper[1]), 0);
    EXPECT_EQ(tables().LastFunction, 1);

    // Backspace is handed to the engine as code 8.
    QTest::keyClick(window->Paper[1], Qt::Key_Backspace);
    QTest::keyClick(window->Paper[1], Qt::Key_Backspace);
    EXPECT_EQ(line(1), "");
    EXPECT_EQ(inkPixels(*window->Paper[1]), 0);
}

TEST_F(MainWindowTest, KeysTheMaskRefusesLeaveTheLineUnchanged)
{
    QTest::keyClicks(window->Paper[0], "x=,:%?s");
    EXPECT_EQ(line(0), "x");
    QTest::keyClick(window->Paper[0], Qt::Key_Backspace);
    QTest::keyClicks(window->Paper[0], "2X");
    EXPECT_EQ(line(0), "2x");
}

TEST_F(MainWindowTest, FocusColoursFollowTheCurrentBox)
{
    window->Blinker_Click();
    EXPECT_EQ(tables().CurrentFunction, 1);
    EXPECT_EQ(window->Paper[1]->backColor(), 0x80FFFF);
    EXPECT_EQ(window->Paper[0]->backColor(), 0xFFFFFF);

    // Focus elsewhere: every box white, the current line stays.
    window->Command2->setEnabled(true);
    window->Command2->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(window->Paper[1]->backColor(), 0xFFFFFF);
    EXPECT_EQ(tables().CurrentFunction, 1);
}

TEST_F(MainWindowTest, CompletingAFormulaEnablesTheGraphCommands)
{
    QTest::keyClicks(window->Paper[0], "x");
    for (QAction *a : {window->mnuGraphIt, window->mnuEvaluate, window->mnuShade,
                       window->toolbarButtons[1].action, window->toolbarButtons[12].action,
                       window->toolbarButtons[13].action})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    QTest::keyClick(window->Paper[0], Qt::Key_Plus);
    EXPECT_FALSE(window->mnuGraphIt->isEnabled());
}

struct NewLineStep {
    int expectedVisible;
    int blinkerTopPixels;
    bool blinkerHidden;
    int focusBox;
};

TEST_F(MainWindowTest, F4ShowsOneRowAtATimeAndDoesNothingOnceAllAreShown)
{
    // Each F4 goes from the box that has the focus, so the focus walks down with the rows.
    const NewLineStep steps[] = {
        {1, 169, false, 1}, {2, 225, false, 2}, {3, 281, false, 3}, {4, 337, true, 4},
        {4, 337, true, 4},  // nothing is left to show
    };
    for (const NewLineStep &s : steps) {
        QTest::keyClick(window.get(), Qt::Key_F4);
        EXPECT_EQ(window->VisibleLines, s.expectedVisible);
        EXPECT_EQ(window->Blinker->y(), s.blinkerTopPixels);
        EXPECT_EQ(window->Blinker->x(), 312);
        EXPECT_EQ(window->Blinker->isHidden(), s.blinkerHidden);
        EXPECT_EQ(QApplication::focusWidget(), window->Paper[s.focusBox]);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(window->Paper[i]->isHidden(), i > s.expectedVisible) << i;
    }
}

TEST_F(MainWindowTest, TheNewRowButtonMovesTheFocusToTheRowAfterTheCurrentLine)
{
    window->Blinker_Click();
    window->Blinker_Click();
    window->Paper[0]->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(tables().CurrentFunction, 0);

    QTest::mouseClick(window->Blinker, Qt::LeftButton);
    EXPECT_EQ(window->VisibleLines, 3);
    EXPECT_FALSE(window->Paper[3]->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), window->Paper[1]);
    EXPECT_EQ(tables().CurrentFunction, 1);
}

TEST_F(MainWindowTest, TheLoadersNewRowsMoveNoFocus)
{
    program.AddingFromFile = true;
    window->Blinker_Click();
    window->Blinker_Click();
    program.AddingFromFile = false;
    EXPECT_EQ(window->VisibleLines, 2);
    EXPECT_EQ(QApplication::focusWidget(), window->Paper[0]);
    EXPECT_EQ(tables().CurrentFunction, 0);
}

struct InsertCase {
    const char *typed;                       // symbols already on line 0
    void (frmGraphMain::*command)();
    const char *expected;
};

TEST_F(MainWindowTest, InsertCommandsActLikeTypedKeys)
{
    const InsertCase cases[] = {
        {"x", &frmGraphMain::mnuExponent_Click, "x^"},
        {"", &frmGraphMain::mnuRoot_Click, "~"},
        {"", &frmGraphMain::mnuInsertAbs_Click, "|"},
        {"2", &frmGraphMain::mnuInsertPi_Click, "2P"},
        {"", &frmGraphMain::mnuSin_Click, "S("},
        {"x+", &frmGraphMain::mnuCos_Click, "x+C("},
        {"2", &frmGraphMain::mnuTan_Click, "2T("},
        // "S" refused after a decimal point: nothing is sent after it.
        {"2.", &frmGraphMain::mnuSin_Click, "2."},
    };
    for (const InsertCase &c : cases) {
        ClearAllFormulas(tables());
        ASSERT_TRUE(LoadSymbolsForTest(tables(), 0, c.typed, *window));
        (window.get()->*c.command)();
        EXPECT_EQ(line(0), c.expected) << "after " << c.typed;
        EXPECT_FALSE(tables().AllowTrigLetters);
    }
}

TEST_F(MainWindowTest, AFunctionWhoseParenthesisIsRefusedIsTakenBack)
{
    // A line one symbol short of full takes the letter but not its "(".
    const std::string full(kMaxSymbols - 1, '1');
    ASSERT_TRUE(LoadSymbolsForTest(tables(), 0, full, *window));
    window->mnuSin_Click();
    EXPECT_EQ(line(0), full);
}

TEST_F(MainWindowTest, InsertsGoToTheLastCurrentLineWithoutTheFocus)
{
    window->Blinker_Click();
    ASSERT_EQ(tables().CurrentFunction, 1);
    window->menuBar()->setFocus(Qt::MenuBarFocusReason);
    window->mnuInsertPi->trigger();
    EXPECT_EQ(line(1), "P");
    EXPECT_EQ(line(0), "");
}

TEST_F(MainWindowTest, ClearDataAnsweredNoChangesNothing)
{
    QTest::keyClicks(window->Paper[0], "x");
    window->Blinker_Click();
    script.answers = {platform::Answer::No};
    window->mnuClearData->trigger();
    ASSERT_EQ(script.questions.size(), 1u);
    EXPECT_EQ(script.questions[0], "Are you sure you would like to erase all the data?");
    EXPECT_EQ(line(0), "x");
    EXPECT_EQ(window->VisibleLines, 1);
    EXPECT_FALSE(window->Paper[1]->isHidden());
}

TEST_F(MainWindowTest, ClearDataAnsweredYesEmptiesTheFormulasAndHidesTheRows)
{
    QTest::keyClicks(window->Paper[0], "x");
    window->Blinker_Click();
    window->Blinker_Click();
    QTest::keyClicks(window->Paper[2], "2");
    program.ShadeOn = true;
    window->BreakCount = 3;
    window->BreakX[2] = 1.5;
    window->BreakFlag[2] = true;

    script.answers = {platform::Answer::Yes};
    window->mnuClearData->trigger();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(line(i), "") << i;
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(window->Paper[i]->isHidden()) << i;
    EXPECT_EQ(window->VisibleLines, 0);
    EXPECT_EQ(tables().CurrentFunction, 0);
    EXPECT_EQ(tables().LastFunction, 0);
    EXPECT_FALSE(program.ShadeOn);
    EXPECT_EQ(window->BreakCount, 0);
    EXPECT_EQ(window->BreakX[2], 0);
    EXPECT_FALSE(window->BreakFlag[2]);
    EXPECT_EQ(window->Blinker->pos(), QPoint(312, 113));
    EXPECT_FALSE(window->Blinker->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), window->Paper[0]);
    EXPECT_EQ(inkPixels(*window->Paper[0]), 0);
    EXPECT_FALSE(window->mnuGraphIt->isEnabled());
    EXPECT_FALSE(window->toolbarButtons[1].action->isEnabled());
    // The start mask is kept: typing goes on as before.
    QTest::keyClicks(window->Paper[0], "x");
    EXPECT_EQ(line(0), "x");
}

TEST_F(MainWindowTest, RepaintingEmptyBoxesKeepsLastFunction)
{
    tables().LastFunction = 3;
    window->RedrawFormulaBoxes();
    EXPECT_EQ(tables().LastFunction, 3);
}


// A document holding lines the typesetter could not show (a root of 300 digits, a numerator of
// 60) replays them through the key handler, which stops each group where the typesetter's
// room ends: the load raises no error box, not one per replayed key nor on a later repaint.
TEST_F(MainWindowTest, ReplayedLinesStopWhereTheTypesetterCanNoLongerShowThem)
{
    QStringList errors;
    setFormulaMessageSink([&errors](const QString &m) { errors << m; });
    const std::string root = "~" + std::string(300, '1');
    const std::string fraction = std::string(60, '2') + "/3";
    const QString path = folder.filePath(QStringLiteral("long.wqz"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(root + "BB" + fraction + "BBBBBBBBTrueBB2BB\r\n"));
    }
    script.openPaths.push_back(path);
    window->mnuLoad_Click();
    window->Paper[1]->setFocus();
    window->Paper[0]->setFocus();
    QApplication::processEvents();
    setFormulaMessageSink({});

    EXPECT_TRUE(errors.isEmpty()) << errors.size() << " error boxes";
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(line(0), root.substr(0, 251));
    EXPECT_EQ(line(1), std::string(60, '2') + "3");  // the "/" would open a numerator of 60
    EXPECT_GT(inkPixels(*window->Paper[0]), 0);
}

} // namespace
} // namespace linoveta
