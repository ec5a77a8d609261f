// The main window's menu tree and toolbar: each item's caption, shortcut and handler, the
// toolbar's slots and faces, and the toolbar's dispatch to the commands.

#include "workspace/frm_graph_main.h"
#include "workspace/frm_graph_main_shared.h"
#include "workspace/dialogs/dialog_commands.h"

#include "engine/formula_tables.h"
#include "engine/key_handler.h"
#include "engine/number_text.h"
#include "typeset/formula_typesetter.h"
#include "typeset/surface_view.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/frm_logo.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/graph_commands.h"
#include "workspace/menu_mark_style.h"
#include "workspace/point_panel.h"
#include "workspace/point_series.h"
#include "workspace/printing.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace linoveta {

using namespace main_window;

namespace {

QIcon toolbarIcon(const QString &image)
{
    QIcon icon;
    const QString base = QStringLiteral(":/images/toolbar/") + image;
    AddResourcePicture(icon, base + QStringLiteral(".png"), QIcon::Normal);
    AddResourcePicture(icon, base + QStringLiteral("_disabled.png"), QIcon::Disabled);
    AddResourcePicture(icon, base + QStringLiteral("_hot.png"), QIcon::Active);
    return icon;
}

} // namespace

void frmGraphMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QMenu *menu, QAction *&action, const char *name, const QString &caption,
                       const QKeySequence &shortcut, void (frmGraphMain::*handler)()) {
        action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        // The handlers set the check marks themselves, as the old menus did; the toggle Qt
        // makes on a checkable item is undone first.
        if (handler)
            connect(action, &QAction::triggered, this, [this, action, handler] {
                if (action->isCheckable())
                    action->setChecked(!action->isChecked());
                (this->*handler)();
            });
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };
    auto submenu = [](QMenu *parent, QAction *&action, const char *name, const QString &caption) {
        QMenu *menu = parent->addMenu(caption);
        menu->setObjectName(QLatin1String(name) + QStringLiteral("Menu"));
        action = menu->menuAction();
        action->setObjectName(QLatin1String(name));
        return menu;
    };
    auto top = [bar](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        return menu;
    };
    const QKeySequence none;
    const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | Qt::Key(key)); };

    mnuGraphFile = top("mnuGraphFile", QStringLiteral("&File"));
    item(mnuGraphFile, mnuGraphPrint, "mnuGraphPrint", QStringLiteral("&Print Graph"), ctrl(Qt::Key_P),
         &frmGraphMain::mnuGraphPrint_Click);
    item(mnuGraphFile, mnuGraphPrintSetup, "mnuGraphPrintSetup", QStringLiteral("Print &Setup"), none,
         &frmGraphMain::mnuGraphPrintSetup_Click);
    separator(mnuGraphFile, "mnuGraphBreak1");
    item(mnuGraphFile, mnuSave, "mnuSave", QStringLiteral("Save Graph Data"), ctrl(Qt::Key_S),
         &frmGraphMain::mnuSave_Click);
    item(mnuGraphFile, mnuLoad, "mnuLoad", QStringLiteral("Load Graph Data"), ctrl(Qt::Key_L),
         &frmGraphMain::mnuLoad_Click);
    separator(mnuGraphFile, "mnuGGFe");
    item(mnuGraphFile, mnuBitMap, "mnuBitMap", QStringLiteral("Save Graph As Bitmap"), none,
         &frmGraphMain::mnuBitMap_Click);
    separator(mnuGraphFile, "qht");
    item(mnuGraphFile, mnuGraphExit, "mnuGraphExit", QStringLiteral("&Exit"), ctrl(Qt::Key_X),
         &frmGraphMain::mnuGraphExit_Click);

    mnuFunctions = top("mnuFunctions", QStringLiteral("F&unctions"));
    item(mnuFunctions, mnuGraphIt, "mnuGraphIt", QStringLiteral("&Graph!"), QKeySequence(Qt::Key_F3),
         &frmGraphMain::mnuGraphIt_Click);
    separator(mnuFunctions, "abc");
    item(mnuFunctions, mnuInsertF, "mnuInsertF", QStringLiteral("&Insert Function"),
         QKeySequence(Qt::Key_F4), &frmGraphMain::mnuInsertF_Click);
    item(mnuFunctions, mnuClearData, "mnuClearData", QStringLiteral("Clear &Data"), ctrl(Qt::Key_C),
         &frmGraphMain::mnuClearData_Click);
    separator(mnuFunctions, "aji");
    item(mnuFunctions, mnuExponent, "mnuExponent", QStringLiteral("Insert &Exponent (^)"), none,
         &frmGraphMain::mnuExponent_Click);
    item(mnuFunctions, mnuRoot, "mnuRoot", QStringLiteral("Insert &Root"), ctrl(Qt::Key_R),
         &frmGraphMain::mnuRoot_Click);
    item(mnuFunctions, mnuInsertPi, "mnuInsertPi", QStringLiteral("Insert &Pi"), ctrl(Qt::Key_I),
         &frmGraphMain::mnuInsertPi_Click);
    item(mnuFunctions, mnuInsertAbs, "mnuInsertAbs", QStringLiteral("Insert Absolute &Value (|)"), none,
         &frmGraphMain::mnuInsertAbs_Click);
    mnuTrigMenu = submenu(mnuFunctions, mnuTrig, "mnuTrig", QStringLiteral("Insert &Trig Functions"));
    item(mnuTrigMenu, mnuSin, "mnuSin", QStringLiteral("Insert &Sine"), ctrl(Qt::Key_F1),
         &frmGraphMain::mnuSin_Click);
    item(mnuTrigMenu, mnuCos, "mnuCos", QStringLiteral("Insert &Cosine"), ctrl(Qt::Key_F2),
         &frmGraphMain::mnuCos_Click);
    item(mnuTrigMenu, mnuTan, "mnuTan", QStringLiteral("Insert &Tangent"), ctrl(Qt::Key_F3),
         &frmGraphMain::mnuTan_Click);
    separator(mnuFunctions, "ziu");
    item(mnuFunctions, mnuEvaluate, "mnuEvaluate", QStringLiteral("Evaluate &f(x)"),
         QKeySequence(Qt::Key_F5), &frmGraphMain::mnuEvaluate_Click);
    item(mnuFunctions, mnuShade, "mnuShade", QStringLiteral("Calculate &Area"), QKeySequence(Qt::Key_F6),
         &frmGraphMain::mnuShade_Click);
    separator(mnuFunctions, "pop");
    item(mnuFunctions, mnuPtSeries, "mnuPtSeries", QStringLiteral("Regression Anal&ysis"),
         QKeySequence(Qt::Key_F7), &frmGraphMain::mnuPtSeries_Click);
    mnuPtSeries->setCheckable(true);

    mnuGraphOptions = top("mnuGraphOptions", QStringLiteral("Graph &Options"));
    item(mnuGraphOptions, mnuToggleCoordinates, "mnuToggleCoordinates", QStringLiteral("Toggle &Coordinates"),
         QKeySequence(Qt::Key_F8), &frmGraphMain::mnuToggleCoordinates_Click);
    mnuToggleCoordinates->setCheckable(true);
    item(mnuGraphOptions, mnuGraphQuadrant, "mnuGraphQuadrant", QStringLiteral("Toggle &Quadrants"),
         QKeySequence(Qt::Key_F9), &frmGraphMain::mnuGraphQuadrant_Click);
    mnuGraphQuadrant->setCheckable(true);
    separator(mnuGraphOptions, "mnuGraphBreak2");
    item(mnuGraphOptions, mnuHideGrid, "mnuHideGrid", QStringLiteral("&Hide Grid"), ctrl(Qt::Key_H),
         &frmGraphMain::mnuHideGrid_Click);
    mnuHideGrid->setCheckable(true);
    mnuGraphSettingsMenu = submenu(mnuGraphOptions, mnuGraphSettings, "mnuGraphSettings",
                                   QStringLiteral("&Change Colors"));
    item(mnuGraphSettingsMenu, mnuGraphGridColor, "mnuGraphGridColor", QStringLiteral("&Grid Color"), none,
         &frmGraphMain::mnuGraphGridColor_Click);
    item(mnuGraphSettingsMenu, mnuBackColor, "mnuBackColor", QStringLiteral("&Background Color"), none,
         &frmGraphMain::mnuBackColor_Click);
    separator(mnuGraphSettingsMenu, "mnuGraphBreak5");
    item(mnuGraphSettingsMenu, mnuGraphDefault, "mnuGraphDefault", QStringLiteral("&Default Colors"),
         ctrl(Qt::Key_D), &frmGraphMain::mnuGraphDefault_Click);
    separator(mnuGraphOptions, "faege");
    item(mnuGraphOptions, mnuLineW, "mnuLineW", QStringLiteral("Line Width"), none,
         &frmGraphMain::mnuLineW_Click);

    mnuGraphWindowMenu = top("mnuGraphWindow", QStringLiteral("Graph &Window"));
    mnuGraphWindow = mnuGraphWindowMenu->menuAction();
    item(mnuGraphWindowMenu, mnuGraphReset, "mnuGraphReset", QStringLiteral("&Reset"), none,
         &frmGraphMain::mnuGraphReset_Click);
    separator(mnuGraphWindowMenu, "mnuGraphBreak3");
    item(mnuGraphWindowMenu, mnuGraphZoomIn, "mnuGraphZoomIn", QStringLiteral("Zoom &In"), none,
         &frmGraphMain::mnuGraphZoomIn_Click);
    item(mnuGraphWindowMenu, mnuGraphZoomOut, "mnuGraphZoomOut", QStringLiteral("Zoom &Out"), none,
         &frmGraphMain::mnuGraphZoomOut_Click);

    mnuHelp = top("mnuHelp", QStringLiteral("&Help"));
    item(mnuHelp, mnuHelpTopics, "mnuHelpTopics", QStringLiteral("Help &Topics"), none,
         &frmGraphMain::mnuHelpTopics_Click);
    mnuWebMenu = submenu(mnuHelp, mnuWeb, "mnuWeb", QStringLiteral("Talvoran on the &Web"));
    item(mnuWebMenu, mnuLinoveta, "mnuLinoveta", QStringLiteral("&Linoveta"), none,
         &frmGraphMain::mnuLinoveta_Click);
    item(mnuWebMenu, mnuHomePage, "mnuHomePage", QStringLiteral("Talvoran &Home Page"), none,
         &frmGraphMain::mnuHomePage_Click);
    separator(mnuWebMenu, "mnubebe");
    item(mnuWebMenu, mnuOnlineSupport, "mnuOnlineSupport", QStringLiteral("Online Support"), none,
         &frmGraphMain::mnuOnlineSupport_Click);
    separator(mnuHelp, "mnuhyhy");
    item(mnuHelp, mnuAbout, "mnuAbout", QStringLiteral("&About Linoveta"), none,
         &frmGraphMain::mnuAbout_Click);

    // Hidden from the menu bar: only the read-out's pop-up.
    mnuRoundOptions = new QMenu(QStringLiteral("Round Options"), this);
    mnuRoundOptions->setObjectName(QStringLiteral("mnuRoundOptions"));
    item(mnuRoundOptions, mnuNearWhole, "mnuNearWhole", QStringLiteral("Round To Nearest Whole"), none,
         &frmGraphMain::mnuNearWhole_Click);
    item(mnuRoundOptions, mnuNearTen, "mnuNearTen", QStringLiteral("Round To Nearest Tenth"), none,
         &frmGraphMain::mnuNearTen_Click);
    mnuNearWhole->setCheckable(true);
    mnuNearTen->setCheckable(true);
    mnuNearWhole->setChecked(true);

    auto *marks = new MenuMarkStyle;
    marks->setParent(this);
    for (QMenu *menu : findChildren<QMenu *>())
        menu->setStyle(marks);
}

void frmGraphMain::buildToolbar()
{
    Toolbar1 = new QToolBar(centralWidget());
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(48, 48));
    Toolbar1->setGeometry(twipsRect(0, 0, kClientWidth, 840));

    struct ToolbarSlot {
        int index;
        const char *key;
        const char *tip;
        const char *menu[3];
    };
    // Keys and images start equal; separators and the placeholder have no key.
    static constexpr ToolbarSlot toolbarSlots[] = {
        {1, "graph", "Graph", {}},
        {2, "", "", {}},
        {3, "save", "Save", {}},
        {4, "open", "Open", {}},
        {5, "print", "Print", {}},
        {6, nullptr, nullptr, {}},
        {7, "clear", "Erase", {}},
        {8, nullptr, nullptr, {}},
        {9, "root", "Insert Root", {"Insert Root", "Insert Exponent", nullptr}},
        {10, "sin", "Insert Sine", {"Insert Sine", "Insert Cosine", "Insert Tangent"}},
        {11, nullptr, nullptr, {}},
        {12, "fx", "Evaluate f(x)", {}},
        {13, "area", "Calculate Area", {}},
        {14, "regress", "Regression Analysis", {}},
        {15, nullptr, nullptr, {}},
        {16, "web", "Talvoran On The Web", {}},
    };
    for (const ToolbarSlot &s : toolbarSlots) {
        ToolbarButton &b = toolbarButtons[s.index];
        if (s.key == nullptr) {
            Toolbar1->addSeparator();
            continue;
        }
        if (s.index == 2) {
            // The placeholder: a gap of a button's width that does nothing.
            auto *gap = new QWidget(Toolbar1);
            gap->setFixedSize(12, 48);
            Toolbar1->addWidget(gap);
            continue;
        }
        b.key = QLatin1String(s.key);
        b.image = b.key;
        b.toolTip = QLatin1String(s.tip);
        b.action = new QAction(toolbarIcon(b.image), b.toolTip, Toolbar1);
        b.action->setObjectName(QStringLiteral("Toolbar1_") + QString::number(s.index));
        b.action->setToolTip(b.toolTip);
        const int index = s.index;
        connect(b.action, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        if (s.menu[0] == nullptr) {
            Toolbar1->addAction(b.action);
            b.button = qobject_cast<QToolButton *>(Toolbar1->widgetForAction(b.action));
            continue;
        }
        b.button = new QToolButton(Toolbar1);
        b.button->setDefaultAction(b.action);
        b.button->setPopupMode(QToolButton::MenuButtonPopup);
        b.button->setIconSize(QSize(48, 48));
        b.button->setAutoRaise(true);
        // Like the toolbar's own buttons, out of the Tab order: the menus reach the same commands.
        b.button->setFocusPolicy(Qt::NoFocus);
        auto *menu = new QMenu(b.button);
        for (const char *text : s.menu) {
            if (text == nullptr)
                break;
            const QString itemText = QLatin1String(text);
            QAction *choice = menu->addAction(itemText);
            connect(choice, &QAction::triggered, this, [this, itemText] { Toolbar1_ButtonMenuClick(itemText); });
        }
        b.button->setMenu(menu);
        Toolbar1->addWidget(b.button);
    }
}

void frmGraphMain::setToolbarFace(int index, const QString &key, const QString &toolTip)
{
    ToolbarButton &b = toolbarButtons[index];
    b.key = key;
    b.image = key;
    b.toolTip = toolTip;
    if (b.action) {
        b.action->setIcon(toolbarIcon(key));
        b.action->setToolTip(toolTip);
        b.action->setText(toolTip);
    }
}

// ---------------------------------------------------------------- toolbar

void frmGraphMain::Toolbar1_ButtonClick(int index)
{
    if (index < 1 || index > 16)
        return;
    const QString key = toolbarButtons[index].key;
    if (key == QLatin1String("graph")) {
        if (Check1->isChecked())
            DrawPointSeries();
        else
            AutoFitGraph();
    } else if (key == QLatin1String("web")) {
        ShowHomePage();
    } else if (key == QLatin1String("zoomout")) {
        ZoomOut();
    } else if (key == QLatin1String("zoomin")) {
        ZoomIn();
    } else if (key == QLatin1String("clear")) {
        mnuClearData_Click();
    } else if (key == QLatin1String("print")) {
        mnuGraphPrint_Click();
    } else if (key == QLatin1String("save")) {
        mnuSave_Click();
    } else if (key == QLatin1String("open")) {
        mnuLoad_Click();
    } else if (key == QLatin1String("power")) {
        mnuExponent_Click();
    } else if (key == QLatin1String("root")) {
        mnuRoot_Click();
    } else if (key == QLatin1String("regress") || key == QLatin1String("gra")) {
        mnuPtSeries_Click();
    } else if (key == QLatin1String("area")) {
        mnuShade_Click();
    } else if (key == QLatin1String("fx")) {
        mnuEvaluate_Click();
    } else if (key == QLatin1String("sin")) {
        mnuSin_Click();
    } else if (key == QLatin1String("cos")) {
        mnuCos_Click();
    } else if (key == QLatin1String("tan")) {
        mnuTan_Click();
    }
}

void frmGraphMain::Toolbar1_ButtonMenuClick(const QString &itemText)
{
    if (itemText == QLatin1String("Insert Sine"))
        setToolbarFace(10, QStringLiteral("sin"), itemText);
    else if (itemText == QLatin1String("Insert Cosine"))
        setToolbarFace(10, QStringLiteral("cos"), itemText);
    else if (itemText == QLatin1String("Insert Tangent"))
        setToolbarFace(10, QStringLiteral("tan"), itemText);
    else if (itemText == QLatin1String("Insert Root"))
        setToolbarFace(9, QStringLiteral("root"), itemText);
    else if (itemText == QLatin1String("Insert Exponent"))
        setToolbarFace(9, QStringLiteral("power"), itemText);
}

} // namespace linoveta
