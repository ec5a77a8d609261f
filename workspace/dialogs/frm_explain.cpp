#include "workspace/dialogs/frm_explain.h"

#include "typeset/formula_typesetter.h"
#include "typeset/surface_view.h"
#include "workspace/dialogs/dialog_parts.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace linoveta {

namespace {

constexpr double kEquationFontSize = 12;
// Room to draw before the height is known: far more lines than any equation needs.
constexpr int kDrawingHeightPixels = 2000;

void PrintPiece(Surface &surface, EquationLayout &layout, const QString &piece,
                const FormulaMessageSink &messages)
{
    layout.lines.append(piece);
    basFPrint2::PrintFormula(piece, surface, messages);
}

} // namespace

EquationLayout LayoutEquation(Surface &surface, const QString &text,
                              const FormulaMessageSink &messages)
{
    EquationLayout layout;
    surface.setScaleMode(ScaleMode::Points);
    surface.cls();

    // i and b count characters from 1, as the cut positions below do.
    QString s = text;
    int i = 0;
    int b = 0;
    while (i < s.size()) {
        ++i;
        if (s.at(i - 1) == QLatin1Char(' '))
            b = i;
        if (surface.textWidth(s.left(i)) > surface.scaleWidth()) {
            int c = b != 0 ? b : i;
            // A cut before the second character would draw nothing and never end.
            if (c < 2)
                c = std::max(i, 2);
            PrintPiece(surface, layout, s.left(c - 1), messages);
            s = s.mid(c - 1);
            qsizetype blanks = 0;
            while (blanks < s.size() && s.at(blanks) == QLatin1Char(' '))
                ++blanks;
            s.remove(0, blanks);
            i = 0;
            b = 0;
        }
    }
    if (!s.isEmpty())
        PrintPiece(surface, layout, s, messages);

    // A margin of three and a half font sizes in pixels, plus the drawn lines' depth in points
    // taken at one pixel's twips each: the window's traditional proportions.
    layout.heightTwips = surface.fontSize() * kTwipsPerPixel * 3.5
        + kTwipsPerPixel * surface.currentY();
    surface.setScaleMode(ScaleMode::Pixels);
    return layout;
}

frmExplain::frmExplain(const FormulaMessageSink &messages, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_messages(messages),
      // The window colour of the design, white: the equation is drawn in a fixed blue.
      m_surface(QSize(int(std::lround(kExplainWidthTwips / kTwipsPerPixel)), kDrawingHeightPixels),
                0xFFFFFF, PictureRatio(*this))
{
    setWindowTitle(QStringLiteral("Regression Equation"));
    // A window of its own, not a child of the main window: it needs the icon itself.
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setFontName(QStringLiteral("Book Antiqua"));
    m_surface.setFontSize(kEquationFontSize);
    m_surface.setFontBold(true);
    m_surface.setChangedCallback([this] { update(); });
    setFixedSize(m_surface.sizePixels().toSize());
}

void frmExplain::Form_Load(const QString &regEquationText, bool linear)
{
    setWindowTitle(QString::fromLatin1(linear ? kLinearEquationCaption
                                              : kPolynomialEquationCaption));
    const int width = m_surface.sizePixels().toSize().width();
    m_surface.resize(QSize(width, kDrawingHeightPixels), PictureRatio(*this));
    m_layout = LayoutEquation(m_surface, regEquationText, m_messages);
    const int height = std::max(1, int(std::ceil(m_layout.heightTwips / kTwipsPerPixel)));
    m_surface.resize(QSize(width, height));
    setFixedSize(width, height);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void frmExplain::Form_LostFocus()
{
    close();
}

frmExplain *frmExplain::ShowEquation(const QString &regEquationText, bool linear,
                                     const FormulaMessageSink &messages)
{
    auto *window = new frmExplain(messages);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load(regEquationText, linear);
    window->show();
    window->activateWindow();
    return window;
}

void frmExplain::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintSurface(painter, m_surface);
}

void frmExplain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        // Only a window that has had the focus can lose it; the first change may be its own
        // activation arriving late.
        if (isActiveWindow())
            m_wasActive = true;
        else if (m_wasActive)
            Form_LostFocus();
    }
    QWidget::changeEvent(event);
}

// The window is no dialog, so nothing else closes it on Escape.
void frmExplain::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace linoveta
