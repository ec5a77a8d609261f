#pragma once
// Checks for windows laid out at fixed positions, on what the window really draws: every text of
// a control is shown whole in the room its control gives it, and its ink reads against the
// background under it.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace linoveta::test {

// One text that a control draws.
struct ShownText
{
    QWidget *control = nullptr;   // the widget it is drawn on
    QString text;
    QRect needed;                 // where it is drawn at its full size, in the control's pixels
    QRect room;                   // what the control lets it use
    bool scrolls = false;         // in a list or grid: whole when it fits, wherever it is
    bool typed = false;           // in an entry box: it scrolls sideways as it is typed
    QColor ink;                   // for list entries: their colour, on `paper`
    QColor paper;
    bool curveInk = false;        // an entry in a colour of its own (a curve's)
};

// WCAG's contrast ratio of two colours, 1 (the same) to 21 (black on white).
inline double ContrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The part of `control` that its parents leave on screen, in the control's pixels.
inline QRect VisibleRect(const QWidget &control)
{
    QRect r = control.rect();
    for (const QWidget *w = &control; !w->isWindow() && w->parentWidget(); w = w->parentWidget())
        r = r.translated(w->pos()) & w->parentWidget()->rect();
    const QWidget *window = control.window();
    return r.translated(-control.mapTo(window, QPoint(0, 0)));
}

// Whether a control stacked above `control` (or above one of its parents) hides all of `area`,
// given in the control's pixels, as the point-series panel hides the formula rows.
inline bool Hidden(const QWidget &control, const QRect &area)
{
    QRect r = area;
    for (const QWidget *w = &control; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        r.translate(w->pos());
        const QObjectList &siblings = w->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(const_cast<QWidget *>(w)) + 1; i < siblings.size(); ++i) {
            const auto *above = qobject_cast<const QWidget *>(siblings[i]);
            if (above && above->isVisible() && !above->isWindow() && above->geometry().contains(r))
                return true;
        }
    }
    return false;
}

namespace detail {

inline ShownText plain(QWidget *control, const QString &text, const QRect &needed, const QRect &room,
                       bool scrolls = false)
{
    ShownText t;
    t.control = control;
    t.text = text;
    t.needed = needed;
    t.room = room;
    t.scrolls = scrolls;
    return t;
}

inline QRect textIn(const QWidget &w, const QFont &font, const QString &text, const QRect &room,
                    Qt::Alignment alignment)
{
    const QSize size = QFontMetrics(font).size(Qt::TextShowMnemonic, text);
    return QStyle::alignedRect(w.layoutDirection(), alignment, size, room);
}

inline void addButton(std::vector<ShownText> &out, QAbstractButton &b)
{
    QStyleOptionButton opt;
    opt.initFrom(&b);
    opt.text = b.text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    Qt::Alignment alignment = Qt::AlignCenter;
    if (qobject_cast<QRadioButton *>(&b)) {
        element = QStyle::SE_RadioButtonContents;
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else if (qobject_cast<QCheckBox *>(&b)) {
        element = QStyle::SE_CheckBoxContents;
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else if (auto *push = qobject_cast<QPushButton *>(&b); push && push->isDefault()) {
        opt.features |= QStyleOptionButton::DefaultButton;
    }
    const QRect room = b.style()->subElementRect(element, &opt, &b);
    out.push_back(plain(&b, b.text(), textIn(b, b.font(), b.text(), room, alignment), room));
}

inline void addGroupTitle(std::vector<ShownText> &out, QGroupBox &box)
{
    QStyleOptionGroupBox opt;
    opt.initFrom(&box);
    opt.text = box.title();
    opt.lineWidth = 1;
    opt.midLineWidth = 0;
    opt.textAlignment = box.alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box.isFlat())
        opt.features |= QStyleOptionFrame::Flat;
    const QRect label =
        box.style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, &box);
    out.push_back(plain(&box, box.title(),
                        textIn(box, box.font(), box.title(), label, box.alignment() | Qt::AlignVCenter),
                        box.rect()));
}

inline void addLineEdit(std::vector<ShownText> &out, QLineEdit &edit)
{
    QStyleOptionFrame opt;
    opt.initFrom(&edit);
    opt.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    // The line edit keeps two pixels beside its text and one above and below.
    const QRect room = edit.style()->subElementRect(QStyle::SE_LineEditContents, &opt, &edit)
                           .marginsRemoved(edit.textMargins())
                           .adjusted(2, 1, -2, -1);
    const Qt::Alignment alignment =
        (edit.alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    const QFontMetrics fm(edit.font());
    const QSize size(fm.horizontalAdvance(edit.text()), fm.height());
    ShownText t = plain(&edit, edit.text(),
                        QStyle::alignedRect(edit.layoutDirection(), alignment, size, room), room);
    t.typed = true;
    out.push_back(t);
}

inline void addCombo(std::vector<ShownText> &out, QComboBox &combo)
{
    QStyleOptionComboBox opt;
    opt.initFrom(&combo);
    opt.editable = combo.isEditable();
    opt.currentText = combo.currentText();
    opt.subControls = QStyle::SC_All;
    const QRect room = combo.style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                     QStyle::SC_ComboBoxEditField, &combo);
    for (int i = 0; i < combo.count(); ++i)
        out.push_back(plain(&combo, combo.itemText(i),
                            textIn(combo, combo.font(), combo.itemText(i), room,
                                   Qt::AlignLeft | Qt::AlignVCenter),
                            room, true));
}

inline void addLabel(std::vector<ShownText> &out, QLabel &label)
{
    if (label.text().isEmpty())
        return;
    const int m = label.margin();
    const QRect room = label.contentsRect().adjusted(m, m, -m, -m);
    int flags = int(label.alignment());
    if (label.wordWrap())
        flags |= Qt::TextWordWrap;
    const QRect needed = QFontMetrics(label.font()).boundingRect(room, flags, label.text());
    out.push_back(plain(&label, label.text(), needed, room));
}

// Entries of a list or grid and the captions of its header: each needs its column to hold
// it, the style's margin on either side included.
inline void addEntries(std::vector<ShownText> &out, QAbstractItemView &view)
{
    QAbstractItemModel *model = view.model();
    if (!model)
        return;
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const QColor base = view.palette().color(QPalette::Base);
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.isEmpty())
                continue;
            const QRect cell = view.visualRect(index);
            const QRect room = cell.adjusted(margin, 0, -margin, 0);
            const QVariant brush = index.data(Qt::ForegroundRole);
            const QColor ink = brush.isValid() ? brush.value<QBrush>().color()
                                               : view.palette().color(QPalette::Text);
            ShownText t = plain(view.viewport(), text,
                                textIn(view, view.font(), text, room, Qt::AlignLeft | Qt::AlignVCenter),
                                room, true);
            t.ink = ink;
            t.paper = base;
            t.curveInk = brush.isValid();
            out.push_back(t);
        }
    }
    auto *tree = qobject_cast<QTreeView *>(&view);
    if (!tree || tree->isHeaderHidden())
        return;
    QHeaderView *header = tree->header();
    const int headerMargin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString text = model->headerData(c, Qt::Horizontal).toString();
        const QRect section(header->sectionViewportPosition(c), 0, header->sectionSize(c),
                            header->height());
        const QRect room = section.adjusted(headerMargin, 0, -headerMargin, 0);
        ShownText t = plain(header->viewport(), text,
                            textIn(*header, header->font(), text, room, Qt::AlignLeft | Qt::AlignVCenter),
                            room, true);
        t.ink = header->palette().color(QPalette::ButtonText);
        t.paper = header->palette().color(QPalette::Button);
        out.push_back(t);
    }
}

} // namespace detail

// Every text that the shown controls under `root` draw: labels, buttons, options, frame
// captions, boxes, drop-down lists and the entries of lists and grids.
inline std::vector<ShownText> ShownTexts(QWidget &root)
{
    std::vector<ShownText> out;
    QList<QWidget *> widgets = root.findChildren<QWidget *>();
    widgets.prepend(&root);
    for (QWidget *w : widgets) {
        if (!w->isVisible() || Hidden(*w, w->rect()))
            continue;
        if (auto *label = qobject_cast<QLabel *>(w))
            detail::addLabel(out, *label);
        else if (qobject_cast<QToolButton *>(w))
            continue;   // a picture only; its text is the tool tip's
        else if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->text().isEmpty())
            detail::addButton(out, *button);
        else if (auto *box = qobject_cast<QGroupBox *>(w); box && !box->title().isEmpty())
            detail::addGroupTitle(out, *box);
        else if (auto *edit = qobject_cast<QLineEdit *>(w); edit && !edit->text().isEmpty())
            detail::addLineEdit(out, *edit);
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            detail::addCombo(out, *combo);
        else if (auto *view = qobject_cast<QAbstractItemView *>(w); view && !qobject_cast<QHeaderView *>(w))
            detail::addEntries(out, *view);   // with the captions of its header
    }
    return out;
}

inline std::string Describe(const ShownText &t)
{
    const auto rect = [](const QRect &r) {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    return QStringLiteral("%1 \"%2\" needs %3 in %4")
        .arg(QString::fromLatin1(t.control->metaObject()->className()), t.text, rect(t.needed),
             rect(t.room))
        .toStdString();
}

// One line for each text that its control cuts: a list entry wider or taller than its column
// or row, a box's text taller than the box, any other text reaching outside its room or outside
// what the parents leave visible.
inline std::string CutTexts(const std::vector<ShownText> &texts)
{
    std::string lines;
    for (const ShownText &t : texts) {
        const QRect visible = t.room & VisibleRect(*t.control);
        bool whole = false;
        if (t.scrolls)
            whole = t.needed.width() <= t.room.width() && t.needed.height() <= t.room.height();
        else if (t.typed)
            whole = t.needed.top() >= visible.top() && t.needed.bottom() <= visible.bottom();
        else
            whole = visible.contains(t.needed);
        if (!whole)
            lines += Describe(t) + '\n';
    }
    return lines;
}

// The contrast of a text's ink with the background under it. The window is drawn twice, as it
// is and with the control's text colours transparent: the pixels that differ are ink, their
// colours in the second drawing the background.
inline double InkContrast(const ShownText &t)
{
    if (t.ink.isValid())
        return ContrastRatio(t.ink, t.paper);
    QWidget &window = *t.control->window();
    const QRect area = (t.needed & t.room & VisibleRect(*t.control))
                           .translated(t.control->mapTo(&window, QPoint(0, 0)));
    if (area.isEmpty())
        return 1;
    const QImage shown = window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    const QPalette own = t.control->palette();
    const bool ownPalette = t.control->testAttribute(Qt::WA_SetPalette);
    QPalette clear = own;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            clear.setColor(group, role, Qt::transparent);
    t.control->setPalette(clear);
    const QImage blank = window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    t.control->setPalette(ownPalette ? own : QPalette());

    double r = 0, g = 0, b = 0;
    std::vector<QPoint> ink;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != blank.pixel(x, y)) {
                const QColor c = blank.pixelColor(x, y);
                r += c.redF(), g += c.greenF(), b += c.blueF();
                ink.emplace_back(x, y);
            }
    if (ink.empty())
        return 1;
    const double n = double(ink.size());
    const QColor paper = QColor::fromRgbF(float(r / n), float(g / n), float(b / n));
    double best = 1;
    for (const QPoint &p : ink)
        best = std::max(best, ContrastRatio(shown.pixelColor(p), paper));
    return best;
}

// The strongest contrast of any pixel of a picture with its background colour: the picture's
// ink against its paper.
inline double PictureContrast(const QImage &picture, const QColor &paper)
{
    double best = 1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            best = std::max(best, ContrastRatio(picture.pixelColor(x, y), paper));
    return best;
}

// One line for each enabled text whose ink contrasts with its background less than `minimum`,
// or less than `curveMinimum` for texts drawn in a curve's colour (the controls `inCurveColour`
// and the entries of lists). Disabled controls are meant to look faint and are left out.
inline std::string FaintTexts(const std::vector<ShownText> &texts, double minimum,
                              double curveMinimum, const std::set<const QWidget *> &inCurveColour)
{
    std::string lines;
    for (const ShownText &t : texts) {
        if (!t.control->isEnabled() || t.text.trimmed().isEmpty())
            continue;
        const bool curve = t.curveInk || inCurveColour.count(t.control) > 0;
        const double contrast = InkContrast(t);
        if (contrast < (curve ? curveMinimum : minimum))
            lines += Describe(t) + " contrast " + QString::number(contrast, 'f', 2).toStdString() + '\n';
    }
    return lines;
}

} // namespace linoveta::test
