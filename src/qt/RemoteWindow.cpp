#include "qt/RemoteWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimerEvent>
#include <QToolTip>
#include <QWindow>
#include <vector>

#include "base/SettingsLayout.h"
#include "qt/AboutDialog.h"
#include "qt/CommandEvent.h"
#include "qt/ConfigDialog.h"
#include "qt/ModalRun.h"
#include "qt/NamesCommand.h"
#include "qt/PopupPanel.h"
#include "qt/QtMessagePump.h"
#include "ui/ArtworkHotSpots.h"
#include "ui/HotSpotTable.h"
#include "ui/MenuTable.h"
#include "ui/WindowPlacement.h"

// The artwork is compiled into the core's Qt library; a static library's resources are
// registered explicitly.
static void RegisterArtwork() { Q_INIT_RESOURCE(resources); }

namespace r512 {

namespace {

// The screens' available areas (without task bars and panels), the primary's first.
std::vector<Rect> ScreenWorkAreas() {
    std::vector<Rect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        AddWorkArea(areas, {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()},
                    screen == QGuiApplication::primaryScreen());
    }
    return areas;
}

// Where a window will be restored to: its normal position even while it is minimised.
QPoint NormalPosition(const QWidget* window) {
    if (!window->isMinimized()) return window->pos();
    const QPoint frameOffset = window->geometry().topLeft() - window->frameGeometry().topLeft();
    return window->normalGeometry().topLeft() - frameOffset;
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// The frame that the window system puts around a window with these flags, as far as it tells
// before the window is shown. A stand-in window is made to ask: making the Control Panel's own
// native window before it is shown would make the remote window's other children (the display)
// native windows as well.
QMargins FrameMarginsFor(Qt::WindowFlags flags) {
    QWidget standIn(nullptr, flags);
    standIn.winId();
    const QWindow* window = standIn.windowHandle();
    return window ? window->frameMargins() : QMargins();
}

QCursor LoadCursor(const char* path, CursorHotSpot hotSpot) {
    const QPixmap pixmap(QString::fromLatin1(path));
    if (pixmap.isNull()) return QCursor(Qt::PointingHandCursor);
    return QCursor(pixmap, hotSpot.x, hotSpot.y);
}

}  // namespace

RemoteWindow::RemoteWindow(Profile& profile)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint),
      profile_(profile) {
    RegisterArtwork();
    // At the end of the desktop session the window may not be closed: store the positions as
    // a close does.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { SavePositions(); });
    // A quit that did not come through the window's close (the window system ending the
    // program) stores them too; after a close this stores the same again.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { SavePositions(); });
}

RemoteWindow::~RemoteWindow() {
    // The link's thread posts to this window: end it before anything else goes.
    session_.Link().ClosePort();
}

bool RemoteWindow::Create() {
    using namespace settings;
    const StoredPlacement stored = LoadPlacement(profile_, PlacedWindow::Remote);
    const WindowPosition at =
        PlaceOnMonitors(stored, {kWindowWidth, kWindowHeight}, ScreenWorkAreas());

    setWindowTitle(QString::fromLatin1(kApplication));
    setFixedSize(kWindowWidth, kWindowHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the skin covers the whole window
    move(at.x, at.y);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon/r512-32.png"));
    icon.addFile(QStringLiteral(":/icon/r512-16.png"));
    setWindowIcon(icon);

    show();

    // The Control Panel, made hidden, placed like this window and shown if it was left open.
    controlPanel_ = new ControlPanelDialog(this);
    // Shown with its initial values: nothing is known of the device before its first report.
    if (PlaceControlPanel()) controlPanel_->Open();
    controlPanel_->SetDeviceLink(&session_.Link());
    // The window the user sees is the active one, not the panel shown after it.
    activateWindow();

    display_ = new FrontPanelDisplay(this);
    display_->move(kDisplayRect.left, kDisplayRect.top);
    display_->LoadFontBitmap();
    display_->show();

    cursors_ = {LoadCursor(":/cursor/hand.png", kHandHotSpot),
                LoadCursor(":/cursor/knob-down.png", kKnobDownHotSpot),
                LoadCursor(":/cursor/knob-up.png", kKnobUpHotSpot), QCursor(Qt::ArrowCursor)};
    setCursor(Qt::ArrowCursor);
    setMouseTracking(true);  // the cursor follows the areas without a button held

    LoadSkinBitmap();  // a missing skin is not fatal: the window paints what it has

    const char* const kCaptionImages[2][2] = {
        {":/caption/minimize-up.bmp", ":/caption/minimize-down.bmp"},
        {":/caption/close-up.bmp", ":/caption/close-down.bmp"}};
    for (int b = 0; b < 2; ++b) {
        for (int s = 0; s < 2; ++s) captionImages_[b][s] = QImage(kCaptionImages[b][s]);
    }

    // The popups of the Levels and Tone buttons, made hidden and shown at the pointer.
    levels_ = new LevelsDialog(this);
    tone_ = new ToneDialog(this);

    if (stored.firstRun) session_.FirstRun();
    // A failed connection leaves the window up without a link (the link has said why).
    session_.Connect();
    return true;
}

bool RemoteWindow::PlaceControlPanel() {
    const StoredPlacement stored = LoadPlacement(profile_, PlacedWindow::ControlPanel);
    // Placed and kept on the desktop by its frame, caption included, not by its client area.
    // A position is the frame's top-left corner.
    const QMargins frame = FrameMarginsFor(controlPanel_->windowFlags());
    const WindowPosition at =
        PlaceOnMonitors(stored,
                        {controlPanel_->width() + frame.left() + frame.right(),
                         controlPanel_->height() + frame.top() + frame.bottom()},
                        ScreenWorkAreas());
    controlPanel_->move(at.x, at.y);
    return stored.visible;
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
    palette_ = BuildSkinPalette(skin.depth(),
                                indexed ? static_cast<std::uint32_t>(table.size()) : 0, table);
    return true;
}

void RemoteWindow::SavePositions() {
    const QPoint main = NormalPosition(this);
    SavePlacement(profile_, PlacedWindow::Remote, {main.x(), main.y()}, true);
    const QPoint panel = controlPanel_ ? NormalPosition(controlPanel_) : QPoint(-1, -1);
    // The user's choice, also while the panel hides with its minimised owner.
    SavePlacement(profile_, PlacedWindow::ControlPanel, {panel.x(), panel.y()},
                  controlPanel_ && controlPanel_->IsOpen());
}

bool RemoteWindow::StartWindowTimer(int id, unsigned periodMs) {
    timers_[static_cast<std::size_t>(id)].start(static_cast<int>(periodMs), Qt::PreciseTimer, this);
    return true;
}

bool RemoteWindow::event(QEvent* event) {
    if (event->type() == DeviceDataEvent::kType) {
        const auto* data = static_cast<DeviceDataEvent*>(event);
        session_.Notice(data->message, data->requested, data->received);
        return true;
    }
    // Every way of losing the pointer ends a held knob's repeat: a release over another window
    // never reaches this one.
    switch (event->type()) {
        case QEvent::UngrabMouse:
            session_.StopRepeating(RepeatStop::CaptureLost);
            break;
        case QEvent::WindowDeactivate:
            session_.StopRepeating(RepeatStop::Deactivated);
            break;
        case QEvent::Hide:
            session_.StopRepeating(RepeatStop::Hidden);
            break;
        case QEvent::WindowStateChange:
            if (isMinimized()) session_.StopRepeating(RepeatStop::Hidden);
            break;
        case QEvent::WindowBlocked:  // a modal dialog opened
            session_.StopRepeating(RepeatStop::DialogOrMenu);
            break;
        default:
            break;
    }
    if (event->type() == CommandEvent::kType) {
        OnCommand(static_cast<CommandEvent*>(event)->id);
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        // The name of the caption button or hot spot under the pointer; the body has none.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const auto tip = PanelPointer::TipAt(help->pos().x(), help->pos().y())) {
            // The tip stays up while the pointer is within the area's bounding box.
            QToolTip::showText(help->globalPos(), QString::fromLatin1(tip->name), this,
                               ToQRect(tip->area));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void RemoteWindow::RunNames() {
    // The body shows the wait cursor while the names are fetched.
    QtMessagePump pump;
    RunNamesCommand(
        session_.Link(), this, controlPanel_,
        [this](bool busy) {
            nonClientCursor_ = QCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
            setCursor(CursorAt(mapFromGlobal(QCursor::pos())));
        },
        pump);
}

bool RemoteWindow::RunConfigDialog(bool firstRun) {
    ConfigDialog dialog(profile_, nullptr);
    dialog.firstRun = firstRun;
    return dialog.Run() == QDialog::Accepted;
}

void RemoteWindow::RunAboutDialog() {
    AboutDialog dialog(nullptr);
    RunModal(dialog);
}

void RemoteWindow::EnablePanel(bool enabled) {
    if (enabled) {
        panelBlock_.reset();
    } else {
        panelBlock_.emplace(controlPanel_);
    }
}

void RemoteWindow::ReloadPanelIfVisible() {
    if (controlPanel_ && controlPanel_->isVisible()) controlPanel_->UpdateFromMirror();
}

void RemoteWindow::ShowMenu(RightClick kind, const QPoint& globalPosition) {
    if (kind == RightClick::LevelsPopup && levels_) return levels_->ShowAt(globalPosition);
    if (kind == RightClick::TonePopup && tone_) return tone_->ShowAt(globalPosition);
    const MenuDefinition* definition = HotSpotMenu(kind);
    if (!definition) return;
    if (openMenu_) openMenu_->close();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const MenuItem& item : definition->items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        const int id = item.id;
        connect(action, &QAction::triggered, this,
                [this, id] { QCoreApplication::postEvent(this, new CommandEvent(id)); });
    }
    openMenu_ = menu;
    menu->popup(globalPosition);
}

void RemoteWindow::RedrawCaptionButton(int index) {
    const Rect& r = CaptionButtons()[static_cast<std::size_t>(index)].rect;
    repaint(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1);
}

void RemoteWindow::ApplyPointer(const PointerEffect& effect) {
    const QPoint at(effect.x, effect.y);
    switch (effect.kind) {
        case PointerEffect::Kind::RedrawCaption:
            RedrawCaptionButton(effect.caption);
            break;
        case PointerEffect::Kind::Minimise:
            showMinimized();
            break;
        case PointerEffect::Kind::OpenMenu:
            ShowMenu(effect.menu, mapToGlobal(at));
            break;
        case PointerEffect::Kind::StartDrag:
            // Moved by the window system where it can, else by the moves that follow.
            if (!windowHandle() || !windowHandle()->startSystemMove()) {
                draggingBody_ = true;
                dragOffset_ = mapToGlobal(at) - pos();
            }
            break;
        case PointerEffect::Kind::Cursor:
            setCursor(CursorFor(effect.cursor));
            break;
        default:  // a press grabs the pointer until its release; the session sends and closes
            break;
    }
}

void RemoteWindow::OnPointer(PointerEvent kind, QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (draggingBody_ && kind == PointerEvent::Move) {
        move(event->globalPosition().toPoint() - dragOffset_);
    } else if (draggingBody_ && kind == PointerEvent::Release) {
        draggingBody_ = button != Qt::LeftButton;
    } else {
        const QPoint p = event->position().toPoint();
        session_.Pointer(kind,
                         button == Qt::LeftButton    ? PointerButton::Left
                         : button == Qt::RightButton ? PointerButton::Right
                                                     : PointerButton::None,
                         p.x(), p.y());
    }
}

void RemoteWindow::timerEvent(QTimerEvent* event) {
    for (std::size_t id = 0; id < timers_.size(); ++id) {
        if (timers_[id].timerId() == event->timerId()) {
            session_.TimerExpired(static_cast<int>(id));
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
    const QImage& image = captionImages_[i][session_.CaptionDown(index) ? 1 : 0];
    if (image.isNull()) return;
    const Rect& r = CaptionButtons()[i].rect;
    painter.drawImage(r.left, r.top, image);
}

void RemoteWindow::closeEvent(QCloseEvent* event) {
    SavePositions();
    event->accept();
}

}  // namespace r512
