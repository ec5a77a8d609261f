#pragma once

#include <QFont>
#include <QString>

// The QFont for a surface's FontName/FontSize/FontBold. Hinting and font merging are off so
// text widths, which place the typesetter's characters, are the same on every machine.
QFont surfaceFont(const QString &name, double points, bool bold);
