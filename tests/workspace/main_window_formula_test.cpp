#include "main_window_fixture.h"

#include "engine/key_handler.h"
#include "support/load_symbols.h"

#include "typeset/formula_typesetter.h"

#include <QCheckBox>
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

// The typesetter reports a box it cannot show to the program's own sink, which main() routes
// to a message box; the window raises none of its own.
TEST_F(MainWindowTest, ABoxTheTypesetterCannotShowReportsToTheProgramsSink)
{
    QStringList errors;
    program.formulaMessages.setRoute([&errors](const QString &m) { errors << m; });
    str2char_disp(tables(), "~" + std::string(300, '1') + "~", 2);
    window->RedrawFormulaBoxes();
    EXPECT_EQ(errors, QStringList{QString::fromLatin1(kFormulaErrorMessage)});
    EXPECT_TRUE(script.messages.empty());
    program.formulaMessages.setRoute({});
}


// A document holding lines the typesetter could not show (a root of 300 digits, a numerator of
// 60) replays them through the key handler, which stops each group where the typesetter's
// room ends: the load raises no error box, not one per replayed key nor on a later repaint.
// Loading types each stored line again. A line the keys built loads as it was saved, also
// one whose numerator is past the printer's 50-character fraction table; a stored line no key
// stream could build (a root past the screen's 250 characters) stops where the typesetter can
// no longer show it, as typing it would.
TEST_F(MainWindowTest, ReplayedLinesLoadAsTypedAndStopWhereTheScreenCannotShowThem)
{
    struct Case {
        std::string stored;
        std::string loaded;
    };
    const std::string longNumerator = "(x^4+3x^3-2x^2+5x-7+12x^3-3x^2+1+7x-8x^4+2x^2-1)/(x^2+1)";
    const Case cases[] = {
        {std::string(60, '2') + "/3", std::string(60, '2') + "/3"},
        {longNumerator, longNumerator},
        {"~" + std::string(300, '1'), "~" + std::string(250, '1')},
    };
    QStringList errors;
    program.formulaMessages.setRoute([&errors](const QString &m) { errors << m; });
    for (const Case &c : cases) {
        errors.clear();
        const QString path = folder.filePath(QStringLiteral("long.wqz"));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray::fromStdString(c.stored + "BBBBBBBBBBTrueBB2BB\r\n"));
        }
        script.openPaths.push_back(path);
        window->mnuLoad_Click();
        window->Paper[1]->setFocus();
        window->Paper[0]->setFocus();
        QApplication::processEvents();

        EXPECT_TRUE(errors.isEmpty()) << errors.size() << " error boxes";
        EXPECT_TRUE(script.messages.empty());
        EXPECT_EQ(line(0), c.loaded);
        EXPECT_GT(inkPixels(*window->Paper[0]), 0);
    }
    program.formulaMessages.setRoute({});
}

// An empty line is complete: a formula typed only into a later box, or loaded into one, can be
// graphed although box 0 was never touched.
TEST_F(MainWindowTest, AnEmptyFirstLineNeverKeepsTheGraphCommandsOff)
{
    const auto expectEnabled = [this](const char *what) {
        EXPECT_EQ(line(0), "") << what;
        EXPECT_EQ(line(2), "3x") << what;
        for (QAction *a : {window->mnuGraphIt, window->mnuEvaluate, window->mnuShade,
                           window->toolbarButtons[1].action, window->toolbarButtons[12].action,
                           window->toolbarButtons[13].action})
            EXPECT_TRUE(a->isEnabled()) << what << " " << a->objectName().toStdString();
    };
    QTest::keyClick(window.get(), Qt::Key_F4);
    QTest::keyClick(window.get(), Qt::Key_F4);
    ASSERT_EQ(QApplication::focusWidget(), window->Paper[2]);
    QTest::keyClicks(window->Paper[2], "3x");
    expectEnabled("typed into box 2");

    const QString path = folder.filePath(QStringLiteral("line2.wqz"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("BBBB3xBBBBBBTrueBB2BB\r\n");
    f.close();
    script.openPaths.push_back(path);
    window->mnuLoad_Click();
    expectEnabled("loaded into line 2");
}

// Clicking from box to box: each box's own formula decides its next key. A second point in
// box 0 stays refused after box 1 was typed in, and a closed bar in box 0 still takes "^"
// after box 1 opened a bar of its own.
TEST_F(MainWindowTest, AKeyIsJudgedByItsOwnBoxAlone)
{
    struct Case {
        const char *box0, *box1, *thenBox0, *expected;
    };
    const Case cases[] = {
        {"1.5", "2", ".", "1.5"},
        {"2", "1.5", ".5", "2.5"},
        {"|x|", "|", "^2", "|x|^2"},
    };
    for (const Case &c : cases) {
        for (int box : {1, 0}) {
            if (window->Paper[box]->isHidden())
                continue;
            window->Paper[box]->setFocus();
            for (int k = 0; k < 8; ++k)
                QTest::keyClick(window->Paper[box], Qt::Key_Backspace);
        }
        ASSERT_EQ(line(0) + line(1), "");
        QTest::keyClicks(window->Paper[0], c.box0);
        QTest::keyClick(window.get(), Qt::Key_F4);
        ASSERT_EQ(QApplication::focusWidget(), window->Paper[1]);
        QTest::keyClicks(window->Paper[1], c.box1);
        QTest::mouseClick(window->Paper[0], Qt::LeftButton);
        ASSERT_EQ(tables().CurrentFunction, 0);
        QTest::keyClicks(window->Paper[0], c.thenBox0);
        EXPECT_EQ(line(0), c.expected) << c.box0 << " / " << c.box1;
        EXPECT_FALSE(tables().FormulaIncomplete[0]) << c.expected;
    }
}

// While the point panel is shown, keys that reach a formula box that kept the focus change
// nothing: the formula stays as it was and the commands the mode disabled stay disabled.
TEST_F(MainWindowTest, PointSeriesModeKeepsFormulaKeysFromTheHiddenBoxes)
{
    window->mnuPtSeries_Click();
    ASSERT_TRUE(window->Check1->isChecked());
    ASSERT_FALSE(window->mnuEvaluate->isEnabled());
    for (const char *keys : {"+5", "x", "2\b"}) {
        window->Paper[0]->setFocus();
        QTest::keyClicks(window->Paper[0], keys);
        EXPECT_EQ(line(0), "") << keys;
        EXPECT_FALSE(window->mnuEvaluate->isEnabled()) << keys;
        EXPECT_FALSE(window->mnuShade->isEnabled()) << keys;
    }
    window->mnuPtSeries_Click();
    QTest::keyClicks(window->Paper[0], "x+5");
    EXPECT_EQ(line(0), "x+5") << "formula mode types again";
}

} // namespace
} // namespace linoveta
