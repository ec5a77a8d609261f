#include "main_window_fixture.h"
#include "modal_steps.h"

#include "typeset/recording_surface.h"
#include "workspace/dialogs/frm_fill_range.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/graph_document.h"
#include "workspace/printing.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <functional>

namespace linoveta {
namespace {

// A printer that notes whether shading was on for each page it was given.
class ShadingPrinter : public PrinterService {
public:
    explicit ShadingPrinter(const Program &program) : m_program(program) {}
    QString deviceName() const override { return QStringLiteral("Test Printer"); }
    std::unique_ptr<Surface> beginDocument(const QString &) override
    {
        shadingAtPrint.push_back(m_program.ShadeOn);
        return std::make_unique<RecordingSurface>();
    }
    bool lastDocumentOk() const override { return true; }
    void setup(QWidget *) override {}
    std::vector<bool> shadingAtPrint;

private:
    const Program &m_program;
};

TEST_F(MainWindowTest, PrintGraphInCalculateAreaOpensPrintOptionsModallyOverIt)
{
    auto printer = std::make_unique<ShadingPrinter>(program);
    ShadingPrinter &pages = *printer;
    window->setPrinter(std::move(printer));
    QTest::keyClicks(window->Paper[0], "x");
    ASSERT_TRUE(window->mnuShade->isEnabled());

    QPointer<frmFillRange> area;
    bool optionsOverArea = false, areaStayedOpen = false, modalOnTop = false, typed = false;
    // Shade Area first, so the page printed from the reopened window is the shaded graph.
    whenModal<frmFillRange>([&](frmFillRange *first) {
        // A closed window leaves the top at once, so the next one found is the reopened one.
        whenModal<frmFillRange>([&](frmFillRange *reopened) {
            area = reopened;
            whenModal<frmPrintSetup>([&](frmPrintSetup *options) {
                optionsOverArea = options->isModal() && options->parentWidget() == area;
                areaStayedOpen = area && area->isVisible();
                modalOnTop = QApplication::activeModalWidget() == options;
                options->Text1->clear();
                QTest::keyClicks(options->Text1, "Shaded");
                typed = options->Text1->text() == QStringLiteral("Shaded");
                whenModal<frmFillRange>([&](frmFillRange *back) {
                    EXPECT_EQ(back, area.data());
                    QTest::mouseClick(back->Command2, Qt::LeftButton);
                });
                QTest::mouseClick(options->Command2, Qt::LeftButton);
            });
            QTest::mouseClick(reopened->Command7, Qt::LeftButton);
        });
        QTest::mouseClick(first->Command1, Qt::LeftButton);
    });
    window->mnuShade->trigger();

    EXPECT_TRUE(optionsOverArea);
    EXPECT_TRUE(areaStayedOpen);
    EXPECT_TRUE(modalOnTop);
    EXPECT_TRUE(typed);
    EXPECT_EQ(pages.shadingAtPrint, std::vector<bool>{true});
    // Closing Calculate Area ends the command and switches shading off.
    EXPECT_FALSE(program.ShadeOn);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, SaveBitmapInCalculateAreaAsksForTheFileOverIt)
{
    QTest::keyClicks(window->Paper[0], "x");
    ASSERT_TRUE(window->mnuShade->isEnabled());
    bool overArea = false;
    whenModal<frmFillRange>([&](frmFillRange *area) {
        QTest::mouseClick(area->Command8, Qt::LeftButton);   // the save is cancelled
        overArea = !script.fileParents.empty() && script.fileParents.back() == area;
        QTest::mouseClick(area->Command2, Qt::LeftButton);
    });
    window->mnuShade->trigger();

    ASSERT_EQ(script.fileRequests.size(), 1u);
    EXPECT_EQ(script.fileRequests[0].title, QStringLiteral("Save Graph Bitmap As"));
    EXPECT_EQ(script.fileRequests[0].fileName, DefaultBitmapName(script.today));
    // Over the main window, which the modal Calculate Area window blocks, it could open behind.
    EXPECT_TRUE(overArea);
}

} // namespace
} // namespace linoveta
