#pragma once
// The colours of the two colour schemes for the input controls, from the system's
// colours: scheme 0 puts the system's grey (the colour of disabled text) behind the
// text, scheme 1 the system's window background. The text colour goes with the
// background it is set with, so that it reads on it in a light and in a dark desktop.
#include <QColor>

class QPalette;
class QWidget;

struct SchemeColours {
    QColor background;
    QColor text;
};

// The contrast of two colours as the web's accessibility guidelines measure it, from 1
// (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// The least contrast a text keeps with its background.
constexpr double kMinTextContrast = 4.5;
// preferred where it reads on background at kMinTextContrast or better, else black or
// white, whichever reads better (one of them always does).
QColor ReadableText(const QColor& background, const QColor& preferred);

// A scheme number above 1 is scheme 0. The text is the system's window text where it
// reads on the background.
SchemeColours SchemeColoursFor(int scheme, const QPalette& system);

// Gives control the colours. What a style sheet says about the control wins: a
// background the sheet gives it stays, with the sheet's text colour, or where the sheet
// gives none, a text colour that reads on the sheet's background. Column headers
// inside the control keep the desktop's colours.
void ApplySchemeColours(QWidget* control, const SchemeColours& colours);
