#include "window/RemoteWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimerEvent>

#include "app/SettingsLayout.h"
#include "window/ArtworkHotSpots.h"
#include "window/HotSpotTable.h"
#include "window/WindowPlacement.h"

// The artwork is compiled into the core's Qt library; a static library's resources are
// registered explicitly.
static void RegisterArtwork() { Q_INIT_RESOURCE(resources); }

namespace r512 {

namespace {

QSize DesktopSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(kWindowWidth, kWindowHeight);
}

QCursor LoadCursor(const char* path, CursorHotSpot hotSpot) {
    const QPixmap pixmap(QString::fromLatin1(path));
    if (pixmap.isNull()) return QCursor(Qt::PointingHandCursor);
    return QCursor(pixmap, hotSpot.x, hotSpot.y);
}

}  // namespace

RemoteWindow::RemoteWindow(Profile& profile)
    : QWidget(nullptr,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                  Qt::WindowMinimizeButtonHint),
      profile_(profile),
      composer_(link_.Mirror(), *this, *this),
      controller_(link_, profile_, *this, composer_, *this) {
    RegisterArtwork();
}

RemoteWindow::~RemoteWindow() {
    // The link's thread posts to this window: end it before anything else goes.
    link_.ClosePort();
}

bool RemoteWindow::Create() {
    using namespace settings;
    const bool configured = profile_.GetProfileInt(kConfig, kConfigured, 0) != 0;
    const QSize desktop = DesktopSize();

    // Place the window: the stored position once configured, else centred near the top.
    int storedX = kNoPosition, storedY = kNoPosition;
    if (configured) {
        storedX = profile_.GetProfileInt(kPosition, kMainX, kNoPosition);
        storedY = profile_.GetProfileInt(kPosition, kMainY, kNoPosition);
    }
    const WindowPosition at = PlaceWindow(configured, storedX, storedY, kWindowWidth,
                                          kWindowHeight, desktop.width(), desktop.height(), 1);

    setWindowTitle(QString::fromLatin1(kApplication));
    setFixedSize(kWindowWidth, kWindowHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the skin covers the whole window
    move(at.x, at.y);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon/r512-32.png"));
    icon.addFile(QStringLiteral(":/icon/r512-16.png"));
    setWindowIcon(icon);

    if (configured) {
        controlPanelPosition_ = {profile_.GetProfileInt(kPosition, kControlX, kNoPosition),
                                 profile_.GetProfileInt(kPosition, kControlY, kNoPosition)};
    }
    controlPanelVisible_ = profile_.GetProfileInt(kPosition, kControlVisible, 0) != 0;

    display_ = new FrontPanelDisplay(this);
    display_->move(kDisplayRect.left, kDisplayRect.top);
    display_->LoadFontBitmap();
    display_->show();

    handCursor_ = LoadCursor(":/cursor/hand.png", kHandHotSpot);
    knobDownCursor_ = LoadCursor(":/cursor/knob-down.png", kKnobDownHotSpot);
    knobUpCursor_ = LoadCursor(":/cursor/knob-up.png", kKnobUpHotSpot);
    setCursor(Qt::ArrowCursor);

    LoadSkinBitmap();  // a missing skin is not fatal: the window paints what it has

    const char* const kCaptionImages[2][2] = {
        {":/caption/minimize-up.bmp", ":/caption/minimize-down.bmp"},
        {":/caption/close-up.bmp", ":/caption/close-down.bmp"}};
    for (int b = 0; b < 2; ++b) {
        for (int s = 0; s < 2; ++s) captionImages_[b][s] = QImage(kCaptionImages[b][s]);
        captions_[b] = {};
    }

    show();

    if (!configured) {
        // Written before anything else can stop this first run, so that it happens once.
        profile_.WriteProfileInt(kConfig, kConfigured, 1);
    }

    Connect();  // a failed connection leaves the window up without a link
    return true;
}

bool RemoteWindow::LoadSkinBitmap() {
    const QImage skin(QStringLiteral(":/skin.bmp"));
    if (skin.isNull()) return false;
    skin_ = skin;
    skinPixels_ = skin.convertToFormat(QImage::Format_RGB32);

    std::vector<PaletteColour> table;
    for (const QRgb rgb : skin.colorTable())
        table.push_back({static_cast<std::uint8_t>(qRed(rgb)),
                         static_cast<std::uint8_t>(qGreen(rgb)),
                         static_cast<std::uint8_t>(qBlue(rgb))});
    const bool indexed = skin.format() == QImage::Format_Indexed8;
    palette_ = BuildSkinPalette(skin.depth(), indexed ? static_cast<std::uint32_t>(table.size()) : 0,
                                table);
    return true;
}

void RemoteWindow::SavePositions() {
    using namespace settings;
    QRect normal = normalGeometry();
    if (!normal.isValid()) normal = geometry();
    profile_.WriteProfileInt(kPosition, kMainX, normal.x());
    profile_.WriteProfileInt(kPosition, kMainY, normal.y());
    profile_.WriteProfileInt(kPosition, kControlX, controlPanelPosition_.x());
    profile_.WriteProfileInt(kPosition, kControlY, controlPanelPosition_.y());
    profile_.WriteProfileInt(kPosition, kControlVisible, controlPanelVisible_ ? 1 : 0);
}

void RemoteWindow::PostNotice(std::uint32_t, std::uint32_t requested, std::uint32_t received) {
    QCoreApplication::postEvent(this, new DeviceDataEvent(requested, received));
}

void RemoteWindow::StartTimer(int id, unsigned periodMs) {
    if (id < 0 || id >= static_cast<int>(timers_.size())) return;
    timers_[static_cast<std::size_t>(id)].start(static_cast<int>(periodMs), Qt::PreciseTimer,
                                                this);
}

void RemoteWindow::StopTimer(int id) {
    if (id < 0 || id >= static_cast<int>(timers_.size())) return;
    timers_[static_cast<std::size_t>(id)].stop();
}

bool RemoteWindow::IsTimerRunning(int id) const {
    if (id < 0 || id >= static_cast<int>(timers_.size())) return false;
    return timers_[static_cast<std::size_t>(id)].isActive();
}

void RemoteWindow::SetLine(const char* text, int line, bool redraw) {
    if (display_) display_->SetLine(text, line, redraw);
}

bool RemoteWindow::event(QEvent* event) {
    if (event->type() == DeviceDataEvent::kType) {
        const auto* data = static_cast<DeviceDataEvent*>(event);
        controller_.DeviceData(data->requested, data->received);
        return true;
    }
    return QWidget::event(event);
}

void RemoteWindow::timerEvent(QTimerEvent* event) {
    for (std::size_t id = 0; id < timers_.size(); ++id) {
        if (timers_[id].timerId() == event->timerId()) {
            controller_.TimerExpired(static_cast<int>(id));
            return;
        }
    }
    QWidget::timerEvent(event);
}

void RemoteWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!skinPixels_.isNull()) {
        painter.drawImage(0, 0, skinPixels_);
    } else {
        painter.fillRect(rect(), QColor(192, 192, 192));
    }
    DrawCaptionButton(painter, 0);
    DrawCaptionButton(painter, 1);
}

void RemoteWindow::DrawCaptionButton(QPainter& painter, int index) {
    const auto i = static_cast<std::size_t>(index);
    const QImage& image = captionImages_[i][captions_[i].down ? 1 : 0];
    if (image.isNull()) return;
    const Rect& r = CaptionButtons()[i].rect;
    painter.drawImage(r.left, r.top, image);
}

void RemoteWindow::closeEvent(QCloseEvent* event) {
    SavePositions();
    event->accept();
}

}  // namespace r512
