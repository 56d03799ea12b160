#include "Quantiser.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace artgen {

namespace {

struct Entry {
    int rgb[3];
    long count;
};

struct BoxRange {
    int axis;    // channel with the widest spread
    int spread;  // that spread
};

BoxRange rangeOf(const std::vector<Entry>& entries) {
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (const Entry& e : entries) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], e.rgb[c]);
            hi[c] = std::max(hi[c], e.rgb[c]);
        }
    }
    BoxRange best{0, hi[0] - lo[0]};
    for (int c = 1; c < 3; ++c)
        if (hi[c] - lo[c] > best.spread) best = {c, hi[c] - lo[c]};
    return best;
}

long totalCount(const std::vector<Entry>& entries) {
    long n = 0;
    for (const Entry& e : entries) n += e.count;
    return n;
}

// Which box to split next: a wide box of many pixels first. The square root keeps big flat
// areas of the plate from taking every entry while small bright details still get their own.
double priority(const std::vector<Entry>& entries) {
    if (entries.size() < 2) return -1.0;
    return rangeOf(entries).spread * std::sqrt(double(totalCount(entries)));
}

QRgb meanOf(const std::vector<Entry>& entries) {
    long sum[3] = {0, 0, 0};
    const long n = totalCount(entries);
    for (const Entry& e : entries)
        for (int c = 0; c < 3; ++c) sum[c] += e.rgb[c] * e.count;
    // Rounded integer division: no floating point in what ends up in the table.
    return qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n));
}

}  // namespace

QList<QRgb> buildColourTable(const QImage& image, const QList<QRgb>& reserved, int size) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, long> histogram;  // ordered, so the starting order is fixed
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) ++histogram[row[x] | 0xff000000u];
    }

    std::vector<std::vector<Entry>> boxes(1);
    for (const auto& [colour, count] : histogram)
        boxes[0].push_back({{qRed(colour), qGreen(colour), qBlue(colour)}, count});

    const int wanted = size - int(reserved.size());
    while (int(boxes.size()) < wanted) {
        std::size_t pick = 0;
        double best = -1.0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const double p = priority(boxes[i]);
            if (p > best) {  // strict: the first of equal boxes wins
                best = p;
                pick = i;
            }
        }
        if (best < 0.0) break;  // every box holds a single colour

        std::vector<Entry>& box = boxes[pick];
        const int axis = rangeOf(box).axis;
        std::sort(box.begin(), box.end(), [axis](const Entry& a, const Entry& b) {
            if (a.rgb[axis] != b.rgb[axis]) return a.rgb[axis] < b.rgb[axis];
            return std::lexicographical_compare(a.rgb, a.rgb + 3, b.rgb, b.rgb + 3);
        });
        // Split where half the pixels lie on each side, keeping both sides non-empty.
        const long half = totalCount(box) / 2;
        long running = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.size(); ++i) {
            running += box[i].count;
            cut = i + 1;
            if (running >= half) break;
        }
        std::vector<Entry> upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }

    QList<QRgb> table = reserved;
    for (const auto& box : boxes) table.push_back(meanOf(box));
    while (table.size() < size) table.push_back(qRgb(0, 0, 0));
    return table;
}

QImage mapToTable(const QImage& image, const QList<QRgb>& table) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    std::map<QRgb, int> nearest;  // each distinct colour is searched once
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = row[x] | 0xff000000u;
            auto it = nearest.find(c);
            if (it == nearest.end()) {
                int bestIndex = 0;
                long bestDistance = -1;
                for (int i = 0; i < int(table.size()); ++i) {
                    // Weighted towards green, as the eye sees differences there most.
                    const long dr = qRed(c) - qRed(table[i]);
                    const long dg = qGreen(c) - qGreen(table[i]);
                    const long db = qBlue(c) - qBlue(table[i]);
                    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestDistance < 0 || d < bestDistance) {
                        bestDistance = d;
                        bestIndex = i;
                    }
                }
                it = nearest.emplace(c, bestIndex).first;
            }
            dst[x] = uchar(it->second);
        }
    }
    return out;
}

}  // namespace artgen
