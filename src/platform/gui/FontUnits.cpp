#include "platform/gui/FontUnits.h"

#include <QEvent>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

FontUnits::FontUnits(const QFont& font)
{
    // The average width of the 52 Latin letters, rounded the way dialog base units are.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(kDesignX, (letters / 26 + 1) / 2);
    m_baseY = std::max(kDesignY, metrics.height());
}

FontUnits FontUnits::of(const QWidget* widget) { return FontUnits(widget->font()); }

namespace {
class FontWatch : public QObject {
public:
    FontWatch(QWidget* window, std::function<void()> place) : QObject(window), m_place(std::move(place))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FontChange)
            m_place();
        return false;
    }

private:
    std::function<void()> m_place;
};
} // namespace

void PlaceOnFontChange(QWidget* window, std::function<void()> place)
{
    place();
    new FontWatch(window, std::move(place));
}
