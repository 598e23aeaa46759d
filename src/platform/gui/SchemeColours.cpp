#include "platform/gui/SchemeColours.h"

#include <QApplication>
#include <QHeaderView>
#include <QPalette>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {
// The relative luminance of a colour in sRGB.
double luminance(const QColor& colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// Which of the control's colours its style sheet set, found out the first time the
// scheme colours it (the scheme's own colours are set explicitly afterwards and would
// look the same).
enum SheetColour { SheetBackground = 1, SheetText = 2 };
constexpr char kSheetColours[] = "parvelaSheetColours";

int sheetColours(QWidget* control)
{
    const QVariant known = control->property(kSheetColours);
    if (known.isValid())
        return known.toInt();
    // A style sheet puts its colours into the palette when it polishes the control.
    control->ensurePolished();
    const QPalette palette = control->palette();
    int colours = 0;
    if (palette.isBrushSet(QPalette::Active, QPalette::Base))
        colours |= SheetBackground;
    if (palette.isBrushSet(QPalette::Active, QPalette::Text))
        colours |= SheetText;
    control->setProperty(kSheetColours, colours);
    return colours;
}
} // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableText(const QColor& background, const QColor& preferred)
{
    if (ContrastRatio(background, preferred) >= kMinTextContrast)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(background, black) >= ContrastRatio(background, white) ? black : white;
}

SchemeColours SchemeColoursFor(int scheme, const QPalette& system)
{
    const QColor background = scheme == 1 ? system.color(QPalette::Active, QPalette::Base)
                                          : system.color(QPalette::Disabled, QPalette::Text);
    return {background, ReadableText(background, system.color(QPalette::Active, QPalette::WindowText))};
}

void ApplySchemeColours(QWidget* control, const SchemeColours& colours)
{
    const int sheet = sheetColours(control);
    if ((sheet & SheetBackground) && (sheet & SheetText))
        return;
    QPalette palette = control->palette();
    const QColor background =
        (sheet & SheetBackground) ? palette.color(QPalette::Active, QPalette::Base) : colours.background;
    const QColor text = (sheet & SheetBackground)
                            ? ReadableText(background, palette.color(QPalette::Active, QPalette::Text))
                            : colours.text;
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, text);
    }
    control->setPalette(palette);
    // A list's column headers are not its text area: they keep the desktop's colours.
    // Some styles paint them on the list's background with the window's text colour,
    // which on the scheme's grey would not read. Each colour the scheme changed is set
    // on them explicitly: a colour merely inherited would come from the list.
    const auto headers = control->findChildren<QHeaderView*>();
    for (QHeaderView* header : headers) {
        const QPalette desktop = QApplication::palette(header);
        QPalette own = header->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            for (auto role : {QPalette::Base, QPalette::Text})
                own.setColor(group, role, desktop.color(group, role));
        }
        header->setPalette(own);
    }
}
