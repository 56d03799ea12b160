// r512-artgen: draws every picture the R512 program carries and writes them into the resources
// folder. Run through tools/generate-artwork.sh; the outputs are committed, so the program never
// needs this tool. The same inputs (this source, the font files, the Qt version) give the same
// bytes on every run.

#include "FontStrip.h"
#include "IndexedBmp.h"
#include "PanelGeometry.h"
#include "Preview.h"
#include "Quantiser.h"
#include "Skin.h"
#include "SmallImages.h"
#include "ui/ArtworkHotSpots.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

bool writePng(const QImage& image, const QString& path) { return image.save(path, "PNG"); }

bool writeFile(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The Windows cursors, made from the committed PNG cursors and the shared hot spots, so that
// both front ends show the same pictures.
bool writeCursorFiles(const QDir& out) {
    struct Cursor {
        const char* name;
        r512::CursorHotSpot hotSpot;
    };
    const Cursor cursors[] = {{"hand", r512::kHandHotSpot},
                              {"knob-down", r512::kKnobDownHotSpot},
                              {"knob-up", r512::kKnobUpHotSpot}};
    for (const Cursor& c : cursors) {
        const QString name = QStringLiteral("cursor/%1").arg(QLatin1String(c.name));
        const QImage image(out.filePath(name + QStringLiteral(".png")));
        if (image.isNull() || !writeFile(artgen::encodeCur(image, c.hotSpot.x, c.hotSpot.y),
                                         out.filePath(name + QStringLiteral(".cur"))))
            return false;
    }
    return true;
}

int fail(const QString& what) {
    std::fprintf(stderr, "r512-artgen: %s\n", qPrintable(what));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Only fonts and the raster painter are needed: no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    QString previewDir;
    QString fontFile = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf");
    QString boldFontFile =
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf");
    QString outDir;
    bool cursorsOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--cursors"))
            cursorsOnly = true;
        else if (args[i] == QLatin1String("--preview") && i + 1 < args.size())
            previewDir = args[++i];
        else if (args[i] == QLatin1String("--font") && i + 1 < args.size())
            fontFile = args[++i];
        else if (args[i] == QLatin1String("--bold-font") && i + 1 < args.size())
            boldFontFile = args[++i];
        else if (outDir.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            outDir = args[i];
        else
            return fail(
                QStringLiteral("usage: r512-artgen OUTPUT_DIR [--preview DIR] "
                               "[--font FILE] [--bold-font FILE] [--cursors]"));
    }
    if (outDir.isEmpty()) return fail(QStringLiteral("no output folder given"));
    // --cursors: only the Windows cursors, from the PNG cursors already in the folder.
    if (cursorsOnly)
        return writeCursorFiles(QDir(outDir)) ? 0 : fail(QStringLiteral("cannot write cursors"));

    const QDir out(outDir);
    for (const char* sub : {"caption", "cursor", "icon"})
        if (!out.mkpath(QLatin1String(sub)))
            return fail(QStringLiteral("cannot create %1").arg(out.filePath(QLatin1String(sub))));

    using namespace artgen;
    const QImage skinRgb = renderSkin(fontFile, boldFontFile);
    if (skinRgb.isNull())
        return fail(
            QStringLiteral("cannot load the label fonts %1, %2").arg(fontFile, boldFontFile));

    // Colours that must survive exactly: black for the caption symbols, white, and the display's
    // two colours (so the display also looks right where only the skin's palette is realised).
    const QList<QRgb> reserved = {qRgb(0, 0, 0), qRgb(255, 255, 255), kDisplayBackground,
                                  kDisplayForeground};
    const QList<QRgb> table = buildColourTable(skinRgb, reserved);
    const QImage skin = mapToTable(skinRgb, table);
    const QImage font = renderFontStrip();

    struct Caption {
        const char* name;
        CaptionSymbol symbol;
        bool down;
    };
    const Caption captions[] = {{"minimize-up", CaptionSymbol::Minimize, false},
                                {"minimize-down", CaptionSymbol::Minimize, true},
                                {"close-up", CaptionSymbol::Close, false},
                                {"close-down", CaptionSymbol::Close, true}};
    QList<QImage> captionImages;
    for (const Caption& c : captions) {
        // The buttons share the skin's colour table, as the window paints them with its palette.
        captionImages.append(mapToTable(renderCaptionButton(c.symbol, c.down), table));
    }

    const QImage hand = renderHandCursor();
    const QImage knobDown = renderKnobDownCursor();
    const QImage knobUp = knobDown.mirrored(true, false);
    const QImage icon32 = renderIcon(32);
    const QImage icon16 = renderIcon(16);

    bool ok = writeIndexedBmp(skin, out.filePath(QStringLiteral("skin.bmp"))) &&
              writeIndexedBmp(font, out.filePath(QStringLiteral("font.bmp")));
    for (int i = 0; i < 4; ++i)
        ok = ok && writeIndexedBmp(
                       captionImages[i],
                       out.filePath(
                           QStringLiteral("caption/%1.bmp").arg(QLatin1String(captions[i].name))));
    ok = ok && writePng(hand, out.filePath(QStringLiteral("cursor/hand.png"))) &&
         writePng(knobDown, out.filePath(QStringLiteral("cursor/knob-down.png"))) &&
         writePng(knobUp, out.filePath(QStringLiteral("cursor/knob-up.png"))) &&
         writePng(icon32, out.filePath(QStringLiteral("icon/r512-32.png"))) &&
         writePng(icon16, out.filePath(QStringLiteral("icon/r512-16.png"))) &&
         writeFile(encodeIco({icon32, icon16}), out.filePath(QStringLiteral("icon/r512.ico"))) &&
         writeCursorFiles(out);
    if (!ok) return fail(QStringLiteral("cannot write into %1").arg(outDir));

    if (!previewDir.isEmpty()) {
        const QDir preview(previewDir);
        preview.mkpath(QStringLiteral("."));
        const QImage window = composeWindow(skin, font, captionImages[0], captionImages[2],
                                            "  CD    Stereo      ", "Digital PCM vol:-35 ");
        ok =
            writePng(enlarge(skin, 3), preview.filePath(QStringLiteral("skin-x3.png"))) &&
            writePng(enlarge(window, 3), preview.filePath(QStringLiteral("window-x3.png"))) &&
            writePng(window, preview.filePath(QStringLiteral("window.png"))) &&
            writePng(enlarge(composeSheet({hand, knobDown, knobUp, icon32, icon16, captionImages[0],
                                           captionImages[1], captionImages[2], captionImages[3]}),
                             6),
                     preview.filePath(QStringLiteral("small-x6.png")));
        if (!ok) return fail(QStringLiteral("cannot write previews into %1").arg(previewDir));
    }
    return 0;
}
