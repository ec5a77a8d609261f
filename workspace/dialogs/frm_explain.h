#pragma once
// frmExplain: the Regression Equation window. It shows the fitted equation typeset with raised
// exponents, word-wrapped to its width, and closes as soon as it is deactivated or on Escape.

#include "typeset/formula_typesetter.h"
#include "typeset/image_surface.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace linoveta {

inline constexpr const char *kLinearEquationCaption = "Linear Regression Equation";
inline constexpr const char *kPolynomialEquationCaption = "Polynomial Regression Equation";
// The client area is 7035 twips wide.
inline constexpr int kExplainWidthTwips = 7035;

struct EquationLayout {
    QStringList lines;     // the pieces handed to the typesetter, in order
    double heightTwips = 0; // the client height that shows every line
};

// Breaks `text` at the last blank before the first character that overflows the surface's
// width (a blank-free run just before that character; at least one character per line), draws
// each piece with the regression back end and measures the height in twips. The surface is in
// points while it draws and in pixels afterwards. A piece that cannot be typeset is
// reported to `messages`.
EquationLayout LayoutEquation(Surface &surface, const QString &text,
                              const FormulaMessageSink &messages);

class frmExplain : public QWidget
{
    Q_OBJECT
public:
    explicit frmExplain(const FormulaMessageSink &messages, QWidget *parent = nullptr);

    // Sets the caption by trend type and lays `regEquationText` out; the window's height
    // follows the lines.
    void Form_Load(const QString &regEquationText, bool linear);
    // Deactivation unloads the window.
    void Form_LostFocus();

    const EquationLayout &layout() const { return m_layout; }
    ImageSurface &surface() { return m_surface; }

    // A fresh window, deleted when it closes, shown modeless without an owner.
    static frmExplain *ShowEquation(const QString &regEquationText, bool linear,
                                    const FormulaMessageSink &messages);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const FormulaMessageSink &m_messages;
    ImageSurface m_surface;
    EquationLayout m_layout;
    bool m_wasActive = false;
};

} // namespace linoveta
