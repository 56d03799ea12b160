// Helpers shared by the artwork tests: loading a picture by its resource alias and reading the
// header fields of a BMP file as the Windows loader would.
#pragma once

#include <QFile>
#include <QImage>
#include <QString>

#include <cstdint>

namespace artwork_test {

inline QImage load(const char* alias) { return QImage(QString::fromLatin1(alias)); }

inline QByteArray bytesOf(const char* alias) {
    QFile file(QString::fromLatin1(alias));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline std::uint32_t le32(const QByteArray& b, int at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | std::uint8_t(b.at(at + i));
    return v;
}

inline std::uint16_t le16(const QByteArray& b, int at) {
    return std::uint16_t(std::uint8_t(b.at(at)) | (std::uint8_t(b.at(at + 1)) << 8));
}

// The fields of BITMAPFILEHEADER + BITMAPINFOHEADER that matter to the program.
struct BmpHeader {
    bool valid = false;
    std::int32_t width = 0, height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0, coloursUsed = 0;
};

inline BmpHeader bmpHeader(const QByteArray& b) {
    BmpHeader h;
    if (b.size() < 54 || b.at(0) != 'B' || b.at(1) != 'M' || le32(b, 14) < 40) return h;
    h.valid = true;
    h.width = std::int32_t(le32(b, 18));
    h.height = std::int32_t(le32(b, 22));
    h.bitCount = le16(b, 28);
    h.compression = le32(b, 30);
    h.coloursUsed = le32(b, 46);
    return h;
}

inline double luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

}  // namespace artwork_test
