// Every window of the fixed layouts under the desktop's looks: its light and a dark palette,
// and application fonts from 9 to 14 points. No text of a control may be cut by its rectangle,
// and every text must read against its own background.
#include "main_window_fixture.h"
#include "modal_steps.h"
#include "shown_texts.h"

#include "workspace/dialogs/frm_about.h"
#include "workspace/dialogs/frm_eval_fx.h"
#include "workspace/dialogs/frm_explain.h"
#include "workspace/dialogs/frm_fill_range.h"
#include "workspace/dialogs/frm_line_width.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/locale_numbers.h"

#include <QPalette>
#include <QScrollBar>

#include <array>
#include <set>
#include <utility>

namespace linoveta {
namespace {

using test::CutTexts;
using test::FaintTexts;
using test::PictureContrast;
using test::ShownTexts;

// Text in a text colour must reach the usual minimum for body text.
constexpr double kTextContrast = 4.5;
// Text and ink in a curve's colour: the user picks those, and the default green and orange
// reach only about 2.4 on white.
constexpr double kCurveContrast = 2.0;

struct Look
{
    const char *name;
    double points;   // the application's font
    bool dark;       // the dark palette instead of the style's own
};

std::ostream &operator<<(std::ostream &out, const Look &look) { return out << look.name; }

// A dark desktop scheme ("darker" of the Qt configuration tool), role by role.
QPalette DarkPalette()
{
    QPalette p;
    const std::array<std::pair<QPalette::ColorRole, QRgb>, 20> roles{{
        {QPalette::WindowText, 0xffffffff}, {QPalette::Button, 0xff424245},
        {QPalette::Light, 0xff979797},      {QPalette::Midlight, 0xff5e5c5b},
        {QPalette::Dark, 0xff302f2e},       {QPalette::Mid, 0xff4a4947},
        {QPalette::Text, 0xffffffff},       {QPalette::BrightText, 0xffffffff},
        {QPalette::ButtonText, 0xffffffff}, {QPalette::Base, 0xff3d3d3d},
        {QPalette::Window, 0xff222020},     {QPalette::Shadow, 0xffe7e4e0},
        {QPalette::Highlight, 0xff12608a},  {QPalette::HighlightedText, 0xfff9f9f9},
        {QPalette::Link, 0xff0986d3},       {QPalette::LinkVisited, 0xffa70b06},
        {QPalette::AlternateBase, 0xff5c5b5a}, {QPalette::ToolTipBase, 0xff3f3f36},
        {QPalette::ToolTipText, 0xffffffff}, {QPalette::PlaceholderText, 0x80ffffff},
    }};
    for (const auto &[role, rgba] : roles)
        p.setColor(role, QColor::fromRgba(rgba));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                      QPalette::HighlightedText})
        p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return p;
}

class FixedLayoutTextTest : public MainWindowTest, public ::testing::WithParamInterface<Look>
{
protected:
    void SetUp() override
    {
        m_font = QApplication::font();
        m_palette = QApplication::palette();
        QFont font = m_font;
        font.setPointSizeF(GetParam().points);
        QApplication::setFont(font);
        if (GetParam().dark)
            QApplication::setPalette(DarkPalette());
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setFont(m_font);
        QApplication::setPalette(m_palette);
    }

    // Five formula rows, graphed; the first one is y = 1/x, whose list entries are long.
    void typeFormulas()
    {
        const std::array<const char *, 5> rows{"1/x", "x", "2x", "x-3", "0.5x"};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i > 0)
                window->Blinker_Click();
            QTest::keyClicks(window->Paper[i], rows[i]);
        }
        QTest::keyClick(window->Paper[4], Qt::Key_Return);
    }

    void expectReadable(QWidget &root, const std::set<const QWidget *> &inCurveColour = {})
    {
        QApplication::processEvents();
        const auto texts = ShownTexts(root);
        EXPECT_FALSE(texts.empty());
        EXPECT_EQ(CutTexts(texts), "") << root.metaObject()->className();
        EXPECT_EQ(FaintTexts(texts, kTextContrast, kCurveContrast, inCurveColour), "")
            << root.metaObject()->className();
    }

    static void expectInkReadable(const ImageSurface &picture, const char *what)
    {
        EXPECT_GE(PictureContrast(picture.image(), colourFromRgbValue(picture.backColor())),
                  kCurveContrast)
            << what;
    }

private:
    QFont m_font;
    QPalette m_palette;
};

TEST_P(FixedLayoutTextTest, MainWindowWithFiveFormulasAndTheCoordinateList)
{
    typeFormulas();
    window->mnuToggleCoordinates_Click();
    ASSERT_TRUE(window->ListView1->isVisible());
    QApplication::processEvents();
    // The list is as wide as its entries: nothing to scroll sideways for.
    EXPECT_FALSE(window->ListView1->horizontalScrollBar()->isVisible());
    expectReadable(*window->centralWidget());
    for (const FormulaBox *box : window->Paper)
        expectInkReadable(box->surface(), "formula box");

    // The longest read-out and list entries: the widest window, tenths, a corner.
    window->mnuNearTen_Click();
    for (int i = 0; i < 13; ++i)
        window->ZoomOut();
    window->frmGraph_MouseMove(0, 0, -163839.94f, -163839.94f);
    EXPECT_EQ(window->Label2->text(), QStringLiteral("x = ") + LocaleNumberText(-163839.9)
                                          + QStringLiteral("    y = ") + LocaleNumberText(-163839.9));
    expectReadable(*window->centralWidget());
}

TEST_P(FixedLayoutTextTest, MainWindowWithThePointSeriesPanel)
{
    window->mnuPtSeries_Click();
    const std::array<std::pair<double, double>, 3> points{{
        {-0.123456, -0.123456}, {1234567.891, -20.5}, {-0.123456789012345, 3}}};
    for (const auto &[x, y] : points) {
        window->Text2->setText(LocaleNumberText(x));
        window->Text3->setText(LocaleNumberText(y));
        QTest::mouseClick(window->Command4, Qt::LeftButton);
    }
    ASSERT_EQ(window->MSFlexGrid1->rowCount(), 5);
    expectReadable(*window->centralWidget());

    QTest::mouseClick(window->Command5, Qt::LeftButton);
    frmExplain *equation = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *e = qobject_cast<frmExplain *>(w); e && e->isVisible())
            equation = e;
    ASSERT_NE(equation, nullptr);
    // The equation is drawn in its window's fixed blue, a text colour, not a curve's.
    EXPECT_GE(PictureContrast(equation->surface().image(),
                              colourFromRgbValue(equation->surface().backColor())),
              kTextContrast);
    equation->close();
}

TEST_P(FixedLayoutTextTest, EvaluateWithAValueInEveryRow)
{
    typeFormulas();
    bool checked = false;
    whenModal<frmEvalFX>([&](frmEvalFX *dialog) {
        dialog->Text1->setText(LocaleNumberText(-0.12345));
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        std::set<const QWidget *> values(dialog->Label3.begin(), dialog->Label3.end());
        for (const QLabel *value : dialog->Label3)
            EXPECT_TRUE(value->isVisible());
        expectReadable(*dialog, values);
        for (int line = 1; line <= 5; ++line) {
            dialog->Slider1->setValue(line);
            expectInkReadable(dialog->Picture1->surface(), "formula picture");
        }
        checked = true;
        dialog->reject();
    });
    window->mnuEvaluate_Click();
    EXPECT_TRUE(checked);
}

TEST_P(FixedLayoutTextTest, CalculateAreaWithItsResult)
{
    typeFormulas();
    bool checked = false;
    whenModal<frmFillRange>([&](frmFillRange *dialog) {
        QTest::mouseClick(dialog->Command3, Qt::LeftButton);
        EXPECT_FALSE(dialog->Text4->text().isEmpty());
        expectReadable(*dialog);
        for (int line = 1; line <= 5; ++line) {
            dialog->Slider1->setValue(line);
            expectInkReadable(dialog->Picture1->surface(), "formula picture");
        }
        checked = true;
        dialog->Command2->click();
    });
    window->mnuShade_Click();
    EXPECT_TRUE(checked);
}

TEST_P(FixedLayoutTextTest, LineWidthAboutAndPrintOptions)
{
    int checked = 0;
    whenModal<frmLineWidth>([&](frmLineWidth *dialog) {
        expectReadable(*dialog);
        ++checked;
        dialog->reject();
    });
    window->mnuLineW_Click();
    whenModal<frmAbout>([&](frmAbout *dialog) {
        expectReadable(*dialog);
        ++checked;
        dialog->reject();
    });
    window->mnuAbout_Click();
    window->mnuGraphPrint_Click();
    frmPrintSetup *options = window->printOptions();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(options));
    expectReadable(*options);
    options->close();
    EXPECT_EQ(checked, 2);
}

const std::array<Look, 8> kLooks{{
    {"light_9pt", 9, false},  {"light_10pt", 10, false}, {"light_12pt", 12, false},
    {"light_14pt", 14, false}, {"dark_9pt", 9, true},   {"dark_10pt", 10, true},
    {"dark_12pt", 12, true},  {"dark_14pt", 14, true},
}};

INSTANTIATE_TEST_SUITE_P(Looks, FixedLayoutTextTest, ::testing::ValuesIn(kLooks),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace linoveta
