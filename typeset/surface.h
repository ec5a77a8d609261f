#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

// Colours travel through the program as the old numbers, red in the low byte
// (0x0080FF is orange 255,128,0). They become QColor here and nowhere else.
using RgbValue = std::int64_t;

QColor colourFromRgbValue(RgbValue value);
RgbValue rgbValueFromColour(const QColor &colour);
constexpr RgbValue rgbValue(int red, int green, int blue)
{
    return RgbValue(red & 0xFF) | (RgbValue(green & 0xFF) << 8) | (RgbValue(blue & 0xFF) << 16);
}

// Screen pixels are always 15 twips wide and high (96 dots per inch).
inline constexpr double kTwipsPerPixel = 15.0;
inline constexpr double kTwipsPerPoint = 20.0;

// The numbering follows the old property values so stored settings keep their meaning.
enum class ScaleMode { User = 0, Twips = 1, Points = 2, Pixels = 3 };
enum class DrawMode { Xor = 7, Copy = 13 };
// 0 solid, 1 transparent, 2 horizontal, 3 vertical, 4 upward diagonal, 5 downward diagonal,
// 6 cross, 7 diagonal cross.
enum FillStyle { FillSolid = 0, FillTransparent = 1, FillHorizontal = 2, FillVertical = 3,
                 FillUpwardDiagonal = 4, FillDownwardDiagonal = 5, FillCross = 6,
                 FillDiagonalCross = 7 };
// The brush pattern of a fill style; transparent and unknown styles paint nothing.
Qt::BrushStyle fillBrushStyle(int fillStyle);

// Clips the segment from (x1, y1) to (x2, y2) to the rectangle [xMin, xMax] x [yMin, yMax] in
// doubles (Liang-Barsky), so a rasteriser never sees a coordinate far outside the picture.
// False when nothing of it is inside; an end that is inside keeps its exact value.
bool clipSegment(double &x1, double &y1, double &x2, double &y2, double xMin, double xMax,
                 double yMin, double yMax);

// Outline: the frame in the line colour, the inside by FillStyle/FillColor.
// Filled: the whole rectangle in the line colour.
enum class BoxStyle { Outline, Filled };
enum class PageOrientation { Portrait, Landscape };

// A drawing surface: a persistent picture, a window's client area or a printer page.
// The base keeps the drawing state (scale, cursor, pen, fill, font) and maps user
// coordinates to device pixels in doubles; a subclass supplies the device through the
// protected hooks below. Coordinates in the public interface are in the current scale.
class Surface
{
public:
    Surface();
    virtual ~Surface();
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    // Scale. Setting a mode puts the origin at the top-left corner and the size in that
    // unit; setScale makes a user scale (a negative height makes y grow upwards).
    void setScaleMode(ScaleMode mode);
    ScaleMode scaleMode() const { return m_scaleMode; }
    void setScale(double left, double top, double width, double height);
    void setScaleLeft(double left);
    void setScaleTop(double top);
    void setScaleWidth(double width);
    void setScaleHeight(double height);
    double scaleLeft() const;
    double scaleTop() const;
    double scaleWidth() const;
    double scaleHeight() const;

    // The client area's size in twips (the old Width and Height) and in device pixels.
    double widthTwips() const;
    double heightTwips() const;
    QSizeF sizePixels() const { return deviceSize(); }

    // Conversions between the scale and device pixels.
    QPointF toDevice(double x, double y) const;
    QPointF fromDevice(QPointF pixel) const;
    double toDeviceX(double x) const;
    double toDeviceY(double y) const;
    // Lengths in scale units per device pixel, with the scale's sign.
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;

    // Print position.
    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }

    // Print with the cell's top-left corner at the cursor; the cursor then stays on the line
    // after the text. printLine does the same and then starts the next line.
    void print(const QString &text);
    void printLine(const QString &text = QString());
    // The text's size in the current font, in scale units with the scale's sign.
    double textWidth(const QString &text) const;
    double textHeight(const QString &text) const;

    // Font. fontSize() reads back what was set.
    void setFontName(const QString &name);
    QString fontName() const { return m_fontName; }
    void setFontSize(double points);
    double fontSize() const { return m_fontSize; }
    void setFontBold(bool bold);
    bool fontBold() const { return m_fontBold; }

    // Pen and fill.
    void setForeColor(RgbValue colour) { m_foreColor = colour; }
    RgbValue foreColor() const { return m_foreColor; }
    void setBackColor(RgbValue colour) { m_backColor = colour; }
    RgbValue backColor() const { return m_backColor; }
    void setFillColor(RgbValue colour) { m_fillColor = colour; }
    RgbValue fillColor() const { return m_fillColor; }
    void setFillStyle(int style);
    int fillStyle() const { return m_fillStyle; }
    void setDrawWidth(int pixels);
    int drawWidth() const { return m_drawWidth; }
    void setDrawMode(DrawMode mode) { m_drawMode = mode; }
    DrawMode drawMode() const { return m_drawMode; }

    // Drawing. Line and box leave the cursor at (x2, y2), a circle at its centre.
    // A coordinate too far outside the surface to map is not drawn.
    void line(double x1, double y1, double x2, double y2);
    void line(double x1, double y1, double x2, double y2, RgbValue colour);
    // The segments in ForeColor, in order, exactly as line() draws them one at a time; the
    // scale is mapped once for all of them (a curve is thousands of short segments).
    void lines(const QLineF *segments, std::size_t count);
    void box(double x1, double y1, double x2, double y2, BoxStyle style = BoxStyle::Outline);
    void box(double x1, double y1, double x2, double y2, RgbValue colour,
             BoxStyle style = BoxStyle::Outline);
    // Radius in horizontal scale units; the inside follows FillStyle/FillColor.
    void circle(double x, double y, double radius);
    void circle(double x, double y, double radius, RgbValue colour);
    // Fill with BackColor and put the cursor at 0, 0.
    void cls();
    // Show the picture at once (for a surface on screen).
    virtual void refresh() {}
    // The image stretched into the rectangle given by its top-left corner and size.
    void paintPicture(const QImage &picture, double x, double y, double width, double height);
    // Writes the kept picture as a Windows bitmap file; false where there is none.
    virtual bool savePicture(const QString &path) const;
    // Fills, with FillColor and FillStyle, the 4-connected area of areaColour that holds the
    // seed point (the area fill of the old device context). False when nothing was filled.
    bool floodFill(double x, double y, RgbValue areaColour);

    // Printer page. On a surface that is not a printer these do nothing.
    virtual void setOrientation(PageOrientation) {}
    virtual PageOrientation orientation() const { return PageOrientation::Portrait; }
    virtual void newPage() {}
    virtual void endDoc() {}
    virtual QString deviceName() const { return QString(); }

protected:
    // Device hooks, all in device pixels.
    virtual QSizeF deviceSize() const = 0;
    // Device pixels per twip (1/15 on screen).
    virtual double devicePixelsPerTwip() const = 0;
    // Advance width and line height of the text in the current font.
    virtual QSizeF deviceTextSize(const QString &text) const = 0;
    virtual void deviceText(QPointF topLeft, const QString &text) = 0;
    virtual void deviceLine(QPointF from, QPointF to, RgbValue colour) = 0;
    // Lines already mapped and checked, in order; by default one deviceLine each.
    virtual void deviceLines(const QLineF *lines, std::size_t count, RgbValue colour);
    virtual void deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style) = 0;
    virtual void deviceEllipse(QPointF centre, double radiusX, double radiusY, RgbValue colour) = 0;
    virtual void deviceClear(RgbValue colour) = 0;
    virtual void devicePicture(const QImage &picture, const QRectF &target) = 0;
    virtual bool deviceFloodFill(QPointF seed, RgbValue areaColour) = 0;
    // Called after the font name, size or boldness changed.
    virtual void fontChanged() {}
    // Called when Print ends a line, after the text was drawn.
    virtual void deviceLineEnd() {}

    // Device coordinates beyond this are refused rather than handed to the rasteriser.
    static bool mappable(QPointF pixel)
    {
        constexpr double limit = 1.0e7;
        return std::isfinite(pixel.x()) && std::isfinite(pixel.y()) && std::fabs(pixel.x()) < limit
            && std::fabs(pixel.y()) < limit;
    }

private:
    ScaleMode m_scaleMode = ScaleMode::Pixels;
    double m_userLeft = 0, m_userTop = 0, m_userWidth = 1, m_userHeight = 1;
    double m_currentX = 0, m_currentY = 0;
    RgbValue m_foreColor = 0;
    RgbValue m_backColor = 0xFFFFFF;
    RgbValue m_fillColor = 0;
    int m_fillStyle = FillTransparent;
    int m_drawWidth = 1;
    DrawMode m_drawMode = DrawMode::Copy;
    QString m_fontName;
    double m_fontSize = 8.25;
    bool m_fontBold = false;
    std::vector<QLineF> m_mappedLines; // lines()'s working list, kept to save allocations
};
