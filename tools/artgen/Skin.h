// The front panel picture: brushed aluminium plate with the standby button, the row of ten small
// buttons, the display window and the volume knob at the window's hot-spot coordinates.
#pragma once

#include <QImage>
#include <QString>

namespace artgen {

// True-colour rendering of the panel (Format_RGB32, 775 x 168). `fontFile` is the TrueType
// file whose outlines give the printed labels.
QImage renderSkin(const QString& fontFile, const QString& boldFontFile);

}  // namespace artgen
