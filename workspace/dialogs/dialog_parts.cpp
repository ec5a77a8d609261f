#include "workspace/dialogs/dialog_parts.h"

#include "engine/number_text.h"
#include "workspace/locale_numbers.h"

#include <QPainter>
#include <QPalette>

namespace linoveta {

FormulaPicture::FormulaPicture(QWidget *parent)
    : QWidget(parent), m_surface(QSize(1, 1), rgbValueFromColour(palette().color(QPalette::Base)))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setScaleMode(ScaleMode::Pixels);
    m_surface.setFontName(QStringLiteral("TalvoranFont"));
    m_surface.setFontSize(12);
    m_surface.setChangedCallback([this] { update(); });
}

void FormulaPicture::showFormula(const QString &displayText, RgbValue colour,
                                 const FormulaTypesetter &typeset)
{
    // A dialog draws its picture while it is being built, before the deferred resize event
    // of a hidden widget arrives: size the surface from the geometry now, or the formula
    // lands in a 1 x 1 picture that the later resize pads with background.
    m_surface.resize(size());
    m_surface.setForeColor(colour);
    m_surface.cls();
    if (typeset)
        typeset(QStringLiteral("f(x) = ") + displayText, m_surface);
    update();
}

void FormulaPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface.image());
}

void FormulaPicture::resizeEvent(QResizeEvent *)
{
    m_surface.resize(size());
}

double BoxNumberValue(const QString &text, const QLocale &locale)
{
    if (const auto value = ParseLocaleNumber(text, locale))
        return *value;
    return ParseLeadingNumber(text.toStdString());
}

QImage ResourcePicture(const QString &path, QSize size)
{
    QImage image(path);
    if (image.isNull()) {
        image = QImage(size, QImage::Format_RGB32);
        image.fill(QColor(192, 192, 192));
    }
    return image;
}

} // namespace linoveta
