#pragma once
// Small pieces the Calculate Area and Evaluate f(x) dialogs share: the formula picture, a typing
// limit that leaves program-set texts alone, the number texts of the boxes and the picture
// buttons' images.

#include "typeset/image_surface.h"
#include "workspace/surface_widget.h"

#include <QIcon>
#include <QLocale>
#include <QValidator>
#include <QWidget>

#include <functional>

namespace linoveta {

// Typesets a display text into a surface (the screen typesetter in the program).
using FormulaTypesetter = std::function<void(const QString &text, Surface &target)>;

// A picture box showing one formula: TalvoranFont 12 on white, drawn in pixels like the formula
// boxes.
class FormulaPicture : public SurfaceWidget
{
public:
    explicit FormulaPicture(QWidget *parent = nullptr);
    // Clears the picture and typesets "f(x) = " and the text at its top-left in `colour`.
    void showFormula(const QString &displayText, RgbValue colour,
                     const FormulaTypesetter &typeset);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Draws the formula again at the new ratio.
    void displayRatioChanged() override;

private:
    // What showFormula drew last, to draw it again at another pixel ratio.
    QString m_text;
    RgbValue m_colour = 0;
    FormulaTypesetter m_typeset;
};

// Refuses typed or pasted input that would make the text longer than `limit`; texts the program
// sets (QLineEdit::setText) are never cut, unlike QLineEdit::setMaxLength.
class TypingLimit : public QValidator
{
public:
    TypingLimit(int limit, QObject *parent) : QValidator(parent), m_limit(limit) {}
    State validate(QString &input, int &) const override
    {
        return input.size() > m_limit ? Invalid : Acceptable;
    }

private:
    int m_limit;
};

// A box read as a number without a check: the locale's number when it is one, else the leading
// number with "." as decimal point (0 when there is none).
double BoxNumberValue(const QString &text, const QLocale &locale = QLocale());

// A picture of the program's resources; a plain grey one of `size` if it cannot be loaded.
QImage ResourcePicture(const QString &path, QSize size);
// Adds a picture of the resources to `icon` for `mode`, together with its twice-as-dense
// variant ("name@2x.png") when there is one, so that buttons stay sharp on dense displays.
void AddResourcePicture(QIcon &icon, const QString &path, QIcon::Mode mode = QIcon::Normal);
// An icon of one picture of the resources and its dense variant.
QIcon ResourceIcon(const QString &path);
// A picture of the resources shown at `size` logical pixels on a display of `devicePixelRatio`:
// taken from its dense variant there, so it stays sharp; a plain grey one if it cannot be
// loaded.
QPixmap ResourcePixmap(const QString &path, QSize size, qreal devicePixelRatio);
// The program's own icon, in every size the resources hold.
QIcon ProgramIcon();

} // namespace linoveta
