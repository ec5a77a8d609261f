#pragma once
// A started main window on scripted platform services, shown and active, for widget tests.

#include "typeset/fonts.h"
#include "workspace/frm_graph_main.h"
#include "workspace/platform/scripted_platform.h"
#include "workspace/program.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace linoveta {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerApplicationFonts();
        ASSERT_TRUE(folder.isValid());
        window = std::make_unique<frmGraphMain>(program, platform::makeScriptedPlatform(script));
        window->setDocumentsFolder(folder.path());
        window->setSplashDelay(0);
        window->Form_Load();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Paper[0]->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
    }

    FormulaTables &tables() { return program.engine.tables; }
    std::string line(int i) { return char2str_sym(tables(), i); }
    // Dark pixels of a formula box's picture: something was typeset there.
    static int inkPixels(const FormulaBox &box)
    {
        const QImage &image = box.surface().image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qGray(image.pixel(x, y)) < 128;
        return n;
    }

    QTemporaryDir folder;
    platform::Script script;
    Program program;
    std::unique_ptr<frmGraphMain> window;
};

} // namespace linoveta
