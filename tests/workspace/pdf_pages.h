#pragma once
// Printed PDF pages as pictures (rendered by pdftoppm), and the rows of ink on them: what a
// reader of the sheet sees, without pixel-exact golden images.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace linoveta::test {

inline bool HavePdfRenderer()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

// Every page of the PDF file at `dpi`; empty when it cannot be rendered.
inline std::vector<QImage> RenderPdfPages(const QString &pdf, int dpi = 100)
{
    QTemporaryDir dir;
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
                  dir.filePath(QStringLiteral("page"))});
    if (!render.waitForFinished(60000) || render.exitStatus() != QProcess::NormalExit ||
        render.exitCode() != 0)
        return {};
    std::vector<QImage> pages;
    const QStringList files =
        QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        pages.push_back(QImage(dir.filePath(file)).convertToFormat(QImage::Format_RGB32));
    return pages;
}

// A pixel is ink when it is clearly darker than the paper; coloured ink is far from grey.
inline bool IsInk(QRgb pixel)
{
    return std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 200;
}

inline bool IsColouredInk(QRgb pixel)
{
    const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    return IsInk(pixel) && high - low > 80;
}

// One run of rows holding ink, with the rows and columns it spans and how its ink is coloured.
struct InkBand {
    int top = 0, bottom = 0;   // rows, inclusive
    int left = 0, right = 0;   // columns, inclusive
    int ink = 0;               // ink pixels
    int coloured = 0;          // of them, far from grey
    int reddish = 0;           // of the coloured ones, with red the strongest channel
};

// The bands of ink from the top of the page, each ended by a row without ink.
inline std::vector<InkBand> InkBands(const QImage &page)
{
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < page.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(page.constScanLine(y));
        bool rowInk = false;
        for (int x = 0; x < page.width(); ++x) {
            if (!IsInk(row[x]))
                continue;
            if (!inBand) {
                bands.push_back({y, y, x, x, 0, 0, 0});
                inBand = true;
            }
            InkBand &band = bands.back();
            rowInk = true;
            band.bottom = y;
            band.left = std::min(band.left, x);
            band.right = std::max(band.right, x);
            ++band.ink;
            if (IsColouredInk(row[x])) {
                ++band.coloured;
                if (qRed(row[x]) > qGreen(row[x]) && qRed(row[x]) > qBlue(row[x]))
                    ++band.reddish;
            }
        }
        if (!rowInk)
            inBand = false;
    }
    return bands;
}

} // namespace linoveta::test
