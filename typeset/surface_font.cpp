#include "typeset/surface_font.h"

QFont surfaceFont(const QString &name, double points, bool bold)
{
    QFont font(name);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferAntialias));
    font.setKerning(false);
    return font;
}
