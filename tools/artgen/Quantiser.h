// Reduction of a true-colour picture to a 256-entry colour table. Median cut over the picture's
// histogram: every step is integer arithmetic over ordered containers, so the same picture gives
// the same table and indices on every run and machine.
#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace artgen {

// Builds a table of exactly `size` entries: the `reserved` colours first (colours other images
// or the display need to find exactly), then the median-cut colours of `image`, padded with
// black when the picture has fewer colours than fit.
QList<QRgb> buildColourTable(const QImage& image, const QList<QRgb>& reserved, int size = 256);

// Maps every pixel to the nearest entry of `table` (no dithering: a reserved colour drawn flat
// stays exactly that colour). Returns a Format_Indexed8 image carrying `table`.
QImage mapToTable(const QImage& image, const QList<QRgb>& table);

}  // namespace artgen
