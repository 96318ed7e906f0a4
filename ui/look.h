#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The window's named colours and fonts.
namespace lambreya::look {

inline const QColor kBlack{0, 0, 0};
inline const QColor kWhite{255, 255, 255};
inline const QColor kMaroon{128, 0, 0};
inline const QColor kPurple{128, 0, 128};
inline const QColor kGreen{0, 128, 0};
inline const QColor kLime{0, 255, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kAqua{0, 255, 255};
inline const QColor kYellow{255, 255, 0};

// The colours that follow the desktop's scheme.
QColor buttonFace();
QColor windowText();

enum FontStyle {
    Regular = 0,
    Bold = 1,
    Italic = 2,
    Underline = 4,
};

// A font asked for by its family name with a character height in pixels; the desktop's
// font configuration finds the nearest face it has (Liberation Serif for "Times New
// Roman").
QFont font(const QString& family, int pixelHeight, int styles);
QFont timesFont(int pixelHeight, int styles);

} // namespace lambreya::look
