#include "main_window_fixture.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <array>
#include <functional>
#include <vector>

namespace linoveta {
namespace {

struct MenuItem {
    const char *name;
    const char *parent;     // the menu that holds it
    const char *caption;
    const char *shortcut;   // portable text, "" for none
    bool enabledAtStart;    // as the menu tree gives it, before unbuilt commands are disabled
};

constexpr MenuItem kMenuTree[] = {
    {"mnuGraphPrint", "mnuGraphFile", "&Print Graph", "Ctrl+P", true},
    {"mnuGraphPrintSetup", "mnuGraphFile", "Print &Setup", "", true},
    {"mnuSave", "mnuGraphFile", "Save Graph Data", "Ctrl+S", true},
    {"mnuLoad", "mnuGraphFile", "Load Graph Data", "Ctrl+L", true},
    {"mnuBitMap", "mnuGraphFile", "Save Graph As Bitmap", "", true},
    {"mnuGraphExit", "mnuGraphFile", "&Exit", "Ctrl+X", true},
    {"mnuGraphIt", "mnuFunctions", "&Graph!", "F3", false},
    {"mnuInsertF", "mnuFunctions", "&Insert Function", "F4", true},
    {"mnuClearData", "mnuFunctions", "Clear &Data", "Ctrl+C", true},
    {"mnuExponent", "mnuFunctions", "Insert &Exponent (^)", "", true},
    {"mnuRoot", "mnuFunctions", "Insert &Root", "Ctrl+R", true},
    {"mnuInsertPi", "mnuFunctions", "Insert &Pi", "Ctrl+I", true},
    {"mnuInsertAbs", "mnuFunctions", "Insert Absolute &Value (|)", "", true},
    {"mnuTrig", "mnuFunctions", "Insert &Trig Functions", "", true},
    {"mnuSin", "mnuTrigMenu", "Insert &Sine", "Ctrl+F1", true},
    {"mnuCos", "mnuTrigMenu", "Insert &Cosine", "Ctrl+F2", true},
    {"mnuTan", "mnuTrigMenu", "Insert &Tangent", "Ctrl+F3", true},
    {"mnuEvaluate", "mnuFunctions", "Evaluate &f(x)", "F5", false},
    {"mnuShade", "mnuFunctions", "Calculate &Area", "F6", false},
    {"mnuPtSeries", "mnuFunctions", "Regression Anal&ysis", "F7", true},
    {"mnuToggleCoordinates", "mnuGraphOptions", "Toggle &Coordinates", "F8", true},
    {"mnuGraphQuadrant", "mnuGraphOptions", "Toggle &Quadrants", "F9", true},
    {"mnuHideGrid", "mnuGraphOptions", "&Hide Grid", "Ctrl+H", true},
    {"mnuGraphSettings", "mnuGraphOptions", "&Change Colors", "", true},
    {"mnuGraphGridColor", "mnuGraphSettingsMenu", "&Grid Color", "", true},
    {"mnuBackColor", "mnuGraphSettingsMenu", "&Background Color", "", true},
    {"mnuGraphDefault", "mnuGraphSettingsMenu", "&Default Colors", "Ctrl+D", true},
    {"mnuLineW", "mnuGraphOptions", "Line Width", "", true},
    {"mnuGraphReset", "mnuGraphWindow", "&Reset", "", true},
    {"mnuGraphZoomIn", "mnuGraphWindow", "Zoom &In", "", true},
    {"mnuGraphZoomOut", "mnuGraphWindow", "Zoom &Out", "", true},
    {"mnuHelpTopics", "mnuHelp", "Help &Topics", "", true},
    {"mnuWeb", "mnuHelp", "Talvoran on the &Web", "", true},
    {"mnuLinoveta", "mnuWebMenu", "&Linoveta", "", true},
    {"mnuHomePage", "mnuWebMenu", "Talvoran &Home Page", "", true},
    {"mnuOnlineSupport", "mnuWebMenu", "Online Support", "", true},
    {"mnuAbout", "mnuHelp", "&About Linoveta", "", true},
    {"mnuNearWhole", "mnuRoundOptions", "Round To Nearest Whole", "", true},
    {"mnuNearTen", "mnuRoundOptions", "Round To Nearest Tenth", "", true},
};

QAction *actionNamed(QWidget *menu, const char *name)
{
    for (QAction *a : menu->actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

TEST_F(MainWindowTest, MenuTreeHasEveryCaptionShortcutAndStartState)
{
    for (const MenuItem &item : kMenuTree) {
        auto *menu = window->findChild<QMenu *>(QLatin1String(item.parent));
        ASSERT_NE(menu, nullptr) << item.parent;
        QAction *action = actionNamed(menu, item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QLatin1String(item.caption)) << item.name;
        EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText), QLatin1String(item.shortcut))
            << item.name;
        EXPECT_EQ(action->isEnabled(), item.enabledAtStart) << item.name;
    }
}

TEST_F(MainWindowTest, MenuBarShowsFiveMenusAndKeepsRoundOptionsHidden)
{
    QStringList captions;
    for (QAction *a : window->menuBar()->actions())
        captions << a->text();
    EXPECT_EQ(captions, QStringList({"&File", "F&unctions", "Graph &Options", "Graph &Window", "&Help"}));

    // Separators sit where the tree has them.
    const std::pair<const char *, QStringList> separators[] = {
        {"mnuGraphFile", {"mnuGraphBreak1", "mnuGGFe", "qht"}},
        {"mnuFunctions", {"abc", "aji", "ziu", "pop"}},
        {"mnuGraphOptions", {"mnuGraphBreak2", "faege"}},
        {"mnuGraphSettingsMenu", {"mnuGraphBreak5"}},
        {"mnuGraphWindow", {"mnuGraphBreak3"}},
        {"mnuWebMenu", {"mnubebe"}},
        {"mnuHelp", {"mnuhyhy"}},
    };
    for (const auto &[menuName, names] : separators) {
        QStringList found;
        for (QAction *a : window->findChild<QMenu *>(QLatin1String(menuName))->actions())
            if (a->isSeparator())
                found << a->objectName();
        EXPECT_EQ(found, names) << menuName;
    }
    EXPECT_TRUE(window->mnuNearWhole->isChecked());
    EXPECT_FALSE(window->mnuNearTen->isChecked());
    EXPECT_FALSE(window->mnuHideGrid->isChecked());
    EXPECT_FALSE(window->mnuGraphQuadrant->isChecked());
}

struct ToolbarSlot {
    int index;
    const char *key;
    const char *toolTip;
};

TEST_F(MainWindowTest, ToolbarHasSixteenSlotsWithKeysAndTips)
{
    const ToolbarSlot expectedSlots[] = {
        {1, "graph", "Graph"}, {2, "", ""}, {3, "save", "Save"}, {4, "open", "Open"},
        {5, "print", "Print"}, {6, "", ""}, {7, "clear", "Erase"}, {8, "", ""},
        {9, "root", "Insert Root"}, {10, "sin", "Insert Sine"}, {11, "", ""},
        {12, "fx", "Evaluate f(x)"}, {13, "area", "Calculate Area"},
        {14, "regress", "Regression Analysis"}, {15, "", ""}, {16, "web", "Talvoran On The Web"},
    };
    for (const ToolbarSlot &s : expectedSlots) {
        const ToolbarButton &b = window->toolbarButtons[s.index];
        EXPECT_EQ(b.key, QLatin1String(s.key)) << s.index;
        EXPECT_EQ(b.toolTip, QLatin1String(s.toolTip)) << s.index;
        EXPECT_EQ(b.action != nullptr, *s.key != 0) << s.index;
        if (b.action) {
            EXPECT_EQ(b.action->toolTip(), QLatin1String(s.toolTip)) << s.index;
        }
    }
    for (int index : {9, 10}) {
        ASSERT_NE(window->toolbarButtons[index].button, nullptr);
        EXPECT_EQ(window->toolbarButtons[index].button->popupMode(), QToolButton::MenuButtonPopup);
    }
    EXPECT_EQ(window->Toolbar1->iconSize(), QSize(48, 48));
}

TEST_F(MainWindowTest, ToolbarDispatchesOnTheButtonsKey)
{
    window->toolbarButtons[9].action->trigger();
    EXPECT_EQ(line(0), "~");
    QTest::keyClick(window->Paper[0], Qt::Key_2);
    window->toolbarButtons[10].button->click();
    EXPECT_EQ(line(0), "~2S(");

    window->toolbarButtons[16].action->trigger();
    EXPECT_EQ(script.addresses, std::vector<QString>{platform::HomePageAddress});

    window->toolbarButtons[7].action->trigger();
    EXPECT_EQ(script.questions.size(), 1u);

    // A key nothing answers does nothing.
    window->Toolbar1_ButtonClick(2);
    window->Toolbar1_ButtonClick(99);
    EXPECT_EQ(line(0), "~2S(");
}

struct DropDownCase {
    const char *item;
    int button;
    const char *key;
    const char *inserted;   // what the next click puts on an empty line
};

TEST_F(MainWindowTest, DropDownChoicesChangeOnlyTheButtonFace)
{
    const DropDownCase cases[] = {
        {"Insert Cosine", 10, "cos", "C("}, {"Insert Tangent", 10, "tan", "T("},
        {"Insert Sine", 10, "sin", "S("},   {"Insert Exponent", 9, "power", ""},
        {"Insert Root", 9, "root", "~"},
    };
    for (const DropDownCase &c : cases) {
        ClearAllFormulas(tables());
        window->RedrawFormulaBoxes();
        QMenu *menu = window->toolbarButtons[c.button].button->menu();
        QAction *choice = nullptr;
        for (QAction *a : menu->actions())
            if (a->text() == QLatin1String(c.item))
                choice = a;
        ASSERT_NE(choice, nullptr) << c.item;
        choice->trigger();
        EXPECT_EQ(line(0), "") << c.item << " inserts nothing itself";
        EXPECT_EQ(window->toolbarButtons[c.button].key, QLatin1String(c.key));
        EXPECT_EQ(window->toolbarButtons[c.button].image, QLatin1String(c.key));
        EXPECT_EQ(window->toolbarButtons[c.button].action->toolTip(), QLatin1String(c.item));
        window->toolbarButtons[c.button].action->trigger();
        EXPECT_EQ(line(0), c.inserted) << c.item;
    }
    // An exponent needs something to raise.
    ClearAllFormulas(tables());
    QTest::keyClick(window->Paper[0], Qt::Key_X);
    window->Toolbar1_ButtonMenuClick("Insert Exponent");
    window->toolbarButtons[9].action->trigger();
    EXPECT_EQ(line(0), "x^");
}

TEST_F(MainWindowTest, ShortcutsReachTheirCommands)
{
    QTest::keyClick(window->Paper[0], Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(window->Paper[0], Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(line(0), "~P");
    QTest::keyClick(window->Paper[0], Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(window->mnuHideGrid->isChecked());
    QTest::keyClick(window->Paper[0], Qt::Key_F9);
    EXPECT_TRUE(window->mnuGraphQuadrant->isChecked());
}

TEST_F(MainWindowTest, CtrlCAndCtrlXKeepTheirTextMeaningInATextBox)
{
    window->Frame1->show();
    window->Text2->setText("1.5");
    window->Text2->setFocus();
    window->Text2->selectAll();
    QApplication::processEvents();
    QTest::keyClick(window->Text2, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(script.questions.empty());
    EXPECT_EQ(QApplication::clipboard()->text(), "1.5");
    QTest::keyClick(window->Text2, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Text2->text(), "");

    // Elsewhere they are Clear Data and Exit.
    window->Paper[0]->setFocus();
    QApplication::processEvents();
    QTest::keyClick(window->Paper[0], Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(script.questions.size(), 1u);
    QTest::keyClick(window->Paper[0], Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, DefaultColorsRestoresEveryColour)
{
    for (int i = 0; i < 7; ++i)
        window->Picture1[i]->setBackColor(0x123456);
    window->frmGraph->setBackColor(0x000000);
    program.graph.GridColor = "1";
    program.graph.ShadeColor = "2";
    QTest::keyClick(window->Paper[0], Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(program.graph.GridColor, "16766596");
    EXPECT_EQ(program.graph.ShadeColor, "14737632");
    EXPECT_EQ(window->frmGraph->backColor(), 0xFFFFFF);
    const RgbValue expected[] = {255, 0xFF0000, 0xC000, 0xFF00FF, 0x80FF, 255, 0xFF0000};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window->Picture1[i]->backColor(), expected[i]) << i;
}

TEST_F(MainWindowTest, ColourDialogsStartFromTheColourAndKeepItWhenCancelled)
{
    script.colors = {0x00FF00, std::nullopt, std::nullopt, 0x101010, std::nullopt};
    window->Picture1_Click(2);
    EXPECT_EQ(window->Picture1[2]->backColor(), 0x00FF00);
    window->Picture1_Click(6);
    EXPECT_EQ(window->Picture1[6]->backColor(), 0xFF0000);

    program.graph.GridColor = "16766596";
    window->mnuGraphGridColor_Click();
    EXPECT_EQ(program.graph.GridColor, "16766596");
    window->mnuGraphGridColor_Click();
    EXPECT_EQ(program.graph.GridColor, "1052688");

    window->frmGraph->setBackColor(0xE0FFFF);
    window->mnuBackColor_Click();
    EXPECT_EQ(window->frmGraph->backColor(), 0xE0FFFF);

    EXPECT_EQ(script.colorRequests,
              (std::vector<RgbValue>{0xC000, 0xFF0000, 16766596, 16766596, 0xE0FFFF}));
}

TEST_F(MainWindowTest, DisplaySwitchesFlipTheirMarks)
{
    window->mnuToggleCoordinates->trigger();
    EXPECT_FALSE(window->ListView1->isHidden());
    EXPECT_TRUE(window->mnuToggleCoordinates->isChecked());
    window->mnuToggleCoordinates->trigger();
    EXPECT_TRUE(window->ListView1->isHidden());
    EXPECT_FALSE(window->mnuToggleCoordinates->isChecked());

    window->mnuHideGrid->trigger();
    window->mnuHideGrid->trigger();
    EXPECT_FALSE(window->mnuHideGrid->isChecked());

    window->mnuNearTen->trigger();
    EXPECT_EQ(program.graph.CoordDecimals, 1);
    EXPECT_TRUE(window->mnuNearTen->isChecked());
    EXPECT_FALSE(window->mnuNearWhole->isChecked());
    window->mnuNearWhole->trigger();
    EXPECT_EQ(program.graph.CoordDecimals, 0);
    EXPECT_TRUE(window->mnuNearWhole->isChecked());
    EXPECT_FALSE(window->mnuNearTen->isChecked());
}

// One menu item painted by its menu's style, checkable or not, checked or not.
QImage paintMenuItem(const QMenu &menu, const QAction &action,
                     QStyleOptionMenuItem::CheckType checkType, bool checked)
{
    QStyleOptionMenuItem item;
    item.initFrom(&menu);
    item.rect = QRect(0, 0, 220, 24);
    item.state |= QStyle::State_Enabled;
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.checkType = checkType;
    item.checked = checked;
    item.menuHasCheckableItems = true;
    item.text = action.text();
    item.font = menu.font();
    QImage image(item.rect.size(), QImage::Format_ARGB32);
    image.fill(menu.palette().color(QPalette::Window));
    QPainter painter(&image);
    menu.style()->drawControl(QStyle::CE_MenuItem, &item, &painter, &menu);
    return image;
}

TEST_F(MainWindowTest, CheckableItemsShowAMarkOnlyWhenChecked)
{
    for (QAction *action : {window->mnuPtSeries, window->mnuToggleCoordinates, window->mnuGraphQuadrant,
                            window->mnuHideGrid, window->mnuNearWhole, window->mnuNearTen}) {
        SCOPED_TRACE(action->objectName().toStdString());
        ASSERT_TRUE(action->isCheckable());
        QMenu *menu = nullptr;
        for (QObject *o : action->associatedObjects())
            menu = menu ? menu : qobject_cast<QMenu *>(o);
        ASSERT_NE(menu, nullptr);
        const QImage plain = paintMenuItem(*menu, *action, QStyleOptionMenuItem::NotCheckable, false);
        const QImage unchecked = paintMenuItem(*menu, *action, QStyleOptionMenuItem::NonExclusive, false);
        const QImage checked = paintMenuItem(*menu, *action, QStyleOptionMenuItem::NonExclusive, true);
        // Unchecked: nothing in the check column, the item looks like a plain one.
        EXPECT_EQ(unchecked, plain);
        // Checked: a mark, in the check column only, left of the text.
        QRect mark;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                if (checked.pixel(x, y) != plain.pixel(x, y))
                    mark |= QRect(x, y, 1, 1);
        EXPECT_FALSE(mark.isEmpty());
        EXPECT_LT(mark.right(), 24);
    }
}

TEST_F(MainWindowTest, HelpAndWebCommandsUseTheirServices)
{
    window->mnuHelpTopics->trigger();
    EXPECT_EQ(script.helpShown, 1);
    window->mnuLinoveta->trigger();
    window->mnuHomePage->trigger();
    window->mnuOnlineSupport->trigger();
    EXPECT_EQ(script.addresses, (std::vector<QString>{platform::ProductPageAddress, platform::HomePageAddress,
                                                      platform::SupportPageAddress}));
}

// Without a browser each web command says so, naming its page; with one it says nothing.
TEST_F(MainWindowTest, WebCommandsSayWhenNoBrowserCanBeStarted)
{
    const struct {
        const char *command;
        std::function<void()> run;
        QString address;
    } commands[] = {
        {"Linoveta", [this] { window->mnuLinoveta->trigger(); }, platform::ProductPageAddress},
        {"Home Page", [this] { window->mnuHomePage->trigger(); }, platform::HomePageAddress},
        {"Online Support", [this] { window->mnuOnlineSupport->trigger(); },
         platform::SupportPageAddress},
        {"toolbar", [this] { window->toolbarButtons[16].action->trigger(); },
         platform::HomePageAddress},
    };
    for (const auto &c : commands) {
        SCOPED_TRACE(c.command);
        for (const bool fails : {false, true}) {
            script.messages.clear();
            script.browserFails = fails;
            c.run();
            const std::vector<QString> expected =
                fails ? std::vector<QString>{NoBrowserMessage(c.address)} : std::vector<QString>{};
            EXPECT_EQ(script.messages, expected) << (fails ? "no browser" : "a browser");
        }
    }
    EXPECT_EQ(NoBrowserMessage(platform::HomePageAddress),
              "Linoveta could not open https://www.example.com/ in a web browser.");
}

TEST(MainWindowHelp, TheBundledHelpHasAContentsPageWithWorkingLinks)
{
    QFile contents(":/help/index.html");
    ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(contents.readAll());
    EXPECT_TRUE(html.contains("Contents"));
    for (const char *page : {"formulas.html", "commands.html", "regression.html"}) {
        EXPECT_TRUE(html.contains(QLatin1String(page))) << page;
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + QLatin1String(page))) << page;
    }
}

TEST_F(MainWindowTest, CalculateAreaReopensUntilClosedAndKeepsShadingOnceOn)
{
    QTest::keyClicks(window->Paper[0], "x");
    // Zoom with shading off, Shade Area, zoom with shading on, then close.
    std::vector<int> answers = {2, 1, 2, 0};
    std::vector<bool> shadeSeen;
    window->showFillRange = [&] {
        shadeSeen.push_back(program.ShadeOn);
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
    window->mnuShade_Click();
    EXPECT_EQ(shadeSeen, (std::vector<bool>{false, false, true, true}));
    EXPECT_FALSE(program.ShadeOn);
    EXPECT_TRUE(answers.empty());
}

TEST_F(MainWindowTest, CalculateAreaShadesAsTheAnswersSayAndReopensOnTheLastLine)
{
    QTest::keyClicks(window->Paper[0], "x");
    window->Blinker_Click();
    QTest::keyClicks(window->Paper[1], "2x");
    ASSERT_EQ(tables().LastFunction, 1);
    struct Row
    {
        std::vector<int> answers;        // 1 Shade Area, 2 a zoom, 0 closed
        std::vector<bool> shadeAtOpening; // ShadeOn each time the window opens
    };
    const std::array<Row, 4> rows{{
        {{0}, {false}},
        {{2, 2, 0}, {false, false, false}},
        {{1, 2, 0}, {false, true, true}},
        {{2, 1, 2, 0}, {false, false, true, true}},
    }};
    for (const Row &row : rows) {
        std::size_t shown = 0;
        std::vector<bool> shadeSeen;
        std::vector<int> lineAtOpening;
        window->showFillRange = [&] {
            shadeSeen.push_back(program.ShadeOn);
            lineAtOpening.push_back(tables().CurrentFunction);
            tables().CurrentFunction = 0;   // the window's slider chose line 1
            return row.answers.at(shown++);
        };
        window->mnuShade_Click();
        EXPECT_EQ(shadeSeen, row.shadeAtOpening);
        EXPECT_EQ(shown, row.answers.size());
        EXPECT_FALSE(program.ShadeOn);
        // Every reopening starts on the last line, whatever the window chose before.
        for (std::size_t i = 1; i < lineAtOpening.size(); ++i)
            EXPECT_EQ(lineAtOpening[i], 1) << "opening " << i;
    }
}

} // namespace
} // namespace linoveta
