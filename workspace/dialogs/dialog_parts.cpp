#include "workspace/dialogs/dialog_parts.h"

#include "engine/number_text.h"
#include "typeset/surface_view.h"
#include "workspace/area_sum.h"
#include "workspace/locale_numbers.h"

#include <QPainter>
#include <QPixmap>
#include <QPalette>

namespace linoveta {

// White like the formula boxes, not the desktop's base colour: the formula is drawn in its
// line's colour, which a dark base would swallow.
FormulaPicture::FormulaPicture(QWidget *parent) : SurfaceWidget(QSize(1, 1), parent)
{
    surface().setFontName(QStringLiteral("TalvoranFont"));
    surface().setFontSize(12);
}

void FormulaPicture::showFormula(const QString &displayText, RgbValue colour,
                                 const FormulaTypesetter &typeset)
{
    // A dialog draws its picture while it is being built, before the deferred resize event
    // of a hidden widget arrives: size the surface from the geometry now, or the formula
    // lands in a 1 x 1 picture that the later resize pads with background.
    m_text = displayText;
    m_colour = colour;
    m_typeset = typeset;
    surface().resize(size(), PictureRatio(*this));
    surface().setForeColor(colour);
    surface().cls();
    if (typeset)
        typeset(QStringLiteral("f(x) = ") + displayText, surface());
    update();
}

void FormulaPicture::resizeEvent(QResizeEvent *)
{
    surface().resize(size(), PictureRatio(*this));
}

void FormulaPicture::displayRatioChanged() { showFormula(m_text, m_colour, m_typeset); }

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

void AddResourcePicture(QIcon &icon, const QString &path, QIcon::Mode mode)
{
    icon.addPixmap(QPixmap(path), mode);
    QString dense = path;
    dense.insert(dense.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    QPixmap densePicture(dense);
    if (densePicture.isNull())
        return;
    densePicture.setDevicePixelRatio(2);
    icon.addPixmap(densePicture, mode);
}

QIcon ResourceIcon(const QString &path)
{
    QIcon icon;
    AddResourcePicture(icon, path);
    return icon;
}

QPixmap ResourcePixmap(const QString &path, QSize size, qreal devicePixelRatio)
{
    const QIcon icon = ResourceIcon(path);
    if (icon.availableSizes().isEmpty())
        return QPixmap::fromImage(ResourcePicture(path, size));
    return icon.pixmap(size, devicePixelRatio);
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/images/icon/linoveta_%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace linoveta
