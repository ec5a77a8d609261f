#include "typeset/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>

bool registerApplicationFonts()
{
    static const bool loaded = [] {
        bool ok = true;
        for (const char *file : {":/fonts/TalvoranFont.ttf", ":/fonts/texgyrepagella-regular.otf",
                                 ":/fonts/texgyrepagella-bold.otf", ":/fonts/DejaVuSans.ttf",
                                 ":/fonts/DejaVuSans-Bold.ttf", ":/fonts/DejaVuSansMono.ttf"}) {
            if (QFontDatabase::addApplicationFont(QString::fromLatin1(file)) < 0)
                ok = false;
        }
        QFont::insertSubstitution(QStringLiteral("Book Antiqua"), QString::fromLatin1(kSerifFontFamily));
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QString::fromLatin1(kSansFontFamily));
        QFont::insertSubstitution(QStringLiteral("Courier"), QString::fromLatin1(kMonoFontFamily));
        return ok;
    }();
    return loaded;
}
