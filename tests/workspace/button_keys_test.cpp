// The buttons of every window as a keyboard user meets them: Tab reaches each one, Enter and
// Space press the focused one, and a picture button shows that it has the focus.
#include "main_window_fixture.h"
#include "modal_steps.h"

#include "workspace/dialogs/frm_about.h"
#include "workspace/dialogs/frm_eval_fx.h"
#include "workspace/dialogs/frm_fill_range.h"
#include "workspace/dialogs/frm_line_width.h"
#include "workspace/dialogs/frm_print_setup.h"

#include <QCheckBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>
#include <QToolBar>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace linoveta {
namespace {

// Moves the focus to `target` with the Tab key from the control before it, as a user does.
void TabTo(QWidget *target)
{
    QWidget *before = target->previousInFocusChain();
    while (before != target && !(before->isVisible() && before->isEnabled() &&
                                 (before->focusPolicy() & Qt::TabFocus)))
        before = before->previousInFocusChain();
    before->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
}

std::string Name(const QPushButton *button)
{
    return (button->text().isEmpty() ? button->toolTip() : button->text()).toStdString();
}

// Presses every visible, enabled button of `window` with Return, Enter and Space after Tab has
// brought the focus to it; each key must press that button once and no other. The buttons' own
// handlers are cut off first, so that nothing closes or opens meanwhile.
void PressEveryButton(QWidget *window, const char *windowName)
{
    SCOPED_TRACE(windowName);
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const struct {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {"Return", Qt::Key_Return, Qt::NoModifier},
        {"Enter on the keypad", Qt::Key_Enter, Qt::KeypadModifier},
        {"Space", Qt::Key_Space, Qt::NoModifier},
    };
    std::vector<QPushButton *> buttons;
    for (QPushButton *button : window->findChildren<QPushButton *>())
        if (button->isVisible() && button->isEnabled())
            buttons.push_back(button);
    ASSERT_FALSE(buttons.empty());
    std::map<std::string, int> clicks;
    for (QPushButton *button : buttons) {
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        QObject::connect(button, &QAbstractButton::clicked, [&clicks, button] { ++clicks[Name(button)]; });
    }
    for (QPushButton *button : buttons) {
        SCOPED_TRACE(Name(button));
        for (const auto &k : keys) {
            SCOPED_TRACE(k.name);
            TabTo(button);
            EXPECT_TRUE(button->hasFocus());
            clicks.clear();
            QTest::keyClick(button, k.key, k.modifiers);
            EXPECT_EQ(clicks, (std::map<std::string, int>{{Name(button), 1}}));
        }
    }
    for (QPushButton *button : buttons)
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
}

TEST_F(MainWindowTest, EnterAndSpacePressTheFocusedButtonOfEveryDialog)
{
    QTest::keyClicks(window->Paper[0], "x");
    ASSERT_TRUE(window->mnuShade->isEnabled());
    // Each modal dialog is pressed through while it is open, then closed as Escape would.
    const struct {
        const char *name;
        std::function<void()> open;
        std::function<void(std::function<void(QDialog *)>)> whenOpen;
    } dialogs[] = {
        {"Line Width", [this] { window->mnuLineW_Click(); },
         [](auto step) { whenModal<frmLineWidth>(step); }},
        {"About", [this] { window->mnuAbout_Click(); },
         [](auto step) { whenModal<frmAbout>(step); }},
        {"Calculate Area", [this] { window->mnuShade_Click(); },
         [](auto step) { whenModal<frmFillRange>(step); }},
        {"Evaluate f(x)", [this] { window->mnuEvaluate_Click(); },
         [](auto step) { whenModal<frmEvalFX>(step); }},
    };
    for (const auto &d : dialogs) {
        bool seen = false;
        d.whenOpen([&](QDialog *dialog) {
            seen = true;
            PressEveryButton(dialog, d.name);
            dialog->reject();
        });
        d.open();
        EXPECT_TRUE(seen) << d.name;
    }

    // Print Options is modeless.
    window->mnuGraphPrint_Click();
    frmPrintSetup *options = window->findChild<frmPrintSetup *>();
    ASSERT_TRUE(options);
    PressEveryButton(options, "Print Options");
    options->close();
}

TEST_F(MainWindowTest, EnterAndSpacePressTheFocusedButtonOfTheMainWindow)
{
    PressEveryButton(window.get(), "formula mode");
    window->mnuPtSeries_Click();
    ASSERT_TRUE(window->Check1->isChecked());
    PressEveryButton(window.get(), "point-series mode");
}

// Tab goes round the window's own controls; the toolbar's buttons, all alike, stay out of it
// (its commands are in the menus).
TEST_F(MainWindowTest, TabGoesRoundTheControlsAndNotIntoTheToolbar)
{
    window->Paper[0]->setFocus(Qt::OtherFocusReason);
    std::vector<QWidget *> reached;
    for (int i = 0; i < 12 && (reached.empty() || reached.back() != window->Paper[0]); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    ASSERT_FALSE(reached.empty());
    EXPECT_EQ(reached.back(), window->Paper[0]) << "Tab comes back to the formula box";
    for (QWidget *w : reached) {
        ASSERT_TRUE(w);
        EXPECT_FALSE(window->Toolbar1->isAncestorOf(w)) << w->metaObject()->className() << " "
                                                        << w->toolTip().toStdString();
    }
    const std::vector<QWidget *> controls = {window->Blinker, window->frmGraph, window->Command2,
                                             window->Command6};
    for (QWidget *control : controls)
        EXPECT_NE(std::find(reached.begin(), reached.end(), control), reached.end())
            << control->toolTip().toStdString();
}

// Notes which widgets the style was asked to draw a focus mark for.
class FocusMarks final : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_FrameFocusRect && (option->state & State_HasFocus))
            marked.push_back(widget);
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    mutable std::vector<const QWidget *> marked;
};

// A picture button reached with Tab paints the style's focus mark, and the mark shows inside
// its rim, beside the picture; without the focus nothing of it is drawn.
void ExpectFocusMark(QPushButton *button)
{
    SCOPED_TRACE(Name(button));
    FocusMarks style;
    button->setStyle(&style);
    TabTo(button);
    ASSERT_TRUE(button->hasFocus());
    const QImage focused = button->grab().toImage();
    EXPECT_EQ(style.marked, std::vector<const QWidget *>{button});

    style.marked.clear();
    button->clearFocus();
    const QImage unfocused = button->grab().toImage();
    EXPECT_TRUE(style.marked.empty());
    button->setStyle(nullptr);

    // The rim is where the style shows the focus on a button's frame; the mark lies within.
    const QRect inside = QRect(QPoint(0, 0), focused.size()).adjusted(2, 2, -3, -3);
    int changed = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            changed += focused.pixel(x, y) != unfocused.pixel(x, y);
    EXPECT_GT(changed, inside.width()) << "pixels changed inside the rim";
}

TEST_F(MainWindowTest, PictureButtonsMarkTheFocus)
{
    for (QPushButton *button : {window->Blinker, window->Command2, window->Command6})
        ExpectFocusMark(button);

    QTest::keyClicks(window->Paper[0], "x");
    bool seen = false;
    whenModal<frmFillRange>([&](frmFillRange *area) {
        seen = true;
        QApplication::setActiveWindow(area);
        EXPECT_TRUE(QTest::qWaitForWindowActive(area));
        for (QPushButton *button : {area->Command5, area->Command6, area->Command7, area->Command8})
            ExpectFocusMark(button);
        area->reject();
    });
    window->mnuShade_Click();
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace linoveta
