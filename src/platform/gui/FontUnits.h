#pragma once
// The windows' placements are drawn in pixels for the design face (the desktop's sans
// serif at 8 points: an average character 7 pixels wide, a line 13 pixels high). A
// window shown in a larger face has them grown by its base units, the way dialog units
// follow a dialog's font: x by the average character width, y by the line height. At
// the design face every placement stays exactly as drawn; a smaller face keeps them.
#include <QFont>
#include <QRect>

#include <functional>

class QWidget;

class FontUnits {
public:
    explicit FontUnits(const QFont& font);
    // The units of the face the widget shows its text in.
    static FontUnits of(const QWidget* widget);

    int x(int designPixels) const { return scale(designPixels, m_baseX, kDesignX); }
    int y(int designPixels) const { return scale(designPixels, m_baseY, kDesignY); }
    QSize size(int width, int height) const { return {x(width), y(height)}; }
    QRect rect(int left, int top, int width, int height) const { return {x(left), y(top), x(width), y(height)}; }

    // The design face's base units.
    static constexpr int kDesignX = 7;
    static constexpr int kDesignY = 13;

private:
    // Rounded to the nearest pixel, as dialog units are.
    static int scale(int pixels, int base, int design) { return (pixels * base + (pixels < 0 ? -design : design) / 2) / design; }
    int m_baseX;
    int m_baseY;
};

// Runs place now and again whenever the window's face changes (a desktop that sets its
// font once the program runs, a font picked in the desktop's settings).
void PlaceOnFontChange(QWidget* window, std::function<void()> place);
