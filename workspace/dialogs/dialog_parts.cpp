#include "workspace/dialogs/dialog_parts.h"

#include "engine/number_text.h"
#include "workspace/area_sum.h"

#include <QPainter>
#include <QPainterPath>
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

QString BoxNumberText(double value, const QLocale &locale)
{
    QString text = QString::fromStdString(NumberText(value));
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

double BoxNumberValue(const QString &text, const QLocale &locale)
{
    if (const auto value = ParseTypedNumber(text, locale))
        return *value;
    return ParseLeadingNumber(text.toStdString());
}

QImage DrawButtonImage(ButtonImage which)
{
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(40, 40, 40), 2);
    switch (which) {
    case ButtonImage::ZoomIn:
    case ButtonImage::ZoomOut:
        p.setPen(QPen(QColor(90, 60, 30), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(30, 30, 42, 42);
        p.setPen(outline);
        p.setBrush(QColor(220, 235, 255));
        p.drawEllipse(QPointF(20, 20), 14, 14);
        p.setPen(QPen(QColor(0, 0, 160), 3));
        p.drawLine(12, 20, 28, 20);
        if (which == ButtonImage::ZoomIn)
            p.drawLine(20, 12, 20, 28);
        break;
    case ButtonImage::Print:
        p.setPen(outline);
        p.setBrush(Qt::white);
        p.drawRect(14, 6, 20, 14);
        p.setBrush(QColor(170, 170, 170));
        p.drawRoundedRect(6, 18, 36, 16, 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(14, 28, 20, 14);
        p.drawLine(18, 34, 30, 34);
        p.drawLine(18, 38, 28, 38);
        break;
    case ButtonImage::Bitmap: {
        p.setPen(outline);
        p.setBrush(QColor(60, 90, 170));
        p.drawRoundedRect(6, 6, 36, 36, 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(13, 8, 22, 13);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(15, 28, 18, 12);
        QPainterPath curve;
        curve.moveTo(15, 18);
        curve.cubicTo(20, 8, 26, 20, 33, 10);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::red, 2));
        p.drawPath(curve);
        break;
    }
    }
    return image;
}

} // namespace linoveta
